#include "backends/sip/RegistrationRetry.h"

#include <gtest/gtest.h>

namespace velto::skype::sip {
namespace {

using platform::Millis;

TEST(RegistrationRetryTest, BacksOffFromSecondsToFiveMinutesAndStartsOverAfterASuccess) {
    RegistrationRetry retry;
    EXPECT_LE(retry.Next(), Millis(30000));
    Millis last{0};
    for (int i = 0; i < 40; ++i) {
        const Millis wait = retry.Next();
        EXPECT_GE(wait, last);
        EXPECT_LE(wait, Millis(300000));
        last = wait;
    }
    EXPECT_EQ(last, Millis(300000));
    retry.Reset();
    EXPECT_EQ(retry.Next(), Millis(10000));
    EXPECT_EQ(retry.Next(), Millis(20000));
}

}  // namespace
}  // namespace velto::skype::sip
