#pragma once

#include <chrono>
#include <optional>

namespace velto::rules {

// A moment as a person in this time zone reads it off a wall clock.
struct CivilTime {
    int year = 1970;
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int weekday = 3;  // 0 = Monday ... 6 = Sunday
    int minute = 0;   // since midnight, 0..1439
    int DateKey() const { return year * 10000 + month * 100 + day; }
};

// The local wall time of `when` in the process's time zone (TZ). Summer time and a clock
// set back change only what the wall clock shows, so rules that read it are neither skipped
// nor doubled beyond what the wall clock itself does.
CivilTime ToCivilTime(std::chrono::system_clock::time_point when);

// The day before `date` (weekday included), for the part of a night window after midnight.
CivilTime PreviousDay(const CivilTime& date);

// The local moment that shows `date` at `minute`, as the time zone sees it; nothing for a
// wall time that does not exist (skipped by summer time). Used by the scenario clock.
std::optional<std::chrono::system_clock::time_point> FromCivilTime(int year, int month, int day,
                                                                   int minute);

}  // namespace velto::rules
