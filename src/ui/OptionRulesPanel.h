#pragma once

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>
#include <optional>

#include "ui/OptionPage.h"
#include "ui/model/RuleChoices.h"
#include "ui/model/RulesDraft.h"

namespace velto::ui {

class RuleEditDialog;

// The options dialog's Rules page: the user's rules in order, each with its own tick for
// enabled, with add, edit, remove, up and down; and "What happens now?": a caller, a
// moment and the user's status, and which rule decides and what the caller hears. The
// rules file is written on the dialog's OK only.
class OptionRulesPanel final : public OptionPage {
    Q_OBJECT
  public:
    explicit OptionRulesPanel(app::Application& app, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* upButton() const { return up_; }
    QPushButton* downButton() const { return down_; }
    QComboBox* previewCaller() const { return caller_; }
    QDateTimeEdit* previewMoment() const { return moment_; }
    QComboBox* previewPresence() const { return presence_; }
    QLabel* previewResult() const { return result_; }
    const RulesDraft& draft() const { return draft_; }
    // The row the preview names as deciding; -1 for none.
    int previewRow() const { return previewRow_; }

    // Opens the editor (window-modal) for a new rule after the selected one, or for the
    // selected rule; its OK puts the rule into the list. Null without a user folder or
    // (for Edit) without a selection.
    RuleEditDialog* AddRule();
    RuleEditDialog* EditRule();

    void Apply() override;
    void RefreshTexts() override;

  private:
    RuleEditDialog* OpenEditor(const rules::Rule& rule, int row);
    QWidget* BuildList();
    QWidget* BuildPreview();
    void ShowList(int select);
    void ShowButtons();
    void ShowPreview();
    void FillPreviewChoices();
    int Selected() const;
    int32_t Language();
    QDateTime Now();
    QDate Today();

    std::optional<std::filesystem::path> folder_;
    RuleChoices choices_;
    RulesDraft draft_;
    int previewRow_ = -1;
    QGroupBox* listBox_;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* remove_;
    QPushButton* up_;
    QPushButton* down_;
    QGroupBox* previewBox_;
    QComboBox* caller_;
    QDateTimeEdit* moment_;
    QComboBox* presence_;
    QLabel* result_;
};

}  // namespace velto::ui
