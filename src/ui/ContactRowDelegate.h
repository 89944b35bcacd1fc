#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>
#include <array>

namespace velto::ui {

// Paints the contact list's rows: 24 pixels high, alternating backgrounds, the status icon
// and the name; the option row shows the settings button and the tone as a link.
class ContactRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
  public:
    static constexpr int kRowHeight = 24;
    static constexpr int kIconSize = 16;
    static constexpr int kTextLeft = 28;
    // The settings button of the option row, in row coordinates.
    static QRect ButtonRect(const QRect& row);
    static QColor Background(int row, bool selectedOrOption, const QPalette& palette);

    explicit ContactRowDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    std::array<QPixmap, 7> statusIcons_;
    QPixmap settingsIcon_;
};

}  // namespace velto::ui
