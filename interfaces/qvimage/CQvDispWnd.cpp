#include "qvimage/CQvDispWnd.h"

#include "qvimage/CQvImage.h"
#include "qvimage/QvNearestBlit.h"
#include "qvimage/private/QvZoomMapping.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr float kZoomSteps[] = {1.0f / 16, 1.0f / 8, 1.0f / 4, 1.0f / 2, 3.0f / 4, 1.0f, 3.0f / 2,
                                2.0f,      3.0f,     4.0f,     6.0f,     8.0f,     12.0f, 16.0f};
static_assert(std::size(kZoomSteps) == QVZOOM_COUNT);

constexpr QRgb kAroundCanvasColour = 0x808080;
constexpr QRgb kEmptyCanvasColour = 0xFFFFFF;

// Fills the surface outside `keep` with `colour`.
void FillAround(QImage& surface, const CRect& keep, QRgb colour)
{
    const int width = surface.width();
    const int height = surface.height();
    FillSurfaceRect(surface, CRect(0, 0, width, keep.top), colour);
    FillSurfaceRect(surface, CRect(0, keep.bottom, width, height), colour);
    FillSurfaceRect(surface, CRect(0, keep.top, keep.left, keep.bottom), colour);
    FillSurfaceRect(surface, CRect(keep.right, keep.top, width, keep.bottom), colour);
}

int CentringOffset(int zoomedExtent, int clientExtent)
{
    return zoomedExtent < clientExtent ? (clientExtent - zoomedExtent) / 2 : 0;
}

}  // namespace

CQvDispWnd::CQvDispWnd(QWidget* parent) : CQvScrollWnd(parent) {}

CQvDispWnd::~CQvDispWnd() = default;

void CQvDispWnd::SetCanvasSize(CSize size)
{
    m_canvasSize = CSize(std::max(0, size.cx), std::max(0, size.cy));
    SetScrollSize(ZoomedSize(m_canvasSize));
    Invalidate();
}

int CQvDispWnd::GetZoomLevel() const
{
    const auto* step = std::find(std::begin(kZoomSteps), std::end(kZoomSteps), m_ratio);
    return step == std::end(kZoomSteps) ? QVZOOM_FREE : static_cast<int>(step - std::begin(kZoomSteps));
}

float CQvDispWnd::GetZoomStepRatio(int level)
{
    return level >= 0 && level < QVZOOM_COUNT ? kZoomSteps[level] : 0.0f;
}

void CQvDispWnd::Zoom(int in, CPoint anchor)
{
    if (in)
    {
        const auto* next = std::upper_bound(std::begin(kZoomSteps), std::end(kZoomSteps), m_ratio);
        if (next != std::end(kZoomSteps))
            ApplyRatio(*next, anchor);
        return;
    }
    const auto* notBelow = std::lower_bound(std::begin(kZoomSteps), std::end(kZoomSteps), m_ratio);
    if (notBelow != std::begin(kZoomSteps))
        ApplyRatio(*std::prev(notBelow), anchor);
}

void CQvDispWnd::SetZoom(_QVZOOM level, CPoint anchor)
{
    if (level >= 0 && level < QVZOOM_COUNT)
        ApplyRatio(kZoomSteps[level], anchor);
}

void CQvDispWnd::SetZoom(float ratio, CPoint anchor)
{
    if (ratio > 0.0f)
        ApplyRatio(std::clamp(ratio, kQvMinZoomRatio, kQvMaxZoomRatio), anchor);
}

CPoint CQvDispWnd::GetOrigin() const
{
    const CRect client = GetClientRect();
    const CSize zoomed = ZoomedSize(m_canvasSize);
    const CPoint scroll = GetScrollPosition();
    return CPoint(CentringOffset(zoomed.cx, client.Width()) - scroll.x,
                  CentringOffset(zoomed.cy, client.Height()) - scroll.y);
}

CPoint CQvDispWnd::GetZoomedPoint(CPoint image) const
{
    const CPoint origin = GetOrigin();
    return CPoint(qvzoom::Zoomed(image.x, m_ratio, origin.x), qvzoom::Zoomed(image.y, m_ratio, origin.y));
}

CPoint CQvDispWnd::GetRealPoint(CPoint window, int clientPoint) const
{
    CPoint origin = GetOrigin();
    if (!clientPoint)
    {
        // The content position of image pixel (0, 0): moving the origin rather than the point cannot overflow.
        const CPoint scroll = GetScrollPosition();
        origin = CPoint(origin.x + scroll.x, origin.y + scroll.y);
    }
    return CPoint(qvzoom::Real(window.x, m_ratio, origin.x), qvzoom::Real(window.y, m_ratio, origin.y));
}

void CQvDispWnd::DrawImage(CDC* dc, CQvImage* image)
{
    QImage& surface = dc->GetImage();
    const bool hasImage = image && !image->IsEmpty();
    const CSize shownSize = hasImage ? CSize(image->GetWidth(), image->GetHeight()) : m_canvasSize;
    const CRect canvas(GetOrigin(), ZoomedSize(shownSize));
    FillAround(surface, canvas, kAroundCanvasColour);
    if (hasImage)
        BlitNearest(*image, m_ratio, canvas.TopLeft(), canvas, surface);
    else
        FillSurfaceRect(surface, canvas, kEmptyCanvasColour);
}

void CQvDispWnd::DrawImage(CDC* dc, CQvImage* image, CRect rect, float ratio)
{
    if (image && ratio > 0.0f && ratio <= kQvMaxZoomRatio)
        BlitNearest(*image, ratio, rect.TopLeft(), rect, dc->GetImage());
}

void CQvDispWnd::OnDraw(CDC* dc)
{
    DrawImage(dc, nullptr);
}

CSize CQvDispWnd::ZoomedSize(CSize imageSize) const
{
    return CSize(qvzoom::Zoomed(imageSize.cx, m_ratio, 0), qvzoom::Zoomed(imageSize.cy, m_ratio, 0));
}

void CQvDispWnd::ApplyRatio(float ratio, CPoint anchor)
{
    if (anchor == QVZOOM_AT_CENTRE)
        anchor = GetClientRect().CenterPoint();
    // In double throughout: an anchor far outside the window must not overflow the sums.
    const CPoint oldOrigin = GetOrigin();
    const double imageX = (static_cast<double>(anchor.x) - oldOrigin.x) / m_ratio;
    const double imageY = (static_cast<double>(anchor.y) - oldOrigin.y) / m_ratio;

    m_ratio = ratio;
    SetScrollSize(ZoomedSize(m_canvasSize));
    // The scroll position that puts the new origin at anchor - image point x ratio (the scroll bars clamp it).
    const CPoint origin = GetOrigin();
    const CPoint scroll = GetScrollPosition();
    const auto position = [](double v) {
        return static_cast<int>(std::lround(std::clamp(v, double(INT_MIN), double(INT_MAX))));
    };
    ScrollToPosition(CPoint(position(static_cast<double>(origin.x) + scroll.x - anchor.x + imageX * ratio),
                            position(static_cast<double>(origin.y) + scroll.y - anchor.y + imageY * ratio)));
    Invalidate();
}
