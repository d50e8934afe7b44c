#include "gobjects/shapes/CQvGObjectZIndicator.h"

#include "gobjects/shapes/CQvGObjectLabel.h"

#include "types/Rounding.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cmath>

namespace {

// The farthest coordinate an overlay record holds: a record beyond it is refused as damaged, so a point kept
// beyond it would make the saved overlay unreadable (and its box would overflow int).
constexpr double kMaxStoredCoordinate = 1.0e7;
// The placeholder label is never shown: it stays well inside that range whatever its text's width.
constexpr int kMaxLabelCoordinate = 1000000;

double Storable(double v)
{
    return std::clamp(v, -kMaxStoredCoordinate, kMaxStoredCoordinate);
}

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
    m_points[0] = _RPOINT{Storable(point.x), Storable(point.y)};
    Finish();
    return m_pointCount;
}

void CQvGObjectZIndicator::SetValue(double height)
{
    if (std::isnan(height))
        return;
    m_points[0] = _RPOINT{Storable(height), 0.0};
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
    if (!IsAnnotation() && m_labels.empty()) {
        const int x = std::clamp((box.left + box.right) / 2, -kMaxLabelCoordinate, kMaxLabelCoordinate);
        const int y = std::clamp(box.bottom + 3 * m_halfSize, -kMaxLabelCoordinate, kMaxLabelCoordinate);
        AddLabelObject(CPoint(x, y));
    }
}

CQvGObject* CQvGObjectZIndicator::AddLabelObject(CPoint point)
{
    return AttachLabel(new CQvGObjectDUMMYLabel, point);
}

CRect CQvGObjectZIndicator::GetMBR()
{
    const int x = TruncHalfUp(Storable(m_points[0].x));
    const int y = TruncHalfUp(Storable(m_points[0].y));
    return CRect(x - m_halfSize, y - m_halfSize, x + m_halfSize, y + m_halfSize);
}

UINT CQvGObjectZIndicator::GetCursorShape(CRect rect)
{
    return rect.PtInRect(CPoint(TruncHalfUp(m_points[0].x), TruncHalfUp(m_points[0].y))) ? IDC_SIZEALL
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
