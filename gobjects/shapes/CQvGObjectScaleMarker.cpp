#include "gobjects/shapes/CQvGObjectScaleMarker.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/geometry/GeoDrawing.h"
#include "gobjects/ui/CObjScaleMarkerPage.h"

#include "calibkeeper/CCalibKeeper.h"
#include "gdi/CBrush.h"
#include "gdi/CDC.h"
#include "gdi/CFont.h"
#include "gdi/CPen.h"
#include "gdi/CRgn.h"
#include "stream/LeStream.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr int kMargin = 20;
constexpr int kSegments = 5;
// Farther out than any image: a stored position beyond it is a damaged record.
constexpr int32_t kMaxPosition = 10000000;
// A bar longer than this many pixels comes from a calibration nobody can show; it is drawn at this length.
constexpr double kMaxBarPixels = 1000000.0;

int Trunc(double v)
{
    return static_cast<int>(std::trunc(v));
}

// Window pixel of an image coordinate, truncated as the marker maps its box.
int MapTrunc(double v, int origin, float ratio)
{
    return Trunc(origin + static_cast<double>(ratio) * v);
}

}  // namespace

CQvGObjectScaleMarker::CQvGObjectScaleMarker()
{
    m_shape = SHAPE_SCALE_MARKER;
}

void CQvGObjectScaleMarker::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

CQvGObjectScaleMarker& CQvGObjectScaleMarker::operator=(const CQvGObjectScaleMarker& other)
{
    CQvGObjectText::operator=(other);
    m_float10 = other.m_float10;
    m_orientation = other.m_orientation;
    m_barColour = other.m_barColour;
    m_int2 = other.m_int2;
    m_followFlag = other.m_followFlag;
    m_anchor = other.m_anchor;
    m_int20 = other.m_int20;
    m_posX = other.m_posX;
    m_posY = other.m_posY;
    m_captionUnit = other.m_captionUnit;
    m_finishUI = other.m_finishUI;
    return *this;
}

int CQvGObjectScaleMarker::GetBarPixels() const
{
    const CCalibKeeper* calib = m_container ? m_container->GetCalibKeeper() : nullptr;
    if (!calib)
        return 0;
    const double u = calib->GetUnitsPerPixel();
    if (!(u > 0.0) || !std::isfinite(u))
        return 0;
    const double bar = static_cast<double>(calib->GetScaleLength()) / u;
    if (!(bar > 0.0))
        return 0;
    return Trunc(std::min(bar, kMaxBarPixels));
}

int CQvGObjectScaleMarker::CaptionHeight() const
{
    return Trunc(std::abs(static_cast<double>(m_property.GetFont().lfHeight)) * 1.2 + 17.0);
}

CRect CQvGObjectScaleMarker::GetScaleRect()
{
    const int x = Trunc(m_points[0].x);
    const int y = Trunc(m_points[0].y);
    const int length = GetBarPixels() + 40;
    const int across = CaptionHeight();
    if (m_orientation)
        return CRect(x, y, x + length, y + across);
    return CRect(x, y, x + across, y + length);
}

std::string CQvGObjectScaleMarker::FormatLength(double value)
{
    char text[128];
    if (!(value < 1.0)) {
        std::snprintf(text, sizeof text, "%.f", value);
        return text;
    }
    // The zeros right after the decimal point decide how many decimals show the first significant digit. They
    // are counted on more decimals than "%f" prints, so that a length too small for eight decimals is told apart.
    char probe[128];
    std::snprintf(probe, sizeof probe, "%.12f", std::fabs(value));
    int zeros = 0;
    if (const char* point = std::strchr(probe, '.'))
        for (const char* c = point + 1; *c == '0'; ++c)
            ++zeros;
    if (zeros > 7)
        std::snprintf(text, sizeof text, "%f", value);
    else
        std::snprintf(text, sizeof text, "%.*f", zeros + 1, value);
    return text;
}

int CQvGObjectScaleMarker::GetShownCaptionUnit() const
{
    const CCalibKeeper* calib = m_container ? m_container->GetCalibKeeper() : nullptr;
    if (!calib)
        return m_captionUnit;
    // Pixels and lengths do not convert into each other: a length caption on an uncalibrated image, or a pixel
    // caption (every new marker's) on a calibrated one, would print the bar in a unit it was not measured in.
    if (calib->GetUnit() == UNIT_PIXEL || m_captionUnit == UNIT_PIXEL)
        return calib->GetUnit();
    return m_captionUnit;
}

std::string CQvGObjectScaleMarker::GetCaption() const
{
    const CCalibKeeper* calib = m_container ? m_container->GetCalibKeeper() : nullptr;
    if (!calib)
        return {};
    const int unit = GetShownCaptionUnit();
    double value = calib->GetScaleLength();
    if (unit != calib->GetUnit()) {
        value = GetBarPixels() * calib->GetUnitsPerPixel();
        CCalibKeeper::ChangeUnit(calib->GetUnit(), unit, value);
    }
    std::string caption = FormatLength(value) + CCalibKeeper::GetSymbolString(unit);
    // -1 or 0 is "no magnification", not a magnification to print.
    if (calib->GetMagnification() > 0.0) {
        char magnification[64];
        std::snprintf(magnification, sizeof magnification, "%.f", calib->GetMagnification());
        caption += std::string("  x") + magnification;
    }
    return caption;
}

void CQvGObjectScaleMarker::RememberPosition()
{
    m_posX = Trunc(m_points[0].x);
    m_posY = Trunc(m_points[0].y);
}

void CQvGObjectScaleMarker::BecomeDefault()
{
    RememberPosition();
    if (m_container)
        m_container->SetDefaultProperty(this, SHAPE_SCALE_MARKER);
}

void CQvGObjectScaleMarker::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    const CRect scale = GetScaleRect();
    m_points[1] = _RPOINT{static_cast<double>(scale.right), static_cast<double>(scale.bottom)};
    RememberPosition();

    const float r = *ratio;
    CRect box(MapTrunc(scale.left, origin->x, r), MapTrunc(scale.top, origin->y, r),
              MapTrunc(scale.right, origin->x, r), MapTrunc(scale.bottom, origin->y, r));
    dc->Rectangle(box.left, box.top, box.right, box.bottom);

    CPen pen;
    pen.CreatePen(PS_SOLID, 1, m_barColour);
    CPen* oldPen = dc->SelectObject(&pen);
    box.DeflateRect(2, 2);
    const int thickness = Trunc(7.0 * r);
    const int length = Trunc(r * GetBarPixels());
    const std::string caption = GetCaption();
    if (m_orientation) {
        if (flag != 1) {
            CRect into = box;
            dc->DrawText(caption, into, DT_CENTER);
        }
        const int bottom = box.bottom - 3;
        const int left = Trunc(20.0 * r + box.left);
        DrawBar(dc, CRect(left, bottom - thickness, left + length, bottom), true);
    } else {
        LOGFONTA logFont = m_property.GetFont();
        logFont.lfHeight = ScaleFontHeight(logFont.lfHeight, ratio);
        logFont.lfStrikeOut = 0;
        logFont.lfEscapement = -900;
        CFont font;
        font.CreateFontIndirect(&logFont);
        CFont* oldFont = dc->SelectObject(&font);
        CRect extent(0, 0, 0, 0);
        dc->DrawText(caption, extent, DT_CALCRECT | DT_NOCLIP);
        const int top = box.top + (box.Height() - extent.Width()) / 2;
        CRect at(box.right, top, box.right + extent.Width(), top + extent.Height());
        dc->DrawText(caption, at, DT_NOCLIP);
        dc->SelectObject(oldFont);
        const int left = box.left + 3;
        const int top2 = box.top + Trunc(20.0 * r);
        DrawBar(dc, CRect(left, top2, left + thickness, top2 + length), false);
    }
    dc->SelectObject(oldPen);
}

void CQvGObjectScaleMarker::DrawBar(CDC* dc, CRect bar, bool horizontal)
{
    if (bar.IsRectEmpty())
        return;
    dc->FillSolidRect(&bar, m_barColour);
    const int length = horizontal ? bar.Width() : bar.Height();
    const int segment = length / kSegments;
    for (int i = 0; i < kSegments; ++i) {
        CRect part = bar;
        const int from = i * segment;
        const int to = i == kSegments - 1 ? length : (i + 1) * segment;
        if (horizontal) {
            part.left = bar.left + from;
            part.right = bar.left + to;
        } else {
            part.top = bar.top + from;
            part.bottom = bar.top + to;
        }
        dc->FillSolidRect(&part, i % 2 == 0 ? m_barColour : kWhite);
    }
    DrawRectangleOutline(dc, bar.left, bar.top, bar.right, bar.bottom, m_barColour, 1);
}

void CQvGObjectScaleMarker::DrawMouseMoving(CDC* dc, const CPoint* origin, const float* ratio, int /*flag*/)
{
    const CRect scale = GetScaleRect();
    const CRect box(MapTrunc(scale.left, origin->x, *ratio), MapTrunc(scale.top, origin->y, *ratio),
                    MapTrunc(scale.right, origin->x, *ratio), MapTrunc(scale.bottom, origin->y, *ratio));
    CBrush brush;
    brush.CreateSolidBrush(m_property.GetFillColor());
    dc->FillRect(&box, &brush);
}

void CQvGObjectScaleMarker::DrawSelection(CDC* dc, const CPoint* origin, const float* ratio)
{
    const CRect scale = GetScaleRect();
    const int l = MapTrunc(scale.left, origin->x, *ratio);
    const int t = MapTrunc(scale.top, origin->y, *ratio);
    const int r = MapTrunc(scale.right, origin->x, *ratio);
    const int b = MapTrunc(scale.bottom, origin->y, *ratio);
    const int mx = (l + r) / 2;
    const int my = (t + b) / 2;
    const CPoint grips[] = {{l, t}, {mx, t}, {r, t}, {r, my}, {r, b}, {mx, b}, {l, b}, {l, my}};
    for (const CPoint& p : grips)
        DrawGrip(dc, p);
}

int CQvGObjectScaleMarker::GetHitTestRgn(CRgn& rgn)
{
    CRect box = GetScaleRect();
    box.InflateRect(2, 2);
    rgn.CreateRectRgnIndirect(&box);
    return 1;
}

void CQvGObjectScaleMarker::PlaceAtRememberedPosition()
{
    // Corner 2 goes with it: the rectangle's finish orders the corners, and a corner left where the mouse was
    // would take corner 1's place.
    m_points[0] = _RPOINT{static_cast<double>(m_posX), static_cast<double>(m_posY)};
    const CRect scale = GetScaleRect();
    m_points[1] = _RPOINT{static_cast<double>(scale.right), static_cast<double>(scale.bottom)};
}

void CQvGObjectScaleMarker::Finish()
{
    PlaceAtRememberedPosition();
    CQvGObjectText::Finish();
}

void CQvGObjectScaleMarker::ExternFinish()
{
    PlaceAtRememberedPosition();
    CQvGObjectRect::Finish();
}

void CQvGObjectScaleMarker::MoveTo(CSize delta)
{
    CQvGObjectRect::MoveTo(delta);
    if (m_followFlag)
        BecomeDefault();
}

int CQvGObjectScaleMarker::SpecificNoProperty(QWidget* /*parent*/)
{
    if (m_followFlag)
        RememberPosition();
    if (!m_container)
        return 1;
    // Corner 1 is in image pixels, like the canvas size: the window's zoom has no part in it.
    const CSize canvas = m_container->GetCanvasSize();
    const int length = GetBarPixels() + 40;
    const int across = CaptionHeight();
    int x = 0;
    int y = 0;
    if (m_orientation) {
        x = canvas.cx - length - kMargin;
        y = canvas.cy - across - kMargin;
    } else {
        x = canvas.cx - across - kMargin;
        y = canvas.cy - length - kMargin;
    }
    m_points[0] = _RPOINT{static_cast<double>(x), static_cast<double>(y)};
    BecomeDefault();
    return 1;
}

void CQvGObjectScaleMarker::PlaceAtAnchor()
{
    const CSize canvas = m_container ? m_container->GetCanvasSize() : CSize(0, 0);
    const int W = canvas.cx;
    const int H = canvas.cy;
    const CRect scale = GetScaleRect();
    const int w = scale.Width();
    const int h = scale.Height();
    CPoint at;
    switch (m_anchor) {
    case 0: at = CPoint(kMargin, kMargin); break;
    case 1: at = CPoint(W / 2 - w / 2, kMargin); break;
    case 2: at = CPoint(W - w - kMargin, kMargin); break;
    case 3: at = CPoint(kMargin, H / 2 - h / 2); break;
    case 4: at = CPoint(W - w - kMargin, H / 2 - h / 2); break;
    case 5: at = CPoint(kMargin, H - h - kMargin); break;
    case 6: at = CPoint(W / 2 - w / 2, H - h - kMargin); break;
    case 8: at = CPoint(W / 2 - w / 2, H / 2 - h / 2); break;
    default: at = CPoint(W - w - kMargin, H - h - kMargin); break;
    }
    m_points[0] = _RPOINT{static_cast<double>(at.x), static_cast<double>(at.y)};
    m_points[1] = _RPOINT{static_cast<double>(at.x + w), static_cast<double>(at.y + h)};
}

int CQvGObjectScaleMarker::SpecificProperty(QWidget* parent)
{
    RememberPosition();
    if (m_finishUI) {
        // The text's own sizing does not apply: the calibration gives the size.
        CObjScaleMarkerPage page(this);
        if (!RunPropertySheet(parent, &page))
            return 0;
    }
    PlaceAtAnchor();
    BecomeDefault();
    return 1;
}

void CQvGObjectScaleMarker::LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults)
{
    m_orientation = defaults.GetScaleMarkerInt1920();
    m_barColour = static_cast<COLORREF>(defaults.GetScaleMarkerInt1904());
    m_float10 = defaults.GetScaleMarkerFloat1912();
    m_captionUnit = defaults.GetScaleMarkerInt1916();
    m_int2 = defaults.GetScaleMarkerInt1908();
    // The follow flag stays as made: it is what lets a moved marker become the default in the first place.
    m_anchor = defaults.GetScaleMarkerInt1924(1);
    m_int20 = defaults.GetScaleMarkerInt1924(2);
    m_posX = defaults.GetScaleMarkerInt1924(3);
    m_posY = defaults.GetScaleMarkerInt1924(4);
}

void CQvGObjectScaleMarker::StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const
{
    defaults.SetScaleMarkerInt1920(m_orientation);
    defaults.SetScaleMarkerInt1904(static_cast<int32_t>(m_barColour));
    defaults.SetScaleMarkerFloat1912(m_float10);
    defaults.SetScaleMarkerInt1916(m_captionUnit);
    defaults.SetScaleMarkerInt1908(m_int2);
    defaults.SetScaleMarkerInt1924(0, m_followFlag);
    defaults.SetScaleMarkerInt1924(1, m_anchor);
    defaults.SetScaleMarkerInt1924(2, m_int20);
    defaults.SetScaleMarkerInt1924(3, m_posX);
    defaults.SetScaleMarkerInt1924(4, m_posY);
}

void CQvGObjectScaleMarker::WriteShapeFields(LeWriter& out)
{
    // Files always carry the follow flag set and the bottom-right anchor; saving leaves the marker itself as it is.
    constexpr int32_t kStoredFollowFlag = 1;
    constexpr int32_t kStoredAnchor = 7;
    out.Float(m_float10);
    out.Int32(m_orientation);
    out.Int32(static_cast<int32_t>(m_barColour));
    out.Int32(m_int2);
    out.Int32(kStoredFollowFlag);
    out.Int32(kStoredAnchor);
    out.Int32(m_int20);
    out.Int32(m_posX);
    out.Int32(m_posY);
    out.Int32(m_captionUnit);
}

int CQvGObjectScaleMarker::ReadShapeFields(LeReader& in, float version)
{
    if (!CQvGObjectText::ReadShapeFields(in, version))
        return 0;
    const float f = in.Float();
    int32_t v[9];
    in.Int32s(v, 9);
    if (!in.ok())
        return 0;
    // A unit the calibration keeper does not know, or a position beyond any image, is a damaged record.
    if (v[8] < 0 || v[8] > 7 || std::abs(static_cast<int64_t>(v[6])) > kMaxPosition ||
        std::abs(static_cast<int64_t>(v[7])) > kMaxPosition) {
        in.Fail();
        return 0;
    }
    m_float10 = f;
    m_orientation = v[0];
    m_barColour = static_cast<COLORREF>(v[1]);
    m_int2 = v[2];
    m_int20 = v[5];
    m_posX = v[6];
    m_posY = v[7];
    m_captionUnit = v[8];
    m_followFlag = 1;
    m_anchor = 7;
    return 1;
}
