#include "rules/RuleWords.h"

#include <gtest/gtest.h>

namespace velto::rules {
namespace {

ParsedRuleWords Parse(std::vector<std::string> words) {
    return ParseRuleWords(words, [](const std::string& file) -> std::optional<int32_t> {
        if (file == "waltz.mp3")
            return 12;
        return std::nullopt;
    });
}

TEST(RuleWords, EveryPartOfARuleCanBeWrittenAsWords) {
    const ParsedRuleWords parsed = Parse(
        {"Family at night", "callers=Mum,group:Family,unknown", "days=fri,sat", "time=22:00-07:00",
         "dates=2026-12-24..2026-12-26", "presence=dnd,away", "off", "tone=waltz.mp3", "ring=off",
         "ringtone=bells.wav", "ring-seconds=0", "greeting=family.wav", "refuse"});
    ASSERT_TRUE(parsed.rule) << parsed.error;
    const Rule& rule = *parsed.rule;
    EXPECT_EQ(rule.name, "Family at night");
    EXPECT_FALSE(rule.enabled);
    EXPECT_EQ(rule.when.caller.contacts, std::vector<std::string>{"mum"});
    EXPECT_EQ(rule.when.caller.groups, std::vector<std::string>{"family"});
    EXPECT_TRUE(rule.when.caller.unknown);
    EXPECT_FALSE(rule.when.caller.anonymous);
    EXPECT_EQ(rule.when.weekdays, 0b0110000);
    EXPECT_EQ(rule.when.time->from, 22 * 60);
    EXPECT_EQ(rule.when.dates->to.Key(), 20261226);
    EXPECT_EQ(rule.when.presence, 0b0110);
    EXPECT_EQ(rule.then.tone->item, 12);
    EXPECT_EQ(rule.then.ring, false);
    EXPECT_EQ(rule.then.ringTone, "bells.wav");
    EXPECT_EQ(rule.then.ringSeconds, 0);
    EXPECT_EQ(rule.then.greeting, "family.wav");
    EXPECT_TRUE(rule.then.refuse);
    ASSERT_TRUE(Parse({"plain"}).rule);
    EXPECT_EQ(Parse({"item", "tone=item:7"}).rule->then.tone->item, 7);
}

TEST(RuleWords, BadWordsAreNamed) {
    EXPECT_EQ(Parse({}).error, "a rule needs a name");
    EXPECT_EQ(Parse({"r", "loud"}).error, "'loud' is not a part of a rule");
    EXPECT_EQ(Parse({"r", "tone=nothing.mp3"}).error,
              "tone 'nothing.mp3' is not standard, silence, item:N or a known tone");
    EXPECT_EQ(Parse({"r", "time=22:00"}).error,
              "rule 1, field \"when.time\": needs both \"from\" and \"to\"");
    EXPECT_EQ(Parse({"r", "ring-seconds=601"}).error,
              "rule 1, field \"then.ringSeconds\": is not a whole number of seconds from 0 to 600");
    EXPECT_NE(Parse({"r", "ring-seconds=ten"}).error, "");
    EXPECT_NE(Parse({"r", "ring=maybe"}).error, "");
    EXPECT_NE(Parse({"r", "greeting=../x.wav"}).error, "");
    EXPECT_NE(Parse({"r", "days=someday"}).error, "");
}

}  // namespace
}  // namespace velto::rules
