#include "server/ServerMessages.h"

#include <gtest/gtest.h>

#include "server/PartnerToneAnswer.h"

namespace velto::server {
namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(ServerMessagesTest, PayloadsAreCodeThenZeroEndedTexts) {
    FirstRunReport report;
    report.handle = "alice";
    report.systemDescription = "2_5_1_2600_Service Pack 3";
    report.languageId = 1033;
    report.skypeVersion = "3.8.0.188";
    const auto firstRun = BuildFirstRunReport(report);
    EXPECT_EQ(firstRun, Bytes(std::string_view("\x06"
                                               "alice\0"
                                               "1.2_m\0"
                                               "2_5_1_2600_Service Pack 3\0"
                                               "1033\0"
                                               "3.8.0.188\0",
                                               54)));
    EXPECT_EQ(firstRun.size(), 1 + (5 + 5 + 25 + 4 + 9) + 5u);

    EXPECT_EQ(BuildPartnerToneQuery("bob"), Bytes(std::string_view("\x03"
                                                                   "bob\0",
                                                                   5)));
    EXPECT_EQ(BuildPartnerDownloadReport(true, "k1", "bob", "f.mp3"),
              Bytes(std::string_view("\x07k1\0bob\0f.mp3\0", 14)));
    EXPECT_EQ(BuildPartnerDownloadReport(false, "k1", "bob", "f.mp3")[0], 0x05);
    // A text is cut at an embedded zero byte, as the server would read it.
    EXPECT_EQ(BuildPartnerToneQuery(std::string_view("bo\0b", 4)), Bytes(std::string_view("\x03"
                                                                                          "bo\0",
                                                                                          4)));
}

std::vector<uint8_t> Entry(const std::string& key) {
    std::string text = key + '\0' + "remote_" + key + ".mp3" + '\0' + "http://dl/" + '\0' +
                       "Title " + key + '\0' + "x" + '\0';
    return Bytes(text);
}

TEST(PartnerToneAnswerTest, FirstByteTellsWhetherAListFollows) {
    const auto none = ParsePartnerToneAnswer(std::vector<uint8_t>{0});
    EXPECT_TRUE(none.valid);
    EXPECT_FALSE(none.ownsTones);
    const auto emptyList = ParsePartnerToneAnswer(std::vector<uint8_t>{1});
    EXPECT_TRUE(emptyList.valid);
    EXPECT_TRUE(emptyList.ownsTones);
    EXPECT_TRUE(emptyList.entries.empty());
    const auto nothing = ParsePartnerToneAnswer({});
    EXPECT_TRUE(nothing.valid);
    EXPECT_FALSE(nothing.ownsTones);
}

TEST(PartnerToneAnswerTest, ReadsEntriesBackToBack) {
    std::vector<uint8_t> answer{7};
    for (const char* key : {"t1", "t2"}) {
        const auto entry = Entry(key);
        answer.insert(answer.end(), entry.begin(), entry.end());
    }
    const auto parsed = ParsePartnerToneAnswer(answer);
    ASSERT_TRUE(parsed.valid) << parsed.error;
    ASSERT_EQ(parsed.entries.size(), 2u);
    EXPECT_EQ(parsed.entries[1],
              (PartnerToneEntry{"t2", "remote_t2.mp3", "http://dl/", "Title t2", "x"}));
    EXPECT_EQ(parsed.entries[0].DownloadAddress(), "http://dl/remote_t1.mp3");
}

TEST(PartnerToneAnswerTest, RefusesTornAnswersAndLeavesOutKeysThatLeaveTheFolder) {
    std::vector<uint8_t> answer{1};
    const auto entry = Entry("t1");
    answer.insert(answer.end(), entry.begin(), entry.end() - 1);  // last zero missing
    const auto torn = ParsePartnerToneAnswer(answer);
    EXPECT_FALSE(torn.valid);
    EXPECT_TRUE(torn.entries.empty());
    EXPECT_NE(torn.error.find("cut short"), std::string::npos);

    // A tone key names a file: 200 bytes are its longest name, 201 too long.
    std::vector<uint8_t> longest{1};
    const auto longestEntry = Entry(std::string(200, 'k'));
    longest.insert(longest.end(), longestEntry.begin(), longestEntry.end());
    const auto kept = ParsePartnerToneAnswer(longest);
    ASSERT_EQ(kept.entries.size(), 1u);
    EXPECT_EQ(kept.entries[0].toneKey, std::string(200, 'k'));
    EXPECT_TRUE(kept.refused.empty());

    const std::vector<std::string> badKeys{"../evil", "a/b", "..", "", std::string(201, 'k')};
    for (const std::string& key : badKeys) {
        std::vector<uint8_t> bad{1};
        for (const std::string& each : {std::string("t1"), key, std::string("t2")}) {
            const auto bytes = Entry(each);
            bad.insert(bad.end(), bytes.begin(), bytes.end());
        }
        const auto parsed = ParsePartnerToneAnswer(bad);
        ASSERT_TRUE(parsed.valid) << key.size();
        ASSERT_EQ(parsed.entries.size(), 2u) << key.size();
        EXPECT_EQ(parsed.entries[0].toneKey, "t1");
        EXPECT_EQ(parsed.entries[1].toneKey, "t2");
        ASSERT_EQ(parsed.refused.size(), 1u);
        EXPECT_NE(parsed.refused[0].find("not a plain file name"), std::string::npos);
    }
}

}  // namespace
}  // namespace velto::server
