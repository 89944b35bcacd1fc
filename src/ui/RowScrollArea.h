#pragma once

#include <QColor>
#include <QScrollArea>

class QVBoxLayout;

namespace velto::ui {

// A vertically scrolling column of rows on white, stacked without gaps, as the dialogs'
// lists show them. Rows go into rowsLayout(); a stretch keeps them at the top.
class RowScrollArea final : public QScrollArea {
    Q_OBJECT
  public:
    explicit RowScrollArea(QWidget* parent);

    QWidget* rows() const { return rows_; }
    QVBoxLayout* rowsLayout() const { return layout_; }

    // Adds `row` above the stretch.
    void AddRow(QWidget* row);
    // Paints `row` as the `index`th row: alternating backgrounds.
    static void PaintRow(QWidget* row, int index);
    static QColor RowColour(int index, const QPalette& palette);

  private:
    QWidget* rows_;
    QVBoxLayout* layout_;
};

}  // namespace velto::ui
