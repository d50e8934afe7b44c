#include "caliper/CaliperCursors.h"

#include <QPainter>
#include <QPixmap>

namespace {

// A 32 x 32 cross whose hot spot is its centre, with a glyph of the tool in the lower right.
QCursor MakeCursor(bool circle)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawLine(15, 2, 15, 28);
    painter.drawLine(2, 15, 28, 15);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(15, 2, 15, 28);
    painter.drawLine(2, 15, 28, 15);
    if (circle)
        painter.drawEllipse(20, 20, 9, 9);
    else
        painter.drawLine(20, 29, 29, 20);
    painter.end();
    return QCursor(pixmap, 15, 15);
}

}  // namespace

const QCursor& caliper::LineCursor()
{
    static const QCursor cursor = MakeCursor(false);
    return cursor;
}

const QCursor& caliper::CircleCursor()
{
    static const QCursor cursor = MakeCursor(true);
    return cursor;
}
