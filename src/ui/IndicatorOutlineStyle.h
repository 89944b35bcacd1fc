#pragma once

#include <QProxyStyle>

namespace velto::ui {

// Qt's Fusion style draws the frame of a check box and a radio button a shade darker than
// the window: on a dark palette an unticked one all but disappears. Over Fusion, this draws
// that frame again in the text's colour, softened, when the palette is dark; other styles
// and light palettes are left as they draw.
class IndicatorOutlineStyle final : public QProxyStyle {
    Q_OBJECT
  public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // Puts the style in front of the application's when that is Fusion (once).
    static void InstallOverFusion();
};

}  // namespace velto::ui
