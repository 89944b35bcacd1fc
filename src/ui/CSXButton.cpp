#include "ui/CSXButton.h"

#include "ui/Artwork.h"

namespace velto::ui {

CSXButton::CSXButton(QWidget* parent) : QPushButton(parent) {}

void CSXButton::SetIcon(const QString& artwork, int width, int height) {
    setIcon(QIcon(ArtworkPixmap(artwork, QSize(width, height))));
    setIconSize(QSize(width, height));
}

}  // namespace velto::ui
