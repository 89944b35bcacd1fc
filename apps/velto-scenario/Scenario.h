#pragma once

#include <optional>
#include <string>
#include <vector>

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

}  // namespace velto::scenario
