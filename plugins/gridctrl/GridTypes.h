// Addresses, ranges, state and mask bits and the item record of the grid control.
#pragma once

#include "types/ColorRef.h"
#include "types/WinRecords.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace gridctrl {

// Cell state bits.
constexpr uint32_t GVIS_FOCUSED = 0x01;
constexpr uint32_t GVIS_SELECTED = 0x02;
constexpr uint32_t GVIS_DROPHILITED = 0x04;
constexpr uint32_t GVIS_READONLY = 0x08;
constexpr uint32_t GVIS_FIXED = 0x10;
constexpr uint32_t GVIS_FIXEDROW = 0x20;
constexpr uint32_t GVIS_FIXEDCOL = 0x40;
constexpr uint32_t GVIS_MODIFIED = 0x80;

// Item record mask bits.
constexpr uint32_t GVIF_TEXT = 0x001;
constexpr uint32_t GVIF_IMAGE = 0x002;
constexpr uint32_t GVIF_PARAM = 0x004;
constexpr uint32_t GVIF_STATE = 0x008;
constexpr uint32_t GVIF_BKCLR = 0x010;
constexpr uint32_t GVIF_FGCLR = 0x020;
constexpr uint32_t GVIF_FORMAT = 0x040;
constexpr uint32_t GVIF_FONT = 0x080;
constexpr uint32_t GVIF_MARGIN = 0x100;

// Grid line modes.
constexpr int GVL_NONE = 0;
constexpr int GVL_HORZ = 1;
constexpr int GVL_VERT = 2;
constexpr int GVL_BOTH = 3;

// GetNextItem: states looked for, and directions.
constexpr int GVNI_FOCUSED = 0x01;
constexpr int GVNI_SELECTED = 0x02;
constexpr int GVNI_DROPHILITED = 0x04;
constexpr int GVNI_READONLY = 0x08;
constexpr int GVNI_FIXED = 0x10;
constexpr int GVNI_MODIFIED = 0x20;
constexpr int GVNI_ABOVE = 0x100;
constexpr int GVNI_BELOW = 0x200;
constexpr int GVNI_TOLEFT = 0x400;
constexpr int GVNI_TORIGHT = 0x800;
constexpr int GVNI_AREA = GVNI_BELOW | GVNI_TORIGHT;
constexpr int GVNI_ALL = 0xE00;

// Auto-size style bits: which rows count.
constexpr int GVS_HEADER = 1;
constexpr int GVS_DATA = 2;
constexpr int GVS_BOTH = 3;

// Notification codes sent to the owner.
constexpr int GVN_ITEMCHANGING = -100;
constexpr int GVN_ITEMCHANGED = -101;
constexpr int GVN_BEGINLABELEDIT = -105;
constexpr int GVN_ENDLABELEDIT = -106;
constexpr int GVN_BEGINDRAG = -109;
constexpr int GVN_ODCACHEHINT = -113;
constexpr int GVN_GETDISPINFO = -150;
constexpr int NM_CLICK = -2;
constexpr int NM_DBLCLK = -3;
constexpr int NM_RCLICK = -5;

// "Not set: the default cell's colour applies".
constexpr COLORREF CLR_DEFAULT = 0xFF000000;
constexpr uint32_t kNotSet = 0xFFFFFFFFu;

struct CGridCellId
{
    int row = -1;
    int col = -1;
    friend bool operator==(const CGridCellId&, const CGridCellId&) = default;
};

struct CGridCellRange
{
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
    int Count() const { return (maxRow - minRow + 1) * (maxCol - minCol + 1); }
    bool InRange(int row, int col) const { return row >= minRow && row <= maxRow && col >= minCol && col <= maxCol; }
    CGridCellRange Intersect(const CGridCellRange& other) const
    {
        return {std::max(minRow, other.minRow), std::max(minCol, other.minCol), std::min(maxRow, other.maxRow),
                std::min(maxCol, other.maxCol)};
    }
    friend bool operator==(const CGridCellRange&, const CGridCellRange&) = default;
};

struct CGridItemInfo
{
    int row = 0;
    int col = 0;
    uint32_t mask = 0;
    uint32_t state = 0;
    uint32_t format = 0;
    int image = -1;
    COLORREF backColour = CLR_DEFAULT;
    COLORREF textColour = CLR_DEFAULT;
    intptr_t data = 0;
    LOGFONTA font{};
    uint32_t margin = 0;
    std::string text;
};

}  // namespace gridctrl
