#include "cli/Arguments.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "cli/GuardedMain.h"
#include "cli/Help.h"

namespace velto::cli {
namespace {

const Tool kTool{
    .name = "velto-x",
    .synopsis = "[--json] [--data DIR] IN [OUT]",
    .about = "Does x.\nSecond line.",
    .options = {{"--json", "", "one JSON line"}, {"--data", "DIR", "home folder\nsecond line"}},
    .exitCodes = {{kExitOk, "done"}, {kExitFailure, "not done"}},
    .minOperands = 1,
    .maxOperands = 2,
};

struct Outcome {
    std::optional<Arguments> args;
    int code = -1;
    std::string out;
    std::string err;
};

Outcome ParseWords(const Tool& tool, const std::vector<std::string>& words) {
    std::ostringstream out;
    std::ostringstream err;
    Outcome outcome;
    outcome.args = Parse(tool, words, out, err, outcome.code);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

TEST(Arguments, OptionsValuesAndOperandsInAnyOrder) {
    const Outcome o =
        ParseWords(kTool, {"in.mp3", "--data", "a b", "--json", "--data=c=d", "out.wav"});
    ASSERT_TRUE(o.args);
    EXPECT_EQ(o.code, kExitOk);
    EXPECT_TRUE(o.args->Has("--json"));
    EXPECT_EQ(o.args->Value("--data"), "c=d");  // the last one counts
    EXPECT_EQ(o.args->operands(), (std::vector<std::string>{"in.mp3", "out.wav"}));
    EXPECT_FALSE(ParseWords(kTool, {"in"}).args->Has("--json"));
    EXPECT_EQ(ParseWords(kTool, {"in"}).args->Value("--data"), std::nullopt);

    // After "--" a word that looks like an option is a file name; "-" alone is one too.
    const Outcome ended = ParseWords(kTool, {"--", "--json", "-"});
    ASSERT_TRUE(ended.args);
    EXPECT_FALSE(ended.args->Has("--json"));
    EXPECT_EQ(ended.args->operands(), (std::vector<std::string>{"--json", "-"}));
}

TEST(Arguments, EveryWrongArgumentIsOneUsageLineAndExitTwo) {
    const std::vector<std::vector<std::string>> wrong = {
        {"--bogus", "in"}, {"-x", "in"}, {"--json=yes", "in"}, {"in", "--data"},
        {"a", "b", "c"},   {},           {"--json"},
    };
    for (const auto& words : wrong) {
        const Outcome o = ParseWords(kTool, words);
        const std::string shown = words.empty() ? "(none)" : words[0];
        EXPECT_FALSE(o.args) << shown;
        EXPECT_EQ(o.code, kExitUsage) << shown;
        EXPECT_EQ(o.out, "") << shown;
        ASSERT_FALSE(o.err.empty()) << shown;
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
        EXPECT_TRUE(o.err.starts_with("velto-x: ")) << o.err;
        EXPECT_NE(o.err.find("usage: velto-x [--json] [--data DIR] IN [OUT]"), std::string::npos)
            << o.err;
    }
    EXPECT_NE(ParseWords(kTool, {"--bogus=1"}).err.find("unknown option '--bogus'"),
              std::string::npos);
    EXPECT_NE(ParseWords(kTool, {"in", "--data"}).err.find("'--data' needs a value (DIR)"),
              std::string::npos);
}

TEST(Arguments, HelpAndVersionGoToStandardOutputAndEndWithZero) {
    for (const char* word : {"--help", "-h"}) {
        const Outcome o = ParseWords(kTool, {word});
        EXPECT_FALSE(o.args);
        EXPECT_EQ(o.code, kExitOk);
        EXPECT_EQ(o.err, "");
        EXPECT_EQ(o.out,
                  "usage: velto-x [--json] [--data DIR] IN [OUT]\n"
                  "\n"
                  "Does x.\n"
                  "Second line.\n"
                  "\n"
                  "options:\n"
                  "  --json      one JSON line\n"
                  "  --data DIR  home folder\n"
                  "              second line\n"
                  "  -h, --help  show this help and exit\n"
                  "  --version   show the version and licence and exit\n"
                  "\n"
                  "exit codes:\n"
                  "  0  done\n"
                  "  1  not done\n"
                  "  2  wrong arguments\n");
    }
    // Help is given even when the rest would be wrong.
    EXPECT_EQ(ParseWords(kTool, {"--help", "a", "b", "c"}).code, kExitOk);

    const Outcome version = ParseWords(kTool, {"--version"});
    EXPECT_EQ(version.code, kExitOk);
    EXPECT_TRUE(version.out.starts_with("velto-x (Velto) " + std::string(Version()) + "\n"));
    EXPECT_NE(version.out.find("GPL-3.0-or-later"), std::string::npos);
    EXPECT_FALSE(Version().empty());
}

TEST(Arguments, WindowsStyleSwitchesPassThroughWhereAllowed) {
    Tool tool = kTool;
    tool.legacySwitches = true;
    tool.minOperands = 0;
    tool.maxOperands = 1;
    const Outcome o =
        ParseWords(tool, {"/OnStartUp", "--json", "-OnStartUp", "file", "/onstartup"});
    ASSERT_TRUE(o.args);
    EXPECT_EQ(o.args->switches(),
              (std::vector<std::string>{"/OnStartUp", "-OnStartUp", "/onstartup"}));
    EXPECT_EQ(o.args->operands(), std::vector<std::string>{"file"});
    EXPECT_TRUE(o.args->Has("--json"));
    // Plain words still count against the operands; unknown long options are still wrong;
    // -h is still help.
    EXPECT_EQ(ParseWords(tool, {"a", "b"}).code, kExitUsage);
    EXPECT_EQ(ParseWords(tool, {"--OnStartUp"}).code, kExitUsage);
    EXPECT_EQ(ParseWords(tool, {"-h"}).code, kExitOk);
    // Without the allowance, "-OnStartUp" is an unknown option.
    EXPECT_EQ(ParseWords(kTool, {"-OnStartUp", "in"}).code, kExitUsage);
}

TEST(GuardedMain, AnEscapingExceptionIsOneLineAndExitOne) {
    EXPECT_EQ(GuardedMain("velto-x", [] { return 7; }), 7);
    testing::internal::CaptureStderr();
    EXPECT_EQ(GuardedMain("velto-x", []() -> int { throw std::runtime_error("disk gone"); }),
              kExitFailure);
    EXPECT_EQ(GuardedMain("velto-x", []() -> int { throw 42; }), kExitFailure);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "velto-x: internal error: disk gone\nvelto-x: internal error\n");
}

}  // namespace
}  // namespace velto::cli
