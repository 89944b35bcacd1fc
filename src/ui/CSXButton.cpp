#include "ui/CSXButton.h"

#include <QEvent>

#include "ui/Artwork.h"
#include "ui/Colours.h"

namespace velto::ui {

CSXButton::CSXButton(QWidget* parent) : QPushButton(parent) {}

void CSXButton::SetIcon(const QString& artwork, int width, int height) {
    artwork_ = artwork;
    iconSize_ = QSize(width, height);
    setIconSize(iconSize_);
    PaintIcon();
}

void CSXButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !artwork_.isEmpty()) {
        PaintIcon();
    }
}

void CSXButton::PaintIcon() {
    QPixmap picture = ArtworkPixmap(artwork_, iconSize_);
    // The artwork is drawn for a light background.
    if (IsDark(palette())) {
        picture = InkedPixmap(picture, palette().color(QPalette::ButtonText));
    }
    setIcon(QIcon(picture));
}

}  // namespace velto::ui
