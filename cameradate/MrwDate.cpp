// Minolta MRW: the TIFF structure in its TTW block.
#include "Readers.h"

namespace {
// A camera writes five blocks or so before the image data.
constexpr int kMaxBlocks = 64;
} // namespace

// "\0MRM" and the big-endian length of the blocks that follow, each a 4-byte
// name and a big-endian length before its body.
std::optional<CameraDate> MrwDate(const CSource& file) {
    unsigned char head[8];
    if (!file.Read(0, sizeof(head), head))
        return std::nullopt;
    const CSliceSource blocks(file, sizeof(head), BigEndian(head + 4, 4));
    uint64_t at = 0;
    for (int i = 0; i < kMaxBlocks; ++i) {
        unsigned char block[8];
        if (!blocks.Read(at, sizeof(block), block))
            return std::nullopt;
        const uint64_t length = BigEndian(block + 4, 4);
        if (std::memcmp(block, "\0TTW", 4) == 0)
            return ExifDate(CSliceSource(blocks, at + sizeof(block), length));
        at += sizeof(block) + length;
    }
    return std::nullopt;
}
