#include "platform/PathComponent.h"

#include <gtest/gtest.h>

#include <string>

namespace velto::platform {
namespace {

TEST(PathComponent, OnlyPlainFileNamesPass) {
    for (const char* good :
         {"tone1", "Tone A.wav", "\xC3\xA9t\xC3\xA9", "a.b", "-1", "john..doe", "...", ".hidden"}) {
        EXPECT_TRUE(IsSafePathComponent(good)) << good;
    }
    const std::string overlong(201, 'a');  // names are at most 200 bytes
    for (const std::string& bad :
         {std::string(), std::string("."), std::string(".."), std::string("../x"),
          std::string("a/b"), std::string("a\\b"), std::string("x/.."), std::string("a\nb"),
          std::string("a\x7f"), std::string("a\0b", 3), std::string("\xC3"),
          std::string("\xC0\xAF"), std::string("\xED\xA0\x80"), overlong}) {
        std::string reason;
        EXPECT_FALSE(IsSafePathComponent(bad, &reason)) << bad;
        EXPECT_FALSE(reason.empty());
    }
    EXPECT_TRUE(IsSafePathComponent(std::string(200, 'a')));
    // Bytes, not characters: 100 two-byte letters are 200 bytes, and one more is too many.
    std::string accented;
    for (int i = 0; i < 100; ++i) {
        accented += "\xC3\xA9";
    }
    EXPECT_TRUE(IsSafePathComponent(accented));
    std::string reason;
    EXPECT_FALSE(IsSafePathComponent(accented + "a", &reason));
    EXPECT_EQ(reason, "too long");
}

}  // namespace
}  // namespace velto::platform
