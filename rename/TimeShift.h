// A correction of a camera's clock: "+1:00", "-0:30", "+2 3:00" (days, hours
// and minutes), added to the dates the camera recorded.
#pragma once

#include <ctime>
#include <optional>
#include <string_view>

// The shift in minutes: "+H:MM", "-H:MM" or "+D H:MM" (the sign may be left
// out for a forward shift, blanks around are ignored); empty is none (0).
// Nothing for any other text.
std::optional<long long> ParseTimeShift(std::string_view text);

// The calendar date and time minutes later (or earlier), as clocks count on
// one day: "2019:12:31 23:30" shifted by +1:00 is 2020-01-01 0:30. Nothing
// when it leaves the years 1 to 9999.
std::optional<std::tm> ShiftedTime(const std::tm& time, long long minutes);
