#include "rules/RuleMatch.h"

#include <algorithm>

namespace velto::rules {

namespace {

bool Contains(const std::vector<std::string>& sorted, const std::string& value) {
    return std::binary_search(sorted.begin(), sorted.end(), value);
}

bool SharesAny(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    auto i = a.begin();
    auto j = b.begin();
    while (i != a.end() && j != b.end()) {
        if (*i < *j) {
            ++i;
        } else if (*j < *i) {
            ++j;
        } else {
            return true;
        }
    }
    return false;
}

enum class CallerMatch { No, Yes, GoneContact };

CallerMatch MatchCaller(const CallerCondition& who, const CallFacts& call) {
    if (who.Empty()) {
        return CallerMatch::Yes;
    }
    if (call.caller.empty()) {
        return who.anonymous ? CallerMatch::Yes : CallerMatch::No;
    }
    if (who.unknown && !call.isContact) {
        return CallerMatch::Yes;
    }
    if (call.isContact && SharesAny(who.groups, call.groups)) {
        return CallerMatch::Yes;
    }
    if (Contains(who.contacts, call.caller)) {
        return call.isContact ? CallerMatch::Yes : CallerMatch::GoneContact;
    }
    return CallerMatch::No;
}

// The day the window's moment belongs to (the part of a night window after midnight
// belongs to the evening before), or nothing when the time is outside the window.
std::optional<CivilTime> WindowDay(const std::optional<TimeWindow>& window, const CivilTime& when) {
    if (!window || window->from == window->to) {
        return when;
    }
    if (window->from < window->to) {
        if (when.minute >= window->from && when.minute < window->to) {
            return when;
        }
        return std::nullopt;
    }
    if (when.minute >= window->from) {
        return when;
    }
    if (when.minute < window->to) {
        return PreviousDay(when);
    }
    return std::nullopt;
}

bool InDates(const std::optional<DateRange>& dates, const CivilTime& day) {
    if (!dates) {
        return true;
    }
    const int key = day.DateKey();
    return key >= dates->from.Key() && key <= dates->to.Key();
}

std::string Describe(int index, const Rule& rule) {
    return "rule " + std::to_string(index + 1) + " (\"" + rule.name + "\")";
}

// Why the rule's actions cannot be carried out, or nothing when they can.
std::optional<std::string> MissingPart(const Actions& then, const RuleWorld& world) {
    if (then.tone && then.tone->kind == ToneChoice::Kind::Item && world.hasToneItem &&
        !world.hasToneItem(then.tone->item)) {
        return "names tone " + std::to_string(then.tone->item) +
               ", which the catalogue no longer holds";
    }
    for (const std::optional<std::string>* file : {&then.ringTone, &then.greeting}) {
        if (*file && **file != "default" && world.hasUserFile && !world.hasUserFile(**file)) {
            return "names the file \"" + **file + "\", which is gone";
        }
    }
    return std::nullopt;
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

bool Holds(const Conditions& when, const CallFacts& call, bool* goneContact) {
    if ((when.presence & (1u << static_cast<int>(call.presence))) == 0) {
        return false;
    }
    const std::optional<CivilTime> day = WindowDay(when.time, call.when);
    if (!day || (when.weekdays & (1u << day->weekday)) == 0 || !InDates(when.dates, *day)) {
        return false;
    }
    const CallerMatch caller = MatchCaller(when.caller, call);
    if (goneContact != nullptr) {
        *goneContact = caller == CallerMatch::GoneContact;
    }
    return caller == CallerMatch::Yes;
}

Decision Decide(const RuleList& rules, const CallFacts& call, const RuleWorld& world) {
    Decision decision;
    for (size_t i = 0; i < rules.size(); ++i) {
        const Rule& rule = rules[i];
        if (!rule.enabled) {
            continue;
        }
        bool goneContact = false;
        const int index = static_cast<int>(i);
        if (!Holds(rule.when, call, &goneContact)) {
            if (goneContact) {
                decision.passedOver.push_back(Describe(index, rule) + " names \"" + call.caller +
                                              "\", who is no longer a contact");
            }
            continue;
        }
        if (const auto missing = MissingPart(rule.then, world)) {
            decision.passedOver.push_back(Describe(index, rule) + " " + *missing);
            continue;
        }
        decision.index = index;
        decision.rule = &rule;
        return decision;
    }
    return decision;
}

}  // namespace velto::rules
