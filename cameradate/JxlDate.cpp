// JPEG XL in its container: the Exif box. A box that Brotli compressed
// ('brob') is not unpacked, so EXIF kept in one gives no date; a bare
// codestream has no boxes and no EXIF.
#include "IsoBoxes.h"
#include "Readers.h"

std::optional<CameraDate> JxlDate(const CSource& file) {
    const std::optional<Box> exif = FindBox(file, 0, file.Size(), FourCC("Exif"));
    if (!exif)
        return std::nullopt;
    return ExifItemDate(CSliceSource(file, exif->body, exif->size));
}
