#include "QImageToQvImage.h"

#include <cstring>
#include <vector>

namespace {

bool IsGreyRamp(const QList<QRgb>& table)
{
    if (table.size() != 256)
        return false;
    for (int i = 0; i < 256; ++i)
        if (table[i] != qRgb(i, i, i))
            return false;
    return true;
}

// The Qt format whose pixel bytes equal the CQvImage layout of the model chosen for `source`.
QImage::Format LayoutFor(const QImage& source, int& model)
{
    switch (source.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        model = IsGreyRamp(source.colorTable()) ? QV_GRAY8 : QV_INDEX8;
        return QImage::Format_Indexed8;
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
        model = QV_GRAY8;
        return QImage::Format_Grayscale8;
    default:
        break;
    }
    if (source.hasAlphaChannel()) {
        model = QV_RGBA32;
        return QImage::Format_ARGB32;  // B, G, R, A in memory on little-endian machines, not premultiplied
    }
    model = QV_RGB24;
    return QImage::Format_BGR888;
}

}  // namespace

bool QImageToQvImage(const QImage& source, CQvImage& target)
{
    if (source.isNull())
        return false;
    int model = QV_RGB24;
    const QImage pixels = source.convertToFormat(LayoutFor(source, model));

    CQvImage image;
    if (!image.Create(model, pixels.width(), pixels.height(), 0))
        return false;
    if (model == QV_INDEX8) {
        const QList<QRgb> table = pixels.colorTable();
        std::vector<RGBQUAD> palette;
        for (QRgb c : table)
            palette.push_back(RGBQUAD{static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)),
                                      static_cast<BYTE>(qRed(c)), 0});
        if (palette.empty() || !image.SetPalette(palette.data(), static_cast<int>(palette.size())))
            return false;
    }
    const size_t rowBytes = static_cast<size_t>(pixels.width()) * static_cast<size_t>(image.GetBitsPerPixel() / 8);
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(image.Get2DBuffer()[y], pixels.constScanLine(y), rowBytes);
    target = std::move(image);
    return true;
}
