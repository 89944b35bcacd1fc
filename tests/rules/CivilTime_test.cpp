#include "rules/CivilTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "rules/RuleMatch.h"

namespace velto::rules {
namespace {

using std::chrono::minutes;

// Central European time with its summer time, as a POSIX rule: needs no time-zone files.
class CentralEurope : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

    // Real minutes from 20:00 local on the evening before `day` to 09:00 on `day` during
    // which a 22:00-07:00 night rule holds, and how often it starts and ends.
    struct Walk {
        int minutesHeld = 0;
        int starts = 0;
        int ends = 0;
    };
    static Walk WalkTheNight(int year, int month, int day) {
        Conditions night;
        night.time = TimeWindow{22 * 60, 7 * 60};
        const auto start = *FromCivilTime(year, month, day - 1, 20 * 60);
        const auto end = *FromCivilTime(year, month, day, 9 * 60);
        Walk walk;
        bool held = false;
        for (auto t = start; t < end; t += minutes(1)) {
            const CallFacts call{"a", true, {}, ToCivilTime(t), Presence::Online};
            const bool holds = Holds(night, call);
            walk.minutesHeld += holds ? 1 : 0;
            walk.starts += holds && !held ? 1 : 0;
            walk.ends += !holds && held ? 1 : 0;
            held = holds;
        }
        return walk;
    }

  private:
    std::optional<std::string> saved_;
};

TEST_F(CentralEurope, WallTimeIsReadInTheLocalZone) {
    // 2026-12-12 06:30 UTC is 07:30 in Berlin, a Saturday.
    const auto moment = std::chrono::system_clock::from_time_t(1797057000);
    const CivilTime civil = ToCivilTime(moment);
    EXPECT_EQ(civil.DateKey(), 20261212);
    EXPECT_EQ(civil.weekday, 5);
    EXPECT_EQ(civil.minute, 7 * 60 + 30);
    EXPECT_EQ(FromCivilTime(2026, 12, 12, 7 * 60 + 30), moment);
    // 02:30 does not exist on the morning summer time starts.
    EXPECT_FALSE(FromCivilTime(2026, 3, 29, 2 * 60 + 30).has_value());
    const CivilTime first{2027, 3, 1, 0, 0};
    const CivilTime last = PreviousDay(first);
    EXPECT_EQ(last.DateKey(), 20270228);
    EXPECT_EQ(last.weekday, 6);
}

TEST_F(CentralEurope, SummerTimeNeitherSkipsNorRepeatsANightRule) {
    // Spring forward (2026-03-29, 02:00 -> 03:00): 22:00 to 07:00 is 8 real hours.
    const Walk spring = WalkTheNight(2026, 3, 29);
    EXPECT_EQ(spring.minutesHeld, 8 * 60);
    EXPECT_EQ(spring.starts, 1);
    EXPECT_EQ(spring.ends, 1);
    // Fall back (2026-10-25, 03:00 -> 02:00): 22:00 to 07:00 is 10 real hours, one window.
    const Walk autumn = WalkTheNight(2026, 10, 25);
    EXPECT_EQ(autumn.minutesHeld, 10 * 60);
    EXPECT_EQ(autumn.starts, 1);
    EXPECT_EQ(autumn.ends, 1);
}

TEST_F(CentralEurope, AClockSetBackReadsTheSameWindowAgainOnlyAsTheWallClockDoes) {
    // The decision depends on the wall time alone: setting the clock back an hour from 07:30
    // to 06:30 puts the call inside the night window again, and forward out of it.
    Conditions night;
    night.time = TimeWindow{22 * 60, 7 * 60};
    const auto late = *FromCivilTime(2026, 12, 12, 7 * 60 + 30);
    const auto setBack = late - std::chrono::hours(1);
    EXPECT_FALSE(Holds(night, {"a", true, {}, ToCivilTime(late), Presence::Online}));
    EXPECT_TRUE(Holds(night, {"a", true, {}, ToCivilTime(setBack), Presence::Online}));
}

}  // namespace
}  // namespace velto::rules
