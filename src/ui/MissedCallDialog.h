#pragma once

#include <vector>

#include "ui/RowScrollArea.h"
#include "ui/SoundPreview.h"
#include "ui/SubMenuDialog.h"
#include "ui/model/MissedCallRows.h"

namespace velto::ui {

class ContactEditor;
class PartnerList;

// The calls the user did not take, newest first: the caller's status and name, the time,
// and for a call with a voice message a play / stop button; every row can be deleted.
class MissedCallDialog final : public SubMenuDialog {
    Q_OBJECT
  public:
    static constexpr int kHeight = 440;
    static constexpr int kRowHeight = 40;

    // With `editor` (the SIP backend), a caller who is not a contact can be added.
    explicit MissedCallDialog(app::Application& app, QWidget* parent = nullptr,
                              ContactEditor* editor = nullptr);
    ~MissedCallDialog() override;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const MissedCallRow& row(int index) const { return rows_[index].row; }
    QWidget* rowWidget(int index) const { return rows_[index].widget; }
    // The play button of `index`: starts the voice message, or stops it while it plays.
    void PressPlay(int index);
    // Asks, and on Yes deletes the row's record (and its voice file).
    void PressDelete(int index);
    // The contact dialog for the row's caller; null when the row has no "add" button.
    QWidget* PressAddContact(int index);
    // The row's "add to contacts" button, or null (a known or anonymous caller).
    QAbstractButton* addButton(int index) const { return rows_[index].add; }
    // The row whose message plays, or -1.
    int PlayingRow() const;
    // The caller's status changed: the status icon of each of their rows follows.
    void UpdateCallerStatus(const QString& handle, int icon);
    // From now on the rows' icons follow the statuses `list` receives.
    void FollowStatuses(PartnerList* list);

  protected:
    void RefreshTexts() override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Row {
        MissedCallRow row;
        int id;
        QWidget* widget;
        QLabel* icon;
        CxSkinButton* play;
        CxSkinButton* remove;
        QLabel* name = nullptr;
        QAbstractButton* add = nullptr;
    };

    void Fill();
    QWidget* MakeRowWidget(Row& row);
    void PaintRows();
    int IndexOfId(int id) const;
    void Layout();
    // A contact was added, changed or removed: the rows of that caller show it.
    void ContactsChanged();

    ContactEditor* editor_;
    RowScrollArea* scroll_;
    std::vector<Row> rows_;
    int nextId_ = 1;
    SoundPreview preview_;
};

}  // namespace velto::ui
