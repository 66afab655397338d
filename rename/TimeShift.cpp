#include "TimeShift.h"

#include "cameradate/CameraDate.h"

namespace {
// Ten years either way is far beyond any clock a camera gets wrong.
constexpr long long kMaxShiftMinutes = 10LL * 366 * 24 * 60;

bool ReadDigits(std::string_view text, size_t& at, size_t maxDigits, long long& value) {
    const size_t start = at;
    value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < maxDigits)
        value = value * 10 + (text[at++] - '0');
    return at > start && (at == text.size() || text[at] < '0' || text[at] > '9');
}
} // namespace

std::optional<long long> ParseTimeShift(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return 0;
    size_t at = 0;
    long long sign = 1;
    if (text[0] == '+' || text[0] == '-') {
        sign = text[0] == '-' ? -1 : 1;
        ++at;
    }
    long long days = 0;
    long long hours = 0;
    long long minutes = 0;
    if (!ReadDigits(text, at, 4, hours))
        return std::nullopt;
    if (at < text.size() && text[at] == ' ') {
        days = hours;
        while (at < text.size() && text[at] == ' ')
            ++at;
        if (!ReadDigits(text, at, 4, hours))
            return std::nullopt;
    }
    if (at >= text.size() || text[at] != ':')
        return std::nullopt;
    const size_t minuteAt = ++at;
    if (!ReadDigits(text, at, 2, minutes) || at - minuteAt != 2 || minutes > 59 ||
        at != text.size())
        return std::nullopt;
    const long long total = (days * 24 + hours) * 60 + minutes;
    if (total > kMaxShiftMinutes)
        return std::nullopt;
    return sign * total;
}

std::optional<std::tm> ShiftedTime(const std::tm& time, long long minutes) {
    // The camera's time is a reading of a clock, not an instant: counted as if
    // it were UTC, it moves by whole minutes with no daylight saving between.
    std::optional<std::tm> shifted = UtcCalendarTime(SecondsSince1970(time) + minutes * 60);
    if (shifted)
        shifted->tm_isdst = -1;
    return shifted;
}
