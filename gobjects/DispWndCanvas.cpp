#include "gobjects/DispWndCanvas.h"

#include "gobjects/FiguronCursors.h"

#include "qvimage/CClientDC.h"
#include "qvimage/CQvScrollWnd.h"

#include <QCursor>
#include <QWidget>

CDispWndCanvas::CDispWndCanvas(CQvScrollWnd* window) : m_window(window) {}

CDispWndCanvas::~CDispWndCanvas()
{
    ReleaseMouse();
}

void CDispWndCanvas::SetNotifyHandler(std::function<void(UINT)> handler)
{
    m_notify = std::move(handler);
}

void CDispWndCanvas::InvalidateRect(const CRect* rect)
{
    // The surface is redrawn whole by OnDraw, so only the screen update can be narrowed to the rectangle.
    m_window->Invalidate();
    QWidget* viewport = m_window->viewport();
    if (rect) {
        CRect area = *rect;
        area.NormalizeRect();
        viewport->update(area.left, area.top, area.Width(), area.Height());
    } else {
        viewport->update();
    }
}

void CDispWndCanvas::CaptureMouse()
{
    m_window->viewport()->grabMouse();
}

void CDispWndCanvas::ReleaseMouse()
{
    // Only a grab of our own is let go: another widget's must stay.
    if (QWidget::mouseGrabber() == m_window->viewport())
        m_window->viewport()->releaseMouse();
}

void CDispWndCanvas::ReleaseCursorClip()
{
    // The window never confines the pointer, so there is nothing to let go.
}

void CDispWndCanvas::SetCursor(UINT id)
{
    m_window->viewport()->setCursor(LoadFiguronCursor(id));
}

void CDispWndCanvas::SendNotify(UINT message)
{
    if (m_notify)
        m_notify(message);
}

QWidget* CDispWndCanvas::GetWindow()
{
    return m_window;
}

std::unique_ptr<CDC> CDispWndCanvas::GetSurfaceDC()
{
    if (m_window->GetSurface().isNull())
        return nullptr;
    return std::make_unique<CClientDC>(m_window);
}
