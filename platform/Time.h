// CTime: a moment in time, counted in seconds from 1 January 1970 UTC in 64
// bits, so that file times before 1970 and after 2038 keep their value.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>

class CTime {
public:
    CTime() = default;
    explicit CTime(std::int64_t seconds) : m_time(seconds) {}
    explicit CTime(const FILETIME& ft);

    std::int64_t GetTime() const { return m_time; }
    // The broken-down local time (tm_year from 1900, tm_mon from 0), with the
    // daylight-saving rule in force on that date, not today's. Zone: the
    // system's when null. False, and tm untouched, when the system cannot
    // convert the time.
    bool GetLocalTm(std::tm& tm, const TIME_ZONE_INFORMATION* zone = nullptr) const;

private:
    std::int64_t m_time = 0;
};
