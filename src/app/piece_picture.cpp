#include "piece_picture.h"

#include <QBitmap>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

namespace morvantide {

namespace {

// Pictures decoded by DecodePicturesAhead(), each taken out when it is first used.
QHash<QString, QImage>& DecodedAhead() {
    static QHash<QString, QImage> images;
    return images;
}

// Every picture is a PNG: read with the built-in reader only, so that Qt does not load each
// image-format plugin (and libjpeg) to ask whether it would read the file instead.
QImage ReadPicture(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

void DecodePicturesAhead(const QStringList& paths) {
    for (const QString& path : paths)
        DecodedAhead().insert(path, ReadPicture(path));
}

QPixmap LoadPicture(const QString& path, bool keyed) {
    static QHash<QString, QPixmap> cache;
    const QString key = path + (keyed ? QStringLiteral("#keyed") : QString());
    if (const auto found = cache.constFind(key); found != cache.constEnd())
        return *found;

    qreal ratio = 1.0;
    QString chosen = path;
    if (qGuiApp->devicePixelRatio() > 1.0) {
        const QFileInfo info(path);
        const QString doubled = info.path() + QLatin1Char('/') + info.completeBaseName() +
                                QStringLiteral("@2x.") + info.suffix();
        if (QFileInfo::exists(doubled)) {
            chosen = doubled;
            ratio = 2.0;
        }
    }
    QImage image =
        DecodedAhead().contains(chosen) ? DecodedAhead().take(chosen) : ReadPicture(chosen);
    QPixmap pixmap;
    if (!image.isNull()) {
        if (keyed) {
            const QRgb keyColour = image.pixel(0, image.height() - 1);
            image = image.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < image.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    if ((line[x] & RGB_MASK) == (keyColour & RGB_MASK))
                        line[x] = 0;
            }
        }
        pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(ratio);
    }
    cache.insert(key, pixmap);
    return pixmap;
}

PiecePicture::PiecePicture(const QString& picturePath, Slot slot, QWidget* parent)
    : QWidget(parent), picture_(LoadPicture(picturePath, true)), slot_(slot) {}

void PiecePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void PiecePicture::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->position().toPoint());
}

void PiecePicture::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->buttons(), event->modifiers(), event->position().toPoint());
}

void PiecePicture::mouseReleaseEvent(QMouseEvent*) {
    emit released();
}

} // namespace morvantide
