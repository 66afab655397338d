// JPEG: EXIF in an APP1 segment.
#include "Readers.h"

namespace {
constexpr int kMaxJpegMarkers = 512;
} // namespace

// JPEG: the markers up to the image data, and the TIFF block of each APP1
// "Exif" segment. Segment bodies are skipped, not read.
std::optional<CameraDate> JpegDate(const CSource& file) {
    uint64_t at = 2;
    for (int i = 0; i < kMaxJpegMarkers; ++i) {
        unsigned char m[4];
        if (!file.Read(at, 4, m) || m[0] != 0xFF)
            return std::nullopt;
        const unsigned char marker = m[1];
        if (marker == 0xFF) { // fill byte before a marker
            at += 1;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // no length follows
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // image data or end: EXIF comes before
            return std::nullopt;
        const uint64_t length = BigEndian(m + 2, 2);
        if (length < 2)
            return std::nullopt;
        unsigned char id[6];
        if (marker == 0xE1 && length >= 2 + sizeof(id) && file.Read(at + 4, sizeof(id), id) &&
            std::memcmp(id, "Exif\0\0", sizeof(id)) == 0) {
            CSliceSource tiff(file, at + 4 + sizeof(id), length - 2 - sizeof(id));
            if (std::optional<CameraDate> date = ExifDate(tiff))
                return date;
        }
        at += 2 + length;
    }
    return std::nullopt;
}
