#include "ui/BalancedWrap.h"

namespace velto::ui {

namespace {

int WrappedHeight(const QFontMetrics& metrics, const QString& text, int width) {
    return metrics
        .boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::AlignCenter, text)
        .height();
}

}  // namespace

int BalancedWrapWidth(const QFontMetrics& metrics, const QString& text, int maxWidth) {
    const int height = WrappedHeight(metrics, text, maxWidth);
    // The height only grows as the width shrinks: the narrowest width that keeps it.
    int low = 1;
    int high = maxWidth;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (WrappedHeight(metrics, text, middle) <= height) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return high;
}

QString FitLines(const QFontMetrics& metrics, const QString& text, int width, int lines) {
    const int high = metrics.lineSpacing() * lines;
    // A word wider than the line is not broken by the label: it does not fit either.
    auto fits = [&](const QString& candidate) {
        const QRect used =
            metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, candidate);
        return used.height() <= high && used.width() <= width;
    };
    if (width <= 0 || fits(text)) {
        return text;
    }
    qsizetype low = 0;
    qsizetype top = text.size();
    while (low < top) {
        const qsizetype mid = (low + top + 1) / 2;
        if (fits(text.left(mid) + QChar(0x2026))) {
            low = mid;
        } else {
            top = mid - 1;
        }
    }
    return text.left(low) + QChar(0x2026);
}

}  // namespace velto::ui
