#include "acqdriver/AcqDib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

bool IsFrameDepth(int64_t bitsPerPixel)
{
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24
        || bitsPerPixel == 32;
}

void PrefetchRow(const uint8_t* row, int64_t bytes)
{
    constexpr int64_t kStep = 256;
    for (int64_t offset = 0; offset < bytes; offset += kStep)
        __builtin_prefetch(row + offset);
}

}  // namespace

int64_t AcqDibStride(int64_t width, int64_t bitsPerPixel)
{
    if (width <= 0 || width > INT32_MAX || !IsFrameDepth(bitsPerPixel))
        return -1;
    return (width * bitsPerPixel + 31) / 32 * 4;
}

int64_t AcqDibImageBytes(int64_t width, int64_t height, int64_t bitsPerPixel)
{
    const int64_t stride = AcqDibStride(width, bitsPerPixel);
    const int64_t rows = height < 0 ? -height : height;
    if (stride < 0 || rows == 0 || rows > INT32_MAX)
        return -1;
    if (stride > kAcqMaxFrameBytes / rows)
        return -1;
    return stride * rows;
}

int64_t AcqDibBufferSize(int64_t width, int64_t height, int64_t bitsPerPixel)
{
    const int64_t image = AcqDibImageBytes(width, height, bitsPerPixel);
    return image < 0 ? -1 : image + kAcqDibOverhead;
}

int64_t AcqDibPixelOffset(const BITMAPINFOHEADER& header)
{
    constexpr DWORD kBitFields = 3;
    if (header.biCompression == kBitFields)
        return 40 + 12;
    int64_t entries = header.biClrUsed;
    if (entries == 0 && header.biBitCount <= 8)
        entries = int64_t(1) << header.biBitCount;
    if (entries > kAcqPaletteRoom / 4)
        return -1;
    return 40 + entries * 4;
}

void AcqFillDibHeader(BITMAPINFOHEADER& header, int32_t width, int32_t height, int32_t bitsPerPixel)
{
    std::memset(&header, 0, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    const int64_t image = AcqDibImageBytes(width, height, bitsPerPixel);
    header.biSizeImage = image < 0 ? 0 : static_cast<DWORD>(image);
    if (bitsPerPixel >= 1 && bitsPerPixel <= 8) {
        const int entries = 1 << bitsPerPixel;
        header.biClrUsed = static_cast<DWORD>(entries);
        auto* palette = reinterpret_cast<RGBQUAD*>(&header + 1);
        for (int i = 0; i < entries; ++i) {
            const auto level = static_cast<BYTE>(i * 255 / (entries - 1));
            palette[i] = RGBQUAD{level, level, level, 0};
        }
    }
}

bool AcqCopyFrameToDib(const AcqFrameView& frame, BITMAPINFOHEADER* dib, AcqRowMirror mirror)
{
    if (!dib || !frame.pixels || frame.width <= 0 || frame.height <= 0)
        return false;
    const int64_t dibWidth = dib->biWidth;
    const int64_t dibRows = std::llabs(int64_t(dib->biHeight));
    const int64_t dibStride = AcqDibStride(dibWidth, dib->biBitCount);
    const int64_t offset = AcqDibPixelOffset(*dib);
    if (dib->biBitCount != frame.bitsPerPixel || dibStride < 0 || dibRows == 0 || offset < 0)
        return false;
    if (AcqDibImageBytes(dibWidth, dibRows, dib->biBitCount) < 0)
        return false;

    const int64_t rows = std::min<int64_t>(dibRows, frame.height);
    const int64_t columns = std::min<int64_t>(dibWidth, frame.width);
    uint8_t* target = reinterpret_cast<uint8_t*>(dib) + offset;
    if (mirror == AcqRowMirror::None || frame.bitsPerPixel < 8) {
        const int64_t rowBytes =
            std::min((columns * frame.bitsPerPixel + 7) / 8, std::min(dibStride, frame.stride < 0 ? -frame.stride : frame.stride));
        // Rows that lie back to back on both sides (the usual full frame) go in one copy: many row-sized copies of
        // a large frame cost measurably more than one.
        if (frame.stride == dibStride && rowBytes == dibStride) {
            std::memcpy(target, frame.pixels, size_t(rows * dibStride));
            return true;
        }
        // Rows with gaps between them (a crop out of a larger frame): the hardware prefetcher stops at each gap,
        // so the next row is asked for while this one is copied.
        for (int64_t row = 0; row < rows; ++row) {
            if (row + 1 < rows)
                PrefetchRow(frame.pixels + (row + 1) * frame.stride, rowBytes);
            std::memcpy(target + row * dibStride, frame.pixels + row * frame.stride, size_t(rowBytes));
        }
        return true;
    }
    const int64_t pixelBytes = frame.bitsPerPixel / 8;
    if (pixelBytes == 4) {
        // Cameras deliver 32-bit frames at video rates: a fixed pixel size lets the compiler move whole vectors.
        for (int64_t row = 0; row < rows; ++row) {
            const uint8_t* source = frame.pixels + row * frame.stride + (frame.width - 1) * 4;
            uint8_t* out = target + row * dibStride;
            for (int64_t column = 0; column < columns; ++column) {
                uint32_t pixel;
                std::memcpy(&pixel, source - column * 4, 4);
                std::memcpy(out + column * 4, &pixel, 4);
            }
        }
        return true;
    }
    for (int64_t row = 0; row < rows; ++row) {
        const uint8_t* source = frame.pixels + row * frame.stride;
        uint8_t* out = target + row * dibStride;
        for (int64_t column = 0; column < columns; ++column)
            std::memcpy(out + column * pixelBytes, source + (frame.width - 1 - column) * pixelBytes, size_t(pixelBytes));
    }
    return true;
}
