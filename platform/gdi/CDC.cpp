#include "gdi/CDC.h"

#include "CDCState.h"
#include "EllipseFill.h"
#include "EllipseOutline.h"
#include "PenMapping.h"
#include "StockObjects.h"

#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <utility>

using gdi_detail::CopyModeScope;
using gdi_detail::ToQColor;

// ---------------------------------------------------------------------------------------------------------------
// State

namespace {

bool HoldsRgbWords(const QImage& image)
{
    const QImage::Format format = image.format();
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// Converts work into target's pixel format and copies it into target's own buffer, which views of it may share.
void WriteBack(const QImage& work, QImage& target)
{
    const QImage converted = target.colorCount() > 0
                                 ? work.convertToFormat(target.format(), target.colorTable(), Qt::ThresholdDither)
                                 : work.convertToFormat(target.format(), Qt::ThresholdDither);
    if (converted.size() != target.size() || converted.format() != target.format())
        return;
    const qsizetype rowBytes = (qsizetype(target.width()) * target.depth() + 7) / 8;
    for (int y = 0; y < target.height(); ++y)
        std::memcpy(target.scanLine(y), converted.constScanLine(y), static_cast<size_t>(rowBytes));
}

}  // namespace

CDC::State::State(QImage& drawnOn)
    : target(drawnOn),
      work(drawnOn.isNull() || HoldsRgbWords(drawnOn) ? QImage() : drawnOn.convertToFormat(QImage::Format_RGB32)),
      image(work.isNull() ? drawnOn : work),
      painter(&image)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
}

CDC::State::~State()
{
    if (work.isNull())
        return;
    painter.end();
    WriteBack(work, target);
}

void CDC::State::SyncPen()
{
    pen = gdi_detail::ToQPen(now.penDescription);
    penVisible = pen.style() != Qt::NoPen;
    penWidth = std::max(1, static_cast<int>(now.penDescription.lopnWidth.x));
    cosmetic = penVisible && penWidth == 1;
    lineStyle.colour = ToQColor(now.penDescription.lopnColor).rgb();
    gdi_detail::PatternOfPenStyle(static_cast<int>(now.penDescription.lopnStyle), &lineStyle.pattern,
                                  &lineStyle.patternLength);
    painter.setPen(pen);
}

void CDC::State::SyncBrush()
{
    brush = gdi_detail::ToQBrush(now.brushDescription);
    brushVisible = brush.style() != Qt::NoBrush;
    painter.setBrush(brush);
}

void CDC::State::SyncRop()
{
    lineStyle.rop2 = now.rop2;
    switch (now.rop2) {
    case R2_NOT: painter.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case R2_XORPEN: painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case R2_NOTXORPEN: painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination); break;
    default: painter.setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    }
}

void CDC::State::SyncBackground()
{
    // Labels switch the mode back and forth around every text; an unchanged background is not set again.
    if (syncedBkMode == now.bkMode && syncedBkColour == now.bkColour)
        return;
    syncedBkMode = now.bkMode;
    syncedBkColour = now.bkColour;
    painter.setBackgroundMode(now.bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    painter.setBackground(ToQColor(now.bkColour));
    lineStyle.opaque = now.bkMode == OPAQUE;
    lineStyle.background = ToQColor(now.bkColour).rgb();
}

const gdi_detail::ResolvedFont& CDC::State::Font()
{
    // A DC may pass from one thread to another; fonts are only used on the thread that resolved them.
    gdi_detail::TextCache& cache = gdi_detail::TextCache::ThisThread();
    if (!now.resolvedFont || now.resolvedFont->owner != &cache)
        now.resolvedFont = cache.Font(now.fontDescription);
    return *now.resolvedFont;
}

void CDC::State::SyncAll()
{
    SyncPen();
    SyncBrush();
    SyncRop();
    SyncBackground();
}

namespace {

QRect BoxOf(int left, int top, int right, int bottom)
{
    // An empty side computes no edge: at INT_MIN the last pixel would lie before int.
    if (left == right || top == bottom)
        return QRect();
    return QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                 QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
}

// The rectangle through the centres of the box's edge pixels, where a painter's outline runs; in floating point,
// as a box may span more than an int.
QRectF EdgeCentres(const QRect& box)
{
    return QRectF(box.left(), box.top(), double(box.right()) - box.left(), double(box.bottom()) - box.top());
}

// The box with inclusive corners (left, top) and (right, bottom), cut to `limit`; the corners may lie past int.
QRect Within(int64_t left, int64_t top, int64_t right, int64_t bottom, const QRect& limit)
{
    left = std::max<int64_t>(left, limit.left());
    top = std::max<int64_t>(top, limit.top());
    right = std::min<int64_t>(right, limit.right());
    bottom = std::min<int64_t>(bottom, limit.bottom());
    if (left > right || top > bottom)
        return QRect();
    return QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
}

// The box grown by `margin` on every side, cut to `limit`.
QRect GrownWithin(const QRect& box, int margin, const QRect& limit)
{
    return Within(int64_t{box.left()} - margin, int64_t{box.top()} - margin, int64_t{box.right()} + margin,
                  int64_t{box.bottom()} + margin, limit);
}

// Draws a figure with the plain copy mode onto a transparent layer over `bounds`, then mixes each pixel it
// painted into the surface once: pen and brush of an inverting or xor-ing figure must not overlap.
template <class Draw>
void MixThroughLayer(QImage& surface, QPainter& surfacePainter, const QRect& bounds, Draw draw)
{
    const QRect area = bounds.intersected(surface.rect());
    if (area.isEmpty())
        return;
    QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    draw(layer, area.topLeft());
    QPainter::CompositionMode mode = surfacePainter.compositionMode();
    for (int y = 0; y < area.height(); ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        QRgb* target = reinterpret_cast<QRgb*>(surface.scanLine(area.top() + y)) + area.left();
        for (int x = 0; x < area.width(); ++x) {
            if (qAlpha(source[x]) == 0)
                continue;
            switch (mode) {
            case QPainter::RasterOp_NotDestination: target[x] = ~target[x] | 0xFF000000; break;
            case QPainter::RasterOp_SourceXorDestination: target[x] = (target[x] ^ source[x]) | 0xFF000000; break;
            case QPainter::RasterOp_NotSourceXorDestination: target[x] = ~(target[x] ^ source[x]) | 0xFF000000; break;
            default: target[x] = source[x]; break;
            }
        }
    }
}

// A solid or hatched brush inside a solid 1-pixel outline, or alone (then one pixel narrower and shorter, as
// GDI draws it without a pen): false, painting nothing, when the spans cannot draw it.
bool FillEllipseWithSpans(QImage& surface, const QRect& box, const QBrush& fill, const gdi_detail::LineStyle& pen,
                          bool outlined)
{
    gdi_detail::SpanBrush brush;
    brush.colour = fill.color().rgb();
    brush.background = pen.background;
    brush.opaque = pen.opaque;
    brush.rop2 = pen.rop2;
    if (fill.style() != Qt::SolidPattern) {
        brush.hatch = gdi_detail::HatchRows(fill.style());
        if (brush.hatch == nullptr)
            return false;
    }
    if (outlined)
        return gdi_detail::PaintFilledEllipse(surface, box, brush, &pen.colour);
    if (!gdi_detail::WalkableEllipseBox(box))
        return false;
    if (box.left() == box.right() || box.top() == box.bottom())
        return true;
    const QRect smaller(box.topLeft(), box.bottomRight() - QPoint(1, 1));
    return gdi_detail::PaintFilledEllipse(surface, smaller, brush, nullptr);
}

QPolygon ToPolygon(const POINT* points, int count)
{
    QPolygon polygon(count);
    for (int i = 0; i < count; ++i)
        polygon.setPoint(i, points[i].x, points[i].y);
    return polygon;
}

// The closed outline through the points with 1-pixel segments.
void Outline(QImage& surface, const gdi_detail::LineStyle& style, const QPolygon& polygon, QPoint origin = {})
{
    gdi_detail::CosmeticLine line(surface, style);
    for (int i = 0; i < polygon.size(); ++i)
        line.Segment(polygon[i] - origin, polygon[(i + 1) % polygon.size()] - origin);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Construction and selected objects

CDC::CDC(QImage& target) : m_state(std::make_unique<State>(target))
{
    SelectStockObject(BLACK_PEN);
    SelectStockObject(WHITE_BRUSH);
    SelectStockObject(SYSTEM_FONT);
    m_state->SyncAll();
}

CDC::~CDC() = default;

QImage& CDC::GetImage() const { return m_state->image; }
QPainter& CDC::GetPainter() const { return m_state->painter; }

CPen* CDC::SelectObject(CPen* pen)
{
    if (pen == nullptr || pen->GetSafeHandle() == nullptr)
        return nullptr;
    State& s = *m_state;
    CPen* previous = std::exchange(s.now.pen, pen);
    s.now.penDescription = pen->Description();
    s.SyncPen();
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    if (brush == nullptr || brush->GetSafeHandle() == nullptr)
        return nullptr;
    State& s = *m_state;
    CBrush* previous = std::exchange(s.now.brush, brush);
    s.now.brushDescription = brush->Description();
    s.SyncBrush();
    return previous;
}

CFont* CDC::SelectObject(CFont* font)
{
    if (font == nullptr || font->GetSafeHandle() == nullptr)
        return nullptr;
    State& s = *m_state;
    CFont* previous = std::exchange(s.now.font, font);
    s.now.fontDescription = font->Description();
    s.now.resolvedFont.reset();
    return previous;
}

CGdiObject* CDC::SelectObject(CGdiObject* object)
{
    if (object == nullptr)
        return nullptr;
    switch (object->GetKind()) {
    case CGdiObject::Kind::Pen: return SelectObject(static_cast<CPen*>(object));
    case CGdiObject::Kind::Brush: return SelectObject(static_cast<CBrush*>(object));
    case CGdiObject::Kind::Font: return SelectObject(static_cast<CFont*>(object));
    default: return nullptr;
    }
}

CGdiObject* CDC::SelectStockObject(int index)
{
    CGdiObject* stock = gdi_detail::StockObject(index);
    return stock == nullptr ? nullptr : SelectObject(stock);
}

CPen* CDC::GetCurrentPen() const { return m_state->now.pen; }
CBrush* CDC::GetCurrentBrush() const { return m_state->now.brush; }
CFont* CDC::GetCurrentFont() const { return m_state->now.font; }

int CDC::SaveDC()
{
    m_state->saved.push_back(m_state->now);
    return static_cast<int>(m_state->saved.size());
}

BOOL CDC::RestoreDC(int savedDC)
{
    State& s = *m_state;
    const int levels = static_cast<int>(s.saved.size());
    const int level = savedDC < 0 ? levels + 1 + savedDC : savedDC;
    if (level < 1 || level > levels)
        return 0;
    s.now = s.saved[static_cast<size_t>(level - 1)];
    s.saved.resize(static_cast<size_t>(level - 1));
    s.SyncAll();
    return 1;
}

// ---------------------------------------------------------------------------------------------------------------
// Attributes

COLORREF CDC::SetTextColor(COLORREF colour) { return std::exchange(m_state->now.textColour, colour); }
COLORREF CDC::GetTextColor() const { return m_state->now.textColour; }

COLORREF CDC::SetBkColor(COLORREF colour)
{
    const COLORREF previous = std::exchange(m_state->now.bkColour, colour);
    m_state->SyncBackground();
    return previous;
}
COLORREF CDC::GetBkColor() const { return m_state->now.bkColour; }

int CDC::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    const int previous = std::exchange(m_state->now.bkMode, mode);
    m_state->SyncBackground();
    return previous;
}
int CDC::GetBkMode() const { return m_state->now.bkMode; }

int CDC::SetROP2(int mode)
{
    if (mode != R2_COPYPEN && mode != R2_NOT && mode != R2_XORPEN && mode != R2_NOTXORPEN)
        return 0;
    const int previous = std::exchange(m_state->now.rop2, mode);
    m_state->SyncRop();
    return previous;
}
int CDC::GetROP2() const { return m_state->now.rop2; }

int CDC::SetPolyFillMode(int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return std::exchange(m_state->now.polyFillMode, mode);
}
int CDC::GetPolyFillMode() const { return m_state->now.polyFillMode; }

// ---------------------------------------------------------------------------------------------------------------
// Lines

CPoint CDC::GetCurrentPosition() const { return m_state->now.position; }

CPoint CDC::MoveTo(int x, int y) { return std::exchange(m_state->now.position, CPoint(x, y)); }

BOOL CDC::LineTo(int x, int y)
{
    State& s = *m_state;
    const CPoint from = std::exchange(s.now.position, CPoint(x, y));
    if (s.cosmetic)
        gdi_detail::CosmeticLine(s.image, s.lineStyle).Segment(QPoint(from.x, from.y), QPoint(x, y));
    else if (s.penVisible && (from.x != x || from.y != y))
        s.painter.drawLine(from.x, from.y, x, y);
    return 1;
}

BOOL CDC::Polyline(const POINT* points, int count)
{
    if (points == nullptr || count < 2)
        return 0;
    State& s = *m_state;
    if (s.cosmetic) {
        gdi_detail::CosmeticLine line(s.image, s.lineStyle);
        for (int i = 1; i < count; ++i)
            line.Segment(QPoint(points[i - 1].x, points[i - 1].y), QPoint(points[i].x, points[i].y));
    } else if (s.penVisible) {
        s.painter.drawPolyline(ToPolygon(points, count));
    }
    return 1;
}

BOOL CDC::Arc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY)
{
    State& s = *m_state;
    const QRect box = BoxOf(left, top, right, bottom);
    if (!s.penVisible || box.isEmpty())
        return 1;
    // The outline runs through the centres of the box's edge pixels.
    const QRectF path = EdgeCentres(box);
    const double cx = path.center().x();
    const double cy = path.center().y();
    const double a = std::max(path.width() / 2, 0.5);
    const double b = std::max(path.height() / 2, 0.5);
    // The painter's angles are those of the circle the ellipse is scaled from; a radial's point on the ellipse
    // has that angle after scaling the radial by the axes.
    auto parametricDegrees = [&](int x, int y) {
        return std::atan2(-(y - cy) / b, (x - cx) / a) * 180 / std::numbers::pi;
    };
    const double start = parametricDegrees(startX, startY);
    double span = parametricDegrees(endX, endY) - start;
    if (span <= 0)
        span += 360;
    s.painter.drawArc(path, static_cast<int>(std::lround(start * 16)), static_cast<int>(std::lround(span * 16)));
    return 1;
}

// ---------------------------------------------------------------------------------------------------------------
// Pixels

COLORREF CDC::SetPixel(int x, int y, COLORREF colour)
{
    QImage& image = m_state->image;
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return CLR_INVALID;
    reinterpret_cast<QRgb*>(image.scanLine(y))[x] = ToQColor(colour).rgb();
    return colour & 0x00FFFFFF;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    const QImage& image = m_state->image;
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return CLR_INVALID;
    const QRgb pixel = reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
    return RGB(static_cast<BYTE>(qRed(pixel)), static_cast<BYTE>(qGreen(pixel)), static_cast<BYTE>(qBlue(pixel)));
}

// ---------------------------------------------------------------------------------------------------------------
// Filled shapes

BOOL CDC::Polygon(const POINT* points, int count)
{
    if (points == nullptr || count < 2)
        return 0;
    State& s = *m_state;
    const QPolygon polygon = ToPolygon(points, count);
    const Qt::FillRule rule = s.now.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    if (!s.cosmetic) {
        s.painter.drawPolygon(polygon, rule);
        return 1;
    }
    auto fill = [&](QPainter& painter) {
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(polygon, rule);
    };
    if (s.now.rop2 == R2_COPYPEN || !s.brushVisible) {
        if (s.brushVisible) {
            fill(s.painter);
            s.painter.setPen(s.pen);
        }
        Outline(s.image, s.lineStyle, polygon);
        return 1;
    }
    MixThroughLayer(s.image, s.painter, polygon.boundingRect(), [&](QImage& layer, QPoint origin) {
        gdi_detail::LineStyle copy = s.lineStyle;
        copy.rop2 = R2_COPYPEN;
        {
            QPainter painter(&layer);
            painter.setBrush(s.brush);
            painter.setBackgroundMode(s.painter.backgroundMode());
            painter.setBackground(s.painter.background());
            painter.setBrushOrigin(-origin);
            painter.translate(-origin);
            fill(painter);
        }
        Outline(layer, copy, polygon, origin);
    });
    return 1;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom)
{
    State& s = *m_state;
    const QRect box = BoxOf(left, top, right, bottom);
    if (box.isEmpty())
        return 1;
    if (s.brushVisible) {
        // Inside the outline; without a pen the filled box is one pixel narrower and shorter.
        const int64_t inset = s.penVisible ? s.penWidth / 2 + 1 : 0;
        const int64_t outset = s.penVisible ? s.penWidth / 2 + 1 : 1;
        // Cut to the surface: the painter's own arithmetic does not take a box spanning more than an int.
        const QRect interior = Within(int64_t{box.left()} + inset, int64_t{box.top()} + inset,
                                      int64_t{box.right()} - outset, int64_t{box.bottom()} - outset, s.image.rect());
        if (!interior.isEmpty())
            s.painter.fillRect(interior, s.brush);
    }
    if (!s.penVisible)
        return 1;
    if (s.penWidth > 1) {
        s.painter.setBrush(Qt::NoBrush);
        s.painter.drawRect(EdgeCentres(box));
        s.painter.setBrush(s.brush);
    } else if (box.left() == box.right() || box.top() == box.bottom()) {
        // A one-pixel box: its outline is a single line, end pixel included.
        gdi_detail::CosmeticLine(s.image, s.lineStyle)
            .Segment(box.topLeft(), box.left() == box.right() ? box.bottomLeft() + QPoint(0, 1)
                                                               : box.topRight() + QPoint(1, 0));
    } else {
        Outline(s.image, s.lineStyle, QPolygon({box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()}));
    }
    return 1;
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom)
{
    State& s = *m_state;
    const QRect box = BoxOf(left, top, right, bottom);
    if (box.isEmpty() || (!s.penVisible && !s.brushVisible))
        return 1;
    // A plain solid outline, the overlay's circles and rings, is painted straight into the surface, and so is a
    // brush inside it or without a pen: fill and outline then meet pixel for pixel.
    const bool solidOutline = s.cosmetic && s.lineStyle.patternLength == 1;
    // Sides beyond 2^30 go to the painter, where no integer arithmetic can overflow.
    if (solidOutline && !s.brushVisible && gdi_detail::WalkableEllipseBox(box) &&
        gdi_detail::PaintEllipseOutline(s.image, box, s.lineStyle))
        return 1;
    if (s.brushVisible && (solidOutline || !s.penVisible) &&
        FillEllipseWithSpans(s.image, box, s.brush, s.lineStyle, s.penVisible))
        return 1;
    auto paint = [&](QPainter& painter) {
        if (!s.penVisible) {
            // Without a pen the filled ellipse is one pixel narrower and shorter.
            QPainterPath path;
            path.addEllipse(EdgeCentres(box));
            painter.fillPath(path, s.brush);
        } else if (s.penWidth > 1) {
            painter.drawEllipse(EdgeCentres(box));
        } else {
            // An integral box, a solid pen and no background fill keep the painter on its midpoint ellipse,
            // which outlines exactly the box's edge pixels; dashes and hatches need the background fill.
            const Qt::BGMode mode = painter.backgroundMode();
            if (s.pen.style() == Qt::SolidLine && s.brush.style() <= Qt::SolidPattern)
                painter.setBackgroundMode(Qt::TransparentMode);
            painter.drawEllipse(QRect(box.topLeft(), QPoint(std::max(box.right(), INT_MIN + 1) - 1,
                                                             std::max(box.bottom(), INT_MIN + 1) - 1)));
            painter.setBackgroundMode(mode);
        }
    };
    if (s.now.rop2 == R2_COPYPEN || !s.penVisible || !s.brushVisible) {
        paint(s.painter);
        return 1;
    }
    // The painter's fill reaches under the outline, which an inverting mix would invert twice.
    MixThroughLayer(s.image, s.painter, GrownWithin(box, s.penWidth, s.image.rect()),
                    [&](QImage& layer, QPoint origin) {
                        QPainter painter(&layer);
                        painter.setPen(s.pen);
                        painter.setBrush(s.brush);
                        painter.setBackgroundMode(s.painter.backgroundMode());
                        painter.setBackground(s.painter.background());
                        painter.setBrushOrigin(-origin);
                        painter.translate(-origin);
                        paint(painter);
                    });
    return 1;
}

// ---------------------------------------------------------------------------------------------------------------
// Rectangle fills

void CDC::FillSolidRect(const RECT* rect, COLORREF colour)
{
    if (rect != nullptr)
        FillSolid(*rect, colour);
}

void CDC::FillSolid(const RECT& rect, COLORREF colour)
{
    // The background colour changes too, as the calling code has always seen it do.
    SetBkColor(colour);
    const QRect box = BoxOf(rect.left, rect.top, rect.right, rect.bottom);
    if (box.isEmpty())
        return;
    CopyModeScope copy(m_state->painter);
    m_state->painter.fillRect(box, ToQColor(colour));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour)
{
    const RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, colour);
}

void CDC::FillRect(const RECT* rect, CBrush* brush)
{
    if (rect == nullptr || brush == nullptr || rect->right <= rect->left || rect->bottom <= rect->top)
        return;
    CopyModeScope copy(m_state->painter);
    m_state->painter.fillRect(BoxOf(rect->left, rect->top, rect->right, rect->bottom),
                              gdi_detail::ToQBrush(brush->Description()));
}

void CDC::InvertRect(const RECT* rect)
{
    if (rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top)
        return;
    Invert(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
}

void CDC::Invert(int x, int y, int width, int height)
{
    State& s = *m_state;
    const QRect box = BoxOf(x, y, x + width, y + height);
    if (box.isEmpty())
        return;
    s.painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    s.painter.fillRect(box, Qt::black);
    s.SyncRop();
}

BOOL CDC::PatBlt(int x, int y, int width, int height, uint32_t rop)
{
    State& s = *m_state;
    const QRect box = BoxOf(x, y, x + width, y + height);
    if (rop == DSTINVERT) {
        Invert(x, y, width, height);
        return 1;
    }
    if (rop == PATCOPY) {
        if (!box.isEmpty() && s.brushVisible) {
            CopyModeScope copy(s.painter);
            s.painter.fillRect(box, s.brush);
        }
        return 1;
    }
    return 0;
}

void CDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight)
{
    if (rect == nullptr)
        return;
    const int x = rect->left;
    const int y = rect->top;
    const int cx = rect->right - rect->left;
    const int cy = rect->bottom - rect->top;
    FillSolid(RECT{x, y, x + cx - 1, y + 1}, topLeft);
    FillSolid(RECT{x, y, x + 1, y + cy - 1}, topLeft);
    FillSolid(RECT{x + cx, y, x + cx - 1, y + cy}, bottomRight);
    FillSolid(RECT{x, y + cy, x + cx, y + cy - 1}, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    const RECT rect{x, y, x + cx, y + cy};
    Draw3dRect(&rect, topLeft, bottomRight);
}

void CDC::DrawFocusRect(const RECT* rect)
{
    if (rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top)
        return;
    QImage& image = m_state->image;
    const QRect inside = QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
    // Every other pixel of the frame, chosen by the pixel's position on the surface so that the dots of two
    // overlapping frames line up.
    auto invert = [&](int px, int py) {
        if (px < 0 || py < 0 || px >= image.width() || py >= image.height() || ((px + py) & 1) != 0)
            return;
        QRgb& pixel = reinterpret_cast<QRgb*>(image.scanLine(py))[px];
        pixel ^= 0x00FFFFFF;
    };
    for (int px = inside.left(); px <= inside.right(); ++px) {
        invert(px, inside.top());
        if (inside.bottom() != inside.top())
            invert(px, inside.bottom());
    }
    for (int py = inside.top() + 1; py < inside.bottom(); ++py) {
        invert(inside.left(), py);
        if (inside.right() != inside.left())
            invert(inside.right(), py);
    }
}
