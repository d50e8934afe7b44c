#include "qvplglib/CReportListCtrl.h"

#include "stream/LeStream.h"
#include "strings/StoredText.h"

#include <QHeaderView>

#include <algorithm>
#include <vector>

namespace {

constexpr int kMaskRole = Qt::UserRole;
constexpr int kFormatRole = Qt::UserRole + 1;

struct ColumnSetting
{
    std::string title;
    int32_t width = 100;
    int32_t format = 1;
    int32_t mask = -1;
};

}  // namespace

CReportListCtrl::CReportListCtrl(QWidget* parent) : QTableWidget(parent)
{
    // A report list: rows of read-only text, no row numbers, no grid until asked for.
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setSelectionBehavior(QAbstractItemView::SelectItems);
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
    setSelectionBehavior((style & LVS_EX_FULLROWSELECT) != 0 ? QAbstractItemView::SelectRows
                                                             : QAbstractItemView::SelectItems);
}

void CReportListCtrl::SetWindowText(const std::string& text)
{
    setWindowTitle(QString::fromStdString(text));
}

std::string CReportListCtrl::GetWindowText() const
{
    return windowTitle().toStdString();
}

int CReportListCtrl::ColumnMask(int column) const
{
    const QTableWidgetItem* item = horizontalHeaderItem(column);
    return item && item->data(kMaskRole).isValid() ? item->data(kMaskRole).toInt() : -1;
}

int CReportListCtrl::ColumnFormat(int column) const
{
    const QTableWidgetItem* item = horizontalHeaderItem(column);
    return item && item->data(kFormatRole).isValid() ? item->data(kFormatRole).toInt() : 1;
}

void CReportListCtrl::SetColumn(int column, const std::string& title, int width, int format, int mask)
{
    if (column >= columnCount())
        setColumnCount(column + 1);
    auto* item = new QTableWidgetItem(QString::fromStdString(title));
    item->setData(kMaskRole, mask);
    item->setData(kFormatRole, format);
    setHorizontalHeaderItem(column, item);
    setColumnWidth(column, width);
}

bool CReportListCtrl::ReadSetting(FILE* file)
{
    if (!file)
        return false;
    // Unbuffered by the reader, so the caller's stream stands right after this record.
    LeReader in(file);
    const int32_t count = in.Int32();
    if (!in.ok() || count < 0 || count > kMaxSettingColumns)
        return false;
    std::vector<ColumnSetting> columns(static_cast<size_t>(count));
    for (ColumnSetting& column : columns) {
        const int32_t length = in.Int32();
        if (!in.ok() || length < 0 || length > kMaxSettingTitle)
            return false;
        std::string bytes(static_cast<size_t>(length), '\0');
        if (length > 0 && !in.Bytes(bytes.data(), bytes.size()))
            return false;
        column.title = StoredTextToUtf8(bytes);
        column.width = in.Int32();
        column.format = in.Int32();
        column.mask = in.Int32();
        if (!in.ok() || column.width < 0 || column.width > 10000)
            return false;
    }
    setRowCount(0);
    setColumnCount(0);
    for (size_t i = 0; i < columns.size(); ++i)
        SetColumn(static_cast<int>(i), columns[i].title, columns[i].width, columns[i].format, columns[i].mask);
    return true;
}

bool CReportListCtrl::WriteSetting(FILE* file) const
{
    if (!file)
        return false;
    LeWriter out(file);
    const int count = std::min(columnCount(), kMaxSettingColumns);
    out.Int32(count);
    for (int i = 0; i < count; ++i) {
        const QTableWidgetItem* item = horizontalHeaderItem(i);
        std::string title = item ? item->text().toStdString() : std::string();
        if (title.size() > static_cast<size_t>(kMaxSettingTitle))
            title.resize(static_cast<size_t>(kMaxSettingTitle));
        out.Int32(static_cast<int32_t>(title.size()));
        out.Bytes(title.data(), title.size());
        out.Int32(columnWidth(i));
        out.Int32(ColumnFormat(i));
        out.Int32(ColumnMask(i));
    }
    return out.ok();
}
