#include "qvcodec/private/PlainTiff.h"

#include "qvcodec/private/TiffLayout.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint64_t kNoCompression = 1;
constexpr uint64_t kBlackIsZero = 1;
constexpr uint64_t kRgb = 2;
constexpr uint64_t kTopLeft = 1;
constexpr uint64_t kUnsignedInteger = 1;

// The colour model the layout's pixels are, byte for byte up to the order of R and B; 0 for none.
int PlainModel(const TiffLayout& layout)
{
    const auto all = [](const std::vector<uint64_t>& values, uint64_t wanted) {
        return std::all_of(values.begin(), values.end(), [wanted](uint64_t v) { return v == wanted; });
    };
    if (layout.compression != kNoCompression || layout.planar != 1 || layout.orientation != kTopLeft ||
        !layout.extraSamples.empty() || !all(layout.bitsPerSample, 8) || !all(layout.sampleFormat, kUnsignedInteger) ||
        layout.width > kQvMaxImageSide || layout.height > kQvMaxImageSide)
        return 0;
    const size_t counts = layout.bitsPerSample.size();
    if (layout.photometric == kRgb && layout.samplesPerPixel == 3 && (counts == 1 || counts == 3))
        return QV_RGB24;
    if (layout.photometric == kBlackIsZero && layout.samplesPerPixel == 1 && counts == 1)
        return QV_GRAY8;
    return 0;
}

}  // namespace

bool ReadPlainTiff(const QByteArray& file, int frame, CQvImage& target)
{
    TiffLayout layout;
    if (!ReadTiffLayout(file, frame, layout))
        return false;
    const int model = PlainModel(layout);
    if (model == 0)
        return false;
    const uint64_t chunks = layout.ChunksNeeded();
    if (chunks == 0 || layout.chunkOffsets.size() < chunks)
        return false;
    const uint64_t size = static_cast<uint64_t>(file.size());
    for (uint64_t i = 0; i < chunks; ++i) {
        const uint64_t bytes = layout.UncompressedChunkBytes(i);
        if (bytes == 0 || layout.chunkOffsets[i] > size || bytes > size - layout.chunkOffsets[i])
            return false;
    }

    const int width = static_cast<int>(layout.width);
    const int height = static_cast<int>(layout.height);
    CQvImage image;
    if (!image.Create(model, width, height, 0))
        return false;
    const size_t pixelBytes = model == QV_RGB24 ? 3 : 1;
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.constData());
    BYTE** rows = image.Get2DBuffer();
    // A chunk is `chunkWidth` pixels wide; its pixel (0, 0) is image pixel (left, top).
    const auto copyChunk = [&](uint64_t index, int left, int top, int chunkWidth, int chunkHeight) {
        const unsigned char* source = bytes + layout.chunkOffsets[index];
        const int count = std::min(chunkHeight, height - top);
        const int columns = std::min(chunkWidth, width - left);
        for (int y = 0; y < count; ++y) {
            const unsigned char* p = source + static_cast<size_t>(y) * static_cast<size_t>(chunkWidth) * pixelBytes;
            BYTE* out = rows[top + y] + static_cast<size_t>(left) * pixelBytes;
            if (pixelBytes == 1) {
                std::memcpy(out, p, static_cast<size_t>(columns));
                continue;
            }
            for (int x = 0; x < columns; ++x, p += 3, out += 3) {
                out[0] = p[2];
                out[1] = p[1];
                out[2] = p[0];
            }
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
        const uint64_t perStrip = layout.rowsPerStrip == 0 ? layout.height : std::min(layout.rowsPerStrip, layout.height);
        for (uint64_t i = 0; i < chunks; ++i)
            copyChunk(i, 0, static_cast<int>(i * perStrip), width, static_cast<int>(perStrip));
    }
    target = std::move(image);
    return true;
}
