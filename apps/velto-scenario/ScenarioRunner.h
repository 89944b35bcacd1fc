#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "calls/MissedCall.h"
#include "platform/Clock.h"
#include "skype/sim/HeardTimeline.h"
#include "velto-scenario/Scenario.h"

namespace velto::scenario {

struct RunOptions {
    bool realTime = false;
    std::filesystem::path dataDir;     // the user data folder; empty: a temporary one
    std::filesystem::path installDir;  // stock sounds
};

struct CallReport {
    std::string name;
    std::string handle;
    int32_t id = 0;
    std::string type;
    std::vector<skype::sim::HeardSegment> heard;
    platform::Millis longestGap{0};
    std::vector<int32_t> statuses;
    std::string ending;
    std::optional<platform::Millis> panelShownAt;
    std::optional<platform::Millis> decidedAt;
};

struct FileReport {
    std::string path;
    uintmax_t bytes = 0;
    std::optional<platform::Millis> wavLength;
};

struct Report {
    std::vector<CallReport> calls;
    std::vector<std::string> chats;  // "at ms -> handle: text"
    std::vector<calls::MissedCall> missedCalls;
    std::vector<FileReport> recordings;
    std::vector<FileReport> files;
    std::vector<std::string> problems;
    platform::Millis endedAt{0};
    std::string dataDir;
};

// Plays the scenario; false with `error` when a step cannot be carried out.
bool RunScenario(const std::vector<Step>& steps, const RunOptions& options, Report& report,
                 std::string& error);

void PrintReport(const Report& report, std::ostream& out);
void PrintJsonReport(const Report& report, std::ostream& out);

}  // namespace velto::scenario
