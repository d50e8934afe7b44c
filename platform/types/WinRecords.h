// Records with the Windows byte layouts. They are stored or exchanged, so their sizes are fixed (LONG is 32 bits).
// Stored formats still write them field by field; the static_asserts only keep the in-memory shape honest.
#pragma once

#include "types/ColorRef.h"
#include "types/WinGeometry.h"

#include <cstdint>

constexpr int LF_FACESIZE = 32;

struct LOGFONTA
{
    LONG lfHeight;       // < 0: character height in pixels; > 0: cell height; 0: default size
    LONG lfWidth;
    LONG lfEscapement;   // tenths of a degree; -900 writes top to bottom
    LONG lfOrientation;
    LONG lfWeight;       // 400 normal, 700 bold
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

struct LOGPEN
{
    uint32_t lopnStyle;
    POINT lopnWidth;   // only x is used
    COLORREF lopnColor;
};

struct BITMAPINFOHEADER
{
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;      // > 0: rows bottom-up; < 0: top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD
{
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

constexpr DWORD BI_RGB = 0;

static_assert(sizeof(LOGFONTA) == 60);
static_assert(sizeof(LOGPEN) == 16);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);
