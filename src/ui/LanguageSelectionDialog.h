#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <optional>

#include "i18n/LanguageChooser.h"
#include "i18n/LanguageSelectionModel.h"

namespace velto::ui {

// The first-start question "Please choose your language!": a drop-down of the fifteen
// languages (English first) and OK. Every change of selection chooses at once; closing
// the dialog any way keeps the last choice.
class LanguageSelectionDialog : public QDialog {
    Q_OBJECT
  public:
    explicit LanguageSelectionDialog(QWidget* parent = nullptr);

    int32_t ChosenLanguage() const { return model_.ChosenLanguage(); }
    QComboBox* list() { return list_; }
    QPushButton* okButton() { return ok_; }

  private:
    i18n::LanguageSelectionModel model_;
    QComboBox* list_;
    QPushButton* ok_;
};

// Asks with the dialog; or, when an answer is configured, takes it without asking.
class QtLanguageChooser final : public i18n::LanguageChooser {
  public:
    explicit QtLanguageChooser(std::optional<int32_t> answer = std::nullopt) : answer_(answer) {}
    int32_t ChooseLanguage() override;
    // True once the first-start question was put (this run is a first start).
    bool asked() const { return asked_; }

  private:
    std::optional<int32_t> answer_;
    bool asked_ = false;
};

}  // namespace velto::ui
