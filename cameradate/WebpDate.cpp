// WebP: the EXIF chunk of its RIFF container.
#include "Readers.h"

std::optional<CameraDate> WebpDate(const CSource&) {
    return std::nullopt;
}
