// AVCHD (MTS, M2TS): the recording time the camcorder writes into the H.264 stream.
//
// The transport stream's packets of the video stream carry H.264 NAL units;
// with the first frames comes an SEI message of unregistered user data whose
// UUID is followed by "MDPM" and tagged entries of five bytes: 0x18 holds a
// byte of its own, then year (two bytes) and month, 0x19 day, hour, minute and
// second, all in BCD, the camcorder's local time.
#include "Readers.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The date comes with the first frame; a stream without it there has none.
constexpr uint64_t kMaxScannedBytes = 512 * 1024;
constexpr size_t kTsPacket = 188;
// How much of an SEI NAL unit is looked into: its first messages.
constexpr size_t kMaxSei = 4096;
constexpr int kSeiUserDataUnregistered = 5;
constexpr int kNalSei = 6;
constexpr size_t kUuidLength = 16;

int Bcd(unsigned char b) {
    return (b >> 4) > 9 || (b & 15) > 9 ? -1 : (b >> 4) * 10 + (b & 15);
}

// The date of the entries that follow "MDPM".
std::optional<CameraDate> MdpmDate(const unsigned char* p, size_t size) {
    const unsigned char* yearMonth = nullptr;
    const unsigned char* dayTime = nullptr;
    const size_t entries = size > 0 ? p[0] : 0;
    for (size_t i = 0; i < entries && 1 + 5 * (i + 1) <= size; ++i) {
        const unsigned char* e = p + 1 + 5 * i;
        if (e[0] == 0x18)
            yearMonth = e + 2;
        else if (e[0] == 0x19)
            dayTime = e + 1;
    }
    if (!yearMonth || !dayTime)
        return std::nullopt;
    const int century = Bcd(yearMonth[0]), year = Bcd(yearMonth[1]), month = Bcd(yearMonth[2]);
    const int day = Bcd(dayTime[0]), hour = Bcd(dayTime[1]), minute = Bcd(dayTime[2]);
    const int second = Bcd(dayTime[3]);
    for (int v : {century, year, month, day, hour, minute, second}) {
        if (v < 0)
            return std::nullopt;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%02d%02d:%02d:%02d %02d:%02d:%02d", century, year, month,
                  day, hour, minute, second);
    if (std::optional<std::tm> date = ParseExifDateTime(text))
        return CameraDate{*date, false, {}, {}};
    return std::nullopt;
}

// The messages of an SEI NAL unit, emulation prevention removed: a type and a
// size, each in bytes of 255 and a last one, and the payload.
std::optional<CameraDate> SeiDate(const std::vector<unsigned char>& sei) {
    size_t at = 0;
    auto number = [&]() {
        size_t v = 0;
        while (at < sei.size() && sei[at] == 0xFF)
            v += sei[at++];
        return at < sei.size() ? v + sei[at++] : v;
    };
    while (at < sei.size() && sei[at] != 0x80) { // the stop bit ends the messages
        const size_t type = number(), size = number();
        if (size > sei.size() - at)
            return std::nullopt;
        const unsigned char* payload = sei.data() + at;
        if (type == kSeiUserDataUnregistered && size >= kUuidLength + 4 &&
            std::memcmp(payload + kUuidLength, "MDPM", 4) == 0) {
            if (std::optional<CameraDate> date =
                    MdpmDate(payload + kUuidLength + 4, size - kUuidLength - 4))
                return date;
        }
        at += size;
    }
    return std::nullopt;
}

// The bytes of an H.264 stream, fed as they come: its start codes, and the
// SEI units among the NAL units they begin.
class CSeiScanner {
public:
    // Whether the stream has given a date so far.
    bool Feed(const unsigned char* p, size_t size) {
        for (size_t i = 0; i < size && !m_date; ++i)
            Byte(p[i]);
        return m_date.has_value();
    }
    // The date, where the stream ends: an SEI unit cut short may still hold it.
    std::optional<CameraDate> End() {
        if (!m_date && m_inSei)
            m_date = SeiDate(m_sei);
        return m_date;
    }

private:
    void Byte(unsigned char b) {
        if (m_atHeader) {
            m_atHeader = false;
            m_inSei = (b & 0x1F) == kNalSei;
            m_sei.clear();
        } else if (b == 1 && m_zeros >= 2) {
            if (m_inSei)
                m_date = SeiDate(m_sei);
            m_inSei = false;
            m_atHeader = true;
        } else if (m_inSei && !(b == 3 && m_zeros >= 2)) { // 00 00 03: the 03 is no data
            m_sei.push_back(b);
            if (m_sei.size() == kMaxSei) {
                m_date = SeiDate(m_sei);
                m_inSei = false;
            }
        }
        m_zeros = b == 0 ? std::min(m_zeros + 1, 2) : 0;
    }

    std::vector<unsigned char> m_sei;
    int m_zeros = 0;
    bool m_atHeader = false;
    bool m_inSei = false;
    std::optional<CameraDate> m_date;
};

class CTransportStream {
public:
    explicit CTransportStream(const CSource& file) : m_file(file) {}

    std::optional<CameraDate> Date() {
        if (!FindPacketSize())
            return std::nullopt;
        CSeiScanner scanner;
        const uint64_t end = std::min(m_file.Size(), kMaxScannedBytes);
        unsigned char packet[kTsPacket];
        for (uint64_t at = m_first; at + kTsPacket <= end; at += m_stride) {
            if (!m_file.Read(at, kTsPacket, packet) || packet[0] != 0x47)
                break;
            size_t begin = 0;
            if (VideoPayload(packet, begin) && scanner.Feed(packet + begin, kTsPacket - begin))
                break;
        }
        return scanner.End();
    }

private:
    // 188 bytes a packet, or 192 behind a time code of four.
    bool FindPacketSize() {
        for (uint64_t prefix : {uint64_t(0), uint64_t(4)}) {
            unsigned char sync[2] = {};
            const uint64_t stride = kTsPacket + prefix;
            const bool second = m_file.Size() >= prefix + stride + 1;
            if (m_file.Read(prefix, 1, sync) && sync[0] == 0x47 &&
                (!second || (m_file.Read(prefix + stride, 1, sync + 1) && sync[1] == 0x47))) {
                m_first = prefix;
                m_stride = stride;
                return true;
            }
        }
        return false;
    }

    // Where the H.264 bytes of a packet begin, if it is one of the video
    // stream's: the stream of the first PES packet of a video stream id.
    bool VideoPayload(const unsigned char* p, size_t& begin) {
        const bool error = p[1] & 0x80, unitStart = p[1] & 0x40, scrambled = p[3] & 0xC0;
        const unsigned pid = unsigned(p[1] & 0x1F) << 8 | p[2];
        const unsigned control = p[3] >> 4 & 3;
        if (error || scrambled || !(control & 1))
            return false;
        begin = 4;
        if (control & 2)
            begin += 1 + size_t(p[4]);
        if (begin >= kTsPacket)
            return false;
        if (unitStart) {
            // A PES header: start code, stream id, length, flags, header length.
            const unsigned char* pes = p + begin;
            if (kTsPacket - begin < 9 || pes[0] != 0 || pes[1] != 0 || pes[2] != 1)
                return false;
            if (!m_videoPid && (pes[3] & 0xF0) == 0xE0)
                m_videoPid = pid;
            begin += 9 + size_t(pes[8]);
        }
        return m_videoPid == pid && begin < kTsPacket;
    }

    const CSource& m_file;
    uint64_t m_first = 0;
    uint64_t m_stride = kTsPacket;
    std::optional<unsigned> m_videoPid;
};

} // namespace

std::optional<CameraDate> AvchdDate(const CSource& file) {
    return CTransportStream(file).Date();
}
