#include "thumbstrip/ThumbnailLoader.h"

#include "qvcodec/ImageFileBytes.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

QImage LoadThumbnail(const QString& path, const QSize& box)
{
    // A folder may hold anything under an image's name: what the decoder is given is checked first, as the codec
    // checks what it opens.
    QByteArray bytes;
    if (!ReadImageFileBytes(QFile::encodeName(path).toStdString(), bytes))
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (!IsDecodableImageFile(bytes, reader.format().toStdString(), 0, ImageFileCheck::Structure))
        return {};
    const QSize full = reader.size();
    if (full.isValid() && !full.isEmpty()) {
        QSize fitted = full;
        if (full.width() > box.width() || full.height() > box.height())
            fitted = full.scaled(box, Qt::KeepAspectRatio);
        reader.setScaledSize(fitted.expandedTo(QSize(1, 1)));
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    // A reader that ignores the scaled size (some formats) still hands back a small image.
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage BrokenThumbnail(const QSize& box)
{
    QImage tile(box, QImage::Format_RGB32);
    tile.fill(QColor(200, 200, 200));
    QPainter painter(&tile);
    painter.setPen(QPen(QColor(200, 0, 0), 3));
    const QRect cross = QRect(QPoint(0, 0), box).adjusted(box.width() / 4, box.height() / 4, -box.width() / 4,
                                                          -box.height() / 4);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.topRight(), cross.bottomLeft());
    return tile;
}

QImage PendingThumbnail(const QSize& box)
{
    QImage tile(box, QImage::Format_RGB32);
    tile.fill(QColor(240, 240, 240));
    return tile;
}
