// The report list a plug-in view shows in the document's report page: a table of rows and columns whose window text
// titles its tab. The host creates one more in the page's second tab control with the report style (id 100, grid
// lines and full-row select). Columns, rows and cells are the table's own (QTableWidget). UI thread only.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinTypes.h"

#include <QTableWidget>

#include <cstdio>
#include <string>

// Extended styles the host asks for.
constexpr DWORD LVS_EX_GRIDLINES = 0x00000001;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;

class VISTREL_EXPORT CReportListCtrl : public QTableWidget
{
public:
    explicit CReportListCtrl(QWidget* parent = nullptr);

    // The control id (the host's report list is 100); also its objectName "report<id>".
    void SetDlgCtrlID(UINT id);
    UINT GetDlgCtrlID() const { return m_id; }
    // Grid lines show the cell grid; full-row select selects whole rows. Other bits are kept and ignored.
    void SetExtendedStyle(DWORD style);
    DWORD GetExtendedStyle() const { return m_extendedStyle; }
    // The title of the control's report tab (UTF-8).
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;

    // Builds the list's own columns; a plain list has none.
    virtual void DefaultHeaderSetting() {}
    // Refills the rows from the list's source; a plain list keeps its rows.
    virtual void FillData() {}

    // One list's settings record: int32 column count (0..kMaxSettingColumns), then per column an int32 title
    // length (0..kMaxSettingTitle) with the UTF-8 title bytes, int32 width, int32 format and int32 quantity mask.
    // ReadSetting replaces the columns only when the whole record was read and sound; false leaves the list as it
    // was (the stream position is then undefined).
    static constexpr int kMaxSettingColumns = 256;
    static constexpr int kMaxSettingTitle = 256;
    bool ReadSetting(FILE* file);
    bool WriteSetting(FILE* file) const;
    // The quantity mask and format of a column (header item data), -1 and 1 when unset.
    int ColumnMask(int column) const;
    int ColumnFormat(int column) const;
    void SetColumn(int column, const std::string& title, int width, int format, int mask);

private:
    UINT m_id = 0;
    DWORD m_extendedStyle = 0;
};
