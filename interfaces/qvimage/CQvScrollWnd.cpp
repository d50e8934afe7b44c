#include "qvimage/CQvScrollWnd.h"

#include "qvimage/QvWindowCodes.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Shown where nothing has been drawn yet.
constexpr QRgb kUndrawnColour = 0xFF808080;

CPoint ClientPoint(const QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    return CPoint(p.x(), p.y());
}

UINT MouseFlags(const QMouseEvent* event)
{
    return MouseFlagsFromQt(event->buttons(), event->modifiers());
}

// One line towards the pointer in each axis where it lies outside [0, extent).
int StepTowards(int coordinate, int extent, int line)
{
    if (coordinate < 0)
        return -line;
    if (coordinate >= extent)
        return line;
    return 0;
}

}  // namespace

CQvScrollWnd::CQvScrollWnd(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    connect(&m_autoScrollTimer, &QTimer::timeout, this, [this] { OnTimer(QV_AUTOSCROLL_TIMER); });
    SetScrollParameters(10, 25);
    FollowClientSize();
}

CQvScrollWnd::~CQvScrollWnd() = default;

BOOL CQvScrollWnd::Create(QWidget* parent, const CRect& rect)
{
    setParent(parent);
    setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    if (OnCreate() == -1)
        return 0;
    show();
    return 1;
}

CRect CQvScrollWnd::GetClientRect() const
{
    return CRect(0, 0, viewport()->width(), viewport()->height());
}

void CQvScrollWnd::SetScrollSize(CSize total)
{
    m_scrollSize = CSize(std::max(0, total.cx), std::max(0, total.cy));
    ApplyScrollRanges();
}

CPoint CQvScrollWnd::GetScrollPosition() const
{
    return CPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void CQvScrollWnd::ScrollToPosition(CPoint position)
{
    horizontalScrollBar()->setValue(position.x);
    verticalScrollBar()->setValue(position.y);
}

void CQvScrollWnd::Scroll(int dx, int dy)
{
    const CPoint position = GetScrollPosition();
    ScrollToPosition(CPoint(position.x + dx, position.y + dy));
}

void CQvScrollWnd::SetAutoScroll(int on)
{
    m_autoScroll = on ? 1 : 0;
    if (!m_autoScroll)
        m_autoScrollTimer.stop();
}

void CQvScrollWnd::SetScrollParameters(int linePixels, int autoScrollMilliseconds)
{
    m_linePixels = std::max(1, linePixels);
    m_autoScrollTimer.setInterval(std::max(1, autoScrollMilliseconds));
    horizontalScrollBar()->setSingleStep(m_linePixels);
    verticalScrollBar()->setSingleStep(m_linePixels);
}

void CQvScrollWnd::SetHandTool(int on)
{
    m_handTool = on ? 1 : 0;
    if (!m_handTool)
        m_handDragging = false;
}

void CQvScrollWnd::Invalidate(BOOL)
{
    m_surfaceInvalid = true;
    viewport()->update();
}

void CQvScrollWnd::UpdateWindow()
{
    if (!m_surfaceInvalid)
        return;
    RedrawSurface();
    viewport()->update();
}

int CQvScrollWnd::OnCreate()
{
    return 0;
}

void CQvScrollWnd::OnDraw(CDC*) {}

void CQvScrollWnd::OnLButtonDown(UINT, CPoint point)
{
    if (!m_handTool)
        return;
    m_handDragging = true;
    m_handDragStart = point;
    m_handDragScrollStart = GetScrollPosition();
}

void CQvScrollWnd::OnLButtonUp(UINT, CPoint)
{
    m_handDragging = false;
    m_autoScrollTimer.stop();
}

void CQvScrollWnd::OnLButtonDblClk(UINT, CPoint) {}
void CQvScrollWnd::OnRButtonDown(UINT, CPoint) {}
void CQvScrollWnd::OnRButtonUp(UINT, CPoint) {}
void CQvScrollWnd::OnRButtonDblClk(UINT, CPoint) {}
void CQvScrollWnd::OnMButtonDown(UINT, CPoint) {}
void CQvScrollWnd::OnMButtonUp(UINT, CPoint) {}
void CQvScrollWnd::OnMButtonDblClk(UINT, CPoint) {}

void CQvScrollWnd::OnMouseMove(UINT flags, CPoint point)
{
    m_lastMouseFlags = flags;
    m_lastMousePoint = point;
    if (m_handDragging && (flags & MK_LBUTTON))
    {
        ScrollToPosition(m_handDragScrollStart - (point - m_handDragStart));
        return;
    }
    const bool buttonHeld = (flags & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
    if (m_autoScroll && buttonHeld && !GetClientRect().PtInRect(point))
    {
        if (!m_autoScrollTimer.isActive())
            m_autoScrollTimer.start();
    }
    else
    {
        m_autoScrollTimer.stop();
    }
}

BOOL CQvScrollWnd::OnMouseWheel(UINT, short, CPoint)
{
    return 0;
}

void CQvScrollWnd::OnKeyDown(UINT, UINT, UINT) {}
void CQvScrollWnd::OnKeyUp(UINT, UINT, UINT) {}
void CQvScrollWnd::OnChar(UINT, UINT, UINT) {}
void CQvScrollWnd::OnSize(UINT, int, int) {}

void CQvScrollWnd::OnTimer(UINT id)
{
    if (id != QV_AUTOSCROLL_TIMER)
        return;
    const CRect client = GetClientRect();
    const CPoint before = GetScrollPosition();
    Scroll(StepTowards(m_lastMousePoint.x, client.Width(), m_linePixels),
           StepTowards(m_lastMousePoint.y, client.Height(), m_linePixels));
    // The content moved under a still pointer: what follows the pointer must see a move.
    if (!(GetScrollPosition() == before))
        OnMouseMove(m_lastMouseFlags, m_lastMousePoint);
}

void CQvScrollWnd::OnScrollPositionChanged() {}

void CQvScrollWnd::paintEvent(QPaintEvent* event)
{
    if (m_surfaceInvalid)
        RedrawSurface();
    QPainter painter(viewport());
    painter.drawImage(event->rect(), m_surface, event->rect());
}

void CQvScrollWnd::resizeEvent(QResizeEvent*)
{
    // Both the frame's and the viewport's resize arrive here; only the client area counts.
    const QSize client = viewport()->size();
    if (client == m_surface.size())
        return;
    FollowClientSize();
    OnSize(SIZE_RESTORED, client.width(), client.height());
}

void CQvScrollWnd::scrollContentsBy(int, int)
{
    Invalidate();
    OnScrollPositionChanged();
}

void CQvScrollWnd::mousePressEvent(QMouseEvent* event)
{
    const UINT flags = MouseFlags(event);
    switch (event->button())
    {
    case Qt::LeftButton: OnLButtonDown(flags, ClientPoint(event)); break;
    case Qt::RightButton: OnRButtonDown(flags, ClientPoint(event)); break;
    case Qt::MiddleButton: OnMButtonDown(flags, ClientPoint(event)); break;
    default: break;
    }
}

void CQvScrollWnd::mouseReleaseEvent(QMouseEvent* event)
{
    const UINT flags = MouseFlags(event);
    switch (event->button())
    {
    case Qt::LeftButton: OnLButtonUp(flags, ClientPoint(event)); break;
    case Qt::RightButton: OnRButtonUp(flags, ClientPoint(event)); break;
    case Qt::MiddleButton: OnMButtonUp(flags, ClientPoint(event)); break;
    default: break;
    }
}

void CQvScrollWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    const UINT flags = MouseFlags(event);
    switch (event->button())
    {
    case Qt::LeftButton: OnLButtonDblClk(flags, ClientPoint(event)); break;
    case Qt::RightButton: OnRButtonDblClk(flags, ClientPoint(event)); break;
    case Qt::MiddleButton: OnMButtonDblClk(flags, ClientPoint(event)); break;
    default: break;
    }
}

void CQvScrollWnd::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(MouseFlags(event), ClientPoint(event));
}

void CQvScrollWnd::wheelEvent(QWheelEvent* event)
{
    const QPoint p = event->position().toPoint();
    const int delta = std::clamp(event->angleDelta().y(), -32768, 32767);
    OnMouseWheel(MouseFlagsFromQt(event->buttons(), event->modifiers()), static_cast<short>(delta),
                 CPoint(p.x(), p.y()));
}

void CQvScrollWnd::keyPressEvent(QKeyEvent* event)
{
    const UINT flags = event->isAutoRepeat() ? KF_REPEAT : 0;
    if (const UINT key = VirtualKeyFromQt(*event))
        OnKeyDown(key, 1, flags);
    // Characters as Windows types them: printable ones and the control codes of Backspace, Tab, Enter and Esc.
    const QList<uint> characters = event->text().toUcs4();
    if (!characters.isEmpty() && (characters[0] < 0x20 || QChar::isPrint(characters[0])))
        OnChar(characters[0], 1, flags);
}

void CQvScrollWnd::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    if (const UINT key = VirtualKeyFromQt(*event))
        OnKeyUp(key, 1, KF_REPEAT);
}

void CQvScrollWnd::RedrawSurface()
{
    m_surfaceInvalid = false;
    CDC dc(m_surface);
    OnDraw(&dc);
}

void CQvScrollWnd::FollowClientSize()
{
    const QSize client = viewport()->size();
    m_surface = QImage(client, QImage::Format_RGB32);
    m_surface.setDevicePixelRatio(1.0);
    m_surface.fill(kUndrawnColour);
    ApplyScrollRanges();
    Invalidate();
}

void CQvScrollWnd::ApplyScrollRanges()
{
    const CRect client = GetClientRect();
    horizontalScrollBar()->setRange(0, std::max(0, m_scrollSize.cx - client.Width()));
    verticalScrollBar()->setRange(0, std::max(0, m_scrollSize.cy - client.Height()));
    horizontalScrollBar()->setPageStep(std::max(1, client.Width()));
    verticalScrollBar()->setPageStep(std::max(1, client.Height()));
}
