// AVI: the IDIT chunk of its header list, else EXIF in a stream's strd chunk.
#include "Readers.h"

std::optional<CameraDate> AviDate(const CSource&) {
    return std::nullopt;
}
