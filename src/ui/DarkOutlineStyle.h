#pragma once

#include <QProxyStyle>

namespace velto::ui {

// Qt's Fusion style draws the frames of check boxes, radio buttons and text fields a shade
// darker than the window: on a dark palette an unticked box or an empty field all but
// disappears. Over Fusion, this draws those frames again in the text's colour, softened,
// when the palette is dark; other styles and light palettes are left as they draw.
class DarkOutlineStyle final : public QProxyStyle {
    Q_OBJECT
  public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // Puts the style in front of the application's when that is Fusion (once).
    static void InstallOverFusion();
};

}  // namespace velto::ui
