// Seeds of the bitmap-file writer: the packed DIBs the image library makes of the sample images.
#include "FuzzSeeds.h"
#include "SampleImages.h"

#include "qvimage/QvImageDib.h"

VISTREL_FUZZ_SEEDS(bitmap_file)
{
    FuzzSeedList seeds;
    for (const CQvImage& image : SampleImages()) {
        BITMAPINFOHEADER* dib = nullptr;
        if (QVIMG2DIB(&image, &dib) != 1)
            continue;
        const auto* bytes = reinterpret_cast<const uint8_t*>(dib);
        seeds.emplace_back(bytes, bytes + QVDibSize(dib));
        QVFreeDIB(dib);
    }
    return seeds;
}
