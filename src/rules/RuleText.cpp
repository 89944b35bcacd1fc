#include "rules/RuleText.h"

#include <cstdio>
#include <vector>

#include "rules/RuleNames.h"

namespace velto::rules {

namespace {

std::string Join(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

template <size_t N>
std::string Bits(uint8_t bits, const std::array<const char*, N>& names) {
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
        parts.push_back("days: " + Bits(when.weekdays, kDayNames));
    if (when.time)
        parts.push_back(ClockText(when.time->from) + "-" + ClockText(when.time->to));
    if (when.dates) {
        parts.push_back(DateText(when.dates->from) + " to " + DateText(when.dates->to));
    }
    if (when.presence != 0x0f)
        parts.push_back("presence: " + Bits(when.presence, kPresenceNames));
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
