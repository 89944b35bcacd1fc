#include <nlohmann/json.hpp>

#include "rules/RuleNames.h"
#include "rules/RulesCodec.h"

namespace velto::rules {

using OrderedJson = nlohmann::ordered_json;

namespace {

template <size_t N>
OrderedJson Names(uint8_t bits, const std::array<const char*, N>& names) {
    OrderedJson list = OrderedJson::array();
    for (size_t i = 0; i < N; ++i) {
        if ((bits & (1u << i)) != 0) {
            list.push_back(names[i]);
        }
    }
    return list;
}

OrderedJson EncodeConditions(const Conditions& when) {
    OrderedJson object = OrderedJson::object();
    const CallerCondition& who = when.caller;
    if (!who.Empty()) {
        OrderedJson callers = OrderedJson::object();
        if (!who.contacts.empty())
            callers["contacts"] = who.contacts;
        if (!who.groups.empty())
            callers["groups"] = who.groups;
        if (who.unknown)
            callers["unknown"] = true;
        if (who.anonymous)
            callers["anonymous"] = true;
        object["callers"] = callers;
    }
    if (when.weekdays != 0x7f)
        object["days"] = Names(when.weekdays, kDayNames);
    if (when.time) {
        object["time"] = {{"from", ClockText(when.time->from)}, {"to", ClockText(when.time->to)}};
    }
    if (when.dates) {
        object["dates"] = {{"from", DateText(when.dates->from)}, {"to", DateText(when.dates->to)}};
    }
    if (when.presence != 0x0f)
        object["presence"] = Names(when.presence, kPresenceNames);
    return object;
}

OrderedJson EncodeActions(const Actions& then) {
    OrderedJson object = OrderedJson::object();
    if (then.tone) {
        switch (then.tone->kind) {
            case ToneChoice::Kind::Standard:
                object["tone"] = "standard";
                break;
            case ToneChoice::Kind::Silence:
                object["tone"] = "silence";
                break;
            case ToneChoice::Kind::Item:
                object["tone"] = {{"item", then.tone->item}};
                break;
        }
    }
    if (then.ring)
        object["ring"] = *then.ring;
    if (then.ringTone)
        object["ringTone"] = *then.ringTone;
    if (then.ringSeconds)
        object["ringSeconds"] = *then.ringSeconds;
    if (then.greeting)
        object["greeting"] = *then.greeting;
    if (then.refuse)
        object["refuse"] = true;
    return object;
}

}  // namespace

std::string EncodeRules(const RuleList& rules) {
    OrderedJson list = OrderedJson::array();
    for (const Rule& rule : rules) {
        list.push_back({{"name", rule.name},
                        {"enabled", rule.enabled},
                        {"when", EncodeConditions(rule.when)},
                        {"then", EncodeActions(rule.then)}});
    }
    const OrderedJson document = {{"format", "velto-rules"}, {"version", 1}, {"rules", list}};
    return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace velto::rules
