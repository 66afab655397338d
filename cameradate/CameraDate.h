// The date and time a camera or phone recorded in a photo or a video, from
// the file's content, not its name: EXIF in JPEG, TIFF and the raw formats
// (in whatever container holds it), HEIF, PNG, WebP, JPEG XL, the time stamp
// of Canon CRW, QuickTime and MP4 movies, AVCHD and AVI video. Nothing here
// touches the file system: the caller hands in a function that reads bytes,
// and only the few bytes needed are asked for. Every file is hostile input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Reads up to size bytes at offset into buffer and returns how many it read.
using CameraByteReader = std::function<size_t(uint64_t offset, size_t size, unsigned char* buffer)>;

struct CameraDate {
    // As the file writes it: the camera's local time, without any conversion,
    // or UTC where utc is set (a movie header's time). Only tm_year (from
    // 1900), tm_mon (from 0), tm_mday, tm_hour, tm_min and tm_sec are set;
    // tm_isdst is -1.
    std::tm time = {};
    bool utc = false;
    // EXIF's sub-seconds: the digits of SubSecTimeOriginal, else of
    // SubSecTimeDigitized, else of SubSecTime ("07" for .07 s), as written.
    // Empty where the file has none, and for a date outside EXIF.
    std::string subSecond;
    // EXIF's Model of the main image, without blanks around it, at most 64
    // bytes as written (not always ASCII); empty where the file has none, or
    // one with a control byte, and for a date outside EXIF.
    std::string model;
};

// EXIF: DateTimeOriginal, else DateTimeDigitized, else the main image's
// DateTime. A value that is not a real date counts as absent, and so does
// anything the file does not hold where it claims to. A file with a model or
// sub-seconds but no date gives none.
std::optional<CameraDate> ReadCameraDate(const CameraByteReader& read, uint64_t fileSize);
std::optional<CameraDate> ReadCameraDate(const unsigned char* data, size_t size);

// "YYYY:MM:DD HH:MM:SS" (what follows the 19 characters is ignored) if it names
// a real date and time.
std::optional<std::tm> ParseExifDateTime(std::string_view text);

// The calendar date and time of a count of seconds from 1970, in UTC, and
// back; a time before year 1 or after 9999 has none.
std::optional<std::tm> UtcCalendarTime(int64_t secondsSince1970);
int64_t SecondsSince1970(const std::tm& utc);
