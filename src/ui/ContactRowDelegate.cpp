#include "ui/ContactRowDelegate.h"

#include <QPainter>

#include "ui/Artwork.h"
#include "ui/Colours.h"
#include "ui/ContactListModel.h"
#include "ui/RowScrollArea.h"

namespace velto::ui {

QRect ContactRowDelegate::ButtonRect(const QRect& row) {
    return {row.left() + kTextLeft, row.top() + (kRowHeight - 18) / 2, 18, 18};
}

QColor ContactRowDelegate::Background(int row, bool selectedOrOption, const QPalette& palette) {
    if (selectedOrOption) {
        // The light blue of the selection; on a dark body the palette's highlight, dimmed.
        return IsDark(palette) ? palette.color(QPalette::Highlight).darker(160)
                               : QColor(221, 234, 247);
    }
    return RowScrollArea::RowColour(row, palette);
}

ContactRowDelegate::ContactRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {
    // Made once: painting 10,000 rows must not render artwork.
    for (size_t i = 0; i < statusIcons_.size(); ++i) {
        statusIcons_[i] =
            ArtworkPixmap(QStringLiteral("status_%1").arg(i), QSize(kIconSize, kIconSize));
    }
    settingsIcon_ = ArtworkPixmap(QStringLiteral("btn_ringback"), QSize(18, 18));
}

void ContactRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const bool isOption = index.data(ContactListModel::IsOptionRole).toBool();
    const bool selected = index.data(ContactListModel::SelectedRole).toBool();
    const QRect rect = option.rect;
    painter->save();
    painter->fillRect(rect, Background(index.row(), isOption || selected, option.palette));
    const QString text = index.data(Qt::DisplayRole).toString();
    if (isOption) {
        const QRect button = ButtonRect(rect);
        painter->drawPixmap(button.topLeft(), settingsIcon_);
        QFont font = option.font;
        font.setUnderline(true);
        painter->setFont(font);
        painter->setPen(LinkColour(option.palette));
        const QRect textRect(button.right() + 8, rect.top(), rect.right() - button.right() - 14,
                             rect.height());
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                          QFontMetrics(font).elidedText(text, Qt::ElideRight, textRect.width()));
    } else {
        const int icon = index.data(ContactListModel::StatusIconRole).toInt();
        painter->drawPixmap(rect.left() + 6, rect.top() + (rect.height() - kIconSize) / 2,
                            statusIcons_[static_cast<size_t>(icon)]);
        QFont font = option.font;
        font.setBold(selected);
        painter->setFont(font);
        painter->setPen(TextColour(option.palette));
        const QRect textRect(rect.left() + kTextLeft, rect.top(), rect.width() - kTextLeft - 6,
                             rect.height());
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                          QFontMetrics(font).elidedText(text, Qt::ElideRight, textRect.width()));
    }
    painter->restore();
}

QSize ContactRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), kRowHeight};
}

}  // namespace velto::ui
