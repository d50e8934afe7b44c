#include "report/MeasureListBinding.h"

#include "qvplglib/CReportListCtrl.h"

#include <QHeaderView>

namespace {

// The row texts of the statistics table, in its row order.
const char* const kStatisticsRows[] = {"최소값", "최대값", "범위값", "평균값", "표준 편차값", "합계", "측정횟수"};

void SelectFirstRowOf(CReportListCtrl* list, CQvGObject* object)
{
    const auto key = static_cast<qulonglong>(reinterpret_cast<quintptr>(object));
    for (int row = 0; row < list->rowCount(); ++row) {
        const QTableWidgetItem* item = list->item(row, 0);
        if (item && item->data(Qt::UserRole).toULongLong() == key) {
            list->selectRow(row);
            list->scrollToItem(item);
            return;
        }
    }
}

// The table's columns and row titles; the values come with the measurement list's statistics.
void StatisticsFrame(CReportListCtrl& source, CReportListCtrl& table)
{
    table.clear();
    table.setRowCount(0);
    const int columns = source.columnCount();
    table.setColumnCount(columns);
    const QHeaderView* header = source.horizontalHeader();
    for (int visual = 0; visual < columns; ++visual) {
        const int logical = header->logicalIndex(visual);
        const QTableWidgetItem* item = source.horizontalHeaderItem(logical);
        table.SetColumn(visual, item ? item->text().left(256).toStdString() : std::string(),
                        source.columnWidth(logical), 1, source.ColumnMask(logical));
    }
    table.setRowCount(static_cast<int>(std::size(kStatisticsRows)));
    if (columns > 0)
        for (int row = 0; row < table.rowCount(); ++row)
            table.setItem(row, 0, new QTableWidgetItem(QString::fromUtf8(kStatisticsRows[row])));
}

}  // namespace

MeasureListBinding DefaultMeasureListBinding()
{
    MeasureListBinding binding;
    binding.create = [](QWidget* parent) { return new CReportListCtrl(parent); };
    binding.setContainer = [](CReportListCtrl*, CQvGObjectContainer*) {};
    binding.selectObjectRow = SelectFirstRowOf;
    binding.deleteSelected = [](CReportListCtrl* list) { list->FillData(); };
    binding.computeStatistics = StatisticsFrame;
    return binding;
}
