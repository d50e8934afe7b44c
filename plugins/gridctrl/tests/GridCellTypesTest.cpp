// Cell classes made by type, per-cell fonts, virtual mode and the cell's own measuring and print colours.
#include "gridctrl/GridModel.h"

#include "gdi/CFont.h"
#include "gdi/CMeasureDC.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace gridctrl;

namespace {

class TaggedCell : public CGridCell
{
public:
    int clicks = 0;
    void OnClick(POINT) override { ++clicks; }
};

LOGFONTA Font(int pixels, int weight = 400, int escapement = 0)
{
    LOGFONTA font{};
    font.lfHeight = -pixels;
    font.lfWeight = weight;
    font.lfEscapement = escapement;
    std::strcpy(font.lfFaceName, "DejaVu Sans");
    return font;
}

}  // namespace

TEST(GridCellTypes, CellsAreMadeOfTheClassGivenAndKeepTheirPropertiesWhenItChanges)
{
    CGridModel grid(3, 3, 1, 1);
    EXPECT_EQ(dynamic_cast<TaggedCell*>(grid.GetCell(1, 1)), nullptr);
    EXPECT_FALSE(grid.SetDefaultCellType(nullptr));
    ASSERT_TRUE(grid.SetDefaultCellType(CGridModel::CellType<TaggedCell>()));
    grid.SetRowCount(4);
    EXPECT_NE(dynamic_cast<TaggedCell*>(grid.GetCell(3, 2)), nullptr);
    EXPECT_EQ(dynamic_cast<TaggedCell*>(grid.GetCell(2, 2)), nullptr);  // made before the change

    // One cell changes class and keeps its text, colours, font and state.
    const LOGFONTA bold = Font(14, 700);
    grid.SetItemText(2, 2, "x");
    grid.SetItemBkColour(2, 2, RGB(1, 2, 3));
    grid.SetItemFont(2, 2, &bold);
    grid.SetItemData(2, 2, 77);
    ASSERT_TRUE(grid.SetCellType(2, 2, CGridModel::CellType<TaggedCell>()));
    auto* tagged = dynamic_cast<TaggedCell*>(grid.GetCell(2, 2));
    ASSERT_NE(tagged, nullptr);
    EXPECT_EQ(tagged->GetText(), "x");
    EXPECT_EQ(tagged->GetBackColor(), RGB(1, 2, 3));
    ASSERT_FALSE(tagged->IsDefaultFont());
    EXPECT_EQ(tagged->GetFont()->lfWeight, 700);
    EXPECT_EQ(tagged->GetData(), 77);
    EXPECT_EQ(tagged->GetGrid(), &grid);
    EXPECT_TRUE(tagged->IsModified());
    for (auto [row, column] : {std::pair{-1, 0}, {9, 9}})
        EXPECT_FALSE(grid.SetCellType(row, column, CGridModel::CellType<TaggedCell>()));
    EXPECT_FALSE(grid.SetCellType(1, 1, nullptr));
    // A factory that makes nothing leaves no hole.
    grid.SetDefaultCellType([] { return std::unique_ptr<CGridCell>(); });
    grid.SetColumnCount(4);
    EXPECT_NE(grid.GetCell(1, 3), nullptr);
}

TEST(GridCellTypes, FontsFallBackToTheDefaultCellWhichMeasuresItsSizesOnIt)
{
    CGridModel grid(3, 3, 1, 1);
    EXPECT_EQ(grid.GetItemFont(1, 1), nullptr);  // no font anywhere yet: the grid's own applies
    const LOGFONTA normal = Font(12), big = Font(20, 700);
    for (bool fixedRow : {false, true})
        for (bool fixedColumn : {false, true})
            grid.GetDefaultCell(fixedRow, fixedColumn).SetFont(&normal);
    ASSERT_NE(grid.GetItemFont(1, 1), nullptr);
    EXPECT_EQ(grid.GetItemFont(1, 1)->lfHeight, -12);

    // The default cell measured itself: a space, " XXXXXXXXXXXX " and 3/2 of its height.
    CMeasureDC& dc = CMeasureDC::ThisThread();
    CFont measured;
    measured.CreateFontIndirect(&normal);
    CFont* old = dc.SelectObject(&measured);
    const CSize sample = dc.GetTextExtent(" XXXXXXXXXXXX ");
    const int space = dc.GetTextExtent(" ").cx;
    dc.SelectObject(old);
    const CGridDefaultCell& fallback = grid.GetDefaultCell(false, false);
    EXPECT_EQ(static_cast<int>(fallback.GetMargin()), space);
    EXPECT_EQ(fallback.GetWidth(), sample.cx);
    EXPECT_EQ(fallback.GetHeight(), 3 * sample.cy / 2);
    grid.GetDefaultCell(false, false).SetFont(nullptr);  // ignored by a default cell
    EXPECT_EQ(grid.GetItemFont(1, 1)->lfHeight, -12);

    ASSERT_TRUE(grid.SetItemFont(1, 1, &big));
    EXPECT_EQ(grid.GetItemFont(1, 1)->lfHeight, -20);
    CGridItemInfo item;
    item.row = item.col = 1;
    item.mask = GVIF_FONT;
    ASSERT_TRUE(grid.GetItem(item));
    EXPECT_EQ(item.font.lfWeight, 700);
    item.row = 2;
    item.font = Font(16);
    ASSERT_TRUE(grid.SetItem(item));
    EXPECT_EQ(grid.GetItemFont(2, 1)->lfHeight, -16);
    grid.SetItemFont(1, 1, nullptr);
    EXPECT_EQ(grid.GetItemFont(1, 1)->lfHeight, -12);

    // Extents: text + 4 margins wide, text + 2 margins high; vertical text swaps them.
    grid.SetItemFont(1, 1, &big);
    CGridCell* cell = grid.GetCell(1, 1);
    cell->SetMargin(2);
    cell->SetText("Wide text");
    CFont bigObject;
    bigObject.CreateFontIndirect(&big);
    old = dc.SelectObject(&bigObject);
    const CSize text = dc.GetTextExtent("Wide text");
    dc.SelectObject(old);
    const SIZE extent = cell->GetCellExtent(dc);
    EXPECT_EQ(extent.cx, text.cx + 8);
    EXPECT_EQ(extent.cy, text.cy + 4);
    const LOGFONTA vertical = Font(20, 700, 900);
    cell->SetFont(&vertical);
    const SIZE turned = cell->GetCellExtent(dc);
    EXPECT_EQ(turned.cx, extent.cy);
    EXPECT_EQ(turned.cy, extent.cx);
}

TEST(GridCellTypes, VirtualModeAsksTheCallbackAndStoresNoCells)
{
    CGridModel grid;
    grid.SetVirtualMode(true);
    EXPECT_FALSE(grid.IsEditable());
    EXPECT_FALSE(grid.GetHeaderSort());
    EXPECT_FALSE(grid.GetFixedRowSelection());
    EXPECT_FALSE(grid.GetFixedColumnSelection());
    EXPECT_EQ(grid.GetAutoSizeStyle(), GVS_HEADER);
    int calls = 0;
    uint32_t lastState = 0;
    grid.SetCallbackFunc([&](CGridItemInfo& item) {
        ++calls;
        lastState = item.state;
        item.text = "r" + std::to_string(item.row) + "c" + std::to_string(item.col);
        if (item.row == 2)
            item.backColour = RGB(9, 9, 9);
    });
    // A million cells cost two size arrays.
    ASSERT_TRUE(grid.SetRowCount(100000));
    ASSERT_TRUE(grid.SetColumnCount(10));
    ASSERT_TRUE(grid.SetFixedRowCount(1));
    ASSERT_TRUE(grid.SetFixedColumnCount(1));
    EXPECT_EQ(grid.GetRowHeight(99999), grid.GetDefaultCell(false, false).GetHeight());
    EXPECT_EQ(grid.GetItemText(99999, 9), "r99999c9");
    EXPECT_EQ(lastState, 0u);
    grid.GetCell(0, 3);
    EXPECT_EQ(lastState, GVIS_FIXED | GVIS_FIXEDROW);

    // One temporary cell, refilled by every read.
    CGridCell* first = grid.GetCell(2, 2);
    EXPECT_EQ(first->EffectiveBackColor(), RGB(9, 9, 9));
    CGridCell* second = grid.GetCell(3, 4);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->GetText(), "r3c4");
    EXPECT_EQ(first->GetBackColor(), grid.GetDefaultCell(false, false).GetBackColor());

    // Nothing can be written; the selection is the control's own, with keys that do not alias past 65,535.
    const int before = calls;
    EXPECT_FALSE(grid.SetItemText(3, 4, "x"));
    EXPECT_FALSE(grid.SetItemData(3, 4, 1));
    EXPECT_FALSE(grid.SortRowsByText(1, true));
    EXPECT_EQ(grid.InsertRow("x"), -1);
    EXPECT_FALSE(grid.SetCellType(3, 4, CGridModel::CellType<TaggedCell>()));
    EXPECT_EQ(calls, before);
    grid.SelectRange({70000, 2, 70000, 2});
    EXPECT_TRUE(grid.IsCellSelected(70000, 2));
    EXPECT_FALSE(grid.IsCellSelected(70000 - 65536, 2));
    grid.GetCell(70000, 2);
    EXPECT_EQ(lastState, GVIS_SELECTED);
    EXPECT_EQ(grid.GetSelectedCellRange(), (CGridCellRange{70000, 2, 70000, 2}));
    EXPECT_TRUE(grid.DeleteRow(5));
    EXPECT_EQ(grid.GetRowCount(), 99999);

    // Back to stored cells: everything went.
    grid.SetVirtualMode(false);
    EXPECT_EQ(grid.GetRowCount(), 0);
    grid.SetRowCount(2);
    grid.SetColumnCount(2);
    EXPECT_TRUE(grid.SetItemText(1, 1, "stored"));
    EXPECT_EQ(grid.GetItemText(1, 1), "stored");
}

TEST(GridCellTypes, SortByDataUsesTheCallersOrderAndKeepsTheHeadings)
{
    CGridModel grid(5, 2, 1, 1);
    const intptr_t values[] = {30, -5, 12, 7};
    for (int r = 1; r <= 4; ++r) {
        grid.SetItemData(r, 1, values[r - 1]);
        grid.SetItemText(r, 1, std::to_string(values[r - 1]));
    }
    grid.SetItemText(0, 1, "heading");
    const auto numeric = [](intptr_t a, intptr_t b) { return a < b ? -1 : a > b ? 1 : 0; };
    ASSERT_TRUE(grid.SortRowsByData(1, true, numeric));
    std::string order;
    for (int r = 0; r <= 4; ++r)
        order += grid.GetItemText(r, 1) + " ";
    EXPECT_EQ(order, "heading -5 7 12 30 ");
    ASSERT_TRUE(grid.SortRowsByData(1, false, numeric));
    EXPECT_EQ(grid.GetItemData(1, 1), 30);
    EXPECT_EQ(grid.GetItemData(4, 1), -5);
    EXPECT_FALSE(grid.SortRowsByData(1, true, nullptr));
}

// Printed colours: only a shaded printout uses the cell's colours; a monochrome printer greys a text on paper.
TEST(GridCellTypes, PrintColours)
{
    CGridModel grid(3, 3, 1, 1);
    struct Case
    {
        const char* what;
        int row;
        COLORREF text;
        COLORREF back;
        bool shaded;
        bool monochrome;
        COLORREF printedText;
        bool background;
    };
    const COLORREF face = grid.GetDefaultCell(true, false).GetBackColor();
    for (const Case& c : {Case{"plain cell", 1, CLR_DEFAULT, CLR_DEFAULT, true, false, RGB(0, 0, 0), false},
                          Case{"own text colour", 1, RGB(200, 100, 50), CLR_DEFAULT, true, false, RGB(200, 100, 50),
                               false},
                          Case{"not shaded", 1, RGB(200, 100, 50), RGB(1, 2, 3), false, false, RGB(0, 0, 0), false},
                          Case{"monochrome", 1, RGB(200, 100, 50), CLR_DEFAULT, true, true, RGB(60, 59, 5), false},
                          Case{"own background", 1, RGB(200, 100, 50), RGB(1, 2, 3), true, true, RGB(200, 100, 50),
                               true},
                          Case{"heading", 0, CLR_DEFAULT, CLR_DEFAULT, true, false, RGB(0, 0, 0), true}}) {
        CGridCell* cell = grid.GetCell(c.row, 1);
        cell->SetTextColor(c.text);
        cell->SetBackColor(c.back);
        COLORREF text = 0, back = 0;
        bool background = false;
        cell->PrintColours(c.shaded, c.monochrome, text, back, background);
        EXPECT_EQ(text, c.printedText) << c.what;
        EXPECT_EQ(background, c.background) << c.what;
        if (c.row == 0) {
            EXPECT_EQ(back, face) << c.what;
        }
    }
}
