// Small images for the enhancement tests, written and read pixel by pixel (B, G, R[, A] for colour).
#pragma once

#include "qvimage/CQvImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace lumenor_test {

// An image of `type` and size whose pixel bytes, row by row without padding, are `bytes`.
inline CQvImage MakeImage(int type, int width, int height, const std::vector<int>& bytes)
{
    CQvImage image;
    EXPECT_EQ(image.Create(type, width, height, 0), 1);
    const int bpp = image.GetBitsPerPixel() / 8;
    EXPECT_EQ(bytes.size(), static_cast<size_t>(width) * height * bpp);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * bpp; ++x)
            image.Get2DBuffer()[y][x] = static_cast<BYTE>(bytes[static_cast<size_t>(y) * width * bpp + x]);
    return image;
}

// The pixel bytes, row by row without padding.
inline std::vector<int> Bytes(const CQvImage& image)
{
    std::vector<int> bytes;
    CQvImage& mutableImage = const_cast<CQvImage&>(image);
    const int bpp = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth() * bpp; ++x)
            bytes.push_back(mutableImage.Get2DBuffer()[y][x]);
    return bytes;
}

// Model, size, palette and every byte of the buffer (padding included) are the same.
inline bool Identical(const CQvImage& a, const CQvImage& b)
{
    if (a.GetColorModel() != b.GetColorModel() || a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() ||
        a.GetStride() != b.GetStride() || a.GetPaletteCount() != b.GetPaletteCount())
        return false;
    if (a.GetPaletteCount() &&
        std::memcmp(a.GetPalette(), b.GetPalette(), sizeof(RGBQUAD) * static_cast<size_t>(a.GetPaletteCount())))
        return false;
    return a.IsEmpty() ||
           std::memcmp(a.GetBuffer(), b.GetBuffer(), static_cast<size_t>(a.GetStride()) * a.GetHeight()) == 0;
}

// A deterministic image with detail in every channel.
inline CQvImage Pattern(int type, int width, int height, unsigned seed = 1)
{
    CQvImage image;
    image.Create(type, width, height, 0);
    const int bpp = image.GetBitsPerPixel() / 8;
    unsigned state = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * bpp; ++x) {
            state = state * 1103515245u + 12345u;
            image.Get2DBuffer()[y][x] = static_cast<BYTE>(40 + (state >> 16) % 150);
        }
    return image;
}

}  // namespace lumenor_test
