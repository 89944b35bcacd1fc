#pragma once

#include <QColor>
#include <QPalette>

namespace velto::ui {

// The windows' own colours. Under a light desktop theme they are the program's fixed light
// look; under a dark one (the palette's base colour is dark) they come from the palette,
// so that the palette's light text never lands on a white the program painted. The brand's
// blue frame and the header's white title stay as they are: they sit on the artwork.
bool IsDark(const QPalette& palette);
// A window's body, where its rows and texts sit.
QColor BodyColour(const QPalette& palette);
// A band set off from the body: footers, the options' page column.
QColor BandColour(const QPalette& palette);
// Every second row of a list.
QColor AlternateRowColour(const QPalette& palette);
QColor TextColour(const QPalette& palette);
// Notes and times, quieter than the text.
QColor QuietTextColour(const QPalette& palette);
QColor LinkColour(const QPalette& palette);
QColor VisitedLinkColour(const QPalette& palette);
// A link under the mouse, and a warning: one orange and one red, readable on both.
QColor HoverLinkColour();
QColor WarningColour();
QColor FrameColour();

// A dark desktop palette (as dark themes have it), for pictures and tests of the windows.
QPalette DarkPalette();

}  // namespace velto::ui
