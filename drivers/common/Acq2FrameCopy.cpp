#include "common/Acq2FrameCopy.h"

#include "datakeeper/DkImage.h"

#include <cstring>

bool Acq2CopyRows(const uint8_t* firstRow, int64_t rowStep, int width, int height, datakeeper::CQvImage& image)
{
    if (!firstRow || width < 1 || height < 1 || image.IsEmpty() || image.GetWidth() < width
        || image.GetHeight() < height || image.GetBytesPerPixel() != 3)
        return false;
    const size_t rowBytes = size_t(width) * 3;
    for (int i = 0; i < height; ++i)
        std::memcpy(image.GetRow(i), firstRow + int64_t(i) * rowStep, rowBytes);
    return true;
}
