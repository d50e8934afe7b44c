// The grid control's cells, sizes, fixed rows and columns, selection, focus, sort and text exchange, without any
// widget: the control (GridCtrl.h) draws it and feeds it keys and clicks, and tests drive it directly.
//
// Storage: rows of owned cells; row heights and column widths in pixels. Every operation that changes size or
// content marks the grid modified, which also clears the sort indicator. The derived control learns of changes
// through the two hooks at the bottom. Running out of memory while growing is reported with the standard message and
// the operation returns false (never success).
#pragma once

#include "gridctrl/GridCell.h"

#include <QImage>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace gridctrl {

// Makes one cell of a cell class; CGridModel::CellType<T>() gives the factory of a class.
using CellFactory = std::function<std::unique_ptr<CGridCell>()>;
// Virtual mode: fills the record (row and column set, defaults filled in) with the cell's contents.
using DisplayCallback = std::function<void(CGridItemInfo& item)>;
// SortRowsByData: negative, zero or positive as the first data value sorts before, with or after the second.
using DataCompare = std::function<int(intptr_t first, intptr_t second)>;

class CGridModel
{
public:
    CGridModel(int rows = 0, int columns = 0, int fixedRows = 0, int fixedColumns = 0);
    virtual ~CGridModel();
    CGridModel(const CGridModel&) = delete;
    CGridModel& operator=(const CGridModel&) = delete;

    // --- Counts and sizes ---
    int GetRowCount() const { return m_rows; }
    int GetColumnCount() const { return m_columns; }
    int GetFixedRowCount() const { return m_fixedRows; }
    int GetFixedColumnCount() const { return m_fixedColumns; }
    bool SetRowCount(int rows);
    bool SetColumnCount(int columns);
    bool SetFixedRowCount(int fixedRows);
    bool SetFixedColumnCount(int fixedColumns);
    int GetRowHeight(int row) const;
    int GetColumnWidth(int column) const;
    bool SetRowHeight(int row, int height);
    bool SetColumnWidth(int column, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    int GetVirtualHeight() const;
    int GetVirtualWidth() const;
    // Sizes to the cells' texts, measured in each cell's font. A hidden (zero-size) row or column stays hidden.
    // `style` picks the rows that count (GVS_*; 0 for the grid's own auto-size style).
    void AutoSizeColumn(int column, int style = 0);
    void AutoSizeRow(int row);
    void AutoSizeColumns(int style = 0);
    // Every visible column and chosen row to its largest cell, together.
    void AutoSize(int style = 0);
    // The size the cell would need for `text`; (0, 0) without a cell.
    SIZE GetTextExtent(int row, int column, const std::string& text) const;

    // --- Rows and columns ---
    int InsertColumn(const std::string& heading, uint32_t format = 0x25, int position = -1);
    int InsertRow(const std::string& heading, int position = -1);
    bool DeleteColumn(int column);
    bool DeleteRow(int row);
    void DeleteNonFixedRows();
    void DeleteAllItems();

    // --- Cells ---
    CGridCell* GetCell(int row, int column) const;
    bool IsValid(int row, int column) const { return row >= 0 && row < m_rows && column >= 0 && column < m_columns; }
    bool IsValid(const CGridCellId& cell) const { return IsValid(cell.row, cell.col); }
    bool IsValid(const CGridCellRange& range) const;
    CGridCellRange GetCellRange() const { return {0, 0, m_rows - 1, m_columns - 1}; }
    bool GetItem(CGridItemInfo& item) const;
    bool SetItem(const CGridItemInfo& item);
    std::string GetItemText(int row, int column) const;
    bool SetItemText(int row, int column, std::string text);
    bool SetItemData(int row, int column, intptr_t data);
    intptr_t GetItemData(int row, int column) const;
    bool SetItemState(int row, int column, uint32_t state);
    uint32_t GetItemState(int row, int column) const;
    bool SetItemFormat(int row, int column, uint32_t format);
    uint32_t GetItemFormat(int row, int column) const;
    bool SetItemBkColour(int row, int column, COLORREF colour);
    bool SetItemFgColour(int row, int column, COLORREF colour);
    COLORREF GetItemBkColour(int row, int column) const;
    COLORREF GetItemFgColour(int row, int column) const;
    bool SetItemImage(int row, int column, int image);
    int GetItemImage(int row, int column) const;
    // The cell's own copy of the font; none makes it follow its default cell again.
    bool SetItemFont(int row, int column, const LOGFONTA* font);
    // The cell's font, or its default cell's; none when that has none either.
    const LOGFONTA* GetItemFont(int row, int column) const;
    bool IsCellFixed(int row, int column) const { return row < m_fixedRows || column < m_fixedColumns; }
    bool IsCellEditable(int row, int column) const;
    bool IsCellSelected(int row, int column) const;
    bool GetModified(int row = -1, int column = -1) const;
    void SetModified(bool modified = true, int row = -1, int column = -1);
    CGridCellId GetNextItem(CGridCellId start, int flags) const;

    // --- Cell classes ---
    template <class Cell>
    static CellFactory CellType()
    {
        static_assert(std::is_base_of_v<CGridCell, Cell>, "a grid cell class derives from CGridCell");
        return [] { return std::make_unique<Cell>(); };
    }
    // The class of cells made from now on; false (and no change) for an empty factory.
    bool SetDefaultCellType(CellFactory factory);
    // Replaces one cell by a cell of another class holding the same properties; false in virtual mode, for a cell
    // out of range or an empty factory.
    bool SetCellType(int row, int column, const CellFactory& factory);

    // --- Virtual mode: no cells are stored; every cell read asks the display callback ---
    // Deletes every item; turning it on also turns editing, sorting on click and heading selection off and sizes
    // by the headings only.
    void SetVirtualMode(bool on);
    bool GetVirtualMode() const { return m_virtual; }
    void SetCallbackFunc(DisplayCallback callback) { m_callback = std::move(callback); }

    // --- Images that cells show by index (SetItemImage), left of their text ---
    void SetImageList(std::vector<QImage> images) { m_images = std::move(images); OnGridChanged(false); }
    // The image at `index`; none for -1 or an index past the list.
    const QImage* GetImageListImage(int index) const
    {
        return index >= 0 && index < static_cast<int>(m_images.size()) ? &m_images[static_cast<size_t>(index)]
                                                                       : nullptr;
    }

    // --- Default cells ---
    const CGridDefaultCell& GetDefaultCell(bool fixedRow, bool fixedColumn) const;
    CGridDefaultCell& GetDefaultCell(bool fixedRow, bool fixedColumn);

    // --- Flags ---
    bool IsEditable() const { return m_editable; }
    void SetEditable(bool editable) { m_editable = editable; }
    int GetAutoSizeStyle() const { return m_autoSizeStyle; }
    void SetAutoSizeStyle(int style) { m_autoSizeStyle = style; }
    int GetGridLines() const { return m_gridLines; }
    void SetGridLines(int lines);
    bool GetListMode() const { return m_listMode; }
    void SetListMode(bool on);
    bool IsSelectable() const { return m_enableSelection; }
    void EnableSelection(bool on) { m_enableSelection = on; }
    bool GetFrameFocusCell() const { return m_frameFocus; }
    void SetFrameFocusCell(bool on) { m_frameFocus = on; }
    bool GetTrackFocusCell() const { return m_trackFocus; }
    void SetTrackFocusCell(bool on) { m_trackFocus = on; }
    COLORREF GetGridLineColor() const { return m_gridLineColour; }
    void SetGridLineColor(COLORREF colour) { m_gridLineColour = colour; }
    COLORREF GetGridBkColor() const { return m_gridBackColour; }
    void SetGridBkColor(COLORREF colour) { m_gridBackColour = colour; }
    bool GetSingleRowSelection() const { return m_singleRow; }
    void SetSingleRowSelection(bool on) { m_singleRow = on; }
    bool GetSingleColSelection() const { return m_singleColumn; }
    void SetSingleColSelection(bool on) { m_singleColumn = on; }
    bool GetFixedRowSelection() const { return m_fixedRowSelection; }
    void SetFixedRowSelection(bool on) { m_fixedRowSelection = on; }
    bool GetFixedColumnSelection() const { return m_fixedColumnSelection; }
    void SetFixedColumnSelection(bool on) { m_fixedColumnSelection = on; }
    bool GetHeaderSort() const { return m_sortOnClick; }
    void SetHeaderSort(bool on) { m_sortOnClick = on; }
    bool GetDragAndDrop() const { return m_dragAndDrop; }
    void EnableDragAndDrop(bool on) { m_dragAndDrop = on; }
    bool GetRowResize() const { return m_rowResize; }
    void SetRowResize(bool on) { m_rowResize = on; }
    bool GetColumnResize() const { return m_columnResize; }
    void SetColumnResize(bool on) { m_columnResize = on; }
    bool GetHiddenRowUnhide() const { return m_rowUnhide; }
    void EnableHiddenRowUnhide(bool on) { m_rowUnhide = on; }
    bool GetHiddenColUnhide() const { return m_columnUnhide; }
    void EnableHiddenColUnhide(bool on) { m_columnUnhide = on; }
    bool GetRowHide() const { return m_rowHide; }
    void EnableRowHide(bool on) { m_rowHide = on; }
    bool GetColumnHide() const { return m_columnHide; }
    void EnableColumnHide(bool on) { m_columnHide = on; }
    bool GetTitleTips() const { return m_titleTips; }
    void EnableTitleTips(bool on) { m_titleTips = on; }

    // --- Selection and focus ---
    // Selects (or deselects) the range; when selecting, the previous selection goes unless it was kept with
    // KeepSelection (a Ctrl+click), which puts it back.
    bool SelectRange(const CGridCellRange& range, bool select = true);
    // Remembers the current selection so that the next selections add to it; Forget drops it.
    void KeepSelection();
    void ForgetKeptSelection() { m_kept.clear(); }
    void SelectAllCells();
    void ResetSelectedRange();
    // The smallest range holding every selected cell; all -1 when none.
    CGridCellRange GetSelectedCellRange() const;
    CGridCellId SetFocusCell(CGridCellId cell);
    CGridCellId GetFocusCell() const { return m_focus; }
    CGridCellId GetSelectionStart() const { return m_selectionStart; }
    void SetSelectionStart(CGridCellId cell) { m_selectionStart = cell; }

    // --- Sorting ---
    bool SortRowsByText(int column, bool ascending);
    bool SortRowsByData(int column, bool ascending, const DataCompare& compare);
    int GetSortColumn() const { return m_sortColumn; }
    bool GetSortAscending() const { return m_sortAscending; }
    void SetSortColumn(int column);

    // --- Text exchange ---
    // The selected cells as "\t"-separated fields and "\n"-separated lines (UTF-8, no final zero byte: the
    // clipboard carries the length). Empty when nothing is selected.
    std::string CopySelectionText() const;
    // Fields separated by "\t" or ",", lines by "\n" (a "\r" before it and blanks around fields are trimmed), placed
    // from `target` on over visible rows and columns; read-only cells are left alone. False when nothing can go.
    bool PasteText(CGridCellId target, std::string_view text);
    void ClearSelectedText();
    // Comma-separated text: row 0 as headings, one line per row.
    std::string ToText() const;
    // Replaces every cell with the text's: the first line gives the columns, every further line a row.
    bool FromText(std::string_view text);
    bool SaveText(const std::string& path) const;
    bool LoadText(const std::string& path);

protected:
    // The overridable cell factory; may throw std::bad_alloc.
    virtual std::unique_ptr<CGridCell> CreateCell(int row, int column);
    // Content, sizes or states changed: repaint (and re-lay out when `layout`).
    virtual void OnGridChanged(bool /*layout*/) {}
    // A notification to the owner (GVN_* / NM_* codes).
    virtual void OnNotify(int /*code*/, int /*row*/, int /*column*/) {}
    // Virtual mode: the cells of `range` are about to be read; all -1 when the pass is over.
    virtual void OnCacheHint(const CGridCellRange& /*range*/) {}
    // Virtual mode without a display callback: the owner's turn to fill the record.
    virtual void OnGetDispInfo(CGridItemInfo& item) { OnNotify(GVN_GETDISPINFO, item.row, item.col); }

private:
    void ReportOutOfMemory() const;
    std::vector<std::unique_ptr<CGridCell>> MakeRow(int row);
    void DestroyCell(int row, int column);
    void SetFixedBits(int row, int column, uint32_t bits, bool on);
    // A row's value in the sort column against the pivot cell's: negative, zero or positive.
    using RowCompare = std::function<int(int row, const CGridCell& pivot)>;
    bool SortRows(int column, bool ascending, const RowCompare& compare);
    bool SortRange(int column, int low, int high, const RowCompare& compare, bool ascending);
    CGridCell* VirtualCell(int row, int column) const;
    bool ResizeVirtual(std::vector<int>& sizes, int& count, int wanted, int size);

    int m_rows = 0;
    int m_columns = 0;
    int m_fixedRows = 0;
    int m_fixedColumns = 0;
    std::vector<int> m_rowHeights;
    std::vector<int> m_columnWidths;
    std::vector<std::vector<std::unique_ptr<CGridCell>>> m_cells;
    CGridDefaultCell m_defaults[4];  // normal, fixed column, fixed row, fixed corner

    // Keys are full (row, column) pairs, so large grids do not alias.
    std::set<std::pair<int, int>> m_selected;
    std::set<std::pair<int, int>> m_kept;
    CGridCellId m_focus;
    CGridCellId m_selectionStart;

    bool m_editable = true;
    bool m_modified = false;
    bool m_listMode = false;
    bool m_enableSelection = true;
    bool m_frameFocus = true;
    bool m_trackFocus = true;
    int m_autoSizeStyle = GVS_BOTH;
    int m_gridLines = GVL_BOTH;
    COLORREF m_gridLineColour = 0xC0C0C0;
    COLORREF m_gridBackColour = 0x808080;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
    bool m_singleRow = false;
    bool m_singleColumn = false;
    bool m_fixedRowSelection = true;
    bool m_fixedColumnSelection = true;
    bool m_sortOnClick = false;
    bool m_dragAndDrop = false;
    bool m_rowResize = true;
    bool m_columnResize = true;
    bool m_rowUnhide = true;
    bool m_columnUnhide = true;
    bool m_rowHide = true;
    bool m_columnHide = true;
    bool m_titleTips = true;

    CellFactory m_cellFactory = CellType<CGridCell>();
    std::vector<QImage> m_images;
    bool m_virtual = false;
    DisplayCallback m_callback;
    // The one cell a virtual-mode read fills; valid until the next read.
    mutable std::unique_ptr<CGridCell> m_virtualCell;
};

// Pagination of a printout: the first row of each page for rows of `heights` on pages `pageHeight` high. Every page
// holds at least one row, so a row taller than a page gets a page of its own (and is printed clipped to it).
std::vector<int> PageStarts(const std::vector<int>& heights, int pageHeight);

}  // namespace gridctrl
