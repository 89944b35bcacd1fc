#pragma once

#include <QScrollArea>
#include <vector>

#include "ui/SoundPreview.h"
#include "ui/SubMenuDialog.h"
#include "ui/model/MissedCallRows.h"

class QVBoxLayout;

namespace velto::ui {

// The calls the user did not take, newest first: the caller's status and name, the time,
// and for a call with a voice message a play / stop button; every row can be deleted.
class MissedCallDialog final : public SubMenuDialog {
    Q_OBJECT
  public:
    static constexpr int kHeight = 440;
    static constexpr int kRowHeight = 40;

    explicit MissedCallDialog(app::Application& app, QWidget* parent = nullptr);
    ~MissedCallDialog() override;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const MissedCallRow& row(int index) const { return rows_[index].row; }
    QWidget* rowWidget(int index) const { return rows_[index].widget; }
    // The play button of `index`: starts the voice message, or stops it while it plays.
    void PressPlay(int index);
    // Asks, and on Yes deletes the row's record (and its voice file).
    void PressDelete(int index);
    // The row whose message plays, or -1.
    int PlayingRow() const;

  protected:
    void RefreshTexts() override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Row {
        MissedCallRow row;
        int id;
        QWidget* widget;
        CxSkinButton* play;
        CxSkinButton* remove;
    };

    void Fill();
    QWidget* MakeRowWidget(Row& row, int index);
    void PaintRows();
    int IndexOfId(int id) const;
    void Layout();

    QScrollArea* scroll_;
    QWidget* rowsWidget_;
    QVBoxLayout* rowsLayout_;
    std::vector<Row> rows_;
    int nextId_ = 1;
    SoundPreview preview_;
};

}  // namespace velto::ui
