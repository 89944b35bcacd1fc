#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velto::rules {

// The user's own presence as the client reports it, reduced to what a rule can name.
enum class Presence : uint8_t { Online, Away, DoNotDisturb, Offline };
inline constexpr int kPresenceCount = 4;

// Who calls. The alternatives of one condition are or-ed: a rule for "Family or anyone
// unknown" is one condition. An empty condition matches every caller.
struct CallerCondition {
    std::vector<std::string> contacts;  // handles, lower case, sorted
    std::vector<std::string> groups;    // group names, lower case, sorted
    bool unknown = false;               // not in the user's contacts
    bool anonymous = false;             // no caller id at all
    bool Empty() const { return contacts.empty() && groups.empty() && !unknown && !anonymous; }
};

// Minutes since midnight, local wall time. `from` > `to` runs past midnight; that part
// belongs to the day it started on, for the weekdays and the dates alike (a Friday night
// rule still holds at Saturday 03:00).
// `from` == `to` is the whole day.
struct TimeWindow {
    int from = 0;
    int to = 0;
};

// A calendar date as the user writes it; compared as one number (yyyymmdd).
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    int Key() const { return year * 10000 + month * 100 + day; }
};

struct DateRange {
    Date from;
    Date to;  // inclusive
};

// Every condition is optional; a rule holds when all the present ones do.
struct Conditions {
    CallerCondition caller;
    uint8_t weekdays = 0x7f;  // bit 0 = Monday ... bit 6 = Sunday
    std::optional<TimeWindow> time;
    std::optional<DateRange> dates;
    uint8_t presence = 0x0f;  // bit per Presence value
};

// What the caller hears while the call rings.
struct ToneChoice {
    enum class Kind : uint8_t { Standard, Silence, Item };
    Kind kind = Kind::Standard;
    int32_t item = 0;  // the catalogue item, for Kind::Item
};

// What a matching rule decides. Anything left out keeps what the call would do without
// rules (the contact's own choice, the standard tone, the configured ring time, ...).
struct Actions {
    std::optional<ToneChoice> tone;
    std::optional<bool> ring;             // false: the panel shows, silently
    std::optional<std::string> ringTone;  // a file of the user's folder, or "default"
    std::optional<int> ringSeconds;       // before the machine answers; 0 = at once
    std::optional<std::string> greeting;  // a file of the user's folder, or "default"
    bool refuse = false;                  // busy: the call is declined
};

struct Rule {
    std::string name;
    bool enabled = true;
    Conditions when;
    Actions then;
};

using RuleList = std::vector<Rule>;

// Longest ring before the machine a rule may ask for, in seconds.
inline constexpr int kMaxRingSeconds = 600;

}  // namespace velto::rules
