#include "ui/HandCursorStatic.h"

#include <QMouseEvent>

namespace velto::ui {

HandCursorStatic::HandCursorStatic(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
}

void HandCursorStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace velto::ui
