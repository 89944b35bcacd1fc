#include "rules/RuleText.h"

#include <cstdio>
#include <vector>

namespace velto::rules {

namespace {

constexpr const char* kDays[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
constexpr const char* kPresence[] = {"online", "away", "dnd", "offline"};

std::string Join(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

std::string Clock(int minute) {
    char text[24];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    return text;
}

std::string DateText(const Date& d) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

template <size_t N>
std::string Bits(uint8_t bits, const char* const (&names)[N]) {
    std::vector<std::string> parts;
    for (size_t i = 0; i < N; ++i) {
        if ((bits & (1u << i)) != 0)
            parts.push_back(names[i]);
    }
    return Join(parts, " ");
}

std::string Callers(const CallerCondition& who) {
    std::vector<std::string> parts = who.contacts;
    for (const std::string& group : who.groups)
        parts.push_back("group " + group);
    if (who.unknown)
        parts.push_back("not in my contacts");
    if (who.anonymous)
        parts.push_back("no caller id");
    return Join(parts, ", ");
}

}  // namespace

std::string DescribeConditions(const Conditions& when) {
    std::vector<std::string> parts;
    if (!when.caller.Empty())
        parts.push_back("callers: " + Callers(when.caller));
    if (when.weekdays != 0x7f)
        parts.push_back("days: " + Bits(when.weekdays, kDays));
    if (when.time)
        parts.push_back(Clock(when.time->from) + "-" + Clock(when.time->to));
    if (when.dates) {
        parts.push_back(DateText(when.dates->from) + " to " + DateText(when.dates->to));
    }
    if (when.presence != 0x0f)
        parts.push_back("presence: " + Bits(when.presence, kPresence));
    return parts.empty() ? "every call" : Join(parts, "; ");
}

std::string DescribeActions(const Actions& then) {
    std::vector<std::string> parts;
    if (then.refuse)
        parts.push_back("refuse (busy)");
    if (then.tone) {
        switch (then.tone->kind) {
            case ToneChoice::Kind::Standard:
                parts.push_back("tone: standard");
                break;
            case ToneChoice::Kind::Silence:
                parts.push_back("tone: silence");
                break;
            case ToneChoice::Kind::Item:
                parts.push_back("tone: item " + std::to_string(then.tone->item));
                break;
        }
    }
    if (then.ring)
        parts.push_back(*then.ring ? "ring" : "no ring");
    if (then.ringTone)
        parts.push_back("ring tone: " + *then.ringTone);
    if (then.ringSeconds) {
        parts.push_back("machine after " + std::to_string(*then.ringSeconds) + " s");
    }
    if (then.greeting)
        parts.push_back("greeting: " + *then.greeting);
    return parts.empty() ? "as without rules" : Join(parts, "; ");
}

}  // namespace velto::rules
