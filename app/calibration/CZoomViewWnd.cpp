#include "calibration/CZoomViewWnd.h"

#include "view/CImageDispWnd.h"

#include "gobjects/CQvGObjectContainer.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

CZoomViewWnd::CZoomViewWnd(QWidget* parent) : QWidget(parent)
{
    setObjectName("101");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CZoomViewWnd::Attach(CImageDispWnd* window)
{
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    m_objectCount = -1;
    m_source = QImage();
    if (m_window) {
        m_window->installEventFilter(this);
        const CSize size = m_window->GetCanvasSize();
        m_centre = CPoint(size.cx / 2, size.cy / 2);
    }
    SyncObjects();
}

void CZoomViewWnd::SyncObjects()
{
    const CQvGObjectContainer* objects = m_window ? m_window->Document().objects : nullptr;
    const int count = objects ? objects->GetMeasurementObjectCount() : 0;
    if (count != m_objectCount || m_source.isNull()) {
        m_objectCount = count;
        UpdateFromImage();
        return;
    }
    update();
}

void CZoomViewWnd::UpdateFromImage()
{
    m_source = m_window ? m_window->RenderToImage(0x01 | 0x02 | 0x04) : QImage();
    update();
}

void CZoomViewWnd::SetCentre(CPoint imagePoint)
{
    if (imagePoint == m_centre)
        return;
    m_centre = imagePoint;
    update();
}

void CZoomViewWnd::SetFactor(int factor)
{
    m_factor = std::clamp(factor, 1, 32);
    update();
}

void CZoomViewWnd::Paint(QPainter& painter) const
{
    painter.fillRect(rect(), Qt::black);
    if (m_source.isNull())
        return;
    // Each image pixel becomes a factor x factor block; the centre pixel's block sits at the widget's centre.
    const int cx = width() / 2 - m_factor / 2;
    const int cy = height() / 2 - m_factor / 2;
    const QRectF target(cx - m_centre.x * m_factor, cy - m_centre.y * m_factor,
                        static_cast<qreal>(m_source.width()) * m_factor, static_cast<qreal>(m_source.height()) * m_factor);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Only the part of the image that falls into the widget is scaled.
    const int firstX = std::max(0, m_centre.x - cx / m_factor - 1);
    const int firstY = std::max(0, m_centre.y - cy / m_factor - 1);
    const int lastX = std::min(m_source.width(), m_centre.x + (width() - cx) / m_factor + 2);
    const int lastY = std::min(m_source.height(), m_centre.y + (height() - cy) / m_factor + 2);
    if (lastX > firstX && lastY > firstY) {
        const QRect sourcePart(firstX, firstY, lastX - firstX, lastY - firstY);
        const QRectF targetPart(target.x() + firstX * m_factor, target.y() + firstY * m_factor,
                                sourcePart.width() * m_factor, sourcePart.height() * m_factor);
        painter.drawImage(targetPart, m_source, sourcePart);
    }
    painter.setPen(QPen(Qt::red, 1));
    const int mx = cx + m_factor / 2;
    const int my = cy + m_factor / 2;
    painter.drawLine(mx - 2 * m_factor - 4, my, mx - m_factor, my);
    painter.drawLine(mx + m_factor, my, mx + 2 * m_factor + 4, my);
    painter.drawLine(mx, my - 2 * m_factor - 4, mx, my - m_factor);
    painter.drawLine(mx, my + m_factor, mx, my + 2 * m_factor + 4);
}

QImage CZoomViewWnd::Render() const
{
    QImage picture(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    QPainter painter(&picture);
    Paint(painter);
    return picture;
}

void CZoomViewWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Paint(painter);
}

bool CZoomViewWnd::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: a window being destroyed still sends events, and is no display window by then.
    if (event->type() == QEvent::MouseMove && watched == m_window) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        SetCentre(m_window->GetRealPoint(CPoint(at.x(), at.y()), 1));
        SyncObjects();
    }
    return QWidget::eventFilter(watched, event);
}
