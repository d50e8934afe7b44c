// The caliper dialog's tab strip: each tab carries a page (not owned); exactly one page, the selected tab's, is
// visible. The tab captions are drawn by the control: the selected tab in a colour of its own and, when hover
// highlighting is on, the tab under the mouse in another. UI thread only.
#pragma once

#include "types/ColorRef.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

class CThemedTabBar : public QTabBar
{
public:
    explicit CThemedTabBar(QWidget* parent = nullptr);

    COLORREF selectedColour = 0;
    COLORREF hoverColour = 0;
    bool useSelectedColour = false;
    bool useHoverColour = false;

    int HotTab() const { return m_hotTab; }
    bool Tracking() const { return m_tracking; }
    bool TimerRunning() const { return m_timer.isActive(); }
    // One tick of the hover check: ends the highlight when the mouse is no longer over the hot tab.
    void HoverCheck();
    // The colour tab `index` is drawn in.
    QColor TextColour(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QTimer m_timer;
    QPoint m_mouse{-1, -1};
    int m_hotTab = -1;
    bool m_tracking = false;
};

class CThemedTabCtrl : public QTabWidget
{
public:
    explicit CThemedTabCtrl(QWidget* parent = nullptr);

    // Appends a tab for `page`; the first page added is the one shown.
    void AddTab(QWidget* page, const QString& title, int image = -1);
    void SetSelectedTextColor(COLORREF colour);
    // Also switches hover highlighting on.
    void SetHoverTextColor(COLORREF colour);
    CThemedTabBar* Bar() const { return m_bar; }

private:
    CThemedTabBar* m_bar;
};
