#include "caliper/CaliperTools.h"

#include "caliper/CaliperToolList.h"
#include "gdi/CBrush.h"
#include "gdi/CDC.h"
#include "gdi/CFont.h"
#include "gdi/CMeasureDC.h"
#include "gdi/CPen.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace caliper {

namespace {

constexpr double kDownwards = 4.71238898038469;
constexpr size_t kMaxContourPoints = 65535;

// v + 0.5 truncated towards zero.
int Nearest(double v)
{
    return static_cast<int>(v + 0.5);
}

// Neighbour offsets by direction: 0 up, then anticlockwise in screen terms (left-up, left, ...).
constexpr int kStepX[8] = {0, -1, -1, -1, 0, 1, 1, 1};
constexpr int kStepY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

}  // namespace

std::vector<CPoint> LineSamples(CPoint p0, CPoint p1)
{
    std::vector<CPoint> samples;
    const int dx = p1.x - p0.x;
    const int dy = p1.y - p0.y;
    if (dx == 0) {
        const int step = dy >= 0 ? 1 : -1;
        for (int y = p0.y;; y += step) {
            samples.emplace_back(p0.x, y);
            if (y == p1.y)
                break;
        }
        return samples;
    }
    const double g = static_cast<double>(dy) / dx;
    const double m = p0.y - p0.x * g;
    const double s = 1.0 / std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    if (std::abs(dy) < std::abs(dx)) {
        const double step = dx * s;
        for (double t = p0.x; dx > 0 ? t <= p1.x : t >= p1.x; t += step)
            samples.emplace_back(Nearest(t), Nearest(m + g * t));
    } else {
        const double step = dy * s;
        const double r = 1.0 / g;
        for (double w = p0.y; dy > 0 ? w <= p1.y : w >= p1.y; w += step)
            samples.emplace_back(Nearest(r * (w - m)), Nearest(w));
    }
    return samples;
}

std::vector<CPoint> TraceContour(const QImage& image, QRgb colour, int x, int y)
{
    std::vector<CPoint> points;
    const auto has = [&](int px, int py) {
        return px >= 0 && py >= 0 && px < image.width() && py < image.height() &&
               (reinterpret_cast<const QRgb*>(image.constScanLine(py))[px] & 0xFFFFFF) == (colour & 0xFFFFFF);
    };
    const auto search = [&](int px, int py, int from) {
        for (int k = 0; k < 8; ++k) {
            const int d = (from + k) % 8;
            if (has(px + kStepX[d], py + kStepY[d]))
                return d;
        }
        return -1;
    };
    points.emplace_back(x, y);
    const int first = search(x, y, 2);
    int cx = x;
    int cy = y;
    int from = 2;
    while (points.size() < kMaxContourPoints) {
        const int d = search(cx, cy, from);
        if (d == -1)
            break;
        if (cx == x && cy == y && points.size() >= 2 && d == first)
            break;
        cx += kStepX[d];
        cy += kStepY[d];
        points.emplace_back(cx, cy);
        from = (d + 6) % 8;
    }
    return points;
}

std::vector<CPoint> EllipseSamples(const CRect& box, int width, int height)
{
    if ((box.right - box.left) / 2 <= 0 || (box.bottom - box.top) / 2 < 1)
        return {};
    // The outline is found on a bitmap of the box's part of the image: the same pixels a bitmap of the whole image
    // would hold there, at a fraction of the cost per mouse move.
    const int left = std::max(box.left, 0);
    const int top = std::max(box.top, 0);
    const int right = std::min(box.right, width);
    const int bottom = std::min(box.bottom, height);
    if (left >= right || top >= bottom)
        return {};
    QImage bitmap(right - left, bottom - top, QImage::Format_RGB32);
    bitmap.fill(0);
    {
        CDC dc(bitmap);
        CPen white(PS_SOLID, 1, RGB(255, 255, 255));
        CBrush fill(RGB(255, 255, 255));
        CPen* oldPen = dc.SelectObject(&white);
        CBrush* oldBrush = dc.SelectObject(&fill);
        dc.Ellipse(box.left - left, box.top - top, box.right - left, box.bottom - top);
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
    }
    const QRgb white = qRgb(255, 255, 255);
    const auto isWhite = [&](int px, int py) {
        return (reinterpret_cast<const QRgb*>(bitmap.constScanLine(py))[px] & 0xFFFFFF) == (white & 0xFFFFFF);
    };
    int startRow = -1;
    int t = -1;
    int o = -1;
    const int scanRight = std::min(box.right - 1, right) - left;
    for (int py = 0; py < bitmap.height() && o < 0; ++py) {
        for (int px = 0; px < scanRight && o < 0; ++px) {
            if (t < 0) {
                if (isWhite(px, py)) {
                    t = px;
                    startRow = py;
                }
            } else if (!isWhite(px, py)) {
                o = px;
            }
        }
    }
    if (t < 0)
        return {};
    if (o < 0)
        o = t;
    std::vector<CPoint> points = TraceContour(bitmap, white, t + (o - t) / 2, startRow);
    for (CPoint& p : points)
        p.Offset(left, top);
    return points;
}

}  // namespace caliper

using namespace caliper;

LOGFONTA CToolStyle::DefaultFont()
{
    LOGFONTA font{};
    font.lfHeight = -12;
    font.lfWeight = 400;
    font.lfPitchAndFamily = 32;
    std::strcpy(font.lfFaceName, "Tahoma");
    return font;
}

// ---- CCaliperTool

int CCaliperTool::AddPoint(int x, int y)
{
    if (IsComplete())
        return -1;
    m_points.emplace_back(x, y);
    m_state = static_cast<int>(m_points.size()) >= 2 ? kComplete : kFirstPoint;
    return static_cast<int>(m_points.size());
}

void CCaliperTool::MoveHandle(int index, int x, int y)
{
    if (index < 0 || index >= static_cast<int>(m_points.size()))
        return;
    // A handle stays on the image, so the samples it makes are pixels of it.
    if (m_owner.Clamps()) {
        x = std::clamp(x, 0, std::max(m_owner.ImageWidth() - 1, 0));
        y = std::clamp(y, 0, std::max(m_owner.ImageHeight() - 1, 0));
    }
    m_points[static_cast<size_t>(index)] = CPoint(x, y);
    UpdateRegion();
}

int CCaliperTool::ClampMove(CSize& delta) const
{
    int untouched = 1;
    const int maxX = m_owner.ImageWidth() - 1;
    const int maxY = m_owner.ImageHeight() - 1;
    for (const CPoint& p : m_points) {
        if (p.x + delta.cx < 0) {
            delta.cx = -p.x;
            untouched = 0;
        } else if (p.x + delta.cx > maxX) {
            delta.cx = maxX - p.x;
            untouched = 0;
        }
        if (p.y + delta.cy < 0) {
            delta.cy = -p.y;
            untouched = 0;
        } else if (p.y + delta.cy > maxY) {
            delta.cy = maxY - p.y;
            untouched = 0;
        }
    }
    return untouched;
}

void CCaliperTool::Move(int dx, int dy)
{
    for (CPoint& p : m_points)
        p.Offset(dx, dy);
    UpdateRegion();
    if (m_label)
        m_label->Move(dx, dy);
}

int CCaliperTool::HitRect(const CRect& rect)
{
    for (int i = static_cast<int>(m_points.size()) - 1; i >= 0; --i) {
        const CPoint p = m_points[static_cast<size_t>(i)];
        if (p.x >= rect.left && p.x < rect.right && p.y >= rect.top && p.y < rect.bottom) {
            m_grabbed = i;
            return 1;
        }
    }
    m_grabbed = -1;
    return m_region.intersects(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top)) ? 1 : 0;
}

void CCaliperTool::CreateLabel()
{
    CCaliperTool* label = m_owner.Create(kLabelKind);
    if (!label)
        return;
    label->SetParent(this);
    label->Style() = m_style;
    label->SetName(m_name);
    m_label = label;
    const QRect box = m_region.boundingRect();
    label->AddPoint(box.x() + box.width() / 2, box.y() + box.height() / 2);
}

void CCaliperTool::Draw(CDC& dc)
{
    DrawHandles(dc);
    DrawLabel(dc);
}

void CCaliperTool::DrawHandles(CDC& dc) const
{
    if (!m_selected)
        return;
    const int half = CCaliperToolList::kHandleSize + m_style.penWidth;
    for (const CPoint& p : m_points)
        dc.FillSolidRect(p.x - half, p.y - half, 2 * half + 1, 2 * half + 1, m_style.pen);
}

void CCaliperTool::DrawLabel(CDC& dc) const
{
    if (m_label && m_style.showLabel)
        m_label->Draw(dc);
}

double CCaliperTool::Direction(int, int) const
{
    return -1.0;
}

void CCaliperTool::SetRectangleHandles(CPoint a, CPoint b)
{
    const int left = std::min(a.x, b.x);
    const int right = std::max(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int bottom = std::max(a.y, b.y);
    const int midX = left + (right - left) / 2;
    const int midY = top + (bottom - top) / 2;
    m_points = {{left, top},     {midX, top},    {right, top}, {right, midY},
                {right, bottom}, {midX, bottom}, {left, bottom}, {left, midY}};
}

CRect CCaliperTool::HandleRectangle() const
{
    if (m_points.size() < 8)
        return CRect();
    return CRect(m_points[0].x, m_points[0].y, m_points[4].x, m_points[4].y);
}

// ---- CCaliperLineTool

int CCaliperLineTool::AddPoint(int x, int y)
{
    const int count = CCaliperTool::AddPoint(x, y);
    if (count == 2) {
        UpdateRegion();
        CreateLabel();
    }
    return count;
}

void CCaliperLineTool::UpdateRegion()
{
    if (m_points.size() < 2) {
        m_region = QRegion();
        return;
    }
    const CPoint a = m_points[0];
    const CPoint b = m_points[1];
    const bool flat = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
    const CSize shift = flat ? CSize(0, 1) : CSize(1, 0);
    const POINT corners[4] = {a, b, b + shift, a + shift};
    CRgn region;
    region.CreatePolygonRgn(corners, 4, ALTERNATE);
    m_region = region.Region();
    // A region of no pixels (a line along its own shift) still takes the segment's pixels.
    if (m_region.isEmpty())
        m_region = QRegion(QRect(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)),
                                 QPoint(std::max(a.x, b.x), std::max(a.y, b.y))));
}

void CCaliperLineTool::Draw(CDC& dc)
{
    if (m_points.empty())
        return;
    const CPoint from = m_points[0];
    const CPoint to = m_state == kFirstPoint ? m_owner.CurrentPosition() : m_points[1];
    CPen pen(PS_SOLID, m_style.penWidth, m_style.pen);
    CPen* old = dc.SelectObject(&pen);
    dc.MoveTo(from.x, from.y);
    dc.LineTo(to.x, to.y);
    dc.SetPixel(to.x, to.y, m_style.pen);
    dc.SelectObject(old);
    CCaliperTool::Draw(dc);
}

double CCaliperLineTool::Direction(int, int) const
{
    if (m_points.size() < 2)
        return -1.0;
    const CPoint a = m_points[0];
    const CPoint b = m_points[1];
    if (a.x == b.x)
        return a.y >= b.y ? std::numbers::pi / 2 : kDownwards;
    return std::atan2(static_cast<double>(a.y - b.y), static_cast<double>(b.x - a.x));
}

std::vector<CPoint> CCaliperLineTool::Samples() const
{
    if (!IsComplete() || m_points.size() < 2)
        return {};
    return LineSamples(m_points[0], m_points[1]);
}

// ---- CCaliperCircleTool

int CCaliperCircleTool::AddPoint(int x, int y)
{
    if (IsComplete())
        return -1;
    if (m_state == kEmpty) {
        m_points = {CPoint(x, y)};
        m_state = kFirstPoint;
        return 1;
    }
    SetRectangleHandles(m_points[0], CPoint(x, y));
    m_state = kComplete;
    UpdateRegion();
    CreateLabel();
    return static_cast<int>(m_points.size());
}

void CCaliperCircleTool::UpdateRegion()
{
    const CRect box = HandleRectangle();
    CRgn region;
    if (m_style.filled) {
        region.CreateEllipticRgn(box.left, box.top, box.right, box.bottom);
        m_region = region.Region();
        return;
    }
    CRgn inner;
    inner.CreateEllipticRgn(box.left + 5, box.top + 5, box.right - 5, box.bottom - 5);
    m_region = QRegion(QRect(QPoint(box.left - 5, box.top - 5), QPoint(box.right + 4, box.bottom + 4)))
                   .subtracted(inner.Region());
}

void CCaliperCircleTool::MoveHandle(int index, int x, int y)
{
    if (index < 0 || index >= 8 || m_points.size() < 8)
        return;
    if (m_owner.Clamps()) {
        x = std::clamp(x, 0, std::max(m_owner.ImageWidth() - 1, 0));
        y = std::clamp(y, 0, std::max(m_owner.ImageHeight() - 1, 0));
    }
    CRect box = HandleRectangle();
    if (index == 0 || index == 6 || index == 7)
        box.left = x;
    if (index == 2 || index == 3 || index == 4)
        box.right = x;
    if (index == 0 || index == 1 || index == 2)
        box.top = y;
    if (index == 4 || index == 5 || index == 6)
        box.bottom = y;
    SetRectangleHandles(CPoint(box.left, box.top), CPoint(box.right, box.bottom));
    UpdateRegion();
}

void CCaliperCircleTool::Draw(CDC& dc)
{
    if (m_points.empty())
        return;
    CRect box;
    if (m_state == kFirstPoint) {
        const CPoint a = m_points[0];
        const CPoint b = m_owner.CurrentPosition();
        box = CRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
    } else {
        box = HandleRectangle();
    }
    if ((box.right - box.left) / 2 != 0 && (box.bottom - box.top) / 2 != 0) {
        CPen pen(PS_SOLID, m_style.penWidth, m_style.pen);
        CBrush fill(m_style.fill);
        CPen* oldPen = dc.SelectObject(&pen);
        CGdiObject* oldBrush = m_style.filled ? dc.SelectObject(static_cast<CGdiObject*>(&fill))
                                              : dc.SelectStockObject(NULL_BRUSH);
        dc.Ellipse(box.left, box.top, box.right, box.bottom);
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
    }
    CCaliperTool::Draw(dc);
}

double CCaliperCircleTool::Direction(int x, int y) const
{
    const CRect box = HandleRectangle();
    const double cx = (box.left + box.right) / 2.0;
    const double cy = (box.top + box.bottom) / 2.0;
    if (x == cx)
        return cy >= y ? std::numbers::pi / 2 : kDownwards;
    return std::atan2(cy - y, x - cx);
}

std::vector<CPoint> CCaliperCircleTool::Samples() const
{
    if (!IsComplete())
        return {};
    return EllipseSamples(HandleRectangle(), m_owner.ImageWidth(), m_owner.ImageHeight());
}

// ---- CCaliperLabel

int CCaliperLabel::AddPoint(int x, int y)
{
    CMeasureDC& dc = CMeasureDC::ThisThread();
    CFont font;
    font.CreateFontIndirect(&m_style.font);
    CFont* old = dc.SelectObject(&font);
    CRect box(0, 0, 0, 0);
    dc.DrawText(Name(), box, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_CALCRECT);
    dc.SelectObject(old);
    const int w = box.right - box.left;
    const int h = box.bottom - box.top;
    SetRectangleHandles(CPoint(x - w / 2, y - h / 2), CPoint(x - w / 2 + w, y - h / 2 + h));
    m_state = kComplete;
    UpdateRegion();
    return static_cast<int>(m_points.size());
}

void CCaliperLabel::UpdateRegion()
{
    const CRect box = HandleRectangle();
    m_region = QRegion(QRect(QPoint(box.left - 5, box.top - 5), QPoint(box.right + 4, box.bottom + 4)));
}

void CCaliperLabel::MoveTo(int x, int y)
{
    if (!IsComplete())
        return;
    m_state = kEmpty;
    AddPoint(x, y);
}

void CCaliperLabel::Draw(CDC& dc)
{
    if (!IsComplete())
        return;
    CFont font;
    font.CreateFontIndirect(&m_style.font);
    CFont* old = dc.SelectObject(&font);
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc.SetTextColor(m_style.labelText);
    CRect box = HandleRectangle();
    dc.DrawText(Name(), box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
    dc.SelectObject(old);
    DrawHandles(dc);
}

// ---- CCaliperTag

void CCaliperTag::SetGeometry(int x, int y, double angle, int length)
{
    while (angle > std::numbers::pi)
        angle -= 2 * std::numbers::pi;
    while (angle < -std::numbers::pi)
        angle += 2 * std::numbers::pi;
    m_points = {CPoint(x, y), CPoint(static_cast<int>(x + length * std::cos(angle)),
                                     static_cast<int>(y - length * std::sin(angle)))};
    m_state = kComplete;
    UpdateRegion();
    CreateLabel();
}

void CCaliperTag::CreateLabel()
{
    CCaliperTool* label = m_owner.Create(kLabelKind);
    if (!label)
        return;
    label->SetParent(this);
    label->Style() = m_style;
    label->SetName(Name());
    SetLabel(label);
    label->AddPoint(m_points[1].x, m_points[1].y);
}

void CCaliperTag::Draw(CDC& dc)
{
    if (m_points.size() < 2)
        return;
    const CPoint a = m_points[0];
    const CPoint b = m_points[1];
    CPen pen(PS_SOLID, m_style.penWidth, m_style.pen);
    CPen* old = dc.SelectObject(&pen);
    dc.MoveTo(a.x, a.y);
    dc.LineTo((a.x + b.x) / 2, (a.y + b.y) / 2);
    dc.SelectObject(old);
    CCaliperTool::Draw(dc);
}
