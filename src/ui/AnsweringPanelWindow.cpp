#include "ui/AnsweringPanelWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "calls/AnsweringPanel.h"
#include "ui/Artwork.h"

namespace velto::ui {

namespace {

constexpr int kTextFlags = Qt::TextWordWrap | Qt::AlignCenter;

CxSkinButton* RoundButton(QWidget* parent, const QString& name) {
    auto* button = new CxSkinButton(parent);
    CxSkinButton::Skin skin;
    skin.normal = ArtworkPixmap(name, QSize(44, 40));
    skin.hover = ArtworkPixmap(name + QStringLiteral("_hi"), QSize(44, 40));
    skin.pressed = skin.hover;
    skin.mask = ArtworkImage(QStringLiteral("btn_round_mask"), QSize(44, 40));
    button->SetSkin(std::move(skin));
    return button;
}

}  // namespace

QString AnsweringPanelWindow::FittedText(const QFontMetrics& metrics, const QString& text) {
    const QRect box(0, 0, AnsweringPanelWindow::kMaxTextWidth, 1000);
    if (metrics.boundingRect(box, kTextFlags, text).height() <=
            AnsweringPanelWindow::kMaxTextHeight &&
        metrics.boundingRect(box, kTextFlags, text).width() <=
            AnsweringPanelWindow::kMaxTextWidth) {
        return text;
    }
    return metrics.elidedText(text, Qt::ElideMiddle, 2 * AnsweringPanelWindow::kMaxTextWidth - 40);
}

int AnsweringPanelWindow::TextWidth(const QFontMetrics& metrics, const QString& text) {
    int width = kStartWidth;
    for (;;) {
        const QRect measured =
            metrics.boundingRect(QRect(0, 0, width, kMaxTextHeight), kTextFlags, text);
        if (measured.height() <= kMaxTextHeight || width >= kMaxTextWidth) {
            // A word longer than the box sticks out of it: the text is that wide.
            return std::min(std::max(width, measured.width()), kMaxTextWidth);
        }
        width += kStep;
    }
}

QRegion AnsweringPanelWindow::Shape(int width) {
    QRegion shape(0, 0, kHeight, kHeight, QRegion::Ellipse);
    shape += QRegion(width - kHeight, 0, kHeight, kHeight, QRegion::Ellipse);
    shape += QRegion(25, 0, width - 50, kHeight);
    return shape;
}

AnsweringPanelWindow::AnsweringPanelWindow(QString text, std::function<void(int)> press)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      text_(std::move(text)),
      back_(ArtworkPixmap(QStringLiteral("panel_back"))),
      buttons_(ArtworkPixmap(QStringLiteral("panel_buttons"))) {
    setWindowTitle(QStringLiteral("Velto"));
    setObjectName(QStringLiteral("panel"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    shown_ = FittedText(fontMetrics(), text_);
    textWidth_ = TextWidth(fontMetrics(), shown_);
    const int width = textWidth_ + 190;
    setFixedSize(width, kHeight);
    setMask(Shape(width));
    decline_ = RoundButton(this, QStringLiteral("btn_decline"));
    take_ = RoundButton(this, QStringLiteral("btn_take"));
    decline_->move(textWidth_ + 55, 6);
    take_->move(textWidth_ + 114, 6);
    connect(take_, &QAbstractButton::clicked, this,
            [press] { press(calls::AnsweringPanelModel::kTakeButton); });
    connect(decline_, &QAbstractButton::clicked, this,
            [press] { press(calls::AnsweringPanelModel::kDeclineButton); });
    Centre();
}

void AnsweringPanelWindow::NameButtons(const QString& take, const QString& decline) {
    take_->setAccessibleName(take);
    take_->setToolTip(take);
    decline_->setAccessibleName(decline);
    decline_->setToolTip(decline);
}

void AnsweringPanelWindow::Centre() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2) + QPoint(1, 1));
    }
}

void AnsweringPanelWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int split = width() - 150;
    painter.drawTiledPixmap(QRect(0, 0, split, kHeight), back_);
    painter.drawTiledPixmap(QRect(split, 0, 150, kHeight), buttons_);
    painter.fillRect(QRect(split - 1, 0, 2, kHeight), QColor(49, 50, 55));
    painter.setPen(Qt::white);
    painter.drawText(QRect(25, 0, textWidth_, kHeight), kTextFlags, shown_);
}

}  // namespace velto::ui
