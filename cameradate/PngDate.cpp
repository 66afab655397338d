// PNG: the eXIf chunk, and the hex text profile of EXIF that ImageMagick writes.
#include "Inflate.h"
#include "Readers.h"

#include <algorithm>
#include <vector>

namespace {

// A picture of 8 KB data chunks would need 800 MB for this many.
constexpr int kMaxChunks = 100000;
// Of the chunks that may hold EXIF, only the first few are looked into.
constexpr size_t kMaxCandidates = 4;
// The text of a profile, and so EXIF of half this size: a JPEG's EXIF is at
// most 64 KB.
constexpr size_t kMaxProfileText = 256 * 1024;
// No stream that inflates to at most kMaxProfileText needs more than this.
constexpr uint64_t kMaxCompressedText = 2 * kMaxProfileText;
// Language tag and translated keyword of an iTXt chunk.
constexpr size_t kMaxTextHeader = 512;
// "Raw profile type exif" or "Raw profile type APP1", and its NUL.
constexpr size_t kKeywordLength = 22;

struct Chunk {
    uint32_t type = 0;
    uint64_t body = 0;
    uint64_t size = 0;
};

bool IsTextChunk(uint32_t type) {
    return type == FourCC("tEXt") || type == FourCC("zTXt") || type == FourCC("iTXt");
}

// "\nexif\n   LENGTH\n" and then LENGTH bytes in hex over lines of 72 digits. The
// bytes that the text holds, of as many as it says.
std::vector<unsigned char> ProfileBytes(const std::vector<unsigned char>& text) {
    std::vector<unsigned char> bytes;
    size_t at = 0;
    while (at < text.size() && text[at] == '\n')
        ++at;
    while (at < text.size() && text[at] != '\n') // the profile's name
        ++at;
    while (at < text.size() && (text[at] == '\n' || text[at] == ' '))
        ++at;
    uint64_t length = 0;
    int digits = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 10; ++at, ++digits)
        length = length * 10 + uint64_t(text[at] - '0');
    int high = -1;
    for (; at < text.size() && bytes.size() < length; ++at) {
        const unsigned char c = text[at];
        if (c == '\n' || c == '\r' || c == ' ')
            continue;
        const int nibble = c >= '0' && c <= '9'   ? c - '0'
                           : c >= 'a' && c <= 'f' ? c - 'a' + 10
                           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
        if (nibble < 0)
            break;
        if (high < 0) {
            high = nibble;
        } else {
            bytes.push_back(static_cast<unsigned char>(high << 4 | nibble));
            high = -1;
        }
    }
    return bytes;
}

class CPngReader {
public:
    explicit CPngReader(const CSource& file) : m_file(file) {}

    // An eXIf chunk wherever it lies, else a profile in text.
    std::optional<CameraDate> Date() {
        std::vector<Chunk> profiles;
        size_t exifChunks = 0;
        uint64_t at = 8;
        Chunk chunk;
        for (int i = 0; i < kMaxChunks && ReadChunk(at, chunk) && chunk.type != FourCC("IEND");
             ++i, at = chunk.body + chunk.size + 4) {
            if (chunk.type == FourCC("eXIf") && exifChunks++ < kMaxCandidates) {
                if (std::optional<CameraDate> date =
                        ExifBlockDate(CSliceSource(m_file, chunk.body, chunk.size)))
                    return date;
            } else if (IsTextChunk(chunk.type) && profiles.size() < kMaxCandidates &&
                       IsExifProfile(chunk)) {
                profiles.push_back(chunk);
            }
        }
        for (const Chunk& profile : profiles) {
            std::vector<unsigned char> text;
            if (ProfileText(profile, text)) {
                const std::vector<unsigned char> exif = ProfileBytes(text);
                if (std::optional<CameraDate> date =
                        ExifBlockDate(CMemorySource(exif.data(), exif.size())))
                    return date;
            }
        }
        return std::nullopt;
    }

private:
    bool ReadChunk(uint64_t at, Chunk& chunk) const {
        unsigned char h[8];
        if (!m_file.Read(at, sizeof(h), h))
            return false;
        chunk.size = BigEndian(h, 4);
        chunk.type = uint32_t(BigEndian(h + 4, 4));
        chunk.body = at + sizeof(h);
        return chunk.size <= 0x7FFFFFFF && chunk.size <= m_file.Size() - chunk.body;
    }

    bool IsExifProfile(const Chunk& chunk) const {
        char keyword[kKeywordLength];
        return chunk.size > sizeof(keyword) &&
               m_file.Read(chunk.body, sizeof(keyword),
                           reinterpret_cast<unsigned char*>(keyword)) &&
               (std::memcmp(keyword, "Raw profile type exif", sizeof(keyword)) == 0 ||
                std::memcmp(keyword, "Raw profile type APP1", sizeof(keyword)) == 0);
    }

    // The text after the keyword: as it is in tEXt; zlib-compressed in zTXt;
    // either in iTXt, behind a language tag and a translated keyword.
    bool ProfileText(const Chunk& chunk, std::vector<unsigned char>& text) const {
        uint64_t at = chunk.body + kKeywordLength;
        const uint64_t end = chunk.body + chunk.size;
        bool compressed = chunk.type == FourCC("zTXt");
        if (chunk.type == FourCC("iTXt")) {
            unsigned char head[2 + kMaxTextHeader];
            const size_t got = size_t(std::min<uint64_t>(end - at, sizeof(head)));
            if (got < 2 || !m_file.Read(at, got, head) || head[0] > 1)
                return false;
            compressed = head[0] == 1;
            if (compressed && head[1] != 0)
                return false;
            size_t nuls = 0, i = 2;
            for (; i < got && nuls < 2; ++i)
                nuls += head[i] == 0;
            if (nuls < 2)
                return false;
            at += i;
        } else if (compressed) {
            unsigned char method;
            if (!m_file.Read(at, 1, &method) || method != 0)
                return false;
            at += 1;
        }
        if (compressed)
            return InflateZlib(
                CSliceSource(m_file, at, std::min<uint64_t>(end - at, kMaxCompressedText)),
                kMaxProfileText, text);
        text.resize(size_t(std::min<uint64_t>(end - at, kMaxProfileText)));
        return m_file.Read(at, text.size(), text.data());
    }

    const CSource& m_file;
};

} // namespace

std::optional<CameraDate> PngDate(const CSource& file) {
    return CPngReader(file).Date();
}
