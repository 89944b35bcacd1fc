#include "ui/model/MessagePosition.h"

#include <gtest/gtest.h>

namespace velto::ui {
namespace {

using platform::Millis;
using PlayState = MessagePosition::State;

// Play, pause, play on, seek, and the end: the position is where playing started plus the
// clock time since, never past the length.
TEST(MessagePosition, FollowsTheClockThroughPauseSeekAndTheEnd) {
    MessagePosition at(5000);
    EXPECT_EQ(at.ElapsedMs(Millis(0)), 0u);
    EXPECT_EQ(at.Play(Millis(1000)), 0u);
    EXPECT_EQ(at.ElapsedMs(Millis(2500)), 1500u);
    at.Pause(Millis(2500));
    EXPECT_EQ(at.state(), PlayState::Paused);
    EXPECT_EQ(at.ElapsedMs(Millis(9000)), 1500u);
    // Playing on starts from the paused point; a second Play changes nothing.
    EXPECT_EQ(at.Play(Millis(10000)), 1500u);
    EXPECT_EQ(at.Play(Millis(10500)), 1500u);
    EXPECT_EQ(at.ElapsedMs(Millis(11000)), 2500u);
    EXPECT_EQ(at.ElapsedMs(Millis(13500)), 5000u);  // held at the length
    EXPECT_EQ(at.ElapsedMs(Millis(99000)), 5000u);
    at.Finished();
    EXPECT_EQ(at.state(), PlayState::Stopped);
    EXPECT_EQ(at.Play(Millis(100000)), 0u);
    // A seek while playing goes on from there; beyond the end is the end.
    EXPECT_EQ(at.Seek(4000, Millis(100200)), 4000u);
    EXPECT_EQ(at.ElapsedMs(Millis(100700)), 4500u);
    EXPECT_EQ(at.Seek(7000, Millis(100800)), 5000u);
    at.Finished();
    // A seek while stopped waits, paused, for the next play.
    EXPECT_EQ(at.Seek(2000, Millis(200000)), 2000u);
    EXPECT_EQ(at.state(), PlayState::Paused);
    EXPECT_EQ(at.Play(Millis(300000)), 2000u);
}

TEST(MessagePosition, PlayTimesAreMinutesAndSecondsRoundedDown) {
    EXPECT_EQ(PlayTimeText(0), u"0:00");
    EXPECT_EQ(PlayTimeText(999), u"0:00");
    EXPECT_EQ(PlayTimeText(59999), u"0:59");
    EXPECT_EQ(PlayTimeText(60000), u"1:00");
    EXPECT_EQ(PlayTimeText(300000), u"5:00");
    EXPECT_EQ(PlayTimeText(3599999), u"59:59");
    EXPECT_EQ(PlayTimeText(3600000), u"1:00:00");
    EXPECT_EQ(PlayTimeText(UINT32_MAX), u"1193:02:47");
}

}  // namespace
}  // namespace velto::ui
