#include "ui/RowScrollArea.h"

#include <QVBoxLayout>

namespace velto::ui {

RowScrollArea::RowScrollArea(QWidget* parent)
    : QScrollArea(parent), rows_(new QWidget), layout_(new QVBoxLayout(rows_)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->addStretch();
    setWidget(rows_);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The rows sit on white, like the rest of a dialog's body.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    viewport()->setAutoFillBackground(true);
    viewport()->setPalette(white);
    rows_->setAutoFillBackground(true);
    rows_->setPalette(white);
}

void RowScrollArea::AddRow(QWidget* row) {
    layout_->insertWidget(layout_->count() - 1, row);
}

QColor RowScrollArea::RowColour(int index) {
    return index % 2 == 1 ? QColor(242, 240, 243) : QColor(Qt::white);
}

void RowScrollArea::PaintRow(QWidget* row, int index) {
    row->setAutoFillBackground(true);
    QPalette palette = row->palette();
    palette.setColor(QPalette::Window, RowColour(index));
    row->setPalette(palette);
}

}  // namespace velto::ui
