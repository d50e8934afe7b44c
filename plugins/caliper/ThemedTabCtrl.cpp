#include "caliper/ThemedTabCtrl.h"

#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>

namespace {

QColor ColourOf(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

}  // namespace

CThemedTabBar::CThemedTabBar(QWidget* parent) : QTabBar(parent)
{
    setMouseTracking(true);
    // Captions in one flat colour, so the colour a tab is drawn in is the colour its letters have.
    QFont captionFont = font();
    captionFont.setStyleStrategy(QFont::NoAntialias);
    setFont(captionFont);
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this] { HoverCheck(); });
}

QColor CThemedTabBar::TextColour(int index) const
{
    if (index == currentIndex())
        return useSelectedColour ? ColourOf(selectedColour) : palette().color(QPalette::ButtonText);
    if (useHoverColour && index == m_hotTab)
        return ColourOf(hoverColour);
    return palette().color(QPalette::ButtonText);
}

void CThemedTabBar::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        const QString caption = option.text;
        option.text.clear();
        painter.drawControl(QStyle::CE_TabBarTab, option);
        painter.save();
        painter.setPen(TextColour(i));
        painter.drawText(tabRect(i), Qt::AlignCenter | Qt::TextSingleLine, caption);
        painter.restore();
    }
}

void CThemedTabBar::mouseMoveEvent(QMouseEvent* event)
{
    m_mouse = event->position().toPoint();
    if (useHoverColour) {
        m_timer.start();
        if (m_hotTab >= 0 && !tabRect(m_hotTab).contains(m_mouse)) {
            // The tab left behind goes back to normal at once; its neighbour waits for the next tick.
            const int was = m_hotTab;
            m_hotTab = -1;
            update(tabRect(was));
        } else if (!m_tracking) {
            m_tracking = true;
            const int hit = tabAt(m_mouse);
            if (hit >= 0) {
                m_hotTab = hit;
                update(tabRect(hit));
            }
        }
    }
    QTabBar::mouseMoveEvent(event);
}

void CThemedTabBar::leaveEvent(QEvent* event)
{
    m_mouse = QPoint(-1, -1);
    QTabBar::leaveEvent(event);
}

void CThemedTabBar::HoverCheck()
{
    if (m_hotTab < 0 || !tabRect(m_hotTab).contains(m_mouse)) {
        m_timer.stop();
        m_tracking = false;
        const int was = m_hotTab;
        m_hotTab = -1;
        update(was >= 0 ? tabRect(was) : rect());
    }
}

CThemedTabCtrl::CThemedTabCtrl(QWidget* parent) : QTabWidget(parent), m_bar(new CThemedTabBar)
{
    setTabBar(m_bar);
}

void CThemedTabCtrl::AddTab(QWidget* page, const QString& title, int)
{
    // The stack shows the current tab's page only, and the first tab added becomes the current one.
    addTab(page, title);
}

void CThemedTabCtrl::SetSelectedTextColor(COLORREF colour)
{
    m_bar->selectedColour = colour;
    m_bar->useSelectedColour = true;
    m_bar->update();
}

void CThemedTabCtrl::SetHoverTextColor(COLORREF colour)
{
    m_bar->hoverColour = colour;
    m_bar->useHoverColour = true;
    m_bar->update();
}
