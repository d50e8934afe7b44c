// A scrolling window that keeps what it shows in a retained, window-sized surface (QImage RGB32, device pixel
// ratio 1): all drawing goes into the surface through CDC, in OnDraw or through a CClientDC, and painting only
// copies the surface to the screen, so drawing the same thing twice under R2_NOT or R2_XORPEN restores it exactly.
// Input arrives in Windows-shaped virtual handlers (QvWindowCodes.h); a derived window does its own work and calls
// the base handler last. Points are client coordinates: (0, 0) is the top-left pixel of the area inside the scroll
// bars. Scroll positions and the scroll size are window pixels.
// Auto-scroll: while it is on and a mouse button is held with the pointer outside the client area, a timer
// scrolls one line towards the pointer every interval and repeats the last mouse move, so a shape being drawn
// follows the pointer past the edge.
// UI thread only; the window owns its surface.
#pragma once

#include "gdi/CDC.h"
#include "types/VistrelExport.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QTimer>

// The timer id OnTimer receives for auto-scroll ticks.
constexpr UINT QV_AUTOSCROLL_TIMER = 0x5153;

class VISTREL_EXPORT CQvScrollWnd : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit CQvScrollWnd(QWidget* parent = nullptr);
    ~CQvScrollWnd() override;

    // Makes the window a child of `parent` at `rect` (parent coordinates), runs OnCreate and shows the window; 0
    // (the window stays hidden) when OnCreate returns -1.
    BOOL Create(QWidget* parent, const CRect& rect);

    // (0, 0, client width, client height).
    CRect GetClientRect() const;

    // The scrolled content's size in window pixels; the scroll positions stay within it.
    void SetScrollSize(CSize total);
    CSize GetScrollSize() const { return m_scrollSize; }
    // How far the content is scrolled: its pixel shown at the client's top-left corner.
    CPoint GetScrollPosition() const;
    // Clamped to the content.
    void ScrollToPosition(CPoint position);
    void Scroll(int dx, int dy);

    // 1 while a shape is drawn (see auto-scroll above), 0 otherwise.
    void SetAutoScroll(int on);
    int GetAutoScroll() const { return m_autoScroll; }
    // Whether auto-scroll ticks are due (the pointer is past the edge with a button held), so that a caller can
    // tell without waiting on the clock.
    bool IsAutoScrollTicking() const { return m_autoScrollTimer.isActive(); }
    // The line step in window pixels (scroll-bar arrows and each auto-scroll tick; 10 at start) and the auto-scroll
    // interval in milliseconds (25 at start); values below 1 are taken as 1.
    void SetScrollParameters(int linePixels, int autoScrollMilliseconds);
    // While the hand tool is on, dragging with the left button moves the content with the pointer. Off at start.
    void SetHandTool(int on);
    int GetHandTool() const { return m_handTool; }

    // The retained surface, as OnDraw left it with whatever was drawn into it since.
    const QImage& GetSurface() const { return m_surface; }
    // Marks the whole surface for redrawing by OnDraw before the next paint; the erase flag changes nothing since
    // OnDraw covers the surface.
    void Invalidate(BOOL erase = 1);
    // Redraws a surface marked invalid now rather than at the next paint.
    void UpdateWindow();

    // --- Handlers; the base versions do the window's own part ---
    // After Create made the window; 0 to go on, -1 to fail.
    virtual int OnCreate();
    // Draws the whole surface; the base leaves it as it is.
    virtual void OnDraw(CDC* dc);
    // The left button starts a hand-tool drag.
    virtual void OnLButtonDown(UINT flags, CPoint point);
    // Ends a hand-tool drag and auto-scroll ticks.
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    virtual void OnRButtonDblClk(UINT flags, CPoint point);
    virtual void OnMButtonDown(UINT flags, CPoint point);
    virtual void OnMButtonUp(UINT flags, CPoint point);
    virtual void OnMButtonDblClk(UINT flags, CPoint point);
    // Moves the content during a hand-tool drag; starts or stops the auto-scroll ticks.
    virtual void OnMouseMove(UINT flags, CPoint point);
    // delta > 0 when the wheel turns away from the user (120 a notch); the point is a client point. Nonzero when
    // handled; the base handles nothing.
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    virtual void OnKeyUp(UINT key, UINT repeatCount, UINT flags);
    // A typed character (a Unicode code point) after OnKeyDown.
    virtual void OnChar(UINT character, UINT repeatCount, UINT flags);
    // After the client area changed size; the surface and the scroll ranges already follow it.
    virtual void OnSize(UINT type, int cx, int cy);
    // QV_AUTOSCROLL_TIMER: one auto-scroll tick.
    virtual void OnTimer(UINT id);
    // After the scroll position changed, by the user or by the program.
    virtual void OnScrollPositionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    friend class CClientDC;

    void RedrawSurface();
    void FollowClientSize();
    void ApplyScrollRanges();

    QImage m_surface;
    bool m_surfaceInvalid = true;
    CSize m_scrollSize;
    int m_linePixels = 0;
    int m_autoScroll = 0;
    QTimer m_autoScrollTimer;
    UINT m_lastMouseFlags = 0;
    CPoint m_lastMousePoint;
    int m_handTool = 0;
    bool m_handDragging = false;
    CPoint m_handDragStart;
    CPoint m_handDragScrollStart;
};
