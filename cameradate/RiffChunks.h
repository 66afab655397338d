// RIFF chunks (WebP, AVI): a four-character code, a little-endian size and the
// body, padded to an even length; each bounded by its container.
#pragma once

#include "ByteSource.h"

// Every loop over chunks stops here: an animated WebP has a chunk per frame.
constexpr int kMaxRiffChunks = 65536;

struct RiffChunk {
    uint32_t id = 0;
    uint64_t body = 0;
    uint64_t size = 0;
    uint64_t Next() const { return body + size + (size & 1); }
};

// The chunk that starts at at and must end by end.
inline bool ReadRiffChunk(const CSource& source, uint64_t at, uint64_t end, RiffChunk& chunk) {
    unsigned char h[8];
    if (at > end || end - at < sizeof(h) || !source.Read(at, sizeof(h), h))
        return false;
    chunk.id = uint32_t(BigEndian(h, 4));
    chunk.body = at + sizeof(h);
    chunk.size = LittleEndian(h + 4, 4);
    return chunk.size <= end - chunk.body;
}

// Where the chunks of a RIFF file end: where its header says, or the file does.
inline uint64_t RiffEnd(const CSource& file) {
    unsigned char size[4];
    if (!file.Read(4, sizeof(size), size))
        return 0;
    return std::min<uint64_t>(8 + LittleEndian(size, 4), file.Size());
}
