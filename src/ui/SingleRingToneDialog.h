#pragma once

#include <QButtonGroup>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "ui/FilePickUpDialog.h"
#include "ui/GreetingPicker.h"
#include "ui/OptionDialog.h"
#include "ui/RowScrollArea.h"
#include "ui/SoundPreview.h"
#include "ui/SubMenuDialog.h"
#include "ui/model/RingToneChoice.h"

class QProgressBar;
class QRadioButton;

namespace velto::ui {

class CURLLinkButton;

// The ring-back tone of one contact: the standard tone, the contact's own tone (an MP3 or
// WAV the user picks) or a partner tone; under the tones, the contact's greeting. OK stores
// the choices; Cancel changes nothing.
class SingleRingToneDialog final : public SubMenuDialog {
    Q_OBJECT
  public:
    static constexpr int kHeight = 470;
    static constexpr int kRowHeight = 30;
    // The dialog grows up to this width so that every choice's text fits whole.
    static constexpr int kMaxWidth = 640;

    SingleRingToneDialog(app::Application& app, std::string handle, QWidget* parent = nullptr);
    ~SingleRingToneDialog() override;

    const RingToneChoice& choice() const { return *choice_; }
    // Ticks row `row` as a click on its radio button would.
    void TickRow(int row);
    // The own-tone row's "Change": pick another file.
    void ChangeOwnTone();
    // Opens the options on the standard ring-back page; the row follows what is chosen there.
    void ChangeStandardTone();
    OptionDialog* options() const { return options_; }
    // The file picker while it is open, else null.
    FilePickUpDialog* filePicker() const { return picker_; }
    QRadioButton* radio(int row) const;
    // The play button of `row` (null for a row without one): plays the row's tone, or stops
    // it while it plays.
    CxSkinButton* playButton(int row) const;
    void PressPlay(int row);
    // The row whose tone plays, or -1.
    int PlayingRow() const { return preview_.playing() - 1; }
    // The greeting the machine plays to this contact.
    GreetingPicker* greeting() const { return greeting_; }

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void RefreshTexts() override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void BuildRows();
    void BuildGreetingRow();
    CURLLinkButton* StandardLink(QWidget* line, const std::u16string& name);
    void ShowTicked();
    void OpenPicker();
    void PickerFinished(int result);
    void UpdateDownloads();
    void EnablePlay(int row);
    void Layout();
    void FitRows();
    void ShowBadKind();

    std::unique_ptr<RingToneChoice> choice_;
    RowScrollArea* scroll_;
    QButtonGroup group_;
    std::vector<QRadioButton*> radios_;
    std::vector<QProgressBar*> progress_;
    std::vector<QLabel*> labels_;
    std::vector<CxSkinButton*> plays_;
    std::vector<QWidget*> lines_;
    calls::ToneFolders folders_;
    SoundPreview preview_;
    QLabel* ownLabel_ = nullptr;
    BannerPanel* channel_ = nullptr;
    QPointer<FilePickUpDialog> picker_;
    QPointer<OptionDialog> options_;
    CURLLinkButton* standardLink_ = nullptr;
    QTimer downloads_;
    QWidget* greetingRow_ = nullptr;
    QLabel* greetingLabel_ = nullptr;
    GreetingPicker* greeting_ = nullptr;
};

}  // namespace velto::ui
