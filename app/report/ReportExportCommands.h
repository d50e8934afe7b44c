// The image view's report commands: remove the selected results, statistics mode, the report as text to a file
// opened in the desktop's editor, the report workbook of this view or of every open document, and printing.
// The result backup command and sending to the clipboard stay disabled in this edition; the result backup window
// is opened through OpenResultBackup. The companion files for the external program ("ComInfo" and its "Data") are
// written by WriteCompanionInfo. The report pages come through ReportPageSource.h.
// UI thread. The object belongs to its view and works on the view's document as it is at each call.
#pragma once

#include "frame/CCmdTarget.h"
#include "reportlib/CSafeArray2D.h"

#include <functional>
#include <string>

class CCalibKeeper;
class CQvImage;
class CResultBackupDlg;
class CVistrelView;
class QPrinter;
class QWidget;

// Sets up the printer for a print command; false cancels. The default asks with the print dialog (through
// RunModal); tests print to a PDF file. An empty hook restores the dialog.
using ReportPrinterHook = std::function<bool(QPrinter& printer)>;
void SetReportPrinterHook(ReportPrinterHook hook);

class CReportExportCommands : public CommandMapTarget<CReportExportCommands>
{
public:
    explicit CReportExportCommands(CVistrelView& view);

    // The report text of the view: heading with the document title, the main table, the statistics table.
    std::string ReportText();

    void OnRemoveSelected();
    void OnUpdateRemoveSelected(CCmdUI* ui);
    void OnStatisticsMode();
    void OnUpdateStatisticsMode(CCmdUI* ui);
    void OnUpdateDisabled(CCmdUI* ui);
    void OnNotepad();
    void OnUpdateNotepad(CCmdUI* ui);
    // The workbook of this view / of every open document (one sheet each, the active one first).
    void OnReportModule();
    void OnReportModuleAll();
    // Every open document that is not live, the active one first: title, image with its objects, report table.
    void OnPrint();

private:
    CVistrelView& m_view;
};

// Opens a result backup window with `parent`, brings the view's page up to date and fills the window: its results
// list always from the page's main list, its statistics list from that list's statistics table.
CResultBackupDlg* OpenResultBackup(CVistrelView& view, QWidget* parent);

// Writes `folder`/ComInfo (units per pixel as a little-endian double, the unit type as int32, then the image
// record) and `folder`/ComInfoData (the table's rows, cells separated by ';', each row ended by "\n"), each through
// a temporary file and a rename. False at the first file that could not be written; the rest is skipped.
bool WriteCompanionInfo(const std::string& folder, const CCalibKeeper& calibration, const CQvImage& image,
                        const CSafeArray2D& mainTable);
