// COLORREF: 0x00BBGGRR. The value 0xFF000000 is the colour controls' "Automatic" and is never a pen colour.
#pragma once

#include "types/WinTypes.h"

#include <cstdint>

using COLORREF = uint32_t;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

constexpr COLORREF CLR_AUTOMATIC = 0xFF000000;
