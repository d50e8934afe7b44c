// The grid, reticle and ruler overlay of an image: a plain value with its spacing in calibrated units, painted
// through a CDC at any zoom and origin (image window, live view, burn-in on save).
//
// Contract: UI thread (or under the owner's frame lock); no locking of its own. Draw writes `gap` (minimum
// spacing) and Update writes `type`, `canvas`, `gap` and `upp`. The main program reads and writes the public
// members directly and stores them field by field; the in-memory layout is not a stored format.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinRecords.h"

#include <cstdint>

class CDC;
class QIcon;

// The overlay kinds, a bit set; bit order is also drawing order and icon order.
enum G_TYPE : int32_t
{
    G_CHECK = 0x01,        // square grid over the whole image
    G_CROSS = 0x02,        // centre cross; the rulers ride on it
    G_RECTANGLES = 0x04,   // concentric squares around the centre
    G_DIAGONALS = 0x08,    // two 45-degree lines through the centre
    G_CIRCLES = 0x10,      // concentric circles around the centre
    G_CIRCLECROSS = 0x20,  // eyepiece reticle: a circle of ten spacings' radius with graduated axes
};

class VISTREL_EXPORT CLatticer
{
public:
    CLatticer();

    void Show(int on) { show = on; }
    int IsShow() const { return show; }
    void SetType(int kinds) { type = kinds; }
    void ChangeType(G_TYPE kinds) { type = kinds; }
    int GetType() const { return type; }
    void SetGap(float units) { gap = units; }
    float GetGap() const { return gap; }
    void SetWeight(int width) { pen.lopnWidth.x = width; }
    int GetWeight() const { return pen.lopnWidth.x; }
    void SetLineColor(DWORD colour) { pen.lopnColor = colour; }
    DWORD GetLineColor() const { return pen.lopnColor; }
    void SetUPP(double unitsPerPixel) { upp = unitsPerPixel; }
    double GetUPP() const { return upp; }
    void SetDecimal(int digits) { decimal = digits; }
    int GetDecimal() const { return decimal; }
    void ShowRuler(int on) { ruler = on; }

    void Create(int kinds, SIZE imageSize, double unitsPerPixel, float units);
    // Follows a change of calibration: the spacing in image pixels stays, the spacing in units follows. A
    // units-per-pixel that is not a positive finite number is ignored (kinds and size are still taken); from a
    // stored units-per-pixel of that sort the gap is kept as it is. The last argument is not used.
    void Update(int kinds, SIZE imageSize, double unitsPerPixel, float unused);
    // Back to the constructed values with the check kind; show, decimals, saveWithGrid and `reserved` stay.
    void Remove();

    static int GetTypeNum() { return 6; }
    // Fills icons[0..GetTypeNum()-1] with the 32 x 32 pictures of the kinds, in bit order.
    static void GetIcon(QIcon* icons);

    // Paints the overlay with image pixel (0, 0) at `origin` and `ratio` device pixels per image pixel. Raises
    // `gap` to 10 image pixels first. Draws nothing while `upp` is not a positive finite number, nor when it is so
    // small that the raised `gap` (a float) underflows to less than a pixel. The last argument is not used.
    void Draw(CDC* dc, POINT origin, float ratio, int unused = 100);

    int32_t show;
    int32_t type;
    float gap;             // spacing in calibrated units
    double upp;            // calibrated units per image pixel
    int32_t reserved;
    SIZE canvas;           // image size in image pixels
    int32_t decimal;       // decimals of the ruler labels (drawn with 0 to 20)
    LOGPEN pen;            // the overlay pen; its width x is the line weight, its colour also the label colour
    LOGPEN pen2;           // stored with the document, never drawn
    LOGFONTA font;         // ruler labels
    int32_t ruler;         // nonzero: rulers along the cross
    int32_t reserved2;
    int32_t tickLength;    // major ruler tick in device pixels
    COLORREF color2;       // stored with the document, never drawn
    uint8_t saveWithGrid;  // the owner burns the overlay into saved images

private:
    // Where and how large one draw paints; the origin is already centred on the pixels when zoomed above 4.
    struct Frame;
    void DrawCheck(CDC* dc, const Frame& f) const;
    void DrawCross(CDC* dc, const Frame& f) const;
    void DrawRectsCircles(CDC* dc, const Frame& f, bool rectangles) const;
    void DrawDiagnal(CDC* dc, const Frame& f) const;
    void DrawCircleCross(CDC* dc, const Frame& f) const;
    void DrawRuler(CDC* dc, const Frame& f) const;
};
