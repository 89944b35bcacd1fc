#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "backends/sim/SimWav.h"
#include "platform/Trace.h"
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
    platform::TraceCapture trace;
    trace.set_echo(false);
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
    EXPECT_TRUE(std::filesystem::exists(dir / ".local/share/Velto/velto.user/MissedCalls"));
    std::ostringstream json;
    PrintJsonReport(report, json);
    EXPECT_NE(json.str().find("\"ending\":\"taken by the user\""), std::string::npos);
}

// Skype's side of the attachment, scripted: the user first has to allow the program, later
// Skype exits and comes back; calls are handled whenever access is granted.
TEST(Scenario, AttachmentEventsFromPendingToSkypeExitAndBack) {
    platform::TraceCapture trace;
    trace.set_echo(false);
    const auto parsed = ParseScenario(
        "user me.here\ncontact ann\nattach pending\n"
        "at 1s\nattach granted\nwait 1s\ncall c1 from ann\nwait 3s\nhangup c1\n"
        "wait 1s\nattach exit\nwait 2s\nattach signin\nwait 5s\n"
        "call c2 from ann\nwait 2s\nhangup c2\nwait 1s\n");
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    test::TempDir dir;
    RunOptions options;
    options.dataDir = dir.path();
    options.installDir = std::filesystem::path(VELTO_BINARY_DIR) / "share" / "velto";
    Report report;
    std::string error;
    ASSERT_TRUE(RunScenario(parsed.steps, options, report, error)) << error;
    ASSERT_EQ(report.calls.size(), 2u);
    for (const auto& call : report.calls) {
        EXPECT_EQ(call.ending, "missed (caller hung up)") << call.name;
        EXPECT_FALSE(call.heard.empty()) << call.name;
    }
    EXPECT_EQ(report.missedCalls.size(), 2u);
    EXPECT_TRUE(trace.Contains("API connection pending authorization\n"));

    std::string bad;
    EXPECT_FALSE(
        RunScenario(ParseScenario("at 1s\nattach sideways\n").steps, options, report, bad));
    EXPECT_NE(bad.find("line 2: attach signin"), std::string::npos) << bad;
}

// A call a rule refuses is listed as refused busy; a caller who gave up is not.
TEST(Scenario, ACallARuleRefusesIsListedBusy) {
    platform::TraceCapture trace;
    trace.set_echo(false);
    const auto parsed = ParseScenario(
        "user me.here\ncontact ann\nrule \"No strangers\" callers=unknown refuse\n"
        "at 1s\ncall c1 from stranger\nwait 3s\ncall c2 from ann\nwait 3s\nhangup c2\n"
        "wait 1s\n");
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    test::TempDir dir;
    RunOptions options;
    options.dataDir = dir.path();
    options.installDir = std::filesystem::path(VELTO_BINARY_DIR) / "share" / "velto";
    Report report;
    std::string error;
    ASSERT_TRUE(RunScenario(parsed.steps, options, report, error)) << error;
    ASSERT_EQ(report.missedCalls.size(), 2u);
    EXPECT_EQ(report.missedCalls[0].partnerHandle, "stranger");
    EXPECT_TRUE(report.missedCalls[0].busy);
    EXPECT_EQ(report.missedCalls[1].partnerHandle, "ann");
    EXPECT_FALSE(report.missedCalls[1].busy);
    std::ostringstream text;
    PrintReport(report, text);
    const size_t line = text.str().find("  stranger at ");
    ASSERT_NE(line, std::string::npos) << text.str();
    EXPECT_EQ(text.str().find(", refused busy\n"), text.str().find('\n', line) - 14) << text.str();
}

// The user owns partner tones on the in-process development server: they are downloaded,
// converted, the first becomes the standard tone, and the next caller hears it.
TEST(Scenario, PartnerTonesReachTheNextCaller) {
    platform::TraceCapture trace;
    trace.set_echo(false);
    const std::filesystem::path scenarios = std::filesystem::path(VELTO_SOURCE_DIR) / "scenarios";
    const auto parsed = ParseScenario(ReadText(scenarios / "partner-tones.scn"));
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    test::TempDir dir;
    RunOptions options;
    options.dataDir = dir.path();
    options.installDir = std::filesystem::path(VELTO_BINARY_DIR) / "share" / "velto";
    options.scenarioDir = scenarios;
    Report report;
    std::string error;
    ASSERT_TRUE(RunScenario(parsed.steps, options, report, error)) << error;
    for (const auto& note : report.problems) {
        ADD_FAILURE() << note;
    }

    ASSERT_EQ(report.partnerTones.size(), 2u);
    for (const auto& tone : report.partnerTones) {
        EXPECT_TRUE(tone.downloaded) << tone.key;
        EXPECT_EQ(skype::sim::WavFileDuration(tone.localPath), std::chrono::milliseconds(1500))
            << tone.key;
    }
    EXPECT_EQ(report.standardTone, 2);
    EXPECT_EQ(report.partnerToneKey, "sunrise.wav");
    ASSERT_EQ(report.calls.size(), 1u);
    const CallReport& call = report.calls[0];
    ASSERT_FALSE(call.heard.empty());
    for (const auto& segment : call.heard) {
        EXPECT_EQ(std::filesystem::path(segment.file).filename(), "sunrise.wav");
    }
    EXPECT_LE(call.longestGap.count(), 1);
    EXPECT_EQ(call.ending, "missed (caller hung up)");
    ASSERT_EQ(report.chats.size(), 1u);
    EXPECT_NE(report.chats[0].find("Sunrise Chimes"), std::string::npos) << report.chats[0];
}

}  // namespace
}  // namespace velto::scenario
