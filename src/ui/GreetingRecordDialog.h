#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>
#include <memory>
#include <optional>

#include "audio/GreetingRecorder.h"
#include "platform/TempFile.h"
#include "ui/TranslatedWindow.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

// Records a greeting from the microphone: Record, Stop, Play (the take, through the sound
// player), the time recorded against the longest allowed and the microphone's level. Save
// writes the take to the target file, whole or not at all, and accepts; Cancel (or closing)
// writes nothing. Without a microphone the window says so and Record is disabled.
class GreetingRecordDialog final : public QDialog {
    Q_OBJECT
  public:
    GreetingRecordDialog(app::Application& app, std::filesystem::path target,
                         QWidget* parent = nullptr);
    ~GreetingRecordDialog() override;

    void PressRecord();
    void PressStop();
    void PressPlay();
    // False when nothing was saved (a message box said why).
    bool PressSave();

    const std::filesystem::path& target() const { return target_; }
    const audio::GreetingRecorder& recorder() const { return recorder_; }
    QPushButton* recordButton() { return record_; }
    QPushButton* stopButton() { return stop_; }
    QPushButton* playButton() { return play_; }
    QPushButton* saveButton() { return save_; }
    QPushButton* cancelButton() { return cancel_; }
    QLabel* notice() { return notice_; }
    QLabel* timeLabel() { return time_; }
    QProgressBar* meter() { return meter_; }
    bool playing() const { return playing_; }

    // The meter's reading (0..100) for a peak `level` (0..1): 60 dB of range, so that a
    // quiet voice still moves it.
    static int MeterValue(double level);

  private:
    void RefreshTexts();
    // Shows the recorder's and the player's state in the controls.
    void ShowState();
    void StopPlaying();

    app::Application& app_;
    const std::filesystem::path target_;
    audio::GreetingRecorder recorder_;
    QLabel* notice_;
    QLabel* time_;
    QProgressBar* meter_;
    QPushButton* record_;
    QPushButton* stop_;
    QPushButton* play_;
    QPushButton* save_;
    QPushButton* cancel_;
    bool playing_ = false;
    bool failed_ = false;  // the microphone would not open
    // The take as the player hears it, removed with the window.
    std::unique_ptr<platform::TempFileGuard> heard_;
    TranslatedWindow translated_;
};

}  // namespace velto::ui
