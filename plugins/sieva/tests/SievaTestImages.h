// Small images for the filter tests, written and read pixel by pixel (B, G, R for colour).
#pragma once

#include "qvimage/CQvImage.h"
#include "testing/ImageBytes.h"

#include <vector>

namespace sieva_test {

using image_bytes::Bytes;
using image_bytes::MakeImage;

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

}  // namespace sieva_test
