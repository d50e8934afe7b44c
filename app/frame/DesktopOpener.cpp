#include "frame/DesktopOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace {

DesktopOpenerHook& Hook()
{
    static DesktopOpenerHook hook;
    return hook;
}

}  // namespace

void SetDesktopOpenerHook(DesktopOpenerHook hook) { Hook() = std::move(hook); }

bool OpenWithDesktop(const std::string& path)
{
    if (Hook())
        return Hook()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}
