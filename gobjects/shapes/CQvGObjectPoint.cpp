#include "gobjects/shapes/CQvGObjectPoint.h"

#include "gobjects/private/PixelCross.h"

#include "gdi/CDC.h"
#include "gdi/CPen.h"
#include "gdi/CRgn.h"
#include "types/Rounding.h"
#include "types/WinUser.h"

CQvGObjectPoint::CQvGObjectPoint()
{
    m_shape = SHAPE_POINT;
    m_points.assign(1, _RPOINT{0.0, 0.0});
}

CQvGObjectPoint& CQvGObjectPoint::operator=(const CQvGObjectPoint& other)
{
    CQvGObject::operator=(other);
    m_markerSize = other.m_markerSize;
    return *this;
}

void CQvGObjectPoint::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

CPoint CQvGObjectPoint::RoundedPoint() const
{
    return CPoint(TruncHalfUp(m_points[0].x), TruncHalfUp(m_points[0].y));
}

void CQvGObjectPoint::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int /*flag*/)
{
    if (m_pointCount == 0)
        return;
    const int arm = TruncHalfUp(static_cast<double>(*ratio) * m_markerSize);
    if (arm < 1)
        return;
    LOGPEN pen{};
    if (dc->GetCurrentPen())
        dc->GetCurrentPen()->GetLogPen(&pen);
    SetPlusPixels(dc, MapToWindow(m_points[0], *origin, *ratio), arm, pen.lopnColor);
}

int CQvGObjectPoint::GetHandle(CRect /*rect*/)
{
    m_selectedHandle = m_state == GS_ADDING && m_pointCount > 0 ? 0 : -1;
    return m_selectedHandle;
}

void CQvGObjectPoint::MoveHandle(int handle, CSize delta)
{
    if (handle != 0)
        return;
    m_points[0].x += delta.cx;
    m_points[0].y += delta.cy;
}

void CQvGObjectPoint::MoveTo(CSize delta)
{
    MoveWhole(delta, 1);
}

int CQvGObjectPoint::AddPoint(CPoint point)
{
    m_points[0] = _RPOINT{static_cast<double>(point.x), static_cast<double>(point.y)};
    Finish();
    return m_pointCount;
}

void CQvGObjectPoint::Finish()
{
    m_state = GS_FINISHED;
    m_pointCount = 1;
    // An annotation gets no label that would set its mask; it must be stored as it is read back.
    SetCalType();
    const CRect box = GetMBR();
    // Finishing again (a caller that also finishes after the click did) must not stack a second label.
    if (!IsAnnotation() && m_labels.empty())
        AddLabelObject(CPoint((box.left + box.right) / 2, box.bottom + 3 * m_markerSize));
}

int CQvGObjectPoint::GetHitTestRgn(CRgn& rgn)
{
    const CRect box = CQvGObjectPoint::GetMBR();
    return rgn.CreateRectRgnIndirect(&box) ? 1 : 0;
}

CRect CQvGObjectPoint::GetMBR()
{
    const _RPOINT& p = m_points[0];
    CRect box(TruncHalfUp(p.x - m_markerSize), TruncHalfUp(p.y - m_markerSize), TruncHalfUp(p.x + m_markerSize),
              TruncHalfUp(p.y + m_markerSize));
    box.NormalizeRect();
    return box;
}

UINT CQvGObjectPoint::GetCursorShape(CRect rect)
{
    return rect.PtInRect(RoundedPoint()) ? IDC_SIZEALL : kNoCursor;
}

void CQvGObjectPoint::SetCalType()
{
    m_calType = CAL_POSITION_CENTER;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectPoint::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    if (data.kind != CAL_POSITION_CENTER)
        return 0;
    data.value1 = m_points[0].x;
    data.value2 = m_points[0].y;
    return 1;
}
