#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace velto::ui {

// The program's own pictures (data/artwork, carried as Qt resources), rendered at the
// size asked for. `name` is the file name without ".svg"; an unknown name gives a null
// picture.
QImage ArtworkImage(const QString& name, QSize size);
QPixmap ArtworkPixmap(const QString& name, QSize size);
// The picture at the size it was drawn at.
QPixmap ArtworkPixmap(const QString& name);
bool HasArtwork(const QString& name);

}  // namespace velto::ui
