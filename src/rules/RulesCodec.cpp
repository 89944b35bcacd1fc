#include "rules/RulesCodec.h"

#include <algorithm>
#include <array>
#include <climits>
#include <nlohmann/json.hpp>
#include <optional>

#include "rules/RuleMatch.h"
#include "rules/RuleNames.h"

namespace velto::rules {

using Json = nlohmann::json;

namespace {

// The first fault found in one rule; decoding of the rule stops there.
struct Fault {
    std::string field;
    std::string message;
};

using Result = std::optional<Fault>;

Fault Bad(std::string field, std::string message) {
    return {std::move(field), std::move(message)};
}

// Refuses nesting deeper than the format has before the recursive parser sees it.
bool NestingWithin(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > limit) {
                return false;
            }
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return true;
}

Result Text(const Json& value, const std::string& field, bool allowEmpty, std::string& out) {
    if (!value.is_string()) {
        return Bad(field, "is not a text");
    }
    const auto& text = value.get_ref<const std::string&>();
    if (text.size() > kMaxTextBytes) {
        return Bad(field, "is longer than " + std::to_string(kMaxTextBytes) + " bytes");
    }
    if (!allowEmpty && text.empty()) {
        return Bad(field, "is empty");
    }
    out = text;
    return std::nullopt;
}

Result FoldedList(const Json& value, const std::string& field, std::vector<std::string>& out) {
    if (!value.is_array()) {
        return Bad(field, "is not a list");
    }
    if (value.size() > kMaxListEntries) {
        return Bad(field, "has more than " + std::to_string(kMaxListEntries) + " entries");
    }
    for (size_t i = 0; i < value.size(); ++i) {
        std::string text;
        if (auto fault = Text(value[i], field + "[" + std::to_string(i) + "]", false, text)) {
            return fault;
        }
        out.push_back(FoldCase(text));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return std::nullopt;
}

Result Flag(const Json& value, const std::string& field, bool& out) {
    if (!value.is_boolean()) {
        return Bad(field, "is not true or false");
    }
    out = value.get<bool>();
    return std::nullopt;
}

// Fields of an object, each handled by name; an unknown name is a fault (a typo would
// otherwise widen the rule silently).
template <typename Handler>
Result Fields(const Json& object, const std::string& field, Handler handle) {
    if (!object.is_object()) {
        return Bad(field, "is not an object");
    }
    for (const auto& [name, value] : object.items()) {
        const std::string path = field.empty() ? name : field + "." + name;
        std::optional<Result> result = handle(name, value, path);
        if (!result) {
            return Bad(path, "is not a known field");
        }
        if (*result) {
            return *result;
        }
    }
    return std::nullopt;
}

Result Caller(const Json& object, const std::string& field, CallerCondition& who) {
    return Fields(object, field,
                  [&](const std::string& name, const Json& value,
                      const std::string& path) -> std::optional<Result> {
                      if (name == "contacts")
                          return FoldedList(value, path, who.contacts);
                      if (name == "groups")
                          return FoldedList(value, path, who.groups);
                      if (name == "unknown")
                          return Flag(value, path, who.unknown);
                      if (name == "anonymous")
                          return Flag(value, path, who.anonymous);
                      return std::nullopt;
                  });
}

template <size_t N>
Result NameSet(const Json& value, const std::string& field, const std::array<const char*, N>& names,
               uint8_t& out) {
    if (!value.is_array() || value.empty() || value.size() > N) {
        return Bad(field, "is not a list of 1 to " + std::to_string(N) + " names");
    }
    out = 0;
    for (const Json& entry : value) {
        const auto found = entry.is_string()
                               ? std::find(names.begin(), names.end(), entry.get<std::string>())
                               : names.end();
        if (found == names.end()) {
            return Bad(field, "names " + entry.dump() + ", which is not one of its names");
        }
        out |= static_cast<uint8_t>(1u << (found - names.begin()));
    }
    return std::nullopt;
}

// "HH:MM"; "24:00" only where `allowEnd`.
Result Minute(const Json& value, const std::string& field, bool allowEnd, int& out) {
    const std::string* text = value.is_string() ? value.get_ptr<const std::string*>() : nullptr;
    if (text == nullptr || text->size() != 5 || (*text)[2] != ':' ||
        !std::all_of(text->begin(), text->end(),
                     [](char c) { return c == ':' || (c >= '0' && c <= '9'); })) {
        return Bad(field, "is not a time such as \"07:30\"");
    }
    const int hours = ((*text)[0] - '0') * 10 + ((*text)[1] - '0');
    const int minutes = ((*text)[3] - '0') * 10 + ((*text)[4] - '0');
    const bool end = allowEnd && hours == 24 && minutes == 0;
    if (!end && (hours > 23 || minutes > 59)) {
        return Bad(field, "is not a time of day");
    }
    out = hours * 60 + minutes;
    return std::nullopt;
}

Result Window(const Json& object, const std::string& field, std::optional<TimeWindow>& out) {
    TimeWindow window{-1, -1};
    if (auto fault = Fields(object, field,
                            [&](const std::string& name, const Json& value,
                                const std::string& path) -> std::optional<Result> {
                                if (name == "from")
                                    return Minute(value, path, false, window.from);
                                if (name == "to")
                                    return Minute(value, path, true, window.to);
                                return std::nullopt;
                            })) {
        return fault;
    }
    if (window.from < 0 || window.to < 0) {
        return Bad(field, "needs both \"from\" and \"to\"");
    }
    out = window;
    return std::nullopt;
}

bool ValidDate(const Date& d) {
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1970 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) {
        return false;
    }
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    return d.day <= kDays[d.month - 1] && !(d.month == 2 && d.day == 29 && !leap);
}

Result DateValue(const Json& value, const std::string& field, Date& out) {
    const std::string* text = value.is_string() ? value.get_ptr<const std::string*>() : nullptr;
    auto digits = [&](size_t from, size_t count) {
        int number = 0;
        for (size_t i = from; i < from + count; ++i) {
            const char c = (*text)[i];
            if (c < '0' || c > '9')
                return -1;
            number = number * 10 + (c - '0');
        }
        return number;
    };
    if (text == nullptr || text->size() != 10 || (*text)[4] != '-' || (*text)[7] != '-') {
        return Bad(field, "is not a date such as \"2026-12-24\"");
    }
    out = {digits(0, 4), digits(5, 2), digits(8, 2)};
    if (!ValidDate(out)) {
        return Bad(field, "is not a date of the calendar");
    }
    return std::nullopt;
}

Result Dates(const Json& object, const std::string& field, std::optional<DateRange>& out) {
    DateRange range;
    if (auto fault = Fields(object, field,
                            [&](const std::string& name, const Json& value,
                                const std::string& path) -> std::optional<Result> {
                                if (name == "from")
                                    return DateValue(value, path, range.from);
                                if (name == "to")
                                    return DateValue(value, path, range.to);
                                return std::nullopt;
                            })) {
        return fault;
    }
    if (range.from.year == 0 || range.to.year == 0) {
        return Bad(field, "needs both \"from\" and \"to\"");
    }
    if (range.to.Key() < range.from.Key()) {
        return Bad(field + ".to", "is before \"from\"");
    }
    out = range;
    return std::nullopt;
}

Result DecodeConditions(const Json& object, const std::string& field, Conditions& when) {
    return Fields(object, field,
                  [&](const std::string& name, const Json& value,
                      const std::string& path) -> std::optional<Result> {
                      if (name == "callers")
                          return Caller(value, path, when.caller);
                      if (name == "days")
                          return NameSet(value, path, kDayNames, when.weekdays);
                      if (name == "time")
                          return Window(value, path, when.time);
                      if (name == "dates")
                          return Dates(value, path, when.dates);
                      if (name == "presence")
                          return NameSet(value, path, kPresenceNames, when.presence);
                      return std::nullopt;
                  });
}

Result Tone(const Json& value, const std::string& field, std::optional<ToneChoice>& out) {
    if (value == "standard") {
        out = ToneChoice{ToneChoice::Kind::Standard, 0};
        return std::nullopt;
    }
    if (value == "silence") {
        out = ToneChoice{ToneChoice::Kind::Silence, 0};
        return std::nullopt;
    }
    if (value.is_object() && value.size() == 1 && value.contains("item") &&
        value["item"].is_number_integer()) {
        const auto item = value["item"].get<int64_t>();
        if (item >= 0 && item <= INT32_MAX) {
            out = ToneChoice{ToneChoice::Kind::Item, static_cast<int32_t>(item)};
            return std::nullopt;
        }
    }
    return Bad(field, "is not \"standard\", \"silence\" or {\"item\": N}");
}

// A file of the user's folder, by its bare name, or "default".
Result UserFile(const Json& value, const std::string& field, std::optional<std::string>& out) {
    std::string name;
    if (auto fault = Text(value, field, false, name)) {
        return fault;
    }
    if (name.find('/') != std::string::npos || name == "." || name == ".." ||
        name.find('\0') != std::string::npos) {
        return Bad(field, "is not a bare file name");
    }
    out = name;
    return std::nullopt;
}

Result Seconds(const Json& value, const std::string& field, std::optional<int>& out) {
    if (!value.is_number_integer() || value.get<int64_t>() < 0 ||
        value.get<int64_t>() > kMaxRingSeconds) {
        return Bad(field,
                   "is not a whole number of seconds from 0 to " + std::to_string(kMaxRingSeconds));
    }
    out = static_cast<int>(value.get<int64_t>());
    return std::nullopt;
}

Result DecodeActions(const Json& object, const std::string& field, Actions& then) {
    return Fields(object, field,
                  [&](const std::string& name, const Json& value,
                      const std::string& path) -> std::optional<Result> {
                      if (name == "tone")
                          return Tone(value, path, then.tone);
                      if (name == "ring") {
                          bool ring = true;
                          Result fault = Flag(value, path, ring);
                          then.ring = ring;
                          return fault;
                      }
                      if (name == "ringTone")
                          return UserFile(value, path, then.ringTone);
                      if (name == "ringSeconds")
                          return Seconds(value, path, then.ringSeconds);
                      if (name == "greeting")
                          return UserFile(value, path, then.greeting);
                      if (name == "refuse")
                          return Flag(value, path, then.refuse);
                      return std::nullopt;
                  });
}

Result DecodeRule(const Json& object, Rule& rule) {
    bool named = false;
    if (auto fault = Fields(object, "",
                            [&](const std::string& name, const Json& value,
                                const std::string& path) -> std::optional<Result> {
                                if (name == "name") {
                                    named = true;
                                    return Text(value, path, false, rule.name);
                                }
                                if (name == "enabled")
                                    return Flag(value, path, rule.enabled);
                                if (name == "when")
                                    return DecodeConditions(value, path, rule.when);
                                if (name == "then")
                                    return DecodeActions(value, path, rule.then);
                                return std::nullopt;
                            })) {
        return fault;
    }
    if (!named) {
        return Bad("name", "is missing");
    }
    return std::nullopt;
}

std::optional<RuleProblem> CheckEnvelope(const Json& document) {
    if (!document.is_object()) {
        return RuleProblem{-1, "", "the file is not a JSON object"};
    }
    if (document.value("format", Json()) != "velto-rules") {
        return RuleProblem{-1, "format", "is not \"velto-rules\""};
    }
    if (document.value("version", Json()) != 1) {
        return RuleProblem{-1, "version", "is not 1, the only version this program reads"};
    }
    if (!document.contains("rules") || !document["rules"].is_array()) {
        return RuleProblem{-1, "rules", "is not a list"};
    }
    if (document["rules"].size() > kMaxRules) {
        return RuleProblem{-1, "rules", "has more than " + std::to_string(kMaxRules) + " rules"};
    }
    return std::nullopt;
}

}  // namespace

std::string RuleProblem::Describe() const {
    std::string where = index < 0 ? std::string("the file") : "rule " + std::to_string(index + 1);
    if (!field.empty()) {
        where += ", field \"" + field + "\"";
    }
    return where + ": " + message;
}

DecodedRules DecodeRules(std::string_view text) {
    DecodedRules decoded;
    if (text.size() > kMaxRulesFileBytes) {
        decoded.problems.push_back({-1, "", "the file is larger than 4 MiB"});
        return decoded;
    }
    if (!NestingWithin(text, kMaxNesting)) {
        decoded.problems.push_back({-1, "", "the file nests deeper than a rules file does"});
        return decoded;
    }
    const Json document = Json::parse(text, nullptr, false);
    if (document.is_discarded()) {
        decoded.problems.push_back({-1, "", "the file is not valid JSON"});
        return decoded;
    }
    if (auto problem = CheckEnvelope(document)) {
        decoded.problems.push_back(*problem);
        return decoded;
    }
    decoded.readable = true;
    const Json& list = document["rules"];
    for (size_t i = 0; i < list.size(); ++i) {
        Rule rule;
        if (auto fault = DecodeRule(list[i], rule)) {
            decoded.problems.push_back({static_cast<int>(i), fault->field, fault->message});
            continue;
        }
        decoded.rules.push_back(std::move(rule));
    }
    return decoded;
}

}  // namespace velto::rules
