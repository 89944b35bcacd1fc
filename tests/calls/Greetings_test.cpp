// Which greeting a caller hears: a rule's, the busy one after a decline, the contact's, the
// voice-mail page's; and a file that cannot be played gives way to the standard one.
#include <gtest/gtest.h>

#include "CallWorld.h"
#include "calls/CallGreeting.h"
#include "platform/Trace.h"

namespace velto::calls::test {
namespace {

using core::GreetingChoice;
using core::GreetingKind;

std::string Name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

struct GreetingFiles {
    velto::test::TempDir dir;
    std::filesystem::path install = dir / "install";
    std::filesystem::path own = dir / "me";
    core::UserSettings settings;
    GreetingFolders folders{install.string(), own, 3};

    GreetingFiles() {
        for (const char* name : {"DefaultAM_Eng.wav", "DefaultAM_Ch.wav"}) {
            WriteTone(install / name, 500);
        }
        for (const char* name : {"AnswerMachine.wav", "alice.wav", "busy.wav", "rule.wav"}) {
            WriteTone(own / name, 500);
        }
        velto::test::WriteFileBytes(own / "notes.wav", "a text, not a sound");
        WriteTone(own / "empty.wav", 0);
    }
    std::string For(GreetingRequest request) {
        return Name(CallGreetingPath(settings, folders, request));
    }
};

TEST(Greetings, ARuleBeatsTheBusyGreetingWhichBeatsTheContactsWhichBeatsThePages) {
    GreetingFiles f;
    f.settings.SetGreeting("alice", {GreetingKind::File, "alice.wav"});
    f.settings.SetBusyGreeting(GreetingChoice{GreetingKind::File, "busy.wav"});
    EXPECT_EQ(f.For({std::nullopt, false, "bob"}), "DefaultAM_Eng.wav");
    EXPECT_EQ(f.For({std::nullopt, false, "alice"}), "alice.wav");
    EXPECT_EQ(f.For({std::nullopt, true, "alice"}), "busy.wav");
    EXPECT_EQ(f.For({"rule.wav", true, "alice"}), "rule.wav");
    // A rule's "default" is the voice-mail page's greeting, over the others too.
    EXPECT_EQ(f.For({"default", true, "alice"}), "DefaultAM_Eng.wav");
    f.settings.SetUseDefaultGreeting(false);
    EXPECT_EQ(f.For({"default", false, "alice"}), "AnswerMachine.wav");
    EXPECT_EQ(f.For({std::nullopt, false, "bob"}), "AnswerMachine.wav");

    // Without a busy greeting a decline changes nothing; the busy greeting "standard" is
    // the page's, whatever the contact has.
    f.settings.SetBusyGreeting(std::nullopt);
    EXPECT_EQ(f.For({std::nullopt, true, "alice"}), "alice.wav");
    f.settings.SetBusyGreeting(GreetingChoice{GreetingKind::Standard, {}});
    EXPECT_EQ(f.For({std::nullopt, true, "alice"}), "AnswerMachine.wav");
    f.settings.SetUseDefaultGreeting(true);
    f.settings.SetGreeting("bob", {GreetingKind::Own, ""});
    EXPECT_EQ(f.For({std::nullopt, false, "bob"}), "AnswerMachine.wav");
    f.folders.language = 1;
    EXPECT_EQ(f.For({std::nullopt, true, "bob"}), "DefaultAM_Ch.wav");
}

// Each kind of busy greeting in turn, and none again at the end: a declined call hears
// the kind chosen, and without one the contact's greeting as if nobody had declined.
TEST(Greetings, EachBusyGreetingKindAndNoneAgain) {
    GreetingFiles f;
    f.settings.SetGreeting("alice", {GreetingKind::File, "alice.wav"});
    struct Side {
        std::optional<GreetingChoice> busy;
        const char* heard;  // by hand, with the voice-mail page on its stock greeting
    };
    const Side sides[] = {
        {std::nullopt, "alice.wav"},
        {GreetingChoice{GreetingKind::Standard, ""}, "DefaultAM_Eng.wav"},
        {GreetingChoice{GreetingKind::Own, ""}, "AnswerMachine.wav"},
        {GreetingChoice{GreetingKind::File, "busy.wav"}, "busy.wav"},
        {std::nullopt, "alice.wav"},
    };
    for (const Side& side : sides) {
        SCOPED_TRACE(side.heard);
        f.settings.SetBusyGreeting(side.busy);
        EXPECT_EQ(f.For({std::nullopt, true, "alice"}), side.heard);
        EXPECT_EQ(f.For({std::nullopt, false, "alice"}), "alice.wav");  // not declined
    }
}

TEST(Greetings, AFileThatCannotBePlayedGivesWayToTheStandardGreetingWithATrace) {
    platform::TraceCapture trace;
    GreetingFiles f;
    for (const char* file : {"gone.wav", "notes.wav", "empty.wav"}) {
        f.settings.SetGreeting("alice", {GreetingKind::File, file});
        EXPECT_EQ(f.For({std::nullopt, false, "alice"}), "DefaultAM_Eng.wav") << file;
    }
    EXPECT_EQ(trace.Count("the standard one instead"), 3);
    EXPECT_TRUE(trace.Contains("Greeting: the contact's greeting " + (f.own / "gone.wav").string() +
                               " cannot be played ("));
    // The page's own greeting missing too: the stock greeting.
    f.settings.SetUseDefaultGreeting(false);
    std::filesystem::remove(f.own / "AnswerMachine.wav");
    f.settings.SetBusyGreeting(GreetingChoice{GreetingKind::File, "gone.wav"});
    EXPECT_EQ(f.For({std::nullopt, true, "alice"}), "DefaultAM_Eng.wav");
    EXPECT_TRUE(trace.Contains("Greeting: the busy greeting"));
    EXPECT_TRUE(trace.Contains("the stock one instead"));
    // Without a user folder only the stock greeting is there.
    f.folders.ownFolder.reset();
    f.settings.SetGreeting("bob", {GreetingKind::Own, ""});
    EXPECT_EQ(f.For({std::nullopt, false, "bob"}), "DefaultAM_Eng.wav");
}

// A declined call with a busy greeting: the machine answers with it at once and records
// the message, and the record says the user was busy. Without one the call just ends.
TEST(Greetings, ADeclinedCallHearsTheBusyGreetingAndLeavesAMessage) {
    platform::TraceCapture trace;
    CallWorld w;
    WriteTone(w.own / "busy.wav", 1500);
    w.settings.SetBusyGreeting(GreetingChoice{GreetingKind::File, "busy.wav"});
    w.panels.AddRule({0, "bob", ScriptedAnsweringPanels::Action::Decline, {}, 7s});
    const int32_t id = w.Ring("bob");
    w.At(30s);
    w.world->CallerHangsUp(id);
    w.Finish();
    const auto info = w.Info(id);
    std::vector<std::string> heard;
    for (const auto& segment : info.heard) {
        if (heard.empty() || heard.back() != Name(segment.file)) {
            heard.push_back(Name(segment.file));
        }
    }
    EXPECT_EQ(heard, (std::vector<std::string>{"default.wav", "busy.wav", "DingDong.wav"}));
    const auto busy = std::find_if(info.heard.begin(), info.heard.end(),
                                   [](const auto& s) { return Name(s.file) == "busy.wav"; });
    ASSERT_NE(busy, info.heard.end());
    EXPECT_NEAR(static_cast<double>(busy->start.count()), 7000.0, 2.0);
    EXPECT_EQ(info.recordings.size(), 1u);
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].busy);
    EXPECT_TRUE(records[0].hasVoiceMessage);
    EXPECT_TRUE(trace.Contains("Declined: the busy greeting for bob"));

    w.settings.SetBusyGreeting(std::nullopt);
    w.panels.AddRule({0, "bob", ScriptedAnsweringPanels::Action::Decline, 1s, {}});
    const int32_t again = w.Ring("bob");
    w.Finish();
    EXPECT_EQ(w.Info(again).finishes, 1);
    EXPECT_TRUE(w.Info(again).recordings.empty());
    EXPECT_EQ(w.missed.size(), 1u);
}

}  // namespace
}  // namespace velto::calls::test
