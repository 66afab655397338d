// Dates of movies and of Canon CR3 raws built here box by box: which field
// wins, how the movie header's time is read, and that a movie box behind
// gigabytes of media costs only box headers.
#include "cameradate/CameraDate.h"
#include "support/CameraBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace camera_test;

// A modification time a day later, so that reading the wrong field shows.
std::string MovieHeader(int version, uint64_t created) {
    const int field = version == 0 ? 4 : 8;
    return Box("mvhd", BigEndian(version, 1) + BigEndian(0, 3) + BigEndian(created, field) +
                           BigEndian(created + 86400, field) + BigEndian(600, 4) +
                           BigEndian(0, field) + std::string(80, '\0'));
}

std::string Movie(const std::string& moov) {
    return Box("ftyp", "qt  " + BigEndian(0, 4) + "qt  ") + Box("moov", moov);
}

// Apple's keys with one text item each, the items listed last key first.
std::string KeyedMeta(const std::vector<std::pair<std::string, std::string>>& items,
                      const std::string& versionAndFlags) {
    std::string keys = BigEndian(0, 4) + BigEndian(items.size(), 4), ilst;
    for (size_t i = 0; i < items.size(); ++i) {
        keys += Box("mdta", items[i].first);
        const std::string data = BigEndian(1, 4) + BigEndian(0, 4) + items[i].second;
        ilst = Box(BigEndian(i + 1, 4), Box("data", data)) + ilst;
    }
    const std::string hdlr = Box("hdlr", BigEndian(0, 8) + "mdta" + std::string(12, '\0'));
    return Box("meta", versionAndFlags + hdlr + Box("keys", keys) + Box("ilst", ilst));
}

constexpr uint64_t k2005 = 3206613834; // 2005:08:11 14:03:54 UTC, from 1904
constexpr uint64_t k2041 = 4328831167; // 2041:03:04 05:06:07 UTC, beyond 32 bits
const std::string kCreationDate = "com.apple.quicktime.creationdate";

TEST(MovieDate, ApplesCreationDateWinsOverTheMovieHeaderAsWritten) {
    // QuickTime's meta box and the ISO one, which has version and flags.
    for (const std::string& versionAndFlags : {std::string(), BigEndian(0, 4)}) {
        const std::string meta = KeyedMeta({{"com.apple.quicktime.make", "2001-02-03T04:05:06"},
                                            {kCreationDate, "2019-06-25T14:31:41-0700"}},
                                           versionAndFlags);
        EXPECT_EQ(DateOf(Movie(MovieHeader(0, k2005) + meta)), "2019:06:25 14:31:41");
    }
    const std::string noTime = KeyedMeta({{kCreationDate, "2019-06-25"}}, "");
    EXPECT_EQ(DateOf(Movie(MovieHeader(0, k2005) + noTime)), "2005:08:11 14:03:54 UTC");
}

TEST(MovieDate, MovieHeaderTimeIsUtcInEitherVersionAndZeroIsUnset) {
    const struct {
        int version;
        uint64_t created;
        const char* date;
    } cases[] = {{0, k2005, "2005:08:11 14:03:54 UTC"},
                 {1, k2041, "2041:03:04 05:06:07 UTC"},
                 {0, 0, "none"},
                 {1, 0, "none"}};
    for (const auto& c : cases)
        EXPECT_EQ(DateOf(Movie(MovieHeader(c.version, c.created))), c.date) << c.version;
}

TEST(MovieDate, MovieBoxBehindGigabytesOfMediaCostsOnlyBoxHeaders) {
    constexpr uint64_t kMedia = 5ull << 30;
    const std::string head = Box("ftyp", "mp42" + BigEndian(0, 4) + "mp42isom") + BigEndian(1, 4) +
                             "mdat" + BigEndian(16 + kMedia, 8);
    // The last box may run to the end of the file (size 0); a box's body is skipped, not read.
    const std::string moov =
        BigEndian(0, 4) + "moov" + Box("free", std::string(1 << 20, '\0')) + MovieHeader(1, k2041);
    const uint64_t moovAt = head.size() + kMedia;
    uint64_t bytesRead = 0;
    const CameraByteReader read = [&](uint64_t offset, size_t size, unsigned char* out) {
        const std::string& region = offset < moovAt ? head : moov;
        const uint64_t at = offset < moovAt ? offset : offset - moovAt;
        bytesRead += size;
        if (at > region.size() || size > region.size() - at) {
            ADD_FAILURE() << "read of the media at " << offset;
            return size_t(0);
        }
        std::copy_n(region.data() + at, size, out);
        return size;
    };
    EXPECT_EQ(DateText(ReadCameraDate(read, moovAt + moov.size())), "2041:03:04 05:06:07 UTC");
    EXPECT_LT(bytesRead, 4096u);
}

// The model is CMT1's and the sub-seconds CMT2's, whichever gave the date.
TEST(MovieDate, Cr3TakesTheExifOriginalThenDigitizedThenTheMainImagesDateTime) {
    const std::string canon = "\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48";
    const std::string otherUuid =
        Box("uuid", std::string(16, 'x') + Box("CMT2", Tiff({{0x9003, "1999:01:01 00:00:00"}})));
    const TiffTexts main = {{0x0110, "Canon EOS R6"}, {0x0132, "2003:03:03 03:03:03"}};
    const struct {
        TiffTexts exif;
        const char* facts;
    } cases[] = {
        {{{0x9003, "2001:01:01 01:01:01"},
          {0x9004, "2002:02:02 02:02:02"},
          {0x9291, "07"},
          {0x9292, "08"}},
         "2001:01:01 01:01:01|Canon EOS R6|07"},
        {{{0x9004, "2002:02:02 02:02:02"}, {0x9292, "08"}}, "2002:02:02 02:02:02|Canon EOS R6|08"},
        {{}, "2003:03:03 03:03:03|Canon EOS R6|"},
    };
    for (const auto& c : cases) {
        const std::string moov =
            otherUuid + Box("uuid", canon + Box("CMT1", Tiff(main)) + Box("CMT2", Tiff(c.exif))) +
            MovieHeader(0, k2005);
        const std::string file =
            Box("ftyp", "crx " + BigEndian(1, 4) + "crx isom") + Box("moov", moov);
        EXPECT_EQ(FactsOf(file), c.facts);
    }
}

} // namespace
