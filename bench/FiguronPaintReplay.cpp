#include "FiguronPaintReplay.h"

#include "gdi/CBrush.h"
#include "gdi/CFont.h"
#include "gdi/CPen.h"

#include <cstring>

bool ReplayState::operator==(const ReplayState& other) const
{
    return std::memcmp(&pen, &other.pen, sizeof pen) == 0 && std::memcmp(&brush, &other.brush, sizeof brush) == 0 &&
           std::memcmp(&font, &other.font, sizeof font) == 0 && textColour == other.textColour &&
           bkColour == other.bkColour && bkMode == other.bkMode && rop == other.rop && fillMode == other.fillMode;
}

ReplayPrimitive& PrimitiveRecorder::Record(ReplayOp op, std::initializer_list<int> values)
{
    ReplayState state;
    if (const CPen* pen = GetCurrentPen())
        pen->GetLogPen(&state.pen);
    if (const CBrush* brush = GetCurrentBrush())
        brush->GetLogBrush(&state.brush);
    if (const CFont* font = GetCurrentFont())
        font->GetLogFont(&state.font);
    state.textColour = GetTextColor();
    state.bkColour = GetBkColor();
    state.bkMode = GetBkMode();
    state.rop = GetROP2();
    state.fillMode = GetPolyFillMode();
    if (m_states.empty() || !(m_states.back() == state))
        m_states.push_back(state);

    ReplayPrimitive& primitive = m_primitives.emplace_back();
    primitive.op = op;
    primitive.state = m_states.size() - 1;
    int i = 0;
    for (int value : values)
        primitive.v[i++] = value;
    return primitive;
}

CPoint PrimitiveRecorder::MoveTo(int x, int y)
{
    Record(ReplayOp::MoveTo, {x, y});
    return CDC::MoveTo(x, y);
}

BOOL PrimitiveRecorder::LineTo(int x, int y)
{
    Record(ReplayOp::LineTo, {x, y});
    return CDC::LineTo(x, y);
}

BOOL PrimitiveRecorder::Polyline(const POINT* points, int count)
{
    Record(ReplayOp::Polyline).points.assign(points, points + count);
    return CDC::Polyline(points, count);
}

BOOL PrimitiveRecorder::Arc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY)
{
    Record(ReplayOp::Arc, {left, top, right, bottom, startX, startY, endX, endY});
    return CDC::Arc(left, top, right, bottom, startX, startY, endX, endY);
}

COLORREF PrimitiveRecorder::SetPixel(int x, int y, COLORREF colour)
{
    Record(ReplayOp::SetPixel, {x, y}).colour = colour;
    return CDC::SetPixel(x, y, colour);
}

BOOL PrimitiveRecorder::Polygon(const POINT* points, int count)
{
    Record(ReplayOp::Polygon).points.assign(points, points + count);
    return CDC::Polygon(points, count);
}

BOOL PrimitiveRecorder::Rectangle(int left, int top, int right, int bottom)
{
    Record(ReplayOp::Rectangle, {left, top, right, bottom});
    return CDC::Rectangle(left, top, right, bottom);
}

BOOL PrimitiveRecorder::Ellipse(int left, int top, int right, int bottom)
{
    Record(ReplayOp::Ellipse, {left, top, right, bottom});
    return CDC::Ellipse(left, top, right, bottom);
}

void PrimitiveRecorder::FillSolidRect(const RECT* rect, COLORREF colour)
{
    Record(ReplayOp::FillSolidRect, {rect->left, rect->top, rect->right, rect->bottom}).colour = colour;
    CDC::FillSolidRect(rect, colour);
}

void PrimitiveRecorder::FillRect(const RECT* rect, CBrush* brush)
{
    ReplayPrimitive& primitive = Record(ReplayOp::FillRect, {rect->left, rect->top, rect->right, rect->bottom});
    if (brush)
        brush->GetLogBrush(&primitive.fill);
    CDC::FillRect(rect, brush);
}

void PrimitiveRecorder::InvertRect(const RECT* rect)
{
    Record(ReplayOp::InvertRect, {rect->left, rect->top, rect->right, rect->bottom});
    CDC::InvertRect(rect);
}

BOOL PrimitiveRecorder::PatBlt(int x, int y, int width, int height, uint32_t rop)
{
    Record(ReplayOp::PatBlt, {x, y, width, height}).code = rop;
    return CDC::PatBlt(x, y, width, height, rop);
}

void PrimitiveRecorder::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight)
{
    ReplayPrimitive& primitive = Record(ReplayOp::Draw3dRect, {rect->left, rect->top, rect->right, rect->bottom});
    primitive.colour = topLeft;
    primitive.colour2 = bottomRight;
    CDC::Draw3dRect(rect, topLeft, bottomRight);
}

void PrimitiveRecorder::DrawFocusRect(const RECT* rect)
{
    Record(ReplayOp::DrawFocusRect, {rect->left, rect->top, rect->right, rect->bottom});
    CDC::DrawFocusRect(rect);
}

int PrimitiveRecorder::DrawText(std::string_view text, RECT* rect, UINT format)
{
    ReplayPrimitive& primitive = Record(ReplayOp::DrawText, {rect->left, rect->top, rect->right, rect->bottom});
    primitive.text = std::string(text);
    primitive.code = format;
    return CDC::DrawText(text, rect, format);
}

BOOL PrimitiveRecorder::TextOut(int x, int y, std::string_view text)
{
    Record(ReplayOp::TextOut, {x, y}).text = std::string(text);
    return CDC::TextOut(x, y, text);
}

PrimitiveReplay::PrimitiveReplay(const PrimitiveRecorder& recording)
    : m_states(recording.States()), m_primitives(recording.Primitives())
{
    for (const ReplayState& state : m_states) {
        m_pens.push_back(std::make_unique<CPen>());
        m_pens.back()->CreatePenIndirect(&state.pen);
        m_brushes.push_back(std::make_unique<CBrush>());
        m_brushes.back()->CreateBrushIndirect(&state.brush);
        m_fonts.push_back(std::make_unique<CFont>());
        m_fonts.back()->CreateFontIndirect(&state.font);
    }
}

PrimitiveReplay::~PrimitiveReplay() = default;

void PrimitiveReplay::Run(CDC& dc) const
{
    CPen* const oldPen = dc.GetCurrentPen();
    CBrush* const oldBrush = dc.GetCurrentBrush();
    CFont* const oldFont = dc.GetCurrentFont();
    size_t current = m_states.size();
    for (const ReplayPrimitive& p : m_primitives) {
        if (p.state != current) {
            const ReplayState& s = m_states[p.state];
            dc.SelectObject(m_pens[p.state].get());
            dc.SelectObject(m_brushes[p.state].get());
            dc.SelectObject(m_fonts[p.state].get());
            dc.SetTextColor(s.textColour);
            dc.SetBkColor(s.bkColour);
            dc.SetBkMode(s.bkMode);
            dc.SetROP2(s.rop);
            dc.SetPolyFillMode(s.fillMode);
            current = p.state;
        }
        RECT box{p.v[0], p.v[1], p.v[2], p.v[3]};
        switch (p.op) {
        case ReplayOp::MoveTo: dc.MoveTo(p.v[0], p.v[1]); break;
        case ReplayOp::LineTo: dc.LineTo(p.v[0], p.v[1]); break;
        case ReplayOp::Polyline: dc.Polyline(p.points.data(), static_cast<int>(p.points.size())); break;
        case ReplayOp::Arc: dc.Arc(p.v[0], p.v[1], p.v[2], p.v[3], p.v[4], p.v[5], p.v[6], p.v[7]); break;
        case ReplayOp::SetPixel: dc.SetPixel(p.v[0], p.v[1], p.colour); break;
        case ReplayOp::Polygon: dc.Polygon(p.points.data(), static_cast<int>(p.points.size())); break;
        case ReplayOp::Rectangle: dc.Rectangle(p.v[0], p.v[1], p.v[2], p.v[3]); break;
        case ReplayOp::Ellipse: dc.Ellipse(p.v[0], p.v[1], p.v[2], p.v[3]); break;
        case ReplayOp::FillSolidRect: dc.FillSolidRect(&box, p.colour); break;
        case ReplayOp::FillRect: {
            CBrush brush;
            brush.CreateBrushIndirect(&p.fill);
            dc.FillRect(&box, &brush);
            break;
        }
        case ReplayOp::InvertRect: dc.InvertRect(&box); break;
        case ReplayOp::PatBlt: dc.PatBlt(p.v[0], p.v[1], p.v[2], p.v[3], p.code); break;
        case ReplayOp::Draw3dRect: dc.Draw3dRect(&box, p.colour, p.colour2); break;
        case ReplayOp::DrawFocusRect: dc.DrawFocusRect(&box); break;
        case ReplayOp::DrawText: dc.DrawText(p.text, &box, p.code); break;
        case ReplayOp::TextOut: dc.TextOut(p.v[0], p.v[1], p.text); break;
        }
    }
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldFont);
}
