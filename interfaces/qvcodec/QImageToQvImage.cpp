#include "qvcodec/private/QImageToQvImage.h"

#include <QImageReader>

#include <algorithm>
#include <cstdint>
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

bool HasSixteenBitSamples(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Grayscale16:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        return true;
    default:
        return false;
    }
}

// 16-bit grey onto grey levels by the image's own range: 12-bit camera data keeps all the levels 8 bits can show,
// and data that never leaves the lowest 256 values does not come out black.
bool GreySixteenToQvImage(const QImage& source, CQvImage& target, QvCodecReadNote* note)
{
    const int width = source.width();
    const int height = source.height();
    uint16_t low = UINT16_MAX;
    uint16_t high = 0;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(source.constScanLine(y));
        const auto [rowLow, rowHigh] = std::minmax_element(row, row + width);
        low = std::min(low, *rowLow);
        high = std::max(high, *rowHigh);
    }
    CQvImage image;
    if (!image.Create(QV_GRAY8, width, height, 0))
        return false;
    const uint32_t range = high - low;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(source.constScanLine(y));
        BYTE* out = image.Get2DBuffer()[y];
        for (int x = 0; x < width; ++x)
            out[x] = range == 0 ? static_cast<BYTE>(std::min<uint32_t>(row[x], 255))
                                : static_cast<BYTE>(((row[x] - low) * 255u + range / 2) / range);
    }
    target = std::move(image);
    if (note)
        *note = QvCodecReadNote{16, true, low, high};
    return true;
}

// 8-bit colour as the decoders give it (32-bit words, or R, G, B) written into the image's B, G, R rows at once,
// without a converted copy of the whole picture between.
bool ColourToQvImage(const QImage& source, CQvImage& target, QvCodecReadNote* note)
{
    CQvImage image;
    if (!image.Create(QV_RGB24, source.width(), source.height(), 0))
        return false;
    const int width = source.width();
    const bool words = source.format() == QImage::Format_RGB32;
    for (int y = 0; y < source.height(); ++y) {
        BYTE* out = image.Get2DBuffer()[y];
        if (words) {
            const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            for (int x = 0; x < width; ++x, out += 3) {
                out[0] = static_cast<BYTE>(qBlue(in[x]));
                out[1] = static_cast<BYTE>(qGreen(in[x]));
                out[2] = static_cast<BYTE>(qRed(in[x]));
            }
        } else {
            const uchar* in = source.constScanLine(y);
            for (int x = 0; x < width; ++x, out += 3, in += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        }
    }
    target = std::move(image);
    if (note)
        *note = QvCodecReadNote{};
    return true;
}

// The colour model whose rows hold a QImage of `format` byte for byte (RGB888 once its R and B are swapped);
// 0 for none.
int ModelWithRowsOf(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Grayscale8:
        return QV_GRAY8;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return QV_RGB24;
    case QImage::Format_ARGB32:
        return QV_RGBA32;
    default:
        return 0;
    }
}

}  // namespace

bool ReadIntoQvImage(QImageReader& reader, CQvImage& target, QvCodecReadNote* note)
{
    const QImage::Format format = reader.imageFormat();
    const QSize size = reader.scaledSize().isValid() ? reader.scaledSize() : reader.size();
    const int model = ModelWithRowsOf(format);
    CQvImage image;
    if (model == 0 || size.isEmpty() || !image.Create(model, size.width(), size.height(), 0)) {
        const QImage decoded = reader.read();
        return QImageToQvImage(decoded, target, note);
    }
    // Qt's readers decode into an image of their format and size as they find it, rows and all.
    QImage rows(image.GetBuffer(), image.GetWidth(), image.GetHeight(), image.GetStride(), format);
    if (!reader.read(&rows))
        return false;
    if (rows.constBits() != image.GetBuffer() || rows.format() != format || rows.size() != size) {
        // The reader made an image of its own after all: taken as any other.
        return QImageToQvImage(rows, target, note);
    }
    if (format == QImage::Format_RGB888)
        rows.rgbSwap();
    rows = QImage();
    target = std::move(image);
    if (note)
        *note = QvCodecReadNote{};
    return true;
}

bool QImageToQvImage(const QImage& source, CQvImage& target, QvCodecReadNote* note)
{
    if (source.isNull())
        return false;
    if (source.format() == QImage::Format_Grayscale16)
        return GreySixteenToQvImage(source, target, note);
    int model = QV_RGB24;
    const QImage::Format layout = LayoutFor(source, model);
    if (model == QV_RGB24 && (source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_RGB888))
        return ColourToQvImage(source, target, note);
    const QImage pixels = source.convertToFormat(layout);

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
    if (note)
        *note = HasSixteenBitSamples(source.format()) ? QvCodecReadNote{16, true, 0, UINT16_MAX} : QvCodecReadNote{};
    return true;
}
