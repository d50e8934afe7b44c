#include "gobjects/shapes/CQvGObjectPerpendicular.h"

#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/geometry/GeoHitRegion.h"
#include "gobjects/private/PixelCross.h"

#include "calibkeeper/CCalibKeeper.h"
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "strings/Format.h"
#include "types/Rounding.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cmath>

namespace {

// More digits than a double holds make no sense and a huge precision would build a huge string.
constexpr int kMaxDecimals = 20;

}  // namespace

CQvGObjectPerpendicular::CQvGObjectPerpendicular()
{
    m_shape = SHAPE_PERPENDICULAR;
    m_points.assign(kCapacityStep, _RPOINT{0.0, 0.0});
}

void CQvGObjectPerpendicular::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

int CQvGObjectPerpendicular::GetPointCount() const
{
    return m_state == GS_ADDING && m_pointCount > 0 ? m_pointCount - 1 : m_pointCount;
}

_RPOINT CQvGObjectPerpendicular::Foot(int j) const
{
    _RPOINT foot;
    GetPerpendicularPoint(m_points[0], m_points[1], m_points[j], foot);
    return foot;
}

int CQvGObjectPerpendicular::WindowMiddle(double a, double b, int origin, float ratio)
{
    return static_cast<int>(ClampWindowPosition((static_cast<double>(ratio) * (a + b) + 1.0) * 0.5 + origin));
}

// --- Painting ---

void CQvGObjectPerpendicular::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    if (m_pointCount <= 0)
        return;
    dc->MoveTo(MapToWindow(m_points[0], *origin, *ratio));
    dc->LineTo(MapToWindow(m_points[1], *origin, *ratio));

    // The texts look like the value label that the base never paints for this shape.
    CFont font;
    CFont* oldFont = nullptr;
    int oldBkMode = 0;
    COLORREF oldTextColour = 0;
    const CQvGObject* label = GetLabelObject();
    if (label) {
        LOGFONTA logFont = label->GetProperty().GetFont();
        logFont.lfHeight = ScaleFontHeight(logFont.lfHeight, ratio);
        logFont.lfStrikeOut = 0;
        font.CreateFontIndirect(&logFont);
        oldFont = dc->SelectObject(&font);
        oldTextColour = dc->SetTextColor(label->GetProperty().GetTextColor());
        oldBkMode = dc->SetBkMode(TRANSPARENT);
    }

    const int count = std::min(GetPointCount(), static_cast<int>(m_points.size()));
    for (int j = 2; j < count; ++j) {
        DrawFurtherPoint(dc, j, *origin, *ratio);
        CPoint centre;
        if (flag != kPaintRubberBand && TextCentre(j, *origin, *ratio, centre))
            DrawSubItemText(dc, j - 2, centre);
    }

    if (label) {
        dc->SetBkMode(oldBkMode);
        dc->SetTextColor(oldTextColour);
        dc->SelectObject(oldFont);
    }
}

void CQvGObjectPerpendicular::DrawFurtherPoint(CDC* dc, int j, const CPoint& origin, float ratio)
{
    const CPoint point = MapToWindow(m_points[j], origin, ratio);
    dc->MoveTo(MapToWindow(Foot(j), origin, ratio));
    dc->LineTo(point);
    DrawPixelCross(dc, point, ratio);
}

bool CQvGObjectPerpendicular::TextCentre(int j, const CPoint& origin, float ratio, CPoint& centre)
{
    const _RPOINT foot = Foot(j);
    centre = CPoint(WindowMiddle(foot.x, m_points[j].x, origin.x, ratio),
                    WindowMiddle(foot.y, m_points[j].y, origin.y, ratio));
    return true;
}

void CQvGObjectPerpendicular::DrawSubItemText(CDC* dc, int subItem, CPoint centre)
{
    const int showName = m_container ? m_container->GetDisplayName() : 0;
    const int showData = m_container ? m_container->GetDisplayData() : 1;
    const int showMark = m_container ? m_container->GetDisplayMark() : 1;
    const CCalibKeeper* calib = m_container ? m_container->GetCalibKeeper() : nullptr;
    const int unit = calib ? calib->GetUnit() : UNIT_PIXEL;

    // The name carries the sub index so that every foot can be told apart. The box is measured on both lines,
    // name and value, whichever are shown, and centred; each shown line starts at its left edge, so that with
    // the name hidden the value stands at the top-left corner of the two-line box.
    if (!showName && !showData)
        return;
    const std::string name = Format("%s-%d", m_property.GetName().c_str(), subItem);
    const std::string value = showData ? GetDataString(subItem) : std::string();
    CRect box(0, 0, 10, 10);
    dc->DrawText(name + "\n" + value, box, DT_CALCRECT | DT_NOCLIP);
    const int width = box.Width();
    const int height = box.Height();
    box = CRect(centre.x - width / 2, centre.y - height / 2, centre.x - width / 2 + width,
                centre.y - height / 2 + height);

    CRect nameBox = box;
    if (showName) {
        dc->DrawText(name, nameBox, DT_CALCRECT);
        dc->DrawText(name, nameBox, DT_LEFT);
    }
    if (showData) {
        CRect valueBox = box;
        if (showName)
            valueBox.top = nameBox.bottom + 2;
        dc->DrawText(value, valueBox, DT_CALCRECT | DT_CENTER);
        dc->DrawText(value, valueBox, DT_CENTER);
        if (showMark)
            CCalibKeeper::DrawSymbol(dc, CPoint(valueBox.right + 2, valueBox.top), unit, 0, 0, 1);
    }
}

// --- Handles and moves ---

int CQvGObjectPerpendicular::GetHandle(CRect rect)
{
    m_curSubItem = -1;
    if (m_state == GS_ADDING && m_pointCount > 0) {
        m_selectedHandle = m_pointCount - 1;
    } else {
        m_selectedHandle = FindCountedPoint(rect);
        if (m_selectedHandle >= 0)
            m_curSubItem = m_selectedHandle - 2;
    }
    return m_selectedHandle;
}

void CQvGObjectPerpendicular::MoveHandle(int handle, CSize delta)
{
    MoveCountedPoint(handle, delta);
}

void CQvGObjectPerpendicular::MoveTo(CSize delta)
{
    MoveWhole(delta, m_pointCount);
}

UINT CQvGObjectPerpendicular::GetCursorShape(CRect rect)
{
    return FindCountedPoint(rect) >= 0 ? IDC_SIZEALL : kNoCursor;
}

// --- Creation ---

int CQvGObjectPerpendicular::AddPoint(CPoint point)
{
    return AppendCountedPoint(point, kCapacityStep);
}

void CQvGObjectPerpendicular::Finish()
{
    m_state = GS_FINISHED;
    // The last point is the one that followed the mouse; an object finished before any click has none to drop.
    if (m_pointCount > 0)
        --m_pointCount;
    GetMBR();
    if (m_pointCount >= 2)
        AddLabelBetweenFirstPoints();
    HideRealtimeResultBox();
}

// --- Regions ---

int CQvGObjectPerpendicular::GetHitTestRgn(CRgn& rgn)
{
    if (m_pointCount <= 0)
        return 0;
    const int reach = GetZoomTolerance();
    CreateLineHitRgn(rgn, m_points[0], m_points[1], reach, CPoint(0, 0), 1.0);
    for (int j = 2; j < m_pointCount; ++j) {
        const CPoint p = Rounded(m_points[j]);
        CRgn square;
        square.CreateRectRgn(p.x - reach, p.y - reach, p.x + reach + 1, p.y + reach + 1);
        rgn.CombineRgn(&rgn, &square, RGN_OR);
    }
    return 1;
}

CRect CQvGObjectPerpendicular::GetMBR()
{
    return PointsBox(m_pointCount);
}

// --- Values and sub items ---

void CQvGObjectPerpendicular::SetCalType()
{
    m_calType = CAL_LENGTH;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectPerpendicular::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    const double s = GetUnitsPerPixel();
    data.value1 = std::sqrt(std::pow(s * (m_points[0].x - m_points[1].x), 2) +
                            std::pow(s * (m_points[0].y - m_points[1].y), 2));
    return 1;
}

bool CQvGObjectPerpendicular::SubItemValue(int subItem, double& value)
{
    const int j = subItem + 2;
    if (subItem < 0 || j >= GetPointCount())
        return false;
    const _RPOINT foot = Foot(j);
    value = GetUnitsPerPixel() * GetDistance(m_points[j].x, m_points[j].y, foot.x, foot.y);
    return true;
}

std::string CQvGObjectPerpendicular::GetDataString(int subItem)
{
    double value = 0.0;
    if (!SubItemValue(subItem, value))
        return {};
    const int decimals = std::clamp(m_container ? m_container->GetDecimalPointRange() : 3, 0, kMaxDecimals);
    return Format("%.*f", decimals, value);
}

int CQvGObjectPerpendicular::DeleteSubPerpen(int subItem)
{
    m_curSubItem = -1;
    // Only feet go: a negative index (what a grabbed base-line end reports) would take the base line apart.
    const int j = subItem + 2;
    if (subItem >= 0 && j < m_pointCount) {
        std::copy(m_points.begin() + j + 1, m_points.begin() + m_pointCount, m_points.begin() + j);
        --m_pointCount;
        m_points[m_pointCount] = _RPOINT{0.0, 0.0};
    }
    return m_pointCount <= 2 ? 1 : 0;
}
