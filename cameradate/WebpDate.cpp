// WebP: the EXIF chunk of its RIFF container.
#include "Readers.h"
#include "RiffChunks.h"

std::optional<CameraDate> WebpDate(const CSource& file) {
    const uint64_t end = RiffEnd(file);
    RiffChunk chunk;
    uint64_t at = 12;
    for (int i = 0; i < kMaxRiffChunks && ReadRiffChunk(file, at, end, chunk);
         ++i, at = chunk.Next()) {
        if (chunk.id == FourCC("EXIF"))
            return ExifBlockDate(CSliceSource(file, chunk.body, chunk.size));
    }
    return std::nullopt;
}
