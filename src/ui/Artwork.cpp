#include "ui/Artwork.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>

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

QPixmap InkedPixmap(const QPixmap& picture, const QColor& ink) {
    // Ink is dark and grey: low lightness, hardly any colour (the blues and oranges of
    // the artwork are far from it, so they are left as drawn).
    constexpr int kMaxLightness = 90;
    constexpr int kMaxChroma = 24;
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = row[x];
            const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            if (qAlpha(pixel) > 0 && (high + low) / 2 <= kMaxLightness &&
                high - low <= kMaxChroma) {
                row[x] = qRgba(ink.red(), ink.green(), ink.blue(), qAlpha(pixel));
            }
        }
    }
    QPixmap inked = QPixmap::fromImage(std::move(image));
    inked.setDevicePixelRatio(picture.devicePixelRatio());
    return inked;
}

}  // namespace velto::ui
