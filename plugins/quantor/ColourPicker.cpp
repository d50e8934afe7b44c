#include "quantor/ColourPicker.h"

#include <QPainter>
#include <QStyleOptionButton>

#include <algorithm>

namespace quantor {

namespace {

const QColor kBtnFace(240, 240, 240);
const QColor kBtnHighlight(255, 255, 255);
const QColor kBtnShadow(160, 160, 160);
const QColor kBtnDarkShadow(105, 105, 105);
constexpr int kEdge = 2;

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

void SunkenEdge(QPainter& p, const QRect& r)
{
    auto frame = [&p](const QRect& f, const QColor& topLeft, const QColor& bottomRight) {
        p.fillRect(QRect(f.left(), f.top(), f.width(), 1), topLeft);
        p.fillRect(QRect(f.left(), f.top(), 1, f.height()), topLeft);
        p.fillRect(QRect(f.left(), f.bottom(), f.width(), 1), bottomRight);
        p.fillRect(QRect(f.right(), f.top(), 1, f.height()), bottomRight);
    };
    frame(r, kBtnShadow, kBtnHighlight);
    frame(r.adjusted(1, 1, -1, -1), kBtnDarkShadow, kBtnFace);
}

}  // namespace

CColourPicker::CColourPicker(QWidget* parent) : CColorButton(parent), m_other(RGB(0, 0, 0))
{
    SetChangeAfterAccept(false);
}

void CColourPicker::SetSelectionMode(SelectionMode mode)
{
    if (mode == m_mode)
        return;
    // The two colours keep their roles: only which one a choice sets changes.
    const COLORREF selected = GetColor();
    m_mode = mode;
    SetColor(m_other);
    m_other = selected;
}

void CColourPicker::SetBkColour(COLORREF colour)
{
    if (m_mode == kBackgroundColour)
        SetColor(colour);
    else {
        m_other = colour;
        repaint();
    }
}

void CColourPicker::SetTextColour(COLORREF colour)
{
    if (m_mode == kTextColour)
        SetColor(colour);
    else {
        m_other = colour;
        repaint();
    }
}

void CColourPicker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, kBtnFace);
    const bool pushed = IsPopupActive() || isDown();
    const bool enabled = isEnabled();

    // The drop arrow as a scroll-down box at the right inside the edge, pressed while the popup is open.
    const int arrowSize = std::max(5 * kEdge, 16);
    const QRect arrow(r.right() - kEdge - arrowSize + 1, r.top() + kEdge, arrowSize, r.height() - 2 * kEdge);
    QStyleOptionButton box;
    box.initFrom(this);
    box.rect = arrow;
    box.state = (enabled ? QStyle::State_Enabled : QStyle::State_None) | (pushed ? QStyle::State_Sunken : QStyle::State_Raised);
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &box, &p, this);
    const int shift = pushed ? 1 : 0;
    const QColor arrowColour = enabled ? QColor(Qt::black) : kBtnShadow;
    const int ax = arrow.center().x() - 3 + shift;
    const int ay = arrow.center().y() - 1 + shift;
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRect(ax + i, ay + i, 7 - 2 * i, 1), arrowColour);

    SunkenEdge(p, r);
    const QRect face(QPoint(r.left() + kEdge, r.top() + kEdge), QPoint(arrow.left() - 1, r.bottom() - kEdge));
    const COLORREF background = GetBkColour();
    const bool automatic = background == CLR_AUTOMATIC;
    p.fillRect(face, !enabled || automatic ? kBtnFace : ToQColor(background));
    if (!text().isEmpty()) {
        if (enabled) {
            const COLORREF textColour = GetTextColour();
            p.setPen(automatic || textColour == CLR_AUTOMATIC ? QColor(Qt::black) : ToQColor(textColour));
            p.drawText(face, Qt::AlignCenter | Qt::TextSingleLine, text());
        } else {
            // Etched: the highlight one pixel down-right under the shadow.
            p.setPen(kBtnHighlight);
            p.drawText(face.translated(1, 1), Qt::AlignCenter | Qt::TextSingleLine, text());
            p.setPen(kBtnShadow);
            p.drawText(face, Qt::AlignCenter | Qt::TextSingleLine, text());
        }
    }
    if (hasFocus()) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(face.adjusted(1, 1, -2, -2));
    }
}

}  // namespace quantor
