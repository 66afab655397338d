// Canon CRW: the time stamp record of its heap.
#include "Readers.h"

#include <algorithm>
#include <vector>

namespace {

// Cameras nest heaps three or four deep with a few dozen records each; the
// limits keep a heap that holds itself, or a wide tree of them, brief.
constexpr int kMaxDepth = 8;
constexpr int kMaxHeaps = 64;
constexpr size_t kMaxRecords = 256;
constexpr size_t kRecordSize = 10; // type, size, offset
constexpr uint16_t kTimeStamp = 0x180E;

// The heap that fills the file after its header, in the byte order its first
// two bytes name. A heap's last 4 bytes give the offset of its table: a
// 16-bit count, then the records. A record's type tells where its data lies
// (in the heap, or in the record's own 8 bytes) and whether it is a heap.
class CCiffReader {
public:
    explicit CCiffReader(const CSource& file) : m_file(file) {}

    std::optional<CameraDate> Date() {
        unsigned char header[6];
        if (!m_file.Read(0, sizeof(header), header))
            return std::nullopt;
        if (std::memcmp(header, "MM", 2) == 0)
            m_bigEndian = true;
        else if (std::memcmp(header, "II", 2) != 0)
            return std::nullopt;
        const uint64_t headerLength = U32(header + 2);
        if (headerLength > m_file.Size())
            return std::nullopt;
        return DateIn(CSliceSource(m_file, headerLength, m_file.Size() - headerLength), 0);
    }

private:
    uint16_t U16(const unsigned char* p) const {
        return uint16_t(m_bigEndian ? BigEndian(p, 2) : LittleEndian(p, 2));
    }
    uint32_t U32(const unsigned char* p) const {
        return uint32_t(m_bigEndian ? BigEndian(p, 4) : LittleEndian(p, 4));
    }

    std::optional<CameraDate> DateIn(const CSource& heap, int depth) {
        if (depth >= kMaxDepth || m_heapsLeft == 0)
            return std::nullopt;
        --m_heapsLeft;
        std::vector<unsigned char> records;
        if (!ReadTable(heap, records))
            return std::nullopt;
        for (size_t at = 0; at < records.size(); at += kRecordSize) {
            const unsigned char* record = &records[at];
            const uint16_t type = U16(record);
            const uint16_t storage = uint16_t(type & 0xC000), kind = uint16_t(type & 0x3800);
            std::optional<CameraDate> date;
            if ((type & 0x3FFF) == kTimeStamp)
                date = TimeStamp(heap, record, storage);
            else if (storage == 0 && (kind == 0x2800 || kind == 0x3000))
                date = DateIn(CSliceSource(heap, U32(record + 6), U32(record + 2)), depth + 1);
            if (date)
                return date;
        }
        return std::nullopt;
    }

    // The records that fit in the heap, up to the cap.
    bool ReadTable(const CSource& heap, std::vector<unsigned char>& records) const {
        unsigned char pointer[4], count[2];
        if (heap.Size() < sizeof(pointer) ||
            !heap.Read(heap.Size() - sizeof(pointer), sizeof(pointer), pointer))
            return false;
        const uint64_t table = U32(pointer);
        if (!heap.Read(table, sizeof(count), count))
            return false;
        const uint64_t fit = (heap.Size() - table - sizeof(count)) / kRecordSize;
        const uint64_t n = std::min<uint64_t>({U16(count), fit, kMaxRecords});
        records.resize(size_t(n) * kRecordSize);
        return heap.Read(table + sizeof(count), records.size(), records.data());
    }

    // Seconds from 1970 as the camera's clock showed them, then its time zone,
    // which the date leaves aside. Zero is a clock never set.
    std::optional<CameraDate> TimeStamp(const CSource& heap, const unsigned char* record,
                                        uint16_t storage) const {
        unsigned char value[4];
        if (storage == 0x4000)
            std::memcpy(value, record + 2, sizeof(value));
        else if (storage != 0 || !heap.Read(U32(record + 6), sizeof(value), value))
            return std::nullopt;
        const uint32_t seconds = U32(value);
        if (seconds == 0)
            return std::nullopt;
        if (std::optional<std::tm> time = UtcCalendarTime(seconds))
            return CameraDate{*time, false, {}, {}};
        return std::nullopt;
    }

    const CSource& m_file;
    bool m_bigEndian = false;
    int m_heapsLeft = kMaxHeaps;
};

} // namespace

std::optional<CameraDate> CrwDate(const CSource& file) {
    return CCiffReader(file).Date();
}
