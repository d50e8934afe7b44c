// The bitmaps companion programs hand over: a bitmap file and a copied packed DIB. Whatever the bytes, the reader
// either refuses them or yields a DIB whose sizes the image library agrees with.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "peers/CompanionBitmap.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"

VISTREL_FUZZ_TARGET(companion_bitmap)
{
    PackedDib dib;
    CQvImage image;
    if (ParseBitmapFile(data, size, dib)) {
        FuzzCheck(dib.Size() >= sizeof(BITMAPINFOHEADER), "a parsed bitmap holds its header");
        PackedDibToImage(dib, image);
    }
    if (AcceptPackedDib(data, size, dib)) {
        FuzzCheck(QVDibSize(dib.Header()) <= dib.Size(), "an accepted DIB holds what its header describes");
        FuzzCheck(PackedDibToImage(dib, image), "an accepted DIB converts");
    }
    return 0;
}
