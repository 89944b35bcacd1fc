#include <gtest/gtest.h>

#include <filesystem>

#include "partner/QuorinRingToneDownloader.h"
#include "partner/ToneName.h"
#include "support/TempDir.h"

namespace velto::partner {
namespace {

TEST(ToneName, AddressesAreHttpOnlyAndTheNameIsOneSegment) {
    std::string address;
    ASSERT_TRUE(BuildDownloadAddress("HTTP://h:1/t/", "a b?c#d\xC3\xA9.wav", address));
    EXPECT_EQ(address, "HTTP://h:1/t/a%20b%3Fc%23d%C3%A9.wav");
    ASSERT_TRUE(BuildDownloadAddress("https://h/x?y=", "z", address));
    EXPECT_EQ(address, "https://h/x?y=z");
    EXPECT_FALSE(BuildDownloadAddress("file:///etc/", "passwd", address));
    EXPECT_FALSE(BuildDownloadAddress("ftp://h/", "a", address));
    EXPECT_FALSE(BuildDownloadAddress("", "a", address));
}

TEST(CutToRiff, FindsTheStartAcrossBlockBordersAndRefusesFilesWithoutIt) {
    velto::test::TempDir dir;
    const auto from = dir / "in";
    const auto to = dir / "out";
    // "RIFF" straddles the first 32768-byte block.
    std::string bytes(32766, 'x');
    bytes += "RIFF";
    bytes += std::string(40'000, 'y');
    velto::test::WriteFileBytes(from, bytes);
    ASSERT_TRUE(CutToRiff(from, to));
    EXPECT_EQ(velto::test::ReadFileBytes(to), bytes.substr(32766));

    velto::test::WriteFileBytes(from, "RIFRIF");
    EXPECT_FALSE(CutToRiff(from, to));
    EXPECT_FALSE(std::filesystem::exists(to));
    velto::test::WriteFileBytes(from, "");
    EXPECT_FALSE(CutToRiff(from, to));
}

}  // namespace
}  // namespace velto::partner
