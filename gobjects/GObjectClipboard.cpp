#include "gobjects/GObjectClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardPaths>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QClipboard* Clipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

// A folder the user owns and nobody else may enter.
bool IsPrivateFolder(const std::string& folder)
{
    struct stat info
    {
    };
    return lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & 077) == 0;
}

}  // namespace

std::string GObjectClipboardFilePath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        return {};
    const std::string folder = base.toStdString() + "/vistrel-overlay";
    mkdir(folder.c_str(), 0700);
    if (!IsPrivateFolder(folder))
        return {};
    return folder + "/QvGObject";
}

int PutRecordsOnClipboard(const std::function<int(FILE*)>& writeRecords)
{
    QClipboard* clipboard = Clipboard();
    const std::string path = GObjectClipboardFilePath();
    if (!clipboard || path.empty())
        return 0;

    // Written aside and renamed into place, so a paste never sees half a file.
    std::string tempPath = path + ".XXXXXX";
    const int fd = mkstemp(tempPath.data());
    if (fd < 0)
        return 0;
    UniqueFile file(fdopen(fd, "w+b"));
    if (!file)
    {
        close(fd);
        unlink(tempPath.c_str());
        return 0;
    }
    bool good = std::fwrite(kClipboardFileMarker, 1, kClipboardFileMarkerSize, file.get()) ==
                    kClipboardFileMarkerSize &&
                writeRecords(file.get()) && std::fflush(file.get()) == 0;
    good = std::fclose(file.release()) == 0 && good;
    if (!good || std::rename(tempPath.c_str(), path.c_str()) != 0)
    {
        unlink(tempPath.c_str());
        return 0;
    }

    auto* data = new QMimeData();
    data->setData(QVGOBJECT_FORMAT, QByteArray(path.c_str(), static_cast<qsizetype>(path.size() + 1)));
    clipboard->setMimeData(data);
    return 1;
}

int PutTextOnClipboard(const std::string& text)
{
    QClipboard* clipboard = Clipboard();
    if (!clipboard)
        return 0;
    clipboard->setText(QString::fromStdString(text));
    return 1;
}

GObjectClipboardContent ClipboardContent()
{
    QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data)
        return GObjectClipboardContent::None;
    if (data->hasImage())
        return GObjectClipboardContent::Picture;
    if (data->hasText())
        return GObjectClipboardContent::Text;
    if (data->hasFormat(QVGOBJECT_FORMAT))
        return GObjectClipboardContent::Records;
    return GObjectClipboardContent::None;
}

UniqueFile OpenClipboardRecords()
{
    QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasFormat(QVGOBJECT_FORMAT))
        return nullptr;
    // Any program can put any path here: only this user's own records file is opened.
    const QByteArray named = data->data(QVGOBJECT_FORMAT);
    const std::string path(named.constData(), strnlen(named.constData(), static_cast<size_t>(named.size())));
    if (path.empty() || path != GObjectClipboardFilePath())
        return nullptr;

    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid())
    {
        close(fd);
        return nullptr;
    }
    UniqueFile file(fdopen(fd, "rb"));
    if (!file)
    {
        close(fd);
        return nullptr;
    }
    char marker[kClipboardFileMarkerSize];
    if (std::fread(marker, 1, sizeof(marker), file.get()) != sizeof(marker) ||
        std::memcmp(marker, kClipboardFileMarker, sizeof(marker)) != 0)
        return nullptr;
    return file;
}
