// Small images for the filter tests, written and read pixel by pixel (B, G, R for colour).
#pragma once

#include "qvimage/CQvImage.h"

#include <gtest/gtest.h>

#include <vector>

namespace sieva_test {

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

// A 24-bit image whose three channels of pixel (x, y) all hold levels[y][x].
inline CQvImage Colour(const std::vector<std::vector<int>>& levels)
{
    std::vector<int> bytes;
    for (const auto& row : levels)
        for (int v : row)
            bytes.insert(bytes.end(), {v, v, v});
    return MakeImage(QV_RGB24, static_cast<int>(levels[0].size()), static_cast<int>(levels.size()), bytes);
}

// One channel of every pixel, row by row.
inline std::vector<std::vector<int>> Channel(const CQvImage& image, int channel = 0)
{
    const int bpp = image.GetBitsPerPixel() / 8;
    std::vector<std::vector<int>> out(static_cast<size_t>(image.GetHeight()));
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            out[static_cast<size_t>(y)].push_back(
                image.GetBuffer()[static_cast<size_t>(y) * image.GetStride() + bpp * x + channel]);
    return out;
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

}  // namespace sieva_test
