// JPEG XL in its container: the Exif box.
#include "Readers.h"

std::optional<CameraDate> JxlDate(const CSource&) {
    return std::nullopt;
}
