// Sigma X3F: EXIF where the file holds it.
#include "Readers.h"

std::optional<CameraDate> X3fDate(const CSource&) {
    return std::nullopt;
}
