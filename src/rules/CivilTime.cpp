#include "rules/CivilTime.h"

#include <ctime>

namespace velto::rules {

namespace {

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysIn(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

}  // namespace

CivilTime ToCivilTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    CivilTime civil;
    civil.year = local.tm_year + 1900;
    civil.month = local.tm_mon + 1;
    civil.day = local.tm_mday;
    civil.weekday = (local.tm_wday + 6) % 7;  // tm counts from Sunday
    civil.minute = local.tm_hour * 60 + local.tm_min;
    return civil;
}

CivilTime PreviousDay(const CivilTime& date) {
    CivilTime before = date;
    before.weekday = (date.weekday + 6) % 7;
    if (date.day > 1) {
        before.day = date.day - 1;
        return before;
    }
    if (date.month > 1) {
        before.month = date.month - 1;
    } else {
        before.month = 12;
        before.year = date.year - 1;
    }
    before.day = DaysIn(before.year, before.month);
    return before;
}

std::optional<std::chrono::system_clock::time_point> FromCivilTime(int year, int month, int day,
                                                                   int minute) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = minute / 60;
    local.tm_min = minute % 60;
    local.tm_isdst = -1;  // let the zone say whether summer time holds then
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) {
        return std::nullopt;
    }
    const auto moment = std::chrono::system_clock::from_time_t(seconds);
    const CivilTime back = ToCivilTime(moment);
    if (back.year != year || back.month != month || back.day != day || back.minute != minute) {
        return std::nullopt;
    }
    return moment;
}

}  // namespace velto::rules
