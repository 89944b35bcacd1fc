// The limit of calls at once: a setting in the user hive, checked at both ends.
#include <gtest/gtest.h>

#include "sipaccount/SipSettings.h"
#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

using platform::RegRoot;

TEST(CallLimit, MaxCallsIsTwentyByDefaultAndRefusedOutsideOneToAThousand) {
    test::TempDir dir;
    platform::Registry hive({dir / "user.reg", dir / "machine.reg", {}});
    ASSERT_EQ(hive.CreateKey(RegRoot::CurrentUser, kSipKey), platform::RegError::Ok);
    hive.SetString(RegRoot::CurrentUser, kSipKey, kIdentityValue, "sip:alice@example.org");
    auto read = ReadSipSettings(hive);
    ASSERT_TRUE(read.settings) << read.error;
    EXPECT_EQ(read.settings->maxCalls, 20u);
    for (uint32_t good : {1u, 1000u}) {
        hive.SetDword(RegRoot::CurrentUser, kSipKey, kMaxCallsValue, good);
        read = ReadSipSettings(hive);
        ASSERT_TRUE(read.settings) << read.error;
        EXPECT_EQ(read.settings->maxCalls, good);
    }
    for (uint32_t bad : {0u, 1001u}) {
        hive.SetDword(RegRoot::CurrentUser, kSipKey, kMaxCallsValue, bad);
        read = ReadSipSettings(hive);
        EXPECT_FALSE(read.settings);
        EXPECT_EQ(read.error, "MaxCalls \"" + std::to_string(bad) +
                                  "\": expected a number of calls from 1 to 1000");
    }
}

}  // namespace
}  // namespace velto::skype::sip
