#include "ui/DarkOutlineStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include "ui/Colours.h"

namespace velto::ui {

void DarkOutlineStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    const bool radio = element == PE_IndicatorRadioButton;
    const bool box = element == PE_IndicatorCheckBox;
    // A field with the keyboard has Fusion's own highlighted frame.
    const bool field = element == PE_PanelLineEdit && !(option->state & State_HasFocus);
    if ((!radio && !box && !field) || !IsDark(option->palette)) {
        return;
    }
    const bool enabled = option->state & State_Enabled;
    QColor ink = option->palette.color(QPalette::Text);
    // A field's frame stays quieter than a box's: its text says what it is.
    ink.setAlphaF(field ? (enabled ? 0.5 : 0.25) : (enabled ? 0.6 : 0.3));
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

void DarkOutlineStyle::InstallOverFusion() {
    QStyle* current = QApplication::style();
    if (qobject_cast<DarkOutlineStyle*>(current) != nullptr ||
        current->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0) {
        return;
    }
    QApplication::setStyle(new DarkOutlineStyle(QStyleFactory::create(current->name())));
}

}  // namespace velto::ui
