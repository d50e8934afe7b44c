// Seeds of the companion bitmaps: bitmap files and packed DIBs as the image library writes them.
#include "FuzzSeeds.h"

#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"

#include <cstring>

namespace {

std::vector<uint8_t> PackedDibOf(int model)
{
    CQvImage image;
    image.Create(model, 5, 3, 0);
    BITMAPINFOHEADER* dib = nullptr;
    QVIMG2DIB(&image, &dib);
    const size_t size = QVDibSize(dib);
    std::vector<uint8_t> bytes(size);
    std::memcpy(bytes.data(), dib, size);
    QVFreeDIB(dib);
    return bytes;
}

std::vector<uint8_t> BitmapFileOf(const std::vector<uint8_t>& dib)
{
    const uint32_t fileSize = static_cast<uint32_t>(14 + dib.size());
    std::vector<uint8_t> file = {'B', 'M'};
    for (int i = 0; i < 4; ++i)
        file.push_back(static_cast<uint8_t>(fileSize >> (8 * i)));
    file.insert(file.end(), {0, 0, 0, 0, 0, 0, 0, 0});
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

}  // namespace

VISTREL_FUZZ_SEEDS(companion_bitmap)
{
    const std::vector<uint8_t> grey = PackedDibOf(QV_GRAY8);
    const std::vector<uint8_t> colour = PackedDibOf(QV_RGB24);
    return {grey, colour, BitmapFileOf(grey), BitmapFileOf(colour)};
}
