// What each button of the filter sheet makes of the starting image. Every filter starts from the image as it was
// when the sheet opened (the source header, and the page image made from it), never from the document's current
// image, so filters do not accumulate.
#pragma once

#include "ipl/IplLib.h"
#include "qvimage/CQvImage.h"

namespace sieva {

enum class Filter
{
    // Enhancement page
    HiPass3x3,
    HiPass5x5,
    Gaussian3x3,
    Gaussian5x5,
    Median,
    Sharpen,
    Min,
    Max,
    // Edge page
    Roberts,
    Sobel,
    Prewitt,
    Laplacian3x3,
    Laplacian5x5,
    // Morphological page
    Erode,
    Dilate,
    Open,
    Close,
};

// The filtered image: grey sources stay 8-bit grey for the library's filters and the morphology, every other one
// comes out 24-bit; the averaged edge pairs (Roberts, Sobel, Prewitt) always come out 24-bit. `pageImage` is the
// source as an image (IplImageToQvImage of `source`), `iterations` the morphology's count (1..5). False, `result`
// untouched, when the library refuses.
bool RunFilter(Filter filter, const IplImageHeader* source, const CQvImage& pageImage, int iterations,
               CQvImage& result);

// The kernel (columns x rows values, row by row) over the 24-bit form of the page image.
bool RunKernel(const CQvImage& pageImage, int columns, int rows, const float* values, CQvImage& result);

}  // namespace sieva
