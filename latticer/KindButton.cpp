#include "latticer/KindButton.h"

#include <QPainter>

namespace {
const QColor kDarkEdge(0x14, 0x14, 0x14);
const QColor kLightEdge(Qt::white);
}  // namespace

KindButton::KindButton(const QIcon& icon, QWidget* parent) : QAbstractButton(parent)
{
    setIcon(icon);
    setCheckable(true);
    setFixedSize(kSide, kSide);
    setFocusPolicy(Qt::NoFocus);
}

void KindButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, icon().pixmap(kSide, kSide));
    const int last = kSide - 1;
    // Light from the top left: a pressed-in frame is dark there.
    const QColor& topLeft = isChecked() ? kDarkEdge : kLightEdge;
    const QColor& bottomRight = isChecked() ? kLightEdge : kDarkEdge;
    painter.setPen(topLeft);
    painter.drawLine(0, last, 0, 0);
    painter.drawLine(0, 0, last, 0);
    painter.setPen(bottomRight);
    painter.drawLine(last, 0, last, last);
    painter.drawLine(last, last, 0, last);
}
