#include "report/CReportTabBar.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScrollBar>

namespace {

constexpr int kFirstTabX = 6;
// A tab's outline reaches 10 pixels beyond its name at the top and 4 at the bottom; tabs follow each other at the
// name's width plus 14, so a tab's own span is the name widened by 7 on each side and the spans touch.
constexpr int kTopSlant = 10;
constexpr int kBottomSlant = 4;
constexpr int kHalfGap = 7;

}  // namespace

CReportTabBar::CReportTabBar(QWidget* parent, QColor normal, QColor plugIn)
    : QWidget(parent), m_normal(normal), m_plugIn(plugIn)
{
    setObjectName("reportTabBar");
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, m_normal);
    setPalette(palette);
    m_font = QFont("Arial");
    m_font.setPixelSize(12);
    m_font.setWeight(QFont::Light);
    m_arrows = new QScrollBar(Qt::Horizontal, this);
    m_arrows->setObjectName("reportTabArrows");
    // Only the arrows count: the bar's own value stays in the middle of a range of three.
    m_arrows->setRange(-1, 1);
    m_arrows->setValue(0);
    m_arrows->setPageStep(1);
    connect(m_arrows, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderSingleStepSub)
            ScrollTabs(true);
        else if (action == QAbstractSlider::SliderSingleStepAdd)
            ScrollTabs(false);
        m_arrows->setSliderPosition(0);
    });
    resize(200, 15);
    hide();
}

CReportTabBar::~CReportTabBar()
{
    RemoveAll();
}

QRect CReportTabBar::StripRect() const
{
    return QRect(kStripLeft, height() - kStripHeight, kStripWidth, kStripHeight);
}

void CReportTabBar::AddTab(QWidget* window, const QString& name, bool external)
{
    if (!window)
        return;
    window->setParent(this);
    window->hide();
    if (external)
        connect(window, &QObject::destroyed, this, &CReportTabBar::OnWindowDestroyed);
    m_tabs.push_back(Tab{window, window, name, external});
    update();
}

QWidget* CReportTabBar::GetTabWindow(int n) const
{
    return n >= 0 && n < GetTabCount() ? m_tabs[static_cast<size_t>(n)].window.data() : nullptr;
}

QString CReportTabBar::GetTabName(int n) const
{
    return n >= 0 && n < GetTabCount() ? m_tabs[static_cast<size_t>(n)].name : QString();
}

bool CReportTabBar::IsExternal(int n) const
{
    return n >= 0 && n < GetTabCount() && m_tabs[static_cast<size_t>(n)].external;
}

void CReportTabBar::SetCurrentTab(int n)
{
    if (n < 0 || n >= GetTabCount())
        return;
    if (n != m_current)
        if (QWidget* old = GetTabWindow(m_current)) {
            old->hide();
            old->setGeometry(0, 0, 0, 0);
        }
    m_current = n;
    ShowCurrent();
    update();
}

void CReportTabBar::ShowCurrent()
{
    QWidget* window = GetTabWindow(m_current);
    if (!window)
        return;
    window->setGeometry(0, 0, width(), std::max(0, height() - kStripHeight));
    window->show();
}

void CReportTabBar::RemoveTabAt(int n)
{
    if (n < 0 || n >= GetTabCount())
        return;
    Tab tab = m_tabs[static_cast<size_t>(n)];
    m_tabs.erase(m_tabs.begin() + n);
    if (tab.window) {
        disconnect(tab.window, nullptr, this, nullptr);
        if (tab.external)
            Release(tab.window);
        else
            delete tab.window.data();
    }
    m_current = 0;
    ShowCurrent();
    update();
}

int CReportTabBar::RemoveTab(QWidget* window)
{
    for (int i = 0; i < GetTabCount(); ++i) {
        if (m_tabs[static_cast<size_t>(i)].window != window)
            continue;
        const bool external = m_tabs[static_cast<size_t>(i)].external;
        if (window) {
            disconnect(window, nullptr, this, nullptr);
            if (external)
                Release(window);
            else
                window->hide();
        }
        m_tabs.erase(m_tabs.begin() + i);
        m_current = 0;
        ShowCurrent();
        update();
        return i;
    }
    return -1;
}

void CReportTabBar::RemoveAll()
{
    std::vector<Tab> tabs;
    tabs.swap(m_tabs);
    for (Tab& tab : tabs) {
        if (!tab.window)
            continue;
        disconnect(tab.window, nullptr, this, nullptr);
        if (tab.external)
            Release(tab.window);
        else
            delete tab.window.data();
    }
    m_current = 0;
}

void CReportTabBar::Release(QWidget* window)
{
    // An external window only borrows the strip as its parent: the strip's own end must not take it along.
    window->hide();
    if (window->parentWidget() == this)
        window->setParent(nullptr);
}

void CReportTabBar::OnWindowDestroyed(QObject* window)
{
    for (int i = 0; i < GetTabCount(); ++i) {
        if (m_tabs[static_cast<size_t>(i)].identity != window)
            continue;
        m_tabs.erase(m_tabs.begin() + i);
        m_current = 0;
        ShowCurrent();
        update();
        emit ExternalTabLost(i);
        return;
    }
}

std::vector<CReportTabBar::TabSpan> CReportTabBar::Layout() const
{
    const QFontMetrics metrics(m_font);
    std::vector<TabSpan> spans;
    spans.reserve(m_tabs.size());
    int x = m_offset + kFirstTabX;
    for (const Tab& tab : m_tabs) {
        const int textWidth = metrics.horizontalAdvance(tab.name);
        TabSpan span;
        span.textLeft = x;
        span.textRight = x + textWidth;
        span.left = span.textLeft - kHalfGap;
        span.right = span.textRight + kHalfGap;
        spans.push_back(span);
        x += textWidth + 2 * kHalfGap;
    }
    return spans;
}

int CReportTabBar::TotalWidth() const
{
    const QFontMetrics metrics(m_font);
    int total = 0;
    for (const Tab& tab : m_tabs)
        total += metrics.horizontalAdvance(tab.name) + 2 * kHalfGap;
    return total;
}

bool CReportTabBar::ScrollTabs(bool towardsFirst)
{
    const int next = m_offset + (towardsFirst ? kScrollStep : -kScrollStep);
    if (next > 0 || -next >= TotalWidth())
        return false;
    m_offset = next;
    update();
    return true;
}

int CReportTabBar::HitTest(const QPoint& point) const
{
    const QRect strip = StripRect();
    if (!strip.contains(point))
        return -1;
    const int x = point.x() - strip.left();
    const std::vector<TabSpan> spans = Layout();
    for (size_t i = 0; i < spans.size(); ++i)
        if (x >= spans[i].left && x < spans[i].right)
            return static_cast<int>(i);
    return -1;
}

void CReportTabBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_normal);
    const QRect strip = StripRect();
    if (strip.isEmpty())
        return;
    painter.setClipRect(strip);
    painter.translate(strip.topLeft());
    painter.setFont(m_font);
    const int h = strip.height() - 1;
    const std::vector<TabSpan> spans = Layout();
    auto drawTab = [&](size_t i, const QColor& fill) {
        const TabSpan& s = spans[i];
        QPolygon outline;
        outline << QPoint(s.textLeft - kTopSlant, 0) << QPoint(s.textRight + kTopSlant, 0)
                << QPoint(s.textRight + kBottomSlant, h) << QPoint(s.textLeft - kBottomSlant, h);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(fill);
        painter.drawPolygon(outline);
        painter.drawText(QRect(s.textLeft - kBottomSlant, 0, s.textRight - s.textLeft + 2 * kBottomSlant, h + 1),
                         Qt::AlignCenter | Qt::TextSingleLine, m_tabs[i].name);
    };
    for (size_t i = 0; i < spans.size(); ++i)
        drawTab(i, m_tabs[i].external ? m_plugIn : m_normal);
    if (m_current >= 0 && m_current < GetTabCount())
        drawTab(static_cast<size_t>(m_current), Qt::white);
}

void CReportTabBar::resizeEvent(QResizeEvent*)
{
    m_arrows->setGeometry(0, height() - kStripHeight, 24, kStripHeight);
    m_arrows->show();
    ShowCurrent();
    update();
}

void CReportTabBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    const int hit = HitTest(event->position().toPoint());
    if (hit >= 0)
        SetCurrentTab(hit);
}
