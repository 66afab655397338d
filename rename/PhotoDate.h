// The date and time a camera recorded in a photo: EXIF in JPEG, TIFF and the
// TIFF-based raw formats, and HEIC/HEIF. The file's content decides the format,
// not its name. Nothing here touches the file system: the caller hands in a
// function that reads bytes, and only the few bytes needed are asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string_view>

// Reads up to size bytes at offset into buffer and returns how many it read.
using PhotoByteReader = std::function<size_t(uint64_t offset, size_t size, unsigned char* buffer)>;

// The camera's local time as recorded, without any time-zone conversion: EXIF
// DateTimeOriginal, else DateTimeDigitized, else the main image's DateTime.
// A value that is not a real date counts as absent, and so does anything the
// file does not hold where it claims to. Only tm_year (from 1900), tm_mon
// (from 0), tm_mday, tm_hour, tm_min and tm_sec are set; tm_isdst is -1.
std::optional<std::tm> ReadPhotoDate(const PhotoByteReader& read, uint64_t fileSize);
std::optional<std::tm> ReadPhotoDate(const unsigned char* data, size_t size);

// "YYYY:MM:DD HH:MM:SS" (what follows the 19 characters is ignored) if it names
// a real date and time.
std::optional<std::tm> ParseExifDateTime(std::string_view text);
