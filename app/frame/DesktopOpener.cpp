#include "frame/DesktopOpener.h"

#include "resources/StringTable.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

namespace {

constexpr const char* kModule = "Vistrel";
constexpr int kQueryTimeoutMs = 5000;

const StringTableRegistrar kOpenerStrings(
    kModule,
    {
        {openerstr::IDS_FILE_MISSING, "The file %s was not found.", "%s 파일을 찾을 수 없습니다."},
        {openerstr::IDS_NO_PROGRAM,
         "No program to open the file was found on this computer.\nThe file is kept here:\n%s",
         "이 컴퓨터에서 파일을 열 프로그램을 찾을 수 없습니다.\n파일은 다음 위치에 있습니다:\n%s"},
    });

DesktopOpenerHook& Hook()
{
    static DesktopOpenerHook hook;
    return hook;
}

// The desktop's opener is started and left to itself: a type without a program fails only in there, unheard. The
// same database is asked first. Without the tool to ask, the opener's own answer is all there is.
bool DesktopHasProgramFor(const QString& file)
{
    const QString query = QStandardPaths::findExecutable("xdg-mime");
    if (query.isEmpty())
        return true;
    QProcess process;
    process.start(query, {"query", "default", QMimeDatabase().mimeTypeForFile(file).name()});
    if (!process.waitForFinished(kQueryTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return true;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
           !process.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

void SetDesktopOpenerHook(DesktopOpenerHook hook) { Hook() = std::move(hook); }

bool OpenWithDesktop(const std::string& path)
{
    if (Hook())
        return Hook()(path);
    const QString file = QString::fromStdString(path);
    if (!QFileInfo(file).isFile() || !DesktopHasProgramFor(file))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

bool OpenWithDesktopOrSay(const std::string& path)
{
    if (OpenWithDesktop(path))
        return true;
    const UINT why = QFileInfo::exists(QString::fromStdString(path)) ? openerstr::IDS_NO_PROGRAM
                                                                     : openerstr::IDS_FILE_MISSING;
    AfxMessageBox(Format(LoadString(kModule, why).c_str(), path.c_str()), MB_OK | MB_ICONEXCLAMATION);
    return false;
}
