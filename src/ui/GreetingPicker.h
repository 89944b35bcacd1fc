#pragma once

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "ui/FilePickUpDialog.h"
#include "ui/SoundPreview.h"
#include "ui/model/GreetingDraft.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

// One greeting's choice in a row: a list (none where allowed, the standard greeting, the
// user's own, a greeting file), "Browse" for a file of the user's (through the file picker,
// as a greeting), "Record..." once a recorder is plugged in, and a play button for what is
// chosen. The draft holds the choice until the window's OK commits it.
class GreetingPicker final : public QWidget {
    Q_OBJECT
  public:
    // Makes a greeting of the user's voice in `target`; calls `done` once the recording is
    // there (never when the user gave up).
    using Recorder =
        std::function<void(const std::filesystem::path& target, std::function<void()> done)>;

    GreetingPicker(app::Application& app, std::unique_ptr<GreetingDraft> draft, bool mayBeNone,
                   QWidget* parent);
    ~GreetingPicker() override;

    GreetingDraft& draft() { return *draft_; }
    QComboBox* combo() { return combo_; }
    QPushButton* browseButton() { return browse_; }
    QPushButton* recordButton() { return record_; }
    CxSkinButton* playButton() { return play_; }
    FilePickUpDialog* filePicker() const { return picker_; }
    // The file picker is open (the window's OK and Cancel wait for it).
    bool Picking() const { return picker_ && picker_->isVisible(); }

    // Chooses as a pick in the list would; a file not there yet opens the picker.
    void Choose(GreetingDraft::Option option);
    // "Browse": the file picker, for a greeting.
    FilePickUpDialog* Browse();
    // "Record...": the plugged-in recorder into the draft's record target.
    void Record();
    void SetRecorder(Recorder recorder);
    void PressPlay();

    void RefreshTexts(int32_t language);
    // The list shows the draft's choice.
    void ShowChoice();

  private:
    void PickerFinished(int result);
    std::optional<std::filesystem::path> FileToPlay() const;

    app::Application& app_;
    std::unique_ptr<GreetingDraft> draft_;
    const bool mayBeNone_;
    QComboBox* combo_;
    QPushButton* browse_;
    QPushButton* record_;
    SoundPreview preview_;
    CxSkinButton* play_;
    Recorder recorder_;
    QPointer<FilePickUpDialog> picker_;
};

}  // namespace velto::ui
