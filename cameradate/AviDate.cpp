// AVI: the IDIT chunk of its header list, else EXIF in a stream's strd chunk.
#include "Readers.h"
#include "RiffChunks.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Longer than any of the date's forms with what follows them.
constexpr size_t kMaxIditText = 64;
// Where a writer's own prefix ("AVIF", "Exif") may push the TIFF header in strd.
constexpr size_t kMaxExifPrefix = 32;
constexpr size_t kMaxStreams = 16;
// Chunks looked at in the whole file, nested lists included: a camera's header
// list holds a few dozen, and a file that nests lists without end must not
// cost a read per chunk for ever.
constexpr int kMaxAviChunks = 4096;

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "Mon Mar 10 15:04:43 2003": the words of C's ctime().
std::optional<std::tm> CtimeDate(std::string_view text) {
    std::string_view words[5];
    size_t count = 0;
    for (size_t at = 0; at < text.size() && count < 5;) {
        const size_t begin = text.find_first_not_of(' ', at);
        if (begin == std::string_view::npos)
            break;
        const size_t end = std::min(text.find(' ', begin), text.size());
        words[count++] = text.substr(begin, end - begin);
        at = end;
    }
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int month = 0;
    while (month < 12 && words[1] != kMonths[month])
        ++month;
    const std::string_view day = words[2], time = words[3], year = words[4];
    if (count < 5 || month == 12 || !IsDigits(day) || day.size() > 2 || time.size() != 8 ||
        year.size() != 4)
        return std::nullopt;
    const int dayOfMonth = day.size() == 1 ? day[0] - '0' : (day[0] - '0') * 10 + day[1] - '0';
    char exif[32];
    std::snprintf(exif, sizeof(exif), "%.4s:%02d:%02d %.8s", year.data(), month + 1, dayOfMonth,
                  time.data());
    return ParseExifDateTime(exif);
}

// ctime()'s form, EXIF's, or Pentax's "2009/10/27 12:14:34" (its seconds,
// which some writers leave out, counting as 0).
std::optional<std::tm> IditDate(std::string_view text) {
    text = text.substr(0, std::min(text.find_first_of(std::string_view("\0\n\r", 3)), text.size()));
    if (std::optional<std::tm> date = ParseExifDateTime(text))
        return date;
    if (text.size() >= 16 && text[4] == '/' && text[7] == '/') {
        std::string exif(text.substr(0, 19));
        if (exif.size() < 19 || exif[16] != ':')
            exif = exif.substr(0, 16) + ":00";
        exif[4] = exif[7] = ':';
        return ParseExifDateTime(exif);
    }
    return CtimeDate(text);
}

// A TIFF header within the first bytes of strd, and the EXIF it begins.
std::optional<CameraDate> StreamExifDate(const CSource& file, const RiffChunk& strd) {
    unsigned char head[kMaxExifPrefix + 4];
    const size_t got = size_t(std::min<uint64_t>(strd.size, sizeof(head)));
    if (!file.Read(strd.body, got, head))
        return std::nullopt;
    for (size_t at = 0; at + 4 <= got; ++at) {
        if (std::memcmp(head + at, "II*\0", 4) == 0 || std::memcmp(head + at, "MM\0*", 4) == 0)
            return ExifDate(CSliceSource(file, strd.body + at, strd.size - at));
    }
    return std::nullopt;
}

// The type of a LIST chunk, 0 for another.
uint32_t ListType(const CSource& file, const RiffChunk& chunk) {
    unsigned char type[4];
    if (chunk.id != FourCC("LIST") || chunk.size < 4 || !file.Read(chunk.body, 4, type))
        return 0;
    return uint32_t(BigEndian(type, 4));
}

class CAviReader {
public:
    explicit CAviReader(const CSource& file) : m_file(file) {}

    std::optional<CameraDate> Date() {
        const uint64_t end = RiffEnd(m_file);
        RiffChunk chunk;
        uint64_t at = 12;
        for (; NextChunk(at, end, chunk); at = chunk.Next()) {
            if (ListType(m_file, chunk) == FourCC("hdrl"))
                return HeaderDate(chunk);
        }
        return std::nullopt;
    }

private:
    std::optional<CameraDate> HeaderDate(const RiffChunk& hdrl) {
        std::optional<RiffChunk> idit;
        std::vector<RiffChunk> strds;
        const uint64_t end = hdrl.body + hdrl.size;
        RiffChunk chunk;
        uint64_t at = hdrl.body + 4;
        for (; NextChunk(at, end, chunk); at = chunk.Next()) {
            if (chunk.id == FourCC("IDIT") && !idit)
                idit = chunk;
            else if (ListType(m_file, chunk) == FourCC("strl") && strds.size() < kMaxStreams)
                FindStrd(chunk, strds);
        }
        if (idit) {
            char text[kMaxIditText];
            const size_t got = size_t(std::min<uint64_t>(idit->size, sizeof(text)));
            if (m_file.Read(idit->body, got, reinterpret_cast<unsigned char*>(text))) {
                if (std::optional<std::tm> date = IditDate(std::string_view(text, got)))
                    return CameraDate{*date, false, {}, {}};
            }
        }
        for (const RiffChunk& strd : strds) {
            if (std::optional<CameraDate> date = StreamExifDate(m_file, strd))
                return date;
        }
        return std::nullopt;
    }

    void FindStrd(const RiffChunk& strl, std::vector<RiffChunk>& strds) {
        const uint64_t end = strl.body + strl.size;
        RiffChunk chunk;
        uint64_t at = strl.body + 4;
        for (; NextChunk(at, end, chunk); at = chunk.Next()) {
            if (chunk.id == FourCC("strd")) {
                strds.push_back(chunk);
                return;
            }
        }
    }

    bool NextChunk(uint64_t at, uint64_t end, RiffChunk& chunk) {
        return m_nChunksLeft-- > 0 && ReadRiffChunk(m_file, at, end, chunk);
    }

    const CSource& m_file;
    int m_nChunksLeft = kMaxAviChunks;
};

} // namespace

std::optional<CameraDate> AviDate(const CSource& file) {
    return CAviReader(file).Date();
}
