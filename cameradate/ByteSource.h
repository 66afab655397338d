// Bytes of a hostile file, addressed from 0 to Size(): every read says how
// many bytes it needs and fails cleanly past the end, so that no reader ever
// touches a byte the file does not have. A slice is a part of another source
// (a segment, a box, an item) that ends where its parent ends even if it
// claims to go on.
//
// Classes in this file: CSource, CReaderSource, CMemorySource, CSliceSource.
#pragma once

#include "CameraDate.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

class CSource {
public:
    virtual ~CSource() = default;
    virtual uint64_t Size() const = 0;
    bool Read(uint64_t offset, size_t size, unsigned char* out) const {
        if (offset > Size() || size > Size() - offset)
            return false;
        return size == 0 || ReadInside(offset, size, out);
    }

private:
    virtual bool ReadInside(uint64_t offset, size_t size, unsigned char* out) const = 0;
};

class CReaderSource : public CSource {
public:
    CReaderSource(const CameraByteReader& read, uint64_t size) : m_read(read), m_size(size) {}
    uint64_t Size() const override { return m_size; }

private:
    bool ReadInside(uint64_t offset, size_t size, unsigned char* out) const override {
        return m_read(offset, size, out) == size;
    }
    const CameraByteReader& m_read;
    uint64_t m_size;
};

class CMemorySource : public CSource {
public:
    CMemorySource(const unsigned char* data, size_t size) : m_data(data), m_size(size) {}
    uint64_t Size() const override { return m_size; }

private:
    bool ReadInside(uint64_t offset, size_t size, unsigned char* out) const override {
        std::memcpy(out, m_data + offset, size);
        return true;
    }
    const unsigned char* m_data;
    size_t m_size;
};

class CSliceSource : public CSource {
public:
    CSliceSource(const CSource& parent, uint64_t base, uint64_t size)
        : m_parent(parent), m_base(std::min(base, parent.Size())),
          m_size(std::min(size, parent.Size() - m_base)) {}
    uint64_t Size() const override { return m_size; }

private:
    bool ReadInside(uint64_t offset, size_t size, unsigned char* out) const override {
        return m_parent.Read(m_base + offset, size, out);
    }
    const CSource& m_parent;
    uint64_t m_base;
    uint64_t m_size;
};

inline uint32_t FourCC(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

inline uint64_t BigEndian(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | p[i];
    return v;
}

inline uint64_t LittleEndian(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}
