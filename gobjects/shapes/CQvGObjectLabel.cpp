#include "gobjects/shapes/CQvGObjectLabel.h"

#include "gobjects/CQvGObjectContainer.h"

#include "calibkeeper/CCalibKeeper.h"
#include "gdi/CDC.h"
#include "gdi/CMeasureDC.h"
#include "gdi/GdiDefs.h"

#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// What the container asks labels to show; a label without a container shows its value with the unit mark. A
// unitless label shows no mark whatever the container asks.
struct LabelDisplay
{
    int name = 0;
    int data = 1;
    int mark = 1;
    int unit = UNIT_PIXEL;
};

LabelDisplay DisplayOf(const CQvGObjectContainer* container, int unitless)
{
    LabelDisplay display;
    display.mark = !unitless;
    if (!container)
        return display;
    display.name = container->GetDisplayName();
    display.data = container->GetDisplayData();
    display.mark = container->GetDisplayMark() && !unitless;
    if (const CCalibKeeper* calib = container->GetCalibKeeper())
        display.unit = calib->GetUnit();
    return display;
}

// The property's font without strike-out; scaled by the zoom ratio for painting, unscaled for sizing the box.
LOGFONTA LabelFont(const CQvGObjectProperty& property, const float* ratio)
{
    LOGFONTA font = property.GetFont();
    font.lfHeight = CQvGObject::ScaleFontHeight(font.lfHeight, ratio);
    font.lfStrikeOut = 0;
    return font;
}

// The box is stored back after every sizing, so its corners must round to themselves: trunc(v + 0.5) would move
// a label with a negative corner (partly left of or above the image) one pixel on every paint.
int RoundCorner(double v)
{
    return static_cast<int>(std::floor(v + 0.5));
}

bool SameFont(const LOGFONTA& a, const LOGFONTA& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The width of the symbol after a value (1 the angle sign, 2 the unit) in the font selected on dc, which is
// logFont. The labels of an overlay share their font and unit, and a read sizes every one of them: the last width
// is kept.
int SymbolWidth(CDC& dc, const LOGFONTA& logFont, int symbol, int unit, int squared)
{
    struct Measured
    {
        bool valid = false;
        LOGFONTA font{};
        int symbol = 0;
        int unit = 0;
        int squared = 0;
        int width = 0;
    };
    thread_local Measured last;
    if (last.valid && last.symbol == symbol && last.unit == unit && last.squared == squared &&
        SameFont(last.font, logFont))
        return last.width;
    const int width = symbol == 1 ? CCalibKeeper::DrawSymbolAngle(&dc, CPoint())
                                  : CCalibKeeper::DrawSymbol(&dc, CPoint(), unit, squared, 1, 1);
    last = Measured{true, logFont, symbol, unit, squared, width};
    return width;
}

// Writes a text into the box its measure gave it: a single line goes out directly (the box's top-left is where
// DrawText puts it, left-aligned or centred in its own width), several lines through DrawText.
void WriteText(CDC* dc, const std::string& text, CRect& box, UINT format)
{
    if (text.find_first_of("\r\n") == std::string::npos)
        dc->TextOut(box.left, box.top, text);
    else
        dc->DrawText(text, box, format);
}

}  // namespace

CSize CQvGObjectLabel::PaintedTextSize(CDC* dc, const LOGFONTA& logFont, const std::string& text,
                                       MeasureCache& cache)
{
    if (!cache.valid || !SameFont(cache.font, logFont) || cache.text != text) {
        CRect box;
        dc->DrawText(text, box, DT_CALCRECT);
        cache.valid = true;
        cache.font = logFont;
        cache.text = text;
        cache.size = box.Size();
    }
    return cache.size;
}

CQvGObjectLabel::PaintMeasures& CQvGObjectLabel::PaintMeasuresOf()
{
    if (!m_paintMeasures)
        m_paintMeasures = std::make_unique<PaintMeasures>();
    return *m_paintMeasures;
}

CQvGObjectLabel::CQvGObjectLabel()
{
    m_shape = SHAPE_LABEL;
    m_kind = kLabelKind;
}

CQvGObjectLabel& CQvGObjectLabel::operator=(const CQvGObjectLabel& other)
{
    CQvGObjectRect::operator=(other);
    m_areaFlag = other.m_areaFlag;
    m_angleFlag = other.m_angleFlag;
    m_curvatureFlag = other.m_curvatureFlag;
    m_unitlessFlag = other.m_unitlessFlag;
    return *this;
}

void CQvGObjectLabel::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

int CQvGObjectLabel::AddPoint(CPoint point)
{
    return AddPointUpTo(point, 2);
}

void CQvGObjectLabel::Finish()
{
    m_state = GS_FINISHED;
    m_pointCount = 2;
    if (m_points.size() < 2)
        m_points.resize(2, _RPOINT{0.0, 0.0});
    GetMBR();
}

void CQvGObjectLabel::MoveTo(CSize delta)
{
    for (int i = 0; i < 2 && i < static_cast<int>(m_points.size()); ++i) {
        m_points[i].x += delta.cx;
        m_points[i].y += delta.cy;
    }
}

CRect CQvGObjectLabel::GetMBR()
{
    if (m_points.size() < 2)
        return CRect();
    CRect box(RoundCorner(m_points[0].x), RoundCorner(m_points[0].y), RoundCorner(m_points[1].x),
              RoundCorner(m_points[1].y));
    const std::string& name = m_property.GetName();
    const std::string& comment = m_property.GetComment();
    if (name.empty() && comment.empty())
        return box;

    const LabelDisplay display = DisplayOf(m_container, m_unitlessFlag);
    const bool nameShown = display.name && !name.empty();
    const bool valueShown = display.data && !comment.empty();
    // Nothing to show has no size; measuring it would inflate an empty box again on every call.
    if (!nameShown && !valueShown)
        return box;
    // Which symbol follows the value: 0 none, 1 the angle sign, 2 the unit (+ squared).
    const int symbol = valueShown && display.mark ? (m_angleFlag ? 1 : 2) : 0;
    const LOGFONTA logFont = LabelFont(m_property, nullptr);
    static const std::string kNothing;
    const std::string& shownName = nameShown ? name : kNothing;
    const std::string& shownValue = valueShown ? comment : kNothing;
    MeasureCache& cache = m_boxSize;
    if (!cache.valid || !SameFont(cache.font, logFont) || cache.text != shownName || cache.value != shownValue ||
        cache.symbol != symbol || cache.unit != display.unit || cache.areaFlag != m_areaFlag) {
        // Labels are sized as they are read, one after another: the shown text is measured where it lies and the
        // cache's strings are assigned in place, so that only a name over a value needs a string of its own.
        std::string joined;
        std::string_view text = nameShown ? std::string_view(name) : std::string_view(comment);
        if (nameShown && valueShown) {
            joined.reserve(name.size() + 1 + comment.size());
            joined.append(name).append(1, '\n').append(comment);
            text = joined;
        }
        CMeasureDC& dc = CMeasureDC::ThisThread();
        CFont font;
        font.CreateFontIndirect(&logFont);
        CFont* previous = dc.SelectObject(&font);
        const int symbolWidth = symbol == 0 ? 0 : SymbolWidth(dc, logFont, symbol, display.unit, m_areaFlag);
        CRect textBox(0, 0, 10, 10);
        dc.DrawText(text, textBox, DT_CALCRECT | DT_NOCLIP);
        dc.SelectObject(previous);
        cache.valid = true;
        cache.font = logFont;
        cache.text = shownName;
        cache.value = shownValue;
        cache.symbol = symbol;
        cache.unit = display.unit;
        cache.areaFlag = m_areaFlag;
        cache.size = CSize(textBox.Width() + symbolWidth + 2, textBox.Height());
    }
    const int width = m_boxSize.size.cx;
    const int height = m_boxSize.size.cy;

    if (box.Width() == 0 || box.Height() == 0) {
        box.InflateRect(width / 2 + 2, height / 2);
    } else {
        box.right = box.left + width;
        box.bottom = box.top + height;
    }
    m_points[0] = _RPOINT{static_cast<double>(box.left), static_cast<double>(box.top)};
    m_points[1] = _RPOINT{static_cast<double>(box.right), static_cast<double>(box.bottom)};
    return box;
}

CRect CQvGObjectLabel::GetHitBounds()
{
    CRect box = GetMBR();
    box.NormalizeRect();
    box.InflateRect(GetZoomTolerance());
    return box;
}

int CQvGObjectLabel::GetHitTestRgn(CRgn& rgn)
{
    const CRect box = GetHitBounds();
    return rgn.CreateRectRgnIndirect(&box) ? 1 : 0;
}

void CQvGObjectLabel::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    if (flag == kPaintRubberBand)
        return;
    const LabelDisplay display = DisplayOf(m_container, m_unitlessFlag);
    CFont font;
    const LOGFONTA logFont = LabelFont(m_property, ratio);
    font.CreateFontIndirect(&logFont);
    CFont* oldFont = dc->SelectObject(&font);
    const int oldBkMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldTextColour = dc->SetTextColor(m_property.GetTextColor());

    GetMBR();
    const CPoint topLeft = MapToWindow(m_points[0], *origin, *ratio);
    const CPoint bottomRight = MapToWindow(m_points[1], *origin, *ratio);
    const CRect box(topLeft.x, topLeft.y, bottomRight.x + 2, bottomRight.y + 2);
    if (m_property.GetFillPattern() != 1)
        dc->FillSolidRect(&box, m_property.GetFillColor());

    const std::string& name = m_property.GetName();
    const std::string& comment = m_property.GetComment();
    CRect nameBox = box;
    const bool nameShown = display.name && !name.empty();
    if (nameShown) {
        const CSize size = PaintedTextSize(dc, logFont, name, PaintMeasuresOf().name);
        nameBox.right = nameBox.left + size.cx;
        nameBox.bottom = nameBox.top + size.cy;
        WriteText(dc, name, nameBox, DT_LEFT);
    }
    if (display.data && !comment.empty()) {
        CRect valueBox = box;
        if (nameShown)
            valueBox.top = nameBox.bottom + 2;
        std::string withPercent;
        if (display.mark && m_curvatureFlag)
            withPercent = comment + "%";
        const std::string& value = withPercent.empty() ? comment : withPercent;
        const CSize size = PaintedTextSize(dc, logFont, value, PaintMeasuresOf().value);
        valueBox.right = valueBox.left + size.cx;
        valueBox.bottom = valueBox.top + size.cy;
        WriteText(dc, value, valueBox, DT_CENTER);
        if (display.mark) {
            const CPoint at(valueBox.right + 2, valueBox.top);
            if (m_angleFlag)
                CCalibKeeper::DrawSymbolAngle(dc, at);
            else if (!m_curvatureFlag)
                CCalibKeeper::DrawSymbol(dc, at, display.unit, m_areaFlag, 0, 1);
        }
    }

    dc->SetTextColor(oldTextColour);
    dc->SetBkMode(oldBkMode);
    dc->SelectObject(oldFont);
}

void CQvGObjectLabel::DrawSelection(CDC* dc, const CPoint* origin, const float* ratio)
{
    if (m_points.size() < 2)
        return;
    CPen pen;
    if (!pen.CreatePen(m_property.GetLineType(), m_property.GetLineWeight(), m_property.GetLineColor()))
        pen.CreatePen(PS_SOLID, 1, m_property.GetLineColor());
    CPen* oldPen = dc->SelectObject(&pen);
    const CPoint topLeft = MapToWindow(m_points[0], *origin, *ratio);
    const CPoint bottomRight = MapToWindow(m_points[1], *origin, *ratio);
    dc->Rectangle(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    dc->SelectObject(oldPen);
}

void CQvGObjectDUMMYLabel::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}
