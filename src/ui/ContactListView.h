#pragma once

#include <QListView>

namespace velto::ui {

// The view of the contact rows: rows of one height, scrolled by the pixel, with no selection
// or editing of its own. A change of rows repaints the rows shown and nothing more: QListView
// would lay out every row again for each change, 10,000 rows at a time, though no row ever
// changes its size.
class ContactListView : public QListView {
    Q_OBJECT
  public:
    explicit ContactListView(QWidget* parent = nullptr);

  protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
};

}  // namespace velto::ui
