// A packed DIB from the clipboard or a frame: the block is checked against the size its header asks for before
// it is converted, as every reader of an outside DIB does.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "QvImageDib.h"

#include <cstring>
#include <memory>

VISTREL_FUZZ_TARGET(dib)
{
    if (size < sizeof(BITMAPINFOHEADER))
        return 0;
    // A block handed over by the system is aligned for its header.
    auto block = std::make_unique<uint64_t[]>((size + 7) / 8);
    std::memcpy(block.get(), data, size);
    const auto* dib = reinterpret_cast<const BITMAPINFOHEADER*>(block.get());
    const size_t needed = QVDibSize(dib);
    if (needed == 0 || needed > size)
        return 0;
    CQvImage image;
    if (DIB2QVIMG(dib, &image, 0) != 1)
        return 0;
    BITMAPINFOHEADER* out = nullptr;
    FuzzCheck(QVIMG2DIB(&image, &out) == 1 && out, "an image made from a DIB gives a DIB");
    CQvImage again;
    FuzzCheck(DIB2QVIMG(out, &again, 0) == 1, "the DIB an image gives converts back");
    QVFreeDIB(out);
    return 0;
}
