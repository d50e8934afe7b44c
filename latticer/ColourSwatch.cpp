#include "latticer/ColourSwatch.h"

#include <QPainter>

ColourSwatch::ColourSwatch(QWidget* parent) : QAbstractButton(parent)
{
}

void ColourSwatch::SetColour(COLORREF colour)
{
    m_colour = colour;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, QColor(GetRValue(m_colour), GetGValue(m_colour), GetBValue(m_colour)));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(area.topRight(), area.bottomRight());
    painter.drawLine(area.bottomLeft(), area.bottomRight());
}
