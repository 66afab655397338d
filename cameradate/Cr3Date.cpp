// Canon CR3: the EXIF of the Canon box of its movie box.
#include "Readers.h"

std::optional<CameraDate> Cr3Date(const CSource&) {
    return std::nullopt;
}
