#include "gdi/private/PenMapping.h"

namespace gdi_detail {

QColor ToQColor(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

QPen ToQPen(const LOGPEN& pen)
{
    const int style = static_cast<int>(pen.lopnStyle);
    if (style == PS_NULL)
        return QPen(Qt::NoPen);
    const QColor colour = ToQColor(pen.lopnColor);
    if (pen.lopnWidth.x > 1)
        return QPen(colour, pen.lopnWidth.x, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    QPen cosmetic(colour, 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    // Lengths in pixels along the line's major axis, as Windows draws its 1-pixel styled lines.
    switch (style) {
    case PS_DASH: cosmetic.setDashPattern({18, 6}); break;
    case PS_DOT: cosmetic.setDashPattern({3, 3}); break;
    case PS_DASHDOT: cosmetic.setDashPattern({9, 6, 3, 6}); break;
    case PS_DASHDOTDOT: cosmetic.setDashPattern({9, 3, 3, 3, 3, 3}); break;
    default: break;
    }
    return cosmetic;
}

QBrush ToQBrush(const LOGBRUSH& brush)
{
    const QColor colour = ToQColor(brush.lbColor);
    switch (brush.lbStyle) {
    case BS_SOLID:
        return QBrush(colour);
    case BS_HATCHED: {
        static constexpr Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                     Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        const int hatch = brush.lbHatch >= HS_HORIZONTAL && brush.lbHatch <= HS_DIAGCROSS ? brush.lbHatch : 0;
        return QBrush(colour, hatches[hatch]);
    }
    default:
        return QBrush(Qt::NoBrush);
    }
}

}  // namespace gdi_detail
