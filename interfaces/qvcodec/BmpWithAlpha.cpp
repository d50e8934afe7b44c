#include "BmpWithAlpha.h"

#include <cstdint>

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kV5HeaderBytes = 124;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kLcsSrgb = 0x73524742;  // 'sRGB'
constexpr uint32_t kLcsGmImages = 4;

void Put(QByteArray& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>(value >> (8 * i)));
}

}  // namespace

QByteArray BmpWithAlpha(const CQvImage& image)
{
    if (image.IsEmpty() || image.GetBitsPerPixel() != 32)
        return QByteArray();
    const uint32_t width = static_cast<uint32_t>(image.GetWidth());
    const uint32_t height = static_cast<uint32_t>(image.GetHeight());
    const uint32_t rowBytes = width * 4;  // already a multiple of 4; CQvImage bounds the product
    const uint32_t pixelBytes = rowBytes * height;
    const uint32_t pixelsAt = kFileHeaderBytes + kV5HeaderBytes;

    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(pixelsAt) + pixelBytes);
    bytes.append("BM", 2);
    Put(bytes, pixelsAt + pixelBytes, 4);
    Put(bytes, 0, 4);  // reserved
    Put(bytes, pixelsAt, 4);

    Put(bytes, kV5HeaderBytes, 4);
    Put(bytes, width, 4);
    Put(bytes, height, 4);  // positive: bottom-up rows
    Put(bytes, 1, 2);       // planes
    Put(bytes, 32, 2);      // bits a pixel
    Put(bytes, kBiBitfields, 4);
    Put(bytes, pixelBytes, 4);
    Put(bytes, 0, 4);  // pixels a metre, unstated
    Put(bytes, 0, 4);
    Put(bytes, 0, 4);  // colours used
    Put(bytes, 0, 4);  // colours important
    Put(bytes, 0x00FF0000, 4);  // red mask
    Put(bytes, 0x0000FF00, 4);  // green
    Put(bytes, 0x000000FF, 4);  // blue
    Put(bytes, 0xFF000000, 4);  // alpha
    Put(bytes, kLcsSrgb, 4);
    bytes.append(36 + 12, '\0');  // end points and gamma, unused with sRGB
    Put(bytes, kLcsGmImages, 4);
    Put(bytes, 0, 4);  // profile data, size, reserved
    Put(bytes, 0, 4);
    Put(bytes, 0, 4);

    for (int y = image.GetHeight() - 1; y >= 0; --y)
        bytes.append(reinterpret_cast<const char*>(image.GetPixel(0, y)), static_cast<qsizetype>(rowBytes));
    return bytes;
}
