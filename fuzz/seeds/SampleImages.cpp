#include "SampleImages.h"

#include "qvimage/QvImageDib.h"

#include <memory>

std::vector<CQvImage> SampleImages()
{
    std::vector<CQvImage> images;
    for (const int model : {QV_GRAY8, QV_INDEX1, QV_INDEX4, QV_INDEX8, QV_RGB24, QV_RGBA32}) {
        CQvImage image;
        image.Create(model, 7, 5, 0);
        const int bytesPerPixel = image.GetBitsPerPixel() <= 8 ? 1 : image.GetBitsPerPixel() / 8;
        const int levels = model == QV_INDEX1 ? 2 : model == QV_INDEX4 ? 16 : 256;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x)
                for (int c = 0; c < bytesPerPixel; ++c)
                    image.GetPixel(x, y)[c] = static_cast<uint8_t>((x * 37 + y * 11 + c * 5) % levels);
        if (image.GetPaletteCount() > 0) {
            std::vector<RGBQUAD> palette(static_cast<size_t>(image.GetPaletteCount()));
            for (size_t i = 0; i < palette.size(); ++i)
                palette[i] = RGBQUAD{static_cast<uint8_t>(i * 3), static_cast<uint8_t>(255 - i),
                                     static_cast<uint8_t>(i * 7), 0};
            image.SetPalette(palette.data(), static_cast<int>(palette.size()));
        }
        images.push_back(image);
    }
    auto corners = std::make_unique<int[]>(4);
    corners[0] = 1;
    corners[1] = 1;
    corners[2] = 5;
    corners[3] = 3;
    images.front().SetRoi(QV_ROI_RECT, std::move(corners), 2);
    return images;
}

FuzzSeedList SampleImageDibs()
{
    FuzzSeedList dibs;
    for (const CQvImage& image : SampleImages()) {
        BITMAPINFOHEADER* dib = nullptr;
        if (QVIMG2DIB(&image, &dib) != 1)
            continue;
        const auto* bytes = reinterpret_cast<const uint8_t*>(dib);
        dibs.emplace_back(bytes, bytes + QVDibSize(dib));
        QVFreeDIB(dib);
    }
    return dibs;
}
