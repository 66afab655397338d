// What the real camera files beside the project do not show: for each, a
// layout or a fault they lack.
#include "cameradate/CameraDate.h"
#include "cameradate/Inflate.h"
#include "support/CameraBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace camera_test;

// Deflate's bits: values from their least significant bit, Huffman codes
// from their most significant.
class CBitWriter {
public:
    void Value(uint32_t value, int bits) {
        for (int i = 0; i < bits; ++i)
            Bit(value >> i & 1);
    }
    void Code(uint32_t code, int bits) {
        for (int i = bits - 1; i >= 0; --i)
            Bit(code >> i & 1);
    }
    // A symbol of the fixed literal and length code.
    void Fixed(int symbol) {
        if (symbol < 144)
            Code(0x30 + symbol, 8);
        else if (symbol < 256)
            Code(0x190 + symbol - 144, 9);
        else if (symbol < 280)
            Code(symbol - 256, 7);
        else
            Code(0xC0 + symbol - 280, 8);
    }
    void Align() {
        while (m_bit != 0)
            Bit(0);
    }
    void Bytes(const std::string& bytes) { m_bytes += bytes; }
    const std::string& Done() {
        Align();
        return m_bytes;
    }

private:
    void Bit(uint32_t bit) {
        if (m_bit == 0)
            m_bytes += '\0';
        m_bytes.back() = char(m_bytes.back() | bit << m_bit);
        m_bit = (m_bit + 1) % 8;
    }
    std::string m_bytes;
    int m_bit = 0;
};

std::string Zlib(const std::string& deflate, const std::string& content) {
    uint32_t a = 1, b = 0;
    for (unsigned char c : content) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return "\x78\x01" + deflate + BigEndian(b << 16 | a, 4);
}

bool Inflate(const std::string& stream, size_t cap, std::string& out) {
    std::vector<unsigned char> bytes;
    const bool ok = InflateZlib(
        CMemorySource(reinterpret_cast<const unsigned char*>(stream.data()), stream.size()), cap,
        bytes);
    EXPECT_LE(bytes.size(), cap);
    out.assign(bytes.begin(), bytes.end());
    return ok;
}

TEST(CameraContainers, InflatesStoredAndFixedBlocksAndChecksTheirSum) {
    CBitWriter w;
    w.Value(0, 1); // a stored block, not the last
    w.Value(0, 2);
    w.Align();
    w.Bytes(LittleEndian(7, 2) + LittleEndian(0xFFFF ^ 7, 2) + "camera ");
    w.Value(1, 1); // the last block: fixed codes
    w.Value(1, 2);
    for (char c : std::string("date "))
        w.Fixed(c);
    w.Fixed(264);  // a copy of 10 bytes
    w.Code(4, 5);  // from 5 or 6 bytes back
    w.Value(0, 1); // 5
    w.Fixed(256);
    const std::string content = "camera date date date ";
    const std::string stream = Zlib(w.Done(), content);

    std::string out;
    EXPECT_TRUE(Inflate(stream, 1024, out));
    EXPECT_EQ(out, content);
    std::string wrongSum = stream;
    wrongSum.back() = char(wrongSum.back() ^ 1);
    EXPECT_FALSE(Inflate(wrongSum, 1024, out));
    EXPECT_FALSE(Inflate(stream.substr(0, stream.size() - 6), 1024, out));
}

TEST(CameraContainers, StopsAStreamThatWouldInflatePastItsCap) {
    CBitWriter w;
    w.Value(1, 1);
    w.Value(1, 2);
    w.Fixed('a');
    for (int i = 0; i < 10; ++i) {
        w.Fixed(285); // 258 bytes
        w.Code(0, 5); // from 1 byte back
    }
    w.Fixed(256);
    const std::string content(1 + 10 * 258, 'a');
    const std::string stream = Zlib(w.Done(), content);

    std::string out;
    EXPECT_TRUE(Inflate(stream, content.size(), out));
    EXPECT_EQ(out, content);
    EXPECT_FALSE(Inflate(stream, content.size() - 1, out));
}

std::string PngChunk(const char* type, const std::string& body) {
    return BigEndian(body.size(), 4) + type + body + camera_test::BigEndian(0, 4);
}

std::string HexProfile(const std::string& bytes) {
    std::string text = "\nexif\n" + std::string(4, ' ') + std::to_string(bytes.size()) + "\n";
    for (size_t i = 0; i < bytes.size(); ++i) {
        char hex[3];
        std::snprintf(hex, sizeof(hex), "%02x", static_cast<unsigned char>(bytes[i]));
        text += hex;
        if (i % 36 == 35)
            text += '\n';
    }
    return text + "\n";
}

TEST(CameraContainers, PngEXifChunkComesBeforeATextProfile) {
    const std::string head = "\x89PNG\r\n\x1A\n" + PngChunk("IHDR", std::string(13, '\0')) +
                             PngChunk("tEXt", std::string("Raw profile type exif") + '\0' +
                                                  HexProfile(Sample("big-endian.tif"))) +
                             PngChunk("IDAT", "");
    const std::string end = PngChunk("IEND", "");
    EXPECT_EQ(DateOf(head + end), "2015:10:11 12:13:14");
    EXPECT_EQ(DateOf(head +
                     PngChunk("eXIf", std::string("Exif\0\0", 6) + Sample("little-endian.tif")) +
                     end),
              "2016:01:02 03:04:05");
}

std::string RiffChunk(const char* id, const std::string& body) {
    return id + LittleEndian(body.size(), 4) + body + std::string(body.size() % 2, '\0');
}

std::string Avi(const std::string& idit, const std::string& strd) {
    const std::string strl = RiffChunk("LIST", "strl" + RiffChunk("strh", std::string(56, '\0')) +
                                                   RiffChunk("strd", strd));
    const std::string hdrl = RiffChunk("LIST", "hdrl" + RiffChunk("avih", std::string(56, '\0')) +
                                                   strl + RiffChunk("IDIT", idit));
    return RiffChunk("RIFF", "AVI " + hdrl + RiffChunk("LIST", "movi"));
}

TEST(CameraContainers, AviIditInEitherFormElseExifInAStreamsData) {
    const std::string exif = "AVIF" + std::string(4, '\0') + Sample("little-endian.tif");
    EXPECT_EQ(DateOf(Avi(std::string("2005:06:07 08:09:10") + '\0', exif)), "2005:06:07 08:09:10");
    EXPECT_EQ(DateOf(Avi(std::string("Tue Mar  3 09:44:56 2008\n") + '\0', exif)),
              "2008:03:03 09:44:56");
    EXPECT_EQ(DateOf(Avi("not a date", exif)), "2016:01:02 03:04:05");
    // Stream lists without end cost a bounded number of reads, not one per chunk.
    std::string junk;
    for (int i = 0; i < 100; ++i)
        junk += RiffChunk("JUNK", "");
    std::string lists;
    for (int i = 0; i < 3000; ++i)
        lists += RiffChunk("LIST", "strl" + junk);
    const std::string endless = RiffChunk("RIFF", "AVI " + RiffChunk("LIST", "hdrl" + lists));
    int reads = 0;
    const CameraByteReader read = [&](uint64_t offset, size_t size, unsigned char* out) {
        ++reads;
        if (offset > endless.size() || size > endless.size() - offset)
            return size_t(0);
        std::copy_n(endless.data() + offset, size, out);
        return size;
    };
    EXPECT_EQ(DateText(ReadCameraDate(read, endless.size())), "none");
    EXPECT_LT(reads, 20000);
}

// A packet of 192 bytes: its time code, its header and the payload behind
// stuffing that fills it.
std::string TsPacket(unsigned pid, bool unitStart, const std::string& payload) {
    std::string header = camera_test::BigEndian(0, 4) + "\x47" +
                         char((unitStart ? 0x40 : 0) | pid >> 8) + char(pid & 0xFF);
    const size_t stuffing = 184 - payload.size();
    if (stuffing == 0)
        return header + "\x10" + payload;
    std::string field(1, char(stuffing - 1));
    if (stuffing > 1)
        field += '\0' + std::string(stuffing - 2, '\xFF');
    return header + "\x30" + field + payload;
}

TEST(CameraContainers, AvchdDateOverTwoPacketsWithEmulationPrevention) {
    const std::string pes = std::string("\0\0\1\xE0\0\0\x80\x80\5", 9) + std::string(5, '\x21');
    const std::string uuid("\x17\xEE\x8C\x60\xF8\x4D\x11\xD9\x8C\xD6\x08\x00\x20\x0C\x9A\x66", 16);
    // 2010:01:01 00:00:01: day, hour, minute and second hold two zero bytes and then a 01.
    const std::string mdpm = uuid + "MDPM\x02" + std::string("\x18\x02\x20\x10\x01", 5) +
                             std::string("\x19\x01\x00\x00\x03\x01", 6);
    const std::string sei = std::string("\0\0\0\1\6\5", 6) + char(mdpm.size() - 1) + mdpm + "\x80";
    const std::string es = std::string("\0\0\0\1\x09\x10", 6) + sei;
    const size_t split = es.find(std::string("\0\0\3", 3)) + 2; // between the zeros and the 03
    const std::string file = TsPacket(0, true, std::string("\0\0\xB0\x0D", 4)) +
                             TsPacket(0x1011, true, pes + es.substr(0, split)) +
                             TsPacket(0x1100, true, std::string("\0\0\1\xC0\0\0\x80\0\0", 9)) +
                             TsPacket(0x1011, false, es.substr(split));
    EXPECT_EQ(DateOf(file), "2010:01:01 00:00:01");
}

} // namespace
