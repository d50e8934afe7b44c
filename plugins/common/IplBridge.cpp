#include "common/IplBridge.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

IplImageHeader* NewHeader(bool grey, int width, int height)
{
    IplImagePtr image(iplCreateImageHeader(grey ? 1 : 3, 0, kIplDepth8u, grey ? "GRAY" : "RGB", grey ? "GRAY" : "BGR",
        kIplDataOrderPixel, kIplOriginTopLeft, kIplAlign4, width, height, nullptr, nullptr, nullptr, nullptr));
    if (!image || !iplAllocateImage(image.get(), 0, 0))
        return nullptr;
    return image.release();
}

bool IsGreyPalette(const RGBQUAD* palette, size_t count)
{
    return std::all_of(palette, palette + count,
        [](const RGBQUAD& e) { return e.rgbBlue == e.rgbGreen && e.rgbGreen == e.rgbRed; });
}

// The DIB bit count the image's packed DIB has for an indexed model, whose index bytes keep only that many bits.
int IndexMask(int type)
{
    if (type == QV_INDEX1)
        return 0x01;
    if (type >= QV_INDEX2 && type <= QV_INDEX4)
        return 0x0F;
    return 0xFF;
}

bool IsGreyModel(int type) { return type == QV_GRAY || type == QV_GRAY8; }
bool IsIndexedModel(int type) { return (type >= QV_INDEX1 && type <= QV_INDEX7) || type == QV_INDEX8; }

// A header over the pixels of a QV_GRAY8 or QV_RGB24 image; the image keeps them.
IplImageHeader HeaderOver(CQvImage& image)
{
    const bool grey = image.GetBitsPerPixel() == 8;
    IplImageHeader header;
    header.nChannels = grey ? 1 : 3;
    header.depth = kIplDepth8u;
    std::memcpy(header.colorModel, grey ? "GRAY" : "RGB", grey ? 4 : 3);
    std::memcpy(header.channelSeq, grey ? "GRAY" : "BGR", grey ? 4 : 3);
    header.dataOrder = kIplDataOrderPixel;
    header.origin = kIplOriginTopLeft;
    header.align = kIplAlign4;
    header.width = image.GetWidth();
    header.height = image.GetHeight();
    header.widthStep = image.GetStride();
    header.imageSize = image.GetStride() * image.GetHeight();
    header.imageData = reinterpret_cast<char*>(image.GetBuffer());
    return header;
}

}  // namespace

IplImageHeader* DibToIplImage(const BITMAPINFOHEADER* dib)
{
    if (!dib || iplDibSize(dib) == 0)
        return nullptr;
    bool grey = false;
    if (dib->biBitCount <= 8)
    {
        const DWORD capacity = 1u << dib->biBitCount;
        const DWORD count = dib->biClrUsed == 0 ? capacity : std::min(dib->biClrUsed, capacity);
        grey = IsGreyPalette(
            reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(dib) + dib->biSize), count);
    }
    const int height = dib->biHeight < 0 ? -dib->biHeight : dib->biHeight;
    IplImagePtr image(NewHeader(grey, dib->biWidth, height));
    if (!image || !iplConvertFromDIB(dib, image.get()))
        return nullptr;
    return image.release();
}

IplImageHeader* DibToIplImage(const BITMAPINFOHEADER* dib, size_t dibBytes)
{
    if (!dib || dibBytes < sizeof(BITMAPINFOHEADER))
        return nullptr;
    const size_t needed = iplDibSize(dib);
    if (needed == 0 || needed > dibBytes)
        return nullptr;
    return DibToIplImage(dib);
}

IplImageHeader* QvImageToIplImage(const CQvImage* image)
{
    if (!image || image->IsEmpty() || !image->GetBuffer())
        return nullptr;
    const int type = image->GetColorModel();
    const int bits = image->GetBitsPerPixel();
    const RGBQUAD* palette = image->GetPalette();
    const int paletteCount = image->GetPaletteCount();
    const bool indexed = IsIndexedModel(type);
    const bool grey = IsGreyModel(type) || (indexed && IsGreyPalette(palette, static_cast<size_t>(paletteCount)));
    if (!(IsGreyModel(type) || indexed || bits == 24 || bits == 32))
        return nullptr;
    IplImagePtr ipl(NewHeader(grey, image->GetWidth(), image->GetHeight()));
    if (!ipl)
        return nullptr;
    const int width = image->GetWidth();
    const int mask = IndexMask(type);
    for (int y = 0; y < image->GetHeight(); ++y)
    {
        const BYTE* in = image->GetBuffer() + static_cast<size_t>(image->GetStride()) * y;
        auto* out = reinterpret_cast<BYTE*>(ipl->imageData + static_cast<size_t>(ipl->widthStep) * y);
        if (IsGreyModel(type) || bits == 24)
            std::memcpy(out, in, static_cast<size_t>(width) * (bits / 8));
        else if (bits == 32)
            for (int x = 0; x < width; ++x)
                std::memcpy(out + 3 * x, in + 4 * x, 3);
        else
            for (int x = 0; x < width; ++x)
            {
                // An index beyond the palette has no colour: black, as the library reads such a DIB.
                const int index = in[x] & mask;
                const RGBQUAD colour = index < paletteCount ? palette[index] : RGBQUAD{};
                if (grey)
                    out[x] = colour.rgbBlue;
                else
                {
                    out[3 * x] = colour.rgbBlue;
                    out[3 * x + 1] = colour.rgbGreen;
                    out[3 * x + 2] = colour.rgbRed;
                }
            }
    }
    return ipl.release();
}

CQvImage* IplImageToQvImage(const IplImageHeader* ipl)
{
    if (!ipl || !ipl->imageData || ipl->depth != kIplDepth8u || (ipl->nChannels != 1 && ipl->nChannels != 3)
        || ipl->width < 1 || ipl->height < 1
        || ipl->widthStep < static_cast<long long>(ipl->width) * ipl->nChannels
        || static_cast<long long>(ipl->widthStep) * ipl->height > ipl->imageSize)
        return nullptr;
    auto image = std::make_unique<CQvImage>();
    if (!image->Create(ipl->nChannels == 1 ? QV_GRAY8 : QV_RGB24, ipl->width, ipl->height, 0))
        return nullptr;
    const size_t rowBytes = static_cast<size_t>(ipl->width) * ipl->nChannels;
    for (int y = 0; y < ipl->height; ++y)
        std::memcpy(image->GetBuffer() + static_cast<size_t>(image->GetStride()) * y,
            ipl->imageData + static_cast<size_t>(ipl->widthStep) * y, rowBytes);
    return image.release();
}

bool IplCallIntoQvImage(const IplImageHeader* source, CQvImage& result, const IplCall& call)
{
    if (!source || (source->nChannels != 1 && source->nChannels != 3))
        return false;
    const int model = source->nChannels == 1 ? QV_GRAY8 : QV_RGB24;
    const bool reuse = !result.IsEmpty() && result.GetColorModel() == model && result.GetWidth() == source->width
        && result.GetHeight() == source->height;
    CQvImage fresh;
    if (!reuse && !fresh.CreateUncleared(model, source->width, source->height))
        return false;
    CQvImage& target = reuse ? result : fresh;
    IplImageHeader header = HeaderOver(target);
    // A call that refuses leaves its destination as it was: result's pixels are then unchanged too.
    if (!call(source, &header))
        return false;
    if (!reuse)
    {
        result = std::move(fresh);
        return true;
    }
    // As a new image would be: no region, nothing after the last pixel of a row.
    result.ClearRoi();
    const size_t rowBytes = static_cast<size_t>(result.GetWidth()) * source->nChannels;
    const size_t padding = static_cast<size_t>(result.GetStride()) - rowBytes;
    if (padding != 0)
        for (int y = 0; y < result.GetHeight(); ++y)
            std::memset(result.Get2DBuffer()[y] + rowBytes, 0, padding);
    return true;
}
