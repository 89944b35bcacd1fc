#include <gtest/gtest.h>

#include "platform/FileLookup.h"
#include "platform/InterfaceTable.h"
#include "platform/TempFile.h"
#include "platform/Text.h"
#include "support/TempDir.h"

namespace velto::platform {
namespace {

TEST(Text, RoundTripsEveryPlane) {
    const std::string text = "Ton \xc3\xa9t\xc3\xa9 \xe9\x93\x83\xe5\xa3\xb0 \xf0\x9f\x8e\xb5";
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"Ton \u00e9t\u00e9 \u94c3\u58f0 \U0001F3B5");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Text, InvalidInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xff"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xe9\x93"), u"\uFFFD\uFFFD");  // truncated sequence
    EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\uFFFD");        // overlong
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

TEST(FileLookup, FindsNamesInAnyLetterCase) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "Ringing.wav", "x");
    EXPECT_EQ(FindInFolderNoCase(dir.path(), "RINGING.WAV"), dir / "Ringing.wav");
    EXPECT_EQ(FindInFolderNoCase(dir.path(), "Ringing.wav"), dir / "Ringing.wav");
    EXPECT_FALSE(FindInFolderNoCase(dir.path(), "Ringtone.wav"));
    EXPECT_FALSE(FindInFolderNoCase(dir / "missing", "Ringing.wav"));
    EXPECT_EQ(ResolveNoCase(dir.path(), "new.wav"), dir / "new.wav");
}

TEST(TempFile, CreatesDistinctFilesWithThePrefix) {
    test::TempDir dir;
    auto a = CreateTempFile(dir.path());
    auto b = CreateTempFile(dir.path());
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_EQ(a->filename().string().rfind("SKY", 0), 0u);
    { TempFileGuard guard(*a); }
    EXPECT_FALSE(std::filesystem::exists(*a));
    EXPECT_FALSE(CreateTempFile(dir / "missing"));
}

TEST(InterfaceTable, GetChecksTypeAndRevokeEndsTheEntry) {
    InterfaceTable table;
    const Cookie cookie = table.Register(std::make_shared<int>(5));
    EXPECT_NE(cookie, 0u);
    ASSERT_TRUE(table.Get<int>(cookie));
    EXPECT_EQ(*table.Get<int>(cookie), 5);
    EXPECT_FALSE(table.Get<double>(cookie));
    EXPECT_TRUE(table.Revoke(cookie));
    EXPECT_FALSE(table.Revoke(cookie));
    EXPECT_FALSE(table.Get<int>(cookie));
}

}  // namespace
}  // namespace velto::platform
