// The greeting's recording window on a microphone the test speaks into: no microphone said
// in the window, a take saved as the target WAV file, Cancel writing nothing, and the voice
// mail page's "Record…" making the recording the greeting chosen.
// With VELTO_SHOTS=DIR set, the window (with and without a microphone) and the voice mail
// page are saved there as CODE-greeting-record.png, CODE-greeting-no-microphone.png and
// CODE-voicemail-page.png for English, Russian, German and Chinese (Traditional).
#include <QApplication>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "UiFixture.h"
#include "i18n/Languages.h"
#include "support/FakeSoundInput.h"
#include "support/PythonWav.h"
#include "support/ShellCommand.h"
#include "ui/GreetingPicker.h"
#include "ui/GreetingRecordDialog.h"
#include "ui/OptionDialog.h"
#include "ui/OwnSoundPanel.h"
#include "ui/SingleRingToneDialog.h"
#include "ui/Texts.h"

namespace velto::ui::test {
namespace {

namespace fs = std::filesystem;
using platform::Millis;

class GreetingRecordTest : public UiFixture {
  protected:
    void Start(bool microphone = true, int32_t language = 3) {
        auto input = std::make_unique<velto::test::FakeSoundInput>(clock_, microphone);
        input_ = input.get();
        soundInput_ = std::move(input);
        QtFrontEnd::Options options;
        options.language = language;
        StartApp(true, std::move(options));
        ASSERT_TRUE(RunUntil([&] { return app_->settingFile().UserOwnFolder().has_value(); }));
        app_->state().CurrentLanguage = language;
        app_->soundPlayer().SetScratchFolder(dir_.path());
    }
    // Speaks `blocks` blocks of 100 ms of a loud square wave, each with its clock time.
    void Speak(int blocks) {
        std::vector<int16_t> block(1600);
        for (size_t i = 0; i < block.size(); ++i) {
            block[i] = (i / 8) % 2 ? 16000 : -16000;
        }
        for (int i = 0; i < blocks; ++i) {
            ASSERT_TRUE(input_->Say(block));
            clock_.Advance(Millis(100));
        }
        Settle();
    }
    void Shot(QWidget& widget, int32_t language, const std::string& what) {
        const char* folder = std::getenv("VELTO_SHOTS");
        if (folder != nullptr && *folder != '\0') {
            fs::create_directories(folder);
            widget.grab().save(QString::fromStdString(
                (fs::path(folder) /
                 (std::string(i18n::LanguageCode(language)) + "-" + what + ".png"))
                    .string()));
        }
    }
    fs::path Target() { return *app_->settingFile().UserOwnFolder() / "AnswerMachine.wav"; }

    velto::test::FakeSoundInput* input_ = nullptr;
};

// A contact's ring-back dialog records through the same window: the take saved there becomes
// the contact's greeting file on the dialog's OK, 1.5 s long as spoken.
TEST_F(GreetingRecordTest, AContactsGreetingIsRecordedThroughTheSameWindow) {
    Start();
    SingleRingToneDialog ringBack(*app_, "alice");
    ringBack.show();
    Settle();
    ASSERT_TRUE(ringBack.greeting()->recordButton()->isVisible());
    ringBack.greeting()->recordButton()->click();
    Settle();
    auto* window = ringBack.findChild<GreetingRecordDialog*>();
    ASSERT_NE(window, nullptr);
    window->PressRecord();
    Speak(15);
    window->PressStop();
    EXPECT_TRUE(window->PressSave());
    Settle();
    ringBack.accept();
    const auto chosen = app_->userSettings().FindGreeting("alice");
    ASSERT_EQ(chosen.kind, core::GreetingKind::File);
    const fs::path file = *app_->settingFile().UserOwnFolder() / chosen.file;
    EXPECT_EQ(velto::test::PythonWavReading(file), "24000 16000 1 2 True\n");
}

TEST_F(GreetingRecordTest, WithoutAMicrophoneTheWindowSaysSoAndRecordIsDisabled) {
    Start(false);
    GreetingRecordDialog dialog(*app_, Target());
    dialog.show();
    Settle();
    EXPECT_TRUE(dialog.notice()->isVisible());
    EXPECT_EQ(dialog.notice()->text(), Text(i18n::TXT_NO_MICROPHONE, 3));
    EXPECT_FALSE(dialog.recordButton()->isEnabled());
    EXPECT_FALSE(dialog.playButton()->isEnabled());
    EXPECT_FALSE(dialog.saveButton()->isEnabled());
    EXPECT_TRUE(dialog.cancelButton()->isEnabled());
    dialog.PressRecord();
    EXPECT_EQ(input_->starts(), 0);
    EXPECT_EQ(dialog.timeLabel()->text(), QStringLiteral("0:00 / 1:00"));
}

TEST_F(GreetingRecordTest, ARecordedTakeIsSavedAsTheTargetAndCancelWritesNothing) {
    Start();
    {
        GreetingRecordDialog dialog(*app_, Target());
        dialog.show();
        Settle();
        EXPECT_FALSE(dialog.notice()->isVisible());
        EXPECT_FALSE(dialog.stopButton()->isEnabled());
        dialog.recordButton()->click();
        EXPECT_TRUE(input_->Capturing());
        Speak(32);
        // The time on the clock, and a full-scale half (-6 dB) on a 60 dB meter.
        EXPECT_EQ(dialog.timeLabel()->text(), QStringLiteral("0:03 / 1:00"));
        EXPECT_EQ(dialog.meter()->value(), 90);
        EXPECT_FALSE(dialog.recordButton()->isEnabled());
        EXPECT_FALSE(dialog.saveButton()->isEnabled());
        dialog.stopButton()->click();
        EXPECT_FALSE(input_->Capturing());
        EXPECT_EQ(dialog.meter()->value(), 0);
        EXPECT_TRUE(dialog.playButton()->isEnabled());
        EXPECT_TRUE(dialog.saveButton()->isEnabled());
        // Play: the take plays through the sound player until its end.
        dialog.playButton()->click();
        EXPECT_TRUE(dialog.playing());
        EXPECT_TRUE(dialog.stopButton()->isEnabled());
        ASSERT_TRUE(RunUntil([&] { return !dialog.playing(); }, 10000));
        EXPECT_TRUE(dialog.recordButton()->isEnabled());
        dialog.cancelButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_FALSE(fs::exists(Target()));

    GreetingRecordDialog dialog(*app_, Target());
    dialog.PressRecord();
    Speak(15);
    dialog.PressStop();
    EXPECT_TRUE(dialog.PressSave());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(velto::test::PythonWavReading(Target()), "24000 16000 1 2 True\n");
}

// The longest take ends on the recorder's own thread; the window follows: the time stands at
// the limit and the take can be played and saved.
TEST_F(GreetingRecordTest, AtTheLongestTakeTheWindowShowsTheEndedTake) {
    Start();
    GreetingRecordDialog dialog(*app_, Target());
    dialog.PressRecord();
    Speak(600);
    ASSERT_TRUE(input_->WaitUntilStopped(Millis(1000)));
    ASSERT_TRUE(RunUntil([&] { return dialog.recordButton()->isEnabled(); }, 1000));
    EXPECT_EQ(dialog.timeLabel()->text(), QStringLiteral("1:00 / 1:00"));
    EXPECT_FALSE(dialog.stopButton()->isEnabled());
    EXPECT_TRUE(dialog.saveButton()->isEnabled());
    EXPECT_TRUE(dialog.PressSave());
    EXPECT_EQ(velto::test::PythonWavReading(Target()), "960000 16000 1 2 True\n");
}

TEST_F(GreetingRecordTest, RecordOnTheVoiceMailPageMakesTheRecordingTheGreeting) {
    Start();
    app_->userSettings().SetUseDefaultGreeting(true);
    OptionDialog options(*app_);
    auto* voice = static_cast<OwnSoundPanel*>(options.page(OptionDialog::kVoiceMail));
    ASSERT_NE(voice->recordLink(), nullptr);
    EXPECT_EQ(voice->recordLink()->text(), QStringLiteral("Record…"));
    GreetingRecordDialog* dialog = voice->Record();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->target(), Target());
    dialog->PressRecord();
    Speak(10);
    ASSERT_TRUE(dialog->PressSave());
    Settle();
    EXPECT_TRUE(voice->radio(OwnSoundPanel::kOwnRadio)->isChecked());
    EXPECT_TRUE(voice->playButton(OwnSoundPanel::kPlayOwn)->isEnabled());
    EXPECT_EQ(voice->options().OwnFile(), Target());
    EXPECT_FALSE(app_->userSettings().UseDefaultGreeting());
    EXPECT_EQ(app_->userSettings().GreetingSource(), "AnswerMachine.wav");
    EXPECT_EQ(velto::test::PythonWavReading(Target()), "16000 16000 1 2 True\n");
}

// The meter reads 60 dB of range: full scale at the top, -30 dB half way, -60 dB and
// silence at the bottom.
TEST(GreetingMeter, ReadsSixtyDecibels) {
    EXPECT_EQ(GreetingRecordDialog::MeterValue(1.0), 100);
    EXPECT_EQ(GreetingRecordDialog::MeterValue(std::pow(10.0, -30.0 / 20)), 50);
    EXPECT_EQ(GreetingRecordDialog::MeterValue(0.001), 0);
    EXPECT_EQ(GreetingRecordDialog::MeterValue(0.0001), 0);
    EXPECT_EQ(GreetingRecordDialog::MeterValue(0), 0);
}

// Every language's texts fit the window; with VELTO_SHOTS the pictures to look at.
TEST_F(GreetingRecordTest, TheWindowAndThePageInFourLanguages) {
    Start();
    for (int32_t language : {3, 13, 2, 1}) {
        SCOPED_TRACE(language);
        app_->state().CurrentLanguage = language;
        input_->SetDevice(true);
        OptionDialog options(*app_);
        options.show();
        options.pageButton(OptionDialog::kVoiceMail)->click();
        Settle();
        auto* voice = static_cast<OwnSoundPanel*>(options.page(OptionDialog::kVoiceMail));
        EXPECT_EQ(voice->recordLink()->text(), Text(i18n::TXT_RECORD_OWN, language));
        EXPECT_GE(voice->recordLink()->width(), voice->recordLink()->sizeHint().width());
        Shot(options, language, "voicemail-page");

        GreetingRecordDialog dialog(*app_, Target());
        dialog.show();
        dialog.PressRecord();
        Speak(12);
        EXPECT_EQ(dialog.windowTitle(), Text(i18n::TXT_RECORD_GREETING, language));
        for (QPushButton* button : {dialog.recordButton(), dialog.stopButton(), dialog.playButton(),
                                    dialog.saveButton(), dialog.cancelButton()}) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
        }
        Shot(dialog, language, "greeting-record");
        dialog.PressStop();

        input_->SetDevice(false);
        GreetingRecordDialog none(*app_, Target());
        none.show();
        Settle();
        QLabel* notice = none.notice();
        EXPECT_GE(notice->height(), notice->heightForWidth(notice->width()));
        Shot(none, language, "greeting-no-microphone");
    }
}

}  // namespace
}  // namespace velto::ui::test
