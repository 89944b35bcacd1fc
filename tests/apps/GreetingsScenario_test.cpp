// scenarios/greetings.scn end to end: what each caller hears from the machine, and the
// greetings kept in the user's setting file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ScenarioFile.h"
#include "core/SettingFileCodec.h"
#include "platform/Trace.h"
#include "support/TempDir.h"
#include "velto-scenario/Scenario.h"
#include "velto-scenario/ScenarioRunner.h"

namespace velto::scenario {
namespace {

// When the caller began to hear `file`, from the call's first sound; -1: never.
double HeardAfter(const CallReport& call, const std::string& file) {
    for (const auto& segment : call.heard) {
        if (FileName(segment.file) == file) {
            return static_cast<double>((segment.start - call.heard.front().start).count());
        }
    }
    return -1;
}

TEST(GreetingsScenario, EachCallerHearsTheGreetingThatFits) {
    platform::TraceCapture trace;
    trace.set_echo(false);
    const ParsedScenario parsed = ParseScenarioFile("greetings.scn");
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    velto::test::TempDir dir;
    RunOptions options;
    options.dataDir = dir.path();
    options.installDir = std::filesystem::path(VELTO_BINARY_DIR) / "share" / "velto";
    options.scenarioDir = std::filesystem::path(VELTO_SOURCE_DIR) / "scenarios";
    Report report;
    std::string error;
    ASSERT_TRUE(RunScenario(parsed.steps, options, report, error)) << error;
    ASSERT_EQ(report.calls.size(), 3u);

    // Alice: 5 s of tone alone and 35 s of ringing, then her own greeting.
    const CallReport& alice = report.calls[0];
    EXPECT_NEAR(HeardAfter(alice, "family.wav"), 40000.0, 2.0);
    EXPECT_EQ(HeardAfter(alice, "DefaultAM_Eng.wav"), -1);
    EXPECT_EQ(alice.ending, "answering machine, message recorded");

    // Bob: declined 3 s after the panel showed (5 s in), the busy greeting at once.
    const CallReport& bob = report.calls[1];
    ASSERT_TRUE(bob.panelShownAt);
    EXPECT_NEAR(HeardAfter(bob, "weekend.wav"), 8000.0, 2.0);
    EXPECT_EQ(bob.ending, "declined by the user: busy greeting, message recorded");

    // Carol: her file is gone, so the standard greeting, with a trace line saying so.
    const CallReport& carol = report.calls[2];
    EXPECT_NEAR(HeardAfter(carol, "DefaultAM_Eng.wav"), 40000.0, 2.0);
    EXPECT_TRUE(trace.Contains("gone.wav cannot be played")) << trace.Text();

    ASSERT_EQ(report.missedCalls.size(), 3u);
    EXPECT_FALSE(report.missedCalls[0].busy);
    EXPECT_TRUE(report.missedCalls[1].busy);

    // The greetings were saved with the user's settings.
    std::ifstream file(dir / ".local/share/Velto/velto.user/Setting", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    const core::SettingFileDecoded decoded = core::DecodeSettingFile(bytes);
    ASSERT_TRUE(decoded.contents) << decoded.error.ToString();
    ASSERT_TRUE(decoded.contents->greetings);
    EXPECT_EQ(decoded.contents->greetings->busy,
              (core::GreetingChoice{core::GreetingKind::File, "weekend.wav"}));
    EXPECT_EQ(
        decoded.contents->greetings->contacts,
        (std::vector<core::ContactGreeting>{{"alice", {core::GreetingKind::File, "family.wav"}},
                                            {"carol", {core::GreetingKind::File, "gone.wav"}}}));
}

TEST(GreetingsScenario, GreetingWordsAreCheckedAsTheScenarioIsRead) {
    EXPECT_TRUE(ParseScenario("greeting alice own\nbusy-greeting none\n").error.empty());
    EXPECT_EQ(ParseScenario("greeting alice \"\"\n").error,
              "line 1: '' is not standard, own or a file of the user's folder (empty)");
    EXPECT_EQ(ParseScenario("busy-greeting ../up.wav\n").error,
              "line 1: '../up.wav' is not none, standard, own or a file of the user's folder "
              "(contains a path separator)");
}

}  // namespace
}  // namespace velto::scenario
