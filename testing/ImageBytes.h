// Small images for plug-in tests, written and read pixel by pixel (B, G, R[, A] for colour), without row padding.
#pragma once

#include "qvimage/CQvImage.h"

#include <gtest/gtest.h>

#include <vector>

namespace image_bytes {

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

inline std::vector<int> Bytes(const CQvImage& image)
{
    std::vector<int> bytes;
    const int bpp = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth() * bpp; ++x)
            bytes.push_back(image.GetBuffer()[static_cast<size_t>(y) * image.GetStride() + x]);
    return bytes;
}

}  // namespace image_bytes
