#include "qvplglib/CReportListCtrl.h"

#include "stream/LeStream.h"
#include "strings/StoredText.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>

#include <algorithm>

namespace {

// Cuts a UTF-8 text to at most `limit` bytes without splitting a character.
std::string CutUtf8(const std::string& text, size_t limit)
{
    if (text.size() <= limit)
        return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

}  // namespace

CReportListCtrl::CReportListCtrl(QWidget* parent) : QTableWidget(parent)
{
    // A report list: rows of read-only text, no row numbers, no grid until asked for.
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    // A click picks a result, not a cell: the list's commands count and act on whole rows.
    setSelectionBehavior(QAbstractItemView::SelectRows);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, [this] { OnSectionMoved(); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int index, int, int size) {
        // Widths set by the list itself are in the descriptions already (and while a column is being inserted
        // the descriptions do not yet line up with the columns).
        if (m_applyingOrder)
            return;
        if (index >= 0 && index < static_cast<int>(m_columns.size()))
            m_columns[static_cast<size_t>(index)].width = size;
        HeaderModified();
    });
}

CReportListCtrl::~CReportListCtrl() = default;

bool CReportListCtrl::Create(QWidget* parent)
{
    if (parent != parentWidget())
        setParent(parent);
    return true;
}

void CReportListCtrl::SetDlgCtrlID(UINT id)
{
    m_id = id;
    setObjectName(QStringLiteral("report%1").arg(id));
}

void CReportListCtrl::SetExtendedStyle(DWORD style)
{
    m_extendedStyle = style;
    setShowGrid((style & LVS_EX_GRIDLINES) != 0);
}

void CReportListCtrl::SetWindowText(const std::string& text)
{
    setWindowTitle(QString::fromStdString(text));
}

std::string CReportListCtrl::GetWindowText() const
{
    return windowTitle().toStdString();
}

void CReportListCtrl::SortColumn(int column, int ascending)
{
    if (column >= 0 && column < columnCount())
        sortItems(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CReportListCtrl::OnSectionMoved()
{
    if (!m_applyingOrder)
        HeaderModified();
}

void CReportListCtrl::ApplyHeaderInfo(const std::vector<tagColumnInfo>& columns)
{
    m_applyingOrder = true;
    m_columns.clear();
    setColumnCount(0);
    for (const tagColumnInfo& info : columns)
        InsertColumn(columnCount(), info.title, info.format, info.width);
    m_columns = columns;
    for (tagColumnInfo& info : m_columns)
        info.title = CutUtf8(info.title, kMaxTitleBytes);
    m_applyingOrder = false;
}

int CReportListCtrl::InsertColumn(int index, const std::string& title, int format, int width)
{
    index = std::clamp(index, 0, columnCount());
    insertColumn(index);
    auto* header = new QTableWidgetItem(QString::fromStdString(CutUtf8(title, kMaxTitleBytes)));
    header->setTextAlignment(format == LVCFMT_LEFT || format == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    setHorizontalHeaderItem(index, header);
    const bool applying = m_applyingOrder;
    m_applyingOrder = true;
    setColumnWidth(index, std::clamp(width, 0, kMaxColumnWidth));
    m_applyingOrder = applying;
    if (!m_applyingOrder && index <= static_cast<int>(m_columns.size()))
        m_columns.insert(m_columns.begin() + index, tagColumnInfo{CutUtf8(title, kMaxTitleBytes),
                                                                  std::clamp(width, 0, kMaxColumnWidth), format, -1});
    return index;
}

bool CReportListCtrl::DeleteColumn(int index)
{
    if (index < 0 || index >= columnCount())
        return false;
    removeColumn(index);
    if (index < static_cast<int>(m_columns.size()))
        m_columns.erase(m_columns.begin() + index);
    return true;
}

void CReportListCtrl::SetColumn(int column, const std::string& title, int width, int format, int mask)
{
    if (column < 0 || column >= kMaxColumns)
        return;
    // Columns a plug-in made through the table itself have no description yet: they get the default one.
    if (m_columns.size() < static_cast<size_t>(columnCount()))
        m_columns.resize(static_cast<size_t>(columnCount()));
    while (columnCount() <= column)
        InsertColumn(columnCount(), std::string(), format, width);
    auto* header = new QTableWidgetItem(QString::fromStdString(CutUtf8(title, kMaxTitleBytes)));
    header->setTextAlignment(format == LVCFMT_LEFT || format == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    setHorizontalHeaderItem(column, header);
    SetColumnWidth(column, width);
    m_columns[static_cast<size_t>(column)] =
        tagColumnInfo{CutUtf8(title, kMaxTitleBytes), std::clamp(width, 0, kMaxColumnWidth), format, mask};
}

int CReportListCtrl::ColumnMask(int column) const
{
    return column >= 0 && column < static_cast<int>(m_columns.size()) ? m_columns[static_cast<size_t>(column)].mask
                                                                      : -1;
}

int CReportListCtrl::ColumnFormat(int column) const
{
    return column >= 0 && column < static_cast<int>(m_columns.size()) ? m_columns[static_cast<size_t>(column)].format
                                                                      : 1;
}

void CReportListCtrl::DeleteAllColumns()
{
    setColumnCount(0);
    m_columns.clear();
}

bool CReportListCtrl::GetColumn(int index, std::string* title, int* width) const
{
    if (index < 0 || index >= columnCount())
        return false;
    if (title) {
        const QTableWidgetItem* header = horizontalHeaderItem(index);
        *title = CutUtf8(header ? header->text().toStdString() : std::string(), kMaxTitleBytes);
    }
    if (width)
        *width = columnWidth(index);
    return true;
}

bool CReportListCtrl::SetColumnWidth(int index, int width)
{
    if (index < 0 || index >= columnCount())
        return false;
    width = std::clamp(width, 0, kMaxColumnWidth);
    m_applyingOrder = true;
    setColumnWidth(index, width);
    m_applyingOrder = false;
    if (index < static_cast<int>(m_columns.size()))
        m_columns[static_cast<size_t>(index)].width = width;
    return true;
}

int CReportListCtrl::OrderToIndex(int order) const
{
    if (order < 0 || order >= columnCount())
        return -1;
    return horizontalHeader()->logicalIndex(order);
}

int CReportListCtrl::IndexToOrder(int index) const
{
    if (index < 0 || index >= columnCount())
        return -1;
    return horizontalHeader()->visualIndex(index);
}

std::vector<int> CReportListCtrl::GetOrderArray() const
{
    std::vector<int> order(static_cast<size_t>(columnCount()));
    for (int p = 0; p < columnCount(); ++p)
        order[static_cast<size_t>(p)] = horizontalHeader()->logicalIndex(p);
    return order;
}

bool CReportListCtrl::SetOrderArray(const std::vector<int>& order)
{
    const int n = columnCount();
    if (static_cast<int>(order.size()) != n)
        return false;
    std::vector<char> seen(static_cast<size_t>(n), 0);
    for (int index : order) {
        if (index < 0 || index >= n || seen[static_cast<size_t>(index)])
            return false;
        seen[static_cast<size_t>(index)] = 1;
    }
    m_applyingOrder = true;
    QHeaderView* header = horizontalHeader();
    for (int p = 0; p < n; ++p)
        header->moveSection(header->visualIndex(order[static_cast<size_t>(p)]), p);
    m_applyingOrder = false;
    return true;
}

int CReportListCtrl::InsertItem(int row, const std::string& text)
{
    row = std::clamp(row, 0, rowCount());
    insertRow(row);
    if (columnCount() > 0)
        setItem(row, 0, new QTableWidgetItem(QString::fromStdString(text)));
    return row;
}

QTableWidgetItem* CReportListCtrl::CellForWrite(int row, int column)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row, column, cell);
    }
    return cell;
}

bool CReportListCtrl::SetItemText(int row, int column, const std::string& text)
{
    QTableWidgetItem* cell = CellForWrite(row, column);
    if (!cell)
        return false;
    cell->setText(QString::fromStdString(text));
    return true;
}

std::string CReportListCtrl::GetItemText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text().toStdString() : std::string();
}

bool CReportListCtrl::SetItemData(int row, quintptr data)
{
    QTableWidgetItem* cell = CellForWrite(row, 0);
    if (!cell)
        return false;
    cell->setData(Qt::UserRole, QVariant::fromValue(data));
    return true;
}

quintptr CReportListCtrl::GetItemData(int row) const
{
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? cell->data(Qt::UserRole).value<quintptr>() : 0;
}

void CReportListCtrl::DeleteAllItems()
{
    setRowCount(0);
}

bool CReportListCtrl::DeleteItem(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    removeRow(row);
    return true;
}

std::vector<int> CReportListCtrl::GetSelectedRows() const
{
    std::vector<int> rows;
    const QItemSelectionModel* selection = selectionModel();
    if (!selection)
        return rows;
    for (const QItemSelectionRange& range : selection->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.push_back(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int CReportListCtrl::GetSelectedCount() const
{
    return static_cast<int>(GetSelectedRows().size());
}

bool CReportListCtrl::SetItemSelected(int row, bool selected)
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return false;
    selectionModel()->select(
        model()->index(row, 0),
        (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows);
    return true;
}

bool CReportListCtrl::IsItemSelected(int row) const
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return false;
    return selectionModel()->isRowSelected(row, QModelIndex()) || selectionModel()->isSelected(model()->index(row, 0));
}

void CReportListCtrl::EnsureVisible(int row)
{
    if (row >= 0 && row < rowCount() && columnCount() > 0)
        scrollTo(model()->index(row, 0));
}

int CReportListCtrl::GetScrollPos(Qt::Orientation orientation) const
{
    return orientation == Qt::Horizontal ? horizontalScrollBar()->value() : verticalScrollBar()->value();
}

void CReportListCtrl::Scroll(int dx, int dy)
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
    verticalScrollBar()->setValue(verticalScrollBar()->value() + dy);
}

int CReportListCtrl::ReadSetting(FILE* file)
{
    if (!file)
        return 0;
    LeReader in(file);
    if (in.Int32() != kSettingVersion || !in.ok())
        return 0;
    const int32_t count = in.Int32();
    if (!in.ok() || count < 0 || count > kMaxColumns)
        return 0;
    std::vector<tagColumnInfo> columns(static_cast<size_t>(count));
    for (tagColumnInfo& info : columns) {
        const int32_t length = in.Int32();
        if (!in.ok() || length < 0 || length > kMaxTitleBytes)
            return 0;
        std::string title(static_cast<size_t>(length), '\0');
        if (length > 0 && !in.Bytes(title.data(), title.size()))
            return 0;
        info.title = CutUtf8(StoredTextToUtf8(title), kMaxTitleBytes);
        info.width = in.Int32();
        info.format = in.Int32();
        info.mask = in.Int32();
        if (!in.ok() || info.width < 0 || info.width > kMaxColumnWidth)
            return 0;
    }
    const int32_t orderCount = in.Int32();
    if (!in.ok() || (orderCount != 0 && orderCount != count))
        return 0;
    std::vector<int> order(static_cast<size_t>(orderCount));
    std::vector<char> seen(static_cast<size_t>(count), 0);
    for (int& index : order) {
        index = in.Int32();
        if (!in.ok() || index < 0 || index >= count || seen[static_cast<size_t>(index)])
            return 0;
        seen[static_cast<size_t>(index)] = 1;
    }
    ApplyHeaderInfo(columns);
    if (!order.empty())
        SetOrderArray(order);
    return 1;
}

int CReportListCtrl::WriteSetting(FILE* file) const
{
    if (!file)
        return 0;
    // Assembled first, so a refused write leaves nothing half-written by us behind the caller's position.
    std::vector<unsigned char> bytes;
    {
        LeWriter out(bytes);
        const int count = std::min(columnCount(), kMaxColumns);
        out.Int32(kSettingVersion);
        out.Int32(count);
        for (int c = 0; c < count; ++c) {
            std::string title;
            int width = 0;
            GetColumn(c, &title, &width);
            const tagColumnInfo info =
                c < static_cast<int>(m_columns.size()) ? m_columns[static_cast<size_t>(c)] : tagColumnInfo{};
            out.Int32(static_cast<int32_t>(title.size()));
            out.Bytes(title.data(), title.size());
            out.Int32(std::clamp(width, 0, kMaxColumnWidth));
            out.Int32(info.format);
            out.Int32(info.mask);
        }
        std::vector<int> order = GetOrderArray();
        order.resize(static_cast<size_t>(count));
        bool identity = true;
        for (int p = 0; p < count; ++p)
            identity = identity && order[static_cast<size_t>(p)] == p;
        if (identity || count < columnCount()) {
            out.Int32(0);
        } else {
            out.Int32(count);
            for (int index : order)
                out.Int32(index);
        }
        if (!out.ok())
            return 0;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() ? 1 : 0;
}
