#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "core/UserSettings.h"

namespace velto::core {
namespace {

TEST(UserSettings, StartsWithTheDefaults) {
    UserSettings settings("/opt/velto");
    EXPECT_TRUE(settings.VoiceMailOn());
    EXPECT_TRUE(settings.UseDefaultGreeting());
    EXPECT_TRUE(settings.UseDefaultRingTone());
    EXPECT_EQ(settings.GreetingSource(), "");
    EXPECT_EQ(settings.StandardTone(), 0);
    EXPECT_EQ(settings.PartnerToneKey(), u"-1");
    EXPECT_EQ(settings.Catalogue(),
              (std::map<int32_t, CatalogueTone>{{-1, {u"Default", u"/opt/velto/default.wav"}}}));
    EXPECT_TRUE(settings.ConvertedFiles().empty());
    EXPECT_TRUE(settings.RingBacks().empty());
}

TEST(UserSettings, NewToneTakesTheLargestIdPlusOne) {
    UserSettings settings("/i");
    EXPECT_EQ(settings.InsertTone({u"a", u"/a"}), 0);  // only the default (-1) so far
    SettingFileContents c;
    c.catalogue = {{4, u"/four", u"four"}};
    settings.LoadFrom(c, "/i");  // ids -1 and 4
    EXPECT_EQ(settings.InsertTone({u"five", u"/five"}), 5);

    // An empty catalogue starts at 0.
    settings.EraseTone(-1);
    settings.EraseTone(4);
    settings.EraseTone(5);
    EXPECT_EQ(settings.InsertTone({u"zero", u"/zero"}), 0);

    c.catalogue = {{INT32_MAX, u"/max", u"max"}};
    settings.LoadFrom(c, "/i");
    EXPECT_EQ(settings.InsertTone({u"x", u"/x"}), std::nullopt);
}

TEST(UserSettings, ErasingAToneDropsItsConvertedFiles) {
    UserSettings settings("/i");
    const int32_t id = *settings.InsertTone({u"t", u"/t.wav"});
    settings.SetConverted("a.mp3", id);
    settings.SetConverted("b.mp3", id);
    settings.SetConverted("c.mp3", -1);
    EXPECT_EQ(settings.EraseTone(id), (CatalogueTone{u"t", u"/t.wav"}));
    EXPECT_EQ(settings.ConvertedFiles(), (std::map<std::string, int32_t>{{"c.mp3", -1}}));
    EXPECT_EQ(settings.EraseTone(id), std::nullopt);
}

TEST(UserSettings, LoadingKeepsPresentKeysAndForgetsThePreviousUser) {
    UserSettings settings("/i");
    settings.SetRingBack("previous-users-friend", {1, 2, 3});
    SettingFileContents c;
    c.catalogue = {{-1, u"/elsewhere/default.wav", u"Old"}, {2, u"/a", u"A"}, {2, u"/b", u"B"}};
    c.converted = {{"x", 1}, {"x", 2}};
    c.ringBacks = {{"bo", {1, 2, 2}}, {"bo", {0, 0, 0}}};
    settings.LoadFrom(c, "/i");
    EXPECT_EQ(settings.FindTone(-1), (CatalogueTone{u"Default", u"/i/default.wav"}));
    EXPECT_EQ(settings.FindTone(2), (CatalogueTone{u"A", u"/a"}));
    EXPECT_EQ(settings.FindConverted("x"), 1);
    EXPECT_EQ(settings.RingBacks(), (std::map<std::string, RingBackChoice>{{"bo", {1, 2, 2}}}));
}

// Call handlers read while the user interface and the downloader change the tables: no
// reader may ever see a half-made change.
// Limits left at their defaults are not written (the file stays as version 1 has it);
// changed ones are, and come back with the file; a file without them gives the defaults.
TEST(UserSettings, VoiceMailLimitsAreWrittenOnlyWhenChanged) {
    UserSettings settings("/opt/velto");
    EXPECT_EQ(settings.VoiceMailLimits(), (VoiceMailLimits{6000, 1000, 300000}));
    EXPECT_FALSE(settings.Snapshot(2).voiceMailLimits);
    settings.SetVoiceMailLimits({9000, 2000, 60000});
    const SettingFileContents saved = settings.Snapshot(2);
    ASSERT_TRUE(saved.voiceMailLimits);
    UserSettings next("/opt/velto");
    next.LoadFrom(saved, "/opt/velto");
    EXPECT_EQ(next.VoiceMailLimits(), (VoiceMailLimits{9000, 2000, 60000}));
    next.LoadFrom(SettingFileContents{}, "/opt/velto");
    EXPECT_EQ(next.VoiceMailLimits(), VoiceMailLimits{});
}

// Greetings are written only once one differs from the voice-mail page's; choosing the
// page's greeting again takes a contact out of the table; a file's first entry for a
// handle wins, as in the other tables.
TEST(UserSettings, GreetingsAreWrittenOnlyWhenSomeoneHasOne) {
    UserSettings settings("/opt/velto");
    EXPECT_EQ(settings.FindGreeting("al"), GreetingChoice{});
    EXPECT_FALSE(settings.BusyGreeting());
    EXPECT_FALSE(settings.Snapshot(2).greetings);
    settings.SetGreeting("al", {GreetingKind::File, "a.wav"});
    settings.SetGreeting("bo", {GreetingKind::Own, ""});
    settings.SetGreeting("bo", {GreetingKind::Standard, ""});
    settings.SetBusyGreeting(GreetingChoice{GreetingKind::Own, ""});
    const SettingFileContents saved = settings.Snapshot(2);
    ASSERT_TRUE(saved.greetings);
    EXPECT_EQ(*saved.greetings,
              (GreetingTable{GreetingChoice{GreetingKind::Own, ""},
                             {{"al", GreetingChoice{GreetingKind::File, "a.wav"}}}}));

    SettingFileContents file = saved;
    file.greetings->contacts.push_back({"al", {GreetingKind::Own, ""}});
    UserSettings next("/opt/velto");
    next.LoadFrom(file, "/opt/velto");
    EXPECT_EQ(next.Greetings(), settings.Greetings());
    EXPECT_EQ(next.BusyGreeting(), settings.BusyGreeting());
    next.SetBusyGreeting(std::nullopt);
    next.SetGreeting("al", {});
    EXPECT_FALSE(next.Snapshot(2).greetings);
    next.LoadFrom(saved, "/opt/velto");
    next.LoadFrom(SettingFileContents{}, "/opt/velto");
    EXPECT_TRUE(next.Greetings().empty());
    EXPECT_FALSE(next.BusyGreeting());
}

TEST(UserSettings, ReadersNeverSeeATableMidChange) {
    UserSettings settings("/i");
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            while (!done.load()) {
                for (const auto& [handle, choice] : settings.RingBacks()) {
                    ASSERT_EQ(choice.firstId, choice.mode);
                    ASSERT_EQ(choice.secondId, choice.mode);
                }
                if (auto choice = settings.FindRingBack("a")) {
                    ASSERT_EQ(choice->firstId, choice->mode);
                }
                const SettingFileContents snapshot = settings.Snapshot(0);
                for (size_t i = 1; i < snapshot.catalogue.size(); ++i) {
                    ASSERT_LT(snapshot.catalogue[i - 1].id, snapshot.catalogue[i].id);
                }
                if (auto tone = settings.FindTone(0)) {
                    ASSERT_EQ(tone->path, u"/p/" + tone->title);
                }
                reads.fetch_add(1);
            }
        });
    }
    std::thread downloader([&] {
        for (int i = 0; i < 300; ++i) {
            const std::u16string title(static_cast<size_t>(i % 7 + 1), u'q');
            const auto id = settings.InsertTone({title, u"/p/" + title});
            settings.SetConverted("src" + std::to_string(i), id.value_or(-1));
        }
    });
    for (int i = 0; i < 300; ++i) {
        settings.SetRingBack(i % 2 ? "a" : "b" + std::to_string(i), {i, i, i});
        if (i % 3 == 0) {
            settings.EraseRingBack("a");
            settings.EraseTone(i / 3);
        }
    }
    downloader.join();
    done.store(true);
    for (auto& reader : readers) {
        reader.join();
    }
    EXPECT_GT(reads.load(), 0);
}

}  // namespace
}  // namespace velto::core
