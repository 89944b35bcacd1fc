#include "ui/CURLLinkButton.h"

#include <QPainter>
#include <QUrl>

#include "ui/Colours.h"

namespace velto::ui {

CURLLinkButton::CURLLinkButton(platform::UrlOpener& opener, int id, QWidget* parent)
    : QAbstractButton(parent), opener_(opener), id_(id) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, &CURLLinkButton::Follow);
}

bool CURLLinkButton::IsAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid()) {
        return false;
    }
    if (scheme == QLatin1String("mailto")) {
        return !url.path().isEmpty();
    }
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

void CURLLinkButton::Follow() {
    const QString address = prefix_ + text();
    if (!IsAddress(address) || !opener_.Open(address.toStdString())) {
        emit linkClicked(id_);
    }
    visited_ = true;
    update();
}

QSize CURLLinkButton::sizeHint() const {
    return fontMetrics().size(Qt::TextSingleLine, text()) + QSize(4, 4);
}

void CURLLinkButton::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CURLLinkButton::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CURLLinkButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont font = painter.font();
    font.setUnderline(true);
    painter.setFont(font);
    painter.setPen(hover_     ? HoverLinkColour()
                   : visited_ ? VisitedLinkColour(palette())
                              : LinkColour(palette()));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
}

}  // namespace velto::ui
