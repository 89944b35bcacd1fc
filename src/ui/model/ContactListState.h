#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/model/ContactOrder.h"

namespace velto::ui {

// Told about every change of the list's rows, in the order a Qt item model announces them
// (begin, change, end). Row numbers count the option row.
class ContactListObserver {
  public:
    virtual ~ContactListObserver() = default;
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    virtual void BeginInsert(int row) = 0;
    virtual void EndInsert() = 0;
    virtual void BeginRemove(int row) = 0;
    virtual void EndRemove() = 0;
    // The row goes before `destination`, a row number of the list before the move.
    virtual void BeginMove(int row, int destination) = 0;
    virtual void EndMove() = 0;
    virtual void RowChanged(int row) = 0;
};

// The contact list's rows: contacts in list order and, under the selected contact, the
// option row. Updates move, insert or remove one row and keep the selection on its contact.
class ContactListState {
  public:
    enum class RowKind { Contact, Option };

    explicit ContactListState(ContactListObserver* observer = nullptr) : observer_(observer) {}

    // All rows anew from the contacts in the collection's order (a handle that comes again is
    // left out); nothing is selected after.
    void Rebuild(const ContactList& contacts);
    // One contact changed: `leftOut` when the contact is no longer shown (kept out of the
    // list or gone). Does nothing before the first rebuild.
    void Update(const Contact& contact, bool leftOut);
    // A click on `row`: selects the contact there, or deselects it when it is the selected
    // one. The option row and rows outside the list are ignored.
    void Select(int row);
    void Deselect();

    bool built() const { return built_; }
    int RowCount() const;
    RowKind KindOf(int row) const;
    // The contact of a contact row; for the option row, the selected contact.
    const ContactRow& ContactAt(int row) const;
    int SelectedRow() const;  // -1 for none
    int OptionRow() const;    // -1 while nothing is selected
    std::optional<std::string> SelectedHandle() const;
    // The row of a contact, or -1.
    int RowOf(const std::string& handle) const;
    size_t ContactCount() const { return contacts_.size(); }

  private:
    int IndexOf(const std::string& handle) const;
    int DisplayRow(int index) const;
    int IndexOfRow(int row) const;
    // Where a row goes among contacts_ (after its equals).
    int InsertionIndex(const ContactRow& row) const;
    void RemoveOptionRow();
    void InsertOptionRow();
    void MoveContact(int from, ContactRow row);

    ContactListObserver* observer_;
    // Kept by pointer, so that a move shifts pointers rather than whole rows; found by
    // handle, then by a binary search of the sorted list.
    std::vector<std::unique_ptr<ContactRow>> contacts_;
    std::unordered_map<std::string, const ContactRow*> byHandle_;
    int selected_ = -1;  // index into contacts_
    bool built_ = false;
};

}  // namespace velto::ui
