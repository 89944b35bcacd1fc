#include "rules/RuleMatch.h"

#include <gtest/gtest.h>

namespace velto::rules {
namespace {

// Friday 2026-12-11 at `hh:mm` (weekday 4 = Friday).
CivilTime Friday(int hh, int mm) {
    return {2026, 12, 11, 4, hh * 60 + mm};
}
CivilTime Saturday(int hh, int mm) {
    return {2026, 12, 12, 5, hh * 60 + mm};
}

CallFacts Contact(const std::string& handle, std::vector<std::string> groups, CivilTime when) {
    return {handle, true, std::move(groups), when, Presence::Online};
}

Rule Named(std::string name) {
    Rule rule;
    rule.name = std::move(name);
    return rule;
}

const RuleWorld kEverythingExists{[](int32_t) { return true; },
                                  [](const std::string&) { return true; }};

TEST(RuleMatch, TheFirstEnabledRuleThatHoldsDecides) {
    RuleList rules{Named("off"), Named("family"), Named("anyone")};
    rules[0].enabled = false;
    rules[1].when.caller.groups = {"family"};
    const Decision family =
        Decide(rules, Contact("mum", {"family"}, Friday(10, 0)), kEverythingExists);
    EXPECT_EQ(family.index, 1);
    const Decision other =
        Decide(rules, Contact("bob", {"work"}, Friday(10, 0)), kEverythingExists);
    EXPECT_EQ(other.index, 2);
    EXPECT_EQ(Decide({}, Contact("bob", {}, Friday(10, 0)), kEverythingExists).index, -1);
}

TEST(RuleMatch, CallerAlternativesAreOredAndOnlyTheNamedOnesMatch) {
    Conditions when;
    when.caller.contacts = {"alice"};
    when.caller.anonymous = true;
    EXPECT_TRUE(Holds(when, Contact("alice", {}, Friday(9, 0))));
    EXPECT_TRUE(Holds(when, {"", false, {}, Friday(9, 0), Presence::Online}));
    EXPECT_FALSE(Holds(when, Contact("bob", {}, Friday(9, 0))));
    // A stranger is neither anonymous nor a contact.
    EXPECT_FALSE(Holds(when, {"stranger", false, {}, Friday(9, 0), Presence::Online}));
    when.caller.unknown = true;
    EXPECT_TRUE(Holds(when, {"stranger", false, {}, Friday(9, 0), Presence::Online}));
    EXPECT_FALSE(Holds(when, Contact("bob", {}, Friday(9, 0)))) << "bob is a contact";
    EXPECT_EQ(FoldCase("Alice@Example.ORG"), "alice@example.org");
}

TEST(RuleMatch, ADayWindowHoldsFromItsStartUpToButNotAtItsEnd) {
    Conditions when;
    when.time = TimeWindow{9 * 60, 17 * 60};
    EXPECT_FALSE(Holds(when, Contact("a", {}, Friday(8, 59))));
    EXPECT_TRUE(Holds(when, Contact("a", {}, Friday(9, 0))));
    EXPECT_TRUE(Holds(when, Contact("a", {}, Friday(16, 59))));
    EXPECT_FALSE(Holds(when, Contact("a", {}, Friday(17, 0))));
    when.time = TimeWindow{0, 24 * 60};
    EXPECT_TRUE(Holds(when, Contact("a", {}, Friday(23, 59))));
    when.time = TimeWindow{600, 600};
    EXPECT_TRUE(Holds(when, Contact("a", {}, Friday(3, 0)))) << "from == to is the whole day";
}

TEST(RuleMatch, ANightWindowBelongsToTheEveningItStartedOn) {
    Conditions when;
    when.time = TimeWindow{22 * 60, 7 * 60};
    when.weekdays = 1u << 4;  // Friday only
    EXPECT_TRUE(Holds(when, Contact("a", {}, Friday(22, 0))));
    EXPECT_TRUE(Holds(when, Contact("a", {}, Saturday(3, 0)))) << "Friday night, after midnight";
    EXPECT_FALSE(Holds(when, Contact("a", {}, Saturday(7, 0))));
    EXPECT_FALSE(Holds(when, Contact("a", {}, Saturday(22, 0)))) << "Saturday night";
    EXPECT_FALSE(Holds(when, Contact("a", {}, Friday(3, 0)))) << "Thursday night";
    // Dates follow the same day: a rule for the 11th still holds early on the 12th.
    when.weekdays = 0x7f;
    when.dates = DateRange{{2026, 12, 11}, {2026, 12, 11}};
    EXPECT_TRUE(Holds(when, Contact("a", {}, Saturday(6, 59))));
    EXPECT_FALSE(Holds(when, Contact("a", {}, Friday(6, 59))));
    // Across a year's end: New Year's Eve night holds on the 1st of January.
    const CivilTime newYear{2027, 1, 1, 4, 60};
    when.dates = DateRange{{2026, 12, 31}, {2026, 12, 31}};
    EXPECT_TRUE(Holds(when, Contact("a", {}, newYear)));
}

TEST(RuleMatch, DatesAreInclusiveAndPresenceMustBeListed) {
    Conditions when;
    when.dates = DateRange{{2026, 12, 24}, {2026, 12, 26}};
    EXPECT_FALSE(Holds(when, Contact("a", {}, {2026, 12, 23, 2, 720})));
    EXPECT_TRUE(Holds(when, Contact("a", {}, {2026, 12, 24, 3, 720})));
    EXPECT_TRUE(Holds(when, Contact("a", {}, {2026, 12, 26, 5, 1439})));
    EXPECT_FALSE(Holds(when, Contact("a", {}, {2026, 12, 27, 6, 0})));
    Conditions dnd;
    dnd.presence = 1u << static_cast<int>(Presence::DoNotDisturb);
    CallFacts call = Contact("a", {}, Friday(12, 0));
    EXPECT_FALSE(Holds(dnd, call));
    call.presence = Presence::DoNotDisturb;
    EXPECT_TRUE(Holds(dnd, call));
}

TEST(RuleMatch, ARuleNamingWhatIsGoneIsPassedOverWithALine) {
    RuleList rules{Named("weekend tone"), Named("old friend"), Named("fallback")};
    rules[0].then.tone = ToneChoice{ToneChoice::Kind::Item, 17};
    rules[1].when.caller.contacts = {"carol"};
    const RuleWorld noTone17{[](int32_t item) { return item != 17; },
                             [](const std::string&) { return true; }};
    // Carol was deleted from the contacts: she now calls as a stranger.
    const Decision decision =
        Decide(rules, {"carol", false, {}, Friday(12, 0), Presence::Online}, noTone17);
    EXPECT_EQ(decision.index, 2);
    ASSERT_EQ(decision.passedOver.size(), 2u);
    EXPECT_EQ(decision.passedOver[0],
              "rule 1 (\"weekend tone\") names tone 17, which the catalogue no longer holds");
    EXPECT_EQ(decision.passedOver[1],
              "rule 2 (\"old friend\") names \"carol\", who is no longer a contact");
    rules[2].then.greeting = "family.wav";
    const RuleWorld nothing{[](int32_t) { return false; },
                            [](const std::string&) { return false; }};
    const Decision none = Decide(rules, Contact("bob", {}, Friday(12, 0)), nothing);
    EXPECT_EQ(none.index, -1) << "no usable rule: the call goes on as without rules";
    EXPECT_EQ(none.passedOver.size(), 2u);
    EXPECT_EQ(none.passedOver.back(),
              "rule 3 (\"fallback\") names the file \"family.wav\", which is gone");
}

}  // namespace
}  // namespace velto::rules
