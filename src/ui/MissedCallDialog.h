#pragma once

#include <QTimer>
#include <functional>
#include <vector>

#include "ui/CxSkinButton.h"
#include "ui/MessagePlayer.h"
#include "ui/RowScrollArea.h"
#include "ui/SubMenuDialog.h"
#include "ui/model/MissedCallRows.h"

class QSlider;

namespace velto::ui {

class ContactEditor;
class PartnerList;

// The calls the user did not take, newest first: the caller's status and name, the time
// (and "busy" for a call refused unanswered), and for a call with a voice message a player:
// play / pause, a position bar with the time played and the whole time, and "save as". The
// caller of a message not yet heard is shown in bold until it plays. Every row can be
// deleted, after a question.
class MissedCallDialog final : public SubMenuDialog {
    Q_OBJECT
  public:
    static constexpr int kHeight = 440;
    static constexpr int kRowHeight = 40;
    static constexpr int kMessageRowHeight = 66;
    // How often the position of a playing message is shown anew, in milliseconds.
    static constexpr int kPositionRefreshMs = 200;
    // Asked for the file a message is saved as (suggested name given); empty: not saved.
    using SavePathAsker = std::function<QString(const QString& suggested)>;

    // With `editor` (the SIP backend), a caller who is not a contact can be added.
    explicit MissedCallDialog(app::Application& app, QWidget* parent = nullptr,
                              ContactEditor* editor = nullptr);
    ~MissedCallDialog() override;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const MissedCallRow& row(int index) const { return rows_[index].row; }
    QWidget* rowWidget(int index) const { return rows_[index].widget; }
    // The play button of `index`: plays the voice message (from where it was paused), or
    // pauses it while it plays. A message played is marked heard, in the list and its file.
    void PressPlay(int index);
    // The position bar of `index` was moved to `ms`.
    void SeekTo(int index, uint32_t ms);
    // Asks for a file and saves the row's voice message there as a WAV file; false when
    // nothing was saved (the user gave no name, or the copy failed: a message box says so).
    bool PressSaveAs(int index);
    void SetSavePathAsker(SavePathAsker asker) { askSavePath_ = std::move(asker); }
    // Asks, and on Yes deletes the row's record (and its voice file).
    void PressDelete(int index);
    // The contact dialog for the row's caller; null when the row has no "add" button.
    QWidget* PressAddContact(int index);
    // The row's "add to contacts" button, or null (a known or anonymous caller).
    QAbstractButton* addButton(int index) const { return rows_[index].add; }
    // The row whose message plays, or -1.
    int PlayingRow() const;
    // The row's player, or null (no voice message).
    QAbstractButton* playButton(int index) const { return rows_[index].play; }
    QSlider* positionBar(int index) const { return rows_[index].bar; }
    QLabel* playTimes(int index) const { return rows_[index].times; }
    QLabel* nameLabel(int index) const { return rows_[index].name; }
    QLabel* busyLabel(int index) const { return rows_[index].busy; }
    // Shows the position of the message that plays (the timer's work).
    void ShowPositions();
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
        CxSkinButton* play = nullptr;
        CxSkinButton* remove = nullptr;
        QLabel* name = nullptr;
        QAbstractButton* add = nullptr;
        CxSkinButton* save = nullptr;
        QSlider* bar = nullptr;
        QLabel* times = nullptr;
        QLabel* busy = nullptr;
    };

    void Fill();
    QWidget* MakeRowWidget(Row& row);
    QLayout* MakeCallerLine(Row& row, QWidget* widget);
    QLayout* MakePlayerLine(Row& row, QWidget* widget);
    void ConnectRow(Row& row);
    // The row's player shows its message's state and position.
    void ShowPlayer(int id);
    void ShowPosition(const Row& row);
    void ShowHeard(Row& row);
    void MarkHeard(Row& row);
    void PaintRows();
    int IndexOfId(int id) const;
    void Layout();
    // A contact was added, changed or removed: the rows of that caller show it.
    void ContactsChanged();

    ContactEditor* editor_;
    RowScrollArea* scroll_;
    std::vector<Row> rows_;
    int nextId_ = 1;
    MessagePlayer player_;
    QTimer positions_;
    SavePathAsker askSavePath_;
};

}  // namespace velto::ui
