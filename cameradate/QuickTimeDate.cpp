// QuickTime and MP4 movies (MOV, MP4, M4V, 3GP): Apple's creation date as
// written, else the movie header's creation time, which is UTC. The movie box
// may lie behind gigabytes of media: only box headers and the few fields
// needed are read, each where it lies.
#include "IsoBoxes.h"
#include "Readers.h"

#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr char kCreationDateKey[] = "com.apple.quicktime.creationdate";
constexpr size_t kKeyLength = sizeof(kCreationDateKey) - 1;
constexpr size_t kIsoDateLength = 19; // "YYYY-MM-DDTHH:MM:SS"
constexpr int64_t kSecondsFrom1904To1970 = 2082844800;

// QuickTime's meta box holds boxes only; the ISO one puts its version and
// flags first, which are zero where a box would have its size.
uint64_t MetaChildren(const CSource& file, const Box& meta) {
    unsigned char head[4];
    const bool full = meta.size >= sizeof(head) && file.Read(meta.body, sizeof(head), head) &&
                      BigEndian(head, 4) == 0;
    return full ? meta.body + 4 : meta.body;
}

// The number, from 1, of the creation date among the keys. Each key is laid out
// as a box: its size, its namespace where a box has its type, then its name.
std::optional<uint32_t> CreationDateKey(const CSource& file, const Box& keys) {
    Box key;
    uint64_t at = keys.body + 8; // version, flags and the count, which the sizes make redundant
    for (uint32_t number = 1; number <= uint32_t(kMaxBoxes) && ReadBox(file, at, keys.End(), key);
         ++number, at = key.End()) {
        char name[kKeyLength];
        if (key.size == kKeyLength &&
            file.Read(key.body, kKeyLength, reinterpret_cast<unsigned char*>(name)) &&
            std::memcmp(name, kCreationDateKey, kKeyLength) == 0)
            return number;
    }
    return std::nullopt;
}

// "YYYY-MM-DDTHH:MM:SS" and the zone that follows, as the local time written.
std::optional<std::tm> ParseIsoDateTime(std::string_view written) {
    if (written.size() < kIsoDateLength || written[4] != '-' || written[7] != '-' ||
        written[10] != 'T')
        return std::nullopt;
    std::string text(written);
    text[4] = text[7] = ':';
    text[10] = ' ';
    return ParseExifDateTime(text);
}

// The text of an item's first data box follows its type and its locale.
std::optional<CameraDate> ItemDate(const CSource& file, const Box& item) {
    const std::optional<Box> data = FindBox(file, item.body, item.End(), FourCC("data"));
    unsigned char value[8 + kIsoDateLength];
    if (!data || data->size < sizeof(value) || !file.Read(data->body, sizeof(value), value))
        return std::nullopt;
    const std::optional<std::tm> time = ParseIsoDateTime(
        std::string_view(reinterpret_cast<const char*>(value) + 8, kIsoDateLength));
    if (!time)
        return std::nullopt;
    return CameraDate{*time, false, {}, {}};
}

// Apple's keyed metadata: the keys name the creation date, the item list holds
// it under the key's number.
std::optional<CameraDate> AppleDate(const CSource& file, const Box& moov) {
    const std::optional<Box> meta = FindBox(file, moov.body, moov.End(), FourCC("meta"));
    if (!meta)
        return std::nullopt;
    const uint64_t children = MetaChildren(file, *meta);
    const std::optional<Box> keys = FindBox(file, children, meta->End(), FourCC("keys"));
    const std::optional<Box> ilst = FindBox(file, children, meta->End(), FourCC("ilst"));
    const std::optional<uint32_t> number = keys ? CreationDateKey(file, *keys) : std::nullopt;
    if (!ilst || !number)
        return std::nullopt;
    const std::optional<Box> item = FindBox(file, ilst->body, ilst->End(), *number);
    return item ? ItemDate(file, *item) : std::nullopt;
}

// Seconds from 1904 in UTC, 32 bits in version 0 and 64 in version 1; 0 is unset.
std::optional<CameraDate> MovieHeaderDate(const CSource& file, const Box& moov) {
    const std::optional<Box> mvhd = FindBox(file, moov.body, moov.End(), FourCC("mvhd"));
    if (!mvhd)
        return std::nullopt;
    const CSliceSource header(file, mvhd->body, mvhd->size);
    unsigned char h[12];
    if (!header.Read(0, 1, h) || h[0] > 1)
        return std::nullopt;
    const int field = h[0] == 0 ? 4 : 8;
    if (!header.Read(0, size_t(4 + field), h))
        return std::nullopt;
    const uint64_t seconds = BigEndian(h + 4, field);
    if (seconds == 0 || seconds > uint64_t(std::numeric_limits<int64_t>::max()))
        return std::nullopt;
    const std::optional<std::tm> time = UtcCalendarTime(int64_t(seconds) - kSecondsFrom1904To1970);
    if (!time)
        return std::nullopt;
    return CameraDate{*time, true, {}, {}};
}

} // namespace

std::optional<CameraDate> QuickTimeDate(const CSource& file) {
    const std::optional<Box> moov = FindBox(file, 0, file.Size(), FourCC("moov"));
    if (!moov)
        return std::nullopt;
    if (std::optional<CameraDate> date = AppleDate(file, *moov))
        return date;
    return MovieHeaderDate(file, *moov);
}
