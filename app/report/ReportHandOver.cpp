#include "report/ReportHandOver.h"

#include "frame/DesktopOpener.h"
#include "reportlib/ReportText.h"
#include "ui/FileDialog.h"

#include <QDir>
#include <QTemporaryFile>

namespace {

std::string& Folder()
{
    static std::string folder;
    return folder;
}

}  // namespace

void SetReportExportFolder(const std::string& folder)
{
    Folder() = folder;
}

std::string ReportExportFolder()
{
    return Folder().empty() ? QDir::tempPath().toStdString() : Folder();
}

bool SaveReportTextAndOpen(const std::string& text)
{
    FileDialogRequest request;
    request.save = true;
    request.title = "Save ...";
    request.filter = "Text File (*.txt)|*.txt||";
    request.defaultExtension = "*.txt";
    request.overwritePrompt = true;
    const std::string path = ChooseFile(request);
    if (path.empty() || !WriteReportTextFile(path, text))
        return false;
    OpenWithDesktop(path);
    return true;
}

std::string SendReportWorkbook(const std::vector<ReportSheet>& sheets, const std::string& name)
{
    // A name of its own for every export: an earlier workbook may still be open in the spreadsheet program.
    QString base = QString::fromStdString(MakeSheetName(name));
    base.replace(' ', '_');
    QTemporaryFile reserve(QDir(QString::fromStdString(ReportExportFolder())).filePath(base + "-XXXXXX.xlsx"));
    reserve.setAutoRemove(false);
    if (!reserve.open())
        return {};
    const std::string path = reserve.fileName().toStdString();
    reserve.close();
    if (ExportReportWorkbook(path, sheets) != 1) {
        QFile::remove(QString::fromStdString(path));
        return {};
    }
    OpenWithDesktop(path);
    return path;
}
