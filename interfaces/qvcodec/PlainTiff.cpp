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

// The file read by offset for the layout reader.
class OpenFileBytes : public TiffBytes
{
public:
    explicit OpenFileBytes(const ImageFile& file) : m_file(file) {}
    uint64_t Size() const override { return m_file.Size(); }
    const unsigned char* View(uint64_t at, uint64_t size, std::vector<unsigned char>& scratch) const override
    {
        scratch.resize(size);
        return size != 0 && m_file.ReadAt(at, scratch.data(), size) ? scratch.data() : nullptr;
    }

private:
    const ImageFile& m_file;
};

// Rows are read in batches of about this many bytes, so each is still in the cache when its red and blue are
// swapped or it is copied into place.
constexpr size_t kBatchBytes = size_t{256} << 10;
// A row at least this long is read straight to its place on its own: one read costs less than a copy then.
constexpr size_t kDirectRowBytes = 4096;

// The file's R, G, B order to the image's B, G, R.
void SwapRedAndBlue(BYTE* pixels, size_t count)
{
    for (size_t i = 0; i < count; ++i, pixels += 3) {
        const BYTE red = pixels[0];
        pixels[0] = pixels[2];
        pixels[2] = red;
    }
}

void CopySwappingRedAndBlue(BYTE* out, const BYTE* in, size_t count)
{
    for (size_t i = 0; i < count; ++i, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

// Copies the pixels of the layout's strips or tiles into `image`, which has the layout's size; every pixel byte of
// every row is written. False when the file does not give the bytes.
class ChunkCopier
{
public:
    ChunkCopier(const ImageFile& file, const TiffLayout& layout, CQvImage& image)
        : m_file(file), m_layout(layout), m_rows(image.Get2DBuffer()), m_width(image.GetWidth()),
          m_height(image.GetHeight()), m_stride(static_cast<size_t>(image.GetStride())),
          m_pixelBytes(static_cast<size_t>(image.GetBitsPerPixel() / 8))
    {
    }

    bool CopyAll()
    {
        const uint64_t chunks = m_layout.ChunksNeeded();
        if (m_layout.tiled) {
            const int tileWidth = static_cast<int>(m_layout.tileWidth);
            const int tileLength = static_cast<int>(m_layout.tileLength);
            const uint64_t across = (m_layout.width + m_layout.tileWidth - 1) / m_layout.tileWidth;
            for (uint64_t i = 0; i < chunks; ++i)
                if (!Copy(i, static_cast<int>(i % across) * tileWidth, static_cast<int>(i / across) * tileLength,
                          tileWidth, tileLength))
                    return false;
            return true;
        }
        const uint64_t perStrip =
            m_layout.rowsPerStrip == 0 ? m_layout.height : std::min(m_layout.rowsPerStrip, m_layout.height);
        for (uint64_t i = 0; i < chunks; ++i)
            if (!Copy(i, 0, static_cast<int>(i * perStrip), m_width, static_cast<int>(perStrip)))
                return false;
        return true;
    }

private:
    // Chunk `index` is `chunkWidth` pixels wide; its pixel (0, 0) is image pixel (left, top).
    bool Copy(uint64_t index, int left, int top, int chunkWidth, int chunkHeight)
    {
        const uint64_t start = m_layout.chunkOffsets[index];
        const size_t fileRow = static_cast<size_t>(chunkWidth) * m_pixelBytes;
        const int count = std::min(chunkHeight, m_height - top);
        const size_t columns = static_cast<size_t>(std::min(chunkWidth, m_width - left));
        const size_t rowBytes = columns * m_pixelBytes;
        const size_t batchRows = std::max<size_t>(1, kBatchBytes / fileRow);
        const auto rowAt = [&](int y) { return m_rows[top + y] + static_cast<size_t>(left) * m_pixelBytes; };
        // The image's rows lie as the file's do, with no padding between them: whole batches go straight in.
        if (fileRow == rowBytes && rowBytes == m_stride) {
            for (int y = 0; y < count;) {
                const int n = static_cast<int>(std::min<size_t>(batchRows, static_cast<size_t>(count - y)));
                if (!m_file.ReadAt(start + y * fileRow, rowAt(y), static_cast<size_t>(n) * fileRow))
                    return false;
                if (m_pixelBytes == 3)
                    SwapRedAndBlue(rowAt(y), columns * static_cast<size_t>(n));
                y += n;
            }
            return true;
        }
        if (rowBytes >= kDirectRowBytes || fileRow > kBatchBytes) {
            for (int y = 0; y < count; ++y) {
                if (!m_file.ReadAt(start + y * fileRow, rowAt(y), rowBytes))
                    return false;
                if (m_pixelBytes == 3)
                    SwapRedAndBlue(rowAt(y), columns);
            }
            return true;
        }
        // Short rows (narrow tiles): through a small buffer, a batch of rows at a time.
        m_buffer.resize(batchRows * fileRow);
        for (int y = 0; y < count;) {
            const int n = static_cast<int>(std::min<size_t>(batchRows, static_cast<size_t>(count - y)));
            if (!m_file.ReadAt(start + y * fileRow, m_buffer.data(), static_cast<size_t>(n) * fileRow))
                return false;
            for (int k = 0; k < n; ++k) {
                const BYTE* in = m_buffer.data() + static_cast<size_t>(k) * fileRow;
                if (m_pixelBytes == 3)
                    CopySwappingRedAndBlue(rowAt(y + k), in, columns);
                else
                    std::memcpy(rowAt(y + k), in, rowBytes);
            }
            y += n;
        }
        return true;
    }

    const ImageFile& m_file;
    const TiffLayout& m_layout;
    BYTE** m_rows;
    const int m_width;
    const int m_height;
    const size_t m_stride;
    const size_t m_pixelBytes;
    std::vector<BYTE> m_buffer;
};

}  // namespace

PlainTiffResult ReadPlainTiff(const ImageFile& file, int frame, CQvImage& target)
{
    TiffLayout layout;
    if (!ReadTiffLayout(OpenFileBytes(file), frame, layout) || !IsCompleteTiffLayout(layout, file.Size()))
        return PlainTiffResult::Refused;
    const int model = PlainModel(layout);
    if (model == 0)
        return PlainTiffResult::NotPlain;
    const uint64_t chunks = layout.ChunksNeeded();
    const uint64_t size = file.Size();
    for (uint64_t i = 0; i < chunks; ++i) {
        const uint64_t bytes = layout.UncompressedChunkBytes(i);
        if (bytes == 0 || layout.chunkOffsets[i] > size || bytes > size - layout.chunkOffsets[i])
            return PlainTiffResult::Refused;
    }

    CQvImage image;
    // Every pixel byte is read from the file below; a read that fails drops the image.
    if (!image.CreateUncleared(model, static_cast<int>(layout.width), static_cast<int>(layout.height)))
        return PlainTiffResult::NotPlain;
    if (!ChunkCopier(file, layout, image).CopyAll())
        return PlainTiffResult::Refused;
    target = std::move(image);
    return PlainTiffResult::Read;
}
