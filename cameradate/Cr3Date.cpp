// Canon CR3: the EXIF of the Canon box of its movie box, where CMT2 holds the
// EXIF IFD and CMT1 the main image's IFD, each as a TIFF of its own.
#include "IsoBoxes.h"
#include "Readers.h"

#include <cstring>

namespace {

constexpr unsigned char kCanonUuid[16] = {0x85, 0xc0, 0xb6, 0x87, 0x82, 0x0f, 0x11, 0xe0,
                                          0x81, 0x11, 0xf4, 0xce, 0x46, 0x2b, 0x6a, 0x48};

// The body of Canon's uuid box, after the UUID.
std::optional<Box> CanonBox(const CSource& file, const Box& moov) {
    Box box;
    uint64_t at = moov.body;
    for (int i = 0; i < kMaxBoxes && ReadBox(file, at, moov.End(), box); ++i, at = box.End()) {
        unsigned char uuid[sizeof(kCanonUuid)];
        if (box.type == FourCC("uuid") && box.size >= sizeof(uuid) &&
            file.Read(box.body, sizeof(uuid), uuid) &&
            std::memcmp(uuid, kCanonUuid, sizeof(uuid)) == 0)
            return Box{box.type, box.body + sizeof(uuid), box.size - sizeof(uuid)};
    }
    return std::nullopt;
}

std::optional<std::tm> TiffBoxDate(const CSource& file, const Box& canon, uint32_t type,
                                   uint16_t tag) {
    const std::optional<Box> tiff = FindBox(file, canon.body, canon.End(), type);
    if (!tiff)
        return std::nullopt;
    return FirstIfdDate(CSliceSource(file, tiff->body, tiff->size), tag);
}

} // namespace

std::optional<CameraDate> Cr3Date(const CSource& file) {
    const std::optional<Box> moov = FindBox(file, 0, file.Size(), FourCC("moov"));
    const std::optional<Box> canon = moov ? CanonBox(file, *moov) : std::nullopt;
    if (!canon)
        return std::nullopt;
    const struct {
        char box[5];
        uint16_t tag;
    } order[] = {{"CMT2", 0x9003}, {"CMT2", 0x9004}, {"CMT1", 0x0132}};
    for (const auto& o : order) {
        if (std::optional<std::tm> time = TiffBoxDate(file, *canon, FourCC(o.box), o.tag))
            return CameraDate{*time, false};
    }
    return std::nullopt;
}
