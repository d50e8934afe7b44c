#include "caliper/CaliperToolList.h"

#include "gdi/CDC.h"
#include "gdi/CPen.h"
#include "gdi/GdiDefs.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cstdio>

using namespace caliper;

namespace {

// A label its tool does not show cannot be clicked or caught by the rubber band.
bool Hittable(const CCaliperTool& object)
{
    if (!object.IsComplete())
        return false;
    const CCaliperTool* parent = object.Parent();
    return object.Kind() != kLabelKind || !parent || parent->Style().showLabel;
}

const char* const kKindNames[kToolKinds] = {"Line", "Rect", "Circle", "Polygon", "", "Tag", ""};

}  // namespace

CCaliperToolList::CCaliperToolList() = default;

CCaliperToolList::~CCaliperToolList() = default;

CCaliperTool* CCaliperToolList::Create(int kind)
{
    std::unique_ptr<CCaliperTool> object;
    switch (kind) {
    case kLineTool:
        object = std::make_unique<CCaliperLineTool>(*this);
        break;
    case kCircleTool:
        object = std::make_unique<CCaliperCircleTool>(*this);
        break;
    case kLabelKind:
        object = std::make_unique<CCaliperLabel>(*this);
        break;
    case kTagKind:
        object = std::make_unique<CCaliperTag>(*this);
        break;
    default:
        // Codes 1 and 3 are reserved: nothing makes them.
        return nullptr;
    }
    object->Style() = m_styles[static_cast<size_t>(kind)];
    object->SetId(m_nextId++);
    char name[300];
    std::snprintf(name, sizeof name, "%s - %d", kKindNames[kind], m_nameCounters[static_cast<size_t>(kind)]++);
    object->SetName(name);
    m_objects.push_back(std::move(object));
    return m_objects.back().get();
}

CCaliperTool* CCaliperToolList::Find(int id) const
{
    for (const auto& object : m_objects)
        if (object->Id() == id)
            return object.get();
    return nullptr;
}

void CCaliperToolList::Delete(int id)
{
    const auto at = std::find_if(m_objects.begin(), m_objects.end(), [id](const auto& o) { return o->Id() == id; });
    if (at == m_objects.end())
        return;
    std::unique_ptr<CCaliperTool> object = std::move(*at);
    m_objects.erase(at);
    m_selection.erase(std::remove(m_selection.begin(), m_selection.end(), id), m_selection.end());
    if (m_current == object.get())
        m_current = nullptr;
    if (CCaliperTool* parent = object->Parent(); parent && parent->Label() == object.get())
        parent->SetLabel(nullptr);
    if (CCaliperTool* label = object->Label()) {
        label->SetParent(nullptr);
        Delete(label->Id());
    }
}

void CCaliperToolList::DeleteAll()
{
    m_objects.clear();
    m_selection.clear();
    m_current = nullptr;
    m_rubberBand = false;
}

void CCaliperToolList::Reset()
{
    m_mode = kSelectMode;
    m_current = nullptr;
    m_nameCounters.fill(0);
    m_lastPos = CPoint();
    m_currentPos = CPoint();
}

void CCaliperToolList::SetImageSize(int width, int height)
{
    m_width = width;
    m_height = height;
    m_clamp = true;
}

void CCaliperToolList::SetPenColour(COLORREF colour)
{
    for (CToolStyle& style : m_styles)
        style.pen = colour;
}

void CCaliperToolList::SetLabelColour(COLORREF colour)
{
    for (CToolStyle& style : m_styles)
        style.labelText = colour;
}

void CCaliperToolList::ReapplyStyles()
{
    for (const auto& object : m_objects)
        object->Style() = m_styles[static_cast<size_t>(object->Kind())];
}

int CCaliperToolList::SetMode(int mode)
{
    if (mode == m_mode)
        return 0;
    const bool halfDrawn = m_current && !m_current->IsComplete() && m_current->Kind() != kLabelKind;
    // The new mode holds at once; a half-drawn tool of the old mode is dropped.
    m_mode = mode;
    if (halfDrawn) {
        Delete(m_current->Id());
        m_current = nullptr;
        return 0;
    }
    return 1;
}

CRect CCaliperToolList::HitSquare(int x, int y) const
{
    return CRect(x - kHitTolerance, y - kHitTolerance, x + kHitTolerance + 1, y + kHitTolerance + 1);
}

void CCaliperToolList::ClearSelection()
{
    for (const auto& object : m_objects)
        if (object->IsComplete())
            object->Select(false);
    m_selection.clear();
}

void CCaliperToolList::SelectOnly(CCaliperTool* object)
{
    ClearSelection();
    if (!object)
        return;
    object->Select(true);
    m_selection.push_back(object->Id());
}

int CCaliperToolList::MouseDown(UINT, int x, int y)
{
    m_lastPos = CPoint(x, y);
    if (m_mode == kSelectMode) {
        const CRect square = HitSquare(x, y);
        for (int id : m_selection)
            if (CCaliperTool* selected = Find(id); selected && selected->IsComplete() && selected->HitRect(square))
                return 0;
        CCaliperTool* hit = nullptr;
        for (auto it = m_objects.rbegin(); it != m_objects.rend() && !hit; ++it)
            if (Hittable(**it) && (*it)->HitRect(square))
                hit = it->get();
        m_current = hit;
        SelectOnly(hit);
        return 0;
    }
    ClearSelection();
    if (!m_current || m_current->IsComplete())
        m_current = Create(m_mode);
    if (!m_current)
        return 0;
    m_current->AddPoint(x, y);
    m_currentPos = CPoint(x, y);
    return m_current->IsComplete() ? 1 : 0;
}

int CCaliperToolList::MouseMove(UINT flags, int x, int y)
{
    m_currentPos = CPoint(x, y);
    // The left button's bit, whatever else is held (Shift or Control do not stop a drag).
    if (!(flags & MK_LBUTTON) || m_mode != kSelectMode)
        return 1;
    std::vector<CCaliperTool*> selected;
    for (int id : m_selection)
        if (CCaliperTool* object = Find(id); object && object->IsComplete())
            selected.push_back(object);
    if (selected.empty()) {
        m_rubberBand = true;
        return 0;
    }
    if (selected.size() == 1 && selected[0]->GrabbedHandle() >= 0) {
        selected[0]->MoveHandle(selected[0]->GrabbedHandle(), x, y);
        m_lastPos = CPoint(x, y);
        return 1;
    }
    CSize delta(x - m_lastPos.x, y - m_lastPos.y);
    if (m_clamp)
        for (CCaliperTool* object : selected)
            object->ClampMove(delta);
    for (CCaliperTool* object : selected) {
        // A label selected with its tool moves with the tool already.
        if (object->Parent() && std::find(selected.begin(), selected.end(), object->Parent()) != selected.end())
            continue;
        object->Move(delta.cx, delta.cy);
    }
    m_lastPos = CPoint(x, y);
    return 1;
}

void CCaliperToolList::MouseUp(UINT, int x, int y)
{
    m_currentPos = CPoint(x, y);
    if (m_current && m_current->IsComplete())
        m_current->UpdateRegion();
    if (!m_rubberBand)
        return;
    const CRect band(std::min(m_lastPos.x, m_currentPos.x), std::min(m_lastPos.y, m_currentPos.y),
                     std::max(m_lastPos.x, m_currentPos.x) + 1, std::max(m_lastPos.y, m_currentPos.y) + 1);
    ClearSelection();
    for (const auto& object : m_objects) {
        if (Hittable(*object) && object->HitRect(band)) {
            object->Select(true);
            m_selection.push_back(object->Id());
        }
    }
    m_rubberBand = false;
}

void CCaliperToolList::KeyDown(UINT key)
{
    if (key != kDeleteKey)
        return;
    // Each id is looked up again: deleting a tool takes its selected label with it.
    const std::vector<int> ids = m_selection;
    for (int id : ids) {
        CCaliperTool* object = Find(id);
        if (!object)
            continue;
        if (object->Kind() == kLabelKind && object->Parent())
            Delete(object->Parent()->Id());
        else
            Delete(id);
    }
    m_selection.clear();
}

void CCaliperToolList::Draw(CDC& dc)
{
    // Labels draw with their tool.
    for (const auto& object : m_objects)
        if (object->Kind() != kLabelKind)
            object->Draw(dc);
    if (!m_rubberBand)
        return;
    CPen dotted(PS_DOT, 1, 0x808080);
    CPen* old = dc.SelectObject(&dotted);
    const int oldMode = dc.SetROP2(R2_XORPEN);
    CGdiObject* oldBrush = dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(std::min(m_lastPos.x, m_currentPos.x), std::min(m_lastPos.y, m_currentPos.y),
                 std::max(m_lastPos.x, m_currentPos.x) + 1, std::max(m_lastPos.y, m_currentPos.y) + 1);
    dc.SelectObject(oldBrush);
    dc.SetROP2(oldMode);
    dc.SelectObject(old);
}

std::vector<int> CCaliperToolList::ToolIds() const
{
    std::vector<int> ids;
    for (const auto& object : m_objects)
        if (object->Kind() == kLineTool || object->Kind() == kCircleTool)
            ids.push_back(object->Id());
    return ids;
}

// ---- CMarkerList

CCaliperTag* CMarkerList::AddMarker(int toolId, int x, int y, const std::string& text, double angle)
{
    auto group = std::find_if(m_groups.begin(), m_groups.end(), [toolId](const Group& g) { return g.toolId == toolId; });
    if (group == m_groups.end()) {
        m_groups.push_back(Group{toolId, {}});
        group = m_groups.end() - 1;
    }
    auto* marker = static_cast<CCaliperTag*>(Create(kTagKind));
    marker->SetName(text);
    marker->SetGeometry(x, y, angle, 20);
    group->markerIds.push_back(marker->Id());
    return marker;
}

void CMarkerList::RemoveMarkers(int toolId)
{
    const auto group = std::find_if(m_groups.begin(), m_groups.end(),
                                    [toolId](const Group& g) { return g.toolId == toolId; });
    if (group == m_groups.end())
        return;
    for (int id : group->markerIds)
        Delete(id);
    m_groups.erase(group);
}

std::vector<CCaliperTag*> CMarkerList::Markers(int toolId) const
{
    std::vector<CCaliperTag*> markers;
    for (const Group& group : m_groups)
        if (group.toolId == toolId)
            for (int id : group.markerIds)
                if (CCaliperTool* marker = Find(id))
                    markers.push_back(static_cast<CCaliperTag*>(marker));
    return markers;
}
