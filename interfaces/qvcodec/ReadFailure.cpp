// Why a read failed, told from the file itself after the fact, so that the reading code stays as it is.
#include "qvcodec/CQvImageCodec.h"
#include "qvcodec/private/FormatName.h"

#include <QImageReader>
#include <QPixelFormat>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QvCodecReadFailure FromErrno(int error)
{
    return error == EACCES || error == EPERM ? QvCodecReadFailure::NoAccess : QvCodecReadFailure::NotFound;
}

// Bytes the decoded picture takes as the reader would hand it over (a 32-bit guess where the header names no
// pixel format).
long long DecodedBytes(const QSize& size, QImage::Format format)
{
    const int bits = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
    return (static_cast<long long>(size.width()) * bits + 31) / 32 * 4 * size.height();
}

bool IsTooLarge(const QImageReader& reader)
{
    const QSize size = reader.size();
    if (!size.isValid())
        return false;
    if (size.width() > kQvMaxImageSide || size.height() > kQvMaxImageSide)
        return true;
    const long long decoded = DecodedBytes(size, reader.imageFormat());
    const long long limit = static_cast<long long>(QImageReader::allocationLimit()) << 20;
    return decoded > kQvMaxImageBytes || (limit > 0 && decoded > limit);
}

}  // namespace

QvCodecReadFailure CQvImageCodec::WhyReadFails(const char* path, const char* format, int frame) const
{
    if (!path || !*path)
        return QvCodecReadFailure::NotFound;
    struct stat st {};
    if (::stat(path, &st) != 0)
        return FromErrno(errno);
    if (!S_ISREG(st.st_mode))
        return QvCodecReadFailure::NotAPicture;
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FromErrno(errno);
    ::close(fd);

    const std::string wanted = format ? qvcodec::FormatName(QString::fromUtf8(format)) : std::string();
    if (format && !IsInstalled(wanted))
        return QvCodecReadFailure::NotAPicture;
    QImageReader reader(QString::fromUtf8(path), QByteArray::fromStdString(wanted));
    reader.setAutoDetectImageFormat(format == nullptr);
    if (!IsInstalled(qvcodec::FormatName(QString::fromLatin1(reader.format()))))
        return QvCodecReadFailure::NotAPicture;
    if (frame > 0 && !reader.jumpToImage(frame))
        return QvCodecReadFailure::Damaged;
    return IsTooLarge(reader) ? QvCodecReadFailure::TooLarge : QvCodecReadFailure::Damaged;
}
