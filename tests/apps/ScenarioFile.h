#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "velto-scenario/Scenario.h"

namespace velto::scenario {

// One of the repository's scenarios/NAME files, parsed.
inline ParsedScenario ParseScenarioFile(const std::string& name) {
    std::ifstream in(std::filesystem::path(VELTO_SOURCE_DIR) / "scenarios" / name);
    std::stringstream text;
    text << in.rdbuf();
    return ParseScenario(text.str());
}

// The last part of a path a report names ("default.wav" of ".../tones/default.wav").
inline std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace velto::scenario
