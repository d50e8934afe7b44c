// The container's mouse and key handlers: the creation state machine, selection by click and rubber band, and
// the drags of objects, handles and labels with their raster-operation feedback.
#include "gobjects/CQvGObjectContainer.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/private/GObjectChangeTracker.h"

#include "gdi/CBrush.h"
#include "gdi/CDC.h"
#include "gdi/CPen.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

// Window coordinates beyond this are far outside any window; clamped there they stay on their own side.
constexpr int64_t kFarOut = int64_t{1} << 29;

// Draws the object as a rubber band in the given raster operation and puts the previous one back.
class RasterOpScope
{
public:
    RasterOpScope(CDC* dc, int mode) : m_dc(dc), m_previous(dc->SetROP2(mode)) {}
    ~RasterOpScope() { m_dc->SetROP2(m_previous); }
    RasterOpScope(const RasterOpScope&) = delete;
    RasterOpScope& operator=(const RasterOpScope&) = delete;

private:
    CDC* m_dc;
    int m_previous;
};

}  // namespace

// Adding a point may finish the object, and finishing may run its sheet modally: meanwhile the object may be
// deleted (a timer or plug-in emptying the overlay) or the container with it (the document
// closed). Once either has gone, the handler must not touch what is left: a container that lost its object has
// already left the creation (the deletion cancels it).
class CQvGObjectContainer::CreationWatch
{
public:
    CreationWatch(const CQvGObjectContainer* container, const CQvGObject* obj)
        : m_container(container->m_lifeToken), m_object(obj->GetLifeToken())
    {
    }
    bool ContainerAlive() const { return !m_container.expired(); }
    bool Lost() const { return m_container.expired() || m_object.expired(); }

private:
    std::weak_ptr<const int> m_container;
    std::weak_ptr<const int> m_object;
};

void CQvGObjectContainer::LButtonDown(UINT /*flags*/, CPoint p)
{
    const ChangeScope scope(this);
    m_ptOldMouse = p;
    if (m_canvas)
        m_canvas->CaptureMouse();

    if (m_state == GS_FIRST_POINT || m_state == GS_ADDING)
    {
        CQvGObject* obj = CreatingObject();
        if (!obj)
            return;
        const CreationWatch watch(this, obj);
        m_state = obj->GetState();
        if (m_state == GS_FIRST_POINT)
        {
            obj->SetState(GS_ADDING);
            m_creationBandDrawn = false;
            obj->AddPoint(p);
            if (watch.Lost())
                return;
            if (!obj->NeedROP())
                InvalidateCanvas();
            m_state = obj->GetState();
            // The second point is the one that follows the mouse until the next click.
            if (m_state == GS_ADDING)
            {
                obj->AddPoint(p);
                if (watch.Lost())
                    return;
            }
        }
        else
        {
            obj->AddPoint(p);
            if (watch.Lost())
                return;
            if (!obj->NeedROP())
                InvalidateCanvas();
        }
        ObjectMoved(obj);
        RepeatCreatingObject(obj);
    }
    else if (m_state & GS_SELECTION)
    {
        m_rcSelection = CRect(p, p);
        m_selectionBandDrawn = false;
        if (CQvGObject* hit = HitTest(m_rcSelection))
        {
            if (std::find(m_selected.begin(), m_selected.end(), hit) == m_selected.end())
            {
                SelectObjects(m_rcSelection, 1);
                InvalidateCanvas();
                // The wider selection box may take another object than the hit test did; the drag follows the
                // handle of the object that is selected, so that one must learn what was grabbed.
                if (!m_selected.empty() && m_selected.front() != hit)
                    hit = m_selected.front();
            }
            CRect grab = m_rcSelection;
            grab.InflateRect(4);
            hit->GetHandle(grab);
        }
        else
        {
            UnSelectAll();
        }
    }
}

void CQvGObjectContainer::MouseMove(CDC* dc, UINT flags, CPoint p)
{
    if (m_state == GS_FIRST_POINT || m_state == GS_ADDING)
    {
        CQvGObject* obj = CreatingObject();
        if (!obj)
            return;
        const int handle = obj->GetHandle(CRect(p.x - 3, p.y - 3, p.x + 3, p.y + 3));
        if (handle == CQvGObject::kBodyHandle)
            return;
        const CPoint origin = GetRelativePoint();
        const bool invert = dc && obj->NeedROP();
        const int previous = invert ? dc->SetROP2(R2_NOT) : 0;
        if (invert && m_creationBandDrawn)
            obj->Draw(dc, &origin, &m_ratio, CQvGObject::kPaintRubberBand);
        const CreationWatch watch(this, obj);
        if ((flags & MK_LBUTTON) && obj->CanDragAddPoint())
            obj->AddPoint(p);
        else
            obj->MoveHandle(handle, p - m_ptOldMouse);
        if (watch.Lost())
        {
            // The surface the band was drawn on goes with the container; while that lives, its mode goes back.
            if (invert && watch.ContainerAlive())
                dc->SetROP2(previous);
            return;
        }
        ObjectMoved(obj);
        m_ptOldMouse = p;
        if (dc)
        {
            obj->Draw(dc, &origin, &m_ratio, CQvGObject::kPaintRubberBand);
            m_creationBandDrawn = invert;
        }
        if (invert)
            dc->SetROP2(previous);
    }
    else if ((m_state & GS_SELECTION) && (flags & MK_LBUTTON))
    {
        DragSelection(dc, p);
    }
}

void CQvGObjectContainer::DragSelection(CDC* dc, CPoint p)
{
    if (m_selected.empty())
    {
        // Before the first move the band is not on the surface: drawing it "again" would leave a dot behind.
        if (dc && m_selectionBandDrawn)
            DrawRubberBand(dc, m_rcSelection);
        m_rcSelection.right = p.x;
        m_rcSelection.bottom = p.y;
        if (dc)
        {
            DrawRubberBand(dc, m_rcSelection);
            m_selectionBandDrawn = true;
        }
        return;
    }

    const CSize delta = p - m_ptOldMouse;
    const int handle =
        m_selected.size() == 1 ? m_selected.front()->GetSelectedHandle() : CQvGObject::kBodyHandle;
    if (handle >= 0)
    {
        CQvGObject* obj = m_selected.front();
        const CPoint origin = GetRelativePoint();
        if (dc)
        {
            RasterOpScope invert(dc, R2_NOT);
            obj->Draw(dc, &origin, &m_ratio, CQvGObject::kPaintRubberBand);
            obj->MoveHandle(handle, delta);
            obj->Draw(dc, &origin, &m_ratio, CQvGObject::kPaintRubberBand);
        }
        else
        {
            obj->MoveHandle(handle, delta);
        }
        ObjectMoved(obj);
    }
    else if (handle == CQvGObject::kBodyHandle)
    {
        MoveTo(dc, delta);
    }
    m_ptOldMouse = p;
}

void CQvGObjectContainer::DrawRubberBand(CDC* dc, CRect imageRect) const
{
    imageRect.NormalizeRect();
    const CPoint origin = GetRelativePoint();
    // trunc(ratio x v + 0.5) + o, kept far outside the window but well inside int: a ratio or origin from a
    // damaged stream must overflow neither the edges nor the width.
    auto map = [this](int v, int o) {
        const int64_t scaled = TruncHalfUp(m_ratio * v);
        return static_cast<int>(std::clamp<int64_t>(scaled + o, -kFarOut, kFarOut));
    };
    const CRect window(map(imageRect.left, origin.x), map(imageRect.top, origin.y),
                       map(imageRect.right, origin.x) + 1, map(imageRect.bottom, origin.y) + 1);

    CPen pen(PS_DOT, 1, 0x808080);
    CPen* oldPen = dc->SelectObject(&pen);
    CGdiObject* oldBrush = dc->SelectStockObject(HOLLOW_BRUSH);
    RasterOpScope invert(dc, R2_NOT);
    dc->Rectangle(&window);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}

void CQvGObjectContainer::MoveTo(CDC* dc, CSize delta)
{
    const CPoint origin = GetRelativePoint();
    for (CQvGObject* obj : m_selected)
    {
        ObjectMoved(obj);
        if (!dc)
        {
            obj->MoveTo(delta);
            continue;
        }
        RasterOpScope xorPen(dc, R2_XORPEN);
        obj->DrawMouseMoving(dc, &origin, &m_ratio, CQvGObject::kPaintRubberBand);
        obj->MoveTo(delta);
        obj->DrawMouseMoving(dc, &origin, &m_ratio, CQvGObject::kPaintRubberBand);
    }
}

void CQvGObjectContainer::LButtonUp(UINT /*flags*/, CPoint /*p*/)
{
    const ChangeScope scope(this);
    if (m_state == GS_FAILED)
    {
        CancelObject();
        if (!m_objects.empty())
            DeleteObject(m_objects.back());
        if (m_autoRepeat)
        {
            InvalidateCanvas();
            AddObject(m_LastShape);
        }
    }
    // While an object is being created the mouse stays captured from click to click.
    if (m_state != GS_FIRST_POINT && m_state != GS_ADDING && m_canvas)
        m_canvas->ReleaseMouse();
    if (m_state & GS_SELECTION)
    {
        if (m_selected.empty())
            SelectObjects(m_rcSelection, 0);
        m_selectionBandDrawn = false;
        RefreshDataLabels();
        InvalidateCanvas();
    }
}

void CQvGObjectContainer::RButtonDown(UINT /*flags*/, CPoint /*p*/)
{
    const ChangeScope scope(this);
    if (m_state == GS_FIRST_POINT)
    {
        CancelObject();
    }
    else if (m_state == GS_ADDING)
    {
        CQvGObject* obj = CreatingObject();
        if (obj && obj->CanFinish())
        {
            const CreationWatch watch(this, obj);
            obj->Finish();
            if (watch.Lost())
                return;
            ObjectMoved(obj);
            RepeatCreatingObject(obj);
        }
    }
}

void CQvGObjectContainer::KeyDown(UINT key, UINT /*repeat*/, UINT /*flags*/)
{
    const ChangeScope scope(this);
    if (key == VK_ESCAPE)
        CancelObject();
    else if (key == VK_DELETE && (m_state & GS_SELECTION))
        DeleteObject();
}
