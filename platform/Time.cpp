#include "Time.h"

namespace {
// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochDifference = 116444736000000000LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

std::int64_t FileTimeTicks(const FILETIME& ft) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) |
                                     ft.dwLowDateTime);
}
} // namespace

CTime::CTime(const FILETIME& ft) {
    std::int64_t ticks = FileTimeTicks(ft) - kEpochDifference;
    // floor division, so that times before 1970 round towards the past
    m_time = ticks / kTicksPerSecond - (ticks % kTicksPerSecond < 0 ? 1 : 0);
}

std::tm CTime::GetLocalTm() const {
    std::int64_t ticks = m_time * kTicksPerSecond + kEpochDifference;
    FILETIME utc = {static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    FILETIME local = {};
    SYSTEMTIME st = {};
    std::tm tm = {};
    if (::FileTimeToLocalFileTime(&utc, &local) && ::FileTimeToSystemTime(&local, &st)) {
        tm.tm_year = st.wYear - 1900;
        tm.tm_mon = st.wMonth - 1;
        tm.tm_mday = st.wDay;
        tm.tm_hour = st.wHour;
        tm.tm_min = st.wMinute;
        tm.tm_sec = st.wSecond;
        tm.tm_wday = st.wDayOfWeek;
    }
    return tm;
}
