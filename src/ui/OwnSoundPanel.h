#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>

#include "ui/CURLLinkButton.h"
#include "ui/FilePickUpDialog.h"
#include "ui/OptionPage.h"
#include "ui/SoundPreview.h"
#include "ui/model/OwnSoundOptions.h"

namespace velto::ui {

// A page that chooses between a stock sound and the user's own: the ring tone the user
// hears (OptionRingtonePanel) or the answering machine's greeting (OptionVoiceMailPanel,
// which also switches voice mail on and off).
class OwnSoundPanel : public OptionPage {
    Q_OBJECT
  public:
    enum Control { kDefaultRadio = 1, kOwnRadio = 2, kPlayDefault = 3, kPlayOwn = 4 };

    OwnSoundPanel(app::Application& app, OwnSoundOptions::Sound sound, QWidget* parent);

    QRadioButton* radio(int id) { return qobject_cast<QRadioButton*>(group_.button(id)); }
    QCheckBox* voiceMail() { return voiceMail_; }
    QLabel* title() { return title_; }
    const OwnSoundOptions& options() const { return options_; }
    FilePickUpDialog* Browse();
    FilePickUpDialog* filePicker() const { return picker_; }
    void PressPlay(int id);
    int playing() const { return preview_.playing(); }

    void Apply() override;
    void Revert() override;
    void RefreshTexts() override;

  private:
    void Ticked(int id);
    void PickerFinished(int result);
    void ShowSetting();

    const OwnSoundOptions::Sound sound_;
    OwnSoundOptions options_;
    SoundPreview preview_;
    QCheckBox* voiceMail_ = nullptr;
    QGroupBox* box_;
    QLabel* question_;
    QButtonGroup group_;
    QLabel* title_;
    CxSkinButton* ownPlay_ = nullptr;
    CURLLinkButton* browse_;
    QPointer<FilePickUpDialog> picker_;
};

class OptionRingtonePanel final : public OwnSoundPanel {
    Q_OBJECT
  public:
    explicit OptionRingtonePanel(app::Application& app, QWidget* parent = nullptr)
        : OwnSoundPanel(app, OwnSoundOptions::Sound::RingTone, parent) {}
};

class OptionVoiceMailPanel final : public OwnSoundPanel {
    Q_OBJECT
  public:
    explicit OptionVoiceMailPanel(app::Application& app, QWidget* parent = nullptr)
        : OwnSoundPanel(app, OwnSoundOptions::Sound::Greeting, parent) {}
};

}  // namespace velto::ui
