// zlib streams (RFC 1950 around the deflate data of RFC 1951), as PNG keeps
// its compressed text in: decoded with a cap on the output, so that a small
// hostile stream cannot grow into a large allocation or a long loop.
#pragma once

#include "ByteSource.h"

#include <vector>

// The bytes of the zlib stream that fills source. False for a stream that is
// broken, cut short, fails its checksum, needs a preset dictionary or would
// give more than maxOutput bytes; out then holds nothing of use.
bool InflateZlib(const CSource& source, size_t maxOutput, std::vector<unsigned char>& out);
