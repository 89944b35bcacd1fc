// The missed-call dialog's message player: play, pause, the position against the file's own
// length, the heard mark in the list and its file, "save as", and delete only after Yes.
// With VELTO_SHOTS=DIR set, the player's pictures of every language are saved there as
// CODE-missed-player-playing.png and CODE-missed-player-paused.png.
#include <QSlider>
#include <cstdlib>
#include <filesystem>

#include "UiFixture.h"
#include "calls/MissedCallFile.h"
#include "i18n/Languages.h"
#include "support/ShellCommand.h"
#include "ui/MissedCallDialog.h"
#include "ui/PartnerList.h"
#include "ui/Texts.h"

namespace velto::ui::test {
namespace {

namespace fs = std::filesystem;
using platform::Millis;

// 16 kHz mono 16-bit: 32,000 bytes a second.
constexpr uint32_t kBytesPerSecond = 32000;

std::string Wav(uint32_t dataBytes) {
    std::string wav = "RIFF";
    const auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            wav += static_cast<char>((value >> (8 * i)) & 0xff);
        }
    };
    put(36 + dataBytes, 4);
    wav += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(16000, 4);
    put(kBytesPerSecond, 4);
    put(2, 2);
    put(16, 2);
    wav += "data";
    put(dataBytes, 4);
    for (uint32_t i = 0; i < dataBytes; ++i) {
        wav += static_cast<char>(i * 7);
    }
    return wav;
}

class MessagePlayerTest : public UiFixture {
  protected:
    // Signed in, with the user's files loaded (the contact list shows).
    void Start() {
        world_->AddContact({"bob", "Bob Baker", "Bob", skype::OnlineStatus::Online});
        StartApp(true);
        ASSERT_TRUE(RunUntil([&] {
            auto* list = qobject_cast<PartnerList*>(mainWindow().contactListSlot()->content());
            return list != nullptr && list->contacts().state().ContactCount() == 1;
        }));
        ASSERT_TRUE(app_->missedCalls().FilePath());
        app_->soundPlayer().SetScratchFolder(dir_.path());
    }
    // A message of `dataBytes` bytes from `caller`, listed as the newest call.
    fs::path AddMessage(const std::string& caller, uint32_t dataBytes, bool heard = false) {
        const fs::path file = dir_ / ("recorded_" + caller + ".wav");
        velto::test::WriteFileBytes(file, Wav(dataBytes));
        calls::MissedCall record{caller, "2026/12/01 10:0" + std::to_string(++added_) + ":00", true,
                                 file.u16string(), heard};
        app_->missedCalls().Add(record);
        return file;
    }
    // The records the list's file holds now.
    std::vector<calls::MissedCall> Saved() {
        const auto decoded =
            calls::DecodeMissedCalls(velto::test::ReadFileBytes(*app_->missedCalls().FilePath()));
        return decoded.records.value_or(std::vector<calls::MissedCall>{});
    }
    // Lets `ms` of clock time pass with the program running.
    void Pass(int ms) {
        app_->loop().RunUntil([] { return false; }, Millis(ms));
        QApplication::processEvents();
    }
    void Shot(QWidget& widget, int32_t language, const std::string& what) {
        const char* folder = std::getenv("VELTO_SHOTS");
        if (folder != nullptr && *folder != '\0') {
            fs::create_directories(folder);
            widget.grab().save(QString::fromStdString(
                (fs::path(folder) / (PictureCode(language) + "-" + what + ".png")).string()));
        }
    }
    int added_ = 0;
};

TEST_F(MessagePlayerTest, PlayPauseAndPlayOnShowThePositionAndMarkTheMessageHeard) {
    Start();
    const uint32_t bytes = 112000;  // 3.5 s
    AddMessage("bob", bytes);
    MissedCallDialog dialog(*app_);
    ASSERT_EQ(dialog.RowCount(), 1);
    EXPECT_TRUE(dialog.nameLabel(0)->font().bold());
    EXPECT_EQ(dialog.nameLabel(0)->accessibleDescription(), QStringLiteral("New voice message"));
    const uint32_t totalMs = bytes * 1000 / kBytesPerSecond;
    EXPECT_EQ(dialog.positionBar(0)->maximum(), static_cast<int>(totalMs));
    EXPECT_EQ(dialog.playTimes(0)->text(), QStringLiteral("0:00 / 0:03"));

    dialog.PressPlay(0);
    const Millis started = clock_.Now();
    EXPECT_EQ(dialog.PlayingRow(), 0);
    EXPECT_EQ(dialog.playButton(0)->toolTip(), QStringLiteral("Pause"));
    // Heard from the first play on: in the row, the list and the list's file.
    EXPECT_FALSE(dialog.nameLabel(0)->font().bold());
    EXPECT_TRUE(app_->missedCalls().Snapshot()[0].heard);
    ASSERT_EQ(Saved().size(), 1u);
    EXPECT_TRUE(Saved()[0].heard);

    Pass(1300);
    dialog.ShowPositions();
    const int64_t played = (clock_.Now() - started).count();
    ASSERT_GE(played, 1300);
    ASSERT_LT(played, static_cast<int64_t>(totalMs));
    EXPECT_EQ(dialog.positionBar(0)->value(), played);
    EXPECT_EQ(dialog.playTimes(0)->text(), QStringLiteral("0:0%1 / 0:03").arg(played / 1000));

    dialog.PressPlay(0);  // pause
    EXPECT_EQ(dialog.PlayingRow(), -1);
    EXPECT_EQ(dialog.playButton(0)->toolTip(), QStringLiteral("Play"));
    Pass(10000);
    dialog.ShowPositions();
    EXPECT_EQ(dialog.positionBar(0)->value(), played);

    // Playing on: the rest of the message, and then back to the start.
    dialog.PressPlay(0);
    const Millis resumed = clock_.Now();
    ASSERT_TRUE(RunUntil([&] { return dialog.PlayingRow() == -1; }));
    EXPECT_EQ((clock_.Now() - resumed).count(), static_cast<int64_t>(totalMs) - played);
    EXPECT_EQ(dialog.positionBar(0)->value(), 0);
    EXPECT_EQ(dialog.playTimes(0)->text(), QStringLiteral("0:00 / 0:03"));
    // No copy of the rest is left behind.
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
        EXPECT_EQ(entry.path().filename().string().rfind("velto-play-", 0), std::string::npos);
    }

    // Opened again, the message is no longer new.
    MissedCallDialog again(*app_);
    EXPECT_FALSE(again.nameLabel(0)->font().bold());
}

TEST_F(MessagePlayerTest, OneMessageAtATimeAndASeekPlaysOnFromThere) {
    Start();
    AddMessage("bob", 96000);     // 3 s
    AddMessage("carol", 320000);  // 10 s
    MissedCallDialog dialog(*app_);
    ASSERT_EQ(dialog.RowCount(), 2);  // newest first: carol
    dialog.PressPlay(0);
    Pass(500);
    dialog.PressPlay(1);  // carol's message pauses where it was
    EXPECT_EQ(dialog.PlayingRow(), 1);
    dialog.ShowPositions();
    EXPECT_EQ(dialog.positionBar(0)->value(), 500);
    // Moved to 8 s: the message ends 2 s later.
    dialog.SeekTo(0, 8000);
    EXPECT_EQ(dialog.PlayingRow(), 1);
    dialog.PressPlay(0);
    const Millis from = clock_.Now();
    ASSERT_TRUE(RunUntil([&] { return dialog.PlayingRow() == -1; }));
    EXPECT_EQ((clock_.Now() - from).count(), 2000);
}

TEST_F(MessagePlayerTest, DeleteAsksWhetherTheMessageMayBeLostAndOnlyYesDeletes) {
    Start();
    const fs::path file = AddMessage("bob", 32000);
    MissedCallDialog dialog(*app_);
    app_->missedCalls().Save();
    QtMessageBoxes& boxes = frontEnd().qtBoxes();
    boxes.QueueAnswer(platform::MessageBoxAnswer::No);
    dialog.PressDelete(0);
    EXPECT_EQ(boxes.lastText(),
              "Delete this call and its voice message? The message will be "
              "lost for good.");
    EXPECT_EQ(dialog.RowCount(), 1);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(Saved().size(), 1u);
    // Playing when deleted: the sound stops with it.
    dialog.PressPlay(0);
    boxes.QueueAnswer(platform::MessageBoxAnswer::Yes);
    dialog.PressDelete(0);
    EXPECT_EQ(dialog.RowCount(), 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(app_->missedCalls().size(), 0u);
    EXPECT_TRUE(Saved().empty());
    EXPECT_TRUE(app_->soundPlayer().IsIdle());
}

// The copy is read back by Python's own WAV reader; a place that cannot be written says so.
TEST_F(MessagePlayerTest, SaveAsWritesAWavFileThatOtherReadersTake) {
    Start();
    const fs::path file = AddMessage("bob", 48000);
    MissedCallDialog dialog(*app_);
    QString suggested;
    QString target = QString::fromStdString((dir_ / "saved.wav").string());
    dialog.SetSavePathAsker([&](const QString& name) {
        suggested = name;
        return target;
    });
    ASSERT_TRUE(dialog.PressSaveAs(0));
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/recorded_bob.wav")));
    EXPECT_EQ(velto::test::ReadFileBytes(dir_ / "saved.wav"), velto::test::ReadFileBytes(file));
    const auto read = velto::test::RunShell(
        "python3 -c 'import sys, wave; w = wave.open(sys.argv[1]); "
        "print(w.getnframes(), w.getframerate(), w.getnchannels(), w.getsampwidth())' " +
        velto::test::ShellQuote((dir_ / "saved.wav").string()) + " 2>&1");
    EXPECT_EQ(read.output, "24000 16000 1 2\n");

    const int shown = frontEnd().qtBoxes().shownCount();
    target = QString::fromStdString((dir_ / "no-such-folder" / "x.wav").string());
    EXPECT_FALSE(dialog.PressSaveAs(0));
    EXPECT_EQ(frontEnd().qtBoxes().shownCount(), shown + 1);
    EXPECT_EQ(frontEnd().qtBoxes().lastText().rfind("The voice message could not be saved.", 0),
              0u);
    target.clear();  // the user gave no name
    EXPECT_FALSE(dialog.PressSaveAs(0));
    EXPECT_EQ(frontEnd().qtBoxes().shownCount(), shown + 1);
}

// Every language: the busy mark, the times and the names fit; the pictures show a new
// message, a heard one playing and then paused, and a busy call without a message.
TEST_F(MessagePlayerTest, EveryLanguagesPlayerFitsAndIsPictured) {
    Start();
    AddMessage("anna.lindqvist", 2 * 60 * kBytesPerSecond + 17 * kBytesPerSecond, true);
    app_->missedCalls().Add({"ben.okafor", "2026/12/01 10:05:00", false, u"", false, true});
    AddMessage("maximilian.featherstonehaugh.the.third", 42 * kBytesPerSecond);
    for (int32_t language = 0; language < i18n::kLanguageCount; ++language) {
        SCOPED_TRACE(i18n::LanguageCode(language));
        app_->state().CurrentLanguage = language;
        MissedCallDialog dialog(*app_);
        dialog.show();
        ASSERT_EQ(dialog.RowCount(), 3);
        dialog.PressPlay(2);
        Pass(63000);
        dialog.ShowPositions();
        Settle();
        EXPECT_EQ(dialog.playTimes(2)->text(), QStringLiteral("1:03 / 2:17"));
        ASSERT_NE(dialog.busyLabel(1), nullptr);
        EXPECT_EQ(dialog.busyLabel(1)->text(), Text(i18n::TXT_MISSED_BUSY, language));
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->isVisibleTo(&dialog) && !label->text().isEmpty()) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
            }
        }
        Shot(dialog, language, "missed-player-playing");
        dialog.PressPlay(2);
        Settle();
        Shot(dialog, language, "missed-player-paused");
        dialog.close();
    }
}

}  // namespace
}  // namespace velto::ui::test
