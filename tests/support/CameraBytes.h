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

// A file the photo samples' writer made (tools/make_photo_samples.py).
inline std::string Sample(const std::string& name) {
    std::ifstream in(std::string(TESSIVOX_PHOTO_SAMPLES) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace camera_test
