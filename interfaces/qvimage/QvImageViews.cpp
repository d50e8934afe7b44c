#include "qvimage/QvImageViews.h"

#include "qvimage/private/QvImageAccess.h"

#include <QtEndian>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "Format_ARGB32 is B, G, R, A in memory only on little-endian machines");

QImage QvImageToQImage(CQvImage& image)
{
    if (image.IsEmpty())
        return QImage();
    QImage::Format format = QImage::Format_Grayscale8;
    if (image.GetBitsPerPixel() == 24)
        format = QImage::Format_BGR888;
    else if (image.GetBitsPerPixel() == 32)
        format = QImage::Format_ARGB32;
    else if (IsIndexedModel(image.GetColorModel()))
        format = QImage::Format_Indexed8;
    QImage view(image.GetBuffer(), image.GetWidth(), image.GetHeight(), image.GetStride(), format);
    if (format == QImage::Format_Indexed8)
    {
        QList<QRgb> colours;
        for (int i = 0; i < image.GetPaletteCount(); ++i)
        {
            const RGBQUAD& entry = image.GetPalette()[i];
            colours.append(qRgb(entry.rgbRed, entry.rgbGreen, entry.rgbBlue));
        }
        view.setColorTable(colours);
    }
    return view;
}

cv::Mat QvImageToMat(CQvImage& image)
{
    if (image.IsEmpty())
        return cv::Mat();
    const int channels = image.GetBitsPerPixel() / 8;
    return cv::Mat(image.GetHeight(), image.GetWidth(), CV_8UC(channels), image.GetBuffer(),
                   static_cast<size_t>(image.GetStride()));
}
