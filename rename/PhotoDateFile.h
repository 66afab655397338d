// The date a photo was taken, read from its file with only the bytes it needs.
#pragma once

#include <ctime>
#include <optional>
#include <string>

// The camera's date and time recorded in the file at path (UTF-8), or none when
// the file holds none or cannot be read.
std::optional<std::tm> ReadPhotoDateFile(const std::string& path);
