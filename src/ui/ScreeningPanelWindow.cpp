#include "ui/ScreeningPanelWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>
#include <optional>

#include "calls/AnsweringPanel.h"
#include "ui/AnsweringPanelWindow.h"
#include "ui/Artwork.h"

namespace velto::ui {
namespace {

constexpr int kWrappedText = Qt::TextWordWrap | Qt::AlignCenter;
// The button area's margins: before the first button, and before the round right end.
constexpr int kAreaLead = 14;
constexpr int kAreaTail = 24;

QPushButton* PillButton(QWidget* parent, const QString& label, const char* colour,
                        const char* checkedColour) {
    auto* button = new QPushButton(label, parent);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: white; font-weight: bold; border: 1px solid %1;"
                       " border-radius: 15px; background: %1; padding: 0 12px; }"
                       "QPushButton:hover { border: 2px solid white; }"
                       "QPushButton:checked { background: %2; border: 2px solid white; }")
            .arg(QLatin1String(colour), QLatin1String(checkedColour)));
    const int width = std::max(ScreeningPanelWindow::kMinButtonWidth,
                               button->fontMetrics().horizontalAdvance(label) + 28);
    button->setFixedSize(width, ScreeningPanelWindow::kButtonHeight);
    return button;
}

// One line where it fits (a line broken in two reads badly when the name is short, and
// scripts without blanks break mid-word), else nothing: the ringing panel's two lines.
std::optional<int> OneLineWidth(const QFontMetrics& metrics, const QString& text) {
    const int advance = metrics.horizontalAdvance(text);
    if (advance > AnsweringPanelWindow::kMaxTextWidth) {
        return std::nullopt;
    }
    return std::max(advance + 4, AnsweringPanelWindow::kStartWidth);
}

}  // namespace

ScreeningPanelWindow::ScreeningPanelWindow(QString text, const QString& listen,
                                           const QString& pickUp, std::function<void(int)> press)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      back_(ArtworkPixmap(QStringLiteral("panel_back"))),
      buttons_(ArtworkPixmap(QStringLiteral("panel_buttons"))) {
    setWindowTitle(QStringLiteral("Velto"));
    setObjectName(QStringLiteral("screening"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    shown_ = AnsweringPanelWindow::FittedText(fontMetrics(), text);
    const std::optional<int> oneLine = OneLineWidth(fontMetrics(), shown_);
    textFlags_ = oneLine ? Qt::AlignCenter | Qt::TextSingleLine : kWrappedText;
    textWidth_ = oneLine ? *oneLine : AnsweringPanelWindow::TextWidth(fontMetrics(), shown_);
    listen_ = PillButton(this, listen, "#4a6a8f", "#2f7fd0");
    listen_->setCheckable(true);
    pickUp_ = PillButton(this, pickUp, "#2fa84f", "#2fa84f");
    buttonArea_ = kAreaLead + listen_->width() + kButtonGap + pickUp_->width() + kAreaTail;
    const int width = 25 + textWidth_ + 15 + buttonArea_;
    const int height = AnsweringPanelWindow::kHeight;
    setFixedSize(width, height);
    setMask(AnsweringPanelWindow::Shape(width));
    const int top = (height - kButtonHeight) / 2;
    listen_->move(width - buttonArea_ + kAreaLead, top);
    pickUp_->move(listen_->x() + listen_->width() + kButtonGap, top);
    connect(listen_, &QAbstractButton::clicked, this,
            [press] { press(calls::AnsweringPanelModel::kListenButton); });
    connect(pickUp_, &QAbstractButton::clicked, this,
            [press] { press(calls::AnsweringPanelModel::kPickUpButton); });
    Centre();
}

void ScreeningPanelWindow::SetListening(bool on) {
    const QSignalBlocker quiet(listen_);
    listen_->setChecked(on);
}

void ScreeningPanelWindow::Centre() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2) + QPoint(1, 1));
    }
}

void ScreeningPanelWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int height = AnsweringPanelWindow::kHeight;
    const int split = width() - buttonArea_;
    painter.drawTiledPixmap(QRect(0, 0, split, height), back_);
    painter.drawTiledPixmap(QRect(split, 0, buttonArea_, height), buttons_);
    painter.fillRect(QRect(split - 1, 0, 2, height), QColor(49, 50, 55));
    painter.setPen(Qt::white);
    painter.drawText(QRect(25, 0, textWidth_, height), textFlags_, shown_);
}

}  // namespace velto::ui
