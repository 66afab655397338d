// Minolta MRW: the TIFF structure in its TTW block.
#include "Readers.h"

std::optional<CameraDate> MrwDate(const CSource&) {
    return std::nullopt;
}
