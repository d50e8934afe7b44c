#include "chromex/ChromexOps.h"

#include "qvimage/QvImageOps.h"

#include <utility>

namespace chromex {

bool IsGreyModel(int model)
{
    return model == QV_GRAY || model == QV_GRAY8;
}

bool ConvertToGrey(const CQvImage& source, CQvImage& grey)
{
    const int model = source.GetColorModel();
    if (source.IsEmpty())
        return false;
    CQvImage result;
    if (!result.Create(QV_GRAY8, source.GetWidth(), source.GetHeight(), 0))
        return false;
    if ((model >= QV_INDEX1 && model <= QV_INDEX7) || model == QV_INDEX8) {
        CQvImage colour;
        if (!colour.Create(QV_RGB24, source.GetWidth(), source.GetHeight(), 0) || !QvIndex2RGB(&source, &colour) ||
            !QvRGB2Gray(&colour, &result, kRedWeight, kGreenWeight, kBlueWeight))
            return false;
    } else if (model == QV_RGB || model == QV_RGB24) {
        if (!QvRGB2Gray(&source, &result, kRedWeight, kGreenWeight, kBlueWeight))
            return false;
    } else if (model == QV_RGBA32) {
        if (!QvRGBA2Gray(&source, &result, kRedWeight, kGreenWeight, kBlueWeight))
            return false;
    } else {
        return false;
    }
    grey = std::move(result);
    return true;
}

bool ApplyTable(const ColourTable& table, const CQvImage& source, CQvImage& destination)
{
    if (source.IsEmpty() || source.GetBitsPerPixel() != 8 || destination.GetBitsPerPixel() != 24 ||
        destination.GetWidth() != source.GetWidth() || destination.GetHeight() != source.GetHeight())
        return false;
    for (int y = 0; y < source.GetHeight(); ++y) {
        const BYTE* in = source.GetBuffer() + static_cast<size_t>(y) * source.GetStride();
        BYTE* out = destination.Get2DBuffer()[y];
        for (int x = 0; x < source.GetWidth(); ++x) {
            const uint8_t* entry = &table[3 * static_cast<size_t>(in[x])];
            out[3 * x] = entry[0];
            out[3 * x + 1] = entry[1];
            out[3 * x + 2] = entry[2];
        }
    }
    return true;
}

}  // namespace chromex
