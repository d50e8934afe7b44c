#include "gobjects/CQvGObjectContainer.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/FiguronStrings.h"
#include "gobjects/GObjectFactory.h"
#include "gobjects/private/GObjectChangeTracker.h"
#include "gobjects/private/GObjectHitIndex.h"
#include "gobjects/ui/CObjPropertySheet.h"

#include "types/Rounding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_set>

namespace {

constexpr std::array<COLORREF, 5> kPalette = {0x000000, 0x004080, 0x008000, 0xFFFF00, 0xFF8000};

bool Contains(const GObjectList& list, const CQvGObject* obj)
{
    return std::find(list.begin(), list.end(), obj) != list.end();
}

}  // namespace

OBJ_SHAPE CQvGObjectContainer::m_LastShape = SHAPE_POINT;
int CQvGObjectContainer::s_paletteIndex = 0;
int CQvGObjectContainer::s_nameCounter = 0;

CQvGObjectContainer::CQvGObjectContainer()
    : m_hitIndex(std::make_unique<GObjectHitIndex>()), m_changes(std::make_unique<GObjectChangeTracker>())
{
    Initialize();
}

CQvGObjectContainer::~CQvGObjectContainer()
{
    // Whoever listens hears nothing of the container's own end.
    m_changes->DropListeners();
    RemoveAll();
}

void CQvGObjectContainer::Initialize()
{
    // Clearing the lists without deleting would leak a populated overlay.
    RemoveAll();
    m_canvas = nullptr;
    m_ratio = 1.0f;
    m_origin = CPoint();
    m_pixelCenter = 1;
    m_version = 1.5f;
    m_state = GS_IDLE;
    m_pPropertyTotal = &g_GOPropertyTotal;
    m_canvasSize = CSize();
    m_autoRepeat = 1;
    m_autoColor = 0;
    m_useWindowCursor = 0;
    m_showScale = 1;
    m_displayName = 0;
    m_displayData = 1;
    m_displayMark = 1;
    m_displayRealtime = 0;
    m_valueTitle = 0;
    m_noRedraw = 0;
    m_calib = nullptr;
    m_activeImage = nullptr;
    m_creatingNumber = 0;
    m_ptOldMouse = CPoint();
    m_hitIndex->ForgetAll();
}

void CQvGObjectContainer::RemoveAll()
{
    const ChangeScope scope(this);
    // A creation in progress loses its object here: left in a creating state, the handlers would wait for an
    // object that no longer exists. The canvas is not touched (the destructor comes here too).
    if (m_state == GS_FIRST_POINT || m_state == GS_ADDING || m_state == GS_FAILED)
        m_state = GS_IDLE;
    m_selected.clear();
    GObjectList objects;
    objects.swap(m_objects);
    m_hitIndex->ForgetAll();
    m_labelHits.clear();
    if (m_changes->Active())
        m_changes->RemovedAll(std::vector<const CQvGObject*>(objects.begin(), objects.end()));
    for (CQvGObject* obj : objects)
        obj->RemoveAll();
    m_creatingNumber = 0;
}

void CQvGObjectContainer::GetDefaultProperty(CQvGObject* obj, OBJ_SHAPE shape)
{
    m_pPropertyTotal->GetProperty(obj, shape);
}

int CQvGObjectContainer::SetDefaultProperty(CQvGObject* obj, OBJ_SHAPE shape)
{
    return m_pPropertyTotal->SetProperty(obj, shape);
}

void CQvGObjectContainer::SetBaseProperty(const CQvGObjectPropertyTotal* set)
{
    if (set)
        *m_pPropertyTotal = *set;
}

void CQvGObjectContainer::SetDefaultLineColor(COLORREF color, OBJ_SHAPE shape)
{
    m_pPropertyTotal->SetLineColor(color, shape);
}

void CQvGObjectContainer::SetDefaultFontColor(COLORREF color, OBJ_SHAPE shape)
{
    m_pPropertyTotal->SetTextColor(color, shape);
}

COLORREF CQvGObjectContainer::GetDefaultLineColor(OBJ_SHAPE shape) const
{
    return m_pPropertyTotal->GetLineColor(shape);
}

COLORREF CQvGObjectContainer::GetDefaultFontColor(OBJ_SHAPE shape) const
{
    return m_pPropertyTotal->GetTextColor(shape);
}

void CQvGObjectContainer::ConnectCalibKeeper(CCalibKeeper* calib)
{
    if (calib != m_calib)
        LabelsMayHaveChanged();
    m_calib = calib;
    m_pPropertyTotal = &g_GOPropertyTotal;
}

CQvGObject* CQvGObjectContainer::CreateObject(OBJ_SHAPE shape)
{
    return CreateGObject(shape);
}

int CQvGObjectContainer::AddObject(OBJ_SHAPE shape)
{
    CQvGObject* obj = CreateObject(shape);
    if (!obj)
        return 0;
    const ChangeScope scope(this);
    // An unfinished object left behind would be painted, counted and saved as if it were finished.
    CancelObject();

    m_objects.push_back(obj);
    m_hitIndex->MarkStale();
    m_selected.clear();
    m_selected.push_back(obj);
    m_state = GS_FIRST_POINT;
    obj->SetObjShape(shape);
    obj->SetState(GS_FIRST_POINT);
    obj->SetContainer(this);
    const int counterBefore = s_nameCounter;
    SetNameWithIndexed(obj);
    m_creatingNumber = s_nameCounter != counterBefore ? s_nameCounter : 0;
    m_LastShape = shape;
    GetDefaultProperty(obj, shape);
    // As reading does: an annotation never formats a value, and would otherwise be saved with an empty mask that
    // the same overlay read back no longer has.
    obj->SetCalType();
    if (m_autoColor)
    {
        obj->GetProperty().SetLineColor(kPalette[s_paletteIndex]);
        obj->GetProperty().SetTextColor(kPalette[s_paletteIndex]);
        ++s_paletteIndex;
    }
    if (s_paletteIndex == static_cast<int>(kPalette.size()))
        s_paletteIndex = 0;
    return 1;
}

void CQvGObjectContainer::SetNameWithIndexed(CQvGObject* obj)
{
    const uint32_t id = ShapeNameStringId(obj->GetObjShape());
    if (id == 0)
        return;
    ++s_nameCounter;
    obj->GetProperty().SetName(LoadFiguronString(id) + "-" + std::to_string(s_nameCounter));
}

void CQvGObjectContainer::CancelObject()
{
    if (m_state != GS_FIRST_POINT && m_state != GS_ADDING)
        return;
    const ChangeScope scope(this);
    m_state = GS_IDLE;
    if (m_canvas)
    {
        m_canvas->ReleaseMouse();
        m_canvas->ReleaseCursorClip();
    }
    if (CQvGObject* obj = CreatingObject())
    {
        m_selected.clear();
        RemoveFromList(obj);
    }
    InvalidateCanvas();
    // Only the number the cancelled object took goes back, and only while no later object took one: otherwise
    // later objects would repeat numbers already shown.
    if (m_creatingNumber != 0 && m_creatingNumber == s_nameCounter)
        --s_nameCounter;
    m_creatingNumber = 0;
}

void CQvGObjectContainer::RepeatCreatingObject(CQvGObject* obj)
{
    const ChangeScope scope(this);
    m_state = obj->GetState();
    if (m_state == GS_FINISHED)
    {
        m_creatingNumber = 0;
        if (m_autoRepeat)
        {
            InvalidateCanvas();
            AddObject(m_LastShape);
        }
    }
}

bool CQvGObjectContainer::RemoveFromList(CQvGObject* obj)
{
    auto it = std::find(m_objects.begin(), m_objects.end(), obj);
    if (it == m_objects.end())
        return false;
    m_objects.erase(it);
    m_hitIndex->Removed(obj);
    m_changes->Removed(obj);
    ForgetLabelHit(obj);
    obj->RemoveAll();
    return true;
}

void CQvGObjectContainer::DeleteObject(CQvGObject* obj)
{
    const ChangeScope scope(this);
    // The object being drawn is abandoned as Escape does: removed alone, the next object in the selection would
    // be taken for the one being drawn.
    if ((m_state == GS_FIRST_POINT || m_state == GS_ADDING) && obj == CreatingObject())
    {
        CancelObject();
        return;
    }
    while (obj->GetObjShape() == SHAPE_PERPENDICULAR && obj->GetPointCount() > 2 && obj->GetSelectedHandle() >= 2)
    {
        const int subItem = obj->GetCurSubItem();
        if (subItem == -1 || obj->DeleteSubPerpen(subItem) == 0)
            return;
        ObjectMoved(obj);
    }
    m_selected.remove(obj);
    if (Contains(m_objects, obj))
    {
        InvalidateCanvas();
        RemoveFromList(obj);
    }
}

void CQvGObjectContainer::DeleteObject()
{
    const ChangeScope scope(this);
    GObjectList perpendiculars;
    GObjectList others;
    for (CQvGObject* obj : m_selected)
        (obj->GetObjShape() == SHAPE_PERPENDICULAR ? perpendiculars : others).push_back(obj);
    for (CQvGObject* obj : others)
        DeleteObject(obj);
    if (perpendiculars.empty())
        return;
    for (CQvGObject* obj : perpendiculars)
        m_selected.remove(obj);
    for (CQvGObject* obj : perpendiculars)
    {
        DeleteObject(obj);
        if (Contains(m_objects, obj))
            m_selected.push_back(obj);
    }
    InvalidateCanvas();
}

void CQvGObjectContainer::RemoveMeasurement()
{
    const ChangeScope scope(this);
    GObjectList measurements;
    for (CQvGObject* obj : m_objects)
        if (!obj->IsAnnotation())
            measurements.push_back(obj);
    for (CQvGObject* obj : measurements)
        DeleteObject(obj);
}

void CQvGObjectContainer::RemoveAnnotation()
{
    const ChangeScope scope(this);
    GObjectList annotations;
    for (CQvGObject* obj : m_objects)
        if (obj->IsAnnotation())
            annotations.push_back(obj);
    for (CQvGObject* obj : annotations)
        DeleteObject(obj);
}

void CQvGObjectContainer::SelectionMode(int on)
{
    if (on)
        m_state = GS_SELECTION;
    else
        m_state = static_cast<GOBJ_STATE>(m_state & ~GS_SELECTION);
}

bool CQvGObjectContainer::IsHiddenScaleMarker(const CQvGObject* obj) const
{
    return !m_showScale && obj->GetObjShape() == SHAPE_SCALE_MARKER;
}

void CQvGObjectContainer::ClearSelection()
{
    // The object being drawn is the selection's first: emptied under it, the creation would leave an unfinished
    // object in the overlay that nothing can cancel any more.
    CancelObject();
    if (m_selected.empty())
        return;
    m_selected.clear();
    InvalidateCanvas();
}

int CQvGObjectContainer::SelectObjects(CRect rect, int firstOnly)
{
    const ChangeScope scope(this);
    ClearSelection();
    rect.NormalizeRect();
    if (rect.IsRectEmpty())
        rect.InflateRect(4);
    const size_t noted = m_labelHits.size();
    for (const GObjectHitIndex::Candidate& candidate : m_hitIndex->Candidates(m_objects, rect))
    {
        CQvGObject* obj = candidate.obj;
        // A hidden scale marker is not there for the user: it neither gets selected nor hides what lies below.
        if (IsHiddenScaleMarker(obj) || !obj->IsSelected(rect))
            continue;
        AddToSelection(obj);
        if (obj->GetLabelHit())
            m_labelHits.emplace_back(obj, candidate.position);
        if (firstOnly)
        {
            SettleLabelHits(rect, candidate.position, noted);
            return 1;
        }
    }
    SettleLabelHits(rect, -1, noted);
    return 0;
}

int CQvGObjectContainer::SelectObjects(CQvGObject* object, int keep)
{
    const ChangeScope scope(this);
    if (!keep)
        ClearSelection();
    if (Contains(m_objects, object) && !Contains(m_selected, object))
    {
        AddToSelection(object);
        InvalidateCanvas();
    }
    return GetSelectedObjectCount();
}

int CQvGObjectContainer::SelectObjects(const std::vector<CQvGObject*>& objects, int keep)
{
    const ChangeScope scope(this);
    if (!keep)
        ClearSelection();
    if (objects.empty())
        return GetSelectedObjectCount();
    const std::unordered_set<const CQvGObject*> owned(m_objects.begin(), m_objects.end());
    std::unordered_set<const CQvGObject*> selected(m_selected.begin(), m_selected.end());
    const size_t before = m_selected.size();
    for (CQvGObject* object : objects)
        if (owned.count(object) && selected.insert(object).second)
            AddToSelection(object);
    if (m_selected.size() != before)
        InvalidateCanvas();
    return GetSelectedObjectCount();
}

int CQvGObjectContainer::SelectObjects(const std::string& /*name*/, int /*keep*/)
{
    return 0;
}

void CQvGObjectContainer::UnSelectAll()
{
    const ChangeScope scope(this);
    ClearSelection();
}

CQvGObject* CQvGObjectContainer::HitTest(CRect rect)
{
    rect.NormalizeRect();
    if (rect.IsRectEmpty())
        rect.InflateRect(m_ratio > 2.0f ? 1 : 4);
    const size_t noted = m_labelHits.size();
    for (const GObjectHitIndex::Candidate& candidate : m_hitIndex->Candidates(m_objects, rect))
    {
        CQvGObject* obj = candidate.obj;
        if (!IsHiddenScaleMarker(obj) && obj->IsSelected(rect))
        {
            if (obj->GetLabelHit())
                m_labelHits.emplace_back(obj, candidate.position);
            SettleLabelHits(rect, candidate.position, noted);
            m_hitIndex->Watch(obj);
            m_changes->Watch(*obj);
            return obj;
        }
    }
    SettleLabelHits(rect, -1, noted);
    return nullptr;
}

void CQvGObjectContainer::SettleLabelHits(const CRect& rect, int64_t lowestTested, size_t testedFrom)
{
    // Each object's flag says whether the last test of it hit its label, and a scan from the top tests every
    // object down to the one it stops at. Objects whose box the rectangle misses were not tested here: those that
    // still carry the flag are tested now (they miss), as a scan of every object would have.
    size_t kept = 0;
    for (size_t i = 0; i < m_labelHits.size(); ++i)
    {
        CQvGObject* const obj = m_labelHits[i].first;
        const auto position = m_hitIndex->PositionOf(obj, m_labelHits[i].second);
        if (position < 0)
            continue;  // no longer in the list
        if (i < testedFrom && obj->GetLabelHit() && position > lowestTested && !IsHiddenScaleMarker(obj))
            obj->IsSelected(rect);
        const bool noted = std::any_of(m_labelHits.begin(), m_labelHits.begin() + static_cast<std::ptrdiff_t>(kept),
                                       [obj](const auto& entry) { return entry.first == obj; });
        if (obj->GetLabelHit() && !noted)
            m_labelHits[kept++] = {obj, position};
    }
    m_labelHits.resize(kept);
}

void CQvGObjectContainer::ForgetLabelHit(const CQvGObject* obj)
{
    std::erase_if(m_labelHits, [obj](const auto& entry) { return entry.first == obj; });
}

void CQvGObjectContainer::LabelsMayHaveChanged()
{
    if (m_painting)
        return;
    m_hitIndex->MarkStale();
    m_changes->labelsStale = true;
}

void CQvGObjectContainer::BoxesMayHaveChanged()
{
    m_hitIndex->ForgetAll();
}

void CQvGObjectContainer::ObjectMoved(const CQvGObject* obj)
{
    m_hitIndex->Forget(obj);
}

CQvGObject* CQvGObjectContainer::GetCreatingObject() const
{
    CQvGObject* obj = CreatingObject();
    m_hitIndex->Watch(obj);
    return obj;
}

CQvGObject* CQvGObjectContainer::GetFirstObject(OBJ_SHAPE shape) const
{
    for (CQvGObject* obj : m_objects)
        if (obj->GetObjShape() == shape)
        {
            m_hitIndex->Watch(obj);
            m_changes->Watch(*obj);
            return obj;
        }
    return nullptr;
}

int CQvGObjectContainer::GetMeasurementObjectCount() const
{
    return static_cast<int>(
        std::count_if(m_objects.begin(), m_objects.end(), [](const CQvGObject* obj) { return !obj->IsAnnotation(); }));
}

CPoint CQvGObjectContainer::GetRelativePoint() const
{
    CPoint origin = m_origin;
    if (m_pixelCenter && m_ratio > 4.0f)
    {
        // Points land in the middle of a magnified pixel. A ratio or origin from a damaged stream must not
        // overflow: the shift and the sum saturate.
        const int64_t shift = TruncHalfUp(m_ratio * 0.5f);
        auto shifted = [shift](int v) {
            return static_cast<int>(std::clamp<int64_t>(v + shift, std::numeric_limits<int>::min(),
                                                        std::numeric_limits<int>::max()));
        };
        origin = CPoint(shifted(origin.x), shifted(origin.y));
    }
    return origin;
}

void CQvGObjectContainer::ShowScaleObject(int show)
{
    const ChangeScope scope(this);
    for (CQvGObject* obj : m_objects)
        if (obj->GetObjShape() == SHAPE_SCALE_MARKER)
        {
            if (m_changes->Active() && obj->GetShowObject() != show)
                m_changes->edited.insert(obj);
            obj->SetShowObject(show);
            ObjectMoved(obj);
        }
}

void CQvGObjectContainer::InvalidateCanvas()
{
    if (m_canvas && !m_noRedraw)
        m_canvas->InvalidateRect(nullptr);
}
