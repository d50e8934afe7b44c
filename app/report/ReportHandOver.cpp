#include "report/ReportHandOver.h"

#include "frame/DesktopOpener.h"
#include "report/ReportStrings.h"
#include "reportlib/ReportText.h"
#include "strings/Format.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

constexpr int kMostNamesTried = 1000;

std::string& Folder()
{
    static std::string folder;
    return folder;
}

// A name of its own for every export, as an earlier workbook may still be open in the spreadsheet program:
// "name.xlsx", then "name (2).xlsx", ... The file is made only where nothing is yet (never through a link someone
// left under that name); "" when the folder takes no new file.
QString ReserveWorkbook(const QDir& folder, const QString& base)
{
    for (int n = 1; n <= kMostNamesTried; ++n) {
        const QString name = n == 1 ? base + ".xlsx" : QString("%1 (%2).xlsx").arg(base).arg(n);
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!QFile::exists(file.fileName()) && !QFileInfo(file.fileName()).isSymLink())
            return {};  // not taken, yet not made: the folder refuses
    }
    return {};
}

}  // namespace

void SetReportExportFolder(const std::string& folder)
{
    Folder() = folder;
}

std::string ReportExportFolder()
{
    if (!Folder().empty())
        return Folder();
    // The user's own documents: a workbook the desktop cannot open is found there again, and no other user can
    // put anything in the way of the file, as anyone can in the shared temporary folder.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return documents.toStdString();
}

bool SaveReportTextAndOpen(const std::string& text)
{
    FileDialogRequest request;
    request.save = true;
    request.title = ReportString(reportstr::IDS_TEXT_SAVE_TITLE);
    request.filter = ReportString(reportstr::IDS_TEXT_FILE_FILTER);
    request.defaultExtension = "*.txt";
    request.overwritePrompt = true;
    const std::string path = ChooseFile(request);
    if (path.empty() || !WriteReportTextFile(path, text))
        return false;
    OpenWithDesktopOrSay(path);
    return true;
}

std::string SendReportWorkbook(const std::vector<ReportSheet>& sheets, const std::string& name)
{
    const QString folder = QString::fromStdString(ReportExportFolder());
    QString base = QString::fromStdString(MakeSheetName(name));
    base.replace(' ', '_');
    if (base.startsWith('.'))
        base[0] = '_';  // not a hidden file
    QString path;
    if (QDir().mkpath(folder))
        path = ReserveWorkbook(QDir(folder), base);
    if (path.isEmpty() || ExportReportWorkbook(path.toStdString(), sheets) != 1) {
        if (!path.isEmpty())
            QFile::remove(path);
        AfxMessageBox(Format(ReportString(reportstr::IDS_WORKBOOK_NOT_WRITTEN).c_str(), folder.toUtf8().constData()),
                      MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    OpenWithDesktopOrSay(path.toStdString());
    return path.toStdString();
}
