// The one page the report module prints for a picture: its title on top, the picture below fitted to the page's
// width (and shrunk further when it would run off the page's foot), keeping its aspect.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPagedPaintDevice;

namespace printdeck {

// Where a picture of `picture` pixels goes on a page of `page` device pixels under a title band `titleHeight` high:
// the page's width and the height in proportion, narrowed (and centred) when that would pass the page's foot;
// empty for an empty picture or a page with no room left.
QRect PictureRect(QSize page, int titleHeight, QSize picture);

// Paints the page; false when the device cannot be painted on.
bool PaintPicturePage(QPagedPaintDevice& device, const QString& title, const QImage& picture);

}  // namespace printdeck
