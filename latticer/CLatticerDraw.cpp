// The drawing steps of CLatticer, one per kind, in device pixels: image coordinate v lands on
// origin + rnd(ratio * v), rnd(a) = trunc(a + 0.5).
#include "latticer/CLatticer.h"

#include "gdi/CDC.h"
#include "strings/Format.h"
#include "types/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// GDI coordinates are 27-bit; clamping keeps absurd spacings or zooms from overflowing the conversion.
constexpr double kCoordinateLimit = 1 << 27;

int Rnd(double v)
{
    return TruncHalfUp(std::clamp(v, -kCoordinateLimit, kCoordinateLimit));
}

// A device position or length given by the caller (origin, tick length), brought into the same range so that
// sums of a few of them stay within int.
int ClampCoordinate(int64_t v)
{
    const auto limit = static_cast<int64_t>(kCoordinateLimit);
    return static_cast<int>(std::clamp(v, -limit, limit));
}

// Label precision: more decimals than a double carries only make longer text (and a hostile count would ask for
// gigabytes of it); fewer than none are none.
constexpr int kMostDecimals = 20;

int Trunc(double v)
{
    return static_cast<int>(std::trunc(std::clamp(v, -kCoordinateLimit, kCoordinateLimit)));
}

void Line(CDC* dc, int x0, int y0, int x1, int y1)
{
    dc->MoveTo(x0, y0);
    dc->LineTo(x1, y1);
}

// Selects the overlay pen and a hollow brush for one drawing step and puts the previous ones back.
class OverlayTools
{
public:
    OverlayTools(CDC* dc, const LOGPEN& description) : m_dc(dc)
    {
        m_pen.CreatePenIndirect(&description);
        const LOGBRUSH hollow{BS_HOLLOW, 0, 0};
        m_brush.CreateBrushIndirect(&hollow);
        m_oldPen = m_dc->SelectObject(&m_pen);
        m_oldBrush = m_dc->SelectObject(&m_brush);
    }
    ~OverlayTools()
    {
        m_dc->SelectObject(m_oldBrush);
        m_dc->SelectObject(m_oldPen);
    }
    OverlayTools(const OverlayTools&) = delete;
    OverlayTools& operator=(const OverlayTools&) = delete;

private:
    CDC* m_dc;
    CPen m_pen;
    CBrush m_brush;
    CPen* m_oldPen = nullptr;
    CBrush* m_oldBrush = nullptr;
};

}  // namespace

struct CLatticer::Frame
{
    int x;      // device position of image pixel (0, 0)
    int y;
    double r;   // device pixels per image pixel
    double W;   // canvas in image pixels
    double H;
    double CX;
    double CY;
    double s;   // spacing in image pixels

    int Dx(double v) const { return x + Rnd(r * v); }
    int Dy(double v) const { return y + Rnd(r * v); }

    // The box of a square or circle of half size d around the centre, right and bottom exclusive.
    RECT CentredBox(double d) const
    {
        return RECT{Dx(CX - d), Dy(CY - d), Dx(CX + d) + 1, Dy(CY + d) + 1};
    }
};

void CLatticer::Draw(CDC* dc, POINT origin, float ratio, int)
{
    if (!(upp > 0.0) || !std::isfinite(upp))
        return;
    // trunc(gap / upp) < 10 in a form that also catches a NaN or infinite gap.
    const double pixels = gap / upp;
    if (!(pixels >= 10.0) || !std::isfinite(pixels))
        gap = static_cast<float>(upp * 10.0);
    // A zoom that is not a positive number has no picture (and would never close the concentric figures).
    if (!(ratio > 0.0f) || !std::isfinite(ratio))
        return;

    Frame f{ClampCoordinate(origin.x), ClampCoordinate(origin.y), ratio, double(canvas.cx), double(canvas.cy),
            canvas.cx / 2.0, canvas.cy / 2.0, gap / upp};
    // A scale so small that ten pixels' worth of units is below float's range leaves gap 0; the loops below would
    // never advance.
    if (!(f.s >= 1.0))
        return;
    // Zoomed in, image pixels are squares; the grid goes through their centres. Shifting (not replacing) the
    // origin keeps the grid on the image when the window is scrolled.
    if (ratio > 4.0f) {
        const int centring = Rnd(f.r * 0.5);
        f.x += centring;
        f.y += centring;
    }

    if (type & G_CHECK)
        DrawCheck(dc, f);
    if (type & G_CROSS)
        DrawCross(dc, f);
    if (type & G_RECTANGLES)
        DrawRectsCircles(dc, f, true);
    if (type & G_DIAGONALS)
        DrawDiagnal(dc, f);
    if (type & G_CIRCLES)
        DrawRectsCircles(dc, f, false);
    if (type & G_CIRCLECROSS)
        DrawCircleCross(dc, f);
}

void CLatticer::DrawCheck(CDC* dc, const Frame& f) const
{
    OverlayTools tools(dc, pen);
    for (double t = 0; t < f.W; t += f.s)
        Line(dc, f.Dx(t), f.Dy(f.H), f.Dx(t), f.y);
    for (double t = 0; t < f.H; t += f.s)
        Line(dc, f.x, f.Dy(t), f.Dx(f.W), f.Dy(t));
}

void CLatticer::DrawCross(CDC* dc, const Frame& f) const
{
    {
        OverlayTools tools(dc, pen);
        const double wr = f.r * f.W;
        const double hr = f.r * f.H;
        const int X = f.x + Trunc((wr + 1) / 2);
        Line(dc, X, f.y, X, f.y + Rnd(hr));
        const int Y = f.y + Trunc((hr + 1) / 2);
        Line(dc, f.x + Rnd(wr), Y, f.x, Y);
    }
    if (ruler)
        DrawRuler(dc, f);
}

void CLatticer::DrawRectsCircles(CDC* dc, const Frame& f, bool rectangles) const
{
    OverlayTools tools(dc, pen);
    // Goes on until a figure reaches past both the left and the top edge of the image.
    for (int k = 1;; ++k) {
        const RECT box = f.CentredBox(k * f.s);
        if (rectangles)
            dc->Rectangle(&box);
        else
            dc->Ellipse(&box);
        if (!(box.left > f.x || box.top > f.y))
            break;
    }
}

void CLatticer::DrawDiagnal(CDC* dc, const Frame& f) const
{
    OverlayTools tools(dc, pen);
    // Rows where the 45-degree lines through the centre meet the left and right edges (integer halves).
    const int64_t top = (int64_t{canvas.cy} - canvas.cx + 1) / 2;
    const int64_t bottom = canvas.cy + (int64_t{canvas.cx} - canvas.cy + 1) / 2;
    Line(dc, f.x, f.Dy(double(top)), f.Dx(f.W), f.Dy(double(bottom)));
    Line(dc, f.Dx(f.W), f.Dy(double(top)), f.x, f.Dy(double(bottom)));
}

void CLatticer::DrawCircleCross(CDC* dc, const Frame& f) const
{
    OverlayTools tools(dc, pen);
    const RECT box = f.CentredBox(10 * f.s);
    dc->Ellipse(&box);

    const int yc = f.Dy(f.CY);
    Line(dc, box.left, yc, box.right, yc);
    const int xc = f.Dx(f.CX);
    const int margin = Rnd(0.02 * (box.bottom - box.top));
    Line(dc, xc, box.top + margin, xc, box.bottom - margin);

    const int half = ClampCoordinate(4 * int64_t{tickLength} / 10);
    // Nine ticks each side at whole spacings, sixteen each side at 0.6 spacings, none on the centre.
    int i = 0;
    for (double t = f.CX; i < 10 && t < f.W; t += f.s, ++i) {
        if (i == 0)
            continue;
        Line(dc, f.Dx(t), yc - half, f.Dx(t), yc + half + 1);
        Line(dc, f.Dx(f.W - t), yc - half, f.Dx(f.W - t), yc + half + 1);
    }
    i = 0;
    for (double t = f.CY; i < 17 && t < f.H; t += f.s * 0.6, ++i) {
        if (i == 0)
            continue;
        Line(dc, xc - half, f.Dy(t), xc + half + 1, f.Dy(t));
        Line(dc, xc - half, f.Dy(f.H - t), xc + half + 1, f.Dy(f.H - t));
    }
}

void CLatticer::DrawRuler(CDC* dc, const Frame& f) const
{
    OverlayTools tools(dc, pen);
    CFont labelFont;
    labelFont.CreateFontIndirect(&font);
    CFont* oldFont = dc->SelectObject(&labelFont);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(pen.lopnColor);

    const int decimals = std::clamp(decimal, 0, kMostDecimals);
    const auto label = [this, decimals](double offset, double spacing) {
        const int n = Rnd(offset / spacing);
        return Format("%.*f", decimals, static_cast<double>(n * gap));
    };
    const bool minorTicks = f.s * 0.1 > 4;

    // Horizontal ruler: ticks down from the cross, labels centred under them.
    const int yc = f.Dy(f.CY);
    const int labelTop = f.y + Rnd(tickLength + f.r * f.CY);
    const int minorEnd = f.y + Rnd(tickLength / 2 + f.r * f.CY);
    for (double t = f.CX; t < f.W; t += f.s) {
        if (t != f.CX) {
            const std::string text = label(t - f.CX, f.s);
            const int halfWidth = dc->GetTextExtent(text).cx / 2;
            for (const int X : {f.Dx(t), f.Dx(f.W - t)}) {
                Line(dc, X, yc, X, labelTop);
                RECT box{X - halfWidth, labelTop, X - halfWidth + 50, labelTop + 30};
                dc->DrawText(text, &box, 0);
            }
        }
        if (minorTicks) {
            for (double u = t; u < t + f.s; u += f.s / 10) {
                Line(dc, f.Dx(u), yc, f.Dx(u), minorEnd);
                Line(dc, f.Dx(f.W - u), yc, f.Dx(f.W - u), minorEnd);
            }
        }
    }

    // Vertical ruler: ticks right of the cross, labels beside them.
    const int xc = f.Dx(f.CX);
    const int labelLeft = f.x + Trunc(tickLength + f.r * f.CX + 2.5);
    const int majorEnd = f.x + Rnd(tickLength + f.r * f.CX);
    const int minorEndX = f.x + Rnd(tickLength / 2 + f.r * f.CX);
    for (double t = f.CY; t < f.H; t += f.s) {
        if (t != f.CY) {
            const std::string text = label(t - f.CY, f.s);
            for (const int Y : {f.Dy(t), f.Dy(f.H - t)}) {
                Line(dc, xc, Y, majorEnd, Y);
                RECT box{labelLeft, Y, labelLeft + 200, Y + 50};
                dc->DrawText(text, &box, 0);
            }
        }
        if (minorTicks) {
            for (double u = t; u < t + f.s; u += f.s / 10) {
                Line(dc, xc, f.Dy(u), minorEndX, f.Dy(u));
                Line(dc, xc, f.Dy(f.H - u), minorEndX, f.Dy(f.H - u));
            }
        }
    }

    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}
