#include "ui/CPictureEx.h"

#include <QPainter>

#include "ui/Artwork.h"

namespace velto::ui {

CPictureEx::CPictureEx(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    connect(&timer_, &QTimer::timeout, this, &CPictureEx::Step);
}

bool CPictureEx::Load(const QString& name, int delayMs) {
    frames_.clear();
    current_ = 0;
    delayMs_ = delayMs;
    for (int i = 0; HasArtwork(name + QLatin1Char('_') + QString::number(i)); ++i) {
        frames_.push_back(ArtworkPixmap(name + QLatin1Char('_') + QString::number(i)));
    }
    if (!frames_.empty()) {
        resize(frames_.front().deviceIndependentSize().toSize());
    }
    update();
    return !frames_.empty();
}

void CPictureEx::Draw() {
    playing_ = true;
    if (isVisible() && frames_.size() > 1) {
        timer_.start(delayMs_);
    }
}

void CPictureEx::Stop() {
    playing_ = false;
    timer_.stop();
}

void CPictureEx::Step() {
    if (!frames_.empty()) {
        current_ = (current_ + 1) % static_cast<int>(frames_.size());
        update();
    }
}

QSize CPictureEx::sizeHint() const {
    return frames_.empty() ? QSize(16, 16) : frames_.front().deviceIndependentSize().toSize();
}

void CPictureEx::showEvent(QShowEvent* event) {
    if (playing_ && frames_.size() > 1) {
        timer_.start(delayMs_);
    }
    QWidget::showEvent(event);
}

void CPictureEx::hideEvent(QHideEvent* event) {
    timer_.stop();
    QWidget::hideEvent(event);
}

void CPictureEx::paintEvent(QPaintEvent*) {
    if (frames_.empty()) {
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, frames_[static_cast<size_t>(current_)]);
}

}  // namespace velto::ui
