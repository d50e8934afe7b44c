// Conversions between the system's images, packed DIBs and the image-processing library's headers, compiled into
// each plug-in that filters, resizes, rotates or mirrors through that library.
//
// The headers made here are always 8-bit, pixel-interleaved, top-left origin, rows aligned to 4: one channel
// ("GRAY"/"GRAY") for grey images, three ("RGB"/"BGR") for every other one. So a round trip image -> header ->
// image keeps grey images 8-bit grey (QV_GRAY8) and makes indexed and 32-bit images 24-bit (QV_RGB24); alpha is lost.
// An image counts as grey when its colour model is grey, or when it is indexed and every palette entry has equal
// blue, green and red.
//
// Ownership: every header returned belongs to the caller, released with iplDeallocate(image, kIplImageAll) (or held
// in an IplImagePtr); every image returned is a new object deleted by the caller.
#pragma once

#include "ipl/IplLib.h"
#include "qvimage/CQvImage.h"
#include "types/WinRecords.h"

#include <cstddef>
#include <functional>
#include <memory>

struct IplImageRelease
{
    void operator()(IplImageHeader* image) const { iplDeallocate(image, kIplImageAll); }
};
using IplImagePtr = std::unique_ptr<IplImageHeader, IplImageRelease>;

// A header with a copy of a packed DIB's pixels (palette entries: biClrUsed, or 1 << bits when it is 0, and never
// more than 1 << bits are read). Null for a null DIB or one the library refuses (bit counts other than 1, 4, 8, 24
// and 32, compressed, empty or oversized). The one-argument form trusts the header's sizes (for DIBs this system
// made); a DIB from outside goes through the form that is told the block's size and refuses a block shorter than
// the DIB its header describes.
IplImageHeader* DibToIplImage(const BITMAPINFOHEADER* dib);
IplImageHeader* DibToIplImage(const BITMAPINFOHEADER* dib, size_t dibBytes);

// A header with a copy of the image's pixels, the same as converting the image's packed DIB (QVIMG2DIB) but without
// the detour. Null for a null or empty image.
IplImageHeader* QvImageToIplImage(const CQvImage* image);

// A new QV_GRAY8 image from a one-channel header, a new QV_RGB24 image from a three-channel one (the channel count
// decides, whatever the colour model says). Null for a null or invalid header or another channel count.
CQvImage* IplImageToQvImage(const IplImageHeader* ipl);

// A library call from a source header into a destination header of the source's layout.
using IplCall = std::function<int(const IplImageHeader* source, IplImageHeader* destination)>;

// Runs the call with its destination header over the pixels of `result`, which then holds what IplImageToQvImage
// would make of the call's output (QV_GRAY8 from one channel, QV_RGB24 from three), without the header's own pixels
// and the copy out of them. result keeps its pixel memory when it already has that model and size, so filtering
// again into the same image allocates nothing; else a new image replaces it. True when the call returns 1; false,
// result untouched, for a null source, another channel count or a call that refuses.
bool IplCallIntoQvImage(const IplImageHeader* source, CQvImage& result, const IplCall& call);
