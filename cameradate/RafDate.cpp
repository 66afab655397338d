// Fujifilm RAF: the EXIF of the JPEG its header points to.
#include "Readers.h"

std::optional<CameraDate> RafDate(const CSource&) {
    return std::nullopt;
}
