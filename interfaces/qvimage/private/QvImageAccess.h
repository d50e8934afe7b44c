// Library-internal access to CQvImage for the converters that overwrite every pixel byte, and the colour-model
// facts they share. Not installed for other modules.
#pragma once

#include "qvimage/CQvImage.h"

class QvImageAccess
{
public:
    // CQvImage::Create without clearing the pixels (palette and region as Create leaves them).
    static bool Allocate(CQvImage& image, int type, int width, int height)
    {
        return image.Allocate(type, width, height);
    }

    // An image without pixels that still names its colour model.
    static void MakeEmpty(CQvImage& image, int type)
    {
        image.Remove();
        image.m_type = type;
    }
};

inline bool IsGreyModel(int type) { return type == QV_GRAY || type == QV_GRAY8; }
inline bool IsIndexedModel(int type) { return (type >= QV_INDEX1 && type <= QV_INDEX7) || type == QV_INDEX8; }
// The largest palette an indexed model holds (0 for other models).
inline int PaletteCapacity(int type) { return IsIndexedModel(type) ? 1 << GetBitCount(type) : 0; }
// Bytes of a row of `width` pixels of `bits` each, padded to 4.
inline long long PaddedStride(long long width, int bits) { return (width * bits + 31) / 32 * 4; }
// Whether an image of that size fits the limits of CQvImage.h.
inline bool SizeWithinLimits(long long width, long long height, int bits)
{
    return width >= 1 && height >= 1 && width <= kQvMaxImageSide && height <= kQvMaxImageSide
        && PaddedStride(width, bits) * height <= kQvMaxImageBytes;
}
