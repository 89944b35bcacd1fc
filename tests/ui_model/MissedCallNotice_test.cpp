#include "ui/model/MissedCallNotice.h"

#include <gtest/gtest.h>

#include "i18n/LanguageTable.h"
#include "i18n/Languages.h"

namespace velto::ui {
namespace {

TEST(MissedCallNoticeTest, TitleSaysWhetherAMessageWasLeftAndTheCallerIsNamed) {
    i18n::FillLanguageTable();
    const ContactList contacts = {{"bob", "Bob Full", "Bobby", skype::OnlineStatus::Away}};
    const MissedCallNotice plain =
        MakeMissedCallNotice({"bob", "t", false, u""}, contacts, i18n::kEnglish);
    EXPECT_EQ(plain.title, u"New missed call");
    EXPECT_EQ(plain.caller, u"Bobby");
    EXPECT_FALSE(plain.canPlay);

    const MissedCallNotice message = MakeMissedCallNotice(
        {"sip:eve@example.org", "t", true, u"/v.wav"}, contacts, i18n::kGerman);
    EXPECT_EQ(message.title, u"Neue Sprachnachricht");
    EXPECT_EQ(message.caller, u"sip:eve@example.org");
    EXPECT_TRUE(message.canPlay);
    EXPECT_EQ(message.language, i18n::kGerman);

    // A message without its file cannot be played; no caller id is said in words.
    const MissedCallNotice anonymous =
        MakeMissedCallNotice({"", "t", true, u""}, contacts, i18n::kEnglish);
    EXPECT_FALSE(anonymous.canPlay);
    EXPECT_EQ(anonymous.caller, u"Unknown caller");
}

TEST(MissedCallNoticeTest, ALongNameIsCutWholeAndMarkupIsWrittenAsText) {
    i18n::FillLanguageTable();
    // An emoji (a surrogate pair) across the cut is left out whole.
    const std::string name = std::string(kMaxCallerLength - 1, 'a') + "\xF0\x9F\x98\x80tail";
    const MissedCallNotice notice =
        MakeMissedCallNotice({"x", "t", false, u""}, {{"x", "", name, {}}}, i18n::kEnglish);
    EXPECT_EQ(notice.caller, std::u16string(kMaxCallerLength - 1, u'a') + u"\u2026");
    // 120 code units are shown whole; 121 are cut to 120 and an ellipsis.
    const std::string exact(120, 'b');
    EXPECT_EQ(MakeMissedCallNotice({"x", "t", false, u""}, {{"x", "", exact, {}}}, 3).caller,
              std::u16string(120, u'b'));
    EXPECT_EQ(MakeMissedCallNotice({"x", "t", false, u""}, {{"x", "", exact + "c", {}}}, 3).caller,
              std::u16string(120, u'b') + u"\u2026");

    EXPECT_EQ(EscapeNotificationMarkup(u"<b>Tom & Jerry</b>"),
              u"&lt;b&gt;Tom &amp; Jerry&lt;/b&gt;");
    EXPECT_EQ(EscapeNotificationMarkup(u"plain"), u"plain");
}

}  // namespace
}  // namespace velto::ui
