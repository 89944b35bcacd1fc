#pragma once

#include <QComboBox>

#include "ui/TonePage.h"
#include "ui/model/StandardToneOptions.h"

namespace velto::ui {

// The standard ring-back tone page: the system's tone, the user's own (an MP3 or WAV picked
// here, made into "StdRbtCustom.wav" on OK) or a partner tone, each with a play button.
class OptionRbtPanel final : public TonePage {
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

    QComboBox* partnerList() { return partners_; }
    const StandardToneOptions& options() const { return options_; }

    void Apply() override;
    void Revert() override;
    void RefreshTexts() override;

  protected:
    std::optional<std::filesystem::path> FileToPlay(int playId) override;
    void Ticked(int radioId) override;
    void Picked(int32_t itemId, const std::u16string& sourceName) override;
    void ShowSetting() override;

  private:
    StandardToneOptions options_;
    QComboBox* partners_;
};

}  // namespace velto::ui
