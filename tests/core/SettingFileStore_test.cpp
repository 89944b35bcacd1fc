#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "core/SettingFileCodec.h"
#include "core/SettingFileStore.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::core {
namespace {

class RecordingOptions : public RegistryOptions {
  public:
    void SetAutoStart(bool on) override { calls += on ? "AutoStart(on) " : "AutoStart(off) "; }
    void SetAutoUpdate(bool on) override { calls += on ? "AutoUpdate(on) " : "AutoUpdate(off) "; }
    void SetFriendMsg(bool on) override { calls += on ? "FriendMsg(on) " : "FriendMsg(off) "; }
    std::string calls;
};

class SettingFileStoreTest : public ::testing::Test {
  protected:
    SettingFileStoreTest() {
        shared.InstallDirPath.Set("/opt/velto");
        shared.UserDataDir.Set(data.path().string());
        shared.MyHandle.Set("alice");
        shared.DefaultLanguageIndex = 2;
        std::filesystem::create_directories(data / "alice");
        std::filesystem::create_directories(data / "bob");
        store.SetMissedCallSaver([this] { ++missedCallSaves; });
    }

    std::filesystem::path FileOf(const std::string& handle) { return data / handle / "Setting"; }

    test::TempDir data;
    SharedState shared;
    UserSettings settings{"/opt/velto"};
    RecordingOptions options;
    SettingFileStore store{shared, settings, options};
    std::atomic<int> missedCallSaves{0};
};

TEST_F(SettingFileStoreTest, WhatIsSavedIsReadBack) {
    shared.CurrentLanguage = 7;
    settings.SetVoiceMailOn(false);
    settings.SetUseDefaultGreeting(false);
    settings.SetGreetingSource("/home/a/gr\xc3\xbc\xc3\x9f.wav");
    settings.SetRingToneSource("");
    settings.SetStandardTone(1);
    settings.SetOwnToneTitle(u"\u94c3\u58f0 \U0001F3B5");
    settings.SetPartnerToneKey(u"");
    const int32_t id = *store.AddCatalogueTone(u"\u00e9t\u00e9", u"/x/\u00e9.wav");
    settings.SetConverted("/home/a/\xc3\xa9.mp3", id);
    settings.SetRingBack("bob", {2, id, -1});
    ASSERT_TRUE(store.SaveSettingFile());
    const SettingFileContents saved = settings.Snapshot(7);

    settings.ResetToDefaults("/opt/velto");
    shared.CurrentLanguage = 0;
    store.LoadSettingFile();
    EXPECT_EQ(settings.Snapshot(shared.CurrentLanguage), saved);
    EXPECT_EQ(shared.CurrentLanguage, 7);
    EXPECT_EQ(options.calls, "");   // a file that was read applies no defaults
    EXPECT_EQ(missedCallSaves, 2);  // AddCatalogueTone saved too
}

TEST_F(SettingFileStoreTest, SavesTheDefaultsInTheFileLayout) {
    shared.CurrentLanguage = 2;
    ASSERT_TRUE(store.SaveSettingFile());
    SettingFileContents expected;
    expected.language = 2;
    expected.catalogue = {{-1, u"/opt/velto/default.wav", u"Default"}};
    EXPECT_EQ(test::ReadFileBytes(FileOf("alice")), EncodeSettingFile(expected));
}

TEST_F(SettingFileStoreTest, TracesTheLoadOfAFoundFile) {
    ASSERT_TRUE(store.SaveSettingFile());
    platform::TraceCapture trace;
    store.LoadSettingFile();
    const std::string path = FileOf("alice").string();
    EXPECT_EQ(trace.Text(), "Loading setting file: " + path + "\nSetting file: " + path +
                                " found\nFinish loading\n");
}

TEST_F(SettingFileStoreTest, FirstRunReadsNoFileAndAppliesTheDefaults) {
    settings.SetVoiceMailOn(false);
    shared.CurrentLanguage = 9;
    ASSERT_TRUE(store.SaveSettingFile());
    settings.SetRingBack("bob", {1, 1, 1});

    shared.FirstRun = true;
    platform::TraceCapture trace;
    store.LoadSettingFile();
    const std::string path = FileOf("alice").string();
    EXPECT_EQ(trace.Text(), "Loading setting file: " + path + "\nSetting file: " + path +
                                " not found\nUse default setting\nFinish loading\n");
    EXPECT_TRUE(settings.VoiceMailOn());
    EXPECT_TRUE(settings.RingBacks().empty());
    EXPECT_EQ(settings.Catalogue().size(), 1u);
    EXPECT_EQ(shared.CurrentLanguage, 2);
    EXPECT_EQ(options.calls, "AutoStart(on) AutoUpdate(on) FriendMsg(on) ");

    // The next save writes a complete file of the defaults.
    ASSERT_TRUE(store.SaveSettingFile());
    SettingFileContents expected;
    expected.language = 2;
    expected.catalogue = {{-1, u"/opt/velto/default.wav", u"Default"}};
    EXPECT_EQ(test::ReadFileBytes(FileOf("alice")), EncodeSettingFile(expected));
}

TEST_F(SettingFileStoreTest, EachSkypeUserHasTheirOwnFile) {
    settings.SetRingBack("carol", {1, -1, -1});
    shared.CurrentLanguage = 4;
    ASSERT_TRUE(store.SaveSettingFile());

    shared.MyHandle.Set("bob");
    settings.ResetToDefaults("/opt/velto");
    settings.SetRingBack("dave", {2, -1, -1});
    shared.CurrentLanguage = 5;
    ASSERT_TRUE(store.SaveSettingFile());

    shared.MyHandle.Set("alice");
    store.LoadSettingFile();
    EXPECT_EQ(settings.RingBacks(),
              (std::map<std::string, RingBackChoice>{{"carol", {1, -1, -1}}}));
    EXPECT_EQ(shared.CurrentLanguage, 4);

    shared.MyHandle.Set("bob");
    store.LoadSettingFile();
    EXPECT_EQ(settings.RingBacks(), (std::map<std::string, RingBackChoice>{{"dave", {2, -1, -1}}}));
    EXPECT_EQ(shared.CurrentLanguage, 5);
}

TEST_F(SettingFileStoreTest, FindsTheFileInAnyLetterCase) {
    SettingFileContents c;
    c.language = 11;
    test::WriteFileBytes(data / "alice" / "SETTING", EncodeSettingFile(c));
    store.LoadSettingFile();
    EXPECT_EQ(shared.CurrentLanguage, 11);
}

TEST_F(SettingFileStoreTest, DamagedFilesAreRefusedAndKeptAside) {
    SettingFileContents c;
    c.greetingSource = "g";
    const std::string good = EncodeSettingFile(c);
    const std::string overrun = good.substr(0, good.size() - 3);
    std::string tooLong = good;
    tooLong[10] = 0x00;  // greeting source length 0x0400 = 1,024
    tooLong[11] = 0x04;
    int n = 0;
    for (const std::string& bad : {overrun, tooLong, std::string("\x01\x00", 2)}) {
        ++n;
        settings.SetRingBack("x", {1, 1, 1});
        options.calls.clear();
        test::WriteFileBytes(FileOf("alice"), bad);
        platform::TraceCapture trace;
        store.LoadSettingFile();
        EXPECT_TRUE(
            trace.Contains("Setting file: " + FileOf("alice").string() + " is damaged, field '"))
            << trace.Text();
        EXPECT_TRUE(trace.Contains("Use default setting\n"));
        EXPECT_FALSE(trace.Contains("not found"));
        EXPECT_TRUE(trace.Contains("Finish loading\n"));
        EXPECT_TRUE(settings.RingBacks().empty());
        EXPECT_EQ(options.calls, "AutoStart(on) AutoUpdate(on) FriendMsg(on) ");
        EXPECT_FALSE(std::filesystem::exists(FileOf("alice")));
        EXPECT_EQ(test::ReadFileBytes(data / "alice" / ("Setting.bad-" + std::to_string(n))), bad);
    }
}

TEST_F(SettingFileStoreTest, AFailedSaveLeavesTheOldFile) {
    ASSERT_TRUE(store.SaveSettingFile());
    const std::string old = test::ReadFileBytes(FileOf("alice"));

    test::WriteFileBytes(data / "nobody", "");  // the own folder cannot be made
    shared.MyHandle.Set("nobody");
    platform::TraceCapture trace;
    EXPECT_FALSE(store.SaveSettingFile());
    EXPECT_TRUE(trace.Contains("Error...cannot save setting file " + FileOf("nobody").string()));
    EXPECT_EQ(missedCallSaves, 2);  // the missed calls are still saved

    // A disk that fills up mid-write: the file size limit makes write() fail.
    shared.MyHandle.Set("alice");
    settings.SetGreetingSource(std::string(1000, 'g'));
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = store.SaveSettingFile();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(test::ReadFileBytes(FileOf("alice")), old);
    for (const auto& entry : std::filesystem::directory_iterator(data / "alice")) {
        EXPECT_EQ(entry.path().filename(), "Setting");  // no temporary file left behind
    }
}

TEST_F(SettingFileStoreTest, OverlongNarrowStringsAreLeftOutOfTheFile) {
    settings.SetGreetingSource(std::string(1024, 'g'));
    settings.SetConverted(std::string(2000, 'c'), 1);
    settings.SetConverted(std::string(1024, 'd'), 1);
    settings.SetConverted("short", 1);
    ASSERT_TRUE(store.SaveSettingFile());
    const SettingFileDecoded decoded = DecodeSettingFile(test::ReadFileBytes(FileOf("alice")));
    ASSERT_TRUE(decoded.contents);
    EXPECT_EQ(decoded.contents->greetingSource, "");
    EXPECT_EQ(decoded.contents->converted, (std::vector<ConvertedEntry>{{"short", 1}}));
    // 1,023 bytes, the longest a narrow string holds, are written and read back.
    settings.SetGreetingSource(std::string(1023, 'g'));
    settings.SetConverted(std::string(1023, 'c'), 2);
    ASSERT_TRUE(store.SaveSettingFile());
    const SettingFileDecoded longest = DecodeSettingFile(test::ReadFileBytes(FileOf("alice")));
    ASSERT_TRUE(longest.contents);
    EXPECT_EQ(longest.contents->greetingSource, std::string(1023, 'g'));
    const auto& converted = longest.contents->converted;
    EXPECT_NE(
        std::find(converted.begin(), converted.end(), ConvertedEntry{std::string(1023, 'c'), 2}),
        converted.end());
}

// A setting file of 16 MiB (later blocks this reader skips make it up) is read; one byte
// more is damage, kept aside unread.
TEST_F(SettingFileStoreTest, TheLargestFileReadIsSixteenMebibytes) {
    SettingFileContents c;
    c.greetingSource = "g16";
    const std::string good = EncodeSettingFile(c);
    const std::string largest = good + std::string(16777216 - good.size(), 'z');
    test::WriteFileBytes(FileOf("alice"), largest);
    {
        platform::TraceCapture trace;
        store.LoadSettingFile();
        EXPECT_FALSE(trace.Contains("damaged")) << trace.Text();
        EXPECT_EQ(settings.GreetingSource(), "g16");
    }
    test::WriteFileBytes(FileOf("alice"), largest + "z");
    platform::TraceCapture trace;
    store.LoadSettingFile();
    EXPECT_TRUE(trace.Contains("Setting file: " + FileOf("alice").string() +
                               " is damaged, 16777217 bytes, more than the 16777216 allowed\n"))
        << trace.Text();
    EXPECT_FALSE(std::filesystem::exists(FileOf("alice")));
    EXPECT_EQ(std::filesystem::file_size(data / "alice" / "Setting.bad-1"), 16777217u);
}

TEST_F(SettingFileStoreTest, RemovingAToneDeletesItsFileAndSaves) {
    const auto toneFile = data / "alice" / "RingTone" / "t.wav";
    std::filesystem::create_directories(toneFile.parent_path());
    test::WriteFileBytes(toneFile, "RIFF");
    const int32_t id = *store.AddCatalogueTone(u"t", toneFile.u16string());
    settings.SetConverted("t.mp3", id);
    EXPECT_TRUE(store.RemoveCatalogueTone(id));
    EXPECT_FALSE(std::filesystem::exists(toneFile));
    const SettingFileDecoded decoded = DecodeSettingFile(test::ReadFileBytes(FileOf("alice")));
    ASSERT_TRUE(decoded.contents);
    EXPECT_EQ(decoded.contents->catalogue.size(), 1u);
    EXPECT_TRUE(decoded.contents->converted.empty());

    // Neither the default tone nor files outside the data folder are ever deleted.
    EXPECT_FALSE(store.RemoveCatalogueTone(-1));
    test::TempDir elsewhere;
    test::WriteFileBytes(elsewhere / "stock.wav", "RIFF");
    const int32_t foreign = *store.AddCatalogueTone(
        u"s",
        (data / "alice" / ".." / ".." / elsewhere.path().filename() / "stock.wav").u16string());
    EXPECT_TRUE(store.RemoveCatalogueTone(foreign));
    EXPECT_TRUE(std::filesystem::exists(elsewhere / "stock.wav"));
}

// Changes put back together reach the file together: saves asked for under a hold (nested
// too) wait for its end, which saves once; without any, the end saves nothing.
TEST_F(SettingFileStoreTest, SavesUnderAHoldWaitForItsEnd) {
    const int32_t id = *store.AddCatalogueTone(u"t", (data / "alice" / "t.wav").u16string());
    const std::string before = test::ReadFileBytes(FileOf("alice"));
    const int savesBefore = missedCallSaves;
    {
        SettingFileStore::SaveHold hold(store);
        {
            SettingFileStore::SaveHold inner(store);
            settings.SetVoiceMailOn(!settings.VoiceMailOn());
            EXPECT_TRUE(store.RemoveCatalogueTone(id));
        }
        EXPECT_EQ(test::ReadFileBytes(FileOf("alice")), before);
        settings.SetUseDefaultGreeting(!settings.UseDefaultGreeting());
        EXPECT_TRUE(store.SaveSettingFile());
        EXPECT_EQ(test::ReadFileBytes(FileOf("alice")), before);
        EXPECT_EQ(missedCallSaves, savesBefore);
    }
    EXPECT_EQ(missedCallSaves, savesBefore + 1);
    const auto decoded = DecodeSettingFile(test::ReadFileBytes(FileOf("alice")));
    ASSERT_TRUE(decoded.contents);
    EXPECT_EQ(*decoded.contents, settings.Snapshot(shared.CurrentLanguage));
    { SettingFileStore::SaveHold idle(store); }
    EXPECT_EQ(missedCallSaves, savesBefore + 1);
}

TEST_F(SettingFileStoreTest, NoHandleMeansNoFile) {
    shared.MyHandle.Set("..");
    EXPECT_EQ(store.SettingFilePath(), std::nullopt);
    EXPECT_FALSE(store.SaveSettingFile());
    store.LoadSettingFile();
    EXPECT_EQ(options.calls, "AutoStart(on) AutoUpdate(on) FriendMsg(on) ");
}

// The downloader adds tones (and saves) while the user interface saves and call handlers
// read; every file on disk must stay whole.
TEST_F(SettingFileStoreTest, ConcurrentSavesAlwaysLeaveAWholeFile) {
    std::thread downloader([&] {
        for (int i = 0; i < 40; ++i) {
            store.AddCatalogueTone(u"p" + std::u16string(1, char16_t(u'a' + i % 26)), u"/q");
        }
    });
    std::thread caller([&] {
        for (int i = 0; i < 200; ++i) {
            if (auto tone = settings.FindTone(i % 40)) {
                ASSERT_EQ(tone->path, u"/q");
            }
        }
    });
    for (int i = 0; i < 40; ++i) {
        settings.SetRingBack("c" + std::to_string(i), {i, i, i});
        store.SaveSettingFile();
        ASSERT_TRUE(DecodeSettingFile(test::ReadFileBytes(FileOf("alice"))).contents);
    }
    downloader.join();
    caller.join();
    store.SaveSettingFile();
    const SettingFileDecoded last = DecodeSettingFile(test::ReadFileBytes(FileOf("alice")));
    ASSERT_TRUE(last.contents);
    EXPECT_EQ(last.contents->catalogue.size(), 41u);
    EXPECT_EQ(last.contents->ringBacks.size(), 40u);
}

// Every choice of the setting file, each of its sides saved and read back over the other
// side in memory (so that a side the reader skips shows, even the default one), and the
// first side again after the second.
TEST_F(SettingFileStoreTest, EveryChoiceReadsBackEachSideAndTheFirstAgain) {
    using Greeting = std::optional<GreetingChoice>;
    const Greeting none, standard = GreetingChoice{GreetingKind::Standard, ""},
                         own = GreetingChoice{GreetingKind::Own, ""},
                         file = GreetingChoice{GreetingKind::File, "busy.wav"};
    struct Choice {
        const char* name;
        int sides;
        std::function<void(int)> set;  // puts side n into memory
        std::function<int()> side;     // which side memory holds; -1: none of them
    };
    const auto sideOf = [](const auto& value, const auto& sides) {
        for (size_t i = 0; i < sides.size(); ++i) {
            if (sides[i] == value) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    const std::vector<int32_t> tones{0, 1, 2}, languages{0, 1, 14}, modes{1, 2, 3, 4};
    const std::vector<VoiceMailLimits> limits{
        {},
        {VoiceMailLimits::kSilenceLow, VoiceMailLimits::kMinVoiceLow, VoiceMailLimits::kLengthLow},
        {VoiceMailLimits::kSilenceHigh, VoiceMailLimits::kMinVoiceHigh,
         VoiceMailLimits::kLengthHigh}};
    const std::vector<Greeting> busy{none, standard, own, file};
    const std::vector<GreetingChoice> contact{*own, *file, GreetingChoice{}};
    const std::vector<Choice> choices{
        {"voice mail", 2, [&](int n) { settings.SetVoiceMailOn(n == 0); },
         [&] { return settings.VoiceMailOn() ? 0 : 1; }},
        {"default greeting", 2, [&](int n) { settings.SetUseDefaultGreeting(n == 0); },
         [&] { return settings.UseDefaultGreeting() ? 0 : 1; }},
        {"default ring tone", 2, [&](int n) { settings.SetUseDefaultRingTone(n == 0); },
         [&] { return settings.UseDefaultRingTone() ? 0 : 1; }},
        {"standard tone", 3, [&](int n) { settings.SetStandardTone(tones[n]); },
         [&] { return sideOf(settings.StandardTone(), tones); }},
        {"language", 3, [&](int n) { shared.CurrentLanguage = languages[n]; },
         [&] { return sideOf(shared.CurrentLanguage.load(), languages); }},
        {"voice mail limits", 3, [&](int n) { settings.SetVoiceMailLimits(limits[n]); },
         [&] { return sideOf(settings.VoiceMailLimits(), limits); }},
        {"busy greeting", 4, [&](int n) { settings.SetBusyGreeting(busy[n]); },
         [&] { return sideOf(settings.BusyGreeting(), busy); }},
        {"contact greeting", 3, [&](int n) { settings.SetGreeting("bob", contact[n]); },
         [&] { return sideOf(settings.FindGreeting("bob"), contact); }},
        {"ring-back mode", 4,
         [&](int n) {
             settings.SetRingBack("bob", {modes[n], -1, -1});
         },
         [&] {
             const auto entry = settings.FindRingBack("bob");
             return entry ? sideOf(entry->mode, modes) : -1;
         }},
    };
    for (const Choice& choice : choices) {
        std::vector<int> order;  // every side, then the first again
        for (int n = 0; n < choice.sides; ++n) {
            order.push_back(n);
        }
        order.push_back(0);
        for (int n : order) {
            SCOPED_TRACE(std::string(choice.name) + ", side " + std::to_string(n));
            choice.set(n);
            ASSERT_TRUE(store.SaveSettingFile());
            choice.set((n + 1) % choice.sides);  // the other side in memory
            store.LoadSettingFile();
            EXPECT_EQ(choice.side(), n);
        }
    }
}

}  // namespace
}  // namespace velto::core
