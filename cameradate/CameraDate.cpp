#include "CameraDate.h"

#include "Readers.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kDateLength = 19; // "YYYY:MM:DD HH:MM:SS"

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool Starts(const unsigned char* head, size_t at, const char* magic, size_t length) {
    return std::memcmp(head + at, magic, length) == 0;
}

// An ISO base media file: what its brand (or, for an old QuickTime movie
// without one, its first box) says it holds.
std::optional<CameraDate> IsoDate(const CSource& file, const unsigned char* head) {
    if (Starts(head, 4, "ftyp", 4)) {
        if (Starts(head, 8, "crx ", 4))
            return Cr3Date(file);
        for (const char* brand :
             {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1", "avif", "avis"})
            if (Starts(head, 8, brand, 4))
                return HeifDate(file);
        return QuickTimeDate(file);
    }
    return QuickTimeDate(file);
}

// The formats by their first bytes, each with its reader.
std::optional<CameraDate> CameraDateOf(const CSource& file) {
    unsigned char head[32] = {};
    const size_t got = size_t(std::min<uint64_t>(file.Size(), sizeof(head)));
    if (got < 12 || !file.Read(0, got, head))
        return std::nullopt;
    if (head[0] == 0xFF && head[1] == 0xD8)
        return JpegDate(file);
    if (Starts(head, 0, "II*\0", 4) || Starts(head, 0, "MM\0*", 4) || Starts(head, 0, "IIU\0", 4) ||
        Starts(head, 0, "IIRO", 4) || Starts(head, 0, "IIRS", 4) || Starts(head, 0, "MMOR", 4))
        return TiffDate(file);
    if (Starts(head, 0, "\0\0\0\x0CJXL \r\n\x87\n", 12))
        return JxlDate(file);
    if (Starts(head, 0, "\x89PNG\r\n\x1A\n", 8))
        return PngDate(file);
    if (Starts(head, 0, "RIFF", 4) && Starts(head, 8, "WEBP", 4))
        return WebpDate(file);
    if (Starts(head, 0, "RIFF", 4) && Starts(head, 8, "AVI ", 4))
        return AviDate(file);
    if (got >= 16 && Starts(head, 0, "FUJIFILMCCD-RAW ", 16))
        return RafDate(file);
    if (Starts(head, 0, "\0MRM", 4))
        return MrwDate(file);
    if (Starts(head, 0, "FOVb", 4))
        return X3fDate(file);
    if (got >= 14 && Starts(head, 6, "HEAPCCDR", 8))
        return CrwDate(file);
    for (const char* box : {"ftyp", "moov", "mdat", "wide", "free", "skip", "pnot"})
        if (Starts(head, 4, box, 4))
            return IsoDate(file, head);
    // A transport stream: packets of 188 bytes, or of 192 behind a time code.
    if (head[0] == 0x47 || (got > 4 && head[4] == 0x47))
        return AvchdDate(file);
    return std::nullopt;
}

} // namespace

std::optional<CameraDate> ReadCameraDate(const CameraByteReader& read, uint64_t fileSize) {
    return CameraDateOf(CReaderSource(read, fileSize));
}

std::optional<CameraDate> ReadCameraDate(const unsigned char* data, size_t size) {
    return CameraDateOf(CMemorySource(data, size));
}

std::optional<std::tm> ParseExifDateTime(std::string_view text) {
    static const char kPattern[] = "dddd:dd:dd dd:dd:dd";
    if (text.size() < kDateLength)
        return std::nullopt;
    for (size_t i = 0; i < kDateLength; ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kPattern[i] == 'd' ? !digit : text[i] != kPattern[i])
            return std::nullopt;
    }
    auto number = [&](size_t at, size_t digits) {
        int v = 0;
        for (size_t i = at; i < at + digits; ++i)
            v = v * 10 + (text[i] - '0');
        return v;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    std::tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return t;
}

namespace {
// Days from 1970-01-01 to a civil date, for any year of the proleptic
// Gregorian calendar; and the reverse.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}
} // namespace

int64_t SecondsSince1970(const std::tm& t) {
    const int64_t days = DaysFromCivil(int64_t(t.tm_year) + 1900, t.tm_mon + 1, t.tm_mday);
    return days * 86400 + t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec;
}

std::optional<std::tm> UtcCalendarTime(int64_t seconds) {
    // Year 1 to 9999: what a date in a name can show.
    constexpr int64_t kFirst = -62135596800LL, kLast = 253402300799LL;
    if (seconds < kFirst || seconds > kLast)
        return std::nullopt;
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2);
    std::tm t = {};
    t.tm_year = int(year - 1900);
    t.tm_mon = int(month - 1);
    t.tm_mday = int(day);
    t.tm_hour = int(rest / 3600);
    t.tm_min = int(rest % 3600 / 60);
    t.tm_sec = int(rest % 60);
    t.tm_isdst = -1;
    return t;
}
