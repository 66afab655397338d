// zlib and deflate decoding: stored, fixed and dynamic Huffman blocks, with
// every length, distance and code checked against what came before.
#include "Inflate.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kMaxCodeBits = 15;
constexpr int kLiteralCodes = 288; // 286 and 287 have codes in the fixed code only
constexpr int kDistanceCodes = 30;
constexpr int kEndOfBlock = 256;

// Bits of a source, least significant first, read through a small buffer.
class CBitReader {
public:
    explicit CBitReader(const CSource& source) : m_source(source) {}

    uint32_t Bits(int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value |= uint32_t(Bit()) << i;
        return value;
    }
    int Bit() {
        if (m_bit == 8) {
            if (!NextByte(m_byte))
                return 0;
            m_bit = 0;
        }
        return m_byte >> m_bit++ & 1;
    }
    // A stored block and the checksum start at a byte.
    void Align() { m_bit = 8; }
    bool Byte(unsigned char& out) { return NextByte(out); }
    bool Ok() const { return m_ok; }

private:
    bool NextByte(unsigned char& out) {
        if (m_ok && m_next == m_end) {
            const uint64_t left = m_source.Size() - m_offset;
            m_end = size_t(std::min<uint64_t>(left, sizeof(m_buffer)));
            m_ok = m_end > 0 && m_source.Read(m_offset, m_end, m_buffer);
            m_offset += m_end;
            m_next = 0;
        }
        if (!m_ok)
            return false;
        out = m_buffer[m_next++];
        return true;
    }

    const CSource& m_source;
    uint64_t m_offset = 0;
    unsigned char m_buffer[4096] = {};
    size_t m_next = 0, m_end = 0;
    unsigned char m_byte = 0;
    int m_bit = 8;
    bool m_ok = true;
};

// A canonical Huffman code: how many codes each length has, and the symbols
// in the order of their codes.
class CHuffmanCode {
public:
    // False for lengths that give more codes than their bits can tell apart;
    // a code with unused bit patterns is allowed, and fails only when met.
    bool Build(const unsigned char* lengths, int symbols) {
        std::fill(std::begin(m_count), std::end(m_count), uint16_t(0));
        for (int s = 0; s < symbols; ++s)
            ++m_count[lengths[s]];
        int left = 1;
        for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
            left = 2 * left - m_count[bits];
            if (left < 0)
                return false;
        }
        uint16_t first[kMaxCodeBits + 1] = {};
        for (int bits = 1; bits < kMaxCodeBits; ++bits)
            first[bits + 1] = uint16_t(first[bits] + m_count[bits]);
        for (int s = 0; s < symbols; ++s) {
            if (lengths[s] != 0)
                m_symbol[first[lengths[s]]++] = uint16_t(s);
        }
        return true;
    }

    // The next symbol, or -1 for a bit pattern the code does not have.
    int Decode(CBitReader& in) const {
        int code = 0, first = 0, index = 0;
        for (int bits = 1; bits <= kMaxCodeBits && in.Ok(); ++bits) {
            code |= in.Bit();
            const int count = m_count[bits];
            if (code - first < count)
                return m_symbol[index + code - first];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    uint16_t m_count[kMaxCodeBits + 1] = {};
    uint16_t m_symbol[kLiteralCodes] = {};
};

class CInflater {
public:
    CInflater(const CSource& source, size_t maxOutput, std::vector<unsigned char>& out)
        : m_in(source), m_maxOutput(maxOutput), m_out(out) {}

    bool Run() {
        m_out.clear();
        const uint32_t cmf = m_in.Bits(8), flags = m_in.Bits(8);
        const bool deflate = (cmf & 15) == 8 && cmf >> 4 <= 7;
        const bool presetDictionary = flags & 0x20;
        if (!m_in.Ok() || !deflate || presetDictionary || (cmf << 8 | flags) % 31 != 0)
            return false;
        bool last = false;
        while (!last) {
            last = m_in.Bit();
            const uint32_t type = m_in.Bits(2);
            const bool ok = type == 0 ? Stored() : type == 1 ? Fixed() : type == 2 && Dynamic();
            if (!ok || !m_in.Ok())
                return false;
        }
        return Adler32Matches();
    }

private:
    bool Stored() {
        m_in.Align();
        unsigned char h[4];
        for (unsigned char& b : h) {
            if (!m_in.Byte(b))
                return false;
        }
        const size_t length = size_t(LittleEndian(h, 2));
        if ((length ^ LittleEndian(h + 2, 2)) != 0xFFFF || length > m_maxOutput - m_out.size())
            return false;
        for (size_t i = 0; i < length; ++i) {
            unsigned char b;
            if (!m_in.Byte(b))
                return false;
            m_out.push_back(b);
        }
        return true;
    }

    bool Fixed() {
        unsigned char lengths[kLiteralCodes + kDistanceCodes];
        std::fill(lengths, lengths + 144, 8);
        std::fill(lengths + 144, lengths + 256, 9);
        std::fill(lengths + 256, lengths + 280, 7);
        std::fill(lengths + 280, lengths + kLiteralCodes, 8);
        std::fill(lengths + kLiteralCodes, std::end(lengths), 5);
        return m_literals.Build(lengths, kLiteralCodes) &&
               m_distances.Build(lengths + kLiteralCodes, kDistanceCodes) && Codes();
    }

    bool Dynamic() {
        const int literals = int(m_in.Bits(5)) + 257, distances = int(m_in.Bits(5)) + 1;
        const int lengthCodes = int(m_in.Bits(4)) + 4;
        if (literals > 286 || distances > kDistanceCodes)
            return false;
        static const unsigned char kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                 11, 4,  12, 3, 13, 2, 14, 1, 15};
        unsigned char codeLengths[19] = {};
        for (int i = 0; i < lengthCodes; ++i)
            codeLengths[kOrder[i]] = static_cast<unsigned char>(m_in.Bits(3));
        CHuffmanCode lengthCode;
        if (!lengthCode.Build(codeLengths, 19))
            return false;
        unsigned char lengths[286 + kDistanceCodes] = {};
        const int total = literals + distances;
        for (int n = 0; n < total;) {
            const int symbol = lengthCode.Decode(m_in);
            if (symbol < 0 || !m_in.Ok())
                return false;
            if (symbol < 16) {
                lengths[n++] = static_cast<unsigned char>(symbol);
                continue;
            }
            if (symbol == 16 && n == 0)
                return false; // nothing to repeat
            const unsigned char value = symbol == 16 ? lengths[n - 1] : 0;
            const int repeat = symbol == 16   ? 3 + int(m_in.Bits(2))
                               : symbol == 17 ? 3 + int(m_in.Bits(3))
                                              : 11 + int(m_in.Bits(7));
            if (repeat > total - n)
                return false;
            std::fill(lengths + n, lengths + n + repeat, value);
            n += repeat;
        }
        // A block must be able to end.
        return lengths[kEndOfBlock] != 0 && m_literals.Build(lengths, literals) &&
               m_distances.Build(lengths + literals, distances) && Codes();
    }

    // Literals and copies up to the end of the block.
    bool Codes() {
        static const uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                 15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const unsigned char kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static const uint16_t kDistanceBase[kDistanceCodes] = {
            1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
            193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        static const unsigned char kDistanceExtra[kDistanceCodes] = {
            0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
        for (;;) {
            const int symbol = m_literals.Decode(m_in);
            if (symbol < 0 || !m_in.Ok())
                return false;
            if (symbol == kEndOfBlock)
                return true;
            if (symbol < kEndOfBlock) {
                if (m_out.size() == m_maxOutput)
                    return false;
                m_out.push_back(static_cast<unsigned char>(symbol));
                continue;
            }
            const int lengthCode = symbol - 257;
            if (lengthCode >= 29)
                return false;
            const size_t length = kLengthBase[lengthCode] + m_in.Bits(kLengthExtra[lengthCode]);
            const int distanceCode = m_distances.Decode(m_in);
            if (distanceCode < 0 || distanceCode >= kDistanceCodes)
                return false;
            const size_t distance =
                kDistanceBase[distanceCode] + m_in.Bits(kDistanceExtra[distanceCode]);
            if (!m_in.Ok() || distance > m_out.size() || length > m_maxOutput - m_out.size())
                return false;
            for (size_t i = 0; i < length; ++i) {
                const unsigned char b = m_out[m_out.size() - distance];
                m_out.push_back(b);
            }
        }
    }

    bool Adler32Matches() {
        m_in.Align();
        unsigned char stored[4];
        for (unsigned char& b : stored) {
            if (!m_in.Byte(b))
                return false;
        }
        uint32_t a = 1, b = 0;
        for (unsigned char byte : m_out) {
            a = (a + byte) % 65521;
            b = (b + a) % 65521;
        }
        return (b << 16 | a) == BigEndian(stored, 4);
    }

    CBitReader m_in;
    size_t m_maxOutput;
    std::vector<unsigned char>& m_out;
    CHuffmanCode m_literals, m_distances;
};

} // namespace

bool InflateZlib(const CSource& source, size_t maxOutput, std::vector<unsigned char>& out) {
    return CInflater(source, maxOutput, out).Run();
}
