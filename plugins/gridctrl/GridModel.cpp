#include "gridctrl/GridModel.h"

#include "gridctrl/GridStrings.h"
#include "ui/MessageBox.h"
#include "inifile/FileBytes.h"
#include "gdi/CMeasureDC.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace gridctrl {

namespace {

constexpr int kNormal = 0, kFixedColumn = 1, kFixedRow = 2, kFixedCorner = 3;

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Splits at any of `separators`; a text without separators is one field.
std::vector<std::string_view> Split(std::string_view text, std::string_view separators)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find_first_of(separators, start);
        fields.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos)
            return fields;
        start = at + 1;
    }
}

// The fields of `item` its mask names, in the record's order.
void ApplyItem(CGridCell& cell, const CGridItemInfo& item)
{
    if (item.mask & GVIF_TEXT)
        cell.SetText(item.text);
    if (item.mask & GVIF_PARAM)
        cell.SetData(item.data);
    if (item.mask & GVIF_IMAGE)
        cell.SetImage(item.image);
    if (item.mask & GVIF_STATE)
        cell.SetState(item.state);
    if (item.mask & GVIF_FORMAT)
        cell.SetFormat(item.format);
    if (item.mask & GVIF_BKCLR)
        cell.SetBackColor(item.backColour);
    if (item.mask & GVIF_FGCLR)
        cell.SetTextColor(item.textColour);
    if (item.mask & GVIF_FONT)
        cell.SetFont(&item.font);
    if (item.mask & GVIF_MARGIN)
        cell.SetMargin(item.margin);
}

}  // namespace

CGridModel::CGridModel(int rows, int columns, int fixedRows, int fixedColumns)
{
    for (CGridDefaultCell& cell : m_defaults)
        cell.SetGrid(this);
    m_defaults[kNormal].SetTextColor(RGB(0, 0, 0));
    m_defaults[kNormal].SetBackColor(RGB(255, 255, 255));
    for (int i : {kFixedColumn, kFixedRow, kFixedCorner}) {
        m_defaults[i].SetTextColor(RGB(0, 0, 0));
        m_defaults[i].SetBackColor(RGB(240, 240, 240));
    }
    SetRowCount(rows);
    SetColumnCount(columns);
    SetFixedRowCount(fixedRows);
    SetFixedColumnCount(fixedColumns);
}

CGridModel::~CGridModel() = default;

const CGridDefaultCell& CGridModel::GetDefaultCell(bool fixedRow, bool fixedColumn) const
{
    return m_defaults[fixedRow && fixedColumn ? kFixedCorner : fixedRow ? kFixedRow : fixedColumn ? kFixedColumn : kNormal];
}

CGridDefaultCell& CGridModel::GetDefaultCell(bool fixedRow, bool fixedColumn)
{
    return const_cast<CGridDefaultCell&>(std::as_const(*this).GetDefaultCell(fixedRow, fixedColumn));
}

void CGridModel::ReportOutOfMemory() const
{
    AfxMessageBox(GridString(IDS_GRID_OUT_OF_MEMORY), MB_OK | MB_ICONERROR);
}

std::unique_ptr<CGridCell> CGridModel::CreateCell(int row, int column)
{
    std::unique_ptr<CGridCell> cell = m_cellFactory();
    if (!cell)
        cell = std::make_unique<CGridCell>();  // a factory that makes nothing still leaves no hole in the grid
    cell->SetGrid(this);
    uint32_t state = 0;
    if (column < m_fixedColumns)
        state |= GVIS_FIXED | GVIS_FIXEDCOL;
    if (row < m_fixedRows)
        state |= GVIS_FIXED | GVIS_FIXEDROW;
    cell->SetState(state);
    cell->SetFormat(cell->GetDefaultCell()->GetFormat());
    return cell;
}

std::vector<std::unique_ptr<CGridCell>> CGridModel::MakeRow(int row)
{
    std::vector<std::unique_ptr<CGridCell>> cells;
    cells.reserve(static_cast<size_t>(m_columns));
    for (int c = 0; c < m_columns; ++c)
        cells.push_back(CreateCell(row, c));
    return cells;
}

bool CGridModel::SetDefaultCellType(CellFactory factory)
{
    if (!factory)
        return false;
    m_cellFactory = std::move(factory);
    return true;
}

bool CGridModel::SetCellType(int row, int column, const CellFactory& factory)
{
    if (m_virtual || !factory || !IsValid(row, column))
        return false;
    std::unique_ptr<CGridCell> cell;
    try {
        cell = factory();
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return false;
    }
    if (!cell)
        return false;
    auto& slot = m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)];
    cell->Assign(*slot);
    cell->SetGrid(this);
    slot = std::move(cell);
    OnGridChanged(false);
    return true;
}

void CGridModel::SetVirtualMode(bool on)
{
    DeleteAllItems();
    m_virtual = on;
    if (on) {
        m_editable = false;
        m_sortOnClick = false;
        m_fixedRowSelection = false;
        m_fixedColumnSelection = false;
        m_autoSizeStyle = GVS_HEADER;
    }
}

CGridCell* CGridModel::VirtualCell(int row, int column) const
{
    CGridItemInfo item;
    item.row = row;
    item.col = column;
    item.mask = 0x1FF;
    const bool fixedRow = row < m_fixedRows, fixedColumn = column < m_fixedColumns;
    const CGridDefaultCell& fallback = GetDefaultCell(fixedRow, fixedColumn);
    item.image = fallback.GetImage();
    item.data = fallback.GetData();
    item.format = fallback.GetFormat();
    item.textColour = fallback.GetTextColor();
    item.backColour = fallback.GetBackColor();
    if (const LOGFONTA* font = fallback.GetFont())
        item.font = *font;
    item.margin = fallback.GetMargin();
    item.state = 0;
    if (m_enableSelection && m_selected.count({row, column}))
        item.state |= GVIS_SELECTED;
    if (fixedRow)
        item.state |= GVIS_FIXED | GVIS_FIXEDROW;
    if (fixedColumn)
        item.state |= GVIS_FIXED | GVIS_FIXEDCOL;
    if (m_focus == CGridCellId{row, column})
        item.state |= GVIS_FOCUSED;
    if (m_callback)
        m_callback(item);
    else
        const_cast<CGridModel*>(this)->OnGetDispInfo(item);
    if (!m_virtualCell)
        m_virtualCell = std::make_unique<CGridCell>();
    CGridCell& cell = *m_virtualCell;
    cell.Reset();
    cell.SetGrid(this);
    const LOGFONTA none{};
    if (std::memcmp(&item.font, &none, sizeof none) == 0)
        item.mask &= ~GVIF_FONT;  // no font given: the default cell's applies
    ApplyItem(cell, item);
    return &cell;
}

void CGridModel::DestroyCell(int row, int column)
{
    SetItemState(row, column, 0);
    m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)].reset();
}

bool CGridModel::ResizeVirtual(std::vector<int>& sizes, int& count, int wanted, int size)
{
    // Only sizes are kept; the cells come from the callback.
    try {
        sizes.resize(static_cast<size_t>(wanted), size);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return false;
    }
    count = wanted;
    SetModified();
    OnGridChanged(true);
    return true;
}

bool CGridModel::SetRowCount(int rows)
{
    if (rows < 0)
        return false;
    if (rows == m_rows)
        return true;
    if (rows < m_fixedRows)
        m_fixedRows = rows;
    if (m_focus.row >= rows)
        SetFocusCell({});
    if (m_virtual)
        return ResizeVirtual(m_rowHeights, m_rows, rows, m_defaults[kNormal].GetHeight());
    if (rows < m_rows) {
        for (int r = rows; r < m_rows; ++r)
            for (int c = 0; c < m_columns; ++c)
                DestroyCell(r, c);
        m_cells.resize(static_cast<size_t>(rows));
        m_rowHeights.resize(static_cast<size_t>(rows));
        m_rows = rows;
    }
    bool grown = true;
    try {
        const int height = m_defaults[kNormal].GetHeight();
        while (m_rows < rows) {
            auto row = MakeRow(m_rows);
            m_rowHeights.push_back(height);
            m_cells.push_back(std::move(row));
            ++m_rows;
        }
    } catch (const std::bad_alloc&) {
        // The rows made so far stay; the caller learns that the count was not reached.
        m_rowHeights.resize(static_cast<size_t>(m_rows));
        ReportOutOfMemory();
        grown = false;
    }
    SetModified();
    OnGridChanged(true);
    return grown;
}

bool CGridModel::SetColumnCount(int columns)
{
    if (columns < 0)
        return false;
    if (columns == m_columns)
        return true;
    if (columns < m_fixedColumns)
        m_fixedColumns = columns;
    if (m_focus.col >= columns)
        SetFocusCell({});
    if (m_virtual)
        return ResizeVirtual(m_columnWidths, m_columns, columns, m_defaults[kFixedColumn].GetWidth());
    if (columns < m_columns) {
        for (int r = 0; r < m_rows; ++r) {
            for (int c = columns; c < m_columns; ++c)
                DestroyCell(r, c);
            m_cells[static_cast<size_t>(r)].resize(static_cast<size_t>(columns));
        }
        m_columnWidths.resize(static_cast<size_t>(columns));
        m_columns = columns;
    }
    bool grown = true;
    try {
        const int width = m_defaults[kFixedColumn].GetWidth();
        while (m_columns < columns) {
            // Make the whole column first so that a failure leaves every row as long as the count says.
            std::vector<std::unique_ptr<CGridCell>> column;
            column.reserve(static_cast<size_t>(m_rows));
            for (int r = 0; r < m_rows; ++r)
                column.push_back(CreateCell(r, m_columns));
            m_columnWidths.reserve(m_columnWidths.size() + 1);
            for (auto& row : m_cells)
                row.reserve(row.size() + 1);
            for (int r = 0; r < m_rows; ++r)
                m_cells[static_cast<size_t>(r)].push_back(std::move(column[static_cast<size_t>(r)]));
            m_columnWidths.push_back(width);
            ++m_columns;
        }
    } catch (const std::bad_alloc&) {
        for (auto& row : m_cells)
            row.resize(static_cast<size_t>(m_columns));
        ReportOutOfMemory();
        grown = false;
    }
    SetModified();
    OnGridChanged(true);
    return grown;
}

void CGridModel::SetFixedBits(int row, int column, uint32_t bits, bool on)
{
    if (m_virtual)
        return;  // the callback's cells take their fixed bits from the counts
    CGridCell* cell = GetCell(row, column);
    if (!cell)
        return;
    cell->SetState(on ? cell->GetState() | bits : cell->GetState() & ~bits);
    if (bits & GVIS_FIXED) {
        cell->SetBackColor(CLR_DEFAULT);
        cell->SetTextColor(CLR_DEFAULT);
    }
}

bool CGridModel::SetFixedRowCount(int fixedRows)
{
    if (fixedRows < 0)
        return false;
    if (fixedRows == m_fixedRows)
        return true;
    ResetSelectedRange();
    if (fixedRows > m_rows && !SetRowCount(fixedRows))
        return false;
    for (int r = std::min(fixedRows, m_fixedRows); r < std::max(fixedRows, m_fixedRows); ++r)
        for (int c = 0; c < m_columns; ++c) {
            if (fixedRows > m_fixedRows)
                SetFixedBits(r, c, GVIS_FIXED | GVIS_FIXEDROW, true);
            else if (c < m_fixedColumns)
                SetFixedBits(r, c, GVIS_FIXEDROW, false);
            else
                SetFixedBits(r, c, GVIS_FIXED | GVIS_FIXEDROW, false);
        }
    m_fixedRows = fixedRows;
    OnGridChanged(true);
    return true;
}

bool CGridModel::SetFixedColumnCount(int fixedColumns)
{
    if (fixedColumns < 0)
        return false;
    if (fixedColumns == m_fixedColumns)
        return true;
    ResetSelectedRange();
    if (fixedColumns > m_columns && !SetColumnCount(fixedColumns))
        return false;
    for (int r = 0; r < m_rows; ++r)
        for (int c = std::min(fixedColumns, m_fixedColumns); c < std::max(fixedColumns, m_fixedColumns); ++c) {
            if (fixedColumns > m_fixedColumns)
                SetFixedBits(r, c, GVIS_FIXED | GVIS_FIXEDCOL, true);
            else if (r < m_fixedRows)
                SetFixedBits(r, c, GVIS_FIXEDCOL, false);
            else
                SetFixedBits(r, c, GVIS_FIXED | GVIS_FIXEDCOL, false);
        }
    m_fixedColumns = fixedColumns;
    OnGridChanged(true);
    return true;
}

int CGridModel::GetRowHeight(int row) const
{
    return row >= 0 && row < m_rows ? m_rowHeights[static_cast<size_t>(row)] : -1;
}

int CGridModel::GetColumnWidth(int column) const
{
    return column >= 0 && column < m_columns ? m_columnWidths[static_cast<size_t>(column)] : -1;
}

bool CGridModel::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= m_rows || height < 0)
        return false;
    m_rowHeights[static_cast<size_t>(row)] = height;
    OnGridChanged(true);
    return true;
}

bool CGridModel::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= m_columns || width < 0)
        return false;
    m_columnWidths[static_cast<size_t>(column)] = width;
    OnGridChanged(true);
    return true;
}

int CGridModel::GetFixedRowHeight() const
{
    int sum = 0;
    for (int r = 0; r < m_fixedRows; ++r)
        sum += GetRowHeight(r);
    return sum;
}

int CGridModel::GetFixedColumnWidth() const
{
    int sum = 0;
    for (int c = 0; c < m_fixedColumns; ++c)
        sum += GetColumnWidth(c);
    return sum;
}

int CGridModel::GetVirtualHeight() const
{
    int sum = 0;
    for (int h : m_rowHeights)
        sum += h;
    return sum;
}

int CGridModel::GetVirtualWidth() const
{
    int sum = 0;
    for (int w : m_columnWidths)
        sum += w;
    return sum;
}

SIZE CGridModel::GetTextExtent(int row, int column, const std::string& text) const
{
    const CGridCell* cell = GetCell(row, column);
    return cell ? cell->GetTextExtent(text, CMeasureDC::ThisThread()) : SIZE{0, 0};
}

void CGridModel::AutoSizeColumn(int column, int style)
{
    if (GetColumnWidth(column) <= 0)
        return;
    if (style == 0)
        style = m_autoSizeStyle;
    CMeasureDC& dc = CMeasureDC::ThisThread();
    if (m_virtual)
        OnCacheHint({0, column, m_rows - 1, column});
    int width = 0;
    for (int r = 0; r < m_rows; ++r) {
        if (!(style & (r < m_fixedRows ? GVS_HEADER : GVS_DATA)))
            continue;
        if (const CGridCell* cell = GetCell(r, column))
            width = std::max<int>(width, cell->GetCellExtent(dc).cx);
    }
    if (m_virtual)
        OnCacheHint({});
    SetColumnWidth(column, width);
}

void CGridModel::AutoSizeRow(int row)
{
    if (GetRowHeight(row) <= 0)
        return;
    CMeasureDC& dc = CMeasureDC::ThisThread();
    int height = 0;
    for (int c = 0; c < m_columns; ++c)
        if (const CGridCell* cell = GetCell(row, c))
            height = std::max<int>(height, cell->GetCellExtent(dc).cy);
    SetRowHeight(row, height);
}

void CGridModel::AutoSizeColumns(int style)
{
    for (int c = 0; c < m_columns; ++c)
        AutoSizeColumn(c, style);
}

void CGridModel::AutoSize(int style)
{
    if (style == 0)
        style = m_autoSizeStyle;
    const auto counts = [&](int row) { return (style & (row < m_fixedRows ? GVS_HEADER : GVS_DATA)) != 0; };
    std::vector<int> widths(m_columnWidths.size(), 0), heights(m_rowHeights.size(), 0);
    CMeasureDC& dc = CMeasureDC::ThisThread();
    for (int r = 0; r < m_rows; ++r) {
        const bool hiddenRow = GetRowHeight(r) == 0;
        heights[static_cast<size_t>(r)] = hiddenRow ? 0 : counts(r) ? 1 : GetRowHeight(r);
        if (hiddenRow || !counts(r))
            continue;
        for (int c = 0; c < m_columns; ++c) {
            if (GetColumnWidth(c) == 0)
                continue;
            if (const CGridCell* cell = GetCell(r, c)) {
                const SIZE size = cell->GetCellExtent(dc);
                widths[static_cast<size_t>(c)] = std::max<int>(widths[static_cast<size_t>(c)], size.cx);
                heights[static_cast<size_t>(r)] = std::max<int>(heights[static_cast<size_t>(r)], size.cy);
            }
        }
    }
    m_columnWidths = std::move(widths);
    m_rowHeights = std::move(heights);
    OnGridChanged(true);
}

int CGridModel::InsertColumn(const std::string& heading, uint32_t format, int position)
{
    if (position != -1 && (position < m_fixedColumns || position > m_columns))
        return -1;
    if (position == -1)
        position = m_columns;
    if (m_virtual)
        return -1;
    ResetSelectedRange();
    if (m_rows == 0 && !SetRowCount(1))
        return -1;
    try {
        std::vector<std::unique_ptr<CGridCell>> column;
        for (int r = 0; r < m_rows; ++r)
            column.push_back(CreateCell(r, position));
        m_columnWidths.insert(m_columnWidths.begin() + position, m_defaults[kNormal].GetWidth());
        for (int r = 0; r < m_rows; ++r) {
            auto& row = m_cells[static_cast<size_t>(r)];
            row.insert(row.begin() + position, std::move(column[static_cast<size_t>(r)]));
        }
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return -1;
    }
    ++m_columns;
    SetItemText(0, position, heading);
    for (int r = 0; r < m_rows; ++r)
        GetCell(r, position)->SetFormat(format);
    // As wide as its heading.
    m_columnWidths[static_cast<size_t>(position)] = static_cast<int>(GetTextExtent(0, position, heading).cx);
    SetModified();
    OnGridChanged(true);
    return position;
}

int CGridModel::InsertRow(const std::string& heading, int position)
{
    if (position != -1 && (position < m_fixedRows || position > m_rows))
        return -1;
    if (position == -1)
        position = m_rows;
    if (m_virtual)
        return -1;
    ResetSelectedRange();
    if (m_columns == 0 && !SetColumnCount(1))
        return -1;
    try {
        auto row = MakeRow(position);
        m_cells.insert(m_cells.begin() + position, std::move(row));
        m_rowHeights.insert(m_rowHeights.begin() + position, m_defaults[kFixedRow].GetHeight());
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return -1;
    }
    ++m_rows;
    SetItemText(position, 0, heading);
    // As high as its heading; a row without one takes the headings' default height.
    if (!heading.empty())
        m_rowHeights[static_cast<size_t>(position)] = static_cast<int>(GetTextExtent(position, 0, heading).cy);
    SetModified();
    OnGridChanged(true);
    return position;
}

bool CGridModel::DeleteColumn(int column)
{
    if (column < 0 || column >= m_columns)
        return false;
    ResetSelectedRange();
    for (int r = 0; r < m_rows && !m_virtual; ++r) {
        DestroyCell(r, column);
        auto& row = m_cells[static_cast<size_t>(r)];
        row.erase(row.begin() + column);
    }
    m_columnWidths.erase(m_columnWidths.begin() + column);
    --m_columns;
    if (column < m_fixedColumns)
        --m_fixedColumns;
    SetModified();
    OnGridChanged(true);
    return true;
}

bool CGridModel::DeleteRow(int row)
{
    if (row < 0 || row >= m_rows)
        return false;
    ResetSelectedRange();
    if (!m_virtual) {
        for (int c = 0; c < m_columns; ++c)
            DestroyCell(row, c);
        m_cells.erase(m_cells.begin() + row);
    }
    m_rowHeights.erase(m_rowHeights.begin() + row);
    --m_rows;
    if (row < m_fixedRows)
        --m_fixedRows;
    SetModified();
    OnGridChanged(true);
    return true;
}

void CGridModel::DeleteNonFixedRows()
{
    ResetSelectedRange();
    for (int r = m_rows - 1; r >= m_fixedRows; --r)
        DeleteRow(r);
}

void CGridModel::DeleteAllItems()
{
    ResetSelectedRange();
    m_selected.clear();
    m_cells.clear();
    m_rowHeights.clear();
    m_columnWidths.clear();
    m_focus = {};
    m_rows = m_columns = m_fixedRows = m_fixedColumns = 0;
    SetModified();
    OnGridChanged(true);
}

CGridCell* CGridModel::GetCell(int row, int column) const
{
    if (!IsValid(row, column))
        return nullptr;
    if (m_virtual)
        return VirtualCell(row, column);
    return m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)].get();
}

bool CGridModel::IsValid(const CGridCellRange& range) const
{
    return range.minRow >= 0 && range.minCol >= 0 && range.maxRow >= 0 && range.maxCol >= 0 &&
           range.maxRow < m_rows && range.maxCol < m_columns && range.minRow <= range.maxRow &&
           range.minCol <= range.maxCol;
}

bool CGridModel::GetItem(CGridItemInfo& item) const
{
    const CGridCell* cell = GetCell(item.row, item.col);
    if (!cell)
        return false;
    if (item.mask & GVIF_TEXT)
        item.text = cell->GetText();
    if (item.mask & GVIF_PARAM)
        item.data = cell->GetData();
    if (item.mask & GVIF_IMAGE)
        item.image = cell->GetImage();
    if (item.mask & GVIF_STATE)
        item.state = cell->GetState();
    if (item.mask & GVIF_FORMAT)
        item.format = cell->GetFormat();
    if (item.mask & GVIF_BKCLR)
        item.backColour = cell->GetBackColor();
    if (item.mask & GVIF_FGCLR)
        item.textColour = cell->GetTextColor();
    if (item.mask & GVIF_FONT) {
        const LOGFONTA* font = cell->GetFont();
        item.font = font ? *font : LOGFONTA{};
    }
    if (item.mask & GVIF_MARGIN)
        item.margin = cell->GetMargin();
    return true;
}

bool CGridModel::SetItem(const CGridItemInfo& item)
{
    CGridCell* cell = m_virtual ? nullptr : GetCell(item.row, item.col);
    if (!cell)
        return false;
    SetModified(true, item.row, item.col);
    ApplyItem(*cell, item);
    OnGridChanged(false);
    return true;
}

std::string CGridModel::GetItemText(int row, int column) const
{
    const CGridCell* cell = GetCell(row, column);
    return cell ? cell->GetText() : std::string();
}

bool CGridModel::SetItemText(int row, int column, std::string text)
{
    CGridCell* cell = m_virtual ? nullptr : GetCell(row, column);
    if (!cell)
        return false;
    cell->SetText(std::move(text));
    SetModified(true, row, column);
    OnGridChanged(false);
    return true;
}

bool CGridModel::SetItemData(int row, int column, intptr_t data)
{
    CGridCell* cell = m_virtual ? nullptr : GetCell(row, column);
    if (!cell)
        return false;
    cell->SetData(data);
    SetModified(true, row, column);
    return true;
}

intptr_t CGridModel::GetItemData(int row, int column) const
{
    const CGridCell* cell = GetCell(row, column);
    return cell ? cell->GetData() : 0;
}

bool CGridModel::SetItemState(int row, int column, uint32_t state)
{
    const std::pair key{row, column};
    if (m_virtual) {
        // Only the selection is kept for cells that are not stored.
        if (!IsValid(row, column))
            return false;
        if (state & GVIS_SELECTED)
            m_selected.insert(key);
        else
            m_selected.erase(key);
        return false;
    }
    CGridCell* cell = GetCell(row, column);
    if (!cell)
        return false;
    if (cell->IsSelected() && !(state & GVIS_SELECTED))
        m_selected.erase(key);
    else if (!cell->IsSelected() && (state & GVIS_SELECTED))
        m_selected.insert(key);
    cell->SetState(state);
    return true;
}

uint32_t CGridModel::GetItemState(int row, int column) const
{
    if (m_virtual && IsValid(row, column)) {
        // The control's own part of the state, without asking the callback.
        uint32_t state = IsCellSelected(row, column) ? GVIS_SELECTED : 0;
        if (row < m_fixedRows)
            state |= GVIS_FIXED | GVIS_FIXEDROW;
        if (column < m_fixedColumns)
            state |= GVIS_FIXED | GVIS_FIXEDCOL;
        if (m_focus == CGridCellId{row, column})
            state |= GVIS_FOCUSED;
        return state;
    }
    const CGridCell* cell = GetCell(row, column);
    return cell ? cell->GetState() : 0;
}

bool CGridModel::SetItemFormat(int row, int column, uint32_t format)
{
    CGridCell* cell = m_virtual ? nullptr : GetCell(row, column);
    if (!cell)
        return false;
    cell->SetFormat(format);
    return true;
}

uint32_t CGridModel::GetItemFormat(int row, int column) const
{
    const CGridCell* cell = GetCell(row, column);
    return cell ? cell->GetFormat() : 0;
}

bool CGridModel::SetItemBkColour(int row, int column, COLORREF colour)
{
    CGridCell* cell = m_virtual ? nullptr : GetCell(row, column);
    if (!cell)
        return false;
    cell->SetBackColor(colour);
    return true;
}

bool CGridModel::SetItemFgColour(int row, int column, COLORREF colour)
{
    CGridCell* cell = m_virtual ? nullptr : GetCell(row, column);
    if (!cell)
        return false;
    cell->SetTextColor(colour);
    return true;
}

COLORREF CGridModel::GetItemBkColour(int row, int column) const
{
    const CGridCell* cell = GetCell(row, column);
    return cell ? cell->GetBackColor() : CLR_DEFAULT;
}

COLORREF CGridModel::GetItemFgColour(int row, int column) const
{
    const CGridCell* cell = GetCell(row, column);
    return cell ? cell->GetTextColor() : CLR_DEFAULT;
}

bool CGridModel::SetItemImage(int row, int column, int image)
{
    CGridCell* cell = m_virtual ? nullptr : GetCell(row, column);
    if (!cell)
        return false;
    cell->SetImage(image);
    SetModified(true, row, column);
    OnGridChanged(false);
    return true;
}

int CGridModel::GetItemImage(int row, int column) const
{
    const CGridCell* cell = GetCell(row, column);
    return cell ? cell->GetImage() : -1;
}

bool CGridModel::SetItemFont(int row, int column, const LOGFONTA* font)
{
    CGridCell* cell = m_virtual ? nullptr : GetCell(row, column);
    if (!cell)
        return false;
    cell->SetFont(font);
    OnGridChanged(false);
    return true;
}

const LOGFONTA* CGridModel::GetItemFont(int row, int column) const
{
    if (const CGridCell* cell = GetCell(row, column))
        return cell->GetFont();
    return GetDefaultCell(row >= 0 && row < m_fixedRows, column >= 0 && column < m_fixedColumns).GetFont();
}

bool CGridModel::IsCellEditable(int row, int column) const
{
    const CGridCell* cell = GetCell(row, column);
    return m_editable && cell && !cell->IsReadOnly();
}

bool CGridModel::IsCellSelected(int row, int column) const
{
    if (m_virtual)
        return m_enableSelection && m_selected.count({row, column}) > 0;
    const CGridCell* cell = GetCell(row, column);
    return m_enableSelection && cell && cell->IsSelected();
}

bool CGridModel::GetModified(int row, int column) const
{
    if (row > 0 && column > 0) {
        const CGridCell* cell = GetCell(row, column);
        return cell && cell->IsModified();
    }
    return m_modified;
}

void CGridModel::SetModified(bool modified, int row, int column)
{
    if (column < 0 || column == m_sortColumn)
        SetSortColumn(-1);
    if (row < 1 || column < 1) {
        m_modified = modified;
    } else if (CGridCell* cell = GetCell(row, column)) {
        cell->SetState(modified ? cell->GetState() | GVIS_MODIFIED : cell->GetState() & ~GVIS_MODIFIED);
        if (modified)
            m_modified = true;
    }
    if (!m_modified)
        for (auto& cells : m_cells)
            for (auto& cell : cells)
                if (cell)
                    cell->SetState(cell->GetState() & ~GVIS_MODIFIED);
}

CGridCellId CGridModel::GetNextItem(CGridCellId start, int flags) const
{
    const auto matches = [&](int row, int column) {
        const CGridCell* cell = GetCell(row, column);
        if (!cell)
            return false;
        uint32_t wanted = static_cast<uint32_t>(flags & 0x1F);
        if (flags & GVNI_MODIFIED)
            wanted |= GVIS_MODIFIED;
        return (cell->GetState() & wanted) != 0;
    };
    const int direction = flags & 0xF00;
    if (direction == GVNI_ALL || direction == GVNI_AREA) {
        const int firstRow = start.row < 1 ? m_fixedRows : start.row;
        for (int r = firstRow; r < m_rows; ++r) {
            int firstColumn = m_fixedColumns;
            if (direction == GVNI_AREA)
                firstColumn = start.col < 0 ? m_fixedColumns : start.col + 1;
            else if (r == firstRow)
                firstColumn = start.col + 1 < 1 ? m_fixedColumns : start.col + 1;
            for (int c = std::max(firstColumn, m_fixedColumns); c < m_columns; ++c)
                if (matches(r, c))
                    return {r, c};
        }
        return {};
    }
    const int dr = direction == GVNI_ABOVE ? -1 : direction == GVNI_BELOW ? 1 : 0;
    const int dc = direction == GVNI_TOLEFT ? -1 : direction == GVNI_TORIGHT ? 1 : 0;
    if (dr == 0 && dc == 0)
        return {};
    for (int r = start.row + dr, c = start.col + dc; r >= m_fixedRows && r < m_rows && c >= m_fixedColumns &&
                                                     c < m_columns;
         r += dr, c += dc)
        if (matches(r, c))
            return {r, c};
    return {};
}

void CGridModel::SetGridLines(int lines)
{
    m_gridLines = lines;
    OnGridChanged(false);
}

void CGridModel::SetListMode(bool on)
{
    ResetSelectedRange();
    SetSortColumn(-1);
    m_listMode = on;
    OnGridChanged(false);
}

bool CGridModel::SelectRange(const CGridCellRange& requested, bool select)
{
    if (!m_enableSelection)
        return false;
    CGridCellRange range = requested;
    if (range.minRow >= 0)
        range.minRow = std::max(range.minRow, m_fixedRows);
    if (range.minCol >= 0)
        range.minCol = std::max(range.minCol, m_fixedColumns);
    if (range.maxRow >= 0)
        range.maxRow = std::max(range.maxRow, m_fixedRows);
    if (range.maxCol >= 0)
        range.maxCol = std::max(range.maxCol, m_fixedColumns);
    if (select) {
        for (const auto& [r, c] : std::set<std::pair<int, int>>(m_selected))
            SetItemState(r, c, GetItemState(r, c) & ~GVIS_SELECTED);
        m_selected.clear();
        // A Ctrl+click keeps what was selected before it.
        const bool allGiven = range.minRow >= 0 && range.minCol >= 0 && range.maxRow >= 0 && range.maxCol >= 0;
        if (!(m_listMode && m_singleRow) && allGiven)
            for (const auto& [r, c] : m_kept)
                if (IsValid(r, c))
                    SetItemState(r, c, GetItemState(r, c) | GVIS_SELECTED);
    }
    if (IsValid(range))
        for (int r = range.minRow; r <= range.maxRow; ++r)
            for (int c = range.minCol; c <= range.maxCol; ++c) {
                const uint32_t state = GetItemState(r, c);
                SetItemState(r, c, select ? state | GVIS_SELECTED : state & ~GVIS_SELECTED);
            }
    OnGridChanged(false);
    return true;
}

void CGridModel::SelectAllCells()
{
    if (m_enableSelection)
        SelectRange({m_fixedRows, m_fixedColumns, m_rows - 1, m_columns - 1});
}

void CGridModel::KeepSelection()
{
    m_kept = m_selected;
}

void CGridModel::ResetSelectedRange()
{
    m_kept.clear();
    SelectRange({}, true);
    SetFocusCell({});
}

CGridCellRange CGridModel::GetSelectedCellRange() const
{
    if (m_selected.empty())
        return {};
    CGridCellRange range{m_rows, m_columns, 0, 0};
    for (const auto& [r, c] : m_selected) {
        range.minRow = std::min(range.minRow, r);
        range.minCol = std::min(range.minCol, c);
        range.maxRow = std::max(range.maxRow, r);
        range.maxCol = std::max(range.maxCol, c);
    }
    return range;
}

CGridCellId CGridModel::SetFocusCell(CGridCellId cell)
{
    const CGridCellId previous = m_focus;
    if (cell == m_focus)
        return previous;
    if (cell.row != -1)
        cell.row = std::max(cell.row, m_fixedRows);
    if (cell.col != -1)
        cell.col = std::max(cell.col, m_fixedColumns);
    if (CGridCell* old = GetCell(m_focus.row, m_focus.col)) {
        OnNotify(GVN_ITEMCHANGING, m_focus.row, m_focus.col);
        old->SetState(old->GetState() & ~GVIS_FOCUSED);
    }
    m_focus = cell;
    if (CGridCell* now = GetCell(cell.row, cell.col)) {
        now->SetState(now->GetState() | GVIS_FOCUSED);
        OnNotify(GVN_ITEMCHANGED, cell.row, cell.col);
    }
    OnGridChanged(false);
    return previous;
}

void CGridModel::SetSortColumn(int column)
{
    if (m_sortColumn == column)
        return;
    m_sortColumn = column;
    OnGridChanged(false);
}

bool CGridModel::SortRowsByText(int column, bool ascending)
{
    // Byte-wise, case-sensitive: "B" sorts before "a".
    return SortRows(column, ascending, [&](int row, const CGridCell& pivot) {
        return std::strcmp(GetItemText(row, column).c_str(), pivot.GetText().c_str());
    });
}

bool CGridModel::SortRowsByData(int column, bool ascending, const DataCompare& compare)
{
    if (!compare)
        return false;
    return SortRows(column, ascending,
                    [&](int row, const CGridCell& pivot) { return compare(GetItemData(row, column), pivot.GetData()); });
}

bool CGridModel::SortRows(int column, bool ascending, const RowCompare& compare)
{
    if (column < 0 || column >= m_columns || m_virtual)
        return false;
    SetSortColumn(column);
    m_sortAscending = ascending;
    ResetSelectedRange();
    const bool sorted = SortRange(column, m_fixedRows, m_rows - 1, compare, ascending);
    // Row heights moved with their rows: the layout changed.
    OnGridChanged(true);
    return sorted;
}

bool CGridModel::SortRange(int column, int low, int high, const RowCompare& compare, bool ascending)
{
    // The quicksort of the grid: equal values are never exchanged, so the order of equal rows is not kept. The
    // pivot is a copy, since its row may move during the pass.
    if (low >= high)
        return false;
    CGridCell pivot;
    pivot.Assign(*GetCell((low + high) / 2, column));
    const auto order = [&](int row) {
        const int value = compare(row, pivot);
        return ascending ? value : -value;
    };
    int lo = low, hi = high;
    while (lo <= hi) {
        while (lo < high && order(lo) < 0)
            ++lo;
        while (hi > low && order(hi) > 0)
            --hi;
        if (lo <= hi) {
            if (compare(lo, *GetCell(hi, column)) != 0) {
                std::swap(m_cells[static_cast<size_t>(lo)], m_cells[static_cast<size_t>(hi)]);
                std::swap(m_rowHeights[static_cast<size_t>(lo)], m_rowHeights[static_cast<size_t>(hi)]);
            }
            ++lo;
            --hi;
        }
    }
    if (low < hi)
        SortRange(column, low, hi, compare, ascending);
    if (lo < high)
        SortRange(column, lo, high, compare, ascending);
    return true;
}

std::string CGridModel::CopySelectionText() const
{
    const CGridCellRange range = GetSelectedCellRange();
    if (!IsValid(range))
        return {};
    std::string text;
    for (int r = range.minRow; r <= range.maxRow; ++r) {
        if (GetRowHeight(r) == 0)
            continue;
        for (int c = range.minCol; c <= range.maxCol; ++c) {
            if (GetColumnWidth(c) == 0)
                continue;
            if (IsCellSelected(r, c))
                text += GetItemText(r, c);
            if (c != range.maxCol)
                text += '\t';
        }
        if (r != range.maxRow)
            text += '\n';
    }
    return text;
}

bool CGridModel::PasteText(CGridCellId target, std::string_view text)
{
    if (!IsValid(target) || !IsCellEditable(target.row, target.col))
        return false;
    int row = target.row;
    for (std::string_view line : Split(text, "\n")) {
        while (row < m_rows && GetRowHeight(row) == 0)
            ++row;
        int column = target.col;
        for (std::string_view field : Split(line, "\t,")) {
            while (column < m_columns && GetColumnWidth(column) == 0)
                ++column;
            if (IsValid(row, column) && IsCellEditable(row, column)) {
                OnNotify(GVN_BEGINLABELEDIT, row, column);
                SetItemText(row, column, std::string(Trim(field)));
                OnNotify(GVN_ENDLABELEDIT, row, column);
                SetItemState(row, column, GetItemState(row, column) & ~GVIS_SELECTED);
            }
            ++column;
        }
        ++row;
    }
    OnGridChanged(false);
    return true;
}

void CGridModel::ClearSelectedText()
{
    if (!m_editable)
        return;
    for (const auto& [r, c] : std::set<std::pair<int, int>>(m_selected))
        if (IsCellEditable(r, c) && GetRowHeight(r) > 0 && GetColumnWidth(c) > 0) {
            OnNotify(GVN_BEGINLABELEDIT, r, c);
            SetItemText(r, c, {});
            OnNotify(GVN_ENDLABELEDIT, r, c);
        }
    OnGridChanged(false);
}

std::string CGridModel::ToText() const
{
    std::string text;
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            if (c)
                text += ',';
            text += GetItemText(r, c);
        }
        text += '\n';
    }
    return text;
}

bool CGridModel::FromText(std::string_view text)
{
    DeleteAllItems();
    bool first = true;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::vector<std::string_view> fields = Split(line, ",");
        // An empty field at the very end of a line ends it.
        if (fields.size() > 1 && fields.back().empty())
            fields.pop_back();
        if (first) {
            for (std::string_view field : fields)
                if (InsertColumn(std::string(field), 0x25) < 0)
                    return false;
            first = false;
            continue;
        }
        const int row = InsertRow(std::string(fields.front()));
        if (row < 0)
            return false;
        for (size_t f = 1; f < fields.size() && static_cast<int>(f) < m_columns; ++f)
            SetItemText(row, static_cast<int>(f), std::string(fields[f]));
    }
    return true;
}

bool CGridModel::SaveText(const std::string& path) const
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::string message = GridString(IDS_GRID_FILE_NOT_OPENED);
        message.replace(message.find("%s"), 2, path);
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const std::string text = ToText();
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        AfxMessageBox(GridString(IDS_GRID_UNABLE_TO_SAVE), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool CGridModel::LoadText(const std::string& path)
{
    if (m_virtual)
        return false;
    // A regular file only, of at most a settings file's size: a FIFO would stop the program, a device never end.
    std::string text;
    if (!ReadFileBytes(path, text)) {
        std::string message = GridString(IDS_GRID_FILE_NOT_OPENED);
        message.replace(message.find("%s"), 2, path);
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!FromText(text)) {
        AfxMessageBox(GridString(IDS_GRID_UNABLE_TO_LOAD), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    AutoSizeColumns();
    return true;
}

std::vector<int> PageStarts(const std::vector<int>& heights, int pageHeight)
{
    std::vector<int> starts;
    int used = 0;
    for (size_t i = 0; i < heights.size(); ++i) {
        if (starts.empty() || used + heights[i] > pageHeight) {
            starts.push_back(static_cast<int>(i));
            used = 0;
        }
        used += heights[i];
    }
    return starts;
}

}  // namespace gridctrl
