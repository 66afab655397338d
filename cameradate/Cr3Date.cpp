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

// A CMT box's TIFF structure; an empty slice where the Canon box lacks it.
CSliceSource TiffBox(const CSource& file, const Box& canon, uint32_t type) {
    const std::optional<Box> tiff = FindBox(file, canon.body, canon.End(), type);
    return tiff ? CSliceSource(file, tiff->body, tiff->size) : CSliceSource(file, 0, 0);
}

} // namespace

std::optional<CameraDate> Cr3Date(const CSource& file) {
    const std::optional<Box> moov = FindBox(file, 0, file.Size(), FourCC("moov"));
    const std::optional<Box> canon = moov ? CanonBox(file, *moov) : std::nullopt;
    if (!canon)
        return std::nullopt;
    const CSliceSource cmt1 = TiffBox(file, *canon, FourCC("CMT1"));
    const CSliceSource cmt2 = TiffBox(file, *canon, FourCC("CMT2"));
    std::optional<std::tm> time = FirstIfdDate(cmt2, 0x9003);
    if (!time)
        time = FirstIfdDate(cmt2, 0x9004);
    if (!time)
        time = FirstIfdDate(cmt1, 0x0132);
    if (!time)
        return std::nullopt;
    // Whichever box gave the date, the model is the main image's and the
    // sub-seconds are the EXIF IFD's.
    return CameraDate{*time, false, FirstIfdSubSecond(cmt2), FirstIfdModel(cmt1)};
}
