// Fujifilm RAF: the EXIF of the JPEG its header points to.
#include "Readers.h"

namespace {
// The header's big-endian offset and length of the JPEG, after the fixed
// fields that name the format and the camera.
constexpr uint64_t kJpegPointer = 0x54;
} // namespace

std::optional<CameraDate> RafDate(const CSource& file) {
    unsigned char pointer[8];
    if (!file.Read(kJpegPointer, sizeof(pointer), pointer))
        return std::nullopt;
    const CSliceSource jpeg(file, BigEndian(pointer, 4), BigEndian(pointer + 4, 4));
    unsigned char start[2];
    if (!jpeg.Read(0, sizeof(start), start) || start[0] != 0xFF || start[1] != 0xD8)
        return std::nullopt;
    return JpegDate(jpeg);
}
