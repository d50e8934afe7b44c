#include "CQvGObjectZIndicator.h"

#include "CQvGObjectLabel.h"

#include "types/Rounding.h"

namespace {

constexpr UINT kSizeAllCursor = 32646;

}  // namespace

CQvGObjectZIndicator::CQvGObjectZIndicator()
{
    m_shape = SHAPE_Z_INDICATOR;
    m_points.assign(1, _RPOINT{0.0, 0.0});
}

CQvGObjectZIndicator& CQvGObjectZIndicator::operator=(const CQvGObjectZIndicator& other)
{
    CQvGObject::operator=(other);
    m_halfSize = other.m_halfSize;
    return *this;
}

void CQvGObjectZIndicator::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

int CQvGObjectZIndicator::GetHandle(CRect /*rect*/)
{
    m_selectedHandle = -1;
    return -1;
}

int CQvGObjectZIndicator::AddPoint(CPoint point)
{
    m_points[0] = _RPOINT{static_cast<double>(point.x), static_cast<double>(point.y)};
    Finish();
    return m_pointCount;
}

void CQvGObjectZIndicator::SetValue(double height)
{
    m_points[0] = _RPOINT{height, 0.0};
    if (m_state != GS_FINISHED)
        Finish();
    else
        UpdateDataLabel();
}

void CQvGObjectZIndicator::Finish()
{
    m_state = GS_FINISHED;
    m_pointCount = 1;
    // An annotation gets no label that would set its mask; it must be stored as it is read back.
    SetCalType();
    const CRect box = GetMBR();
    // The handler that adds an indicator finishes it again after AddPoint did: one label is enough.
    if (!IsAnnotation() && m_labels.empty())
        AddLabelObject(CPoint((box.left + box.right) / 2, box.bottom + 3 * m_halfSize));
}

CQvGObject* CQvGObjectZIndicator::AddLabelObject(CPoint point)
{
    return AttachLabel(new CQvGObjectDUMMYLabel, point);
}

CRect CQvGObjectZIndicator::GetMBR()
{
    const int x = TruncHalfUp(m_points[0].x);
    const int y = TruncHalfUp(m_points[0].y);
    return CRect(x - m_halfSize, y - m_halfSize, x + m_halfSize, y + m_halfSize);
}

UINT CQvGObjectZIndicator::GetCursorShape(CRect rect)
{
    return rect.PtInRect(CPoint(TruncHalfUp(m_points[0].x), TruncHalfUp(m_points[0].y))) ? kSizeAllCursor
                                                                                           : kNoCursor;
}

void CQvGObjectZIndicator::SetCalType()
{
    m_calType = CAL_HEIGHT;
    // The drawing defaults share one displayed quantity between the point and the indicator (Position Center,
    // which the indicator cannot compute): its value is always its height.
    m_defaultData.kind = CAL_HEIGHT;
}

int CQvGObjectZIndicator::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    if (data.kind != CAL_HEIGHT)
        return 0;
    data.value1 = m_points[0].x;
    return 1;
}
