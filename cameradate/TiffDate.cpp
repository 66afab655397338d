// EXIF in a TIFF structure: the main image's IFD and its EXIF IFD.
#include "Readers.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Every offset and count in a file is hostile. These limits lie far above what
// cameras and phones write, and keep each loop and each buffer small.
constexpr size_t kMaxIfdEntries = 1024;
constexpr int kMaxIfdChain = 8;
constexpr size_t kDateLength = 19; // "YYYY:MM:DD HH:MM:SS"
// The most of a text tag that is read: a model and sub-second digits go into a
// file name, and no camera writes either half as long.
constexpr size_t kMaxText = 64;
constexpr uint16_t kModel = 0x0110;

// The EXIF tags of a TIFF structure, which is the whole file for TIFF and raw
// formats and an embedded block for JPEG and HEIF.
class CTiffReader {
public:
    explicit CTiffReader(const CSource& source) : m_source(source) {}

    std::optional<CameraDate> Date() {
        // The main image's IFD holds DateTime and the pointer to the EXIF IFD;
        // a few writers put them in a later IFD of the chain.
        const std::optional<uint32_t> first = FirstIfd();
        if (!first)
            return std::nullopt;
        std::optional<std::tm> dateTime;
        std::optional<uint32_t> exifIfd;
        std::string model;
        uint32_t ifd = *first;
        for (int i = 0; i < kMaxIfdChain && ifd != 0 && !(dateTime && exifIfd); ++i) {
            std::vector<unsigned char> entries;
            if (!ReadIfd(ifd, entries, &ifd))
                break;
            if (!dateTime)
                dateTime = DateIn(entries, 0x0132);
            if (!exifIfd)
                exifIfd = IfdPointerIn(entries, 0x8769);
            if (model.empty())
                model = ModelIn(entries);
        }
        std::vector<unsigned char> exif;
        const bool haveExif = exifIfd && ReadIfd(*exifIfd, exif, nullptr);
        std::optional<std::tm> date;
        if (haveExif) {
            date = DateIn(exif, 0x9003);
            if (!date)
                date = DateIn(exif, 0x9004);
        }
        if (!date)
            date = dateTime;
        if (!date)
            return std::nullopt;
        return CameraDate{*date, false, haveExif ? SubSecondIn(exif) : std::string(),
                          std::move(model)};
    }

    // The model or the sub-second digits of the first IFD, for a block that
    // holds one IFD of a split EXIF (CR3); empty where it has none.
    std::string FirstIfdModel() {
        std::vector<unsigned char> entries;
        return FirstIfdEntries(entries) ? ModelIn(entries) : std::string();
    }
    std::string FirstIfdSubSecond() {
        std::vector<unsigned char> entries;
        return FirstIfdEntries(entries) ? SubSecondIn(entries) : std::string();
    }

    std::optional<std::tm> FirstIfdDate(uint16_t tag) {
        std::vector<unsigned char> entries;
        if (!FirstIfdEntries(entries))
            return std::nullopt;
        return DateIn(entries, tag);
    }

private:
    bool FirstIfdEntries(std::vector<unsigned char>& entries) {
        const std::optional<uint32_t> first = FirstIfd();
        return first && ReadIfd(*first, entries, nullptr);
    }

    // The byte order from the header, and where the first IFD lies.
    std::optional<uint32_t> FirstIfd() {
        unsigned char header[8];
        if (!m_source.Read(0, sizeof(header), header))
            return std::nullopt;
        // TIFF's own, Panasonic's RW2 and RWL ("IIU"), Olympus's ORF ("IIRO",
        // "IIRS", "MMOR"): the same structure under other magic numbers.
        if (std::memcmp(header, "MM\0*", 4) == 0 || std::memcmp(header, "MMOR", 4) == 0)
            m_bigEndian = true;
        else if (std::memcmp(header, "II*\0", 4) != 0 && std::memcmp(header, "IIU\0", 4) != 0 &&
                 std::memcmp(header, "IIRO", 4) != 0 && std::memcmp(header, "IIRS", 4) != 0)
            return std::nullopt;
        return U32(header + 4);
    }

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

    // An ASCII tag's text up to its first NUL, at most kMaxText bytes of it;
    // empty where the tag is missing, of another type or outside the source.
    std::string TextIn(const std::vector<unsigned char>& entries, uint16_t tag) const {
        const unsigned char* e = Find(entries, tag);
        const uint16_t kAscii = 2;
        if (!e || U16(e + 2) != kAscii)
            return std::string();
        const uint32_t count = U32(e + 4);
        char text[kMaxText];
        const size_t n = std::min<size_t>(count, sizeof(text));
        // Four bytes or fewer sit in the entry itself.
        if (count <= 4)
            std::memcpy(text, e + 8, n);
        else if (!m_source.Read(U32(e + 8), n, reinterpret_cast<unsigned char*>(text)))
            return std::string();
        const std::string_view all(text, n);
        return std::string(all.substr(0, all.find('\0')));
    }

    // Model without the blanks around it. A control byte within it makes it
    // none rather than another name: it is no text a camera would write.
    std::string ModelIn(const std::vector<unsigned char>& entries) const {
        std::string model = TextIn(entries, kModel);
        const size_t first = model.find_first_not_of(' ');
        const size_t last = model.find_last_not_of(' ');
        model = first == std::string::npos ? std::string() : model.substr(first, last - first + 1);
        for (const char c : model) {
            if (static_cast<unsigned char>(c) < 0x20)
                return std::string();
        }
        return model;
    }

    // The sub-seconds of DateTimeOriginal, else of DateTimeDigitized, else of
    // DateTime: the digits that open the text after any blanks. A tag without
    // them counts as absent, as a date that is not real does.
    std::string SubSecondIn(const std::vector<unsigned char>& exif) const {
        for (uint16_t tag : {uint16_t(0x9291), uint16_t(0x9292), uint16_t(0x9290)}) {
            const std::string text = TextIn(exif, tag);
            const size_t from = std::min(text.find_first_not_of(' '), text.size());
            size_t to = from;
            while (to < text.size() && text[to] >= '0' && text[to] <= '9')
                ++to;
            if (to > from)
                return text.substr(from, to - from);
        }
        return std::string();
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

} // namespace

std::optional<CameraDate> ExifDate(const CSource& tiff) {
    return CTiffReader(tiff).Date();
}

std::optional<std::tm> FirstIfdDate(const CSource& tiff, uint16_t tag) {
    return CTiffReader(tiff).FirstIfdDate(tag);
}

std::string FirstIfdModel(const CSource& tiff) {
    return CTiffReader(tiff).FirstIfdModel();
}

std::string FirstIfdSubSecond(const CSource& tiff) {
    return CTiffReader(tiff).FirstIfdSubSecond();
}

std::optional<CameraDate> TiffDate(const CSource& file) {
    return ExifDate(file);
}
