#include "ui/IndicatorOutlineStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include "ui/Colours.h"

namespace velto::ui {

void IndicatorOutlineStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                          QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    const bool radio = element == PE_IndicatorRadioButton;
    if ((!radio && element != PE_IndicatorCheckBox) || !IsDark(option->palette)) {
        return;
    }
    QColor ink = option->palette.color(QPalette::Text);
    ink.setAlphaF(option->state & State_Enabled ? 0.6 : 0.3);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(ink, 1.0));
    painter->setBrush(Qt::NoBrush);
    const QRectF frame = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    if (radio) {
        painter->drawEllipse(frame);
    } else {
        painter->drawRoundedRect(frame, 1.5, 1.5);
    }
    painter->restore();
}

void IndicatorOutlineStyle::InstallOverFusion() {
    QStyle* current = QApplication::style();
    if (qobject_cast<IndicatorOutlineStyle*>(current) != nullptr ||
        current->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0) {
        return;
    }
    QApplication::setStyle(new IndicatorOutlineStyle(QStyleFactory::create(current->name())));
}

}  // namespace velto::ui
