// ISO base media boxes (HEIF, MP4, QuickTime, CR3, JPEG XL's container):
// their headers read one at a time, 64-bit sizes included, each box bounded by
// its container, and big-endian fields read from memory with a cursor that
// runs out cleanly; and the Exif block that HEIF and JPEG XL keep in them.
//
// Classes in this file: Box, CCursor.
#pragma once

#include "ByteSource.h"

#include <optional>
#include <vector>

// Every loop over boxes stops here, far above what any writer puts in a container.
constexpr int kMaxBoxes = 4096;

// An ISO BMFF box: its type and where its body lies in its source.
struct Box {
    uint32_t type = 0;
    uint64_t body = 0;
    uint64_t size = 0;
    uint64_t End() const { return body + size; }
};

// The box that starts at at and must end by end.
bool ReadBox(const CSource& source, uint64_t at, uint64_t end, Box& box);

// The first box of a type among those from begin to end.
std::optional<Box> FindBox(const CSource& source, uint64_t begin, uint64_t end, uint32_t type);

// An Exif block of HEIF or JPEG XL: the offset of its TIFF header, then the TIFF.
std::optional<CameraDate> ExifItemDate(const CSource& block);

// Big-endian fields read one after another from memory; running out of bytes
// makes every later field 0 and Ok() false.
class CCursor {
public:
    CCursor(const std::vector<unsigned char>& data, const Box& box)
        : m_p(data.data() + box.body), m_left(box.size) {}
    uint64_t Take(uint64_t bytes) {
        if (!Skip(bytes))
            return 0;
        return BigEndian(m_p - bytes, int(bytes));
    }
    bool Skip(uint64_t bytes) {
        if (!m_ok || bytes > m_left) {
            m_ok = false;
            return false;
        }
        m_p += bytes;
        m_left -= bytes;
        return true;
    }
    bool Ok() const { return m_ok; }

private:
    const unsigned char* m_p;
    uint64_t m_left;
    bool m_ok = true;
};
