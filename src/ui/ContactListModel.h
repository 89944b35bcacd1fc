#pragma once

#include <QAbstractListModel>
#include <utility>

#include "ui/model/ContactListState.h"
#include "ui/model/OptionRowText.h"

namespace velto::ui {

// The contact list's rows for a Qt view: the contacts and, under the selected one, the
// option row. Every change of the state arrives as one insert or remove, or as a change of
// the rows a move shifts.
class ContactListModel final : public QAbstractListModel, private ContactListObserver {
    Q_OBJECT
  public:
    enum Role {
        IsOptionRole = Qt::UserRole + 1,  // bool: the option row
        StatusIconRole,                   // int: the status icon 0..6
        SelectedRole,                     // bool: the selected contact
        HandleRole,                       // QString: the contact's handle
    };

    explicit ContactListModel(QObject* parent = nullptr);

    ContactListState& state() { return state_; }
    const ContactListState& state() const { return state_; }
    // What the option row shows (for the selected contact).
    void SetOptionText(OptionRowText text);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    void BeginReset() override;
    void EndReset() override;
    void BeginInsert(int row) override;
    void EndInsert() override;
    void BeginRemove(int row) override;
    void EndRemove() override;
    void BeginMove(int row, int destination) override;
    void EndMove() override;
    void RowChanged(int row) override;

    ContactListState state_{this};
    OptionRowText optionText_;
    std::pair<int, int> moved_;  // the rows a move shifts, first and last
};

}  // namespace velto::ui
