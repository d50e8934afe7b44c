#include "document/ClipboardImage.h"

#include "qvimage/QvImageDib.h"
#include "qvimage/QvImageViews.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const QMimeData* ClipboardData()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

// The DIB's bytes in storage aligned for its header, when the block holds a whole DIB the image library takes.
bool CopyDib(const QMimeData& data, std::vector<uint32_t>& storage)
{
    if (!data.hasFormat(kDibMimeType))
        return false;
    const QByteArray bytes = data.data(kDibMimeType);
    if (static_cast<size_t>(bytes.size()) < sizeof(BITMAPINFOHEADER))
        return false;
    storage.assign((static_cast<size_t>(bytes.size()) + 3) / 4, 0);
    std::memcpy(storage.data(), bytes.constData(), static_cast<size_t>(bytes.size()));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(storage.data());
    if (header->biSize < sizeof(BITMAPINFOHEADER))
        return false;
    const size_t needed = QVDibSize(header);
    return needed != 0 && needed <= static_cast<size_t>(bytes.size());
}

}  // namespace

std::optional<CSize> DibSizeFromMime(const QMimeData& data)
{
    std::vector<uint32_t> storage;
    if (!CopyDib(data, storage))
        return std::nullopt;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(storage.data());
    return CSize(header->biWidth, std::abs(header->biHeight));
}

bool ReadImageFromMime(const QMimeData& data, CQvImage& image)
{
    std::vector<uint32_t> storage;
    if (CopyDib(data, storage))
        return DIB2QVIMG(reinterpret_cast<const BITMAPINFOHEADER*>(storage.data()), &image, 0) == 1;
    if (data.hasImage())
        return QImageToColourImage(qvariant_cast<QImage>(data.imageData()), image);
    return false;
}

std::optional<CSize> ClipboardDibSize()
{
    const QMimeData* data = ClipboardData();
    return data ? DibSizeFromMime(*data) : std::nullopt;
}

bool ReadClipboardImage(CQvImage& image)
{
    const QMimeData* data = ClipboardData();
    return data && ReadImageFromMime(*data, image);
}

bool QImageToColourImage(const QImage& source, CQvImage& target)
{
    if (source.isNull())
        return false;
    const QImage bgr = source.convertToFormat(QImage::Format_BGR888);
    CQvImage result;
    if (!result.Create(QV_RGB24, bgr.width(), bgr.height(), 0))
        return false;
    const size_t rowBytes = static_cast<size_t>(bgr.width()) * 3;
    for (int y = 0; y < bgr.height(); ++y)
        std::memcpy(result.GetBuffer() + static_cast<ptrdiff_t>(y) * result.GetStride(), bgr.constScanLine(y),
                    rowBytes);
    target = std::move(result);
    return true;
}

bool PutImageOnClipboard(const CQvImage& image)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || image.IsEmpty())
        return false;
    BITMAPINFOHEADER* dib = nullptr;
    if (!QVIMG2DIB(&image, &dib) || !dib)
        return false;
    auto* data = new QMimeData;
    data->setData(kDibMimeType, QByteArray(reinterpret_cast<const char*>(dib), static_cast<qsizetype>(QVDibSize(dib))));
    QVFreeDIB(dib);
    // Other programs take the image as a picture; the copy keeps it valid after this image changes.
    CQvImage copy(image);
    data->setImageData(QvImageToQImage(copy).copy());
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}
