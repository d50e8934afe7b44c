#include "gobjects/geometry/GeoDrawing.h"

#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoFunctions.h"

#include "gdi/CDC.h"
#include "gdi/CMeasureDC.h"
#include "types/Rounding.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

constexpr double kBarHalfLength = 36.0;
constexpr _RPOINT kTriangleHead[] = {{12, -5}, {12, 5}, {0, 0}};
constexpr _RPOINT kNotchedHead[] = {{12, -5}, {6, 0}, {12, 5}, {0, 0}};

// Places a shape given in a frame at the tip whose +x axis points towards the other end.
template <int N>
void PlaceAtTip(const _RPOINT (&shape)[N], double tipX, double tipY, double direction, POINT (&out)[N])
{
    _RPOINT placed[N];
    for (int i = 0; i < N; ++i)
        placed[i] = {tipX + shape[i].x, tipY + shape[i].y};
    RotatePoints(direction, tipX, tipY, placed, N);
    DPointsToPoints(placed, out, N);
}

// Counts characters as a double-byte code page stores them: one unit for ASCII, two for anything else.
int CodePageLength(std::string_view utf8)
{
    int length = 0;
    for (unsigned char c : utf8) {
        if (c < 0x80)
            length += 1;
        else if ((c & 0xC0) != 0x80)  // lead byte of a multi-byte character
            length += 2;
    }
    return length;
}

}  // namespace

void DrawLineEnd(CDC* dc, ARROW_TYPE type, double tipX, double tipY, double otherX, double otherY)
{
    const double direction = GetLineAngle360(tipX, tipY, otherX, otherY);
    switch (type) {
    case ARROW_BAR: {
        const _RPOINT bar[] = {{0, -kBarHalfLength}, {0, kBarHalfLength}};
        POINT ends[2];
        PlaceAtTip(bar, tipX, tipY, direction, ends);
        dc->MoveTo(ends[0]);
        dc->LineTo(ends[1]);
        break;
    }
    case ARROW_TRIANGLE: {
        POINT head[3];
        PlaceAtTip(kTriangleHead, tipX, tipY, direction, head);
        dc->Polygon(head, 3);
        break;
    }
    case ARROW_NOTCHED: {
        POINT head[4];
        PlaceAtTip(kNotchedHead, tipX, tipY, direction, head);
        dc->Polygon(head, 4);
        break;
    }
    case ARROW_NONE:
        break;
    }
}

void DrawAngleArc(CDC* dc, const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p3, const _RPOINT& p4, int inner,
                  int radius)
{
    _RPOINT vertex;
    if (!GetLinesIntersection(p1, p2, p3, p4, vertex))
        return;
    _RPOINT mid1, mid2;
    GetMidPoint(mid1, p1.x, p1.y, p2.x, p2.y);
    GetMidPoint(mid2, p3.x, p3.y, p4.x, p4.y);

    auto distance = [&](const _RPOINT& p) { return GetDistance(vertex.x, vertex.y, p.x, p.y); };
    const _RPOINT& end1 = distance(p1) >= distance(p2) ? p1 : p2;
    const _RPOINT& end2 = distance(p3) >= distance(p4) ? p3 : p4;
    double turn = GetLineAngle360(vertex.x, vertex.y, end2.x, end2.y) -
                  GetLineAngle360(vertex.x, vertex.y, end1.x, end1.y);
    NormalizeAngle180(turn);
    // GDI arcs run counter-clockwise from the start radial, so the inner arc starts on the line the short turn
    // leaves from; the outer arc is the rest of the circle.
    bool startOnSecond = turn < 0;
    if (!inner)
        startOnSecond = !startOnSecond;
    if (startOnSecond)
        std::swap(mid1, mid2);

    // Nearly parallel lines cross far away with a huge radius: the box is summed in 64 bits and kept within
    // +-2^29, far outside any window, so that neither its edges nor its width overflow an int.
    const int64_t r = radius != -1 ? radius : TruncHalfUp(std::min(distance(mid1), distance(mid2)));
    const int64_t cx = TruncHalfUp(vertex.x);
    const int64_t cy = TruncHalfUp(vertex.y);
    auto edge = [](int64_t v) {
        constexpr int64_t kFarOut = int64_t{1} << 29;
        return static_cast<int>(std::clamp(v, -kFarOut, kFarOut));
    };
    dc->Arc(edge(cx - r), edge(cy - r), edge(cx + r), edge(cy + r), TruncHalfUp(mid1.x), TruncHalfUp(mid1.y),
            TruncHalfUp(mid2.x), TruncHalfUp(mid2.y));
}

void DrawRectangleOutline(CDC* dc, int left, int top, int right, int bottom, COLORREF colour, int width)
{
    CPen pen(PS_SOLID, width, colour);
    CPen* previous = dc->SelectObject(&pen);
    dc->MoveTo(left, top);
    dc->LineTo(right, top);
    dc->LineTo(right, bottom);
    dc->LineTo(left, bottom);
    dc->LineTo(left, top);
    dc->SelectObject(previous);
}

int EstimateTextWidth(CFont* font, std::string_view text)
{
    CMeasureDC& dc = CMeasureDC::ThisThread();
    CFont* previous = dc.SelectObject(font);
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    dc.SelectObject(previous);
    return static_cast<int>(CodePageLength(text) * metrics.tmAveCharWidth * 1.5);
}

int EstimateTextWidth(const LOGFONTA* font, std::string_view text)
{
    CFont created;
    created.CreateFontIndirect(font);
    return EstimateTextWidth(&created, text);
}
