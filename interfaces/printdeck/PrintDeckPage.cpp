#include "printdeck/PrintDeckPage.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace printdeck {

QRect PictureRect(QSize page, int titleHeight, QSize picture)
{
    const int roomHeight = page.height() - titleHeight;
    if (picture.isEmpty() || page.width() <= 0 || roomHeight <= 0)
        return QRect();
    // In 64 bits: a printer's page width times a picture's height passes 2^31.
    int64_t width = page.width();
    int64_t height = width * picture.height() / picture.width();
    if (height > roomHeight) {
        height = roomHeight;
        width = std::max<int64_t>(1, height * picture.width() / picture.height());
    }
    height = std::max<int64_t>(1, height);
    const int left = static_cast<int>((page.width() - width) / 2);
    return QRect(left, titleHeight, static_cast<int>(width), static_cast<int>(height));
}

bool PaintPicturePage(QPagedPaintDevice& device, const QString& title, const QImage& picture)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QSize page(device.width(), device.height());
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(12);
    painter.setFont(font);
    const int titleHeight = painter.fontMetrics().height() * 2;
    painter.drawText(QRect(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     title);
    const QRect target = PictureRect(page, titleHeight, picture.size());
    if (!target.isEmpty())
        painter.drawImage(target, picture);
    return painter.end();
}

}  // namespace printdeck
