#include "PhotoDate.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Every offset and count in a file is hostile. These limits lie far above what
// cameras and phones write, and keep each loop and each buffer small.
constexpr size_t kMaxIfdEntries = 1024;
constexpr int kMaxIfdChain = 8;
constexpr int kMaxJpegMarkers = 512;
constexpr int kMaxBoxes = 4096;
constexpr uint64_t kMaxMetaBox = 1 << 20;
constexpr uint64_t kMaxExifItem = 64 * 1024;
constexpr uint64_t kMaxExifExtents = 64;
constexpr size_t kDateLength = 19; // "YYYY:MM:DD HH:MM:SS"

uint32_t FourCC(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

uint64_t BigEndian(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | p[i];
    return v;
}

// Bytes addressed from 0 to Size(); a read succeeds only when all of it lies inside.
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
    CReaderSource(const PhotoByteReader& read, uint64_t size) : m_read(read), m_size(size) {}
    uint64_t Size() const override { return m_size; }

private:
    bool ReadInside(uint64_t offset, size_t size, unsigned char* out) const override {
        return m_read(offset, size, out) == size;
    }
    const PhotoByteReader& m_read;
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

// A part of another source: a JPEG segment, a box, an item. It ends where its
// parent ends even if it claims to go on.
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

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// The EXIF tags of a TIFF structure, which is the whole file for TIFF and raw
// formats and an embedded block for JPEG and HEIF.
class CTiffReader {
public:
    explicit CTiffReader(const CSource& source) : m_source(source) {}

    std::optional<std::tm> Date() {
        unsigned char header[8];
        if (!m_source.Read(0, sizeof(header), header))
            return std::nullopt;
        if (std::memcmp(header, "MM\0*", 4) == 0)
            m_bigEndian = true;
        else if (std::memcmp(header, "II*\0", 4) != 0)
            return std::nullopt;

        // The main image's IFD holds DateTime and the pointer to the EXIF IFD;
        // a few writers put them in a later IFD of the chain.
        std::optional<std::tm> dateTime;
        std::optional<uint32_t> exifIfd;
        uint32_t ifd = U32(header + 4);
        for (int i = 0; i < kMaxIfdChain && ifd != 0 && !(dateTime && exifIfd); ++i) {
            std::vector<unsigned char> entries;
            if (!ReadIfd(ifd, entries, &ifd))
                break;
            if (!dateTime)
                dateTime = DateIn(entries, 0x0132);
            if (!exifIfd)
                exifIfd = IfdPointerIn(entries, 0x8769);
        }
        std::vector<unsigned char> exif;
        if (exifIfd && ReadIfd(*exifIfd, exif, nullptr)) {
            for (uint16_t tag : {uint16_t(0x9003), uint16_t(0x9004)}) {
                if (std::optional<std::tm> date = DateIn(exif, tag))
                    return date;
            }
        }
        return dateTime;
    }

private:
    uint16_t U16(const unsigned char* p) const {
        return uint16_t(m_bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
    }
    uint32_t U32(const unsigned char* p) const {
        return m_bigEndian ? uint32_t(BigEndian(p, 4))
                           : uint32_t(U16(p + 2)) << 16 | uint32_t(U16(p));
    }

    // The 12-byte entries of the IFD at offset, as many as fit in the source,
    // and the offset of the next IFD (0 when there is none or it is unreadable).
    bool ReadIfd(uint32_t offset, std::vector<unsigned char>& entries, uint32_t* next) const {
        unsigned char count[2];
        if (!m_source.Read(offset, 2, count))
            return false;
        const uint64_t first = uint64_t(offset) + 2;
        const uint64_t fit = (m_source.Size() - first) / 12;
        const uint64_t n = std::min<uint64_t>({U16(count), fit, kMaxIfdEntries});
        entries.resize(size_t(n) * 12);
        if (!m_source.Read(first, entries.size(), entries.data()))
            return false;
        if (next) {
            unsigned char link[4];
            *next = n == U16(count) && m_source.Read(first + n * 12, 4, link) ? U32(link) : 0;
        }
        return true;
    }

    const unsigned char* Find(const std::vector<unsigned char>& entries, uint16_t tag) const {
        for (size_t at = 0; at < entries.size(); at += 12) {
            if (U16(&entries[at]) == tag)
                return &entries[at];
        }
        return nullptr;
    }

    std::optional<std::tm> DateIn(const std::vector<unsigned char>& entries, uint16_t tag) const {
        const unsigned char* e = Find(entries, tag);
        const uint16_t kAscii = 2;
        if (!e || U16(e + 2) != kAscii || U32(e + 4) < kDateLength)
            return std::nullopt;
        char text[kDateLength];
        if (!m_source.Read(U32(e + 8), sizeof(text), reinterpret_cast<unsigned char*>(text)))
            return std::nullopt;
        return ParseExifDateTime(std::string_view(text, sizeof(text)));
    }

    std::optional<uint32_t> IfdPointerIn(const std::vector<unsigned char>& entries,
                                         uint16_t tag) const {
        const unsigned char* e = Find(entries, tag);
        const uint16_t kLong = 4, kIfd = 13;
        if (!e || (U16(e + 2) != kLong && U16(e + 2) != kIfd) || U32(e + 4) != 1)
            return std::nullopt;
        return U32(e + 8);
    }

    const CSource& m_source;
    bool m_bigEndian = false;
};

// JPEG: the markers up to the image data, and the TIFF block of each APP1
// "Exif" segment. Segment bodies are skipped, not read.
std::optional<std::tm> JpegDate(const CSource& file) {
    uint64_t at = 2;
    for (int i = 0; i < kMaxJpegMarkers; ++i) {
        unsigned char m[4];
        if (!file.Read(at, 4, m) || m[0] != 0xFF)
            return std::nullopt;
        const unsigned char marker = m[1];
        if (marker == 0xFF) { // fill byte before a marker
            at += 1;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // no length follows
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // image data or end: EXIF comes before
            return std::nullopt;
        const uint64_t length = BigEndian(m + 2, 2);
        if (length < 2)
            return std::nullopt;
        unsigned char id[6];
        if (marker == 0xE1 && length >= 2 + sizeof(id) && file.Read(at + 4, sizeof(id), id) &&
            std::memcmp(id, "Exif\0\0", sizeof(id)) == 0) {
            CSliceSource tiff(file, at + 4 + sizeof(id), length - 2 - sizeof(id));
            if (std::optional<std::tm> date = CTiffReader(tiff).Date())
                return date;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// An ISO BMFF box: its type and where its body lies in its source.
struct Box {
    uint32_t type = 0;
    uint64_t body = 0;
    uint64_t size = 0;
};

// The box that starts at at and must end by end.
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

// The first box of a type among those from begin to end.
std::optional<Box> FindBox(const CSource& source, uint64_t begin, uint64_t end, uint32_t type) {
    Box box;
    for (int i = 0; i < kMaxBoxes && ReadBox(source, begin, end, box); ++i) {
        if (box.type == type)
            return box;
        begin = box.body + box.size;
    }
    return std::nullopt;
}

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

// The item ID of the first 'Exif' item listed in iinf.
std::optional<uint32_t> ExifItemId(const CSource& meta, const Box& iinf) {
    unsigned char version;
    if (!meta.Read(iinf.body, 1, &version))
        return std::nullopt;
    const uint64_t entries = iinf.body + 4 + (version == 0 ? 2 : 4);
    const uint64_t end = iinf.body + iinf.size;
    Box infe;
    uint64_t at = entries;
    for (int i = 0; i < kMaxBoxes && ReadBox(meta, at, end, infe);
         ++i, at = infe.body + infe.size) {
        unsigned char e[14];
        // Only versions 2 and 3 name an item type.
        if (infe.type != FourCC("infe") || !meta.Read(infe.body, 1, e) || e[0] < 2 || e[0] > 3)
            continue;
        const int idSize = e[0] == 2 ? 2 : 4;
        if (meta.Read(infe.body, std::min<uint64_t>(infe.size, sizeof(e)), e) &&
            infe.size >= uint64_t(4 + idSize + 2 + 4) &&
            BigEndian(e + 4 + idSize + 2, 4) == FourCC("Exif"))
            return uint32_t(BigEndian(e + 4, idSize));
    }
    return std::nullopt;
}

struct Extent {
    uint64_t offset;
    uint64_t length; // 0: to the end of the container
};

struct ItemLocation {
    uint64_t method = 0; // 0: in the file, 1: in the idat box
    std::vector<Extent> extents;
};

// Where iloc puts an item, if it is in this file.
std::optional<ItemLocation> LocateItem(const std::vector<unsigned char>& meta, const Box& iloc,
                                       uint32_t item) {
    CCursor c(meta, iloc);
    const uint64_t version = c.Take(1);
    c.Skip(3);
    const uint64_t sizes = c.Take(1);
    const uint64_t offsetSize = sizes >> 4, lengthSize = sizes & 15;
    const uint64_t sizes2 = c.Take(1);
    const uint64_t baseSize = sizes2 >> 4, indexSize = version >= 1 ? sizes2 & 15 : 0;
    for (uint64_t s : {offsetSize, lengthSize, baseSize, indexSize}) {
        if (s != 0 && s != 4 && s != 8)
            return std::nullopt;
    }
    if (version > 2)
        return std::nullopt;
    const uint64_t idSize = version < 2 ? 2 : 4;
    const uint64_t count = c.Take(idSize);
    // Each item takes at least six bytes, so a false count runs out of bytes.
    for (uint64_t i = 0; i < count && c.Ok(); ++i) {
        const uint64_t id = c.Take(idSize);
        ItemLocation location;
        location.method = version >= 1 ? c.Take(2) & 15 : 0;
        const uint64_t dataReference = c.Take(2);
        const uint64_t base = c.Take(baseSize);
        const uint64_t extents = c.Take(2);
        if (id != item) {
            c.Skip(extents * (indexSize + offsetSize + lengthSize));
            continue;
        }
        if (dataReference != 0 || location.method > 1 || extents == 0 || extents > kMaxExifExtents)
            return std::nullopt;
        for (uint64_t e = 0; e < extents; ++e) {
            c.Skip(indexSize);
            const uint64_t offset = c.Take(offsetSize);
            const uint64_t length = c.Take(lengthSize);
            if (offset > std::numeric_limits<uint64_t>::max() - base)
                return std::nullopt;
            location.extents.push_back({base + offset, length});
        }
        if (!c.Ok())
            return std::nullopt;
        return location;
    }
    return std::nullopt;
}

// The Exif item's data begins with the offset of its TIFF header.
std::optional<std::tm> ExifItemDate(const CSource& item) {
    unsigned char skip[4];
    if (!item.Read(0, sizeof(skip), skip))
        return std::nullopt;
    const uint64_t tiff = sizeof(skip) + BigEndian(skip, 4);
    return CTiffReader(CSliceSource(item, tiff, item.Size())).Date();
}

// HEIC/HEIF and other ISO BMFF files: the 'Exif' item of the top-level meta box.
std::optional<std::tm> HeifDate(const CSource& file) {
    const std::optional<Box> metaBox = FindBox(file, 0, file.Size(), FourCC("meta"));
    if (!metaBox || metaBox->size < 4 || metaBox->size > kMaxMetaBox)
        return std::nullopt;
    std::vector<unsigned char> bytes(size_t(metaBox->size));
    if (!file.Read(metaBox->body, bytes.size(), bytes.data()))
        return std::nullopt;
    const CMemorySource meta(bytes.data(), bytes.size());

    // meta is a full box: its children follow the version and flags.
    const std::optional<Box> iinf = FindBox(meta, 4, meta.Size(), FourCC("iinf"));
    const std::optional<Box> iloc = FindBox(meta, 4, meta.Size(), FourCC("iloc"));
    if (!iinf || !iloc)
        return std::nullopt;
    const std::optional<uint32_t> id = ExifItemId(meta, *iinf);
    if (!id)
        return std::nullopt;
    const std::optional<ItemLocation> location = LocateItem(bytes, *iloc, *id);
    if (!location)
        return std::nullopt;

    const std::optional<Box> idat =
        location->method == 1 ? FindBox(meta, 4, meta.Size(), FourCC("idat")) : std::nullopt;
    if (location->method == 1 && !idat)
        return std::nullopt;
    const CSliceSource container =
        idat ? CSliceSource(meta, idat->body, idat->size) : CSliceSource(file, 0, file.Size());
    auto lengthOf = [&](const Extent& e) {
        return e.length != 0 || e.offset > container.Size() ? e.length
                                                            : container.Size() - e.offset;
    };
    if (location->extents.size() == 1) {
        const Extent& e = location->extents.front();
        return ExifItemDate(CSliceSource(container, e.offset, lengthOf(e)));
    }
    // An item in several pieces is put together, within a bound.
    std::vector<unsigned char> item;
    for (const Extent& e : location->extents) {
        const uint64_t length = lengthOf(e);
        if (length > kMaxExifItem - item.size())
            return std::nullopt;
        item.resize(item.size() + size_t(length));
        if (!container.Read(e.offset, size_t(length), item.data() + item.size() - length))
            return std::nullopt;
    }
    return ExifItemDate(CMemorySource(item.data(), item.size()));
}

std::optional<std::tm> PhotoDate(const CSource& file) {
    unsigned char head[12];
    if (!file.Read(0, sizeof(head), head))
        return std::nullopt;
    if (head[0] == 0xFF && head[1] == 0xD8)
        return JpegDate(file);
    if (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0)
        return CTiffReader(file).Date();
    if (std::memcmp(head + 4, "ftyp", 4) == 0)
        return HeifDate(file);
    return std::nullopt;
}

} // namespace

std::optional<std::tm> ReadPhotoDate(const PhotoByteReader& read, uint64_t fileSize) {
    return PhotoDate(CReaderSource(read, fileSize));
}

std::optional<std::tm> ReadPhotoDate(const unsigned char* data, size_t size) {
    return PhotoDate(CMemorySource(data, size));
}

std::optional<std::tm> ParseExifDateTime(std::string_view text) {
    static const char kPattern[] = "dddd:dd:dd dd:dd:dd";
    if (text.size() < kDateLength)
        return std::nullopt;
    for (size_t i = 0; i < kDateLength; ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kPattern[i] == 'd' ? !digit : text[i] != kPattern[i])
            return std::nullopt;
    }
    auto number = [&](size_t at, size_t digits) {
        int v = 0;
        for (size_t i = at; i < at + digits; ++i)
            v = v * 10 + (text[i] - '0');
        return v;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    std::tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return t;
}
