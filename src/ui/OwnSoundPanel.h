#pragma once

#include <QCheckBox>
#include <QLabel>

#include "ui/GreetingPicker.h"
#include "ui/GreetingRecordDialog.h"
#include "ui/TonePage.h"
#include "ui/VoiceMailLimitsBox.h"
#include "ui/model/OwnSoundOptions.h"

namespace velto::ui {

// A page that chooses between a stock sound and the user's own: the ring tone the user
// hears (OptionRingtonePanel) or the answering machine's greeting (OptionVoiceMailPanel,
// which also switches voice mail on and off).
class OwnSoundPanel : public TonePage {
    Q_OBJECT
  public:
    enum Control { kDefaultRadio = 1, kOwnRadio = 2, kPlayDefault = 3, kPlayOwn = 4 };

    OwnSoundPanel(app::Application& app, OwnSoundOptions::Sound sound, QWidget* parent);

    QCheckBox* voiceMail() { return voiceMail_; }
    // The voice mail page's "Record…" (the ring tone page has none).
    CURLLinkButton* recordLink() { return record_; }
    // "Record…": the recording window for the user's own greeting, window-modal; a saved
    // take becomes the greeting chosen. Null on the ring tone page.
    GreetingRecordDialog* Record();
    // The voice mail page's limits (the ring tone page has none).
    VoiceMailLimitsBox* limits() { return limits_; }
    // The voice mail page's greeting after a decline (none on the ring tone page).
    GreetingPicker* busyGreeting() { return busy_; }
    QLabel* title() { return title_; }
    const OwnSoundOptions& options() const { return options_; }

    void Apply() override;
    void Revert() override;
    void RefreshTexts() override;

  protected:
    std::optional<std::filesystem::path> FileToPlay(int playId) override;
    void Ticked(int radioId) override;
    void Picked(int32_t itemId, const std::u16string& sourceName) override;
    void ShowSetting() override;

  private:
    void AddBusyGreeting();

    const OwnSoundOptions::Sound sound_;
    OwnSoundOptions options_;
    QCheckBox* voiceMail_ = nullptr;
    VoiceMailLimitsBox* limits_ = nullptr;
    QLabel* busyLabel_ = nullptr;
    GreetingPicker* busy_ = nullptr;
    CURLLinkButton* record_ = nullptr;
    QLabel* title_;
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
