#include "ui/RowScrollArea.h"

#include <QVBoxLayout>

#include "ui/Colours.h"

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
    // The rows sit on the dialog's body colour.
    QPalette body = palette();
    body.setColor(QPalette::Window, BodyColour(body));
    viewport()->setAutoFillBackground(true);
    viewport()->setPalette(body);
    rows_->setAutoFillBackground(true);
    rows_->setPalette(body);
}

void RowScrollArea::AddRow(QWidget* row) {
    layout_->insertWidget(layout_->count() - 1, row);
}

QColor RowScrollArea::RowColour(int index, const QPalette& palette) {
    return index % 2 == 1 ? AlternateRowColour(palette) : BodyColour(palette);
}

void RowScrollArea::PaintRow(QWidget* row, int index) {
    row->setAutoFillBackground(true);
    QPalette palette = row->palette();
    palette.setColor(QPalette::Window, RowColour(index, palette));
    row->setPalette(palette);
}

}  // namespace velto::ui
