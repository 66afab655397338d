// Bytes of camera files built in a test, and dates as text, for the tests of
// the camera date readers.
#pragma once

#include "cameradate/CameraDate.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace camera_test {

inline std::string BigEndian(uint64_t value, int bytes) {
    std::string s;
    for (int i = bytes - 1; i >= 0; --i)
        s += static_cast<char>(value >> 8 * i);
    return s;
}

inline std::string LittleEndian(uint64_t value, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>(value >> 8 * i);
    return s;
}

// An ISO base media box, with a 64-bit size where asked.
inline std::string Box(const std::string& type, const std::string& body, bool largeSize = false) {
    if (largeSize)
        return BigEndian(1, 4) + type + BigEndian(16 + body.size(), 8) + body;
    return BigEndian(8 + body.size(), 4) + type + body;
}

// ASCII entries of an IFD, by tag, in the order of their tags; each text is
// written with a NUL after it.
using TiffTexts = std::vector<std::pair<uint16_t, std::string>>;

// A big-endian TIFF of the main image's IFD and, where exif has entries, an
// EXIF IFD it points to. A text of four bytes or fewer sits in its entry, as
// cameras write it, and a longer one after the IFDs.
inline std::string Tiff(const TiffTexts& main, const TiffTexts& exif = {}) {
    auto ifdSize = [](size_t entries) { return 2 + 12 * entries + 4; };
    const size_t mainEntries = main.size() + (exif.empty() ? 0 : 1);
    const size_t exifAt = 8 + ifdSize(mainEntries);
    std::string texts;
    size_t textsAt = exifAt + (exif.empty() ? 0 : ifdSize(exif.size()));
    auto ifd = [&](const TiffTexts& entries, size_t extra) {
        std::string bytes = BigEndian(entries.size() + extra, 2);
        for (const auto& [tag, text] : entries) {
            const std::string value = text + '\0';
            bytes += BigEndian(tag, 2) + BigEndian(2, 2) + BigEndian(value.size(), 4);
            if (value.size() <= 4) {
                bytes += value + std::string(4 - value.size(), '\0');
            } else {
                bytes += BigEndian(textsAt + texts.size(), 4);
                texts += value;
            }
        }
        return bytes;
    };
    std::string tiff = std::string("MM\0*", 4) + BigEndian(8, 4) + ifd(main, exif.empty() ? 0 : 1);
    if (!exif.empty())
        tiff += BigEndian(0x8769, 2) + BigEndian(4, 2) + BigEndian(1, 4) + BigEndian(exifAt, 4);
    tiff += BigEndian(0, 4);
    if (!exif.empty())
        tiff += ifd(exif, 0) + BigEndian(0, 4);
    return tiff + texts;
}

// A JPEG that holds a TIFF as its EXIF.
inline std::string JpegWithExif(const std::string& tiff) {
    return "\xFF\xD8\xFF\xE1" + BigEndian(2 + 6 + tiff.size(), 2) + std::string("Exif\0\0", 6) +
           tiff + "\xFF\xD9";
}

// "YYYY:MM:DD HH:MM:SS", or none.
inline std::string DateText(const std::optional<std::tm>& t, const char* none = "none") {
    if (!t)
        return none;
    char s[80]; // room for any int the fields hold
    std::snprintf(s, sizeof(s), "%04d:%02d:%02d %02d:%02d:%02d", t->tm_year + 1900, t->tm_mon + 1,
                  t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec);
    return s;
}

// The same, with " UTC" after a time that counts in UTC where markUtc.
inline std::string DateText(const std::optional<CameraDate>& d, const char* none = "none",
                            bool markUtc = true) {
    if (!d)
        return none;
    return DateText(std::optional<std::tm>(d->time)) + (markUtc && d->utc ? " UTC" : "");
}

inline std::string DateOf(const std::string& file) {
    return DateText(
        ReadCameraDate(reinterpret_cast<const unsigned char*>(file.data()), file.size()));
}

// The date, the model and the sub-seconds a file gives: "date|model|digits".
inline std::string FactsOf(const std::string& file) {
    const std::optional<CameraDate> d =
        ReadCameraDate(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    return DateText(d) + "|" + (d ? d->model + "|" + d->subSecond : "|");
}

// A file the photo samples' writer made (tools/make_photo_samples.py).
inline std::string Sample(const std::string& name) {
    std::ifstream in(std::string(TESSIVOX_PHOTO_SAMPLES) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace camera_test
