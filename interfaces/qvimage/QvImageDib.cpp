#include "qvimage/QvImageDib.h"

#include "qvimage/private/QvImageAccess.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr DWORD kInfoHeaderSize = 40;
// Larger headers (the later versions of the info header) are accepted; the palette starts after them.
constexpr DWORD kLargestInfoHeaderSize = 124;
constexpr DWORD kMaxPaletteEntries = 256;

bool IsGreyRamp(const RGBQUAD* palette, DWORD count)
{
    if (count != 256)
        return false;
    for (DWORD i = 0; i < count; ++i)
        if (palette[i].rgbBlue != i || palette[i].rgbGreen != i || palette[i].rgbRed != i)
            return false;
    return true;
}

// The palette length a DIB header declares, or -1 when it is not acceptable.
long long DibPaletteCount(const BITMAPINFOHEADER& header)
{
    const int bits = header.biBitCount;
    if (bits <= 8)
    {
        const DWORD capacity = 1u << bits;
        const DWORD count = header.biClrUsed == 0 ? capacity : header.biClrUsed;
        return count <= capacity ? static_cast<long long>(count) : -1;
    }
    return header.biClrUsed <= kMaxPaletteEntries ? static_cast<long long>(header.biClrUsed) : -1;
}

// The palette length of a DIB that DIB2QVIMG takes, or -1 for one it refuses. Every size computed from an accepted
// header is bounded by the image limits, so it cannot overflow.
long long AcceptedPaletteCount(const BITMAPINFOHEADER& header)
{
    const int bits = header.biBitCount;
    const bool bitsKnown = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
    // The image keeps a byte per pixel below 8 bits, and its rows are never shorter than the DIB's.
    if (!bitsKnown || header.biSize < kInfoHeaderSize || header.biSize > kLargestInfoHeaderSize
        || header.biCompression != BI_RGB
        || !SizeWithinLimits(header.biWidth, std::llabs(static_cast<long long>(header.biHeight)), std::max(bits, 8)))
        return -1;
    return DibPaletteCount(header);
}

int DibBitsOf(int type)
{
    if (type == QV_INDEX1)
        return 1;
    if (type >= QV_INDEX2 && type <= QV_INDEX4)
        return 4;
    return GetQvBitCount(type);
}

void UnpackRow(const BYTE* source, int bits, int width, BYTE* target)
{
    for (int x = 0; x < width; ++x)
    {
        if (bits == 1)
            target[x] = (source[x >> 3] >> (7 - (x & 7))) & 0x01;
        else
            target[x] = (source[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    }
}

void PackRow(const BYTE* source, int bits, int width, BYTE* target)
{
    const BYTE mask = static_cast<BYTE>((1 << bits) - 1);
    for (int x = 0; x < width; ++x)
    {
        if (bits == 1)
            target[x >> 3] |= static_cast<BYTE>((source[x] & mask) << (7 - (x & 7)));
        else
            target[x >> 1] |= static_cast<BYTE>((source[x] & mask) << ((x & 1) ? 0 : 4));
    }
}

} // namespace

size_t QVDibSize(const BITMAPINFOHEADER* dib)
{
    const long long paletteCount = dib ? AcceptedPaletteCount(*dib) : -1;
    if (paletteCount < 0)
        return 0;
    const long long height = std::llabs(static_cast<long long>(dib->biHeight));
    return dib->biSize + 4 * static_cast<size_t>(paletteCount)
        + static_cast<size_t>(PaddedStride(dib->biWidth, dib->biBitCount) * height);
}

int DIB2QVIMG(const BITMAPINFOHEADER* dib, CQvImage* image, int /*reserved*/)
{
    if (!dib || !image)
        return 0;
    const BITMAPINFOHEADER& header = *dib;
    const long long paletteCount = AcceptedPaletteCount(header);
    if (paletteCount < 0)
        return 0;
    const int bits = header.biBitCount;
    const long long width = header.biWidth;
    const long long height = std::llabs(static_cast<long long>(header.biHeight));

    const auto* base = reinterpret_cast<const BYTE*>(dib);
    const auto* palette = reinterpret_cast<const RGBQUAD*>(base + header.biSize);
    const BYTE* pixels = base + header.biSize + 4 * paletteCount;
    int type = QV_RGBA32;
    if (bits == 24)
        type = QV_RGB24;
    else if (bits == 1)
        type = QV_INDEX1;
    else if (bits == 4)
        type = QV_INDEX4;
    else if (bits == 8)
        type = IsGreyRamp(palette, static_cast<DWORD>(paletteCount)) ? QV_GRAY8 : QV_INDEX8;

    // Every check is behind us: from here on the image is written in place (a live frame reuses its buffer).
    QvImageAccess::Allocate(*image, type, static_cast<int>(width), static_cast<int>(height));
    if (IsIndexedModel(type))
        image->SetPalette(palette, static_cast<int>(paletteCount));

    const size_t dibStride = static_cast<size_t>(PaddedStride(width, bits));
    const size_t rowBytes = static_cast<size_t>(width) * (image->GetBitsPerPixel() / 8);
    const size_t stride = static_cast<size_t>(image->GetStride());
    const bool topDown = header.biHeight < 0;
    BYTE** rows = image->Get2DBuffer();
    for (long long y = 0; y < height; ++y)
    {
        const BYTE* source = pixels + dibStride * static_cast<size_t>(topDown ? y : height - 1 - y);
        BYTE* target = rows[y];
        if (bits < 8)
            UnpackRow(source, bits, static_cast<int>(width), target);
        else
            std::memcpy(target, source, rowBytes);
        std::memset(target + rowBytes, 0, stride - rowBytes);
    }
    return 1;
}

int QVIMG2DIB(const CQvImage* image, BITMAPINFOHEADER** out)
{
    if (!out)
        return 0;
    *out = nullptr;
    if (!image || image->IsEmpty())
        return 0;
    const int type = image->GetColorModel();
    const int bits = DibBitsOf(type);
    const int width = image->GetWidth();
    const int height = image->GetHeight();
    const int paletteCount = IsGreyModel(type) ? 256 : image->GetPaletteCount();
    const size_t dibStride = static_cast<size_t>(PaddedStride(width, bits));
    const size_t pixelBytes = dibStride * height;
    const size_t size = kInfoHeaderSize + 4 * static_cast<size_t>(paletteCount) + pixelBytes;
    auto* block = static_cast<BYTE*>(::operator new(size));

    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block);
    *header = BITMAPINFOHEADER{};
    header->biSize = kInfoHeaderSize;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(pixelBytes);
    header->biClrUsed = static_cast<DWORD>(paletteCount);

    auto* palette = reinterpret_cast<RGBQUAD*>(block + kInfoHeaderSize);
    for (int i = 0; i < paletteCount; ++i)
    {
        const BYTE level = static_cast<BYTE>(i);
        palette[i] = IsGreyModel(type) ? RGBQUAD{level, level, level, 0} : image->GetPalette()[i];
    }

    BYTE* pixels = block + kInfoHeaderSize + 4 * static_cast<size_t>(paletteCount);
    const size_t rowBytes = bits < 8 ? 0 : static_cast<size_t>(width) * (bits / 8);
    for (int y = 0; y < height; ++y)
    {
        const BYTE* source = image->GetBuffer() + static_cast<size_t>(y) * image->GetStride();
        BYTE* target = pixels + dibStride * static_cast<size_t>(height - 1 - y);
        std::memset(target + rowBytes, 0, dibStride - rowBytes);
        if (bits < 8)
            PackRow(source, bits, width, target);
        else
            std::memcpy(target, source, rowBytes);
    }
    *out = header;
    return 1;
}

void QVFreeDIB(BITMAPINFOHEADER* dib)
{
    ::operator delete(dib);
}
