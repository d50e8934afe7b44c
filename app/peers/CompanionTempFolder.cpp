#include "peers/CompanionTempFolder.h"

#include "winmsg/PeerFolder.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

std::string CompanionTempFolder()
{
    const QString peers = PeerFolder();
    if (peers.isEmpty())
        return {};
    // The peer folder is the user's alone (0700), so nobody else can have put a link here.
    const QByteArray folder = QFile::encodeName(peers + QStringLiteral("/files"));
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat info = {};
    if (::lstat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return {};
    return folder.toStdString() + '/';
}
