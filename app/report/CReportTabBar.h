// A strip of tabs along the bottom of a report page, each tab standing for one window (a report list or a
// statistics table) shown in the area above the strip. Tabs are trapezoids drawn side by side, a plug-in's list in
// the plug-in colour; the strip scrolls sideways by 16 pixels with its small arrow bar. Drawing and hit testing use
// one layout, so a click lands on the tab drawn under it. UI thread.
#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class QScrollBar;

class CReportTabBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kStripHeight = 16;
    static constexpr int kStripLeft = 26;
    static constexpr int kStripWidth = 250;
    static constexpr int kScrollStep = 16;

    struct TabSpan
    {
        int left = 0;  // the tab's hit span [left, right) in strip coordinates (scroll offset applied)
        int right = 0;
        int textLeft = 0;  // the measured name [textLeft, textRight)
        int textRight = 0;
    };

    CReportTabBar(QWidget* parent, QColor normal, QColor plugIn);
    ~CReportTabBar() override;

    // Appends a tab for `window` (reparented to the strip, hidden); the current tab stays. An external window (a
    // plug-in's list) is never deleted by the strip: every removal, and the strip's own end, hands it back without
    // a parent (its owner deletes it); its tab goes when the window is destroyed.
    void AddTab(QWidget* window, const QString& name, bool external);
    // Makes tab n current and shows its window over the area above the strip; an invalid n changes nothing.
    void SetCurrentTab(int n);
    int GetCurrentTab() const { return m_current; }
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    QWidget* GetTabWindow(int n) const;
    QString GetTabName(int n) const;
    bool IsExternal(int n) const;
    // Deletes tab n's window (an external one is handed back) and the entry; tab 0 becomes current.
    void RemoveTabAt(int n);
    // Takes out the entry of `window`, leaving the window alone (an external one without a parent); tab 0 becomes
    // current. The entry's index, or -1.
    int RemoveTab(QWidget* window);
    // Deletes every owned window, hands back every external one and drops every entry.
    void RemoveAll();

    // The layout every paint and click uses.
    std::vector<TabSpan> Layout() const;
    int TotalWidth() const;
    int ScrollOffset() const { return m_offset; }
    // One arrow step: left (towards the first tab) or right. Returns whether the offset changed.
    bool ScrollTabs(bool towardsFirst);
    // The tab under a point of the widget, or -1.
    int HitTest(const QPoint& point) const;
    QRect StripRect() const;

signals:
    // A tab was lost because its external window was destroyed; the page drops its statistics table at `index`.
    void ExternalTabLost(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Tab
    {
        QPointer<QWidget> window;
        const QObject* identity = nullptr;  // the window's address, to know it while it is being destroyed
        QString name;
        bool external = false;
    };
    void ShowCurrent();
    void OnWindowDestroyed(QObject* window);
    void Release(QWidget* window);

    std::vector<Tab> m_tabs;
    int m_current = 0;
    int m_offset = 0;
    QColor m_normal;
    QColor m_plugIn;
    QFont m_font;
    QScrollBar* m_arrows = nullptr;
};
