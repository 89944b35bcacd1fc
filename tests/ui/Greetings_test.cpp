// The greeting choices of the windows: a contact's in the ring-back dialog, the busy one on
// the voice-mail page; what OK keeps, in the settings and in the setting file.
#include <QComboBox>
#include <QPointer>
#include <QRadioButton>
#include <algorithm>
#include <fstream>

#include "UiFixture.h"
#include "backends/sim/SimWav.h"
#include "core/SettingFileCodec.h"
#include "i18n/Languages.h"
#include "ui/OptionDialog.h"
#include "ui/OwnSoundPanel.h"
#include "ui/SingleRingToneDialog.h"

namespace velto::ui::test {
namespace {

namespace fs = std::filesystem;
using core::GreetingChoice;
using core::GreetingKind;
using Option = GreetingDraft::Option;

void WriteTone(const fs::path& path, int ms) {
    skype::sim::WavWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open(path, &error)) << error;
    std::vector<int16_t> samples(static_cast<size_t>(ms) * 16, 300);
    ASSERT_TRUE(writer.Append(samples.data(), samples.size()));
    ASSERT_TRUE(writer.Finish());
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class GreetingsTest : public UiFixture {
  protected:
    void Start() {
        world_->AddContact({"alice", "Alice Archer", "Alice", skype::OnlineStatus::Online});
        StartApp();
        ASSERT_TRUE(RunUntil([&] { return app_->state().SkypeAttached.load(); }));
    }
    fs::path Own() { return *app_->settingFile().UserOwnFolder(); }
    // The greetings as the setting file on disk holds them.
    std::optional<core::GreetingTable> Saved() {
        const auto decoded = core::DecodeSettingFile(Bytes(Own() / "Setting"));
        EXPECT_TRUE(decoded.contents) << decoded.error.ToString();
        return decoded.contents ? decoded.contents->greetings : std::nullopt;
    }
    // A pick from the list, as the user makes it.
    static void ChooseIn(GreetingPicker& picker, Option option) {
        QComboBox* combo = picker.combo();
        const int index = combo->findData(static_cast<int>(option));
        ASSERT_GE(index, 0);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static Option Shown(GreetingPicker& picker) {
        return static_cast<Option>(picker.combo()->currentData().toInt());
    }
    bool PickIn(FilePickUpDialog* picker, const fs::path& file) {
        if (picker == nullptr) {
            return false;
        }
        picker->SetPath(QString::fromStdString(file.string()));
        picker->accept();
        QPointer<FilePickUpDialog> watched(picker);
        return RunUntil([&] { return watched.isNull() || !watched->busy(); });
    }
};

TEST_F(GreetingsTest, TheRingBackDialogKeepsTheContactsGreetingOnOkOnly) {
    Start();
    {
        SingleRingToneDialog dialog(*app_, "alice");
        dialog.show();
        GreetingPicker& greeting = *dialog.greeting();
        EXPECT_EQ(Shown(greeting), Option::Standard);
        EXPECT_EQ(greeting.combo()->count(), 3);            // no "none" for a contact
        EXPECT_TRUE(greeting.recordButton()->isVisible());  // the recording window
        ChooseIn(greeting, Option::Own);
        dialog.reject();
    }
    EXPECT_EQ(app_->userSettings().FindGreeting("alice"), GreetingChoice{});
    {
        SingleRingToneDialog dialog(*app_, "alice");
        ChooseIn(*dialog.greeting(), Option::Own);
        dialog.accept();
    }
    const GreetingChoice own{GreetingKind::Own, ""};
    EXPECT_EQ(app_->userSettings().FindGreeting("alice"), own);
    ASSERT_TRUE(Saved());
    EXPECT_EQ(Saved()->contacts, (std::vector<core::ContactGreeting>{{"alice", own}}));

    // A file: the list's file entry without one opens the picker; OK makes the contact's
    // own greeting file of it, and the converted tone leaves the catalogue.
    WriteTone(dir_ / "hello.wav", 400);
    const size_t tones = app_->userSettings().Catalogue().size();
    {
        SingleRingToneDialog dialog(*app_, "alice");
        dialog.show();
        GreetingPicker& greeting = *dialog.greeting();
        ChooseIn(greeting, Option::File);
        EXPECT_EQ(Shown(greeting), Option::Own);  // nothing picked yet
        ASSERT_TRUE(PickIn(greeting.filePicker(), dir_ / "hello.wav"));
        EXPECT_EQ(Shown(greeting), Option::File);
        EXPECT_EQ(greeting.combo()->toolTip(), QStringLiteral("hello.wav"));
        EXPECT_TRUE(greeting.playButton()->isEnabled());
        dialog.accept();
    }
    const GreetingChoice file{GreetingKind::File, "Greeting-alice.wav"};
    EXPECT_EQ(app_->userSettings().FindGreeting("alice"), file);
    EXPECT_EQ(Saved()->contacts, (std::vector<core::ContactGreeting>{{"alice", file}}));
    EXPECT_EQ(skype::sim::WavFileDuration(Own() / "Greeting-alice.wav"), platform::Millis(400));
    EXPECT_EQ(app_->userSettings().Catalogue().size(), tones);

    // Back to the standard greeting: the contact's file goes with the entry.
    {
        SingleRingToneDialog dialog(*app_, "alice");
        EXPECT_EQ(Shown(*dialog.greeting()), Option::File);
        ChooseIn(*dialog.greeting(), Option::Standard);
        dialog.accept();
    }
    EXPECT_FALSE(Saved());
    EXPECT_FALSE(fs::exists(Own() / "Greeting-alice.wav"));
}

// Where the greeting recorder plugs in: once given, "Record..." shows, and what it records
// becomes the contact's greeting on OK.
TEST_F(GreetingsTest, ARecorderPluggedInRecordsTheContactsGreeting) {
    Start();
    SingleRingToneDialog dialog(*app_, "alice");
    dialog.show();
    GreetingPicker& greeting = *dialog.greeting();
    fs::path asked;
    greeting.SetRecorder([&](const fs::path& target, std::function<void()> done) {
        asked = target;
        WriteTone(target, 700);
        done();
    });
    EXPECT_TRUE(greeting.recordButton()->isVisible());
    greeting.recordButton()->click();
    EXPECT_EQ(asked.parent_path(), Own());
    EXPECT_EQ(Shown(greeting), Option::File);
    dialog.accept();
    EXPECT_EQ(app_->userSettings().FindGreeting("alice"),
              (GreetingChoice{GreetingKind::File, "Greeting-alice.wav"}));
    EXPECT_EQ(skype::sim::WavFileDuration(Own() / "Greeting-alice.wav"), platform::Millis(700));
    EXPECT_FALSE(fs::exists(asked));
}

TEST_F(GreetingsTest, TheVoiceMailPageSetsTheBusyGreeting) {
    Start();
    {
        OptionDialog dialog(*app_);
        auto* voice = static_cast<OwnSoundPanel*>(dialog.page(OptionDialog::kVoiceMail));
        GreetingPicker& busy = *voice->busyGreeting();
        EXPECT_EQ(Shown(busy), Option::None);
        EXPECT_FALSE(busy.playButton()->isEnabled());
        ChooseIn(busy, Option::Standard);
        dialog.reject();
    }
    EXPECT_FALSE(app_->userSettings().BusyGreeting());
    {
        OptionDialog dialog(*app_);
        auto* voice = static_cast<OwnSoundPanel*>(dialog.page(OptionDialog::kVoiceMail));
        ChooseIn(*voice->busyGreeting(), Option::Standard);
        dialog.accept();
    }
    const GreetingChoice standard{GreetingKind::Standard, ""};
    EXPECT_EQ(app_->userSettings().BusyGreeting(), standard);
    ASSERT_TRUE(Saved());
    EXPECT_EQ(Saved()->busy, standard);
    {
        // Cancel after a change back to none keeps the greeting chosen before.
        OptionDialog dialog(*app_);
        auto* voice = static_cast<OwnSoundPanel*>(dialog.page(OptionDialog::kVoiceMail));
        ChooseIn(*voice->busyGreeting(), Option::None);
        dialog.reject();
    }
    EXPECT_EQ(app_->userSettings().BusyGreeting(), standard);
    ASSERT_TRUE(Saved());
    EXPECT_EQ(Saved()->busy, standard);
    OptionDialog dialog(*app_);
    auto* voice = static_cast<OwnSoundPanel*>(dialog.page(OptionDialog::kVoiceMail));
    EXPECT_EQ(Shown(*voice->busyGreeting()), Option::Standard);
    ChooseIn(*voice->busyGreeting(), Option::None);
    dialog.accept();
    EXPECT_FALSE(app_->userSettings().BusyGreeting());
    EXPECT_FALSE(Saved());
}

// In every language the greeting's list shows its longest choice whole and the row ends
// inside its window, in the ring-back dialog and on the voice-mail page.
TEST_F(GreetingsTest, TheGreetingRowsFitInEveryLanguage) {
    Start();
    const auto fits = [](GreetingPicker& picker, QWidget& window, int32_t language) {
        EXPECT_GE(picker.combo()->width(), picker.combo()->sizeHint().width()) << language;
        const QPoint right =
            picker.playButton()->mapTo(&window, QPoint(picker.playButton()->width(), 0));
        EXPECT_LE(right.x(), window.width()) << language;
    };
    app_->userSettings().SetGreeting("alice", {GreetingKind::File, "gone.wav"});
    for (int32_t language = 0; language < i18n::kLanguageCount; ++language) {
        app_->state().CurrentLanguage = language;
        // Over the main window, as the contact list opens it (its style sheet comes with).
        SingleRingToneDialog dialog(*app_, "alice", &mainWindow());
        dialog.show();
        OptionDialog options(*app_, OptionDialog::kVoiceMail);
        options.show();
        Settle();
        fits(*dialog.greeting(), dialog, language);
        auto* voice = static_cast<OwnSoundPanel*>(options.page(OptionDialog::kVoiceMail));
        fits(*voice->busyGreeting(), options, language);
        dialog.reject();
        options.reject();
    }
}

// Two choices leave the greeting row right under them, not at the far end of the room.
TEST_F(GreetingsTest, TheGreetingRowFollowsAShortListOfChoices) {
    Start();
    SingleRingToneDialog dialog(*app_, "alice");
    dialog.show();
    Settle();
    int lastRow = 0;
    for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
        if (radio->isVisible()) {
            lastRow = std::max(lastRow, radio->mapTo(&dialog, QPoint(0, radio->height())).y());
        }
    }
    ASSERT_GT(lastRow, 0);
    const int greetingTop = dialog.greeting()->mapTo(&dialog, QPoint(0, 0)).y();
    EXPECT_GT(greetingTop, lastRow);
    EXPECT_LE(greetingTop - lastRow, SingleRingToneDialog::kRowHeight);
}

}  // namespace
}  // namespace velto::ui::test
