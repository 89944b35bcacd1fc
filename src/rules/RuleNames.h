#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "rules/Rule.h"

// The words the rules file, the rule words and the rule texts share.
namespace velto::rules {

// Bit i of a rule's weekdays / presence set is the i-th name.
inline constexpr std::array<const char*, 7> kDayNames = {"mon", "tue", "wed", "thu",
                                                         "fri", "sat", "sun"};
inline constexpr std::array<const char*, kPresenceCount> kPresenceNames = {"online", "away", "dnd",
                                                                           "offline"};

// "HH:MM" of a minute of the day.
inline std::string ClockText(int minute) {
    char text[24];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    return text;
}

// "YYYY-MM-DD".
inline std::string DateText(const Date& date) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

}  // namespace velto::rules
