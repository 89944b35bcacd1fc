#include "ui/model/ContactListState.h"

#include <algorithm>

namespace velto::ui {
namespace {

class NoObserver final : public ContactListObserver {
  public:
    void BeginReset() override {}
    void EndReset() override {}
    void BeginInsert(int) override {}
    void EndInsert() override {}
    void BeginRemove(int) override {}
    void EndRemove() override {}
    void BeginMove(int, int) override {}
    void EndMove() override {}
    void RowChanged(int) override {}
};

ContactListObserver& Or(ContactListObserver* observer) {
    static NoObserver none;
    return observer ? *observer : none;
}

bool PointedBefore(const std::unique_ptr<ContactRow>& a, const std::unique_ptr<ContactRow>& b) {
    return ContactBefore(*a, *b);
}

}  // namespace

void ContactListState::Rebuild(const ContactList& contacts) {
    ContactListObserver& observer = Or(observer_);
    observer.BeginReset();
    selected_ = -1;
    contacts_.clear();
    byHandle_.clear();
    contacts_.reserve(contacts.size());
    for (const Contact& contact : contacts) {
        auto row = std::make_unique<ContactRow>(MakeContactRow(contact));
        if (byHandle_.emplace(row->handle, row.get()).second) {
            contacts_.push_back(std::move(row));
        }
    }
    // Stable, so that equal names keep the collection's order.
    std::stable_sort(contacts_.begin(), contacts_.end(), PointedBefore);
    built_ = true;
    observer.EndReset();
}

void ContactListState::Update(const Contact& contact, bool leftOut) {
    if (!built_) {
        return;
    }
    ContactListObserver& observer = Or(observer_);
    const int index = IndexOf(contact.handle);
    if (index < 0) {
        if (leftOut) {
            return;
        }
        ContactRow row = MakeContactRow(contact);
        const int at = InsertionIndex(row);
        const int selected = selected_ >= 0 && at <= selected_ ? selected_ + 1 : selected_;
        const int displayRow = at + (selected >= 0 && at > selected ? 1 : 0);
        observer.BeginInsert(displayRow);
        auto added = std::make_unique<ContactRow>(std::move(row));
        byHandle_.emplace(added->handle, added.get());
        contacts_.insert(contacts_.begin() + at, std::move(added));
        selected_ = selected;
        observer.EndInsert();
        return;
    }
    if (leftOut) {
        if (index == selected_) {
            Deselect();
        }
        observer.BeginRemove(DisplayRow(index));
        byHandle_.erase(contact.handle);
        contacts_.erase(contacts_.begin() + index);
        if (selected_ > index) {
            --selected_;
        }
        observer.EndRemove();
        return;
    }
    MoveContact(index, MakeContactRow(contact));
}

void ContactListState::MoveContact(int from, ContactRow row) {
    ContactListObserver& observer = Or(observer_);
    // Where the row goes among the other contacts: its place is kept while it still fits
    // between its neighbours, so that an unchanged name and status never moves it.
    const bool fitsBefore = from == 0 || !ContactBefore(row, *contacts_[from - 1]);
    const bool fitsAfter =
        from + 1 == static_cast<int>(contacts_.size()) || !ContactBefore(*contacts_[from + 1], row);
    if (fitsBefore && fitsAfter) {
        *contacts_[from] = std::move(row);
        observer.RowChanged(DisplayRow(from));
        if (from == selected_) {
            observer.RowChanged(DisplayRow(from) + 1);
        }
        return;
    }
    const bool wasSelected = from == selected_;
    if (wasSelected) {
        RemoveOptionRow();
    }
    // The list is still sorted, so its insertion point, less the row itself when that lies
    // before it, is the place among the other contacts.
    int to = InsertionIndex(row);
    if (to > from) {
        --to;
    }

    int selected = selected_;
    if (selected >= 0) {
        if (from < selected && to >= selected) {
            --selected;
        } else if (from > selected && to <= selected) {
            ++selected;
        }
    }
    const int oldRow = DisplayRow(from);
    const int newRow = to + (selected >= 0 && to > selected ? 1 : 0);
    observer.BeginMove(oldRow, newRow > oldRow ? newRow + 1 : newRow);
    // Only the rows between the old and the new place shift, by one.
    *contacts_[from] = std::move(row);
    const auto at = [this](int index) { return contacts_.begin() + index; };
    if (to < from) {
        std::rotate(at(to), at(from), at(from + 1));
    } else {
        std::rotate(at(from), at(from + 1), at(to + 1));
    }
    selected_ = selected;
    observer.EndMove();
    if (wasSelected) {
        selected_ = to;
        InsertOptionRow();
    }
}

void ContactListState::Select(int row) {
    if (row < 0 || row >= RowCount() || KindOf(row) == RowKind::Option) {
        return;
    }
    const int index = IndexOfRow(row);
    if (index == selected_) {
        Deselect();
        return;
    }
    Deselect();
    selected_ = index;
    InsertOptionRow();
}

void ContactListState::Deselect() {
    if (selected_ < 0) {
        return;
    }
    RemoveOptionRow();
}

void ContactListState::RemoveOptionRow() {
    ContactListObserver& observer = Or(observer_);
    const int selectedRow = selected_;
    observer.BeginRemove(selectedRow + 1);
    selected_ = -1;
    observer.EndRemove();
    observer.RowChanged(selectedRow);
}

void ContactListState::InsertOptionRow() {
    ContactListObserver& observer = Or(observer_);
    observer.RowChanged(selected_);
    // The option row is counted from here on, so announce it as a row that is not there yet.
    const int selected = selected_;
    selected_ = -1;
    observer.BeginInsert(selected + 1);
    selected_ = selected;
    observer.EndInsert();
}

int ContactListState::RowCount() const {
    return static_cast<int>(contacts_.size()) + (selected_ >= 0 ? 1 : 0);
}

ContactListState::RowKind ContactListState::KindOf(int row) const {
    return selected_ >= 0 && row == selected_ + 1 ? RowKind::Option : RowKind::Contact;
}

const ContactRow& ContactListState::ContactAt(int row) const {
    if (KindOf(row) == RowKind::Option) {
        return *contacts_[selected_];
    }
    return *contacts_[IndexOfRow(row)];
}

int ContactListState::SelectedRow() const {
    return selected_;
}

int ContactListState::OptionRow() const {
    return selected_ >= 0 ? selected_ + 1 : -1;
}

std::optional<std::string> ContactListState::SelectedHandle() const {
    if (selected_ < 0) {
        return std::nullopt;
    }
    return contacts_[selected_]->handle;
}

int ContactListState::RowOf(const std::string& handle) const {
    const int index = IndexOf(handle);
    return index < 0 ? -1 : DisplayRow(index);
}

int ContactListState::IndexOf(const std::string& handle) const {
    const auto found = byHandle_.find(handle);
    if (found == byHandle_.end()) {
        return -1;
    }
    // The list is sorted: the row is among those equal to it.
    const ContactRow& row = *found->second;
    auto it = std::lower_bound(contacts_.begin(), contacts_.end(), row,
                               [](const std::unique_ptr<ContactRow>& a, const ContactRow& b) {
                                   return ContactBefore(*a, b);
                               });
    for (; it != contacts_.end() && !ContactBefore(row, **it); ++it) {
        if (it->get() == &row) {
            return static_cast<int>(it - contacts_.begin());
        }
    }
    return -1;
}

int ContactListState::DisplayRow(int index) const {
    return index + (selected_ >= 0 && index > selected_ ? 1 : 0);
}

int ContactListState::IndexOfRow(int row) const {
    return row - (selected_ >= 0 && row > selected_ + 1 ? 1 : 0);
}

int ContactListState::InsertionIndex(const ContactRow& row) const {
    return static_cast<int>(
        std::upper_bound(contacts_.begin(), contacts_.end(), row,
                         [](const ContactRow& a, const std::unique_ptr<ContactRow>& b) {
                             return ContactBefore(a, *b);
                         }) -
        contacts_.begin());
}

}  // namespace velto::ui
