#include "sieva/FilterOps.h"

#include "sieva/KernelFilter.h"

#include "common/IplBridge.h"
#include "qvimage/QvImageOps.h"

#include <utility>

namespace sieva {

namespace {

// The library writes straight into the result's pixels (reused when the result already has the layout).
bool IntoResult(const IplImageHeader* source, CQvImage& result,
                int (*call)(const IplImageHeader*, IplImageHeader*, int), int argument)
{
    return IplCallIntoQvImage(source, result, [call, argument](const IplImageHeader* from, IplImageHeader* to) {
        return call(from, to, argument);
    });
}

int Median3(const IplImageHeader* src, IplImageHeader* dst, int)
{
    return iplMedianFilter(src, dst, 3, 3, 1, 1);
}
int Min3(const IplImageHeader* src, IplImageHeader* dst, int)
{
    return iplMinFilter(src, dst, 3, 3, 1, 1);
}
int Max3(const IplImageHeader* src, IplImageHeader* dst, int)
{
    return iplMaxFilter(src, dst, 3, 3, 1, 1);
}

bool ToColour(const CQvImage& image, CQvImage& colour)
{
    return colour.Create(QV_RGB24, image.GetWidth(), image.GetHeight(), 0) && QvConvert2RGB(&image, &colour);
}

// Two kernels over the 24-bit page image; every byte of the result is the mean (a + b) >> 1 of the two. Grey and
// 24-bit pages are read as they are; the others are made 24-bit first.
bool AveragedPair(const CQvImage& pageImage, int first, int second, CQvImage& result)
{
    if (FixedPairMeanReads(pageImage))
        return FixedPairMean(pageImage, first, second, result) != 0;
    CQvImage colour;
    return ToColour(pageImage, colour) && FixedPairMean(colour, first, second, result) != 0;
}

}  // namespace

bool RunFilter(Filter filter, const IplImageHeader* source, const CQvImage& pageImage, int iterations,
               CQvImage& result)
{
    switch (filter) {
    case Filter::HiPass3x3: return IntoResult(source, result, iplFixedFilter, kIplHipass3x3);
    case Filter::HiPass5x5: return IntoResult(source, result, iplFixedFilter, kIplHipass5x5);
    case Filter::Gaussian3x3: return IntoResult(source, result, iplFixedFilter, kIplGaussian3x3);
    case Filter::Gaussian5x5: return IntoResult(source, result, iplFixedFilter, kIplGaussian5x5);
    case Filter::Median: return IntoResult(source, result, Median3, 0);
    case Filter::Sharpen: return IntoResult(source, result, iplFixedFilter, kIplSharpen3x3);
    case Filter::Min: return IntoResult(source, result, Min3, 0);
    case Filter::Max: return IntoResult(source, result, Max3, 0);
    case Filter::Roberts: return AveragedPair(pageImage, 0, 1, result);
    case Filter::Sobel: return AveragedPair(pageImage, 2, 3, result);
    case Filter::Prewitt: return AveragedPair(pageImage, 4, 5, result);
    case Filter::Laplacian3x3: return IntoResult(source, result, iplFixedFilter, kIplLaplace3x3);
    case Filter::Laplacian5x5: return IntoResult(source, result, iplFixedFilter, kIplLaplace5x5);
    case Filter::Erode: return IntoResult(source, result, iplErode, iterations);
    case Filter::Dilate: return IntoResult(source, result, iplDilate, iterations);
    case Filter::Open: return IntoResult(source, result, iplOpen, iterations);
    case Filter::Close: return IntoResult(source, result, iplClose, iterations);
    }
    return false;
}

bool RunKernel(const CQvImage& pageImage, int columns, int rows, const float* values, CQvImage& result)
{
    CQvImage colour, filtered;
    if (!ToColour(pageImage, colour) || !filtered.Create(QV_RGB24, colour.GetWidth(), colour.GetHeight(), 0))
        return false;
    CKernelFilter filter;
    if (!filter.Attach(&filtered, &colour) || !filter.Apply(columns, rows, values))
        return false;
    result = std::move(filtered);
    return true;
}

}  // namespace sieva
