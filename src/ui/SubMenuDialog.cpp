#include "ui/SubMenuDialog.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/Application.h"
#include "ui/Artwork.h"
#include "ui/Colours.h"

namespace velto::ui {

namespace {

CxSkinButton* FooterButton(QWidget* parent, const QPixmap& band) {
    auto* button = new CxSkinButton(parent);
    CxSkinButton::Skin skin;
    // One picture for both buttons, cut from the footer band: its middle with a border.
    const qreal ratio = band.devicePixelRatio();
    const QSizeF size(SubMenuDialog::kButtonWidth, 44);
    const QRectF middle(0, 10, SubMenuDialog::kButtonWidth, 24);
    QPixmap face = band.scaled((size * ratio).toSize())
                       .copy(QRectF(middle.topLeft() * ratio, middle.size() * ratio).toRect());
    face.setDevicePixelRatio(ratio);
    skin.normal = face;
    QPixmap pressed = face;
    {
        QPainter painter(&pressed);
        painter.fillRect(pressed.rect(), QColor(0, 0, 0, 24));
    }
    skin.pressed = pressed;
    button->SetSkin(std::move(skin));
    button->resize(SubMenuDialog::kButtonWidth, 24);
    // The face is the light footer artwork under any theme: its text stays dark.
    QPalette palette = button->palette();
    palette.setColor(QPalette::WindowText, QColor(30, 30, 30));
    palette.setColor(QPalette::ButtonText, QColor(30, 30, 30));
    button->setPalette(palette);
    return button;
}

}  // namespace

SubMenuDialog::SubMenuDialog(app::Application& app, QWidget* parent, int height)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog),
      app_(app),
      header_(ArtworkPixmap(QStringLiteral("header"), QSize(64, 38))),
      footerBand_(ArtworkPixmap(QStringLiteral("footer"))) {
    headerHeight_ = qRound(header_.deviceIndependentSize().height());
    footerHeight_ = qRound(footerBand_.deviceIndependentSize().height());
    setFixedSize(kWidth, height);
    banner_ = new BannerPanel(app.clock(), app.workers(), app.urlOpener(), this);
    title_ = new QLabel(this);
    title_->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    footer_ = new QLabel(this);
    footer_->setStyleSheet(QStringLiteral("background: %1;").arg(BandColour(palette()).name()));
    footer_->hide();
    ok_ = FooterButton(this, footerBand_);
    cancel_ = FooterButton(this, footerBand_);
    connect(ok_, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);
    translated_ = std::make_unique<TranslatedWindow>(app, [this] { RefreshTexts(); });
    Place();
}

SubMenuDialog::~SubMenuDialog() = default;

QRect SubMenuDialog::contentArea() const {
    return QRect(1, headerHeight_, width() - 2, height() - headerHeight_ - footerHeight_);
}

void SubMenuDialog::Place() {
    banner_->setGeometry(contentArea());
    title_->move(16, 8);
    title_->resize(width() - 32, headerHeight_ - 12);
    footer_->setGeometry(8, height() - footerHeight_ + 4, width() - 2 * kButtonWidth - 40, 20);
    const int y = height() - footerHeight_ + (footerHeight_ - cancel_->height()) / 2;
    cancel_->move(width() - 10 - kButtonWidth, y);
    ok_->move(width() - 10 - 2 * kButtonWidth - kButtonGap, y);
}

void SubMenuDialog::Navigate() {
    if (!pageAddress_.empty()) {
        banner_->Navigate(pageAddress_);
    }
}

void SubMenuDialog::resizeEvent(QResizeEvent* event) {
    Place();
    QDialog::resizeEvent(event);
}

void SubMenuDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), BodyColour(palette()));
    painter.drawTiledPixmap(QRect(0, 0, width(), headerHeight_), header_);
    painter.drawTiledPixmap(QRect(0, height() - footerHeight_, width(), footerHeight_),
                            footerBand_);
    painter.setPen(FrameColour());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SubMenuDialog::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && IsCaption(pos)) {
        dragOffset_ = pos;
    }
    QDialog::mousePressEvent(event);
}

void SubMenuDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_) {
        move(event->globalPosition().toPoint() - *dragOffset_);
    }
    QDialog::mouseMoveEvent(event);
}

void SubMenuDialog::mouseReleaseEvent(QMouseEvent* event) {
    dragOffset_.reset();
    QDialog::mouseReleaseEvent(event);
}

}  // namespace velto::ui
