#include "ipl/IplLib.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr DWORD kInfoHeaderSize = 40;
constexpr DWORD kLargestInfoHeaderSize = 124;

int Clamp255(int v) { return std::clamp(v, 0, 255); }

// Row bytes of an image of this width and channel count with the given alignment.
long long RowBytes(int width, int channels, int align)
{
    const long long bytes = static_cast<long long>(width) * channels;
    return (bytes + align - 1) / align * align;
}

bool IsValid(const IplImageHeader* image)
{
    return image && image->imageData && image->depth == kIplDepth8u && image->nChannels >= 1 && image->nChannels <= 4
        && image->dataOrder == kIplDataOrderPixel && image->origin == kIplOriginTopLeft && image->width >= 1
        && image->height >= 1 && image->width <= kIplMaxSide && image->height <= kIplMaxSide
        && image->widthStep >= static_cast<long long>(image->width) * image->nChannels
        && static_cast<long long>(image->widthStep) * image->height <= image->imageSize;
}

cv::Mat Wrap(const IplImageHeader* image)
{
    return cv::Mat(image->height, image->width, CV_MAKETYPE(CV_8U, image->nChannels), image->imageData,
        static_cast<size_t>(image->widthStep));
}

bool SameLayout(const IplImageHeader* a, const IplImageHeader* b)
{
    return a->nChannels == b->nChannels && a->width == b->width && a->height == b->height;
}

bool Overlaps(const IplImageHeader* a, const IplImageHeader* b)
{
    const char* aEnd = a->imageData + a->imageSize;
    const char* bEnd = b->imageData + b->imageSize;
    return a->imageData < bEnd && b->imageData < aEnd;
}

// The source as a Mat that stays valid while the destination is written: a copy when the two share memory.
cv::Mat SourceFor(const IplImageHeader* src, const IplImageHeader* dst)
{
    cv::Mat source = Wrap(src);
    return Overlaps(src, dst) ? source.clone() : source;
}

// OpenCV re-allocates a destination Mat of the wrong size or type instead of writing into it; every call checks the
// layout first, and this confirms the result landed in the image's own memory.
int Landed(const cv::Mat& target, const IplImageHeader* dst)
{
    return target.data == reinterpret_cast<const uchar*>(dst->imageData) ? 1 : 0;
}

bool PrepareBinary(const IplImageHeader* src, const IplImageHeader* dst)
{
    return IsValid(src) && IsValid(dst) && SameLayout(src, dst);
}

char* AllocatePixels(int bytes)
{
    return new (std::nothrow) char[static_cast<size_t>(bytes)];
}

void FreePixels(IplImageHeader* image)
{
    if (image->ownsData)
        delete[] image->imageData;
    image->imageData = nullptr;
    image->ownsData = false;
}

// Up to four characters of a colour model or channel sequence; the field is not terminated when all four are used.
void CopyCode(char (&field)[4], const char* text)
{
    for (size_t i = 0; text && i < sizeof field && text[i] != '\0'; ++i)
        field[i] = text[i];
}

bool ValidAnchor(int nCols, int nRows, int anchorX, int anchorY)
{
    return nCols >= 1 && nRows >= 1 && nCols <= 255 && nRows <= 255 && anchorX >= 0 && anchorX < nCols
        && anchorY >= 0 && anchorY < nRows;
}

// The DIB's palette length as read: biClrUsed, or 1 << bits when 0, never more than the bit depth addresses.
DWORD PaletteCount(const BITMAPINFOHEADER& dib)
{
    if (dib.biBitCount > 8)
        return 0;
    const DWORD capacity = 1u << dib.biBitCount;
    return dib.biClrUsed == 0 ? capacity : std::min(dib.biClrUsed, capacity);
}

// Bytes between the header's start and the first pixel row: the header, then biClrUsed palette entries as
// declared (a 24- or 32-bit DIB may carry an optional palette; a declared count beyond the depth is skipped over,
// not read).
long long PixelOffset(const BITMAPINFOHEADER& dib)
{
    const long long declared = dib.biBitCount <= 8 ? (dib.biClrUsed == 0 ? (1LL << dib.biBitCount) : dib.biClrUsed)
                                                    : dib.biClrUsed;
    return static_cast<long long>(dib.biSize) + 4 * declared;
}

bool DibAccepted(const BITMAPINFOHEADER& dib)
{
    const int bits = dib.biBitCount;
    const bool bitsKnown = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
    const long long height = std::llabs(static_cast<long long>(dib.biHeight));
    return bitsKnown && dib.biSize >= kInfoHeaderSize && dib.biSize <= kLargestInfoHeaderSize
        && dib.biCompression == BI_RGB && dib.biWidth >= 1 && dib.biWidth <= kIplMaxSide && height >= 1
        && height <= kIplMaxSide && dib.biClrUsed <= 256;
}

long long DibStride(const BITMAPINFOHEADER& dib)
{
    return (static_cast<long long>(dib.biWidth) * dib.biBitCount + 31) / 32 * 4;
}

// The pixel row of the DIB that shows as image row y.
long long DibRowOffset(const BITMAPINFOHEADER& dib, int y)
{
    const long long height = std::llabs(static_cast<long long>(dib.biHeight));
    const long long row = dib.biHeight < 0 ? y : height - 1 - y;
    return PixelOffset(dib) + row * DibStride(dib);
}

int DibIndex(const BYTE* row, int bits, int x)
{
    if (bits == 1)
        return (row[x >> 3] >> (7 - (x & 7))) & 0x01;
    if (bits == 4)
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    return row[x];
}

// The level a palette-less DIB's index stands for, spread over 0..255.
int IndexLevel(int index, int bits)
{
    return bits == 1 ? index * 255 : bits == 4 ? index * 17 : index;
}

// Columns begin..end-1 of a destination row.
struct ColumnSpan
{
    int begin = 0;
    int end = 0;
};

// The x interval where lo <= a x + b <= hi, as doubles (the whole line when a is 0 and b lies within).
void LinearRange(double a, double b, double lo, double hi, double& from, double& to)
{
    if (std::abs(a) < 1e-12)
    {
        const bool inside = b >= lo - 1e-9 && b <= hi + 1e-9;
        from = inside ? -1e12 : 1.0;
        to = inside ? 1e12 : 0.0;
        return;
    }
    from = std::min((lo - b) / a, (hi - b) / a);
    to = std::max((lo - b) / a, (hi - b) / a);
}

// The columns of a row where `holds` is true, for a test on the affine source position (u, v) = (du x + u0,
// dv x + v0) against a box, which holds on one run of columns: estimated from the lines, then settled by the test
// itself at both ends, so the run is exactly the pixels the test accepts.
template <class Test>
ColumnSpan Span(double du, double u0, double dv, double v0, double uLo, double uHi, double vLo, double vHi, int cols,
    Test holds)
{
    double uFrom = 0, uTo = 0, vFrom = 0, vTo = 0;
    LinearRange(du, u0, uLo, uHi, uFrom, uTo);
    LinearRange(dv, v0, vLo, vHi, vFrom, vTo);
    const double from = std::clamp(std::floor(std::max(uFrom, vFrom)) - 2.0, 0.0, static_cast<double>(cols));
    const double to = std::clamp(std::ceil(std::min(uTo, vTo)) + 3.0, 0.0, static_cast<double>(cols));
    ColumnSpan span{static_cast<int>(from), static_cast<int>(to)};
    while (span.begin < span.end && !holds(span.begin))
        ++span.begin;
    while (span.end > span.begin && !holds(span.end - 1))
        --span.end;
    return span;
}

int Interpolation(int code)
{
    switch (code & ~kIplSmoothEdge)
    {
    case kIplInterNearest: return cv::INTER_NEAREST_EXACT;
    case kIplInterLinear: return cv::INTER_LINEAR;
    case kIplInterCubic: return cv::INTER_CUBIC;
    case kIplInterSuper: return cv::INTER_AREA;
    default: return -1;
    }
}

// Median of any rectangle and anchor, for the shapes OpenCV's median does not take.
void MedianAnyShape(const cv::Mat& source, cv::Mat& target, int nCols, int nRows, int anchorX, int anchorY)
{
    cv::Mat padded;
    cv::copyMakeBorder(source, padded, anchorY, nRows - 1 - anchorY, anchorX, nCols - 1 - anchorX,
        cv::BORDER_REPLICATE);
    const int channels = source.channels();
    const size_t middle = (static_cast<size_t>(nCols) * nRows - 1) / 2;
    std::vector<uchar> window(static_cast<size_t>(nCols) * nRows);
    for (int y = 0; y < source.rows; ++y)
    {
        uchar* out = target.ptr<uchar>(y);
        for (int x = 0; x < source.cols; ++x)
            for (int c = 0; c < channels; ++c)
            {
                size_t n = 0;
                for (int k = 0; k < nRows; ++k)
                {
                    const uchar* in = padded.ptr<uchar>(y + k) + static_cast<size_t>(x) * channels + c;
                    for (int m = 0; m < nCols; ++m)
                        window[n++] = in[static_cast<size_t>(m) * channels];
                }
                std::nth_element(window.begin(), window.begin() + static_cast<long>(middle), window.end());
                out[static_cast<size_t>(x) * channels + c] = window[middle];
            }
    }
}

int MinMax(const IplImageHeader* src, IplImageHeader* dst, int nCols, int nRows, int anchorX, int anchorY, bool max)
{
    if (!PrepareBinary(src, dst) || !ValidAnchor(nCols, nRows, anchorX, anchorY))
        return 0;
    const cv::Mat source = SourceFor(src, dst);
    cv::Mat target = Wrap(dst);
    const cv::Point anchor(anchorX, anchorY);
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(nCols, nRows), anchor);
    if (max)
        cv::dilate(source, target, kernel, anchor, 1, cv::BORDER_REPLICATE);
    else
        cv::erode(source, target, kernel, anchor, 1, cv::BORDER_REPLICATE);
    return Landed(target, dst);
}

int Morphology(const IplImageHeader* src, IplImageHeader* dst, int nIterations, int operation)
{
    if (!PrepareBinary(src, dst) || nIterations < 1 || nIterations > 255)
        return 0;
    const cv::Mat source = SourceFor(src, dst);
    cv::Mat target = Wrap(dst);
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3));
    cv::morphologyEx(source, target, operation, kernel, cv::Point(-1, -1), nIterations, cv::BORDER_REPLICATE);
    return Landed(target, dst);
}

cv::Mat FixedKernel(int filter)
{
    switch (filter)
    {
    case kIplLaplace3x3:
    case kIplHipass3x3:
    {
        cv::Mat k(3, 3, CV_32F, cv::Scalar(-1.0f));
        k.at<float>(1, 1) = filter == kIplLaplace3x3 ? 8.0f : 9.0f;
        return k;
    }
    case kIplLaplace5x5:
    case kIplHipass5x5:
    {
        cv::Mat k(5, 5, CV_32F, cv::Scalar(-1.0f));
        k.at<float>(2, 2) = filter == kIplLaplace5x5 ? 24.0f : 25.0f;
        return k;
    }
    case kIplGaussian3x3:
    {
        const cv::Mat row = (cv::Mat_<float>(1, 3) << 1, 2, 1);
        return row.t() * row / 16.0f;
    }
    case kIplGaussian5x5:
    {
        const cv::Mat row = (cv::Mat_<float>(1, 5) << 1, 4, 6, 4, 1);
        return row.t() * row / 256.0f;
    }
    case kIplSharpen3x3:
        return (cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0);
    default:
        return cv::Mat();
    }
}

}  // namespace

IplImageHeader* iplCreateImageHeader(int nChannels, int alphaChannel, int depth, const char* colorModel,
    const char* channelSeq, int dataOrder, int origin, int align, int width, int height, void* roi, void* maskROI,
    void* imageId, void* tileInfo)
{
    if (nChannels < 1 || nChannels > 4 || alphaChannel < 0 || alphaChannel > nChannels || depth != kIplDepth8u
        || dataOrder != kIplDataOrderPixel || origin != kIplOriginTopLeft || (align != 4 && align != 8) || width < 1
        || height < 1 || width > kIplMaxSide || height > kIplMaxSide || roi || maskROI || imageId || tileInfo)
        return nullptr;
    const long long step = RowBytes(width, nChannels, align);
    if (step * height > kIplMaxBytes)
        return nullptr;
    auto* image = new (std::nothrow) IplImageHeader;
    if (!image)
        return nullptr;
    image->nChannels = nChannels;
    image->alphaChannel = alphaChannel;
    image->depth = depth;
    CopyCode(image->colorModel, colorModel);
    CopyCode(image->channelSeq, channelSeq);
    image->dataOrder = dataOrder;
    image->origin = origin;
    image->align = align;
    image->width = width;
    image->height = height;
    image->widthStep = static_cast<int>(step);
    image->imageSize = static_cast<int>(step * height);
    return image;
}

int iplAllocateImage(IplImageHeader* image, int doFill, int fillValue)
{
    if (!image || image->imageSize <= 0)
        return 0;
    char* pixels = AllocatePixels(image->imageSize);
    if (!pixels)
        return 0;
    std::memset(pixels, doFill ? Clamp255(fillValue) : 0, static_cast<size_t>(image->imageSize));
    FreePixels(image);
    image->imageData = pixels;
    image->ownsData = true;
    return 1;
}

void iplDeallocate(IplImageHeader* image, int flag)
{
    if (!image)
        return;
    if (flag & (kIplImageData | kIplImageHeader))
        FreePixels(image);
    if (flag & kIplImageHeader)
        delete image;
}

IplImageHeader* iplCloneImage(const IplImageHeader* image)
{
    if (!IsValid(image))
        return nullptr;
    auto* clone = new (std::nothrow) IplImageHeader(*image);
    if (!clone)
        return nullptr;
    clone->imageData = AllocatePixels(image->imageSize);
    clone->ownsData = clone->imageData != nullptr;
    if (!clone->imageData)
    {
        delete clone;
        return nullptr;
    }
    std::memcpy(clone->imageData, image->imageData, static_cast<size_t>(image->imageSize));
    return clone;
}

int iplSet(IplImageHeader* image, int fillValue)
{
    if (!IsValid(image))
        return 0;
    std::memset(image->imageData, Clamp255(fillValue), static_cast<size_t>(image->widthStep) * image->height);
    return 1;
}

size_t iplDibSize(const BITMAPINFOHEADER* dib)
{
    if (!dib || !DibAccepted(*dib))
        return 0;
    return static_cast<size_t>(PixelOffset(*dib)
        + DibStride(*dib) * std::llabs(static_cast<long long>(dib->biHeight)));
}

int iplConvertFromDIB(const BITMAPINFOHEADER* dib, IplImageHeader* image)
{
    if (!dib || !image || !DibAccepted(*dib) || image->depth != kIplDepth8u || image->width != dib->biWidth
        || image->height != std::llabs(static_cast<long long>(dib->biHeight)))
        return 0;
    const int bits = dib->biBitCount;
    const int channels = image->nChannels;
    if (!(channels == 3 || (channels == 1 && bits <= 8)))
        return 0;
    if (!image->imageData && !iplAllocateImage(image, 0, 0))
        return 0;
    if (!IsValid(image))
        return 0;
    const BYTE* base = reinterpret_cast<const BYTE*>(dib);
    const auto* palette = reinterpret_cast<const RGBQUAD*>(base + dib->biSize);
    const DWORD paletteCount = PaletteCount(*dib);
    const int sourceBytes = bits / 8;
    for (int y = 0; y < image->height; ++y)
    {
        const BYTE* in = base + DibRowOffset(*dib, y);
        auto* out = reinterpret_cast<BYTE*>(image->imageData + static_cast<size_t>(image->widthStep) * y);
        for (int x = 0; x < image->width; ++x)
        {
            if (bits <= 8)
            {
                const int index = DibIndex(in, bits, x);
                RGBQUAD colour{};
                if (static_cast<DWORD>(index) < paletteCount)
                    colour = palette[index];
                else if (paletteCount == 0)
                    colour.rgbBlue = colour.rgbGreen = colour.rgbRed = static_cast<BYTE>(IndexLevel(index, bits));
                if (channels == 1)
                    out[x] = colour.rgbBlue;
                else
                {
                    out[3 * x] = colour.rgbBlue;
                    out[3 * x + 1] = colour.rgbGreen;
                    out[3 * x + 2] = colour.rgbRed;
                }
            }
            else
                std::memcpy(out + 3 * x, in + static_cast<size_t>(sourceBytes) * x, 3);
        }
    }
    return 1;
}

int iplConvertToDIB(const IplImageHeader* image, BITMAPINFOHEADER* dib, int /*dither*/, int /*paletteConversion*/)
{
    if (!IsValid(image) || !dib || !DibAccepted(*dib) || image->width != dib->biWidth
        || image->height != std::llabs(static_cast<long long>(dib->biHeight)))
        return 0;
    const bool grey = image->nChannels == 1 && dib->biBitCount == 8;
    const bool colour = image->nChannels == 3 && dib->biBitCount == 24;
    if (!grey && !colour)
        return 0;
    BYTE* base = reinterpret_cast<BYTE*>(dib);
    const size_t rowBytes = static_cast<size_t>(image->width) * image->nChannels;
    const size_t stride = static_cast<size_t>(DibStride(*dib));
    for (int y = 0; y < image->height; ++y)
    {
        BYTE* out = base + DibRowOffset(*dib, y);
        std::memcpy(out, image->imageData + static_cast<size_t>(image->widthStep) * y, rowBytes);
        std::memset(out + rowBytes, 0, stride - rowBytes);
    }
    return 1;
}

int iplResize(const IplImageHeader* src, IplImageHeader* dst, int xDst, int xSrc, int yDst, int ySrc,
    int interpolate)
{
    const int method = Interpolation(interpolate);
    if (!IsValid(src) || !IsValid(dst) || src->nChannels != dst->nChannels || xDst <= 0 || xSrc <= 0 || yDst <= 0
        || ySrc <= 0 || method < 0 || (interpolate & kIplSmoothEdge))
        return 0;
    // The scale is the caller's statement of the destination's size: a destination of another size would be filled
    // at a scale nobody asked for.
    const auto scaled = [](int size, int to, int from) {
        return static_cast<long long>(size) * to / from;
    };
    if (scaled(src->width, xDst, xSrc) != dst->width || scaled(src->height, yDst, ySrc) != dst->height)
        return 0;
    const cv::Mat source = SourceFor(src, dst);
    cv::Mat target = Wrap(dst);
    cv::resize(source, target, target.size(), 0, 0, method);
    return Landed(target, dst);
}

void iplGetRotateShift(double xCenter, double yCenter, double angle, double* xShift, double* yShift)
{
    const double radians = angle * CV_PI / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    if (xShift)
        *xShift = xCenter - (xCenter * c + yCenter * s);
    if (yShift)
        *yShift = yCenter - (-xCenter * s + yCenter * c);
}

int iplRotate(const IplImageHeader* src, IplImageHeader* dst, double angle, double xShift, double yShift,
    int interpolate)
{
    const int method = Interpolation(interpolate);
    if (!IsValid(src) || !IsValid(dst) || src->nChannels != dst->nChannels || method < 0 || method == cv::INTER_AREA
        || !std::isfinite(angle) || !std::isfinite(xShift) || !std::isfinite(yShift))
        return 0;
    const double radians = angle * CV_PI / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    // The same map between pixel indexes, whose centres sit half a pixel inside the corner.
    const double tx = xShift + 0.5 * (c + s) - 0.5;
    const double ty = yShift + 0.5 * (c - s) - 0.5;
    const cv::Matx23d forward(c, s, tx, -s, c, ty);
    const cv::Mat source = SourceFor(src, dst);
    cv::Mat target = Wrap(dst);
    const int warpMethod = method == cv::INTER_NEAREST_EXACT ? cv::INTER_NEAREST : method;
    const bool smooth = (interpolate & kIplSmoothEdge) != 0;
    // Where a destination pixel's centre comes from, in source pixel indexes: the inverse of the map above.
    cv::Matx23d inverse;
    cv::invertAffineTransform(forward, inverse);
    const double width = source.cols;
    const double height = source.rows;
    const int channels = target.channels();
    // The source with its edge repeated one pixel outwards: the warp then skips the pixels far outside (the bulk of
    // a turned image's corners) and still reads the repeated edge for every pixel the rules below write.
    cv::Mat padded;
    cv::copyMakeBorder(source, padded, 1, 1, 1, 1, cv::BORDER_REPLICATE);
    // Bands of rows, each warped into a small scratch band and written through the coverage rule: the scratch
    // stays in cache, and the bands run in parallel.
    constexpr int kBand = 32;
    const int bands = (target.rows + kBand - 1) / kBand;
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range& range) {
        cv::Mat band;
        for (int b = range.start; b < range.end; ++b)
        {
            const int top = b * kBand;
            const int rows = std::min(kBand, target.rows - top);
            // Source index u is padded index u + 1; the band's row 0 is the destination's row `top`.
            const cv::Matx23d shifted(forward(0, 0), forward(0, 1),
                forward(0, 2) - forward(0, 0) - forward(0, 1), forward(1, 0), forward(1, 1),
                forward(1, 2) - forward(1, 0) - forward(1, 1) - top);
            band.create(rows, target.cols, target.type());
            cv::warpAffine(padded, band, shifted, band.size(), warpMethod, cv::BORDER_TRANSPARENT);
            for (int r = 0; r < rows; ++r)
            {
                const int y = top + r;
                const uchar* in = band.ptr<uchar>(r);
                uchar* out = target.ptr<uchar>(y);
                const double u0 = inverse(0, 1) * y + inverse(0, 2);
                const double v0 = inverse(1, 1) * y + inverse(1, 2);
                const double du = inverse(0, 0);
                const double dv = inverse(1, 0);
                const auto covered = [&](int x) {
                    const double u = du * x + u0;
                    const double v = dv * x + v0;
                    return u >= -0.5 && u < width - 0.5 && v >= -0.5 && v < height - 0.5;
                };
                const auto full = [&](int x) {
                    const double u = du * x + u0;
                    const double v = dv * x + v0;
                    return u >= 0.0 && u <= width - 1 && v >= 0.0 && v <= height - 1;
                };
                const auto touched = [&](int x) {
                    const double u = du * x + u0;
                    const double v = dv * x + v0;
                    return u > -1.0 && u < width && v > -1.0 && v < height;
                };
                const auto copy = [&](ColumnSpan span) {
                    if (span.end > span.begin)
                        std::memcpy(out + static_cast<size_t>(span.begin) * channels,
                            in + static_cast<size_t>(span.begin) * channels,
                            static_cast<size_t>(span.end - span.begin) * channels);
                };
                if (!smooth)
                {
                    copy(Span(du, u0, dv, v0, -0.5, width - 0.5, -0.5, height - 0.5, target.cols, covered));
                    continue;
                }
                const ColumnSpan inner = Span(du, u0, dv, v0, 0.0, width - 1, 0.0, height - 1, target.cols, full);
                const ColumnSpan outer = Span(du, u0, dv, v0, -1.0, width, -1.0, height, target.cols, touched);
                copy(inner);
                for (int x = outer.begin; x < outer.end; ++x)
                {
                    if (x == inner.begin && inner.end > inner.begin)
                        x = inner.end;
                    if (x >= outer.end)
                        break;
                    // The source rectangle sampled bilinearly: full inside the outer pixel centres, falling to
                    // nothing one pixel beyond them.
                    const double u = du * x + u0;
                    const double v = dv * x + v0;
                    const double fu = std::clamp(std::min(u + 1.0, width - u), 0.0, 1.0);
                    const double fv = std::clamp(std::min(v + 1.0, height - v), 0.0, 1.0);
                    const int w = static_cast<int>(fu * fv * 255.0 + 0.5);
                    const size_t i = static_cast<size_t>(x) * channels;
                    for (int ch = 0; ch < channels && w > 0; ++ch)
                        out[i + ch] = static_cast<uchar>((in[i + ch] * w + out[i + ch] * (255 - w) + 127) / 255);
                }
            }
        }
    });
    return Landed(target, dst);
}

int iplMirror(const IplImageHeader* src, IplImageHeader* dst, int axis)
{
    if (!PrepareBinary(src, dst) || axis < -1 || axis > 1)
        return 0;
    const cv::Mat source = SourceFor(src, dst);
    cv::Mat target = Wrap(dst);
    cv::flip(source, target, axis);
    return Landed(target, dst);
}

int iplMedianFilter(const IplImageHeader* src, IplImageHeader* dst, int nCols, int nRows, int anchorX, int anchorY)
{
    if (!PrepareBinary(src, dst) || !ValidAnchor(nCols, nRows, anchorX, anchorY))
        return 0;
    const cv::Mat source = SourceFor(src, dst);
    cv::Mat target = Wrap(dst);
    if (nCols == nRows && nCols % 2 == 1 && anchorX == nCols / 2 && anchorY == nRows / 2
        && (nCols <= 5 || source.channels() != 4))
    {
        if (nCols == 1)
            source.copyTo(target);
        else
            cv::medianBlur(source, target, nCols);
    }
    else
        MedianAnyShape(source, target, nCols, nRows, anchorX, anchorY);
    return Landed(target, dst);
}

int iplMinFilter(const IplImageHeader* src, IplImageHeader* dst, int nCols, int nRows, int anchorX, int anchorY)
{
    return MinMax(src, dst, nCols, nRows, anchorX, anchorY, false);
}

int iplMaxFilter(const IplImageHeader* src, IplImageHeader* dst, int nCols, int nRows, int anchorX, int anchorY)
{
    return MinMax(src, dst, nCols, nRows, anchorX, anchorY, true);
}

int iplFixedFilter(const IplImageHeader* src, IplImageHeader* dst, int filter)
{
    const cv::Mat kernel = FixedKernel(filter);
    if (!PrepareBinary(src, dst) || kernel.empty())
        return 0;
    const cv::Mat source = SourceFor(src, dst);
    cv::Mat target = Wrap(dst);
    // filter2D runs on one thread. A band of rows is a view into the whole image, and filter2D reads the rows
    // beyond a view's edge from the image (repeating only the image's own edge), so the bands together give the
    // bytes of one pass over the image.
    constexpr int kBandRows = 64;
    const int bands = (target.rows + kBandRows - 1) / kBandRows;
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range& range) {
        const cv::Range rows(range.start * kBandRows, std::min(range.end * kBandRows, target.rows));
        cv::Mat band = target.rowRange(rows);
        cv::filter2D(source.rowRange(rows), band, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
    });
    return Landed(target, dst);
}

int iplErode(const IplImageHeader* src, IplImageHeader* dst, int nIterations)
{
    return Morphology(src, dst, nIterations, cv::MORPH_ERODE);
}

int iplDilate(const IplImageHeader* src, IplImageHeader* dst, int nIterations)
{
    return Morphology(src, dst, nIterations, cv::MORPH_DILATE);
}

int iplOpen(const IplImageHeader* src, IplImageHeader* dst, int nIterations)
{
    return Morphology(src, dst, nIterations, cv::MORPH_OPEN);
}

int iplClose(const IplImageHeader* src, IplImageHeader* dst, int nIterations)
{
    return Morphology(src, dst, nIterations, cv::MORPH_CLOSE);
}
