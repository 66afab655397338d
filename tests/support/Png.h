// Writes 24-bit pictures as PNG files (stored, uncompressed deflate), so tests
// can leave screenshots behind without any library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height pixels, 3 bytes each, top row first.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
