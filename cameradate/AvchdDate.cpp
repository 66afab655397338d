// AVCHD (MTS, M2TS): the recording time the camcorder writes into the H.264 stream.
#include "Readers.h"

std::optional<CameraDate> AvchdDate(const CSource&) {
    return std::nullopt;
}
