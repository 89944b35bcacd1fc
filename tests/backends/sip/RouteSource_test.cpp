// Which local address the system sends from towards a server.
#include "backends/sip/RouteSource.h"

#include <gtest/gtest.h>

namespace velto::skype::sip {
namespace {

TEST(RouteSourceTest, TheSourceTowardsALoopbackAddressIsTheLoopbacksOwn) {
    EXPECT_EQ(SourceAddressTowards("127.0.0.1", 3478), "127.0.0.1");
    // The rest of 127/8 is reached from the loopback's preferred source, not from itself.
    EXPECT_EQ(SourceAddressTowards("127.0.0.2", 3478), "127.0.0.1");
    // Names are not looked up; nonsense is nothing.
    EXPECT_EQ(SourceAddressTowards("localhost", 3478), std::nullopt);
    EXPECT_EQ(SourceAddressTowards("", 3478), std::nullopt);
    EXPECT_EQ(SourceAddressTowards("300.1.1.1", 3478), std::nullopt);
    const auto six = SourceAddressTowards("[::1]", 3478);
    if (six) {  // machines without IPv6 have no route there
        EXPECT_EQ(*six, "::1");
        EXPECT_EQ(SourceAddressTowards("::1", 3478), "::1");
    }
}

TEST(RouteSourceTest, AddressesAreComparedAsAddresses) {
    EXPECT_TRUE(SameAddress("::1", "0:0:0::1"));
    EXPECT_TRUE(SameAddress("[::1]", "::1"));
    EXPECT_TRUE(SameAddress("10.0.0.1", "10.0.0.1"));
    EXPECT_FALSE(SameAddress("10.0.0.1", "10.0.0.2"));
    EXPECT_FALSE(SameAddress("::1", "127.0.0.1"));
    EXPECT_TRUE(SameAddress("turn.example.org", "turn.example.org"));
}

}  // namespace
}  // namespace velto::skype::sip
