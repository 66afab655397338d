// Sigma X3F: EXIF where the file holds it.
#include "Readers.h"

#include <algorithm>

namespace {

constexpr uint32_t kMaxSections = 64;
constexpr size_t kEntrySize = 12; // offset, length, type
// "SECi", version, image type, data format, columns, rows, row size.
constexpr uint64_t kImageHeader = 28;
constexpr uint32_t kJpegFormat = 18;

// An image section that holds a JPEG: the preview, with EXIF.
std::optional<CameraDate> PreviewDate(const CSource& file, uint64_t offset, uint64_t length) {
    const CSliceSource section(file, offset, length);
    unsigned char head[kImageHeader + 2];
    if (!section.Read(0, sizeof(head), head) || std::memcmp(head, "SECi", 4) != 0 ||
        LittleEndian(head + 12, 4) != kJpegFormat || head[kImageHeader] != 0xFF ||
        head[kImageHeader + 1] != 0xD8)
        return std::nullopt;
    return JpegDate(CSliceSource(section, kImageHeader, section.Size() - kImageHeader));
}

} // namespace

// Little-endian throughout. The file's last 4 bytes give the offset of the
// directory of its sections: "SECd", version, count, then an entry for each.
// Cameras after the SD9 and SD10 keep a JPEG preview among the image sections;
// the older ones write no EXIF, and their own properties are left unread.
std::optional<CameraDate> X3fDate(const CSource& file) {
    unsigned char pointer[4];
    if (file.Size() < sizeof(pointer) ||
        !file.Read(file.Size() - sizeof(pointer), sizeof(pointer), pointer))
        return std::nullopt;
    const uint64_t directory = LittleEndian(pointer, 4);
    unsigned char head[12];
    if (!file.Read(directory, sizeof(head), head) || std::memcmp(head, "SECd", 4) != 0)
        return std::nullopt;
    const uint32_t count = std::min(uint32_t(LittleEndian(head + 8, 4)), kMaxSections);
    unsigned char entries[kMaxSections * kEntrySize];
    if (!file.Read(directory + sizeof(head), count * kEntrySize, entries))
        return std::nullopt;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = entries + i * kEntrySize;
        if (std::memcmp(entry + 8, "IMAG", 4) != 0 && std::memcmp(entry + 8, "IMA2", 4) != 0)
            continue;
        if (std::optional<CameraDate> date =
                PreviewDate(file, LittleEndian(entry, 4), LittleEndian(entry + 4, 4)))
            return date;
    }
    return std::nullopt;
}
