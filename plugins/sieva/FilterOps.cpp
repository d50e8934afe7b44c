#include "sieva/FilterOps.h"

#include "sieva/KernelFilter.h"

#include "common/IplBridge.h"
#include "qvimage/QvImageOps.h"

#include <memory>
#include <utility>

namespace sieva {

namespace {

bool FromClone(const IplImageHeader* source, CQvImage& result, int (*call)(const IplImageHeader*, IplImageHeader*,
                                                                           int), int argument)
{
    IplImagePtr clone(iplCloneImage(source));
    if (!clone || !call(source, clone.get(), argument))
        return false;
    std::unique_ptr<CQvImage> image(IplImageToQvImage(clone.get()));
    if (!image)
        return false;
    result = std::move(*image);
    return true;
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

// Two kernels over the 24-bit page image; every byte of the result is the mean (a + b) >> 1 of the two.
bool AveragedPair(const CQvImage& pageImage, int first, int second, CQvImage& result)
{
    CQvImage colour, a, b, mean;
    if (!ToColour(pageImage, colour) || !a.Create(QV_RGB24, colour.GetWidth(), colour.GetHeight(), 0) ||
        !b.Create(QV_RGB24, colour.GetWidth(), colour.GetHeight(), 0) ||
        !mean.Create(QV_RGB24, colour.GetWidth(), colour.GetHeight(), 0))
        return false;
    CKernelFilter filter;
    if (!filter.Attach(&a, &colour) || !filter.ApplyFixed(first) || !filter.Attach(&b, &colour) ||
        !filter.ApplyFixed(second))
        return false;
    const size_t bytes = static_cast<size_t>(mean.GetStride()) * mean.GetHeight();
    for (size_t i = 0; i < bytes; ++i)
        mean.GetBuffer()[i] = static_cast<BYTE>((a.GetBuffer()[i] + b.GetBuffer()[i]) >> 1);
    result = std::move(mean);
    return true;
}

}  // namespace

bool RunFilter(Filter filter, const IplImageHeader* source, const CQvImage& pageImage, int iterations,
               CQvImage& result)
{
    switch (filter) {
    case Filter::HiPass3x3: return FromClone(source, result, iplFixedFilter, kIplHipass3x3);
    case Filter::HiPass5x5: return FromClone(source, result, iplFixedFilter, kIplHipass5x5);
    case Filter::Gaussian3x3: return FromClone(source, result, iplFixedFilter, kIplGaussian3x3);
    case Filter::Gaussian5x5: return FromClone(source, result, iplFixedFilter, kIplGaussian5x5);
    case Filter::Median: return FromClone(source, result, Median3, 0);
    case Filter::Sharpen: return FromClone(source, result, iplFixedFilter, kIplSharpen3x3);
    case Filter::Min: return FromClone(source, result, Min3, 0);
    case Filter::Max: return FromClone(source, result, Max3, 0);
    case Filter::Roberts: return AveragedPair(pageImage, 0, 1, result);
    case Filter::Sobel: return AveragedPair(pageImage, 2, 3, result);
    case Filter::Prewitt: return AveragedPair(pageImage, 4, 5, result);
    case Filter::Laplacian3x3: return FromClone(source, result, iplFixedFilter, kIplLaplace3x3);
    case Filter::Laplacian5x5: return FromClone(source, result, iplFixedFilter, kIplLaplace5x5);
    case Filter::Erode: return FromClone(source, result, iplErode, iterations);
    case Filter::Dilate: return FromClone(source, result, iplDilate, iterations);
    case Filter::Open: return FromClone(source, result, iplOpen, iterations);
    case Filter::Close: return FromClone(source, result, iplClose, iterations);
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
