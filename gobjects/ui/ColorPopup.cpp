#include "gobjects/ui/ColorPopup.h"

#include "gobjects/FiguronStrings.h"

#include "ui/ColourDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>

namespace {

const ColorTableEntry kTable[COLOR_TABLE_SIZE] = {
    {RGB(0, 0, 0), "Black"},
    {RGB(165, 42, 0), "Brown"},
    {RGB(0, 64, 64), "Dark Olive Green"},
    {RGB(0, 85, 0), "Dark Green"},
    {RGB(0, 0, 94), "Dark Teal"},
    {RGB(0, 0, 139), "Dark blue"},
    {RGB(75, 0, 130), "Indigo"},
    {RGB(40, 40, 40), "Dark grey"},
    {RGB(139, 0, 0), "Dark red"},
    {RGB(255, 104, 32), "Orange"},
    {RGB(139, 139, 0), "Dark yellow"},
    {RGB(0, 147, 0), "Green"},
    {RGB(56, 142, 142), "Teal"},
    {RGB(0, 0, 255), "Blue"},
    {RGB(123, 123, 192), "Blue-grey"},
    {RGB(102, 102, 102), "Grey - 40"},
    {RGB(255, 0, 0), "Red"},
    {RGB(255, 173, 91), "Light orange"},
    {RGB(50, 205, 50), "Lime"},
    {RGB(60, 179, 113), "Sea green"},
    {RGB(127, 255, 212), "Aqua"},
    {RGB(125, 158, 192), "Light blue"},
    {RGB(128, 0, 128), "Violet"},
    {RGB(127, 127, 127), "Grey - 50"},
    {RGB(255, 192, 203), "Pink"},
    {RGB(255, 215, 0), "Gold"},
    {RGB(255, 255, 0), "Yellow"},
    {RGB(0, 255, 0), "Bright green"},
    {RGB(64, 224, 208), "Turquoise"},
    {RGB(192, 255, 255), "Skyblue"},
    {RGB(72, 0, 72), "Plum"},
    {RGB(192, 192, 192), "Light grey"},
    {RGB(255, 228, 225), "Rose"},
    {RGB(210, 180, 140), "Tan"},
    {RGB(255, 255, 224), "Light yellow"},
    {RGB(152, 251, 152), "Pale green "},
    {RGB(175, 238, 238), "Pale turquoise"},
    {RGB(104, 131, 139), "Pale blue"},
    {RGB(230, 230, 250), "Lavender"},
    {RGB(255, 255, 255), "White"},
};

// The classic system colours the controls are drawn in, fixed so the look does not depend on the desktop theme.
const QColor kBtnFace(240, 240, 240);
const QColor kBtnHighlight(255, 255, 255);
const QColor kBtnShadow(160, 160, 160);
const QColor kBtnDarkShadow(105, 105, 105);
const QColor kGrayText(109, 109, 109);

constexpr int kEdge = 2;  // the width of a 3D edge

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// A 2-pixel 3D edge inside the rectangle.
void DrawEdge(QPainter& p, const QRect& r, bool raised)
{
    const QColor outerLight = raised ? kBtnHighlight : kBtnShadow;
    const QColor outerDark = raised ? kBtnDarkShadow : kBtnHighlight;
    const QColor innerLight = raised ? kBtnFace : kBtnDarkShadow;
    const QColor innerDark = raised ? kBtnShadow : kBtnFace;
    auto frame = [&](const QRect& f, const QColor& tl, const QColor& br) {
        p.fillRect(QRect(f.left(), f.top(), f.width(), 1), tl);
        p.fillRect(QRect(f.left(), f.top(), 1, f.height()), tl);
        p.fillRect(QRect(f.left(), f.bottom(), f.width(), 1), br);
        p.fillRect(QRect(f.right(), f.top(), 1, f.height()), br);
    };
    frame(r, outerLight, outerDark);
    frame(r.adjusted(1, 1, -1, -1), innerLight, innerDark);
}

void DrawFocus(QPainter& p, const QRect& r)
{
    QPen pen(Qt::black, 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace

const ColorTableEntry& ColorTableAt(int index)
{
    return kTable[std::clamp(index, 0, COLOR_TABLE_SIZE - 1)];
}

// ---------------------------------------------------------------------------------------------------------------
// CColorPopup

CColorPopup::CColorPopup(QPoint topLeft, QRect anchor, COLORREF colour, CColorButton* button,
                         const QString& defaultText, const QString& customText)
    : QWidget(button, Qt::Popup | Qt::FramelessWindowHint),
      m_defaultText(defaultText),
      m_customText(customText),
      m_initial(colour),
      m_colour(colour),
      m_button(button)
{
    setObjectName(QStringLiteral("colourPopup"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_rows = COLOR_TABLE_SIZE / COLOR_TABLE_COLUMNS + (COLOR_TABLE_SIZE % COLOR_TABLE_COLUMNS ? 1 : 0);
    m_box = std::max(18, 2 * kEdge + 7);
    m_margin = kEdge;
    Layout();
    m_chosen = ChosenCellFor(colour);

    QRect screen(0, 0, 1 << 16, 1 << 16);
    QScreen* s = button ? button->screen() : QGuiApplication::primaryScreen();
    if (s)
        screen = s->availableGeometry();
    move(Place(topLeft, size(), anchor, screen));
    show();
    setFocus();
    grabMouse();
}

CColorPopup::~CColorPopup()
{
    if (m_button && m_button->m_popup == this)
        m_button->m_popup = nullptr;
}

QPoint CColorPopup::Place(QPoint topLeft, QSize size, QRect anchor, QRect screen)
{
    QPoint p = topLeft;
    if (p.x() + size.width() > screen.right() + 1)
        p.setX(screen.right() + 1 - size.width());
    if (p.x() < screen.left())
        p.setX(screen.left());
    if (p.y() + size.height() > screen.bottom() + 1)
        p.setY(anchor.top() - size.height());
    return p;
}

void CColorPopup::Layout()
{
    const QFontMetrics fm(font());
    const int m = m_margin;
    int textHeight = 0;
    int textWidth = 0;
    for (const QString* t : {&m_defaultText, &m_customText}) {
        if (t->isEmpty())
            continue;
        const QRect r = fm.boundingRect(*t);
        textHeight = std::max(textHeight, fm.height());
        textWidth = std::max(textWidth, r.width());
    }
    const int h = textHeight + 4 * m + 2;
    int width = COLOR_TABLE_COLUMNS * m_box + 2 * m;
    width = std::max(width, textWidth + 2 * m);

    m_gridTop = m;
    m_defaultBox = QRect();
    m_customBox = QRect();
    if (!m_defaultText.isEmpty()) {
        m_defaultBox = QRect(QPoint(m, m), QPoint(width - m - 1, 2 * m + h - 1));
        m_gridTop += m_defaultBox.height() + m;
    }
    int height = m_gridTop + m_rows * m_box + m;
    if (!m_customText.isEmpty()) {
        const int y0 = height;
        m_customBox = QRect(QPoint(m, y0), QPoint(width - m - 1, y0 + m + h - 1));
    }
    int windowHeight = 2 * m + m_rows * m_box;
    if (!m_defaultText.isEmpty())
        windowHeight += 2 * m + m_defaultBox.height();
    if (!m_customText.isEmpty())
        windowHeight += 2 * m + m_customBox.height();
    setFixedSize(width, windowHeight);
}

QRect CColorPopup::CellRect(int cell) const
{
    if (cell == CELL_DEFAULT)
        return m_defaultBox;
    if (cell == CELL_CUSTOM)
        return m_customBox;
    if (cell < 0 || cell >= COLOR_TABLE_SIZE)
        return QRect();
    const int row = cell / COLOR_TABLE_COLUMNS;
    const int col = cell % COLOR_TABLE_COLUMNS;
    return QRect(m_margin + col * m_box, m_gridTop + row * m_box, m_box, m_box);
}

int CColorPopup::CellAt(QPoint pos) const
{
    if (m_defaultBox.contains(pos))
        return CELL_DEFAULT;
    if (m_customBox.contains(pos))
        return CELL_CUSTOM;
    for (int i = 0; i < COLOR_TABLE_SIZE; ++i)
        if (CellRect(i).contains(pos))
            return i;
    return CELL_NONE;
}

QString CColorPopup::ToolTipAt(QPoint pos) const
{
    const int cell = CellAt(pos);
    return cell >= 0 ? QString::fromLatin1(kTable[cell].name) : QString();
}

int CColorPopup::ChosenCellFor(COLORREF colour) const
{
    for (int i = 0; i < COLOR_TABLE_SIZE; ++i)
        if (kTable[i].colour == colour)
            return i;
    if (colour == CLR_AUTOMATIC && !m_defaultText.isEmpty())
        return CELL_DEFAULT;
    return m_customText.isEmpty() ? CELL_NONE : CELL_CUSTOM;
}

COLORREF CColorPopup::ColourOf(int cell) const
{
    if (cell == CELL_DEFAULT)
        return CLR_AUTOMATIC;
    if (cell == CELL_CUSTOM)
        return m_initial;
    if (cell >= 0 && cell < COLOR_TABLE_SIZE)
        return kTable[cell].colour;
    return m_colour;
}

void CColorPopup::ChangeHot(int cell)
{
    if (cell == m_hot)
        return;
    m_hot = cell;
    update();
    if (cell == CELL_NONE)
        return;
    m_colour = ColourOf(cell);
    if (m_button)
        m_button->OnPopupMessage(CPN_SELCHANGE, m_colour);
}

void CColorPopup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kBtnFace);
    const int m = m_margin;
    for (int i = 0; i < COLOR_TABLE_SIZE; ++i) {
        const QRect r = CellRect(i);
        const bool hot = i == m_hot;
        const bool chosen = i == m_chosen;
        p.fillRect(r, chosen && !hot ? kBtnHighlight : kBtnFace);
        if (hot)
            DrawEdge(p, r, true);
        else if (chosen)
            DrawEdge(p, r, false);
        const QRect swatch = r.adjusted(m + 1, m + 1, -(m + 1), -(m + 1));
        p.fillRect(swatch, ToQColor(kTable[i].colour));
        p.setPen(kBtnShadow);
        p.setBrush(Qt::NoBrush);
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    p.setPen(Qt::black);
    if (!m_defaultBox.isNull()) {
        const QRect r = m_defaultBox;
        p.fillRect(r, m_chosen == CELL_DEFAULT && m_hot != CELL_DEFAULT ? kBtnHighlight : kBtnFace);
        if (m_hot == CELL_DEFAULT)
            DrawEdge(p, r, true);
        else if (m_chosen == CELL_DEFAULT)
            DrawEdge(p, r, false);
        const QRect inner = r.adjusted(m, m, -m, -m);
        p.setPen(kBtnShadow);
        p.drawRect(inner.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawText(inner, Qt::AlignCenter, m_defaultText);
    }
    if (!m_customBox.isNull()) {
        const QRect r = m_customBox;
        const int lineY = r.top() - m;
        p.fillRect(QRect(m, lineY - 1, width() - 2 * m, 1), kBtnShadow);
        p.fillRect(QRect(m, lineY, width() - 2 * m, 1), kBtnHighlight);
        p.fillRect(r, m_chosen == CELL_CUSTOM && m_hot != CELL_CUSTOM ? kBtnHighlight : kBtnFace);
        if (m_hot == CELL_CUSTOM)
            DrawEdge(p, r, true);
        else if (m_chosen == CELL_CUSTOM)
            DrawEdge(p, r, false);
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter, m_customText);
    }
    DrawEdge(p, rect(), true);
}

void CColorPopup::mouseMoveEvent(QMouseEvent* event)
{
    ChangeHot(CellAt(event->position().toPoint()));
}

void CColorPopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint())) {
        ChangeHot(CellAt(event->position().toPoint()));
        End(CPN_SELENDOK);
    } else {
        End(CPN_SELENDCANCEL);
    }
}

void CColorPopup::MoveHot(int key)
{
    const bool hasDefault = !m_defaultText.isEmpty();
    const bool hasCustom = !m_customText.isEmpty();
    const int last = COLOR_TABLE_SIZE - 1;
    const int cols = COLOR_TABLE_COLUMNS;
    const int hot = m_hot;
    int next = hot;
    // The choices reached by leaving the grid at its bottom/end or at its top/start.
    const int afterGrid = hasCustom ? CELL_CUSTOM : hasDefault ? CELL_DEFAULT : 0;
    const int beforeGrid = hasDefault ? CELL_DEFAULT : hasCustom ? CELL_CUSTOM : last;
    // Off the grid, down and right go the same way, and so do up and left.
    const bool offGrid = hot == CELL_DEFAULT || hot == CELL_CUSTOM || hot == CELL_NONE;
    const int forwardOff = hot == CELL_DEFAULT || !hasDefault ? 0 : CELL_DEFAULT;
    const int backwardOff = hot == CELL_DEFAULT ? (hasCustom ? CELL_CUSTOM : last)
                            : hot == CELL_CUSTOM ? last
                                                 : beforeGrid;
    switch (key) {
    case Qt::Key_Down:
        next = offGrid ? forwardOff : hot + cols <= last ? hot + cols : afterGrid;
        break;
    case Qt::Key_Up:
        next = offGrid ? backwardOff : hot < cols ? beforeGrid : hot - cols;
        break;
    case Qt::Key_Right:
        next = offGrid ? forwardOff : hot < last ? hot + 1 : afterGrid;
        break;
    case Qt::Key_Left:
        next = offGrid ? backwardOff : hot == 0 ? beforeGrid : hot - 1;
        break;
    default:
        return;
    }
    ChangeHot(next);
}

void CColorPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        End(CPN_SELENDOK);
        return;
    case Qt::Key_Escape:
        m_colour = m_initial;
        End(CPN_SELENDCANCEL);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        MoveHot(event->key());
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CColorPopup::closeEvent(QCloseEvent* event)
{
    // Closed from outside (a click elsewhere, another window taking over): the choice is cancelled. While the
    // colour dialog runs the popup stays.
    if (m_dialogOpen) {
        event->ignore();
        return;
    }
    if (!m_ended)
        End(CPN_SELENDCANCEL);
    event->accept();
}

bool CColorPopup::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = ToolTipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    if (event->type() == QEvent::WindowDeactivate && !m_ended && !m_dialogOpen) {
        End(CPN_SELENDCANCEL);
        return true;
    }
    return QWidget::event(event);
}

void CColorPopup::End(UINT message)
{
    if (m_ended)
        return;
    m_ended = true;
    releaseMouse();
    if (message == CPN_SELENDCANCEL) {
        m_colour = m_initial;
    } else if (m_hot == CELL_CUSTOM) {
        m_dialogOpen = true;
        const std::optional<COLORREF> chosen = ChooseColour(m_initial);
        m_dialogOpen = false;
        if (chosen) {
            m_colour = *chosen;
        } else {
            message = CPN_SELENDCANCEL;
            m_colour = m_initial;
        }
    }
    CColorButton* button = m_button;
    if (button && button->m_popup == this)
        button->m_popup = nullptr;
    m_button = nullptr;
    if (button)
        button->OnPopupMessage(message, m_colour);
    hide();
    deleteLater();
}

// ---------------------------------------------------------------------------------------------------------------
// CColorButton

CColorButton::CColorButton(QWidget* parent)
    : QPushButton(parent),
      m_defaultText(QString::fromStdString(LoadFiguronString(IDS_COLOR_AUTOMATIC))),
      m_customText(QString::fromStdString(LoadFiguronString(IDS_COLOR_MORE)))
{
    connect(this, &QPushButton::clicked, this, [this] { OpenPopup(); });
}

CColorButton::~CColorButton()
{
    if (m_popup) {
        m_popup->m_button = nullptr;
        m_popup->m_ended = true;
        delete m_popup;
    }
}

void CColorButton::SetColor(COLORREF colour)
{
    m_colour = colour;
    repaint();
}

void CColorButton::SetDefaultColor(COLORREF colour)
{
    m_defaultColour = colour;
    repaint();
}

void CColorButton::SetDefaultText(const QString& text) { m_defaultText = text; }
void CColorButton::SetCustomText(const QString& text) { m_customText = text; }

void CColorButton::Exchange(bool save, COLORREF& value)
{
    if (save)
        value = m_colour;
    else
        SetColor(value);
}

COLORREF CColorButton::SwatchColour() const
{
    return m_colour == CLR_AUTOMATIC ? m_defaultColour : m_colour;
}

void CColorButton::Notify(UINT message, COLORREF colour)
{
    if (notify)
        notify(message, colour, m_controlId);
}

void CColorButton::OpenPopup()
{
    if (m_popup)
        return;
    m_popupActive = true;
    m_colourBeforePopup = m_colour;
    const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
    m_popup = new CColorPopup(mapToGlobal(QPoint(0, height())), anchor, m_colour, this, m_defaultText, m_customText);
    repaint();
    Notify(CPN_DROPDOWN, m_colour);
}

void CColorButton::OnPopupMessage(UINT message, COLORREF colour)
{
    switch (message) {
    case CPN_SELCHANGE:
        if (m_track) {
            m_colour = colour;
            repaint();
        }
        Notify(CPN_SELCHANGE, colour);
        break;
    case CPN_SELENDOK:
        m_popupActive = false;
        m_colour = colour;
        repaint();
        Notify(CPN_CLOSEUP, colour);
        Notify(CPN_SELENDOK, colour);
        if (m_changeAfterAccept && colour != m_colourBeforePopup)
            Notify(CPN_SELCHANGE, colour);
        break;
    case CPN_SELENDCANCEL:
        m_popupActive = false;
        m_colour = colour;
        repaint();
        Notify(CPN_CLOSEUP, colour);
        Notify(CPN_SELENDCANCEL, colour);
        break;
    default:
        break;
    }
}

void CColorButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, kBtnFace);
    const bool pushed = m_popupActive || isDown();
    const bool enabled = isEnabled();
    DrawEdge(p, r, !pushed);
    const int shift = pushed ? 1 : 0;

    // The drop-down arrow on the right, with an etched line to its left.
    constexpr int kArrowWidth = 7;
    constexpr int kArrowArea = 12;
    const int arrowLeft = r.right() - kEdge - kArrowArea + (kArrowArea - kArrowWidth) / 2 + shift;
    const int arrowTop = r.center().y() - 2 + shift;
    const QColor arrowColour = enabled ? QColor(Qt::black) : kGrayText;
    for (int i = 0; i < (kArrowWidth + 1) / 2; ++i)
        p.fillRect(QRect(arrowLeft + i, arrowTop + i, kArrowWidth - 2 * i, 1), arrowColour);
    const int lineX = r.right() - kEdge - kArrowArea - 1;
    p.fillRect(QRect(lineX, r.top() + 4, 1, r.height() - 8), kBtnShadow);
    p.fillRect(QRect(lineX + 1, r.top() + 4, 1, r.height() - 8), kBtnHighlight);

    if (enabled) {
        const QRect swatch(QPoint(r.left() + kEdge + 2 + shift, r.top() + kEdge + 2 + shift),
                           QPoint(lineX - 3 + shift, r.bottom() - kEdge - 2 + shift));
        const COLORREF c = SwatchColour();
        p.fillRect(swatch, ToQColor(c));
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
        if (!text().isEmpty()) {
            p.setPen(QColor(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c)));
            p.drawText(swatch, Qt::AlignCenter, text());
        }
    }
    if (hasFocus())
        DrawFocus(p, r.adjusted(kEdge + 1, kEdge + 1, -(kEdge + 1), -(kEdge + 1)));
}
