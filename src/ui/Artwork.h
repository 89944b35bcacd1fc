#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace velto::ui {

// The program's own pictures (data/artwork, carried as Qt resources), rendered at the
// size asked for. `name` is the file name without ".svg"; an unknown name gives a null
// picture. Images are in plain pixels (masks, regions); pixmaps are drawn for the screen's
// device-pixel ratio, sharp at 2x, and keep the size asked for in layout units.
QImage ArtworkImage(const QString& name, QSize size);
QPixmap ArtworkPixmap(const QString& name, QSize size);
QPixmap ArtworkPixmap(const QString& name, QSize size, qreal ratio);
// The picture at the size it was drawn at.
QPixmap ArtworkPixmap(const QString& name);
bool HasArtwork(const QString& name);
// `picture` with its near-black grey ink (the artwork's #31323a) drawn in `ink` instead,
// edges and transparency kept; coloured parts stay. Icons on a dark palette take its text
// colour so that they stay visible.
QPixmap InkedPixmap(const QPixmap& picture, const QColor& ink);

}  // namespace velto::ui
