// Constants and small records of the drawing layer, with the values callers store in their settings and files
// (pen styles, brush styles and hatches, raster operations, text formats, region kinds, stock objects).
#pragma once

#include "types/ColorRef.h"

#include <cstdint>

using HGDIOBJ = void*;

// Pen styles. Dashes apply to 1-pixel pens only; a wider styled pen draws solid.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;

// Brush styles and hatches.
constexpr uint32_t BS_SOLID = 0;
constexpr uint32_t BS_NULL = 1;
constexpr uint32_t BS_HOLLOW = BS_NULL;
constexpr uint32_t BS_HATCHED = 2;

constexpr int HS_HORIZONTAL = 0;  // -----
constexpr int HS_VERTICAL = 1;    // |||||
constexpr int HS_FDIAGONAL = 2;   // \\\\\ (top left to bottom right)
constexpr int HS_BDIAGONAL = 3;   // ///// (bottom left to top right)
constexpr int HS_CROSS = 4;       // +++++
constexpr int HS_DIAGCROSS = 5;   // xxxxx

// Mix modes of pens and brushes (text, SetPixel and the rectangle fills ignore them).
constexpr int R2_NOT = 6;         // inverts the destination; the pen colour does not matter
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_COPYPEN = 13;

// Raster operations of PatBlt.
constexpr uint32_t PATCOPY = 0x00F00021;
constexpr uint32_t DSTINVERT = 0x00550009;

// Background modes: OPAQUE fills dash gaps, hatch gaps and text cells with the background colour.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Polygon fill modes.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

// Region combination and the region kinds the region calls return.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Text formats of DrawText.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;   // only with DT_SINGLELINE
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;  // measure only: the rectangle becomes the text's box, nothing is drawn

// Stock objects for SelectStockObject.
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// A brush description (12 bytes, as stored in settings records).
struct LOGBRUSH
{
    uint32_t lbStyle;   // BS_SOLID, BS_NULL or BS_HATCHED
    COLORREF lbColor;
    int32_t lbHatch;    // HS_* when lbStyle is BS_HATCHED
};
static_assert(sizeof(LOGBRUSH) == 12);

// The metrics of the selected font, in pixels.
struct TEXTMETRIC
{
    int32_t tmHeight;          // ascent + descent: the height of a text line
    int32_t tmAscent;
    int32_t tmDescent;
    int32_t tmAveCharWidth;    // the face's average character width
    int32_t tmMaxCharWidth;
    int32_t tmExternalLeading;
};
