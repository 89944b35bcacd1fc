#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/SettingFileCodec.h"
#include "core/SettingFileStore.h"
#include "i18n/LanguageTable.h"
#include "support/TempDir.h"
#include "ui/model/GeneralOptions.h"
#include "ui/model/OptionRowText.h"
#include "ui/model/OwnSoundOptions.h"
#include "ui/model/RingToneChoice.h"
#include "ui/model/StandardToneOptions.h"
#include "ui/model/ToneFiles.h"

namespace velto::ui {
namespace {

namespace fs = std::filesystem;

class RecordingOptions final : public core::RegistryOptions {
  public:
    explicit RecordingOptions(core::SharedState& state) : state_(state) {}
    void SetAutoStart(bool on) override { state_.AutoStartEnabled = on; }
    void SetAutoUpdate(bool on) override { state_.AutoUpdateEnabled = on; }
    void SetFriendMsg(bool on) override { state_.FriendMsgEnabled = on; }

  private:
    core::SharedState& state_;
};

class ToneChoicesTest : public ::testing::Test {
  protected:
    ToneChoicesTest() {
        shared.UserDataDir.Set(data.path().string());
        shared.MyHandle.Set("me");
        fs::create_directories(data / "me" / "RingTone");
    }

    // What a finished conversion leaves behind: a tone file and its catalogue item.
    int32_t Converted(const std::string& name) {
        const fs::path file = data / "me" / "RingTone" / (name + ".wav");
        test::WriteFileBytes(file, "RIFF" + name);
        return *store.AddCatalogueTone(std::u16string(name.begin(), name.end()), file.u16string());
    }
    size_t ToneFiles() const {
        size_t count = 0;
        for ([[maybe_unused]] const auto& entry :
             fs::directory_iterator(data / "me" / "RingTone")) {
            ++count;
        }
        return count;
    }
    ToneContext Context() {
        return {settings, store, [this] { return partnerTones; }};
    }
    fs::path OwnFolder() const { return data / "me"; }

    test::TempDir data;
    core::SharedState shared;
    core::UserSettings settings{"/opt/velto"};
    RecordingOptions options{shared};
    core::SettingFileStore store{shared, settings, options};
    std::vector<partner::PartnerTone> partnerTones;
};

TEST_F(ToneChoicesTest, OwnTonePickedAndConfirmedReplacesTheOldOne) {
    const int32_t first = Converted("first");  // the catalogue's first own tone: id 0
    ASSERT_EQ(first, 0);
    settings.SetRingBack("bob", {3, first, -1});
    {
        RingToneChoice choice(Context(), "bob", 0);
        EXPECT_EQ(choice.ticked(), choice.OwnRow());
        EXPECT_EQ(choice.rows()[choice.OwnRow()].label, u"first");
        choice.StartPick();
        choice.Picked(Converted("second"));
        choice.Ok();
    }
    const core::RingBackChoice entry = *settings.FindRingBack("bob");
    EXPECT_EQ(entry.mode, 3);
    EXPECT_EQ(settings.FindTone(entry.firstId)->title, u"second");
    // The replaced tone, though its id is 0, leaves the catalogue and the disk.
    EXPECT_FALSE(settings.FindTone(first));
    EXPECT_EQ(ToneFiles(), 1u);
    EXPECT_TRUE(fs::exists(*store.SettingFilePath()));
}

TEST_F(ToneChoicesTest, ToneAnotherContactHearsIsKept) {
    const int32_t shared_tone = Converted("shared");
    settings.SetRingBack("bob", {3, shared_tone, -1});
    settings.SetRingBack("carol", {3, shared_tone, -1});
    RingToneChoice choice(Context(), "bob", 0);
    choice.StartPick();
    choice.Picked(Converted("mine"));
    choice.Ok();
    EXPECT_TRUE(settings.FindTone(shared_tone));
}

TEST_F(ToneChoicesTest, CancelAfterTwoPicksLeavesNothing) {
    {
        RingToneChoice choice(Context(), "bob", 0);
        EXPECT_EQ(choice.Tick(choice.OwnRow()), RingToneChoice::TickResult::PickFile);
        choice.Picked(Converted("one"));
        choice.StartPick();
        choice.Picked(Converted("two"));
        EXPECT_EQ(ToneFiles(), 1u);  // the first pick went when the second came
        choice.Cancel();
    }
    EXPECT_EQ(settings.Catalogue().size(), 1u);  // the default tone only
    EXPECT_EQ(ToneFiles(), 0u);
    EXPECT_EQ(settings.FindRingBack("bob")->mode, 2);

    for (auto sound : {OwnSoundOptions::Sound::RingTone, OwnSoundOptions::Sound::Greeting}) {
        OwnSoundOptions page(sound, Context(), OwnFolder(), "/opt/velto");
        page.Picked(Converted("a"), u"a.mp3");
        page.Picked(Converted("b"), u"b.mp3");
        EXPECT_FALSE(page.UseDefault());
        page.Revert();
        EXPECT_TRUE(page.UseDefault());
        EXPECT_EQ(page.Title(), u"");
    }
    {
        StandardToneOptions page(Context(), OwnFolder(), "/opt/velto");
        page.Picked(Converted("a"), u"a.mp3");
        page.Picked(Converted("b"), u"b.mp3");
        EXPECT_EQ(page.Setting(), 1);
        page.Revert();
        EXPECT_EQ(page.Setting(), 0);
        EXPECT_EQ(page.OwnTitle(), u"");
    }
    EXPECT_EQ(settings.Catalogue().size(), 1u);
    EXPECT_EQ(ToneFiles(), 0u);
    EXPECT_FALSE(fs::exists(OwnFolder() / kOwnRingToneFile));
    EXPECT_FALSE(fs::exists(OwnFolder() / kOwnGreetingFile));
    EXPECT_FALSE(fs::exists(OwnFolder() / kOwnRingBackFile));
}

TEST_F(ToneChoicesTest, OkCopiesThePickOverTheOwnFileAndDropsTheItem) {
    test::WriteFileBytes(OwnFolder() / kOwnRingToneFile, "old");
    OwnSoundOptions page(OwnSoundOptions::Sound::RingTone, Context(), OwnFolder(), "/opt/velto");
    page.Picked(Converted("new"), u"new.mp3");
    EXPECT_EQ(page.OwnFile(), data / "me" / "RingTone" / "new.wav");  // play hears the pick
    page.Apply();
    EXPECT_EQ(test::ReadFileBytes(OwnFolder() / kOwnRingToneFile), "RIFFnew");
    EXPECT_EQ(settings.RingToneSource(), "new.mp3");
    EXPECT_FALSE(settings.UseDefaultRingTone());
    EXPECT_EQ(settings.Catalogue().size(), 1u);
    EXPECT_EQ(ToneFiles(), 0u);
    EXPECT_EQ(page.OwnFile(), OwnFolder() / kOwnRingToneFile);
}

// A greeting recorded into the own file replaces a pick not yet applied (OK must not copy
// the pick over the recording); Cancel gives back the old choice of greeting, but the title
// stays the recording's, since the file is the recording now.
TEST_F(ToneChoicesTest, ARecordedGreetingReplacesThePickAndKeepsItsTitleOnCancel) {
    test::WriteFileBytes(OwnFolder() / kOwnGreetingFile, "recorded");
    for (bool ok : {true, false}) {
        settings.SetUseDefaultGreeting(true);
        settings.SetGreetingSource("old.mp3");
        OwnSoundOptions page(OwnSoundOptions::Sound::Greeting, Context(), OwnFolder(),
                             "/opt/velto");
        page.Picked(Converted("pick"), u"pick.mp3");
        page.Recorded(u"AnswerMachine.wav");
        EXPECT_FALSE(page.UseDefault());
        EXPECT_EQ(page.Title(), u"AnswerMachine.wav");
        EXPECT_EQ(page.OwnFile(), OwnFolder() / kOwnGreetingFile);
        EXPECT_EQ(ToneFiles(), 0u);  // the pick's file went with it
        if (ok) {
            page.Apply();
            EXPECT_FALSE(settings.UseDefaultGreeting());
        } else {
            page.Revert();
            EXPECT_TRUE(settings.UseDefaultGreeting());
        }
        EXPECT_EQ(settings.GreetingSource(), "AnswerMachine.wav");
        EXPECT_EQ(test::ReadFileBytes(OwnFolder() / kOwnGreetingFile), "recorded");
    }
    EXPECT_EQ(settings.Catalogue().size(), 1u);
}

TEST_F(ToneChoicesTest, GreetingFollowsTheLanguage) {
    OwnSoundOptions page(OwnSoundOptions::Sound::Greeting, Context(), OwnFolder(), "/opt/velto");
    EXPECT_EQ(page.DefaultFile(0), fs::path("/opt/velto/DefaultAM_Ch.wav"));
    EXPECT_EQ(page.DefaultFile(1), fs::path("/opt/velto/DefaultAM_Ch.wav"));
    EXPECT_EQ(page.DefaultFile(2), fs::path("/opt/velto/DefaultAM_Eng.wav"));
    EXPECT_EQ(page.DefaultFile(14), fs::path("/opt/velto/DefaultAM_Eng.wav"));
    page.ToggleVoiceMail();
    EXPECT_FALSE(settings.VoiceMailOn());
    page.Revert();
    EXPECT_TRUE(settings.VoiceMailOn());
}

TEST_F(ToneChoicesTest, StartUpSwitchIsPutBackOnCancel) {
    shared.AutoStartEnabled = true;
    shared.CurrentLanguage = 2;
    int engineStarts = 0;
    GeneralOptions page({shared, options,
                         [this](int32_t l) { return shared.CurrentLanguage = l, true; },
                         [&] { ++engineStarts; }});
    page.ToggleAutoStart();
    page.ToggleFriendMsg();
    EXPECT_FALSE(shared.AutoStartEnabled);
    page.Revert();
    EXPECT_TRUE(shared.AutoStartEnabled);
    EXPECT_FALSE(shared.FriendMsgEnabled);

    GeneralOptions again({shared, options,
                          [this](int32_t l) { return shared.CurrentLanguage = l, true; },
                          [&] { ++engineStarts; }});
    again.ChooseLanguage(1);
    again.Apply();
    EXPECT_EQ(engineStarts, 1);
    GeneralOptions inOne({shared, options,
                          [this](int32_t l) { return shared.CurrentLanguage = l, true; },
                          [&] { ++engineStarts; }});
    inOne.Apply();  // already 1 when opened: no new run
    EXPECT_EQ(engineStarts, 1);
}

TEST_F(ToneChoicesTest, PartnerRowsAndTheirStart) {
    partner::PartnerTone done;
    done.key = "k1";
    done.localPath = "/q/k1.wav";
    done.title = "Sun";
    done.downloaded = true;
    done.catalogueItem = 4;
    partner::PartnerTone loading;
    loading.key = "k2";
    loading.title = "Rain";
    loading.progress = 0.25;
    loading.downloading = true;
    partnerTones = {done, loading};
    settings.SetRingBack("bob", {4, -1, 4});
    RingToneChoice choice(Context(), "bob", 2);
    ASSERT_EQ(choice.rows().size(), 5u);
    EXPECT_EQ(choice.rows()[2].kind, ChoiceKind::Logo);
    EXPECT_EQ(choice.ticked(), 3);
    EXPECT_FALSE(choice.rows()[4].enabled);
    EXPECT_EQ(choice.Tick(4), RingToneChoice::TickResult::Ignored);
    EXPECT_TRUE(choice.AnyDownloading());

    partnerTones[1].downloaded = true;
    partnerTones[1].progress = 1.0;
    partnerTones[1].catalogueItem = 5;
    EXPECT_TRUE(choice.RefreshPartnerRows());
    EXPECT_FALSE(choice.RefreshPartnerRows());
    EXPECT_EQ(choice.Tick(4), RingToneChoice::TickResult::Ticked);
    choice.Ok();
    EXPECT_EQ(*settings.FindRingBack("bob"), (core::RingBackChoice{4, -1, 5}));
}

// Each play button plays what the contact would hear with that row ticked.
TEST_F(ToneChoicesTest, PlayButtonsPlayTheRowsTones) {
    partner::PartnerTone done;
    done.key = "k1";
    done.localPath = "/q/k1.wav";
    done.downloaded = true;
    done.catalogueItem = 4;
    partner::PartnerTone loading;
    loading.key = "k2";
    loading.localPath = "/q/k2.wav";
    loading.downloading = true;
    partnerTones = {done, loading};
    const calls::ToneFolders folders{"/opt/velto", OwnFolder()};
    RingToneChoice choice(Context(), "bob", 2);
    ASSERT_EQ(choice.rows().size(), 5u);
    EXPECT_EQ(choice.PlayFile(0, folders), fs::path("/opt/velto/default.wav"));
    EXPECT_FALSE(choice.PlayFile(choice.OwnRow(), folders));  // no own tone yet
    EXPECT_FALSE(choice.PlayFile(2, folders));                // the logo
    EXPECT_EQ(choice.PlayFile(3, folders), fs::path("/q/k1.wav"));
    EXPECT_FALSE(choice.PlayFile(4, folders));  // still downloading
    EXPECT_FALSE(choice.PlayFile(5, folders));

    partnerTones[1].downloaded = true;
    choice.RefreshPartnerRows();
    EXPECT_EQ(choice.PlayFile(4, folders), fs::path("/q/k2.wav"));
    choice.StartPick();
    choice.Picked(Converted("mine"));
    EXPECT_EQ(choice.PlayFile(choice.OwnRow(), folders), data / "me" / "RingTone" / "mine.wav");

    // The standard row follows the standard-tone setting, as a call would.
    settings.ChoosePartnerTone(u"k2");
    EXPECT_EQ(choice.PlayFile(0, folders), fs::path("/q/k2.wav"));
    settings.SetPartnerToneKey(u"gone");
    EXPECT_EQ(choice.PlayFile(0, folders), fs::path("/opt/velto/default.wav"));
    settings.SetOwnToneSource(u"std.mp3");
    EXPECT_EQ(choice.PlayFile(0, folders), OwnFolder() / kOwnRingBackFile);
}

TEST_F(ToneChoicesTest, OnlyChoiceRowsGiveAMode) {
    EXPECT_EQ(ModeOfKind(ChoiceKind::Ad), 1);
    EXPECT_EQ(ModeOfKind(ChoiceKind::Standard), 2);
    EXPECT_EQ(ModeOfKind(ChoiceKind::Own), 3);
    EXPECT_EQ(ModeOfKind(ChoiceKind::Partner), 4);
    for (ChoiceKind kind : {ChoiceKind::Logo, ChoiceKind::Slogan, static_cast<ChoiceKind>(9),
                            static_cast<ChoiceKind>(-1)}) {
        EXPECT_FALSE(ModeOfKind(kind)) << static_cast<int>(kind);
    }
}

TEST_F(ToneChoicesTest, SloganRowOnlyInLanguageOneWithoutPartnerTones) {
    RingToneChoice chinese(Context(), "bob", 1);
    ASSERT_EQ(chinese.rows().size(), 4u);
    EXPECT_EQ(chinese.rows()[3].kind, ChoiceKind::Slogan);
    EXPECT_EQ(chinese.rows()[3].label, i18n::GetText(i18n::TXT_PARTNER_SLOGAN, 1));
    EXPECT_EQ(chinese.Tick(3), RingToneChoice::TickResult::OpenPartnerPage);
    EXPECT_EQ(chinese.ticked(), 0);
    RingToneChoice english(Context(), "bob", 2);
    EXPECT_EQ(english.rows().size(), 2u);
    // A pick that is cancelled ticks the row before it again.
    EXPECT_EQ(english.Tick(english.OwnRow()), RingToneChoice::TickResult::PickFile);
    english.PickCancelled();
    EXPECT_EQ(english.ticked(), 0);
}

// The options dialog and a contact's dialog open at once: neither writes the other's change
// back from a stale copy.
TEST_F(ToneChoicesTest, TwoWindowsDoNotLoseEachOthersChanges) {
    settings.SetRingBack("bob", {4, -1, 9});
    RingToneChoice choice(Context(), "bob", 2);
    StandardToneOptions page(Context(), OwnFolder(), "/opt/velto");
    page.Picked(Converted("std"), u"std.mp3");
    settings.UpdateRingBack("bob", [](core::RingBackChoice& e) { e.secondId = 11; });
    choice.StartPick();
    choice.Picked(Converted("own"));
    choice.Ok();
    page.Apply();
    const core::RingBackChoice entry = *settings.FindRingBack("bob");
    EXPECT_EQ(entry.mode, 3);
    EXPECT_EQ(entry.secondId, 11);
    EXPECT_EQ(settings.StandardTone(), 1);
    EXPECT_EQ(settings.OwnToneTitle(), u"std");
}

TEST_F(ToneChoicesTest, OptionRowNamesTheToneByMode) {
    EXPECT_FALSE(settings.FindRingBack("new"));
    OptionRowText text = MakeOptionRowText(Context(), "new", 0);
    EXPECT_EQ(*settings.FindRingBack("new"), (core::RingBackChoice{2, -1, -1}));
    EXPECT_EQ(text.link, i18n::GetText(i18n::TXT_STANDARD_RINGBACK, 0));
    EXPECT_EQ(text.tooltip, i18n::GetText(i18n::TXT_SYSTEM_DEFAULT, 0));
    settings.SetOwnToneTitle(u"Mine");
    settings.SetStandardTone(1);
    EXPECT_EQ(MakeOptionRowText(Context(), "new", 2).tooltip, u"Mine");
    settings.SetRingBack("ad", {1, -1, -1});
    EXPECT_EQ(MakeOptionRowText(Context(), "ad", 2).link, u"AD(no translation)");
    settings.SetRingBack("own", {3, Converted("Tune"), -1});
    EXPECT_EQ(MakeOptionRowText(Context(), "own", 2).link, u"Tune");
}

// Every switch of the General page from either side: a click changes only its own switch
// at once, a second click puts it back, OK keeps the side it shows and Cancel gives back
// the side the page opened with, whichever that was.
TEST_F(ToneChoicesTest, EachGeneralSwitchFromEitherSideClickOkAndCancel) {
    struct Switch {
        const char* name;
        void (GeneralOptions::*toggle)();
        std::atomic<bool> core::SharedState::*flag;
    };
    const Switch switches[] = {
        {"start at login", &GeneralOptions::ToggleAutoStart, &core::SharedState::AutoStartEnabled},
        {"tone message", &GeneralOptions::ToggleFriendMsg, &core::SharedState::FriendMsgEnabled},
        {"auto update", &GeneralOptions::ToggleAutoUpdate, &core::SharedState::AutoUpdateEnabled},
    };
    for (const Switch& changed : switches) {
        for (bool opened : {false, true}) {
            for (bool ok : {false, true}) {
                SCOPED_TRACE(std::string(changed.name) + (opened ? ", opened on" : ", opened off") +
                             (ok ? ", OK" : ", Cancel"));
                for (const Switch& each : switches) {
                    shared.*each.flag = !opened;  // the others on the other side
                }
                shared.*changed.flag = opened;
                GeneralOptions page({shared, options, {}, {}});
                (page.*changed.toggle)();
                EXPECT_EQ(shared.*changed.flag, !opened);
                (page.*changed.toggle)();
                EXPECT_EQ(shared.*changed.flag, opened);
                (page.*changed.toggle)();
                ok ? page.Apply() : page.Revert();
                EXPECT_EQ(shared.*changed.flag, ok ? !opened : opened);
                for (const Switch& other : switches) {
                    if (&other != &changed) {
                        EXPECT_EQ(shared.*other.flag, !opened) << other.name;
                    }
                }
            }
        }
    }
}

// The ring tone and voice mail pages' choices from either side: the stock sound or the
// own one, and voice mail on or off; OK keeps what was chosen, Cancel the opening side.
TEST_F(ToneChoicesTest, EachSoundPageChoiceFromEitherSideOkAndCancel) {
    using Sound = OwnSoundOptions::Sound;
    settings.SetRingToneSource("ring.mp3");
    settings.SetGreetingSource("hello.mp3");
    for (Sound sound : {Sound::RingTone, Sound::Greeting}) {
        const auto useDefault = [&] {
            return sound == Sound::RingTone ? settings.UseDefaultRingTone()
                                            : settings.UseDefaultGreeting();
        };
        for (bool opened : {false, true}) {
            for (bool ok : {false, true}) {
                SCOPED_TRACE(std::string(sound == Sound::RingTone ? "ring tone" : "greeting") +
                             (opened ? ", opened on" : ", opened off") +
                             (ok ? ", OK" : ", Cancel"));
                settings.SetUseDefaultRingTone(opened);
                settings.SetUseDefaultGreeting(opened);
                settings.SetVoiceMailOn(opened);
                {
                    OwnSoundOptions page(sound, Context(), OwnFolder(), "/opt/velto");
                    page.SetUseDefault(!opened);
                    EXPECT_EQ(useDefault(), !opened);
                    EXPECT_EQ(page.UseDefault(), !opened);
                    page.SetUseDefault(opened);
                    EXPECT_EQ(useDefault(), opened);
                    page.SetUseDefault(!opened);
                    if (sound == Sound::Greeting) {
                        page.ToggleVoiceMail();
                        EXPECT_EQ(settings.VoiceMailOn(), !opened);
                        page.ToggleVoiceMail();
                        EXPECT_EQ(settings.VoiceMailOn(), opened);
                        page.ToggleVoiceMail();
                    }
                    ok ? page.Apply() : page.Revert();
                }
                EXPECT_EQ(useDefault(), ok ? !opened : opened);
                // Only the voice mail page has the switch; the ring tone page leaves it.
                EXPECT_EQ(settings.VoiceMailOn(),
                          sound == Sound::Greeting && ok ? !opened : opened);
                // The other page's choice is not touched.
                EXPECT_EQ(sound == Sound::RingTone ? settings.UseDefaultGreeting()
                                                   : settings.UseDefaultRingTone(),
                          opened);
                EXPECT_EQ(settings.RingToneSource(), "ring.mp3");
                EXPECT_EQ(settings.GreetingSource(), "hello.mp3");
            }
        }
    }
}

// The standard tone page's three choices, from each of them to each other: OK keeps the
// new one, Cancel the one the page opened with (with its partner key).
TEST_F(ToneChoicesTest, EachStandardToneChoiceFromEachOtherOkAndCancel) {
    partner::PartnerTone first, second;
    first.key = "k1";
    first.downloaded = true;
    second.key = "k2";
    second.downloaded = true;
    partnerTones = {first, second};
    settings.SetOwnToneTitle(u"Mine");
    settings.SetOwnToneSource(u"mine.mp3");
    const std::function<void(StandardToneOptions&)> choose[] = {
        [](StandardToneOptions& page) { page.ChooseDefault(); },
        [](StandardToneOptions& page) { page.ChooseOwn(); },
        [](StandardToneOptions& page) {
            page.SelectPartner(1);
            page.ChoosePartner();
        },
    };
    for (int32_t opened = 0; opened < 3; ++opened) {
        for (int32_t chosen = 0; chosen < 3; ++chosen) {
            for (bool ok : {false, true}) {
                SCOPED_TRACE("opened " + std::to_string(opened) + ", chose " +
                             std::to_string(chosen) + (ok ? ", OK" : ", Cancel"));
                settings.SetStandardTone(opened);
                settings.SetPartnerToneKey(u"k1");
                {
                    StandardToneOptions page(Context(), OwnFolder(), "/opt/velto");
                    choose[chosen](page);
                    EXPECT_EQ(settings.StandardTone(), chosen);
                    ok ? page.Apply() : page.Revert();
                }
                const int32_t kept = ok ? chosen : opened;
                EXPECT_EQ(settings.StandardTone(), kept);
                EXPECT_EQ(settings.PartnerToneKey(), ok && chosen == 2 ? u"k2" : u"k1");
                EXPECT_EQ(settings.OwnToneTitle(), u"Mine");
            }
        }
    }
}

// A contact's ring-back choice from each of standard, own and partner tone to each other:
// OK keeps the row ticked (in the setting file too), Cancel the mode the dialog opened
// with; neither loses the contact's own tone or partner tone for a later change back.
TEST_F(ToneChoicesTest, EachRingBackRowFromEachOtherOkAndCancel) {
    const int32_t own = Converted("own");
    partner::PartnerTone tone;
    tone.key = "k1";
    tone.localPath = "/q/k1.wav";
    tone.downloaded = true;
    tone.catalogueItem = 7;
    partnerTones = {tone};
    const int32_t modes[] = {2, 3, 4};
    for (int32_t opened : modes) {
        for (int32_t chosen : modes) {
            for (bool ok : {false, true}) {
                SCOPED_TRACE("mode " + std::to_string(opened) + " to " + std::to_string(chosen) +
                             (ok ? ", OK" : ", Cancel"));
                settings.SetRingBack("bob", {opened, own, 7});
                ASSERT_TRUE(store.SaveSettingFile());
                const std::string before = test::ReadFileBytes(*store.SettingFilePath());
                {
                    RingToneChoice choice(Context(), "bob", 2);
                    ASSERT_EQ(choice.rows().size(), 4u);  // standard, own, logo, partner
                    const int rowOf[] = {0, choice.OwnRow(), 3};
                    EXPECT_EQ(choice.ticked(), rowOf[opened - 2]);
                    EXPECT_EQ(choice.Tick(rowOf[chosen - 2]), RingToneChoice::TickResult::Ticked);
                    ok ? static_cast<void>(choice.Ok()) : choice.Cancel();
                }
                const int32_t kept = ok ? chosen : opened;
                EXPECT_EQ(*settings.FindRingBack("bob"), (core::RingBackChoice{kept, own, 7}));
                const auto saved =
                    core::DecodeSettingFile(test::ReadFileBytes(*store.SettingFilePath()));
                ASSERT_TRUE(saved.contents);
                ASSERT_EQ(saved.contents->ringBacks.size(), 1u);
                EXPECT_EQ(saved.contents->ringBacks[0].choice.mode, kept);
                if (!ok) {
                    EXPECT_EQ(test::ReadFileBytes(*store.SettingFilePath()), before);
                }
                EXPECT_TRUE(settings.FindTone(own));
            }
        }
    }
}

}  // namespace
}  // namespace velto::ui
