#include "lumenor/LumenorOps.h"

#include "common/IplBridge.h"
#include "qvimage/QvImageOps.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace lumenor {

namespace {

constexpr float kRedWeight = 0.212671f;
constexpr float kGreenWeight = 0.71516f;
constexpr float kBlueWeight = 0.072169f;

int BytesPerPixel(const CQvImage& image)
{
    return image.GetBitsPerPixel() / 8;
}

// Row pointers of an image only read from (the image offers them on its non-const side only).
const BYTE* const* Rows(const CQvImage& image)
{
    return const_cast<CQvImage&>(image).Get2DBuffer();
}

bool SameShape(const CQvImage& a, const CQvImage& b)
{
    return a.GetColorModel() == b.GetColorModel() && a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight();
}

Lut IdentityLut()
{
    Lut lut{};
    for (int i = 0; i < 256; ++i)
        lut[i] = static_cast<BYTE>(i);
    return lut;
}

// Maps each colour channel through its own table (index 0 blue, 1 green, 2 red; grey uses table 0).
void MapChannels(const CQvImage& source, CQvImage& target, const Lut* luts)
{
    const int bpp = BytesPerPixel(source);
    const int width = source.GetWidth();
    const BYTE* const* in = Rows(source);
    BYTE** out = target.Get2DBuffer();
    for (int y = 0; y < source.GetHeight(); ++y) {
        const BYTE* s = in[y];
        BYTE* d = out[y];
        if (bpp == 1) {
            const Lut& lut = luts[0];
            for (int x = 0; x < width; ++x)
                d[x] = lut[s[x]];
        } else if (bpp == 3) {
            for (int x = 0; x < 3 * width; x += 3) {
                d[x] = luts[0][s[x]];
                d[x + 1] = luts[1][s[x + 1]];
                d[x + 2] = luts[2][s[x + 2]];
            }
        } else {
            for (int x = 0; x < 4 * width; x += 4) {
                d[x] = luts[0][s[x]];
                d[x + 1] = luts[1][s[x + 1]];
                d[x + 2] = luts[2][s[x + 2]];
                d[x + 3] = s[x + 3];
            }
        }
    }
}

void MapAll(const CQvImage& source, CQvImage& target, const Lut& lut)
{
    const Lut luts[3] = {lut, lut, lut};
    MapChannels(source, target, luts);
}

// The pixel bytes of `source` into `target` of the same shape (nothing to do when they are one image).
void CopyPixels(const CQvImage& source, CQvImage& target)
{
    if (&source == &target)
        return;
    const size_t rowBytes = static_cast<size_t>(BytesPerPixel(source)) * source.GetWidth();
    const BYTE* const* in = Rows(source);
    BYTE** out = target.Get2DBuffer();
    for (int y = 0; y < source.GetHeight(); ++y)
        std::memcpy(out[y], in[y], rowBytes);
}

// The operations that write into a target take one of the source's shape.
bool Writable(const CQvImage& source, const CQvImage& target)
{
    return IsEnhanceableImage(source) && SameShape(source, target) && target.GetBuffer();
}

// Histograms of B, G and R (grey: all three the same one).
std::array<Histogram, 3> ChannelHistograms(const CQvImage& image)
{
    std::array<Histogram, 3> h{};
    std::array<Histogram, 3> quarter{};
    const int bpp = BytesPerPixel(image);
    const BYTE* const* rows = Rows(image);
    for (int y = 0; y < image.GetHeight(); ++y) {
        const BYTE* s = rows[y];
        if (bpp == 1) {
            // Four counters per level, so runs of equal levels do not wait on one another's increments.
            int x = 0;
            for (; x + 4 <= image.GetWidth(); x += 4) {
                ++h[0][s[x]];
                ++quarter[0][s[x + 1]];
                ++quarter[1][s[x + 2]];
                ++quarter[2][s[x + 3]];
            }
            for (; x < image.GetWidth(); ++x)
                ++h[0][s[x]];
        } else {
            for (int x = 0; x < bpp * image.GetWidth(); x += bpp) {
                ++h[0][s[x]];
                ++h[1][s[x + 1]];
                ++h[2][s[x + 2]];
            }
        }
    }
    if (bpp == 1) {
        for (int v = 0; v < 256; ++v)
            h[0][v] += quarter[0][v] + quarter[1][v] + quarter[2][v];
        h[1] = h[2] = h[0];
    }
    return h;
}

unsigned long long PixelCount(const CQvImage& image)
{
    return static_cast<unsigned long long>(image.GetWidth()) * static_cast<unsigned long long>(image.GetHeight());
}

// A stretch that leaves a flat channel (lo == hi) as it is.
Lut StretchOrIdentity(int lo, int hi)
{
    return lo < hi ? StretchLut(lo, hi) : IdentityLut();
}

// The levels that clip perMille of the image's pixels at each end of `histogram`.
std::pair<int, int> ClipLevels(const Histogram& histogram, const CQvImage& image, int perMille)
{
    int lo = 0;
    int hi = 255;
    FindLevels(histogram, PixelCount(image), perMille, &lo, &hi);
    return {lo, hi};
}

bool StretchGrey(const CQvImage& source, CQvImage& target)
{
    const auto [lo, hi] = ClipLevels(ChannelHistograms(source)[0], source, 30);
    if (lo < hi)
        MapAll(source, target, StretchLut(lo, hi));
    else
        CopyPixels(source, target);
    return true;
}

}  // namespace

bool IsEnhanceableImage(const CQvImage& image)
{
    if (image.IsEmpty() || !Rows(image))
        return false;
    const int bits = GetBitCount(image.GetColorModel());
    return bits == 8 || bits == 24 || bits == 32;
}

bool Invert(CQvImage& image)
{
    return InvertInto(image, image);
}

bool InvertInto(const CQvImage& source, CQvImage& target)
{
    if (!Writable(source, target))
        return false;
    const size_t rowBytes = static_cast<size_t>(BytesPerPixel(source)) * source.GetWidth();
    const BYTE* const* in = Rows(source);
    BYTE** out = target.Get2DBuffer();
    for (int y = 0; y < source.GetHeight(); ++y) {
        const BYTE* s = in[y];
        BYTE* d = out[y];
        for (size_t x = 0; x < rowBytes; ++x)
            d[x] = static_cast<BYTE>(~s[x]);
    }
    return true;
}

void FindLevels(const Histogram& histogram, unsigned long long total, int perMille, int* lo, int* hi)
{
    *lo = 0;
    *hi = 255;
    const unsigned long long needed = static_cast<unsigned long long>(perMille) * total;
    unsigned long long sum = 0;
    for (int v = 0; v < 256; ++v) {
        sum += histogram[v];
        if (sum * 1000 >= needed) {
            *lo = v;
            break;
        }
    }
    sum = 0;
    for (int v = 255; v >= 0; --v) {
        sum += histogram[v];
        if (sum * 1000 >= needed) {
            *hi = v;
            break;
        }
    }
    // A percentage of 50 % or more could make the two searches cross; the levels never come out reversed.
    if (*hi < *lo)
        *hi = *lo;
}

Lut StretchLut(int lo, int hi)
{
    Lut lut{};
    lo = std::clamp(lo, 0, 255);
    hi = std::clamp(hi, lo, 255);
    const int span = hi - lo;
    for (int v = 0; v < 256; ++v) {
        if (v < lo)
            lut[v] = 0;
        else if (v > hi || span == 0)
            lut[v] = v == lo ? 0 : 255;
        else
            lut[v] = static_cast<BYTE>((v - lo) * 255 / span);
    }
    return lut;
}

bool AutoContrast(CQvImage& image)
{
    return AutoContrastInto(image, image);
}

bool AutoContrastInto(const CQvImage& source, CQvImage& target)
{
    if (!Writable(source, target))
        return false;
    if (BytesPerPixel(source) == 1)
        return StretchGrey(source, target);
    const std::array<Histogram, 3> h = ChannelHistograms(source);
    int lowSum = 0;
    int highSum = 0;
    for (const Histogram& channel : h) {
        const auto [lo, hi] = ClipLevels(channel, source, 10);
        lowSum += lo;
        highSum += hi;
    }
    // Rounded means: (2 s + 3) / 6 is s / 3 rounded half up, in integers.
    const int lo = (2 * lowSum + 3) / 6;
    const int hi = (2 * highSum + 3) / 6;
    if (lo < hi)
        MapAll(source, target, StretchLut(lo, hi));
    else
        CopyPixels(source, target);
    return true;
}

bool AutoLevel(CQvImage& image)
{
    return AutoLevelInto(image, image);
}

bool AutoLevelInto(const CQvImage& source, CQvImage& target)
{
    if (!Writable(source, target))
        return false;
    if (BytesPerPixel(source) == 1)
        return StretchGrey(source, target);
    const std::array<Histogram, 3> h = ChannelHistograms(source);
    Lut luts[3];
    for (int c = 0; c < 3; ++c) {
        const auto [lo, hi] = ClipLevels(h[c], source, 5);
        luts[c] = StretchOrIdentity(lo, hi);
    }
    MapChannels(source, target, luts);
    return true;
}

bool HistogramEqualize(CQvImage& image)
{
    return HistogramEqualizeInto(image, image);
}

bool HistogramEqualizeInto(const CQvImage& source, CQvImage& target)
{
    if (!Writable(source, target))
        return false;
    const std::array<Histogram, 3> h = ChannelHistograms(source);
    const unsigned long long n = PixelCount(source);
    Lut lut{};
    unsigned long long cumulative[3] = {0, 0, 0};
    for (int v = 0; v < 256; ++v) {
        unsigned sum = 0;
        for (int c = 0; c < 3; ++c) {
            cumulative[c] += h[c][v];
            // round(255 * C / N) in integers: (2 * 255 * C + N) / (2 N).
            sum += static_cast<unsigned>((510 * cumulative[c] + n) / (2 * n));
        }
        lut[v] = static_cast<BYTE>(sum / 3);
    }
    MapAll(source, target, lut);
    return true;
}

namespace {

// A library header over an image's own pixels (no copy): grey and 24-bit images have the library's layout already.
// The header of a source is only read from.
IplImagePtr WrapPixels(const CQvImage& image)
{
    const bool grey = BytesPerPixel(image) == 1;
    IplImagePtr header(iplCreateImageHeader(grey ? 1 : 3, 0, kIplDepth8u, grey ? "GRAY" : "RGB", grey ? "GRAY" : "BGR",
        kIplDataOrderPixel, kIplOriginTopLeft, kIplAlign4, image.GetWidth(), image.GetHeight(), nullptr, nullptr,
        nullptr, nullptr));
    if (!header || header->widthStep != image.GetStride())
        return nullptr;
    header->imageData = const_cast<char*>(reinterpret_cast<const char*>(image.GetBuffer()));
    header->ownsData = false;
    return header;
}

// Grey models and plain 24-bit colour filter in place of their own pixels; indexed and 32-bit images go through the
// bridge, which turns them into 24-bit colour (or grey for a grey palette).
bool IsLibraryLayout(const CQvImage& image)
{
    const int model = image.GetColorModel();
    return model == QV_GRAY || model == QV_GRAY8 || model == QV_RGB || model == QV_RGB24;
}

}  // namespace

bool RemoveNoise(CQvImage& image)
{
    CQvImage result;
    if (!RemoveNoiseInto(image, result))
        return false;
    image = std::move(result);
    return true;
}

bool RemoveNoiseInto(const CQvImage& image, CQvImage& result)
{
    if (!IsEnhanceableImage(image))
        return false;
    if (IsLibraryLayout(image)) {
        const int model = BytesPerPixel(image) == 1 ? QV_GRAY8 : QV_RGB24;
        // The filter writes every pixel: a result of the right model and size at hand is written over.
        CQvImage made;
        if (&result != &image && result.GetColorModel() == model && result.GetWidth() == image.GetWidth() &&
            result.GetHeight() == image.GetHeight())
            made = std::move(result);
        else if (!made.Create(model, image.GetWidth(), image.GetHeight(), 0))
            return false;
        made.ClearRoi();
        IplImagePtr source = WrapPixels(image);
        IplImagePtr filtered = WrapPixels(made);
        if (!source || !filtered || !iplMedianFilter(source.get(), filtered.get(), 3, 3, 1, 1))
            return false;
        filtered.reset();
        result = std::move(made);
        return true;
    }
    IplImagePtr source(QvImageToIplImage(&image));
    if (!source)
        return false;
    IplImagePtr filtered(iplCloneImage(source.get()));
    if (!filtered || !iplMedianFilter(source.get(), filtered.get(), 3, 3, 1, 1))
        return false;
    std::unique_ptr<CQvImage> made(IplImageToQvImage(filtered.get()));
    if (!made)
        return false;
    result = std::move(*made);
    return true;
}

Lut BrightnessContrastLut(int offset, int contrast)
{
    Lut lut{};
    const int factor = 400 - std::clamp(contrast, 0, 400);  // the factor times 200
    for (int i = 0; i < 256; ++i)
        lut[i] = static_cast<BYTE>(std::clamp((i + offset) * factor / 200, 0, 255));
    return lut;
}

bool ApplyLut(const CQvImage& source, CQvImage& target, const Lut& lut)
{
    if (!IsEnhanceableImage(source) || !SameShape(source, target))
        return false;
    const Lut luts[3] = {lut, lut, lut};
    MapChannels(source, target, luts);
    return true;
}

bool ToGrey(const CQvImage& source, CQvImage& grey)
{
    if (!IsEnhanceableImage(source))
        return false;
    CQvImage result;
    if (!result.Create(QV_GRAY8, source.GetWidth(), source.GetHeight(), 0))
        return false;
    switch (BytesPerPixel(source)) {
    case 1: {
        const size_t rowBytes = static_cast<size_t>(source.GetWidth());
        for (int y = 0; y < source.GetHeight(); ++y)
            std::memcpy(result.Get2DBuffer()[y], Rows(source)[y], rowBytes);
        break;
    }
    case 3:
        if (!QvRGB2Gray(&source, &result, kRedWeight, kGreenWeight, kBlueWeight))
            return false;
        break;
    default:
        if (!QvRGBA2Gray(&source, &result, kRedWeight, kGreenWeight, kBlueWeight))
            return false;
        break;
    }
    grey = std::move(result);
    return true;
}

Histogram GreyHistogram(const CQvImage& grey)
{
    return ChannelHistograms(grey)[0];
}

bool ApplyThreshold(const CQvImage& grey, CQvImage& target, int t)
{
    if (!SameShape(grey, target) || BytesPerPixel(grey) != 1)
        return false;
    const BYTE* const* in = Rows(grey);
    BYTE** out = target.Get2DBuffer();
    const size_t width = static_cast<size_t>(grey.GetWidth());
    for (int y = 0; y < grey.GetHeight(); ++y) {
        if (t <= 0 || t > 255) {
            std::memset(out[y], t <= 0 ? 255 : 0, width);
            continue;
        }
        // A byte threshold, so the comparison runs on whole vectors of levels.
        const BYTE level = static_cast<BYTE>(t);
        const BYTE* s = in[y];
        BYTE* d = out[y];
        for (size_t x = 0; x < width; ++x)
            d[x] = s[x] < level ? 0 : 255;
    }
    return true;
}

unsigned long long CountBelow(const Histogram& histogram, int t)
{
    unsigned long long below = 0;
    for (int v = 0; v < std::min(t, 256); ++v)
        below += histogram[v];
    return below;
}

namespace {

constexpr int kBlock = 256;

// Sorts `count` lanes of kBlock values far enough that lane `rank` holds each column's value of that rank: every
// pass carries the largest remaining value upwards, so after count - rank passes the lanes from rank up are final.
// The compare-exchanges run along a lane, which the compiler turns into vector min/max.
template <typename T>
void SelectRank(T (*lanes)[kBlock], int count, int rank)
{
    for (int pass = 0; pass < count - rank; ++pass) {
        for (int k = 0; k + 1 < count - pass; ++k) {
            T* a = lanes[k];
            T* b = lanes[k + 1];
            for (int i = 0; i < kBlock; ++i) {
                const T lo = std::min(a[i], b[i]);
                const T hi = std::max(a[i], b[i]);
                a[i] = lo;
                b[i] = hi;
            }
        }
    }
}

// Lane networks pay count^2 / 2 steps per column; past this many frames a per-pixel selection is cheaper.
constexpr int kNetworkFrames = 24;

void MedianGrey(const CQvImage* frames, int count, CQvImage& result, int rank)
{
    const int width = result.GetWidth();
    std::vector<const BYTE*> rows(count);
    if (count <= kNetworkFrames) {
        std::vector<BYTE> storage(static_cast<size_t>(count) * kBlock);
        auto* lanes = reinterpret_cast<BYTE(*)[kBlock]>(storage.data());
        for (int y = 0; y < result.GetHeight(); ++y) {
            for (int f = 0; f < count; ++f)
                rows[f] = Rows(frames[f])[y];
            BYTE* out = result.Get2DBuffer()[y];
            for (int x0 = 0; x0 < width; x0 += kBlock) {
                const int n = std::min(kBlock, width - x0);
                for (int f = 0; f < count; ++f) {
                    std::memcpy(lanes[f], rows[f] + x0, static_cast<size_t>(n));
                }
                SelectRank(lanes, count, rank);
                std::memcpy(out + x0, lanes[rank], static_cast<size_t>(n));
            }
        }
        return;
    }
    std::vector<BYTE> values(static_cast<size_t>(count));
    for (int y = 0; y < result.GetHeight(); ++y) {
        for (int f = 0; f < count; ++f)
            rows[f] = Rows(frames[f])[y];
        BYTE* out = result.Get2DBuffer()[y];
        for (int x = 0; x < width; ++x) {
            for (int f = 0; f < count; ++f)
                values[f] = rows[f][x];
            std::nth_element(values.begin(), values.begin() + rank, values.end());
            out[x] = values[rank];
        }
    }
}

// Colour frames are ranked by B + G + R; the key (sum, frame) is unique per frame, so the order of equal sums is the
// frame order and the selected key names the frame whose whole pixel is copied. Up to kNetworkFrames frames the key
// is sum * 32 + frame, which fits a signed 16-bit lane (765 * 32 + 31 < 32768) that plain SSE2 compares eight at a
// time; more frames use sum << 8 | frame in 32 bits and a selection per pixel.
template <int bpp, typename Key, int shift>
void MedianColourKeys(const CQvImage* frames, int count, CQvImage& result, int rank)
{
    const int width = result.GetWidth();
    std::vector<const BYTE*> rows(count);
    std::vector<Key> storage(static_cast<size_t>(std::max(count, 1)) * kBlock);
    auto* lanes = reinterpret_cast<Key(*)[kBlock]>(storage.data());
    std::vector<Key> keys(static_cast<size_t>(count));
    const Key frameMask = static_cast<Key>((1 << shift) - 1);
    for (int y = 0; y < result.GetHeight(); ++y) {
        for (int f = 0; f < count; ++f)
            rows[f] = Rows(frames[f])[y];
        BYTE* out = result.Get2DBuffer()[y];
        for (int x0 = 0; x0 < width; x0 += kBlock) {
            const int n = std::min(kBlock, width - x0);
            for (int f = 0; f < count; ++f) {
                const BYTE* p = rows[f] + static_cast<size_t>(x0) * bpp;
                Key* lane = lanes[f];
                for (int i = 0; i < n; ++i, p += bpp)
                    lane[i] = static_cast<Key>(((p[0] + p[1] + p[2]) << shift) | f);
                for (int i = n; i < kBlock; ++i)
                    lane[i] = 0;
            }
            if (count <= kNetworkFrames) {
                SelectRank(lanes, count, rank);
                for (int i = 0; i < n; ++i) {
                    const int f = static_cast<int>(lanes[rank][i] & frameMask);
                    std::memcpy(out + static_cast<size_t>(x0 + i) * bpp, rows[f] + static_cast<size_t>(x0 + i) * bpp,
                        size_t{bpp});
                }
            } else {
                for (int i = 0; i < n; ++i) {
                    for (int f = 0; f < count; ++f)
                        keys[f] = lanes[f][i];
                    std::nth_element(keys.begin(), keys.begin() + rank, keys.end());
                    const int f = static_cast<int>(keys[rank] & frameMask);
                    std::memcpy(out + static_cast<size_t>(x0 + i) * bpp, rows[f] + static_cast<size_t>(x0 + i) * bpp,
                        size_t{bpp});
                }
            }
        }
    }
}

static_assert(kNetworkFrames <= 32 && 765 * 32 + 31 <= 32767, "colour keys must fit a signed 16-bit lane");

template <int bpp>
void MedianColour(const CQvImage* frames, int count, CQvImage& result, int rank)
{
    if (count <= kNetworkFrames)
        MedianColourKeys<bpp, int16_t, 5>(frames, count, result, rank);
    else
        MedianColourKeys<bpp, uint32_t, 8>(frames, count, result, rank);
}

}  // namespace

bool FrameMedian(const CQvImage* frames, int count, CQvImage& result)
{
    if (!frames || count < 1 || count > 256 || !IsEnhanceableImage(result))
        return false;
    for (int f = 0; f < count; ++f) {
        if (!SameShape(frames[f], result) || !Rows(frames[f]))
            return false;
    }
    const int rank = (count - 1) / 2;
    if (result.GetBitsPerPixel() == 8)
        MedianGrey(frames, count, result, rank);
    else if (result.GetBitsPerPixel() == 24)
        MedianColour<3>(frames, count, result, rank);
    else
        MedianColour<4>(frames, count, result, rank);
    return true;
}

}  // namespace lumenor
