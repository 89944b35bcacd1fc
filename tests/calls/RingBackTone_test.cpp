#include <gtest/gtest.h>

#include "calls/RingBackTone.h"
#include "calls/ScriptedAnsweringPanels.h"
#include "platform/VirtualClock.h"

namespace velto::calls {
namespace {

TEST(ToneInfoMessage, ReplacesNameAndSuffixInOnePass) {
    EXPECT_EQ(ToneInfoMessage(u"\"%s\" set this MP3%n for you", u"Vera", std::nullopt),
              u"\"Vera\" set this MP3 for you");
    EXPECT_EQ(ToneInfoMessage(u"%s:%n:%s", u"V", u"Song"), u"V: (Song):V");
    // A name that looks like a placeholder stays as it is.
    EXPECT_EQ(ToneInfoMessage(u"%s%n", u"100%n", u"x"), u"100%n (x)");
    EXPECT_EQ(ToneInfoMessage(u"50% off %", u"V", std::nullopt), u"50% off %");
}

TEST(ScriptedAnsweringPanels, PressesComeWhenTheScriptSaysAndOnlyOnce) {
    platform::VirtualClock clock;
    ScriptedAnsweringPanels panels(clock);
    panels.AddRule({7, {}, ScriptedAnsweringPanels::Action::Decline, std::chrono::seconds(2), {}});
    int wakes = 0;
    auto other = panels.Create({8, "bob", "Bob", [&] { ++wakes; }});
    auto panel = panels.Create({7, "alice", "Alice", [&] { ++wakes; }});
    EXPECT_EQ(panel->NextPumpDue(), platform::Millis::max());  // not shown yet
    clock.Advance(std::chrono::seconds(1));
    panel->Show();
    EXPECT_EQ(panel->NextPumpDue(), std::chrono::seconds(3));
    EXPECT_EQ(other->NextPumpDue(), platform::Millis::max());
    panel->PumpMessages();
    EXPECT_EQ(panel->Decision(), AnsweringPanel::kUndecided);
    clock.Advance(std::chrono::seconds(2));
    panel->PumpMessages();
    EXPECT_EQ(panel->Decision(), AnsweringPanel::kDecline);
    EXPECT_FALSE(panel->IsShown());
    EXPECT_EQ(wakes, 1);
    const auto stories = panels.Stories();
    ASSERT_EQ(stories.size(), 2u);
    EXPECT_EQ(stories[1].pressedAt, std::chrono::seconds(3));
    EXPECT_EQ(stories[1].hiddenAt, std::chrono::seconds(3));
    EXPECT_EQ(stories[0].decision, AnsweringPanel::kUndecided);
}

}  // namespace
}  // namespace velto::calls
