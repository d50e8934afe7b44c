// Seeds of the plug-ins' DIB bridge: the packed DIBs the image library writes for every sample image.
#include "FuzzSeeds.h"
#include "SampleImages.h"

#include "qvimage/QvImageDib.h"

VISTREL_FUZZ_SEEDS(ipl_dib)
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
