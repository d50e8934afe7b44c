#include "gdi/CRecordingDC.h"

#include <cstdio>
#include <initializer_list>

namespace {

std::string Call(const char* name, std::initializer_list<long long> arguments, const std::string& tail = {})
{
    std::string text(name);
    text += '(';
    bool first = true;
    for (long long argument : arguments) {
        if (!first)
            text += ',';
        text += std::to_string(argument);
        first = false;
    }
    if (!tail.empty()) {
        if (!first)
            text += ',';
        text += tail;
    }
    text += ')';
    return text;
}

std::string Hex(uint32_t value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, value);
    return buffer;
}

std::string Colour(COLORREF colour) { return Hex(colour, 6); }

std::string Points(const POINT* points, int count)
{
    std::string text;
    for (int i = 0; points != nullptr && i < count; ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(points[i].x);
        text += ',';
        text += std::to_string(points[i].y);
    }
    return text;
}

std::string Quoted(std::string_view text)
{
    std::string quoted;
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string Box(const RECT* rect)
{
    return std::to_string(rect->left) + ',' + std::to_string(rect->top) + ',' + std::to_string(rect->right) + ',' +
           std::to_string(rect->bottom);
}

}  // namespace

CRecordingDC::CRecordingDC() : CDC(surface) {}

CRecordingDC::CRecordingDC(QImage& target) : CDC(target) {}

void CRecordingDC::Record(std::string call) { m_calls.push_back(std::move(call)); }

CPoint CRecordingDC::MoveTo(int x, int y)
{
    Record(Call("MoveTo", {x, y}));
    return CDC::MoveTo(x, y);
}

BOOL CRecordingDC::LineTo(int x, int y)
{
    Record(Call("LineTo", {x, y}));
    return CDC::LineTo(x, y);
}

BOOL CRecordingDC::Polyline(const POINT* points, int count)
{
    Record(Call("Polyline", {}, Points(points, count)));
    return CDC::Polyline(points, count);
}

BOOL CRecordingDC::Arc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY)
{
    Record(Call("Arc", {left, top, right, bottom, startX, startY, endX, endY}));
    return CDC::Arc(left, top, right, bottom, startX, startY, endX, endY);
}

COLORREF CRecordingDC::SetPixel(int x, int y, COLORREF colour)
{
    Record(Call("SetPixel", {x, y}, Colour(colour)));
    return CDC::SetPixel(x, y, colour);
}

BOOL CRecordingDC::Polygon(const POINT* points, int count)
{
    Record(Call("Polygon", {}, Points(points, count)));
    return CDC::Polygon(points, count);
}

BOOL CRecordingDC::Rectangle(int left, int top, int right, int bottom)
{
    Record(Call("Rectangle", {left, top, right, bottom}));
    return CDC::Rectangle(left, top, right, bottom);
}

BOOL CRecordingDC::Ellipse(int left, int top, int right, int bottom)
{
    Record(Call("Ellipse", {left, top, right, bottom}));
    return CDC::Ellipse(left, top, right, bottom);
}

void CRecordingDC::FillSolidRect(const RECT* rect, COLORREF colour)
{
    Record(Call("FillSolidRect", {rect->left, rect->top, rect->right, rect->bottom}, Colour(colour)));
    CDC::FillSolidRect(rect, colour);
}

void CRecordingDC::FillRect(const RECT* rect, CBrush* brush)
{
    Record(Call("FillRect", {rect->left, rect->top, rect->right, rect->bottom}));
    CDC::FillRect(rect, brush);
}

void CRecordingDC::InvertRect(const RECT* rect)
{
    Record(Call("InvertRect", {rect->left, rect->top, rect->right, rect->bottom}));
    CDC::InvertRect(rect);
}

BOOL CRecordingDC::PatBlt(int x, int y, int width, int height, uint32_t rop)
{
    Record(Call("PatBlt", {x, y, width, height}, Hex(rop, 8)));
    return CDC::PatBlt(x, y, width, height, rop);
}

void CRecordingDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight)
{
    Record(Call("Draw3dRect", {rect->left, rect->top, rect->right, rect->bottom},
                Colour(topLeft) + ',' + Colour(bottomRight)));
    CDC::Draw3dRect(rect, topLeft, bottomRight);
}

void CRecordingDC::DrawFocusRect(const RECT* rect)
{
    Record(Call("DrawFocusRect", {rect->left, rect->top, rect->right, rect->bottom}));
    CDC::DrawFocusRect(rect);
}

int CRecordingDC::DrawText(std::string_view text, RECT* rect, UINT format)
{
    Record(Call("DrawText", {}, Quoted(text) + ',' + Box(rect) + ',' + Hex(format, 4)));
    return CDC::DrawText(text, rect, format);
}

BOOL CRecordingDC::TextOut(int x, int y, std::string_view text)
{
    Record(Call("TextOut", {x, y}, Quoted(text)));
    return CDC::TextOut(x, y, text);
}
