#include "ui/CxSkinButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <vector>

namespace velto::ui {

CxSkinButton::CxSkinButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    // Reached by Tab (a click does not take the focus from where the user types).
    setFocusPolicy(Qt::TabFocus);
}

QRegion CxSkinButton::RegionFromMask(const QImage& mask, QRgb transparent) {
    const QImage image = mask.convertToFormat(QImage::Format_RGB32);
    std::vector<QRect> runs;
    runs.reserve(40);
    const QRgb clear = transparent | 0xFF000000u;
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && row[x] == clear) {
                ++x;
            }
            const int start = x;
            while (x < image.width() && row[x] != clear) {
                ++x;
            }
            if (x > start) {
                if (runs.size() == runs.capacity()) {
                    runs.reserve(runs.size() + 40);
                }
                runs.emplace_back(start, y, x - start, 1);
            }
        }
    }
    QRegion region;
    for (const QRect& run : runs) {
        region += run;
    }
    return region;
}

void CxSkinButton::SetSkin(Skin skin) {
    skin_ = std::move(skin);
    if (!skin_.mask.isNull()) {
        region_ = RegionFromMask(skin_.mask, skin_.transparent);
        setMask(region_);
    } else {
        region_ = QRegion();
        clearMask();
    }
    if (!skin_.normal.isNull()) {
        resize(skin_.normal.deviceIndependentSize().toSize());
    }
    update();
}

void CxSkinButton::SetNormalImage(const QPixmap& normal) {
    skin_.normal = normal;
    update();
}

QSize CxSkinButton::sizeHint() const {
    return skin_.normal.isNull() ? QSize(16, 16) : skin_.normal.deviceIndependentSize().toSize();
}

bool CxSkinButton::hitButton(const QPoint& pos) const {
    return region_.isEmpty() ? rect().contains(pos) : region_.contains(pos);
}

void CxSkinButton::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CxSkinButton::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CxSkinButton::focusOutEvent(QFocusEvent* event) {
    hover_ = false;
    update();
    QAbstractButton::focusOutEvent(event);
}

void CxSkinButton::paintEvent(QPaintEvent*) {
    const QPixmap* image = &skin_.normal;
    const auto use = [&image](const QPixmap& candidate) {
        if (!candidate.isNull()) {
            image = &candidate;
        }
    };
    if (!isEnabled()) {
        use(skin_.disabled);
    } else if (isDown() || isChecked()) {
        use(skin_.pressed);
    } else if (hover_) {
        use(skin_.hover);
    } else if (hasFocus()) {
        use(skin_.focus);
    }
    QPainter painter(this);
    if (!image->isNull()) {
        painter.drawPixmap(rect(), *image);
    }
    if (!text().isEmpty()) {
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
    // Without a focus picture of its own, the keyboard's focus shows as the style's frame.
    if (hasFocus() && skin_.focus.isNull()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    }
}

}  // namespace velto::ui
