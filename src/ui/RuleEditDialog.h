#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <array>
#include <optional>

#include "rules/Rule.h"
#include "ui/model/RuleChoices.h"

namespace velto::ui {

// One rule's editor: its name, when it holds (callers, weekdays, a time of day, dates, the
// user's status) and what it does (ring-back tone, ringing, ring tone, ring time before the
// machine, greeting, refusing the call). Every action may stay "as without rules".
class RuleEditDialog final : public QDialog {
    Q_OBJECT
  public:
    // What a callers-list entry stands for (its Qt::UserRole).
    enum CallerKind { kContact, kGroup, kUnknown, kAnonymous };
    static constexpr int kKindRole = Qt::UserRole;
    static constexpr int kValueRole = Qt::UserRole + 1;

    // `today`: where a new date range starts (the program's clock).
    RuleEditDialog(const rules::Rule& rule, const RuleChoices& choices, int32_t language,
                   const QDate& today, QWidget* parent = nullptr);

    // The rule as the dialog shows it, as the rules file would read it back; nothing while
    // it cannot be one (no name, no weekday, no status).
    std::optional<rules::Rule> Result() const;

    QLineEdit* name() const { return name_; }
    QListWidget* callers() const { return callers_; }
    QCheckBox* day(int weekday) const { return days_[static_cast<size_t>(weekday)]; }
    QCheckBox* timeBox() const { return timeBox_; }
    QTimeEdit* timeFrom() const { return timeFrom_; }
    QTimeEdit* timeTo() const { return timeTo_; }
    QCheckBox* datesBox() const { return datesBox_; }
    QDateEdit* dateFrom() const { return dateFrom_; }
    QDateEdit* dateTo() const { return dateTo_; }
    QCheckBox* presence(rules::Presence which) const {
        return presence_[static_cast<size_t>(which)];
    }
    QComboBox* tone() const { return tone_; }
    QComboBox* ring() const { return ring_; }
    QComboBox* ringTone() const { return ringTone_; }
    QSpinBox* ringSeconds() const { return ringSeconds_; }
    QComboBox* greeting() const { return greeting_; }
    QCheckBox* refuse() const { return refuse_; }
    QPushButton* okButton() const { return ok_; }

  public slots:
    void accept() override;

  private:
    QWidget* BuildWhen();
    QWidget* BuildThen(const RuleChoices& choices);
    void FillCallers(const RuleChoices& choices);
    void FillWhen(const QDate& today);
    void FillThen();
    void ShowEnabledParts();
    rules::Conditions ShownConditions() const;
    rules::Actions ShownActions() const;

    const rules::Rule original_;
    const int32_t language_;
    QLineEdit* name_;
    QListWidget* callers_;
    std::array<QCheckBox*, 7> days_{};
    QCheckBox* timeBox_;
    QTimeEdit* timeFrom_;
    QTimeEdit* timeTo_;
    QCheckBox* datesBox_;
    QDateEdit* dateFrom_;
    QDateEdit* dateTo_;
    std::array<QCheckBox*, rules::kPresenceCount> presence_{};
    QComboBox* tone_;
    QComboBox* ring_;
    QComboBox* ringTone_;
    QSpinBox* ringSeconds_;
    QComboBox* greeting_;
    QCheckBox* refuse_;
    QPushButton* ok_;
};

}  // namespace velto::ui
