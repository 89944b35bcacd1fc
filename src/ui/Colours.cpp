#include "ui/Colours.h"

namespace velto::ui {

bool IsDark(const QPalette& palette) {
    return palette.color(QPalette::Base).lightness() < 128;
}

QColor BodyColour(const QPalette& palette) {
    return IsDark(palette) ? palette.color(QPalette::Base) : QColor(Qt::white);
}

QColor BandColour(const QPalette& palette) {
    return IsDark(palette) ? palette.color(QPalette::Window) : QColor(243, 243, 243);
}

QColor AlternateRowColour(const QPalette& palette) {
    return IsDark(palette) ? palette.color(QPalette::AlternateBase) : QColor(242, 240, 243);
}

QColor TextColour(const QPalette& palette) {
    return IsDark(palette) ? palette.color(QPalette::Text) : QColor(30, 30, 30);
}

QColor QuietTextColour(const QPalette& palette) {
    return IsDark(palette) ? palette.color(QPalette::PlaceholderText) : QColor(0x55, 0x55, 0x55);
}

QColor LinkColour(const QPalette& palette) {
    // The palette's link blue is too dark on a dark body in some themes: lightened there.
    return IsDark(palette) ? palette.color(QPalette::Link).lighter(150) : QColor(0x1d, 0x6f, 0xb8);
}

QColor VisitedLinkColour(const QPalette& palette) {
    return IsDark(palette) ? palette.color(QPalette::LinkVisited).lighter(170)
                           : QColor(0x6a, 0x3d, 0x9a);
}

QColor HoverLinkColour() {
    return {0xf0, 0x8a, 0x24};
}

QColor WarningColour() {
    return {0xd0, 0x34, 0x2c};
}

QColor FrameColour() {
    return {0x15, 0x5a, 0x96};
}

QPalette DarkPalette() {
    QPalette palette;
    const QColor window(0x35, 0x35, 0x35);
    const QColor base(0x2a, 0x2a, 0x2a);
    const QColor text(0xee, 0xee, 0xee);
    for (const auto role : {QPalette::Window, QPalette::Button}) {
        palette.setColor(role, window);
    }
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                            QPalette::BrightText, QPalette::ToolTipText}) {
        palette.setColor(role, text);
    }
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    palette.setColor(QPalette::Link, QColor(0x2a, 0x82, 0xda));
    palette.setColor(QPalette::LinkVisited, QColor(0x8e, 0x6a, 0xc8));
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return palette;
}

}  // namespace velto::ui
