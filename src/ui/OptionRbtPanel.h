#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>

#include "ui/CURLLinkButton.h"
#include "ui/FilePickUpDialog.h"
#include "ui/OptionPage.h"
#include "ui/SoundPreview.h"
#include "ui/model/StandardToneOptions.h"

namespace velto::ui {

// The standard ring-back tone page: the system's tone, the user's own (an MP3 or WAV picked
// here, made into "StdRbtCustom.wav" on OK) or a partner tone, each with a play button.
class OptionRbtPanel final : public OptionPage {
    Q_OBJECT
  public:
    enum Control {
        kDefaultRadio = 1108,
        kOwnRadio = 1109,
        kPartnerRadio = 1110,
        kPlayDefault = 1115,
        kPlayOwn = 1116,
        kPlayPartner = 1118,
    };

    explicit OptionRbtPanel(app::Application& app, QWidget* parent = nullptr);

    QRadioButton* radio(int id) { return qobject_cast<QRadioButton*>(group_.button(id)); }
    QComboBox* partnerList() { return partners_; }
    const StandardToneOptions& options() const { return options_; }
    // "Browse": the file picker (also what ticking the own tone without one does).
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

    StandardToneOptions options_;
    SoundPreview preview_;
    QGroupBox* box_;
    QLabel* question_;
    QButtonGroup group_;
    QComboBox* partners_;
    CxSkinButton* playButtons_[3] = {};
    CURLLinkButton* browse_;
    QPointer<FilePickUpDialog> picker_;
};

}  // namespace velto::ui
