#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/SettingFileContents.h"
#include "platform/Clock.h"

namespace velto::scenario {

// One line of a scenario file, split into words ("quoted words" may hold blanks).
struct Step {
    int line = 0;
    std::string verb;
    std::vector<std::string> args;
};

struct ParsedScenario {
    std::vector<Step> steps;
    std::string error;  // "line N: why" when the file is not a scenario
};

// Checks every line against the verbs the runner knows and their argument counts.
ParsedScenario ParseScenario(const std::string& text);

// "250ms", "12s", "2m", "1h" (a bare number is milliseconds); nothing for anything else.
std::optional<platform::Millis> ParseDuration(const std::string& text);

// A greeting in a scenario's words: "standard" (the voice-mail page's), "own" (the user's
// own), else a bare file name of the user's folder; with `mayBeNone`, "none" is nothing.
// False with `why` for anything else.
bool ParseGreetingWord(const std::string& word, bool mayBeNone,
                       std::optional<core::GreetingChoice>& greeting, std::string& why);

}  // namespace velto::scenario
