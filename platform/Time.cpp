#include "Time.h"

#include <map>

namespace {
// Seconds between 1601-01-01, where FILETIME counts from, and 1970-01-01.
constexpr std::int64_t kEpochSeconds = 11644473600LL;
constexpr std::uint64_t kTicksPerSecond = 10000000ULL;
// FILETIME values from 2^63 on are not times (the system refuses them).
constexpr std::uint64_t kMaxTicks = 0x7FFFFFFFFFFFFFFFULL;
// How long the zone's rules are trusted before they are asked for again.
constexpr ULONGLONG kZoneRulesMs = 1000;

// The system's zone with the rules of a given year, so that a date before a
// change of the daylight-saving dates is read by the rule it was made under.
// A run converts thousands of times a second and each question reads the
// registry, so the answers are kept for a moment, per thread.
const TIME_ZONE_INFORMATION* SystemZoneOfYear(WORD year) {
    thread_local std::map<WORD, TIME_ZONE_INFORMATION> zones;
    thread_local ULONGLONG asked = 0;
    const ULONGLONG now = ::GetTickCount64();
    if (now - asked > kZoneRulesMs) {
        zones.clear();
        asked = now;
    }
    auto found = zones.find(year);
    if (found == zones.end()) {
        DYNAMIC_TIME_ZONE_INFORMATION dynamic = {};
        TIME_ZONE_INFORMATION zone = {};
        if (::GetDynamicTimeZoneInformation(&dynamic) == TIME_ZONE_ID_INVALID ||
            !::GetTimeZoneInformationForYear(year, &dynamic, &zone))
            return nullptr;
        found = zones.emplace(year, zone).first;
    }
    return &found->second;
}
} // namespace

CTime::CTime(const FILETIME& ft) {
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    // Unsigned all the way: any bit pattern gives a value, none overflows.
    m_time = static_cast<std::int64_t>(ticks / kTicksPerSecond) - kEpochSeconds;
}

bool CTime::GetLocalTm(std::tm& tm, const TIME_ZONE_INFORMATION* zone) const {
    if (m_time < -kEpochSeconds ||
        m_time > static_cast<std::int64_t>(kMaxTicks / kTicksPerSecond) - kEpochSeconds)
        return false;
    const std::uint64_t ticks = static_cast<std::uint64_t>(m_time + kEpochSeconds) * kTicksPerSecond;
    FILETIME utc = {static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utcParts = {};
    SYSTEMTIME st = {};
    if (!::FileTimeToSystemTime(&utc, &utcParts))
        return false;
    if (!zone)
        zone = SystemZoneOfYear(utcParts.wYear);
    if (!::SystemTimeToTzSpecificLocalTime(zone, &utcParts, &st))
        return false;
    tm = std::tm{};
    tm.tm_year = st.wYear - 1900;
    tm.tm_mon = st.wMonth - 1;
    tm.tm_mday = st.wDay;
    tm.tm_hour = st.wHour;
    tm.tm_min = st.wMinute;
    tm.tm_sec = st.wSecond;
    tm.tm_wday = st.wDayOfWeek;
    return true;
}
