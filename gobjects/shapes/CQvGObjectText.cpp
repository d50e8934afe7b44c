#include "gobjects/shapes/CQvGObjectText.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectCanvas.h"

#include "gdi/CBrush.h"
#include "gdi/CDC.h"
#include "gdi/CFont.h"
#include "gdi/CMeasureDC.h"
#include "gdi/CPen.h"
#include "gdi/CRgn.h"

#include <QTimer>
#include <QWidget>

#include <string_view>
#include <vector>

namespace {

// The frame that follows the mouse while a text box is dragged out.
constexpr COLORREF kRubberColour = 0xC8C8C8;

// Quarter turns (1 to 3, counter-clockwise) of a font turned by a multiple of 90 degrees; 0 for an upright font
// or one turned by another angle, which is laid out as an upright one.
int QuarterTurns(const LOGFONTA& font)
{
    const int tenths = ((font.lfEscapement % 3600) + 3600) % 3600;
    return tenths % 900 == 0 ? tenths / 900 : 0;
}

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

}  // namespace

CQvGObjectText::CQvGObjectText()
{
    m_shape = SHAPE_TEXT;
}

void CQvGObjectText::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectText::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    CRect box(MapToWindow(m_points[0], *origin, *ratio), MapToWindow(m_points[1], *origin, *ratio));
    box.NormalizeRect();
    if (flag == 1) {
        CPen dotted;
        dotted.CreatePen(PS_DOT, 1, kRubberColour);
        CPen* oldPen = dc->SelectObject(&dotted);
        CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
        dc->Rectangle(box.left, box.top, box.right + 1, box.bottom + 1);
        dc->SelectObject(oldBrush);
        dc->SelectObject(oldPen);
        return;
    }
    dc->Rectangle(box.left, box.top, box.right + 1, box.bottom + 1);
    DrawTextInBox(dc, box);
}

void CQvGObjectText::DrawTextInBox(CDC* dc, const CRect& box)
{
    const std::string& text = m_property.GetComment();
    if (text.empty())
        return;
    const int turns = QuarterTurns(m_property.GetFont());
    if (turns == 0) {
        CRect into = box;
        dc->DrawText(text, into, DT_VCENTER);
        return;
    }
    // A turned font: each line is written from the corner where a turned box starts, the lines side by side as
    // the turn lays them, so that the text fills the box it was measured for rather than leaving it.
    CRect measure(0, 0, 0, 0);
    dc->DrawText("X", measure, DT_CALCRECT | DT_NOCLIP);
    const int step = measure.Height();
    const std::vector<std::string_view> lines = Lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int offset = step * static_cast<int>(i);
        CPoint start;
        if (turns == 1)
            start = CPoint(box.left + offset, box.bottom);  // reads upward
        else if (turns == 2)
            start = CPoint(box.right, box.bottom - offset);  // upside down
        else
            start = CPoint(box.right - offset, box.top);  // reads downward
        CRect at(start, start);
        dc->DrawText(lines[i], at, DT_SINGLELINE | DT_NOCLIP);
    }
}

int CQvGObjectText::GetHitTestRgn(CRgn& rgn)
{
    CRect box = GetMBR();
    box.InflateRect(GetZoomTolerance());
    rgn.CreateRectRgnIndirect(&box);
    return 1;
}

void CQvGObjectText::Finish()
{
    CQvGObjectRect::Finish();
    // The sheet runs the event loop: this object may be gone when it returns, and then nothing is left to do.
    const std::weak_ptr<const int> alive = GetLifeToken();
    if (SpecificProperty(nullptr) || alive.expired())
        return;
    // A new text or scale marker whose sheet was cancelled is deleted: posted alone, the Delete key would find nothing selected
    // and leave it behind.
    if (!m_container)
        return;
    m_container->SelectionMode(1);
    m_container->SelectObjects(this, 0);
    m_state = GS_SELECTION;
    PostSelfDelete();
}

void CQvGObjectText::PostSelfDelete()
{
    IGObjectCanvas* canvas = m_container ? m_container->GetCanvasWnd() : nullptr;
    QWidget* window = canvas ? canvas->GetWindow() : nullptr;
    if (!window)
        return;
    // The window owns the posted call: when it closes first, the call is dropped with it. Only this object is
    // deleted, whatever the selection holds by then, and only when it still exists and its container owns it.
    std::weak_ptr<const int> alive = GetLifeToken();
    QTimer::singleShot(0, window, [alive, self = this]() {
        if (alive.expired() || !self->m_container)
            return;
        self->m_container->DeleteObject(self);
    });
}

int CQvGObjectText::SpecificProperty(QWidget* parent)
{
    if (!m_container)
        return 0;
    if (IGObjectCanvas* canvas = m_container->GetCanvasWnd()) {
        canvas->ReleaseMouse();
        canvas->ReleaseCursorClip();
    }
    if (!CQvGObject::SpecificProperty(parent) || m_property.GetComment().empty())
        return 0;

    const CRect text = RecalTextBound();
    CRect box = GetMBR();
    if (box.IsRectEmpty()) {
        box.InflateRect(text.Width() / 2, text.Height() / 2);
    } else {
        box.right = box.left + text.Width();
        box.bottom = box.top + text.Height();
    }
    m_points[0] = _RPOINT{static_cast<double>(box.left), static_cast<double>(box.top)};
    m_points[1] = _RPOINT{static_cast<double>(box.right), static_cast<double>(box.bottom)};
    m_pointCount = 2;
    return 1;
}

CRect CQvGObjectText::RecalTextBound()
{
    LOGFONTA logFont = m_property.GetFont();
    logFont.lfStrikeOut = 0;
    CFont font;
    font.CreateFontIndirect(&logFont);
    CMeasureDC& dc = CMeasureDC::ThisThread();
    CFont* oldFont = dc.SelectObject(&font);
    CRect bound(0, 0, 0, 0);
    dc.DrawText(m_property.GetComment(), bound, DT_CALCRECT | DT_NOCLIP);
    dc.SelectObject(oldFont);
    // A font turned a quarter runs its lines up or down: the box it needs is the upright one turned.
    if (QuarterTurns(logFont) % 2 == 1)
        return CRect(0, 0, bound.Height(), bound.Width());
    return bound;
}
