#include "IsoBoxes.h"

#include "Readers.h"

bool ReadBox(const CSource& source, uint64_t at, uint64_t end, Box& box) {
    unsigned char h[16];
    if (at > end || end - at < 8 || !source.Read(at, 8, h))
        return false;
    uint64_t size = BigEndian(h, 4);
    uint64_t header = 8;
    if (size == 1) {
        if (end - at < 16 || !source.Read(at + 8, 8, h + 8))
            return false;
        size = BigEndian(h + 8, 8);
        header = 16;
    } else if (size == 0) { // the box runs to the end of its container
        size = end - at;
    }
    if (size < header || size > end - at)
        return false;
    box.type = uint32_t(BigEndian(h + 4, 4));
    box.body = at + header;
    box.size = size - header;
    return true;
}

std::optional<Box> FindBox(const CSource& source, uint64_t begin, uint64_t end, uint32_t type) {
    Box box;
    for (int i = 0; i < kMaxBoxes && ReadBox(source, begin, end, box); ++i) {
        if (box.type == type)
            return box;
        begin = box.body + box.size;
    }
    return std::nullopt;
}

std::optional<CameraDate> ExifItemDate(const CSource& block) {
    unsigned char skip[4];
    if (!block.Read(0, sizeof(skip), skip))
        return std::nullopt;
    const uint64_t tiff = sizeof(skip) + BigEndian(skip, 4);
    return ExifDate(CSliceSource(block, tiff, block.Size()));
}
