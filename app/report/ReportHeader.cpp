#include "report/ReportHeader.h"

#include "panels/CFlatHeaderControl.h"

#include <QCursor>
#include <QTableView>

void InstallReportHeader(QTableView& list)
{
    auto* header = new CFlatHeaderControl(&list);
    header->setSectionsMovable(true);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->SetRemoveCursor(QCursor(Qt::ForbiddenCursor));
    // A column dropped back over its own list is not removed.
    header->SetRemovalWindow(&list);
    list.setHorizontalHeader(header);
    list.verticalHeader()->hide();
}
