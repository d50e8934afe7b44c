#include "StraightAlphaTiff.h"

#include "CQvImage.h"
#include "TiffLayout.h"

#include <algorithm>

namespace {

constexpr uint64_t kNoCompression = 1;
constexpr uint64_t kRgb = 2;
constexpr uint64_t kStraightAlpha = 2;
constexpr uint64_t kTopLeft = 1;
constexpr uint64_t kUnsignedInteger = 1;

bool IsStraightRgba8(const TiffLayout& layout)
{
    const auto all = [](const std::vector<uint64_t>& values, uint64_t wanted) {
        return std::all_of(values.begin(), values.end(), [wanted](uint64_t v) { return v == wanted; });
    };
    return layout.compression == kNoCompression && layout.photometric == kRgb && layout.samplesPerPixel == 4 &&
           layout.planar == 1 && layout.orientation == kTopLeft && all(layout.bitsPerSample, 8) &&
           (layout.bitsPerSample.size() == 1 || layout.bitsPerSample.size() == 4) &&
           layout.extraSamples == std::vector<uint64_t>{kStraightAlpha} && all(layout.sampleFormat, kUnsignedInteger) &&
           layout.width <= kQvMaxImageSide && layout.height <= kQvMaxImageSide;
}

}  // namespace

QImage ReadStraightAlphaTiff(const QByteArray& file, int frame)
{
    TiffLayout layout;
    if (!ReadTiffLayout(file, frame, layout) || !IsStraightRgba8(layout))
        return QImage();
    const uint64_t chunks = layout.ChunksNeeded();
    if (chunks == 0 || layout.chunkOffsets.size() < chunks)
        return QImage();
    const uint64_t size = static_cast<uint64_t>(file.size());
    for (uint64_t i = 0; i < chunks; ++i) {
        const uint64_t bytes = layout.UncompressedChunkBytes(i);
        if (bytes == 0 || layout.chunkOffsets[i] > size || bytes > size - layout.chunkOffsets[i])
            return QImage();
    }

    const int width = static_cast<int>(layout.width);
    const int height = static_cast<int>(layout.height);
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return QImage();
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.constData());
    // A chunk is `chunkWidth` pixels wide; its pixel (0, 0) is image pixel (left, top).
    const auto copyChunk = [&](uint64_t index, int left, int top, int chunkWidth, int chunkHeight) {
        const unsigned char* source = bytes + layout.chunkOffsets[index];
        const int rows = std::min(chunkHeight, height - top);
        const int columns = std::min(chunkWidth, width - left);
        for (int y = 0; y < rows; ++y) {
            const unsigned char* p = source + static_cast<size_t>(y) * static_cast<size_t>(chunkWidth) * 4;
            QRgb* target = reinterpret_cast<QRgb*>(image.scanLine(top + y)) + left;
            for (int x = 0; x < columns; ++x, p += 4)
                target[x] = qRgba(p[0], p[1], p[2], p[3]);
        }
    };
    if (layout.tiled) {
        const int tileWidth = static_cast<int>(layout.tileWidth);
        const int tileLength = static_cast<int>(layout.tileLength);
        const uint64_t across = (layout.width + layout.tileWidth - 1) / layout.tileWidth;
        for (uint64_t i = 0; i < chunks; ++i)
            copyChunk(i, static_cast<int>(i % across) * tileWidth, static_cast<int>(i / across) * tileLength,
                      tileWidth, tileLength);
    } else {
        const uint64_t rows = layout.rowsPerStrip == 0 ? layout.height : std::min(layout.rowsPerStrip, layout.height);
        for (uint64_t i = 0; i < chunks; ++i)
            copyChunk(i, 0, static_cast<int>(i * rows), width, static_cast<int>(rows));
    }
    return image;
}
