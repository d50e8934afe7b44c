#include "winmsg/PeerFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QUrl>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A socket address holds the path and its terminating NUL.
constexpr qsizetype kMaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;

// The folder must be the user's alone: anyone who could enter it could pose as any identity.
bool EnsurePrivateFolder(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info = {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    return (info.st_mode & 077) == 0 || ::chmod(path.constData(), 0700) == 0;
}

}  // namespace

QString PeerFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = !runtime.isEmpty() && QFileInfo(runtime).isDir()
                               ? runtime + QStringLiteral("/qrx-peers")
                               : QDir::tempPath() + QStringLiteral("/qrx-peers-") + QString::number(::geteuid());
    return EnsurePrivateFolder(folder) ? folder : QString();
}

QString PeerSocketPath(const QString& identity)
{
    if (identity.isEmpty())
        return {};
    const QString folder = PeerFolder();
    if (folder.isEmpty())
        return {};
    // Percent-encoding keeps titles readable in the folder and never yields '#', so hashed names cannot collide
    // with encoded ones.
    QString path = folder + '/' + QString::fromLatin1(QUrl::toPercentEncoding(identity));
    if (QFile::encodeName(path).size() > kMaxSocketPath) {
        const QByteArray hash = QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha256).toHex();
        path = folder + QStringLiteral("/#") + QString::fromLatin1(hash.left(40));
        if (QFile::encodeName(path).size() > kMaxSocketPath)
            return {};
    }
    return path;
}

QStringList PeerSocketPaths()
{
    QStringList sockets;
    const QString folder = PeerFolder();
    if (folder.isEmpty())
        return sockets;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(QFile::encodeName(folder).toStdString(), error))
        if (entry.is_socket(error))
            sockets << QFile::decodeName(QByteArray::fromStdString(entry.path().string()));
    sockets.sort();
    return sockets;
}
