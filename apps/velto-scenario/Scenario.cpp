#include "velto-scenario/Scenario.h"

#include <cctype>
#include <cstdio>
#include <map>

#include "platform/PathComponent.h"
#include "rules/CivilTime.h"

namespace velto::scenario {
namespace {

struct Arity {
    size_t min;
    size_t max;
};

// verb -> number of arguments it takes.
const std::map<std::string, Arity> kVerbs = {
    {"user", {1, 3}},      {"contact", {1, 3}},       {"skype-version", {1, 1}},
    {"voicemail", {1, 1}}, {"friendmsg", {1, 1}},     {"language", {1, 1}},
    {"standard", {1, 1}},  {"ringback", {2, 4}},      {"tone", {2, 3}},
    {"at", {1, 1}},        {"wait", {1, 1}},          {"call", {3, 4}},
    {"hangup", {1, 1}},    {"take", {1, 3}},          {"decline", {1, 3}},
    {"status", {2, 2}},    {"attach", {1, 1}},        {"server", {2, 2}},
    {"devserver", {2, 2}}, {"partner-ready", {0, 1}}, {"shot", {1, 1}},
    {"open", {1, 2}},      {"select", {1, 1}},        {"page", {1, 1}},
    {"tick", {1, 1}},      {"change", {0, 0}},        {"pick", {1, 1}},
    {"play", {1, 1}},      {"delete", {1, 1}},        {"choose-language", {1, 1}},
    {"ok", {0, 0}},        {"cancel", {0, 0}},        {"start", {2, 2}},
    {"presence", {1, 1}},  {"group", {2, 2}},         {"rule", {1, 16}},
    {"catalogue", {1, 2}}, {"userfile", {1, 1}},      {"sip-state", {1, 2}},
    {"field", {2, 2}},     {"apply", {0, 0}},         {"listen", {1, 3}},
    {"pickup", {1, 3}},    {"greeting", {2, 2}},      {"busy-greeting", {1, 1}},
    {"record", {0, 0}},
};

bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string& error) {
    size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        if (line[i] == '#') {
            break;
        }
        std::string word;
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string::npos) {
                error = "unclosed quotation mark";
                return false;
            }
            word = line.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) {
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return true;
}

bool StartIsValid(const std::vector<std::string>& args) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    char end = 0;
    return std::sscanf(args[0].c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) == 3 &&
           std::sscanf(args[1].c_str(), "%2d:%2d%c", &hour, &minute, &end) == 2 && hour < 24 &&
           minute < 60 && rules::FromCivilTime(year, month, day, hour * 60 + minute).has_value();
}

}  // namespace

std::optional<platform::Millis> ParseDuration(const std::string& text) {
    size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) {
        ++digits;
    }
    if (digits == 0 || digits > 9) {
        return std::nullopt;
    }
    const long long value = std::stoll(text.substr(0, digits));
    const std::string unit = text.substr(digits);
    static const std::map<std::string, long long> kUnits = {
        {"", 1}, {"ms", 1}, {"s", 1000}, {"m", 60000}, {"h", 3600000}};
    const auto found = kUnits.find(unit);
    if (found == kUnits.end()) {
        return std::nullopt;
    }
    return platform::Millis(value * found->second);
}

bool ParseGreetingWord(const std::string& word, bool mayBeNone,
                       std::optional<core::GreetingChoice>& greeting, std::string& why) {
    using core::GreetingKind;
    if (mayBeNone && word == "none") {
        greeting.reset();
    } else if (word == "standard") {
        greeting = core::GreetingChoice{GreetingKind::Standard, {}};
    } else if (word == "own") {
        greeting = core::GreetingChoice{GreetingKind::Own, {}};
    } else if (platform::IsSafePathComponent(word, &why)) {
        greeting = core::GreetingChoice{GreetingKind::File, word};
    } else {
        why = "'" + word + "' is not " + (mayBeNone ? "none, " : "") +
              "standard, own or a file of the user's folder (" + why + ")";
        return false;
    }
    return true;
}

ParsedScenario ParseScenario(const std::string& text) {
    ParsedScenario parsed;
    size_t start = 0;
    int number = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        std::vector<std::string> words;
        std::string error;
        const auto fail = [&](const std::string& why) {
            parsed.error = "line " + std::to_string(number) + ": " + why;
            parsed.steps.clear();
            return parsed;
        };
        if (!SplitWords(line, words, error)) {
            return fail(error);
        }
        if (words.empty()) {
            continue;
        }
        Step step{number, words[0], std::vector<std::string>(words.begin() + 1, words.end())};
        const auto verb = kVerbs.find(step.verb);
        if (verb == kVerbs.end()) {
            return fail("unknown command '" + step.verb + "'");
        }
        if (step.args.size() < verb->second.min || step.args.size() > verb->second.max) {
            return fail("'" + step.verb + "' takes " + std::to_string(verb->second.min) + " to " +
                        std::to_string(verb->second.max) + " arguments");
        }
        if ((step.verb == "at" || step.verb == "wait" || step.verb == "partner-ready") &&
            !step.args.empty() && !ParseDuration(step.args[0])) {
            return fail("'" + step.args[0] + "' is not a time (like 500ms, 12s, 2m)");
        }
        if (step.verb == "start" && !StartIsValid(step.args)) {
            return fail("write: start YYYY-MM-DD HH:MM (a moment of the local time zone)");
        }
        std::optional<core::GreetingChoice> greeting;
        if ((step.verb == "greeting" || step.verb == "busy-greeting") &&
            !ParseGreetingWord(step.args.back(), step.verb == "busy-greeting", greeting, error)) {
            return fail(error);
        }
        if (step.verb == "call" && step.args[1] != "from") {
            return fail("write: call NAME from HANDLE [pstn]");
        }
        parsed.steps.push_back(std::move(step));
        if (end == text.size()) {
            break;
        }
    }
    return parsed;
}

}  // namespace velto::scenario
