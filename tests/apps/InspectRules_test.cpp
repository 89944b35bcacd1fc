#include <gtest/gtest.h>

#include <sstream>

#include "support/TempDir.h"
#include "velto-inspect/Inspect.h"

namespace velto::inspect {
namespace {

TEST(InspectRules, PrintsEveryRuleAndNamesTheOnesLeftOut) {
    test::TempDir dir;
    const auto file = dir / "rules.json";
    const std::string text = R"({"format": "velto-rules", "version": 1, "rules": [
        {"name": "Family at night", "when": {"callers": {"groups": ["Family"]},
            "time": {"from": "22:00", "to": "07:00"}}, "then": {"ringSeconds": 0,
            "greeting": "family.wav"}},
        {"name": "Weekend", "enabled": false, "when": {"days": ["sat", "sun"]},
            "then": {"tone": {"item": 7}}},
        {"name": "broken", "when": {"presence": ["busy"]}}]})";
    test::WriteFileBytes(file, text);
    std::ostringstream out, err;
    EXPECT_EQ(RunInspect({"rules", file.string()}, out, err), kExitMalformed);
    EXPECT_EQ(out.str(), "rules file: \"" + file.string() + "\" (" + std::to_string(text.size()) +
                             " bytes)\nrules: 2\n"
                             "  1: \"Family at night\": callers: group family; 22:00-07:00 -> "
                             "machine after 0 s; greeting: family.wav\n"
                             "  2: \"Weekend\" (off): days: sat sun -> tone: item 7\n"
                             "left out: rule 3, field \"when.presence\": names \"busy\", which "
                             "is not one of its names\n");
    EXPECT_EQ(err.str(), "velto-inspect: " + file.string() +
                             ": 1 rule(s) left out, the first: rule 3, field \"when.presence\": "
                             "names \"busy\", which is not one of its names\n");
    std::ostringstream json, jsonErr;
    RunInspect({"rules", "--json", file.string()}, json, jsonErr);
    EXPECT_NE(json.str().find("\"problems\":[{\"rule\":3,\"field\":\"when.presence\""),
              std::string::npos)
        << json.str();

    test::WriteFileBytes(file, "{}");
    std::ostringstream none, why;
    EXPECT_EQ(RunInspect({"rules", file.string()}, none, why), kExitMalformed);
    EXPECT_EQ(why.str(), "velto-inspect: " + file.string() +
                             ": malformed rules file: the file, field \"format\": is not "
                             "\"velto-rules\"\n");
}

}  // namespace
}  // namespace velto::inspect
