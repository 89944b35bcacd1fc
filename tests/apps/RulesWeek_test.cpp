// The rules of scenarios/rules-week.scn across a virtual week: for every call, the rule that
// decides, what the caller hears first, whether the panel shows and when the machine answers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "ScenarioFile.h"
#include "platform/Trace.h"
#include "support/TempDir.h"
#include "velto-scenario/Scenario.h"
#include "velto-scenario/ScenarioRunner.h"

namespace velto::scenario {
namespace {

using std::chrono::seconds;

struct Expected {
    const char* name;
    const char* rule;        // nullptr: no rule decides
    const char* firstHeard;  // the file the caller hears first
    bool panel;              // the answering panel shows
    const char* ending;
    int machineAfter;  // seconds from the call to the greeting; -1: no machine
};

// Worked out from the rules by hand: 5 s of tone alone and 35 s of ringing without a rule.
constexpr Expected kWeek[] = {
    {"fri-alice", nullptr, "default.wav", true, "answering machine, message recorded", 40},
    {"fri-mum", "Family at night", "family.wav", false, "answering machine, message recorded", 0},
    {"sat-alice", "Weekend tone", "weekend.wav", true, "answering machine, message recorded", 40},
    {"sat-stranger", "Strangers", "Silence.wav", true, "answering machine, message recorded", 15},
    {"sun-mum", "Family at night", "family.wav", false, "answering machine, message recorded", 0},
    {"mon-bob", "Bob gets through", "default.wav", true, "taken by the user", -1},
    {"mon-alice", "Do not disturb", "DefaultAM_Eng.wav", false,
     "answering machine, message recorded", 0},
    {"mon-anonymous", nullptr, "default.wav", true, "answering machine, message recorded", 40},
    {"tue-mum", "Family at night", "family.wav", false, "answering machine, message recorded", 0},
    {"wed-bob", nullptr, "default.wav", true, "answering machine, message recorded", 40},
};

TEST(RulesWeek, EveryCallOfTheWeekGetsWhatItsRuleSays) {
    // The week is read in UTC wherever the test runs.
    setenv("TZ", "UTC", 1);
    tzset();
    platform::TraceCapture trace;
    trace.set_echo(false);
    const ParsedScenario parsed = ParseScenarioFile("rules-week.scn");
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    test::TempDir dir;
    RunOptions options;
    options.dataDir = dir.path();
    options.installDir = std::filesystem::path(VELTO_BINARY_DIR) / "share" / "velto";
    options.scenarioDir = std::filesystem::path(VELTO_SOURCE_DIR) / "scenarios";
    Report report;
    std::string error;
    ASSERT_TRUE(RunScenario(parsed.steps, options, report, error)) << error;

    ASSERT_EQ(report.calls.size(), std::size(kWeek));
    for (size_t i = 0; i < std::size(kWeek); ++i) {
        const Expected& want = kWeek[i];
        const CallReport& call = report.calls[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(call.name, want.name);
        EXPECT_EQ(call.rule.value_or("(none)"), want.rule ? want.rule : "(none)");
        ASSERT_FALSE(call.heard.empty());
        EXPECT_EQ(FileName(call.heard.front().file), want.firstHeard);
        EXPECT_EQ(call.panelShownAt.has_value(), want.panel);
        EXPECT_EQ(call.ending, want.ending);
        const auto greeting = std::find_if(call.heard.begin(), call.heard.end(), [](const auto& s) {
            const std::string name = FileName(s.file);
            return name == "DefaultAM_Eng.wav" || name == "family.wav";
        });
        if (want.machineAfter < 0) {
            EXPECT_EQ(greeting, call.heard.end());
            continue;
        }
        ASSERT_NE(greeting, call.heard.end());
        const auto after = greeting->start - call.heard.front().start;
        EXPECT_NEAR(static_cast<double>(after.count()), want.machineAfter * 1000.0, 2.0);
    }
    std::ostringstream json;
    PrintJsonReport(report, json);
    EXPECT_NE(json.str().find("\"rule\":\"Family at night\""), std::string::npos);
    EXPECT_NE(json.str().find("\"rule\":null"), std::string::npos);
}

TEST(RulesWeek, BadRuleWordsAndStartTimesAreNamedByLine) {
    EXPECT_EQ(ParseScenario("start 2026-13-01 07:30\n").error,
              "line 1: write: start YYYY-MM-DD HH:MM (a moment of the local time zone)");
    const ParsedScenario parsed = ParseScenario("user me\nrule r loud\nat 1s\n");
    ASSERT_TRUE(parsed.error.empty());
    test::TempDir dir;
    RunOptions options;
    options.dataDir = dir.path();
    Report report;
    std::string error;
    platform::TraceCapture trace;
    trace.set_echo(false);
    EXPECT_FALSE(RunScenario(parsed.steps, options, report, error));
    EXPECT_NE(error.find("'loud' is not a part of a rule"), std::string::npos) << error;
}

}  // namespace
}  // namespace velto::scenario
