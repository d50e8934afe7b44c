// The grid control's cells, sizes, fixed rows and columns, selection, focus, sort and text exchange, without any
// widget: the control (GridCtrl.h) draws it and feeds it keys and clicks, and tests drive it directly.
//
// Storage: rows of owned cells; row heights and column widths in pixels. Every operation that changes size or
// content marks the grid modified, which also clears the sort indicator. The derived control learns of changes
// through the two hooks at the bottom. Running out of memory while growing is reported with the standard message and
// the operation returns false (never success).
#pragma once

#include "gridctrl/GridCell.h"

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gridctrl {

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
    bool IsCellFixed(int row, int column) const { return row < m_fixedRows || column < m_fixedColumns; }
    bool IsCellEditable(int row, int column) const;
    bool IsCellSelected(int row, int column) const;
    bool GetModified(int row = -1, int column = -1) const;
    void SetModified(bool modified = true, int row = -1, int column = -1);
    CGridCellId GetNextItem(CGridCellId start, int flags) const;

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

    // --- Selection and focus ---
    bool SelectRange(const CGridCellRange& range, bool select = true);
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

private:
    void ReportOutOfMemory() const;
    std::vector<std::unique_ptr<CGridCell>> MakeRow(int row);
    void DestroyCell(int row, int column);
    void SetFixedBits(int row, int column, uint32_t bits, bool on);
    bool SortRange(int column, bool ascending, int low, int high);

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
};

// Pagination of a printout: the first row of each page for rows of `heights` on pages `pageHeight` high. Every page
// holds at least one row, so a row taller than a page gets a page of its own (and is printed clipped to it).
std::vector<int> PageStarts(const std::vector<int>& heights, int pageHeight);

}  // namespace gridctrl
