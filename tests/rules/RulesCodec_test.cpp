#include "rules/RulesCodec.h"

#include <gtest/gtest.h>

namespace velto::rules {
namespace {

std::string File(const std::string& rules) {
    return R"({"format": "velto-rules", "version": 1, "rules": [)" + rules + "]}";
}

std::string OneRule(const std::string& when, const std::string& then = "{}") {
    return File(R"({"name": "r", "when": )" + when + R"(, "then": )" + then + "}");
}

std::string FirstProblem(const std::string& text) {
    const DecodedRules decoded = DecodeRules(text);
    return decoded.problems.empty() ? "" : decoded.problems.front().Describe();
}

TEST(RulesCodec, EveryFieldSurvivesAWriteAndARead) {
    Rule full;
    full.name = "Family at night";
    full.enabled = false;
    full.when.caller = {{"alice", "bob"}, {"family"}, true, true};
    full.when.weekdays = 0b1100000;
    full.when.time = TimeWindow{22 * 60, 24 * 60};
    full.when.dates = DateRange{{2026, 12, 24}, {2027, 1, 2}};
    full.when.presence = 0b0110;
    full.then = {ToneChoice{ToneChoice::Kind::Item, 42}, false, "bells.wav", 0, "family.wav", true};
    Rule plain;
    plain.name = "silence";
    plain.then.tone = ToneChoice{ToneChoice::Kind::Silence, 0};
    const std::string text = EncodeRules({full, plain});
    const DecodedRules decoded = DecodeRules(text);
    ASSERT_TRUE(decoded.readable);
    ASSERT_TRUE(decoded.problems.empty()) << decoded.problems.front().Describe();
    ASSERT_EQ(decoded.rules.size(), 2u);
    const Rule& back = decoded.rules[0];
    EXPECT_EQ(back.name, full.name);
    EXPECT_FALSE(back.enabled);
    EXPECT_EQ(back.when.caller.contacts, full.when.caller.contacts);
    EXPECT_EQ(back.when.caller.groups, full.when.caller.groups);
    EXPECT_TRUE(back.when.caller.unknown && back.when.caller.anonymous);
    EXPECT_EQ(back.when.weekdays, full.when.weekdays);
    EXPECT_EQ(back.when.time->from, 1320);
    EXPECT_EQ(back.when.time->to, 1440);
    EXPECT_EQ(back.when.dates->to.Key(), 20270102);
    EXPECT_EQ(back.when.presence, full.when.presence);
    EXPECT_EQ(back.then.tone->item, 42);
    EXPECT_EQ(back.then.ring, false);
    EXPECT_EQ(back.then.ringTone, "bells.wav");
    EXPECT_EQ(back.then.ringSeconds, 0);
    EXPECT_EQ(back.then.greeting, "family.wav");
    EXPECT_TRUE(back.then.refuse);
    EXPECT_EQ(decoded.rules[1].then.tone->kind, ToneChoice::Kind::Silence);
    EXPECT_EQ(EncodeRules(decoded.rules), text) << "a second write changes nothing";
    // What a user writes by hand: names in any case, the same contact twice.
    const DecodedRules hand = DecodeRules(OneRule(R"({"callers": {"contacts": ["Bob", "bob"]}})"));
    ASSERT_EQ(hand.rules.size(), 1u);
    EXPECT_EQ(hand.rules[0].when.caller.contacts, std::vector<std::string>{"bob"});
}

TEST(RulesCodec, ABadRuleIsNamedByPlaceAndFieldAndTheOthersAreKept) {
    const std::string text = File(R"({"name": "good"},
        {"name": "bad", "when": {"time": {"from": "25:00", "to": "07:00"}}},
        {"name": "typo", "then": {"rign": false}},
        {"name": "also good", "then": {"tone": "standard"}})");
    const DecodedRules decoded = DecodeRules(text);
    EXPECT_TRUE(decoded.readable);
    ASSERT_EQ(decoded.rules.size(), 2u);
    EXPECT_EQ(decoded.rules[1].name, "also good");
    ASSERT_EQ(decoded.problems.size(), 2u);
    EXPECT_EQ(decoded.problems[0].Describe(),
              "rule 2, field \"when.time.from\": is not a time of day");
    EXPECT_EQ(decoded.problems[1].Describe(), "rule 3, field \"then.rign\": is not a known field");
}

TEST(RulesCodec, TheLimitsHoldFromBothSides) {
    EXPECT_EQ(FirstProblem(OneRule("{}", R"({"ringSeconds": 600})")), "");
    EXPECT_EQ(FirstProblem(OneRule("{}", R"({"ringSeconds": 601})")),
              "rule 1, field \"then.ringSeconds\": is not a whole number of seconds from 0 to 600");
    EXPECT_NE(FirstProblem(OneRule("{}", R"({"ringSeconds": -1})")), "");
    EXPECT_EQ(FirstProblem(OneRule(R"({"time": {"from": "00:00", "to": "24:00"}})")), "");
    EXPECT_NE(FirstProblem(OneRule(R"({"time": {"from": "24:00", "to": "07:00"}})")), "");
    EXPECT_NE(FirstProblem(OneRule(R"({"time": {"from": "7:00", "to": "08:00"}})")), "");
    EXPECT_NE(FirstProblem(OneRule(R"({"time": {"from": "07:00"}})")), "");
    EXPECT_EQ(FirstProblem(OneRule(R"({"dates": {"from": "2028-02-29", "to": "2028-02-29"}})")),
              "");
    EXPECT_NE(FirstProblem(OneRule(R"({"dates": {"from": "2027-02-29", "to": "2027-03-01"}})")),
              "");
    EXPECT_EQ(FirstProblem(OneRule(R"({"dates": {"from": "2027-01-02", "to": "2027-01-01"}})")),
              "rule 1, field \"when.dates.to\": is before \"from\"");
    const std::string longest(kMaxTextBytes, 'x');
    EXPECT_EQ(FirstProblem(File(R"({"name": ")" + longest + "\"}")), "");
    EXPECT_NE(FirstProblem(File(R"({"name": ")" + longest + "x\"}")), "");
    EXPECT_NE(FirstProblem(File(R"({"enabled": true})")), "") << "a rule needs a name";
    EXPECT_EQ(FirstProblem(OneRule(R"({"days": ["sat", "sun"]})")), "");
    EXPECT_NE(FirstProblem(OneRule(R"({"days": []})")), "");
    EXPECT_NE(FirstProblem(OneRule(R"({"days": ["sunday"]})")), "");
    EXPECT_NE(FirstProblem(OneRule(R"({"presence": ["busy"]})")), "");
    EXPECT_NE(FirstProblem(OneRule("{}", R"({"tone": {"item": -1}})")), "");
    EXPECT_NE(FirstProblem(OneRule("{}", R"({"tone": "loud"})")), "");
}

// Each count and size limit of the file, at the limit (read, and read back) and one past
// it (refused, naming the place). The numbers are the file format's: a text of 256 bytes,
// 10,000 rules, 10,000 entries in a caller list, 4 MiB, eight levels of brackets.
TEST(RulesCodec, TheSizeAndCountLimitsHoldFromBothSides) {
    const auto names = [](size_t count) {
        std::string list;
        for (size_t i = 0; i < count; ++i) {
            list += (i ? ",\"c" : "\"c") + std::to_string(i) + "\"";
        }
        return "[" + list + "]";
    };
    const std::string name256(256, 'n');
    const DecodedRules longestName = DecodeRules(File(R"({"name": ")" + name256 + "\"}"));
    ASSERT_TRUE(longestName.problems.empty());
    ASSERT_EQ(longestName.rules.size(), 1u);
    EXPECT_EQ(longestName.rules[0].name, name256);
    EXPECT_EQ(FirstProblem(File(R"({"name": ")" + name256 + "n\"}")),
              "rule 1, field \"name\": is longer than 256 bytes");
    const std::string group256(256, 'g');
    EXPECT_EQ(FirstProblem(OneRule(R"({"callers": {"groups": [")" + group256 + "g\"]}}")),
              "rule 1, field \"when.callers.groups[0]\": is longer than 256 bytes");

    const DecodedRules fullList =
        DecodeRules(OneRule(R"({"callers": {"contacts": )" + names(10000) + "}}"));
    ASSERT_TRUE(fullList.problems.empty()) << fullList.problems[0].Describe();
    ASSERT_EQ(fullList.rules.size(), 1u);
    EXPECT_EQ(fullList.rules[0].when.caller.contacts.size(), 10000u);
    EXPECT_EQ(FirstProblem(OneRule(R"({"callers": {"contacts": )" + names(10001) + "}}")),
              "rule 1, field \"when.callers.contacts\": has more than 10000 entries");

    const auto rules = [](size_t count) {
        std::string list;
        for (size_t i = 0; i < count; ++i) {
            list += i ? R"(,{"name": "r"})" : R"({"name": "r"})";
        }
        return File(list);
    };
    const DecodedRules mostRules = DecodeRules(rules(10000));
    EXPECT_TRUE(mostRules.readable);
    EXPECT_TRUE(mostRules.problems.empty());
    EXPECT_EQ(mostRules.rules.size(), 10000u);
    const DecodedRules tooMany = DecodeRules(rules(10001));
    EXPECT_FALSE(tooMany.readable);
    EXPECT_TRUE(tooMany.rules.empty());
    EXPECT_EQ(FirstProblem(rules(10001)), "the file, field \"rules\": has more than 10000 rules");

    // 4 MiB = 4,194,304 bytes, the rest of it blanks after the document.
    const std::string small = OneRule("{}");
    const std::string largest = small + std::string(4194304 - small.size(), ' ');
    const DecodedRules atSize = DecodeRules(largest);
    EXPECT_TRUE(atSize.readable);
    EXPECT_EQ(atSize.rules.size(), 1u);
    const DecodedRules overSize = DecodeRules(largest + " ");
    EXPECT_FALSE(overSize.readable);
    EXPECT_EQ(FirstProblem(largest + " "), "the file: the file is larger than 4 MiB");

    // Eight levels of brackets reach JSON reading (and are no rules file); nine do not.
    EXPECT_EQ(FirstProblem(std::string(8, '[') + std::string(8, ']')),
              "the file: the file is not a JSON object");
    EXPECT_EQ(FirstProblem(std::string(9, '[') + std::string(9, ']')),
              "the file: the file nests deeper than a rules file does");
    const DecodedRules deepest =
        DecodeRules(OneRule(R"({"callers": {"groups": [")" + std::string(5, '[') + "\"]}}"));
    EXPECT_TRUE(deepest.problems.empty()) << "brackets in a text are no nesting";
}

TEST(RulesCodec, FileNamesAreBareNamesOfTheUsersFolder) {
    EXPECT_EQ(FirstProblem(OneRule("{}", R"({"greeting": "family.wav"})")), "");
    for (const char* name : {"../../.ssh/id_rsa", "/etc/passwd", "..", "", "a/b.wav"}) {
        EXPECT_NE(FirstProblem(OneRule("{}", std::string(R"({"greeting": ")") + name + "\"}")), "")
            << name;
    }
}

TEST(RulesCodec, AFileThatIsNotARulesFileIsRefusedWhole) {
    for (const std::string& text :
         {std::string("not json"), std::string("[]"), std::string(R"({"format": "velto-rules"})"),
          std::string(R"({"format": "velto-rules", "version": 2, "rules": []})"),
          std::string(R"({"format": "other", "version": 1, "rules": []})"),
          std::string(R"({"format": "velto-rules", "version": 1, "rules": {}})"),
          std::string(1000, '[') + std::string(1000, ']')}) {
        const DecodedRules decoded = DecodeRules(text);
        EXPECT_FALSE(decoded.readable) << text.substr(0, 60);
        EXPECT_EQ(decoded.problems.size(), 1u);
        EXPECT_EQ(decoded.problems[0].index, -1);
    }
    EXPECT_TRUE(DecodeRules(File("")).readable) << "an empty list is a sound file";
    // Brackets inside texts are not nesting.
    EXPECT_EQ(FirstProblem(File(R"({"name": "[[[[[[[[[[[[[[[[[[[["})")), "");
}

// Each switch and choice of a rule on each side, as a hand-written file gives it and as a
// write and a read give it back: neither side is lost, nor taken for the other.
TEST(RulesCodec, EachSwitchAndChoiceOnEachSideReadsAndSurvivesAWrite) {
    struct Side {
        const char* rule;  // the JSON of the rule's fields besides the name
        bool enabled;
        std::optional<bool> ring;
        bool refuse;
        std::optional<ToneChoice::Kind> tone;
        std::optional<int> ringSeconds;
    };
    using Kind = ToneChoice::Kind;
    const Side sides[] = {
        {"", true, std::nullopt, false, std::nullopt, std::nullopt},
        {R"(, "enabled": false)", false, std::nullopt, false, std::nullopt, std::nullopt},
        {R"(, "enabled": true)", true, std::nullopt, false, std::nullopt, std::nullopt},
        {R"(, "then": {"ring": false})", true, false, false, std::nullopt, std::nullopt},
        {R"(, "then": {"ring": true})", true, true, false, std::nullopt, std::nullopt},
        {R"(, "then": {"refuse": true})", true, std::nullopt, true, std::nullopt, std::nullopt},
        {R"(, "then": {"refuse": false})", true, std::nullopt, false, std::nullopt, std::nullopt},
        {R"(, "then": {"tone": "standard"})", true, std::nullopt, false, Kind::Standard,
         std::nullopt},
        {R"(, "then": {"tone": "silence"})", true, std::nullopt, false, Kind::Silence,
         std::nullopt},
        {R"(, "then": {"tone": {"item": 3}})", true, std::nullopt, false, Kind::Item, std::nullopt},
        {R"(, "then": {"ringSeconds": 0})", true, std::nullopt, false, std::nullopt, 0},
        {R"(, "then": {"ringSeconds": 600})", true, std::nullopt, false, std::nullopt, 600},
    };
    for (const Side& side : sides) {
        SCOPED_TRACE(side.rule);
        const DecodedRules hand =
            DecodeRules(File(R"({"name": "r")" + std::string(side.rule) + "}"));
        ASSERT_TRUE(hand.problems.empty()) << hand.problems.front().Describe();
        ASSERT_EQ(hand.rules.size(), 1u);
        const DecodedRules again = DecodeRules(EncodeRules(hand.rules));
        ASSERT_EQ(again.rules.size(), 1u);
        for (const Rule& rule : {hand.rules[0], again.rules[0]}) {
            EXPECT_EQ(rule.enabled, side.enabled);
            EXPECT_EQ(rule.then.ring, side.ring);
            EXPECT_EQ(rule.then.refuse, side.refuse);
            EXPECT_EQ(rule.then.tone ? std::optional(rule.then.tone->kind) : std::nullopt,
                      side.tone);
            EXPECT_EQ(rule.then.ringSeconds, side.ringSeconds);
        }
    }
}

}  // namespace
}  // namespace velto::rules
