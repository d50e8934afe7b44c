#include "report/CResultBackupDlg.h"

#include "frame/CommandIds.h"
#include "frame/CommandInfo.h"
#include "report/ReportHandOver.h"
#include "report/ReportHeader.h"
#include "report/ReportStrings.h"
#include "reportlib/ReportText.h"
#include "resources/UiLanguage.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

std::vector<CResultBackupDlg*>& Windows()
{
    static std::vector<CResultBackupDlg*> windows;
    return windows;
}

constexpr int kColumnWidth = 80;

// The tip of a toolbar button: its caption in the UI language without the mnemonic marker, at most 80 characters.
QString ButtonTip(UINT id)
{
    const CommandInfo* info = FindCommandInfo(id);
    if (!info)
        return {};
    QString text = QString::fromStdString(CommandCaption(*info, GetUiLanguage()));
    text.remove('&');
    return text.left(80);
}

}  // namespace

CResultBackupDlg::CResultBackupDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("resultBackupDlg");
    setWindowTitle(QString::fromStdString(ReportString(reportstr::IDS_BACKUP_TITLE)));
    setAttribute(Qt::WA_DeleteOnClose);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName("resultBackupToolBar");
    m_toolBar->setIconSize(QSize(16, 16));
    auto addButton = [this](UINT id, const char* name, void (CResultBackupDlg::*slot)()) {
        QAction* action = m_toolBar->addAction(ButtonTip(id));
        action->setObjectName(name);
        action->setData(id);
        action->setToolTip(ButtonTip(id));
        connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        return action;
    };
    m_statisticsAction = addButton(cmd::ID_RESULT_STATISTICS, "statisticsModeAction", &CResultBackupDlg::OnStatisticsMode);
    m_statisticsAction->setCheckable(true);
    m_toolBar->addSeparator();
    addButton(cmd::ID_RESULT_TO_CLIPBOARD, "clipboardAction", &CResultBackupDlg::OnClipboard);
    addButton(cmd::ID_RESULT_TO_NOTEPAD, "notepadAction", &CResultBackupDlg::OnNotepad);
    QAction* excel = m_toolBar->addAction(ButtonTip(cmd::ID_REPORT_MANAGER));
    excel->setObjectName("excelAction");
    excel->setData(cmd::ID_REPORT_MANAGER);
    connect(excel, &QAction::triggered, this, [this] { OnExcel(); });

    auto makeList = [this](const char* name) {
        auto* list = new QTableWidget(this);
        list->setObjectName(name);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setShowGrid(false);
        InstallReportHeader(*list);
        return list;
    };
    m_results = makeList("resultsList");
    m_statistics = makeList("statisticsList");

    // Both lists fill the client area below the toolbar; only one is shown.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_results, 1);
    layout->addWidget(m_statistics, 1);
    ShowList(true);
    resize(640, 360);
}

CResultBackupDlg::~CResultBackupDlg()
{
    auto& windows = Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

CResultBackupDlg* CResultBackupDlg::Open(QWidget* parent)
{
    auto* dialog = new CResultBackupDlg(parent);
    Windows().push_back(dialog);
    dialog->setModal(false);
    dialog->show();
    return dialog;
}

const std::vector<CResultBackupDlg*>& CResultBackupDlg::OpenWindows()
{
    return Windows();
}

void CResultBackupDlg::CloseAll()
{
    // Closing deletes the window, which takes it out of the list: work on a copy.
    const std::vector<CResultBackupDlg*> windows = Windows();
    for (CResultBackupDlg* window : windows) {
        window->hide();
        delete window;
    }
}

void CResultBackupDlg::Fill(QTableWidget& list, const CSafeArray2D& table)
{
    list.clear();
    const int columns = table.GetColumns();
    const int rows = std::max(0, table.GetRows() - 1);
    list.setColumnCount(columns);
    list.setRowCount(rows);
    QStringList titles;
    for (int c = 0; c < columns; ++c)
        titles << QString::fromStdString(table.GetAt(0, c));
    list.setHorizontalHeaderLabels(titles);
    for (int c = 0; c < columns; ++c)
        list.setColumnWidth(c, kColumnWidth);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            list.setItem(r, c, new QTableWidgetItem(QString::fromStdString(table.GetAt(r + 1, c))));
}

void CResultBackupDlg::FillResults(const CSafeArray2D& table)
{
    Fill(*m_results, table);
}

void CResultBackupDlg::FillStatistics(const CSafeArray2D& table)
{
    Fill(*m_statistics, table);
}

QTableWidget& CResultBackupDlg::ShownListWidget() const
{
    return m_showResults ? *m_results : *m_statistics;
}

void CResultBackupDlg::ShowList(bool results)
{
    m_showResults = results;
    m_results->setVisible(results);
    m_statistics->setVisible(!results);
    m_statisticsAction->setChecked(!results);
}

CSafeArray2D CResultBackupDlg::ShownList(bool displayOrder) const
{
    const QTableWidget& list = ShownListWidget();
    const QHeaderView* header = list.horizontalHeader();
    const int columns = list.columnCount();
    CSafeArray2D table(list.rowCount() + 1, columns);
    for (int position = 0; position < columns; ++position) {
        const int column = displayOrder ? header->logicalIndex(position) : position;
        const QTableWidgetItem* title = list.horizontalHeaderItem(column);
        table.SetAt(0, position, title ? title->text().left(256).toStdString() : std::string());
        for (int r = 0; r < list.rowCount(); ++r) {
            const QTableWidgetItem* item = list.item(r, column);
            table.SetAt(r + 1, position, item ? item->text().toStdString() : std::string());
        }
    }
    return table;
}

std::string CResultBackupDlg::ReportText() const
{
    return FormatListReportText(windowTitle().toStdString(), ShownList(false));
}

void CResultBackupDlg::OnStatisticsMode()
{
    ShowList(!m_showResults);
}

void CResultBackupDlg::OnClipboard()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdString(ReportText()));
}

void CResultBackupDlg::OnNotepad()
{
    SaveReportTextAndOpen(ReportText());
}

std::string CResultBackupDlg::OnExcel()
{
    if (ShownListWidget().rowCount() == 0)
        return {};
    ReportSheet sheet;
    sheet.name = windowTitle().toStdString();
    sheet.main = ShownList(true);
    return SendReportWorkbook({sheet}, sheet.name);
}

void CResultBackupDlg::keyPressEvent(QKeyEvent* event)
{
    // The window stays while the operator measures: Escape must not close it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
