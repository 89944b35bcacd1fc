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

}  // namespace velto::ui
