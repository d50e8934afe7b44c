// How exported reports reach the user: a text file chosen with the save dialog and opened with the desktop's
// text handler, a workbook written into the export folder (the user's documents) and opened with the desktop's
// spreadsheet handler. When the desktop cannot open the file, a message box names where it is. Tests hook the file
// dialog (ui/FileDialog.h) and the opener (frame/DesktopOpener.h). UI thread.
#pragma once

#include "reportlib/ReportExcel.h"

#include <string>
#include <vector>

// Where workbooks are written before they are opened; "" (the default) is the user's documents folder, made when
// missing.
void SetReportExportFolder(const std::string& folder);
std::string ReportExportFolder();

// Asks for a file ("Save ...", "Text File (*.txt)|*.txt||", overwrite prompt), writes the text and opens it.
// False when cancelled or when the file could not be written (then nothing is opened).
bool SaveReportTextAndOpen(const std::string& text);
// Writes the sheets into a new workbook in the export folder, named after `name` ("name.xlsx", "name (2).xlsx",
// ...), and opens it; the path written, or "" on failure (said in a message box).
std::string SendReportWorkbook(const std::vector<ReportSheet>& sheets, const std::string& name);
