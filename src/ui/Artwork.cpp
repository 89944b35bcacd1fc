#include "ui/Artwork.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

namespace velto::ui {

namespace {

QString PathOf(const QString& name) {
    return QStringLiteral(":/artwork/") + name + QStringLiteral(".svg");
}

}  // namespace

bool HasArtwork(const QString& name) {
    return QFile::exists(PathOf(name));
}

QImage ArtworkImage(const QString& name, QSize size) {
    QSvgRenderer renderer(PathOf(name));
    if (!renderer.isValid()) {
        return {};
    }
    if (!size.isValid()) {
        size = renderer.defaultSize();
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QPixmap ArtworkPixmap(const QString& name, QSize size, qreal ratio) {
    if (!size.isValid()) {
        size = QSvgRenderer(PathOf(name)).defaultSize();
    }
    QImage image = ArtworkImage(name, (QSizeF(size) * ratio).toSize());
    image.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(std::move(image));
}

QPixmap ArtworkPixmap(const QString& name, QSize size) {
    // The highest ratio of the screens: a window moved to the sharper one stays sharp.
    return ArtworkPixmap(name, size, qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0);
}

QPixmap ArtworkPixmap(const QString& name) {
    return ArtworkPixmap(name, QSize());
}

}  // namespace velto::ui
