#include "ui/ContactListView.h"

#include <QScrollBar>

#include "ui/ContactRowDelegate.h"

namespace velto::ui {

ContactListView::ContactListView(QWidget* parent) : QListView(parent) {
    // Every row is 24 pixels: the view then lays out 10,000 rows without asking each.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalScrollBar()->setSingleStep(ContactRowDelegate::kRowHeight);
}

void ContactListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                  const QList<int>& roles) {
    // QListView's own handling adds a layout of every row; the item view's own asks for the
    // place of every changed row. A few rows show: repainting them all is cheaper.
    if (topLeft == bottomRight) {
        QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    } else {
        viewport()->update();
    }
}

}  // namespace velto::ui
