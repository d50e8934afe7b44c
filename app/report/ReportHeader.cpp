#include "report/ReportHeader.h"

#include <QHeaderView>
#include <QTableView>

void InstallReportHeader(QTableView& list)
{
    auto* header = new QHeaderView(Qt::Horizontal, &list);
    header->setSectionsMovable(true);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    list.setHorizontalHeader(header);
    list.verticalHeader()->hide();
}
