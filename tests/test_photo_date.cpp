// Reading the date a photo was taken from files that Pillow and heif-enc wrote.
#include "cameradate/CameraDate.h"
#include "support/CameraBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace camera_test;

std::vector<unsigned char> SampleBytes(const std::string& name) {
    const std::string file = Sample(name);
    EXPECT_FALSE(file.empty()) << name;
    return {file.begin(), file.end()};
}

// Reads through the callback, failing the test on a read outside the file;
// bytesRead tells how much was asked for.
std::optional<CameraDate> ReadCounting(const std::vector<unsigned char>& file,
                                       uint64_t& bytesRead) {
    bytesRead = 0;
    return ReadCameraDate(
        [&](uint64_t offset, size_t size, unsigned char* buffer) -> size_t {
            EXPECT_LE(offset + size, file.size());
            if (offset + size > file.size())
                return 0;
            bytesRead += size;
            std::copy_n(file.begin() + std::ptrdiff_t(offset), size, buffer);
            return size;
        },
        file.size());
}

TEST(PhotoDate, ReadsTheCameraDateInOrderOfPreferenceFromAFewBytes) {
    const struct {
        const char* file;
        const char* date;
    } cases[] = {
        {"original.jpg", "2019:07:14 09:08:07"},   // original before digitized and DateTime
        {"digitized.jpg", "2020:02:29 23:59:58"},  // digitized before DateTime
        {"datetime.jpg", "2018:12:31 00:00:01"},   // the main image's DateTime
        {"not-a-date.jpg", "2017:05:06 07:08:09"}, // zeros and blanks are skipped
        {"no-exif.jpg", "none"},
        {"little-endian.tif", "2016:01:02 03:04:05"},
        {"big-endian.tif", "2015:10:11 12:13:14"},
        {"photo.heic", "2022:08:09 10:11:12"},
    };
    for (const auto& c : cases) {
        const std::vector<unsigned char> file = SampleBytes(c.file);
        uint64_t bytesRead = 0;
        EXPECT_EQ(DateText(ReadCounting(file, bytesRead)), c.date) << c.file;
        EXPECT_EQ(DateText(ReadCameraDate(file.data(), file.size())), c.date) << c.file;
        EXPECT_LT(bytesRead, 4096u) << c.file; // original.jpg alone is 300 KB
    }
    // Panasonic's RW2 and RWL and Olympus's ORF: TIFF under magic numbers of their own.
    for (const char* magic : {"IIU\0", "IIRO", "IIRS", "MMOR"}) {
        const bool intel = magic[0] == 'I';
        std::vector<unsigned char> file =
            SampleBytes(intel ? "little-endian.tif" : "big-endian.tif");
        std::copy(magic + 2, magic + 4, file.begin() + 2);
        EXPECT_EQ(DateText(ReadCameraDate(file.data(), file.size())),
                  intel ? "2016:01:02 03:04:05" : "2015:10:11 12:13:14")
            << magic;
    }
}

// The model and the sub-seconds of the EXIF that gave the date, for names.
TEST(PhotoDate, GivesTheCameraModelAndTheSubSecondsBesideTheDate) {
    const std::pair<uint16_t, std::string> original = {0x9003, "2019:07:14 09:08:07"};
    const struct {
        bool jpeg;
        TiffTexts main;
        TiffTexts exif;
        const char* facts;
    } cases[] = {
        // Original's sub-seconds before SubSecTime; the model without its blanks.
        {true,
         {{0x0110, "Canon EOS R6  "}},
         {original, {0x9290, "99"}, {0x9291, "07"}},
         "2019:07:14 09:08:07|Canon EOS R6|07"},
        {false, {}, {original, {0x9290, "123456"}}, "2019:07:14 09:08:07||123456"},
        {false, {{0x0132, "2018:12:31 00:00:01"}}, {}, "2018:12:31 00:00:01||"},
        // Blanks before the digits, what follows them, a control byte in a model;
        // Original without digits gives way to Digitized.
        {true,
         {{0x0110, " NIKON\x01"
                   "D1X"}},
         {original, {0x9290, "12"}, {0x9291, "  "}, {0x9292, " 5 s"}},
         "2019:07:14 09:08:07||5"},
        {false, {{0x0110, " D1"}}, {original}, "2019:07:14 09:08:07|D1|"},
    };
    for (const auto& c : cases) {
        const std::string tiff = Tiff(c.main, c.exif);
        EXPECT_EQ(FactsOf(c.jpeg ? JpegWithExif(tiff) : tiff), c.facts) << c.facts;
    }
    // A model past its cap is cut, not refused.
    const std::string model = FactsOf(Tiff({{0x0110, std::string(100, 'M')}}, {original}));
    EXPECT_EQ(model, "2019:07:14 09:08:07|" + std::string(64, 'M') + "|");
}

TEST(PhotoDate, OnlyRealDatesAndTimesCount) {
    const struct {
        const char* text;
        bool real;
    } cases[] = {
        {"2020:02:29 23:59:59", true},  {"2000:02:29 00:00:00", true},
        {"2019:02:29 12:00:00", false}, {"1900:02:29 12:00:00", false},
        {"2021:04:31 12:00:00", false}, {"2021:13:01 12:00:00", false},
        {"2021:00:10 12:00:00", false}, {"0000:00:00 00:00:00", false},
        {"    :  :     :  :  ", false}, {"2021:06:15 24:00:00", false},
        {"2021:06:15 12:60:00", false}, {"2021:06:15 12:00:60", false},
        {"2021-06-15 12:00:00", false}, {"2021:06:15 12:00", false},
        {"2021:06:1a 12:00:00", false}, {"1999:12:31 23:59:59", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseExifDateTime(c.text).has_value(), c.real) << c.text;
}

// heif-enc writes one extent in the file; phones also keep the Exif item in the
// meta box's idat, in pieces, with newer box versions and 64-bit box sizes.
TEST(PhotoDate, FindsTheExifItemHoweverTheHeifFileLaysItOut) {
    const std::vector<unsigned char> tiff = SampleBytes("little-endian.tif");
    const std::string item = BigEndian(0, 4) + std::string(tiff.begin(), tiff.end());
    const struct {
        int ilocVersion;
        size_t split; // where the second extent starts; 0: one extent of length 0 (all of idat)
        bool largeSize;
    } cases[] = {{1, 100, false}, {2, 0, false}, {1, 7, true}};
    for (const auto& c : cases) {
        const int idSize = c.ilocVersion < 2 ? 2 : 4;
        std::string extents = c.split == 0
                                  ? BigEndian(1, 2) + BigEndian(0, 4) + BigEndian(0, 4)
                                  : BigEndian(2, 2) + BigEndian(0, 4) + BigEndian(c.split, 4) +
                                        BigEndian(c.split, 4) + BigEndian(item.size() - c.split, 4);
        const std::string iloc = BigEndian(c.ilocVersion, 1) + BigEndian(0, 3) + "\x44" +
                                 BigEndian(0, 1) + BigEndian(1, idSize) + BigEndian(7, idSize) +
                                 BigEndian(1, 2) + BigEndian(0, 2) + extents;
        const std::string infe = BigEndian(3, 1) + BigEndian(0, 3) + BigEndian(7, 4) +
                                 BigEndian(0, 2) + "Exif" + std::string(1, '\0');
        const std::string meta =
            BigEndian(0, 4) + Box("hdlr", BigEndian(0, 8) + "pict" + std::string(13, '\0')) +
            Box("iinf", BigEndian(0, 4) + BigEndian(1, 2) + Box("infe", infe)) + Box("iloc", iloc) +
            Box("idat", item);
        const std::string file = Box("ftyp", "heic" + BigEndian(0, 4) + "mif1heic") +
                                 Box("meta", meta, c.largeSize) + Box("mdat", "");
        EXPECT_EQ(DateText(ReadCameraDate(reinterpret_cast<const unsigned char*>(file.data()),
                                          file.size())),
                  "2016:01:02 03:04:05")
            << "iloc version " << c.ilocVersion << ", split at " << c.split;
    }
}

TEST(PhotoDate, CorruptOrCutFilesGiveNoDateOrARealOne) {
    for (const char* name :
         {"digitized.jpg", "big-endian.tif", "little-endian.tif", "photo.heic"}) {
        const std::vector<unsigned char> file = SampleBytes(name);
        std::vector<std::vector<unsigned char>> variants;
        for (size_t i = 0; i < file.size(); ++i) {
            variants.push_back(file);
            variants.back()[i] ^= 0xFF;
            variants.emplace_back(file.begin(), file.begin() + std::ptrdiff_t(i));
        }
        for (const std::vector<unsigned char>& v : variants) {
            uint64_t bytesRead = 0;
            const std::string date = DateText(ReadCounting(v, bytesRead));
            ASSERT_TRUE(date == "none" || ParseExifDateTime(date)) << name << ": " << date;
        }
    }
}

} // namespace
