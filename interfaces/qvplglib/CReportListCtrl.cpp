#include "qvplglib/CReportListCtrl.h"

#include <QHeaderView>

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
