#include "ui/ContactListModel.h"

namespace velto::ui {
namespace {

// What a change of a row touches. Never its size (every row is 24 pixels): a change without
// roles would make a list view lay out all its rows again.
const QList<int> kRowRoles = {Qt::DisplayRole,
                              Qt::ToolTipRole,
                              ContactListModel::IsOptionRole,
                              ContactListModel::StatusIconRole,
                              ContactListModel::SelectedRole,
                              ContactListModel::HandleRole};

}  // namespace

ContactListModel::ContactListModel(QObject* parent) : QAbstractListModel(parent) {}

void ContactListModel::SetOptionText(OptionRowText text) {
    optionText_ = std::move(text);
    const int row = state_.OptionRow();
    if (row >= 0) {
        emit dataChanged(index(row), index(row), kRowRoles);
    }
}

int ContactListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : state_.RowCount();
}

QVariant ContactListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= state_.RowCount()) {
        return {};
    }
    const int row = index.row();
    const bool isOption = state_.KindOf(row) == ContactListState::RowKind::Option;
    const ContactRow& contact = state_.ContactAt(row);
    switch (role) {
        case Qt::DisplayRole:
            return isOption ? QString::fromStdU16String(optionText_.link)
                            : QString::fromStdU16String(contact.name);
        case Qt::ToolTipRole:
            // The name too: a long one is cut short in its row.
            return isOption ? QString::fromStdU16String(optionText_.tooltip)
                            : QString::fromStdU16String(contact.name);
        case IsOptionRole:
            return isOption;
        case StatusIconRole:
            return StatusIconIndex(contact.status);
        case SelectedRole:
            return !isOption && row == state_.SelectedRow();
        case HandleRole:
            return QString::fromStdString(contact.handle);
        default:
            return {};
    }
}

void ContactListModel::BeginReset() {
    beginResetModel();
}
void ContactListModel::EndReset() {
    endResetModel();
}
void ContactListModel::BeginInsert(int row) {
    beginInsertRows({}, row, row);
}
void ContactListModel::EndInsert() {
    endInsertRows();
}
void ContactListModel::BeginRemove(int row) {
    beginRemoveRows({}, row, row);
}
void ContactListModel::EndRemove() {
    endRemoveRows();
}
// A move is told as a change of the rows it shifts: the view then repaints what it shows of
// them, where a move of rows would lay out all 10,000 again. Nothing keeps indexes of rows.
void ContactListModel::BeginMove(int row, int destination) {
    moved_ = destination > row ? std::pair(row, destination - 1) : std::pair(destination, row);
}
void ContactListModel::EndMove() {
    emit dataChanged(index(moved_.first), index(moved_.second), kRowRoles);
}
void ContactListModel::RowChanged(int row) {
    emit dataChanged(index(row), index(row), kRowRoles);
}

}  // namespace velto::ui
