// A device context with Windows drawing semantics, drawing through a QPainter onto a QImage (device pixel ratio 1,
// 96 DPI, antialiasing off). RGB32 and ARGB32 surfaces are drawn on directly; an image of any other pixel format
// is drawn on through a 32-bit copy that goes back into the image's own pixels when the DC is destroyed.
//
// Contract:
// - The image is not owned and must outlive the DC; the painter stays active for the DC's whole life.
// - Pixel conventions are those of Windows: a rectangle or ellipse box holds [left, right) x [top, bottom) and a
//   1-pixel outline stays inside it; LineTo does not paint its end pixel and moves the current position there.
// - Mix modes (SetROP2) apply to pens and brushes; text, SetPixel, FillSolidRect and FillRect ignore them. Under
//   R2_NOT, R2_XORPEN and R2_NOTXORPEN drawing the same thing twice restores every pixel.
// - Selecting an object copies what the DC needs from it and returns the object selected before, so
//   `old = dc.SelectObject(&pen); ...; dc.SelectObject(old);` restores. A new DC has BLACK_PEN, WHITE_BRUSH
//   and SYSTEM_FONT selected, black text on a white OPAQUE background, R2_COPYPEN and ALTERNATE fill.
// - Text is UTF-8. One thread at a time; a DC on a private image may be used off the UI thread. Fonts, text
//   measures and glyphs are kept per thread (TextCache), so repeated texts cost little.
// - The primitives are virtual so that a test double can record them (CRecordingDC).
#pragma once

#include "gdi/CBrush.h"
#include "gdi/CFont.h"
#include "gdi/CPen.h"
#include "gdi/CRgn.h"
#include "types/WinGeometry.h"

#include <memory>
#include <string_view>

class QImage;
class QPainter;

class VISTREL_EXPORT CDC
{
public:
    explicit CDC(QImage& target);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // The surface and its painter, for blitting images; leave the painter's state as found.
    QImage& GetImage() const;
    QPainter& GetPainter() const;

    // --- Selected objects ---
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    // Selects a pen, brush or font given as its base (what SelectStockObject returned); null for a region or null.
    CGdiObject* SelectObject(CGdiObject* object);
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;

    // Saves the selected objects, colours, modes and current position; returns the save level (1, 2, ...).
    int SaveDC();
    // Restores the given level (a negative value counts back from the latest save: -1 is the latest); the levels
    // above it are discarded. 0 when there is no such level.
    BOOL RestoreDC(int savedDC);

    // --- Attributes (each setter returns the previous value) ---
    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);       // TRANSPARENT or OPAQUE; 0 (and no change) for anything else
    int GetBkMode() const;
    int SetROP2(int mode);         // R2_COPYPEN, R2_NOT, R2_XORPEN, R2_NOTXORPEN; 0 (and no change) for others
    int GetROP2() const;
    int SetPolyFillMode(int mode); // ALTERNATE or WINDING; 0 (and no change) for anything else
    int GetPolyFillMode() const;

    // --- Lines ---
    CPoint GetCurrentPosition() const;
    // Returns the previous current position.
    virtual CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    // Draws from the current position up to, not including, (x, y) (a wider pen's round cap does cover it);
    // (x, y) becomes the current position.
    virtual BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    // Joined segments through the points, the last point not painted; the current position is neither used nor
    // moved.
    virtual BOOL Polyline(const POINT* points, int count);
    // The elliptic arc of the box, counter-clockwise from where the radial through `start` meets the ellipse to
    // where the radial through `end` does (the whole ellipse when both radials coincide).
    virtual BOOL Arc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY);
    BOOL Arc(const RECT* box, POINT start, POINT end)
    {
        return Arc(box->left, box->top, box->right, box->bottom, start.x, start.y, end.x, end.y);
    }

    // --- Pixels ---
    // Returns the colour set, CLR_INVALID outside the image.
    virtual COLORREF SetPixel(int x, int y, COLORREF colour);
    COLORREF SetPixel(POINT p, COLORREF colour) { return SetPixel(p.x, p.y, colour); }
    // CLR_INVALID outside the image.
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }

    // --- Filled shapes: the brush fills, the pen outlines ---
    virtual BOOL Polygon(const POINT* points, int count);
    virtual BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const RECT* r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    virtual BOOL Ellipse(int left, int top, int right, int bottom);
    BOOL Ellipse(const RECT* r) { return Ellipse(r->left, r->top, r->right, r->bottom); }

    // --- Rectangle fills ---
    // Fills [left, right) x [top, bottom) (normalised) with the colour, which also becomes the background colour.
    virtual void FillSolidRect(const RECT* rect, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    // Fills [left, right) x [top, bottom) with the brush; nothing for an empty rectangle.
    virtual void FillRect(const RECT* rect, CBrush* brush);
    virtual void InvertRect(const RECT* rect);
    // rop PATCOPY (the selected brush) or DSTINVERT; 0 for other operations.
    virtual BOOL PatBlt(int x, int y, int width, int height, uint32_t rop);
    // Top and left edges in one colour, right and bottom edges in the other, one pixel wide, inside the rectangle.
    virtual void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    // A dotted frame inside the rectangle, inverted every other pixel: drawing it twice removes it.
    virtual void DrawFocusRect(const RECT* rect);

    // --- Text (selected font, text colour; background colour behind the text in OPAQUE mode) ---
    // Writes the text into the rectangle with DT_* formats; lines break at "\n" unless DT_SINGLELINE. With
    // DT_CALCRECT nothing is drawn and right/bottom are set to the box of the text. Returns the text height (the
    // offset from the top to the bottom of the text with DT_VCENTER).
    virtual int DrawText(std::string_view text, RECT* rect, UINT format);
    int DrawText(std::string_view text, CRect& rect, UINT format) { return DrawText(text, static_cast<RECT*>(&rect), format); }
    // count -1: the text runs to its terminating zero.
    int DrawText(const char* text, int count, RECT* rect, UINT format);
    // Writes one line with its cell's top-left corner at (x, y).
    virtual BOOL TextOut(int x, int y, std::string_view text);
    CSize GetTextExtent(std::string_view text) const;
    BOOL GetTextMetrics(TEXTMETRIC* metrics) const;

private:
    struct State;
    // The fills behind the virtual primitives, so that composite primitives do not record their parts.
    void FillSolid(const RECT& rect, COLORREF colour);
    void Invert(int x, int y, int width, int height);

    std::unique_ptr<State> m_state;
};
