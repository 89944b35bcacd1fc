#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"
#include "velto-scenario/Scenario.h"
#include "velto-scenario/ScenarioRunner.h"

namespace velto::scenario {
namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Scenario, ParserNamesTheBadLine) {
    EXPECT_EQ(ParseScenario("user me\n\nfly away\n").error, "line 3: unknown command 'fly'");
    EXPECT_EQ(ParseScenario("at soon\n").error,
              "line 1: 'soon' is not a time (like 500ms, 12s, 2m)");
    EXPECT_EQ(ParseScenario("contact \"Ann\n").error, "line 1: unclosed quotation mark");
    const auto parsed = ParseScenario("# c\ncall c1 from \"a b\" pstn # note\n");
    ASSERT_EQ(parsed.steps.size(), 1u);
    EXPECT_EQ(parsed.steps[0].args, (std::vector<std::string>{"c1", "from", "a b", "pstn"}));
    EXPECT_EQ(ParseDuration("2m"), platform::Millis(120000));
    EXPECT_FALSE(ParseDuration("12x"));
}

// The README's example, end to end against the stock sounds of the build tree.
TEST(Scenario, TheReadmeExamplePlaysEndToEnd) {
    const char* source = VELTO_SOURCE_DIR;
    const char* binary = VELTO_BINARY_DIR;
    const auto parsed =
        ParseScenario(ReadText(std::filesystem::path(source) / "scenarios" / "afternoon.scn"));
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    test::TempDir dir;
    RunOptions options;
    options.dataDir = dir.path();
    options.installDir = std::filesystem::path(binary) / "share" / "velto";
    Report report;
    std::string error;
    ASSERT_TRUE(RunScenario(parsed.steps, options, report, error)) << error;

    ASSERT_EQ(report.calls.size(), 5u);
    EXPECT_EQ(report.calls[0].ending, "missed (caller hung up)");
    EXPECT_EQ(report.calls[1].ending, "taken by the user");
    EXPECT_EQ(report.calls[2].ending, "answering machine, message recorded");
    EXPECT_EQ(report.calls[3].ending, "not handled (telephone network)");
    EXPECT_EQ(report.calls[4].ending, "declined by the user");
    for (const auto& call : report.calls) {
        EXPECT_LE(call.longestGap.count(), 1) << call.name;
    }
    EXPECT_EQ(report.chats.size(), 4u);
    ASSERT_EQ(report.missedCalls.size(), 2u);
    EXPECT_TRUE(report.missedCalls[1].hasVoiceMessage);
    ASSERT_EQ(report.recordings.size(), 1u);
    EXPECT_GE(report.recordings[0].wavLength.value_or(platform::Millis(0)),
              std::chrono::seconds(19));
    EXPECT_TRUE(std::filesystem::exists(dir / "velto.user" / "MissedCalls"));
    std::ostringstream json;
    PrintJsonReport(report, json);
    EXPECT_NE(json.str().find("\"ending\":\"taken by the user\""), std::string::npos);
}

}  // namespace
}  // namespace velto::scenario
