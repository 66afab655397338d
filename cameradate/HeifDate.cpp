// HEIC, HEIF and AVIF: the 'Exif' item of the top-level meta box.
#include "IsoBoxes.h"
#include "Readers.h"

#include <limits>
#include <vector>

namespace {
constexpr uint64_t kMaxMetaBox = 1 << 20;
constexpr uint64_t kMaxExifItem = 64 * 1024;
constexpr uint64_t kMaxExifExtents = 64;

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

} // namespace

std::optional<CameraDate> HeifDate(const CSource& file) {
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
