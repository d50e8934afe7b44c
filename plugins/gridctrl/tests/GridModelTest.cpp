#include "gridctrl/GridModel.h"

#include "testing/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>

using namespace gridctrl;

namespace {

// The kernel page's set-up: r x c values under one heading row and column, 25-pixel cells.
void SizeLikeKernelPage(CGridModel& grid, int rows, int columns)
{
    grid.SetEditable(true);
    grid.SetAutoSizeStyle(GVS_BOTH);
    ASSERT_TRUE(grid.SetRowCount(rows + 1));
    ASSERT_TRUE(grid.SetColumnCount(columns + 1));
    ASSERT_TRUE(grid.SetFixedRowCount(1));
    ASSERT_TRUE(grid.SetFixedColumnCount(1));
    for (int r = 0; r <= rows; ++r)
        grid.SetRowHeight(r, 25);
    for (int c = 0; c <= columns; ++c)
        grid.SetColumnWidth(c, 25);
}

// Runs out of memory after a number of cells.
class StarvedGrid : public CGridModel
{
public:
    int cellsLeft = 1 << 30;

protected:
    std::unique_ptr<CGridCell> CreateCell(int row, int column) override
    {
        if (cellsLeft-- <= 0)
            throw std::bad_alloc();
        return CGridModel::CreateCell(row, column);
    }
};

}  // namespace

TEST(GridModel, KernelPageSequenceGivesHeadingsStatesAndSizes)
{
    for (auto [rows, columns] : {std::pair{3, 3}, {1, 1}, {11, 11}, {0, 0}}) {
        CGridModel grid;
        SizeLikeKernelPage(grid, rows, columns);
        EXPECT_EQ(grid.GetRowCount(), rows + 1);
        EXPECT_EQ(grid.GetColumnCount(), columns + 1);
        EXPECT_EQ(grid.GetFixedRowHeight(), 25);
        EXPECT_EQ(grid.GetVirtualWidth(), 25 * (columns + 1));
        EXPECT_EQ(grid.GetItemState(0, 0), 0x70u);
        if (rows > 0) {
            EXPECT_EQ(grid.GetItemState(rows, 0), 0x50u);
            EXPECT_EQ(grid.GetItemState(0, columns), 0x30u);
            EXPECT_EQ(grid.GetItemState(rows, columns), 0u);
            CGridItemInfo item;
            item.row = rows;
            item.col = columns;
            item.mask = GVIF_TEXT;
            item.text = "0.125";
            EXPECT_TRUE(grid.SetItem(item));
            item.text.clear();
            EXPECT_TRUE(grid.GetItem(item));
            EXPECT_EQ(item.text, "0.125");
        }
    }
}

TEST(GridModel, CellsFallBackToTheirDefaultCell)
{
    CGridModel grid(3, 3, 1, 1);
    CGridCell* cell = grid.GetCell(1, 1);
    EXPECT_EQ(cell->GetFormat(), grid.GetDefaultCell(false, false).GetFormat());
    EXPECT_EQ(cell->GetMargin(), grid.GetDefaultCell(false, false).GetMargin());
    EXPECT_EQ(cell->GetData(), 0);
    EXPECT_EQ(cell->EffectiveBackColor(), grid.GetDefaultCell(false, false).GetBackColor());
    EXPECT_EQ(grid.GetCell(0, 1)->GetDefaultCell(), &grid.GetDefaultCell(true, false));
    EXPECT_EQ(grid.GetCell(1, 0)->GetDefaultCell(), &grid.GetDefaultCell(false, true));
    cell->SetBackColor(RGB(1, 2, 3));
    EXPECT_EQ(cell->EffectiveBackColor(), RGB(1, 2, 3));
    CGridDefaultCell& fallback = grid.GetDefaultCell(false, false);
    fallback.SetState(GVIS_SELECTED);
    fallback.SetData(7);
    EXPECT_EQ(fallback.GetState(), GVIS_READONLY);
    EXPECT_EQ(fallback.GetData(), 0);
}

TEST(GridModel, CountTransitions)
{
    CGridModel grid(2, 2);
    EXPECT_TRUE(grid.SetFixedRowCount(4));  // above the row count: the rows grow first
    EXPECT_EQ(grid.GetRowCount(), 4);
    EXPECT_TRUE(grid.SetRowCount(0));
    EXPECT_EQ(grid.GetFixedRowCount(), 0);

    CGridModel kernel(5, 5, 1, 1);
    kernel.SetFocusCell({4, 4});
    kernel.SetItemBkColour(4, 4, RGB(9, 9, 9));
    kernel.SetRowCount(3);
    EXPECT_EQ(kernel.GetFocusCell(), CGridCellId{});
    kernel.SetRowCount(5);
    EXPECT_EQ(kernel.GetCell(4, 4)->GetBackColor(), CLR_DEFAULT);
    EXPECT_EQ(kernel.GetRowHeight(9), -1);
    EXPECT_FALSE(kernel.SetColumnWidth(1, -1));
}

// Running out of memory while growing is a failure the caller sees, for rows as for columns, and the grid stays
// consistent with what it reports.
TEST(GridModel, OutOfMemoryWhileResizingIsReportedAsFailure)
{
    testing_support::MessageBoxes().Reset();
    StarvedGrid grid;
    ASSERT_TRUE(grid.SetColumnCount(4));
    grid.cellsLeft = 10;
    EXPECT_FALSE(grid.SetRowCount(5));
    EXPECT_EQ(grid.GetRowCount(), 2);
    EXPECT_EQ(grid.GetRowHeight(1), grid.GetDefaultCell(false, false).GetHeight());
    EXPECT_EQ(grid.GetRowHeight(2), -1);
    grid.cellsLeft = 1;
    EXPECT_FALSE(grid.SetColumnCount(6));
    EXPECT_EQ(grid.GetColumnCount(), 4);
    EXPECT_NE(grid.GetCell(1, 3), nullptr);
    EXPECT_EQ(testing_support::MessageBoxes().Boxes().size(), 2u);
}

TEST(GridModel, ModifiedFlagsAndSortIndicator)
{
    CGridModel grid(5, 6, 1, 1);
    grid.SetModified(false);
    grid.SetItemText(2, 3, "x");
    EXPECT_TRUE(grid.GetModified(2, 3));
    EXPECT_FALSE(grid.GetModified(2, 4));
    EXPECT_TRUE(grid.GetModified(0, 5));  // a heading asks for the grid's flag
    grid.SetSortColumn(3);
    CGridItemInfo item{.row = 2, .col = 4, .mask = GVIF_TEXT, .text = "y"};
    grid.SetItem(item);
    EXPECT_EQ(grid.GetSortColumn(), 3);
    item.col = 3;
    grid.SetItem(item);
    EXPECT_EQ(grid.GetSortColumn(), -1);
    grid.SetModified(false);
    EXPECT_FALSE(grid.GetModified(2, 3));
}

TEST(GridModel, InsertAndDeleteResetSelectionAndKeepFixedCounts)
{
    CGridModel grid(4, 4, 1, 1);
    grid.SelectRange({1, 1, 2, 2});
    grid.SetFocusCell({1, 1});
    EXPECT_EQ(grid.InsertColumn("h", 0x25, -1), 4);
    EXPECT_EQ(grid.GetFocusCell(), CGridCellId{});
    EXPECT_EQ(grid.GetSelectedCellRange(), CGridCellRange{});
    EXPECT_EQ(grid.InsertColumn("h", 0x25, 0), -1);  // into the fixed columns
    EXPECT_EQ(grid.GetItemText(0, 4), "h");
    EXPECT_TRUE(grid.DeleteRow(0));
    EXPECT_EQ(grid.GetFixedRowCount(), 0);
    EXPECT_FALSE(grid.DeleteRow(7));
}

TEST(GridModel, NextItemByDirection)
{
    CGridModel grid(5, 5, 1, 1);
    grid.SetModified(false);
    grid.SetItemText(3, 2, "m");
    grid.SelectRange({1, 4, 1, 4});
    struct Case { CGridCellId start; int flags; CGridCellId expected; };
    for (const Case& c : {Case{{1, 2}, GVNI_MODIFIED | GVNI_BELOW, {3, 2}},
                          Case{{4, 2}, GVNI_MODIFIED | GVNI_ABOVE, {3, 2}},
                          Case{{1, 1}, GVNI_SELECTED | GVNI_TORIGHT, {1, 4}},
                          Case{{1, 4}, GVNI_SELECTED | GVNI_TOLEFT, {}},
                          Case{{-1, -1}, GVNI_MODIFIED | GVNI_ALL, {3, 2}},
                          Case{{3, 2}, GVNI_MODIFIED | GVNI_ALL, {}}})
        EXPECT_EQ(grid.GetNextItem(c.start, c.flags), c.expected) << c.flags;
}

TEST(GridModel, CopySelectionGivesTabsAndLinesAndSkipsHiddenRows)
{
    CGridModel grid(5, 5, 1, 1);
    for (int r = 1; r < 5; ++r)
        for (int c = 1; c < 5; ++c)
            grid.SetItemText(r, c, std::to_string(r) + std::to_string(c));
    grid.SelectRange({1, 1, 3, 3});
    grid.SetItemState(1, 2, 0);  // unselected inside the range: an empty field
    grid.SetRowHeight(2, 0);     // hidden: no line at all
    EXPECT_EQ(grid.CopySelectionText(), "11\t\t13\n31\t32\t33");
}

TEST(GridModel, PasteTable)
{
    struct Case { const char* text; CGridCellId target; std::vector<std::string> expected; };  // row 1..2, col 1..3
    for (const Case& c : {
             Case{"1,2\n3,4", {1, 1}, {"1", "2", "", "3", "4", ""}},
             Case{"1\t2\r\n3\t4\r\n", {1, 1}, {"1", "2", "", "3", "4", ""}},
             Case{" 5 , 6 ,7,8,9", {1, 1}, {"5", "6", "7", "", "", ""}},  // past the last column: dropped
             Case{"a\nb\nc", {2, 3}, {"", "", "", "", "", "a"}},          // past the last row: dropped
         }) {
        CGridModel grid(3, 4, 1, 1);
        grid.SelectAllCells();
        EXPECT_TRUE(grid.PasteText(c.target, c.text)) << c.text;
        std::vector<std::string> got;
        for (int r = 1; r <= 2; ++r)
            for (int col = 1; col <= 3; ++col)
                got.push_back(grid.GetItemText(r, col));
        EXPECT_EQ(got, c.expected) << c.text;
        EXPECT_FALSE(grid.IsCellSelected(c.target.row, c.target.col));
    }
    CGridModel hidden(4, 2, 1, 1);
    hidden.SetRowHeight(2, 0);
    hidden.PasteText({1, 1}, "a\nb");
    EXPECT_EQ(hidden.GetItemText(3, 1), "b");
    hidden.SetItemState(1, 1, GVIS_READONLY);
    EXPECT_FALSE(hidden.PasteText({1, 1}, "z"));
}

TEST(GridModel, SortByTextIsByteOrderAndKeepsFixedRowsAndHeights)
{
    CGridModel grid(4, 2, 1, 1);
    const char* texts[] = {"b", "a", "B"};
    for (int r = 1; r < 4; ++r) {
        grid.SetItemText(r, 1, texts[r - 1]);
        grid.SetRowHeight(r, 10 * r);
    }
    grid.SetItemText(0, 1, "heading");
    ASSERT_TRUE(grid.SortRowsByText(1, true));
    EXPECT_EQ(grid.GetItemText(1, 1), "B");
    EXPECT_EQ(grid.GetItemText(2, 1), "a");
    EXPECT_EQ(grid.GetItemText(3, 1), "b");
    EXPECT_EQ(grid.GetRowHeight(1), 30);
    EXPECT_EQ(grid.GetItemText(0, 1), "heading");
    ASSERT_TRUE(grid.SortRowsByText(1, false));
    EXPECT_EQ(grid.GetItemText(1, 1), "b");
    EXPECT_EQ(grid.GetSortColumn(), 1);
    EXPECT_FALSE(grid.GetSortAscending());
}

TEST(GridModel, TextFileRoundTripAndWindowsLineEnds)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "gridctrl_roundtrip.csv";
    CGridModel grid(3, 3, 1, 1);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            grid.SetItemText(r, c, "t" + std::to_string(r) + std::to_string(c));
    ASSERT_TRUE(grid.SaveText(path.string()));
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, "t00,t01,t02\nt10,t11,t12\nt20,t21,t22\n");
    CGridModel loaded;
    ASSERT_TRUE(loaded.LoadText(path.string()));
    EXPECT_EQ(loaded.ToText(), bytes);
    EXPECT_EQ(loaded.GetItemFormat(0, 1), 0x25u);
    std::filesystem::remove(path);

    CGridModel windows;
    ASSERT_TRUE(windows.FromText("a,b,\r\nc,d\r\n"));
    EXPECT_EQ(windows.GetColumnCount(), 2);
    EXPECT_EQ(windows.GetItemText(1, 1), "d");
    testing_support::MessageBoxes().Reset();
    EXPECT_FALSE(windows.LoadText("/nonexistent/folder/x.csv"));
    EXPECT_EQ(testing_support::MessageBoxes().Boxes().size(), 1u);
}

// A row taller than a page still gets a page of its own; every row is on some page.
TEST(GridModel, PaginationGivesEveryRowAPage)
{
    struct Case { std::vector<int> heights; int page; std::vector<int> starts; };
    for (const Case& c : {Case{{10, 10, 10}, 25, {0, 2}},
                          Case{{10, 100, 10}, 25, {0, 1, 2}},
                          Case{{100}, 25, {0}},
                          Case{{}, 25, {}},
                          Case{{5, 5, 5, 5}, 10, {0, 2}}})
        EXPECT_EQ(PageStarts(c.heights, c.page), c.starts);
}

// A loaded file's columns fit their texts; an inserted heading sizes its column or row.
TEST(GridModel, InsertedHeadingsAndLoadedColumnsAreSizedToTheirTexts)
{
    CGridModel grid(2, 1, 1, 1);
    const int position = grid.InsertColumn("a rather long heading");
    ASSERT_EQ(position, 1);
    EXPECT_EQ(grid.GetColumnWidth(1), grid.GetTextExtent(0, 1, "a rather long heading").cx);
    const int row = grid.InsertRow("two\nlines");
    EXPECT_EQ(grid.GetRowHeight(row), grid.GetTextExtent(row, 0, "two\nlines").cy);
    EXPECT_EQ(grid.GetRowHeight(grid.InsertRow("")), grid.GetDefaultCell(true, false).GetHeight());

    const std::filesystem::path path = std::filesystem::temp_directory_path() / "gridctrl_sized.csv";
    std::ofstream(path) << "h,x\nr,a much wider cell text than its heading\n";
    ASSERT_TRUE(grid.LoadText(path.string()));
    std::filesystem::remove(path);
    EXPECT_EQ(grid.GetColumnWidth(1), grid.GetTextExtent(1, 1, "a much wider cell text than its heading").cx);
    grid.SetVirtualMode(true);
    EXPECT_FALSE(grid.LoadText(path.string()));
}
