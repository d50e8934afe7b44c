#include "panels/CZoomViewWnd.h"

#include "view/CImageDispWnd.h"

#include "gdi/CDC.h"
#include "gdi/CPen.h"
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "qvimage/CQvImage.h"

#include <QPainter>

#include <algorithm>
#include <mutex>

namespace {

constexpr COLORREF kFaceColour = RGB(240, 240, 240);

bool IsIndexedModel(int model)
{
    return (model >= QV_INDEX1 && model <= QV_INDEX7) || model == QV_INDEX8;
}

}  // namespace

CZoomViewWnd::CZoomViewWnd(QWidget* parent) : QWidget(parent)
{
    setObjectName("101");
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_sample = QImage(m_cells + 1, m_cells + 1, QImage::Format_RGB888);
    m_sample.fill(Qt::white);
}

int CZoomViewWnd::ClampCellCount(int cells)
{
    // A count from the profile is not trusted: zero would divide by zero and a negative one makes no sample.
    cells = std::clamp(cells, kMinCells, kMaxCells);
    return cells - (cells % 2);
}

void CZoomViewWnd::Attach(CImageDispWnd* window)
{
    disconnect(m_cursorConnection);
    m_window = window;
    if (m_window)
        m_cursorConnection = connect(m_window, &CImageDispWnd::CursorMoved, this,
                                     [this](QPoint at) { FollowCursor(CPoint(at.x(), at.y())); });
    m_centre = CPoint(0, 0);
    if (const CQvImage* image = m_window ? m_window->Image() : nullptr)
        m_centre = CPoint(image->GetWidth() / 2, image->GetHeight() / 2);
    UpdateFromImage();
}

void CZoomViewWnd::UpdateFromImage()
{
    Resample();
    update();
}

void CZoomViewWnd::Resample()
{
    const int cells = m_factor > 0 ? EffectiveCells(DisplaySquare().Width()) : m_cells;
    const CQvImage* image = m_window ? m_window->Image() : nullptr;
    if (image) {
        std::lock_guard lock(DisplayFrameLock());
        m_sample = Sample(*image, m_centre, cells);
    } else {
        m_sample = QImage(cells + 1, cells + 1, QImage::Format_RGB888);
        m_sample.fill(Qt::white);
    }
}

void CZoomViewWnd::FollowCursor(CPoint clientPoint)
{
    if (!m_window)
        return;
    m_centre = m_window->GetRealPoint(clientPoint, 1);
    // At once, not queued: the picture keeps up with the mouse.
    Resample();
    repaint();
}

void CZoomViewWnd::SetCentre(CPoint imagePoint)
{
    if (imagePoint == m_centre)
        return;
    m_centre = imagePoint;
    UpdateFromImage();
}

void CZoomViewWnd::SetCellCount(int cells)
{
    m_cells = ClampCellCount(cells);
    m_factor = 0;
    UpdateFromImage();
}

void CZoomViewWnd::SetFactor(int factor)
{
    m_factor = std::clamp(factor, 1, 32);
    UpdateFromImage();
}

void CZoomViewWnd::SetOverlay(bool on)
{
    m_overlay = on;
    update();
}

void CZoomViewWnd::SetCrossPen(int style, int width, COLORREF colour)
{
    // Values come from the profile, which anyone may have edited: a style outside the pen styles draws solid, and
    // the width stays within what a cross-hair over a few cells can show.
    m_penStyle = style >= PS_SOLID && style <= PS_NULL ? style : PS_SOLID;
    m_penWidth = std::clamp(width, 1, 10);
    m_penColour = colour;
    update();
}

int CZoomViewWnd::EffectiveCells(int side) const
{
    if (m_factor <= 0)
        return m_cells;
    // Even, so that the point's cell sits on the square's middle.
    const int cells = std::max(2, side / m_factor);
    return cells - (cells % 2);
}

CRect CZoomViewWnd::DisplaySquare() const
{
    const int w = width();
    const int h = height();
    const int side = std::min(w, h);
    if (w > h)
        return CRect(CPoint((w - side + 1) / 2, 0), CSize(side, side));
    return CRect(CPoint(0, (h - side + 1) / 2), CSize(side, side));
}

QImage CZoomViewWnd::Sample(const CQvImage& image, CPoint centre, int cells)
{
    const int size = cells + 1;
    QImage sample(size, size, QImage::Format_RGB888);
    sample.fill(Qt::white);
    const int half = size / 2;
    const int bits = image.GetBitsPerPixel();
    const int bytes = bits <= 8 ? 1 : bits / 8;
    const RGBQUAD* palette = IsIndexedModel(image.GetColorModel()) ? image.GetPalette() : nullptr;
    const int paletteCount = image.GetPaletteCount();
    for (int row = 0; row < size; ++row) {
        const int y = centre.y - half + row;
        if (y < 0 || y >= image.GetHeight())
            continue;
        uchar* out = sample.scanLine(row);
        for (int column = 0; column < size; ++column) {
            const int x = centre.x - half + column;
            if (x < 0 || x >= image.GetWidth())
                continue;
            const BYTE* p = image.GetPixel(x, y);
            uchar* rgb = out + column * 3;
            if (bytes == 1) {
                if (palette && p[0] < paletteCount) {
                    rgb[0] = palette[p[0]].rgbRed;
                    rgb[1] = palette[p[0]].rgbGreen;
                    rgb[2] = palette[p[0]].rgbBlue;
                } else {
                    rgb[0] = rgb[1] = rgb[2] = p[0];
                }
            } else {
                // Stored blue, green, red (and alpha, left out).
                rgb[0] = p[2];
                rgb[1] = p[1];
                rgb[2] = p[0];
            }
        }
    }
    return sample;
}

void CZoomViewWnd::PaintOn(QImage& target) const
{
    CDC dc(target);
    QPainter& painter = dc.GetPainter();
    const CRect square = DisplaySquare();
    const int side = square.Width();
    if (!m_window || side <= 0) {
        dc.FillSolidRect(0, 0, target.width(), target.height(), kFaceColour);
        return;
    }
    // Only the margins beside the square show the face: each pixel is filled once per mouse move.
    if (square.left > 0)
        dc.FillSolidRect(0, 0, square.left, target.height(), kFaceColour);
    if (square.right < target.width())
        dc.FillSolidRect(square.right, 0, target.width() - square.right, target.height(), kFaceColour);
    if (square.top > 0)
        dc.FillSolidRect(0, 0, target.width(), square.top, kFaceColour);
    if (square.bottom < target.height())
        dc.FillSolidRect(0, square.bottom, target.width(), target.height() - square.bottom, kFaceColour);
    const int cells = m_sample.width() - 1;
    // One cell size for pixels and objects, so the two never drift apart when the side is no multiple of N.
    const int cell = std::max(1, side / std::max(1, cells));
    const CPoint middle(square.left + side / 2, square.top + side / 2);
    const int half = m_sample.width() / 2;
    const QRect target_(middle.x - half * cell - cell / 2, middle.y - half * cell - cell / 2, m_sample.width() * cell,
                        m_sample.height() * cell);
    if (!target_.contains(QRect(square.left, square.top, side, side)))
        dc.FillSolidRect(square.left, square.top, side, side, RGB(255, 255, 255));
    painter.save();
    painter.setClipRect(QRect(square.left, square.top, side, side));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target_, m_sample);
    if (m_overlay && m_window && m_window->Document().objects) {
        CQvGObjectContainer* objects = m_window->Document().objects;
        // Image point p lands at middle + (p - centre) * cell: the middle of its pixel's cell.
        const CPoint origin(middle.x - m_centre.x * cell, middle.y - m_centre.y * cell);
        const float ratio = static_cast<float>(cell);
        std::lock_guard lock(DisplayFrameLock());
        for (CQvGObject* object : objects->GetObjects())
            if (object->GetPointCount() > 0)
                object->Draw(&dc, &origin, &ratio, 0);
    }
    painter.restore();
    CPen frame(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* old = dc.SelectObject(&frame);
    dc.MoveTo(square.left, square.top);
    dc.LineTo(square.right - 1, square.top);
    dc.LineTo(square.right - 1, square.bottom - 1);
    dc.LineTo(square.left, square.bottom - 1);
    dc.LineTo(square.left, square.top);
    CPen cross;
    if (!cross.CreatePen(m_penStyle, m_penWidth, m_penColour))
        cross.CreatePen(PS_SOLID, 1, m_penColour);
    dc.SelectObject(&cross);
    dc.MoveTo(square.left, middle.y);
    dc.LineTo(square.right, middle.y);
    dc.MoveTo(middle.x, square.top);
    dc.LineTo(middle.x, square.bottom);
    dc.SelectObject(old);
}

QImage CZoomViewWnd::Render() const
{
    QImage picture(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    picture.setDevicePixelRatio(1.0);
    PaintOn(picture);
    return picture;
}

void CZoomViewWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The factor form's cell count follows the size.
    if (m_factor > 0)
        UpdateFromImage();
}

void CZoomViewWnd::paintEvent(QPaintEvent*)
{
    const QSize size(std::max(1, width()), std::max(1, height()));
    if (m_canvas.size() != size) {
        m_canvas = QImage(size, QImage::Format_RGB32);
        m_canvas.setDevicePixelRatio(1.0);
    }
    PaintOn(m_canvas);
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas);
}
