#include "gobjects/GObjectClipboard.h"

#include "gobjects/private/GObjectRecordLimits.h"

#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"
#include "qvimage/QvImageViews.h"
#include "types/WinRecords.h"

#include <QClipboard>
#include <QImage>
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

int PutDibOnClipboard(const std::vector<uint8_t>& dib)
{
    QClipboard* clipboard = Clipboard();
    if (!clipboard || dib.size() < sizeof(BITMAPINFOHEADER))
        return 0;
    // The converter reads the header in place: an aligned copy of the block.
    std::vector<uint32_t> aligned((dib.size() + 3) / 4, 0);
    std::memcpy(aligned.data(), dib.data(), dib.size());
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(aligned.data());
    const size_t needed = QVDibSize(header);
    CQvImage picture;
    if (needed == 0 || needed > dib.size() || !DIB2QVIMG(header, &picture, 0))
        return 0;
    // A deep copy: the view dies with `picture`.
    const QImage image = QvImageToQImage(picture).convertToFormat(QImage::Format_RGB32).copy();
    if (image.isNull())
        return 0;
    auto* data = new QMimeData();
    data->setData(DIB_FORMAT, QByteArray(reinterpret_cast<const char*>(dib.data()), static_cast<qsizetype>(dib.size())));
    data->setImageData(image);
    clipboard->setMimeData(data);
    return 1;
}

std::vector<uint8_t> ClipboardPicture()
{
    QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data)
        return {};
    if (data->hasFormat(DIB_FORMAT)) {
        const QByteArray bytes = data->data(DIB_FORMAT);
        // No stamp holds a block this large: refused before anything is copied or decoded.
        if (bytes.size() > kMaxPictureBytes)
            return {};
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }
    if (!data->hasImage())
        return {};
    const QImage offered = qvariant_cast<QImage>(data->imageData());
    const int64_t rowBytes = (static_cast<int64_t>(offered.width()) * 3 + 3) / 4 * 4;
    const int64_t pixelBytes = rowBytes * offered.height();
    // Larger than any stamp: refused before a copy is made.
    if (offered.isNull() || pixelBytes > kMaxPictureBytes)
        return {};
    const QImage image = offered.convertToFormat(QImage::Format_BGR888);
    if (image.isNull())
        return {};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = image.width();
    header.biHeight = image.height();
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(pixelBytes);
    std::vector<uint8_t> dib(sizeof(header) + static_cast<size_t>(pixelBytes), 0);
    std::memcpy(dib.data(), &header, sizeof(header));
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(dib.data() + sizeof(header) + static_cast<size_t>(rowBytes) * (image.height() - 1 - y),
                    image.constScanLine(y), static_cast<size_t>(image.width()) * 3);
    return dib;
}

std::string ClipboardText()
{
    QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    return data && data->hasText() ? data->text().toStdString() : std::string();
}

GObjectClipboardContent ClipboardContent()
{
    QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data)
        return GObjectClipboardContent::None;
    if (data->hasFormat(DIB_FORMAT) || data->hasImage())
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
