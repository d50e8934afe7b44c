// Seeds of the companion bitmaps: bitmap files and packed DIBs as the image library writes them.
#include "FuzzSeeds.h"

#include "peers/CompanionMessages.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"

#include <cstring>
#include <string>

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

// An open-with-calibration request as a companion leaves it: 0.125 units per pixel and a path, then the same with
// the path in CP949 and with an empty path.
VISTREL_FUZZ_SEEDS(companion_tlv)
{
    const auto request = [](const std::string& path) {
        std::vector<uint8_t> bytes = {static_cast<uint8_t>(companion::kTlvUnitsPerPixelView)};
        std::vector<uint8_t> units(companion::kTlvUnitsPerPixelView, 0);
        const double upp = 0.125;
        uint64_t bits = 0;
        std::memcpy(&bits, &upp, sizeof bits);
        for (size_t i = 0; i < sizeof bits; ++i)
            units[i] = static_cast<uint8_t>(bits >> (8 * i));
        bytes.insert(bytes.end(), units.begin(), units.end());
        bytes.insert(bytes.end(), path.begin(), path.end());
        bytes.resize(bytes.size() + 64, 0);
        return bytes;
    };
    return {request("/home/user/images/sample.png"), request("C:\\\xc0\xcc\xb9\xcc\xc1\xf6.bmp"), request("")};
}
