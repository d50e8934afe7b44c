#include "report/ReportExportCommands.h"

#include "core/ProgramServices.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CommandIds.h"
#include "inifile/FileBytes.h"
#include "report/CResultBackupDlg.h"
#include "report/ReportHandOver.h"
#include "report/ReportPageSource.h"
#include "report/ReportStrings.h"
#include "reportlib/ReportExcel.h"
#include "reportlib/ReportPrint.h"
#include "reportlib/ReportText.h"
#include "stream/LeStream.h"
#include "ui/ModalDialog.h"
#include "view/CVistrelView.h"

#include "calibkeeper/CCalibKeeper.h"
#include "qvimage/QvImageRecord.h"

#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <cstdio>

using namespace cmd;
using Table = ReportPageSource::Table;

namespace {

ReportPrinterHook& PrinterHook()
{
    static ReportPrinterHook hook;
    return hook;
}

bool SetUpPrinter(QPrinter& printer)
{
    if (PrinterHook())
        return PrinterHook()(printer);
    QPrintDialog dialog(&printer);
    return RunModal(dialog) == QDialog::Accepted;
}

const CommandMapEntry<CReportExportCommands> kCommands[] = {
    CommandEntry(ID_RESULT_REMOVE_SELECTED, &CReportExportCommands::OnRemoveSelected,
                 &CReportExportCommands::OnUpdateRemoveSelected),
    CommandEntry(ID_RESULT_STATISTICS, &CReportExportCommands::OnStatisticsMode,
                 &CReportExportCommands::OnUpdateStatisticsMode),
    UpdateEntry(ID_RESULT_BACKUP, &CReportExportCommands::OnUpdateDisabled),
    UpdateEntry(ID_RESULT_TO_CLIPBOARD, &CReportExportCommands::OnUpdateDisabled),
    CommandEntry(ID_RESULT_TO_NOTEPAD, &CReportExportCommands::OnNotepad, &CReportExportCommands::OnUpdateNotepad),
    // The report module and printing carry no rule of their own: the first is there whenever the view is, the
    // second follows the document's rule (not while live).
    CommandEntry(ID_REPORT_MANAGER, &CReportExportCommands::OnReportModule),
    CommandEntry(ID_REPORT_MANAGER_ALL, &CReportExportCommands::OnReportModuleAll),
    CommandEntry(ID_FILE_PRINT, &CReportExportCommands::OnPrint),
};

ReportSheet SheetOf(CVistrelView& view)
{
    UpdateReportPage(view);
    ReportSheet sheet;
    sheet.name = view.GetDocument() ? view.GetDocument()->GetTitle() : std::string();
    sheet.main = ReportPageTable(view, Table::Main);
    sheet.statisticsTitle = ReportString(reportstr::IDS_STATISTICS_TABLE);
    sheet.statistics = ReportPageTable(view, Table::Statistics);
    return sheet;
}

// The open documents, the given one first, as printing and the all-documents workbook take them.
std::vector<CVistrelDoc*> DocumentsActiveFirst(CVistrelDoc* active)
{
    std::vector<CVistrelDoc*> order;
    DocumentRegistry* registry = DocumentRegistry::Instance();
    const std::vector<CVistrelDoc*> none;
    const std::vector<CVistrelDoc*>& documents = registry ? registry->Documents() : none;
    if (active && std::find(documents.begin(), documents.end(), active) != documents.end())
        order.push_back(active);
    for (CVistrelDoc* doc : documents)
        if (doc != active)
            order.push_back(doc);
    if (order.empty() && active)  // a view whose document the registry does not keep (tests, early start-up)
        order.push_back(active);
    return order;
}

}  // namespace

void SetReportPrinterHook(ReportPrinterHook hook)
{
    PrinterHook() = std::move(hook);
}

CReportExportCommands::CReportExportCommands(CVistrelView& view) : m_view(view)
{
    AddCommandMap(kCommands);
}

std::string CReportExportCommands::ReportText()
{
    UpdateReportPage(m_view);
    const std::string title = m_view.GetDocument() ? m_view.GetDocument()->GetTitle() : std::string();
    return FormatViewReportText(title, ReportString(reportstr::IDS_MAIN_TABLE), ReportPageTable(m_view, Table::Main),
                                ReportString(reportstr::IDS_STATISTICS_TABLE), ReportPageTable(m_view, Table::Statistics));
}

void CReportExportCommands::OnRemoveSelected()
{
    RemoveSelectedResults(m_view);
}

void CReportExportCommands::OnUpdateRemoveSelected(CCmdUI* ui)
{
    ui->Enable(ReportSelectedCount(m_view) > 0);
}

void CReportExportCommands::OnStatisticsMode()
{
    SetReportStatisticsMode(!ReportStatisticsMode());
}

void CReportExportCommands::OnUpdateStatisticsMode(CCmdUI* ui)
{
    ui->Enable(true);
    ui->SetCheck(ReportStatisticsMode() ? 1 : 0);
}

void CReportExportCommands::OnUpdateDisabled(CCmdUI* ui)
{
    ui->Enable(false);
}

void CReportExportCommands::OnNotepad()
{
    SaveReportTextAndOpen(ReportText());
}

void CReportExportCommands::OnUpdateNotepad(CCmdUI* ui)
{
    // Asked on every update of the interface: a count, not the table.
    ui->Enable(ReportMainRowCount(m_view) > 0);
}

void CReportExportCommands::OnReportModule()
{
    if (!m_view.GetDocument())
        return;
    const ReportSheet sheet = SheetOf(m_view);
    SendReportWorkbook({sheet}, sheet.name);
}

void CReportExportCommands::OnReportModuleAll()
{
    std::vector<ReportSheet> sheets;
    for (CVistrelDoc* doc : DocumentsActiveFirst(m_view.GetDocument()))
        if (CVistrelView* view = doc->GetImageView())
            sheets.push_back(SheetOf(*view));
    if (!sheets.empty())
        SendReportWorkbook(sheets, sheets.front().name);
}

void CReportExportCommands::OnPrint()
{
    std::vector<ReportPrintEntry> entries;
    for (CVistrelDoc* doc : DocumentsActiveFirst(m_view.GetDocument())) {
        CVistrelView* view = doc->GetImageView();
        if (!view || doc->IsLive() || view->IsLiveView())
            continue;
        ReportPrintEntry entry;
        entry.title = doc->GetTitle();
        entry.image = view->GetDispWnd()->RenderToImage(1);
        entry.imageWithObjects = view->GetDispWnd()->RenderToImage(7);
        UpdateReportPage(*view);
        entry.table = ReportPageTable(*view, Table::Main);
        entries.push_back(std::move(entry));
    }
    if (entries.empty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!SetUpPrinter(printer))
        return;
    PrintReport(printer, entries);
}

CResultBackupDlg* OpenResultBackup(CVistrelView& view, QWidget* parent)
{
    CResultBackupDlg* window = CResultBackupDlg::Open(parent);
    UpdateReportPage(view);
    // In either mode the results list shows results and the statistics list their statistics.
    window->FillResults(ReportPageTable(view, Table::Main));
    window->FillStatistics(ReportPageTable(view, Table::Statistics));
    return window;
}

bool WriteCompanionInfo(const std::string& folder, const CCalibKeeper& calibration, const CQvImage& image,
                        const CSafeArray2D& mainTable)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += "ComInfo";
    // Both files are renamed into place once whole: the external program never reads a half-written one.
    const bool info = WriteFileAtomically(path, [&](FILE* file) {
        {
            LeWriter writer(file);
            writer.Double(calibration.GetUnitsPerPixel());
            writer.Int32(static_cast<int32_t>(calibration.GetUnit()));
            if (!writer.ok())
                return false;
        }
        return QVWriteImage(file, &image) == 1;
    });
    if (!info)
        return false;
    std::string data;
    for (int r = 0; r < mainTable.GetRows(); ++r) {
        for (int c = 0; c < mainTable.GetColumns(); ++c) {
            if (c > 0)
                data += ';';
            data += mainTable.GetAt(r, c);
        }
        data += '\n';
    }
    return WriteFileAtomically(path + "Data", data);
}
