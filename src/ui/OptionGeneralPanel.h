#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <memory>

#include "ui/OptionPage.h"
#include "ui/model/GeneralOptions.h"

namespace velto::ui {

// The options dialog's General page: start with the desktop, the ring-back tone info
// message, automatic update (each stored at once; automatic update is hidden, as the
// program has no updater) and the language (switched at once).
class OptionGeneralPanel final : public OptionPage {
    Q_OBJECT
  public:
    explicit OptionGeneralPanel(app::Application& app, QWidget* parent = nullptr);

    QCheckBox* autoStart() { return autoStart_; }
    QCheckBox* friendMsg() { return friendMsg_; }
    QCheckBox* autoUpdate() { return autoUpdate_; }
    QComboBox* languages() { return languages_; }

    void Apply() override;
    void Revert() override;
    void RefreshTexts() override;

  private:
    void ShowSwitches();

    GeneralOptions options_;
    QGroupBox* box_;
    QCheckBox* autoStart_;
    QCheckBox* friendMsg_;
    QCheckBox* autoUpdate_;
    QLabel* languageLabel_;
    QComboBox* languages_;
};

}  // namespace velto::ui
