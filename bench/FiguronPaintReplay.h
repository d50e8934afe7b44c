// The painting peer of the overlay benchmarks: the drawing primitives one paint of an overlay made, recorded with
// the pen, brush, font, colours and modes each was drawn with, and replayed in a plain loop onto another surface.
// A replay draws the same pixels as the paint it recorded (the benchmarks check that before timing), without the
// object walk, label sizing and attribute selection of the overlay: it is what the pixels alone cost through the
// same primitives. (CdcBench compares those primitives with QPainter and OpenCV.)
#pragma once

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"

#include "types/WinGeometry.h"
#include "types/WinRecords.h"

#include <QImage>

#include <memory>
#include <string>
#include <vector>

class CBrush;
class CFont;
class CPen;

// The state a primitive is drawn with.
struct ReplayState
{
    LOGPEN pen{};
    LOGBRUSH brush{};
    LOGFONTA font{};
    COLORREF textColour = 0;
    COLORREF bkColour = 0;
    int bkMode = 0;
    int rop = 0;
    int fillMode = 0;

    bool operator==(const ReplayState& other) const;
};

enum class ReplayOp
{
    MoveTo,
    LineTo,
    Polyline,
    Arc,
    SetPixel,
    Polygon,
    Rectangle,
    Ellipse,
    FillSolidRect,
    FillRect,
    InvertRect,
    PatBlt,
    Draw3dRect,
    DrawFocusRect,
    DrawText,
    TextOut,
};

struct ReplayPrimitive
{
    ReplayOp op = ReplayOp::MoveTo;
    size_t state = 0;
    int v[8] = {};
    std::vector<POINT> points;
    std::string text;
    COLORREF colour = 0;
    COLORREF colour2 = 0;
    uint32_t code = 0;  // DrawText format, PatBlt raster operation
    LOGBRUSH fill{};    // FillRect's brush
};

// Draws like a CDC on the surface and records every primitive with its state.
class PrimitiveRecorder : public CDC
{
public:
    explicit PrimitiveRecorder(QImage& surface) : CDC(surface) {}

    using CDC::Arc;
    using CDC::Draw3dRect;
    using CDC::DrawText;
    using CDC::Ellipse;
    using CDC::FillSolidRect;
    using CDC::LineTo;
    using CDC::MoveTo;
    using CDC::Rectangle;
    using CDC::SetPixel;

    CPoint MoveTo(int x, int y) override;
    BOOL LineTo(int x, int y) override;
    BOOL Polyline(const POINT* points, int count) override;
    BOOL Arc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY) override;
    COLORREF SetPixel(int x, int y, COLORREF colour) override;
    BOOL Polygon(const POINT* points, int count) override;
    BOOL Rectangle(int left, int top, int right, int bottom) override;
    BOOL Ellipse(int left, int top, int right, int bottom) override;
    void FillSolidRect(const RECT* rect, COLORREF colour) override;
    void FillRect(const RECT* rect, CBrush* brush) override;
    void InvertRect(const RECT* rect) override;
    BOOL PatBlt(int x, int y, int width, int height, uint32_t rop) override;
    void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) override;
    void DrawFocusRect(const RECT* rect) override;
    int DrawText(std::string_view text, RECT* rect, UINT format) override;
    BOOL TextOut(int x, int y, std::string_view text) override;

    const std::vector<ReplayState>& States() const { return m_states; }
    const std::vector<ReplayPrimitive>& Primitives() const { return m_primitives; }

private:
    ReplayPrimitive& Record(ReplayOp op, std::initializer_list<int> values = {});

    std::vector<ReplayState> m_states;
    std::vector<ReplayPrimitive> m_primitives;
};

// The recorded primitives with the pens, brushes and fonts of their states made ahead.
class PrimitiveReplay
{
public:
    explicit PrimitiveReplay(const PrimitiveRecorder& recording);
    ~PrimitiveReplay();
    PrimitiveReplay(const PrimitiveReplay&) = delete;
    PrimitiveReplay& operator=(const PrimitiveReplay&) = delete;

    size_t Size() const { return m_primitives.size(); }
    // Draws every primitive onto dc, setting the state only where it changes; dc is left with its own objects.
    void Run(CDC& dc) const;

private:
    std::vector<ReplayState> m_states;
    std::vector<ReplayPrimitive> m_primitives;
    std::vector<std::unique_ptr<CPen>> m_pens;
    std::vector<std::unique_ptr<CBrush>> m_brushes;
    std::vector<std::unique_ptr<CFont>> m_fonts;
};
