#include "panels/CZoomNavigatorWnd.h"

#include "view/CImageDispWnd.h"

#include "gdi/CDC.h"
#include "qvimage/CQvImage.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

const QColor kFaceColour(240, 240, 240);

// The window's image smoothed to `size`. An image more than twice that size is first sampled down to twice it,
// straight from its pixels: a full-size picture of a large image would cost more memory than the image itself.
QImage FittedPicture(CImageDispWnd& window, QSize size)
{
    CQvImage* image = window.Image();
    const double step = std::min(1.0, 2.0 * std::max(static_cast<double>(size.width()) / image->GetWidth(),
                                                     static_cast<double>(size.height()) / image->GetHeight()));
    if (step >= 1.0)
        return window.RenderToImage(0x01).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QSize sampledSize(std::max(1, static_cast<int>(std::ceil(image->GetWidth() * step))),
                            std::max(1, static_cast<int>(std::ceil(image->GetHeight() * step))));
    QImage sampled(sampledSize, QImage::Format_RGB32);
    sampled.fill(Qt::black);
    {
        CDC dc(sampled);
        window.DrawImage(&dc, image, CRect(0, 0, sampledSize.width(), sampledSize.height()),
                         static_cast<float>(step));
    }
    return sampled.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

CZoomNavigatorWnd::CZoomNavigatorWnd(QWidget* parent) : QWidget(parent)
{
    setObjectName("100");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(40, 40);
}

void CZoomNavigatorWnd::Attach(CImageDispWnd* window)
{
    m_window = window;
    m_dragging = false;
    Rebuild(true);
}

CRect CZoomNavigatorWnd::FittedRect() const
{
    const CQvImage* image = m_window ? m_window->Image() : nullptr;
    if (!image || image->IsEmpty() || width() <= 0 || height() <= 0)
        return CRect();
    const double fit =
        std::min(static_cast<double>(width()) / image->GetWidth(), static_cast<double>(height()) / image->GetHeight());
    const int w = std::max(1, static_cast<int>(image->GetWidth() * fit));
    const int h = std::max(1, static_cast<int>(image->GetHeight() * fit));
    return CRect(CPoint((width() - w) / 2, (height() - h) / 2), CSize(w, h));
}

double CZoomNavigatorWnd::Scale() const
{
    const CRect fitted = FittedRect();
    const CQvImage* image = m_window ? m_window->Image() : nullptr;
    if (fitted.IsRectEmpty() || !image || m_window->GetRatio() <= 0.0f)
        return 0.0;
    return fitted.Width() / (static_cast<double>(m_window->GetRatio()) * image->GetWidth());
}

CRect CZoomNavigatorWnd::VisibleFrame() const
{
    const double scale = Scale();
    if (scale <= 0.0)
        return CRect();
    const CRect fitted = FittedRect();
    const CPoint scroll = m_window->GetScrollPosition();
    const CRect client = m_window->GetClientRect();
    const CQvImage* image = m_window->Image();
    const double zoomedW = image->GetWidth() * static_cast<double>(m_window->GetRatio());
    const double zoomedH = image->GetHeight() * static_cast<double>(m_window->GetRatio());
    // Along an axis where the whole zoomed image fits the view, the frame is the whole picture.
    const int w = zoomedW <= client.Width() ? fitted.Width() : static_cast<int>(client.Width() * scale);
    const int h = zoomedH <= client.Height() ? fitted.Height() : static_cast<int>(client.Height() * scale);
    const int x = zoomedW <= client.Width() ? fitted.left : fitted.left + static_cast<int>(scroll.x * scale);
    const int y = zoomedH <= client.Height() ? fitted.top : fitted.top + static_cast<int>(scroll.y * scale);
    return CRect(CPoint(x, y), CSize(w, h));
}

void CZoomNavigatorWnd::Rebuild(bool force)
{
    const CRect fitted = FittedRect();
    if (fitted.IsRectEmpty()) {
        m_picture = QImage();
    } else if (force || m_picture.size() != QSize(fitted.Width(), fitted.Height())) {
        std::lock_guard lock(DisplayFrameLock());
        m_picture = FittedPicture(*m_window, QSize(fitted.Width(), fitted.Height()));
    }
    update();
}

QImage CZoomNavigatorWnd::Render() const
{
    QImage picture(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    picture.fill(kFaceColour);
    const CRect fitted = FittedRect();
    if (fitted.IsRectEmpty() || m_picture.isNull())
        return picture;
    QPainter painter(&picture);
    const QRect area(fitted.left, fitted.top, fitted.Width(), fitted.Height());
    painter.fillRect(area, Qt::white);
    painter.drawImage(area.topLeft(), m_picture);
    painter.setPen(Qt::black);
    painter.drawRect(area.adjusted(-1, -1, 0, 0));
    const CRect frame = VisibleFrame();
    painter.setPen(QColor(255, 0, 0));
    const QRect outer(frame.left, frame.top, frame.Width() - 1, frame.Height() - 1);
    painter.drawRect(outer);
    painter.drawRect(outer.adjusted(1, 1, -1, -1));
    return picture;
}

void CZoomNavigatorWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Render());
}

void CZoomNavigatorWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Rebuild();
}

void CZoomNavigatorWnd::mousePressEvent(QMouseEvent* event)
{
    if (!m_window || event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_dragFrom = event->position().toPoint();
}

void CZoomNavigatorWnd::mouseMoveEvent(QMouseEvent* event)
{
    const double scale = Scale();
    if (!m_dragging || !m_window || scale <= 0.0 || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = event->position().toPoint();
    const QPoint move = at - m_dragFrom;
    // Window pixels of the view, rounded half away from zero.
    const int dx = static_cast<int>(std::lround(move.x() / scale));
    const int dy = static_cast<int>(std::lround(move.y() / scale));
    m_window->Scroll(dx, dy);
    m_dragFrom = at;
    repaint();
}

void CZoomNavigatorWnd::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
}
