// A packed DIB handed to an image-processing plug-in: the block is checked against the size its header asks for,
// the header made from it has the DIB's size and a channel layout the plug-ins take, and converts back.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "common/IplBridge.h"

#include <cstdlib>
#include <cstring>
#include <memory>

VISTREL_FUZZ_TARGET(ipl_dib)
{
    if (size < sizeof(BITMAPINFOHEADER))
        return 0;
    // A block handed over by the system is aligned for its header.
    auto block = std::make_unique<uint64_t[]>((size + 7) / 8);
    std::memcpy(block.get(), data, size);
    const auto* dib = reinterpret_cast<const BITMAPINFOHEADER*>(block.get());
    IplImagePtr ipl(DibToIplImage(dib, size));
    if (!ipl)
        return 0;
    FuzzCheck(ipl->width == dib->biWidth && ipl->height == std::labs(dib->biHeight), "the header has the DIB's size");
    FuzzCheck(ipl->nChannels == 1 || ipl->nChannels == 3, "one or three channels");
    FuzzCheck(ipl->widthStep % 4 == 0 && ipl->widthStep >= ipl->width * ipl->nChannels, "rows aligned to 4");
    std::unique_ptr<CQvImage> back(IplImageToQvImage(ipl.get()));
    FuzzCheck(back && back->GetWidth() == ipl->width && back->GetHeight() == ipl->height,
        "the header converts back to an image of its size");
    return 0;
}
