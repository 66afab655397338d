// Canon CRW: the time stamp record of its heap.
#include "Readers.h"

std::optional<CameraDate> CrwDate(const CSource&) {
    return std::nullopt;
}
