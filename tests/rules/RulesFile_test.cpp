#include "rules/RulesFile.h"

#include <gtest/gtest.h>

#include "rules/RulesCodec.h"
#include "support/TempDir.h"

namespace velto::rules {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

TEST(RulesFile, NoFileIsNoRulesAndASavedFileReadsBack) {
    test::TempDir dir;
    const auto path = dir.path() / kRulesFileName;
    const LoadedRules none = LoadRulesFile(path);
    EXPECT_TRUE(none.rules.empty());
    EXPECT_TRUE(none.report.empty());
    Rule rule;
    rule.name = "weekend";
    rule.when.weekdays = 0b1100000;
    ASSERT_EQ(SaveRulesFile(path, {rule}), 0);
    const LoadedRules back = LoadRulesFile(path);
    ASSERT_EQ(back.rules.size(), 1u);
    EXPECT_EQ(back.rules[0].when.weekdays, 0b1100000);
    EXPECT_TRUE(back.report.empty());
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".bad-1"));
}

TEST(RulesFile, ABadRuleIsReportedTheFileKeptAsideAndTheGoodRulesWrittenBack) {
    test::TempDir dir;
    const auto path = dir.path() / kRulesFileName;
    const std::string damaged = R"({"format": "velto-rules", "version": 1, "rules": [
        {"name": "good"}, {"name": "bad", "then": {"ringSeconds": "ten"}}]})";
    WriteFileBytes(path, damaged);
    const LoadedRules loaded = LoadRulesFile(path);
    ASSERT_EQ(loaded.rules.size(), 1u);
    ASSERT_EQ(loaded.report.size(), 2u);
    EXPECT_EQ(loaded.report[0],
              path.string() +
                  ": rule 2, field \"then.ringSeconds\": is not a whole number of "
                  "seconds from 0 to 600; the rule is left out");
    EXPECT_EQ(loaded.report[1], path.string() + " is kept as " + path.string() + ".bad-1");
    EXPECT_EQ(ReadFileBytes(path.string() + ".bad-1"), damaged)
        << "the user's text is kept as it was";
    const LoadedRules again = LoadRulesFile(path);
    EXPECT_TRUE(again.report.empty()) << "the next start reads a sound file";
    ASSERT_EQ(again.rules.size(), 1u);
    EXPECT_EQ(again.rules[0].name, "good");
}

TEST(RulesFile, AFileWithNothingUsableIsKeptAsideAndNotReplaced) {
    test::TempDir dir;
    const auto path = dir.path() / kRulesFileName;
    WriteFileBytes(path, "{\"format\": \"velto-rules\", \"vers");
    const LoadedRules loaded = LoadRulesFile(path);
    EXPECT_TRUE(loaded.rules.empty());
    ASSERT_EQ(loaded.report.size(), 2u);
    EXPECT_EQ(loaded.report[0], path.string() + ": the file: the file is not valid JSON");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::exists(path.string() + ".bad-1"));
    // A second damaged file does not replace the first one kept aside.
    WriteFileBytes(path, "[]");
    LoadRulesFile(path);
    EXPECT_TRUE(std::filesystem::exists(path.string() + ".bad-2"));
}

}  // namespace
}  // namespace velto::rules
