#include "gobjects/CQvGObject.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectLabel.h"
#include "gobjects/CRealtimeResultObjBox.h"
#include "gobjects/Edition.h"
#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/FiguronStrings.h"

#include "calibkeeper/CCalibKeeper.h"
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "strings/Format.h"
#include "types/Rounding.h"
#include "ui/MessageBox.h"

#include <algorithm>
#include <bit>

namespace {

// More digits than a double holds make no sense and a huge precision would build a huge string.
constexpr int kMaxDecimals = 20;

constexpr COLORREF kLabelColour = 0xC8C8C8;
constexpr COLORREF kYellowGrip = 0x00FFFF;

void RemoveAllOf(CQvGObject::LabelList& objects)
{
    for (CQvGObject* obj : objects)
        obj->RemoveAll();
    objects.clear();
}

}  // namespace

// The members start as Initialize leaves them; calling it here would make the default look a second time for
// every object, thousands of them in a read.
CQvGObject::CQvGObject() = default;

CQvGObject::~CQvGObject()
{
    RemoveNestedObjs();
}

CQvGObject& CQvGObject::operator=(const CQvGObject& other)
{
    if (this == &other)
        return *this;
    m_container = other.m_container;
    m_shape = other.m_shape;
    m_pointCount = other.m_pointCount;
    m_points = other.m_points;
    m_property = other.m_property;
    m_state = other.m_state;
    m_kind = other.m_kind;
    m_selectedHandle = other.m_selectedHandle;
    m_labelHit = other.m_labelHit;
    m_dispType = other.m_dispType;
    m_calType = other.m_calType;
    m_defaultData = other.m_defaultData;
    return *this;
}

void CQvGObject::Initialize()
{
    m_pointCount = 0;
    m_points.clear();
    m_shape = SHAPE_LINE;
    m_state = GS_IDLE;
    m_kind = GOTYPE_MEASURE;
    m_selectedHandle = kNoHandle;
    m_container = nullptr;
    m_labelHit = 0;
    m_property.Initialize();
}

void CQvGObject::RemoveNestedObjs()
{
    // Nothing to take out (every object read is new): spares moving the empty list three times.
    if (m_labels.empty())
        return;
    // Taken out first: a label's RemoveAll deletes it, and nothing may reach it through this list afterwards.
    LabelList labels;
    labels.swap(m_labels);
    RemoveAllOf(labels);
}

int CQvGObject::SpecificProperty(QWidget* parent)
{
    return RunPropertySheet(parent, nullptr);
}

int CQvGObject::RunPropertySheet(QWidget* parent, CPropertyPage* shapePage)
{
    if (!m_container)
        return 0;
    GObjectSheetRequest request;
    request.container = m_container;
    request.object = this;
    request.property = &m_property;
    request.parent = parent;
    request.shapePage = shapePage;
    bool aborted = false;
    const int result = m_container->RunPropertySheet(request, &aborted);
    return !aborted && result == IDOK ? 1 : 0;
}

// --- Painting ---

void CQvGObject::Draw(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    // An object without points shows nothing, not even its label.
    if (m_pointCount == 0)
        return;

    LOGFONTA logFont = m_property.GetFont();
    logFont.lfHeight = ScaleFontHeight(logFont.lfHeight, ratio);
    logFont.lfStrikeOut = 0;
    CFont font;
    font.CreateFontIndirect(&logFont);
    CFont* oldFont = dc->SelectObject(&font);
    const COLORREF oldTextColour = dc->SetTextColor(m_property.GetTextColor());
    const int oldBkMode = dc->SetBkMode(TRANSPARENT);

    // Attributes from an old or foreign file may name styles GDI does not have: draw those solid / unfilled
    // rather than with whatever was selected before.
    CPen pen;
    const int weight = std::max(0, m_property.GetLineWeight());
    if (!pen.CreatePen(m_property.GetLineType(), weight, m_property.GetLineColor()))
        pen.CreatePen(PS_SOLID, weight, m_property.GetLineColor());
    CPen* oldPen = dc->SelectObject(&pen);
    CBrush brush;
    const LOGBRUSH logBrush{static_cast<uint32_t>(m_property.GetFillPattern()), m_property.GetFillColor(),
                            HS_HORIZONTAL};
    if (!brush.CreateBrushIndirect(&logBrush)) {
        const LOGBRUSH hollow{BS_HOLLOW, 0, 0};
        brush.CreateBrushIndirect(&hollow);
    }
    CBrush* oldBrush = dc->SelectObject(&brush);

    DrawShape(dc, origin, ratio, flag);
    // The Perpendicular and the Das paint their own labels.
    const bool paintsOwnLabels = PaintsOwnLabels();
    if (!paintsOwnLabels && ShowsLabels()) {
        DrawExtLabel(dc, origin, ratio, flag);
        if (CQvGObject* label = GetLabelObject())
            PaintLabel(dc, label, origin, ratio, flag, LabelPaint::Shape);
    }

    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
    dc->SetBkMode(oldBkMode);
    dc->SetTextColor(oldTextColour);
    dc->SelectObject(oldFont);
}

bool CQvGObject::ShowsLabels() const
{
    return m_container && (m_container->GetDisplayName() || m_container->GetDisplayData());
}

void CQvGObject::PaintLabel(CDC* dc, CQvGObject* label, const CPoint* origin, const float* ratio, int flag,
                            LabelPaint how)
{
    CQvGObjectProperty& look = label->GetProperty();
    look.ShowFill(m_property.IsShowFill());
    look.SetFillColor(m_property.GetFillColor());
    auto* valueLabel = dynamic_cast<CQvGObjectLabel*>(label);
    if (valueLabel) {
        valueLabel->SetAreaFlag((m_dispType & CAL_AREA) != 0);
        valueLabel->SetAngleFlag((m_dispType & (CAL_ANGLE | CAL_X_ANGLE | CAL_Y_ANGLE)) != 0);
        valueLabel->SetCurvatureFlag((m_dispType & CAL_CURVATURE) != 0);
    }
    if (m_labelHit)
        label->DrawSelection(dc, origin, ratio);

    // Circular mils and positions carry no unit symbol while they paint. The label is told so itself, not through
    // the container's setting: painting leaves the container as it was, whoever reads it meanwhile. Sized outside
    // a paint, the label keeps the container's mark (the box the overlay stream stores).
    constexpr int32_t kUnitlessQuantities = CAL_CIRCULAR_MIL | CAL_POSITION_START | CAL_POSITION_CENTER |
                                            CAL_POSITION_END;
    const bool unitless = valueLabel && (m_dispType & kUnitlessQuantities) != 0;
    if (unitless)
        valueLabel->SetUnitlessFlag(1);
    if (how == LabelPaint::Shape)
        label->DrawShape(dc, origin, ratio, flag);
    else
        label->DrawExtLabel(dc, origin, ratio, flag);
    if (unitless)
        valueLabel->SetUnitlessFlag(0);
}

void CQvGObject::DrawSelection(CDC* dc, const CPoint* origin, const float* ratio)
{
    for (int i = 0; i < m_pointCount && i < static_cast<int>(m_points.size()); ++i)
        DrawGrip(dc, MapToWindow(m_points[i], *origin, *ratio));
}

int32_t CQvGObject::ScaleFontHeight(int32_t height, const float* ratio)
{
    constexpr double kMaxFontHeight = 4096.0;
    const double scaled = ratio ? std::trunc(static_cast<double>(height) * *ratio + 0.5) : height;
    return static_cast<int32_t>(std::clamp(scaled, -kMaxFontHeight, kMaxFontHeight));
}

void CQvGObject::DrawGrip(CDC* dc, CPoint centre)
{
    if (g_OEMProduct == kEditionHeightWidth)
        dc->FillSolidRect(centre.x - 4, centre.y - 4, 8, 8, kYellowGrip);
    else
        dc->PatBlt(centre.x - 4, centre.y - 4, 8, 8, DSTINVERT);
}

int CQvGObject::MapToWindow(double v, int origin, float ratio)
{
    return WindowPixel(v, origin, ratio);
}

CPoint CQvGObject::MapToWindow(const _RPOINT& p, const CPoint& origin, float ratio)
{
    return CPoint(MapToWindow(p.x, origin.x, ratio), MapToWindow(p.y, origin.y, ratio));
}

void CQvGObject::ApplyRatio(CRect& rect, CPoint origin, float ratio)
{
    rect.SetRect(MapToWindow(rect.left, origin.x, ratio), MapToWindow(rect.top, origin.y, ratio),
                 MapToWindow(rect.right, origin.x, ratio), MapToWindow(rect.bottom, origin.y, ratio));
}

// --- Geometry and hit testing ---

float CQvGObject::GetCurRatio() const
{
    return m_container ? m_container->GetRatio() : 1.0f;
}

int CQvGObject::GetZoomTolerance() const
{
    return GetCurRatio() > 2.0f ? 1 : 3;
}

bool CQvGObject::IsMultiSelected() const
{
    return m_container && m_container->GetSelectedObjectCount() > 1;
}

void CQvGObject::MoveLabelObject(CSize delta)
{
    if (CQvGObject* label = GetLabelObject())
        label->MoveTo(delta);
}

CRect CQvGObject::GetInvalidateRect()
{
    CRect box = GetMBR();
    if (!IsAnnotation()) {
        if (CQvGObject* label = GetLabelObject())
            box.UnionRect(box, label->GetMBR());
    }
    // Saturated: a guide line's box reaches as far as the canvas a caller set.
    return CRect(RoundHalfAway(box.left - 8.0), RoundHalfAway(box.top - 8.0), RoundHalfAway(box.right + 8.0),
                 RoundHalfAway(box.bottom + 8.0));
}

namespace {

// The value label is tested through its own region: as an annotation-kind object its IsSelected would only
// look at sub-objects it does not have.
bool LabelContains(CQvGObject* label, CPoint point)
{
    const CRect bounds = label->GetHitBounds();
    if (!bounds.IsRectEmpty() && !bounds.PtInRect(point))
        return false;
    CRgn region;
    return label->GetHitTestRgn(region) && region.PtInRegion(point);
}

// The pixels a rectangle covers as RectInRegion takes them (ordered, right and bottom excluded), with both corners
// included; an empty rectangle covers none (right < left).
CRect IncludedPixels(const CRect& rect)
{
    const int left = std::min(rect.left, rect.right);
    const int top = std::min(rect.top, rect.bottom);
    const int right = std::max(rect.left, rect.right);
    const int bottom = std::max(rect.top, rect.bottom);
    if (right == left || bottom == top)
        return CRect(0, 0, -1, -1);
    return CRect(left, top, right - 1, bottom - 1);
}

bool LabelTouches(CQvGObject* label, const CRect& rect)
{
    const CRect bounds = label->GetHitBounds();
    CRect meets;
    if (!bounds.IsRectEmpty() && !meets.IntersectRect(bounds, rect))
        return false;
    CRgn region;
    return label->GetHitTestRgn(region) && region.RectInRegion(&rect);
}

}  // namespace

void CQvGObject::MoveCountedPoint(int i, CSize delta)
{
    if (i < 0 || i >= m_pointCount)
        return;
    m_points[i].x += delta.cx;
    m_points[i].y += delta.cy;
}

void CQvGObject::MoveWhole(CSize delta, int count)
{
    MoveLabelObject(delta);
    if (MovesLabelOnly())
        return;
    const int moved = std::min(count, static_cast<int>(m_points.size()));
    for (int i = 0; i < moved; ++i) {
        m_points[i].x += delta.cx;
        m_points[i].y += delta.cy;
    }
}

int CQvGObject::AddPointUpTo(CPoint point, int count)
{
    if (m_pointCount >= count) {
        // Finishing may run a modal sheet, during which anything may delete this object: then nothing of it is
        // left to read.
        const std::weak_ptr<const int> alive = m_lifeToken;
        Finish();
        return alive.expired() ? 0 : m_pointCount;
    }
    if (static_cast<int>(m_points.size()) < count)
        m_points.resize(count, _RPOINT{0.0, 0.0});
    m_points[m_pointCount] = _RPOINT{static_cast<double>(point.x), static_cast<double>(point.y)};
    return ++m_pointCount;
}

int CQvGObject::AppendCountedPoint(CPoint point, int step)
{
    if (static_cast<int>(m_points.size()) <= m_pointCount + 1)
        m_points.resize(m_points.size() + step, _RPOINT{0.0, 0.0});
    m_points[m_pointCount] = _RPOINT{static_cast<double>(point.x), static_cast<double>(point.y)};
    return ++m_pointCount;
}

CRect CQvGObject::PointsBox(int count) const
{
    count = std::min(count, static_cast<int>(m_points.size()));
    if (count <= 0)
        return CRect();
    const CPoint first = Rounded(m_points[0]);
    CRect box(first, first);
    for (int i = 1; i < count; ++i) {
        const CPoint p = Rounded(m_points[i]);
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

int CQvGObject::FindCountedPoint(const CRect& rect) const
{
    for (int i = 0; i < m_pointCount; ++i) {
        if (rect.PtInRect(Rounded(m_points[i])))
            return i;
    }
    return -1;
}

int CQvGObject::IsSelected(CPoint point)
{
    m_labelHit = 0;
    const CRect bounds = GetHitBounds();
    if (bounds.IsRectEmpty() || bounds.PtInRect(point)) {
        OutlineHit hit = HitByOutline(CRect(point, point));
        if (hit == OutlineHit::UseRegion) {
            CRgn region;
            hit = !GetHitTestRgn(region) ? OutlineHit::NoRegion
                  : region.PtInRegion(point) ? OutlineHit::Met
                                             : OutlineHit::Missed;
        }
        if (hit == OutlineHit::NoRegion)
            return 0;
        if (IsAnnotation())
            return IsChildSelected(point);
        if (hit == OutlineHit::Met)
            return 1;
    } else if (IsAnnotation()) {
        return IsChildSelected(point);
    }
    CQvGObject* label = PaintsOwnLabels() ? nullptr : GetLabelObject();
    if (label && LabelContains(label, point)) {
        m_labelHit = 1;
        return 1;
    }
    return 0;
}

int CQvGObject::IsSelected(CRect rect)
{
    m_labelHit = 0;
    const CRect bounds = GetHitBounds();
    CRect meets;
    if (bounds.IsRectEmpty() || meets.IntersectRect(bounds, rect)) {
        OutlineHit hit = HitByOutline(IncludedPixels(rect));
        if (hit == OutlineHit::UseRegion) {
            CRgn region;
            hit = !GetHitTestRgn(region) ? OutlineHit::NoRegion
                  : region.RectInRegion(&rect) ? OutlineHit::Met
                                               : OutlineHit::Missed;
        }
        if (hit == OutlineHit::NoRegion)
            return 0;
        if (hit == OutlineHit::Met)
            return 1;
    }
    if (IsAnnotation())
        return IsChildSelected(rect);
    CQvGObject* label = PaintsOwnLabels() ? nullptr : GetLabelObject();
    if (label && LabelTouches(label, rect)) {
        m_labelHit = 1;
        return 1;
    }
    return 0;
}

int CQvGObject::IsChildSelected(CRect rect)
{
    auto it = m_labels.begin();
    if (IsAnnotation() && it != m_labels.end())
        ++it;
    for (; it != m_labels.end(); ++it) {
        if ((*it)->IsSelected(rect))
            return 1;
    }
    return 0;
}

int CQvGObject::IsChildSelected(CPoint point)
{
    auto it = m_labels.begin();
    if (IsAnnotation() && it != m_labels.end())
        ++it;
    for (; it != m_labels.end(); ++it) {
        if ((*it)->IsSelected(point))
            return 1;
    }
    return 0;
}

// --- Values ---

double CQvGObject::GetUnitsPerPixel() const
{
    // A container without a calibration (previews, the region overlay) shows pixels.
    const CCalibKeeper* calib = m_container ? m_container->GetCalibKeeper() : nullptr;
    return calib ? calib->GetUnitsPerPixel() : 1.0;
}

std::string CQvGObject::GetDataString(tagCAL_DATA& data, int subItem)
{
    if (!GetCalData(data, subItem))
        return LoadFiguronString(IDS_NOT_YET);
    const int decimals = std::clamp(m_container ? m_container->GetDecimalPointRange() : 3, 0, kMaxDecimals);
    if (data.kind == CAL_POSITION_START || data.kind == CAL_POSITION_CENTER || data.kind == CAL_POSITION_END) {
        const double factor = GetUnitsPerPixel();
        return Format("(%.*f,%.*f)", decimals, factor * data.value1, decimals, factor * data.value2);
    }
    return Format("%.*f", decimals, data.value1);
}

std::string CQvGObject::GetDefaultDataString()
{
    SetCalType();
    return GetDataString(m_defaultData, 0);
}

void CQvGObject::UpdateDataLabel()
{
    if (IsAnnotation() || !(m_state & GS_FINISHED) || m_calType == 0)
        return;
    std::string text = GetDefaultDataString();
    CQvGObject* label = GetLabelObject();
    if (!label)
        return;
    if (m_container && m_container->IsSetValueTitle())
        text = GetValueTitle(m_defaultData.kind) + ":" + text;
    label->GetProperty().SetComment(text);
    label->GetMBR();
}

std::string CQvGObject::GetValueTitle(int calType)
{
    const auto bits = static_cast<uint32_t>(calType);
    if (bits == 0 || bits > CAL_CURVATURE || !std::has_single_bit(bits))
        return {};
    return LoadFiguronString(IDS_QUANTITY_FIRST + static_cast<uint32_t>(std::countr_zero(bits)));
}

// --- Value label ---

void CQvGObject::ApplyLabelLook(CQvGObjectProperty& property)
{
    property.SetLineColor(kLabelColour);
    property.SetLineType(PS_DOT);
    property.SetLineWeight(1);
    property.SetFillColor(kLabelColour);
    property.SetFillPattern(0);
}

CQvGObject* CQvGObject::AddLabelObject(CPoint point)
{
    return AttachLabel(new CQvGObjectLabel, point);
}

void CQvGObject::AddLabelBetweenFirstPoints()
{
    if (IsAnnotation())
        return;
    const CPoint a = Rounded(m_points[0]);
    const CPoint b = Rounded(m_points[1]);
    AddLabelObject(CPoint((a.x + b.x) / 2, (a.y + b.y) / 2));
}

CQvGObject* CQvGObject::AttachLabel(CQvGObjectLabel* label, CPoint point)
{
    label->SetContainer(m_container);
    if (!IsAnnotation()) {
        label->GetProperty().SetComment(GetDefaultDataString());
        label->GetProperty().SetName(m_property.GetName());
    }
    CopyBaseProperty(&label->GetProperty(), &m_property);
    ApplyLabelLook(label->GetProperty());
    label->AddPoint(point);
    label->AddPoint(point);
    label->Finish();
    m_labels.push_back(label);
    return label;
}

void CQvGObject::SetProperty(const CQvGObjectProperty& property)
{
    m_property = property;
    if (m_shape == SHAPE_LABEL)
        ApplyLabelLook(m_property);
    for (CQvGObject* label : m_labels)
        label->SetProperty(property);
}

void CQvGObject::SetBaseProperty(const CQvGObjectProperty& property)
{
    CopyBaseProperty(&m_property, &property);
    if (m_shape == SHAPE_LABEL)
        ApplyLabelLook(m_property);
    for (CQvGObject* label : m_labels)
        label->SetBaseProperty(property);
}

void CQvGObject::SetPropertyFields(const CQvGObjectProperty& property, uint32_t fields)
{
    CopyPropertyFields(&m_property, property, fields);
    if (m_shape == SHAPE_LABEL)
        ApplyLabelLook(m_property);
    for (CQvGObject* label : m_labels)
        label->SetPropertyFields(property, fields);
}

// --- Live result box ---

void CQvGObject::FeedRealtimeResultBox(int flag)
{
    if (m_state == GS_ADDING && flag == kPaintRubberBand && !IsAnnotation() && m_container &&
        m_container->GetDisplayRealtime() && pRealtimeResultBox)
        ::FeedRealtimeResultBox(GetDefaultDataString());
}

void CQvGObject::HideRealtimeResultBox()
{
    ::HideRealtimeResultBox();
}

void CQvGObject::LoadShapeDefaults(const CQvGObjectPropertyTotal& /*defaults*/) {}

void CQvGObject::StoreShapeDefaults(CQvGObjectPropertyTotal& /*defaults*/) const {}

void CQvGObject::NormalizeAnnotationShape()
{
    if (!IsAnnotation())
        return;
    switch (m_shape) {
    case SHAPE_POINT: m_shape = SHAPE_ANNO_POINT; break;
    case SHAPE_LINE: m_shape = SHAPE_ANNO_LINE; break;
    case SHAPE_RECT: m_shape = SHAPE_ANNO_RECT; break;
    case SHAPE_CIRCLE: m_shape = SHAPE_ANNO_CIRCLE_FROM_CENTER; break;
    case SHAPE_ELLIPSE: m_shape = SHAPE_ANNO_ELLIPSE; break;
    case SHAPE_POLYLINE: m_shape = SHAPE_ANNO_POLYLINE; break;
    case SHAPE_POLYGON: m_shape = SHAPE_ANNO_POLYGON; break;
    default: break;
    }
}
