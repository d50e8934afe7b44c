#include "gobjects/private/DimensionTicks.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/geometry/GeoHitRegion.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"

#include <algorithm>

namespace {

// The ticks' common span: the smaller and the larger of the rounded positions across the measured axis, and the
// position half-way.
struct TickSpan
{
    int low;
    int high;
    int middle;
};

TickSpan SpanOf(double a, double b)
{
    const int low = std::min(TruncHalfUp(a), TruncHalfUp(b));
    const int high = std::max(TruncHalfUp(a), TruncHalfUp(b));
    return TickSpan{low, high, (low + high) / 2};
}

// Coordinates along and across the measured axis, and back.
struct Axes
{
    bool alongX;

    double Along(const _RPOINT& p) const { return alongX ? p.x : p.y; }
    double Across(const _RPOINT& p) const { return alongX ? p.y : p.x; }
    int Along(const CPoint& p) const { return alongX ? p.x : p.y; }
    int Across(const CPoint& p) const { return alongX ? p.y : p.x; }
    CPoint Window(int along, int across) const { return alongX ? CPoint(along, across) : CPoint(across, along); }
    _RPOINT Image(double along, double across) const
    {
        return alongX ? _RPOINT{along, across} : _RPOINT{across, along};
    }
};

}  // namespace

void DrawDimensionTicks(CDC* dc, const _RPOINT& a, const _RPOINT& b, bool alongX, const CPoint& origin, float ratio)
{
    const Axes axes{alongX};
    const TickSpan span = SpanOf(axes.Across(a), axes.Across(b));
    const int low = CQvGObject::MapToWindow(span.low, axes.Across(origin), ratio);
    const int high = CQvGObject::MapToWindow(span.high, axes.Across(origin), ratio);
    const int start = CQvGObject::MapToWindow(axes.Along(a), axes.Along(origin), ratio);
    const int end = CQvGObject::MapToWindow(axes.Along(b), axes.Along(origin), ratio);
    for (int along : {start, end}) {
        dc->MoveTo(axes.Window(along, low));
        dc->LineTo(axes.Window(along, high));
    }
    const int middle = CQvGObject::MapToWindow(span.middle, axes.Across(origin), ratio);
    dc->MoveTo(axes.Window(start, middle));
    dc->LineTo(axes.Window(end, middle));
}

void CreateDimensionTicksRgn(CRgn& rgn, const _RPOINT& a, const _RPOINT& b, bool alongX, double reach)
{
    const Axes axes{alongX};
    const TickSpan span = SpanOf(axes.Across(a), axes.Across(b));
    const double start = TruncHalfUp(axes.Along(a));
    const double end = TruncHalfUp(axes.Along(b));
    const CPoint imageOrigin(0, 0);
    CreateLineHitRgn(rgn, axes.Image(start, span.middle), axes.Image(end, span.middle), reach, imageOrigin, 1.0);
    for (double along : {start, end}) {
        CRgn tick;
        CreateLineHitRgn(tick, axes.Image(along, span.low), axes.Image(along, span.high), reach, imageOrigin, 1.0);
        rgn.CombineRgn(&rgn, &tick, RGN_OR);
    }
}
