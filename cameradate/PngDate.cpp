// PNG: the eXIf chunk, and the hex text profile of EXIF that ImageMagick writes.
#include "Readers.h"

std::optional<CameraDate> PngDate(const CSource&) {
    return std::nullopt;
}
