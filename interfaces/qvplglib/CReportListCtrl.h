// The report list a plug-in view or the program shows in the document's report page: a table of rows and columns
// whose window text titles its tab. The host creates one more in the page's second tab control with the report style
// (id 100, grid lines and full-row select). Columns, rows and cells are the table's own (QTableWidget), so plug-ins
// may fill it through the table's API; the list-view calls below work on the same cells. UI thread only.
//
// Columns are addressed by index (the logical column, QHeaderView's logicalIndex); the header's display order maps
// to it through OrderToIndex / GetOrderArray. The column descriptions (tagColumnInfo) are kept by index too, so a
// description always names the column it was applied to, whatever the user did to the header order.
//
// Row data: each row carries one pointer-sized value (quintptr under Qt::UserRole of the row's first cell).
//
// Settings record (ReadSetting / WriteSetting), little-endian, field by field:
//   int32  record version, 1
//   int32  column count n, 0 .. kMaxColumns
//   n times:
//     int32  title length in bytes, 0 .. kMaxTitleBytes
//     bytes  title (UTF-8; a title that is not valid UTF-8 is decoded from CP949)
//     int32  width in pixels, 0 .. kMaxColumnWidth
//     int32  format (1 left)
//     int32  quantity mask (one quantity bit, -1 for the name column)
//   int32  order count: 0 (header in index order) or n
//   order count times: int32 index shown at that display position (a permutation of 0 .. n-1)
// A record that breaks any bound, ends early or holds a bad order leaves the list unchanged.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinTypes.h"

#include <QTableWidget>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Extended styles the host asks for.
constexpr DWORD LVS_EX_GRIDLINES = 0x00000001;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;
// Column formats.
constexpr int LVCFMT_LEFT = 0;

// One report column.
struct tagColumnInfo
{
    std::string title;  // UTF-8
    int width = 100;
    int format = 1;
    int mask = -1;  // one quantity bit, -1 for the name column

    bool operator==(const tagColumnInfo&) const = default;
};

class VISTREL_EXPORT CReportListCtrl : public QTableWidget
{
public:
    static constexpr int kMaxColumns = 256;
    static constexpr int kMaxTitleBytes = 256;
    static constexpr int kMaxColumnWidth = 10000;
    static constexpr int kSettingVersion = 1;

    explicit CReportListCtrl(QWidget* parent = nullptr);
    ~CReportListCtrl() override;

    // Puts the list into parent (a list built without one); always succeeds.
    bool Create(QWidget* parent);

    // The control id (the host's report list is 100); also its objectName "report<id>".
    void SetDlgCtrlID(UINT id);
    UINT GetDlgCtrlID() const { return m_id; }
    // Grid lines show the cell grid. Every report list selects whole rows whatever the style (full-row select only
    // changed how a row was highlighted); other bits are kept and ignored.
    void SetExtendedStyle(DWORD style);
    DWORD GetExtendedStyle() const { return m_extendedStyle; }
    // The title of the control's report tab (UTF-8).
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;

    // --- Overridables, in the order of their slots ---

    // Builds the list's own column set; the base has none.
    virtual void DefaultHeaderSetting() {}
    // Rebuilds the rows from whatever the list reports; the base keeps its rows.
    virtual void FillData() {}
    // Sorts by the column's texts (ascending when nonzero); a list that must keep its order overrides it.
    virtual void SortColumn(int column, int ascending);
    // Called after the header's order or a column's width changed through the user.
    virtual void HeaderModified() {}

    // Replaces the column descriptions and the columns by these (rows keep their cells by index).
    void ApplyHeaderInfo(const std::vector<tagColumnInfo>& columns);
    const std::vector<tagColumnInfo>& GetHeaderInfo() const { return m_columns; }

    // --- Columns ---
    int GetColumnCount() const { return columnCount(); }
    // Inserts a column before index (clamped to 0 .. count); returns its index.
    int InsertColumn(int index, const std::string& title, int format = LVCFMT_LEFT, int width = 100);
    bool DeleteColumn(int index);
    // Makes column `column` (adding empty columns up to it) carry this whole description.
    void SetColumn(int column, const std::string& title, int width, int format, int mask);
    // The quantity mask (-1 when unset: a name or plug-in column) and the format (1 when unset) of column index.
    int ColumnMask(int column) const;
    int ColumnFormat(int column) const;
    void DeleteAllColumns();
    // Title (at most kMaxTitleBytes bytes, cut at a character boundary) and width; false for no such column.
    bool GetColumn(int index, std::string* title, int* width) const;
    bool SetColumnWidth(int index, int width);
    // Display position -> index, and the indices in display order. OrderToIndex gives -1 outside the columns.
    int OrderToIndex(int order) const;
    int IndexToOrder(int index) const;
    std::vector<int> GetOrderArray() const;
    bool SetOrderArray(const std::vector<int>& order);

    // --- Rows ---
    int GetItemCount() const { return rowCount(); }
    // Inserts a row before row (clamped) with the text in column 0; returns its index.
    int InsertItem(int row, const std::string& text);
    bool SetItemText(int row, int column, const std::string& text);
    std::string GetItemText(int row, int column) const;
    bool SetItemData(int row, quintptr data);
    quintptr GetItemData(int row) const;
    void DeleteAllItems();
    bool DeleteItem(int row);

    // --- Selection and scrolling ---
    int GetSelectedCount() const;
    // Selected rows, ascending.
    std::vector<int> GetSelectedRows() const;
    // Adds the row to the selection or takes it out (the others stay as they are).
    bool SetItemSelected(int row, bool selected);
    bool IsItemSelected(int row) const;
    void EnsureVisible(int row);
    // Scroll bar positions (pixels) and a relative scroll by (cx, cy).
    int GetScrollPos(Qt::Orientation orientation) const;
    void Scroll(int dx, int dy);

    // --- Settings record (see the top of this file) ---
    // 1 when a whole record was read and applied; 0 leaves the list as it was.
    int ReadSetting(FILE* file);
    // 1 when the whole record was written.
    int WriteSetting(FILE* file) const;

private:
    QTableWidgetItem* CellForWrite(int row, int column);
    void OnSectionMoved();

    UINT m_id = 0;
    DWORD m_extendedStyle = 0;
    std::vector<tagColumnInfo> m_columns;
    bool m_applyingOrder = false;
};
