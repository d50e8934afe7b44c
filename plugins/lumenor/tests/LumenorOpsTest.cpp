#include "lumenor/LumenorOps.h"

#include "LumenorTestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

using namespace lumenor;
using namespace lumenor_test;

namespace {

// An operation in place and into a target of its own.
struct Operation
{
    std::function<bool(CQvImage&)> inPlace;
    std::function<bool(const CQvImage&, CQvImage&)> into;
};

struct OpCase
{
    std::string name;
    Operation op;
    int type;
    int width;
    int height;
    std::vector<int> before;
    std::vector<int> after;
};

const Operation kInvert = {Invert, InvertInto};
const Operation kAutoContrast = {AutoContrast, AutoContrastInto};
const Operation kAutoLevel = {AutoLevel, AutoLevelInto};
const Operation kEqualize = {HistogramEqualize, HistogramEqualizeInto};

// Three colour pixels with a cast: blue 10..90, green 20..100, red 30..110.
const std::vector<int> kCast = {10, 20, 30, 50, 60, 70, 90, 100, 110};
const std::vector<int> kCastAlpha = {10, 20, 30, 7, 50, 60, 70, 8, 90, 100, 110, 9};

TEST(LumenorOps, PixelTables)
{
    const std::vector<OpCase> cases = {
        {"invert grey", kInvert, QV_GRAY8, 3, 1, {0, 100, 255}, {255, 155, 0}},
        {"invert 24", kInvert, QV_RGB24, 1, 1, {1, 2, 3}, {254, 253, 252}},
        {"invert 32 takes alpha", kInvert, QV_RGBA32, 1, 1, {1, 2, 3, 4}, {254, 253, 252, 251}},
        // lo 50, hi 100: lo + k maps to k * 255 / 50.
        {"contrast grey", kAutoContrast, QV_GRAY8, 5, 1, {50, 60, 70, 80, 100}, {0, 51, 102, 153, 255}},
        // A span of 25 still maps hi to 255.
        {"contrast span 25", kAutoContrast, QV_GRAY8, 3, 1, {100, 105, 125}, {0, 51, 255}},
        {"contrast flat grey", kAutoContrast, QV_GRAY8, 3, 1, {100, 100, 100}, {100, 100, 100}},
        // Means of the channel levels: lo 20, hi 100, one stretch for every channel: the cast stays.
        {"contrast 24", kAutoContrast, QV_RGB24, 3, 1, kCast, {0, 0, 31, 95, 127, 159, 223, 255, 255}},
        {"contrast 32 keeps alpha", kAutoContrast, QV_RGBA32, 3, 1, kCastAlpha,
         {0, 0, 31, 7, 95, 127, 159, 8, 223, 255, 255, 9}},
        {"contrast flat colour", kAutoContrast, QV_RGB24, 2, 1, {5, 6, 7, 5, 6, 7}, {5, 6, 7, 5, 6, 7}},
        {"level grey", kAutoLevel, QV_GRAY8, 5, 1, {50, 60, 70, 80, 100}, {0, 51, 102, 153, 255}},
        // Each channel from its own levels: the cast goes, all channels rounded alike.
        {"level 24", kAutoLevel, QV_RGB24, 3, 1, kCast, {0, 0, 0, 127, 127, 127, 255, 255, 255}},
        {"level 32 keeps alpha", kAutoLevel, QV_RGBA32, 3, 1, kCastAlpha,
         {0, 0, 0, 7, 127, 127, 127, 8, 255, 255, 255, 9}},
        // A flat channel (blue 40) stays; the others stretch.
        {"level flat channel", kAutoLevel, QV_RGB24, 2, 1, {40, 10, 0, 40, 20, 255}, {40, 0, 0, 40, 255, 255}},
        {"level flat grey", kAutoLevel, QV_GRAY8, 1, 3, {9, 9, 9}, {9, 9, 9}},
        {"equalize two levels", kEqualize, QV_GRAY8, 2, 2, {0, 255, 255, 0}, {128, 255, 255, 128}},
        // Per-level mean of the channels' equalised values: LUT 0->42, 10->127, 20->212, 30->255.
        {"equalize 24", kEqualize, QV_RGB24, 2, 1, {0, 10, 20, 10, 20, 30}, {42, 127, 212, 127, 212, 255}},
        {"equalize 32 keeps alpha", kEqualize, QV_RGBA32, 2, 1, {0, 10, 20, 1, 10, 20, 30, 2},
         {42, 127, 212, 1, 127, 212, 255, 2}},
        {"equalize indexed bytes", kEqualize, QV_INDEX8, 3, 1, {3, 3, 7}, {170, 170, 255}},
    };
    for (const OpCase& c : cases) {
        SCOPED_TRACE(c.name);
        CQvImage image = MakeImage(c.type, c.width, c.height, c.before);
        ASSERT_TRUE(c.op.inPlace(image));
        EXPECT_EQ(image.GetColorModel(), c.type);
        EXPECT_EQ(Bytes(image), c.after);

        // Into a target that holds other bytes: every byte is written, the source stays as it was.
        const CQvImage source = MakeImage(c.type, c.width, c.height, c.before);
        CQvImage target = MakeImage(c.type, c.width, c.height, std::vector<int>(c.before.size(), 0xA5));
        ASSERT_TRUE(c.op.into(source, target));
        EXPECT_EQ(Bytes(target), c.after);
        EXPECT_EQ(Bytes(source), c.before);
    }
}

TEST(LumenorOps, LevelsAndStretch)
{
    // 3 % of 100 pixels: 3 at level 5 reach it, the 2 at level 0 do not.
    Histogram h{};
    h[0] = 2;
    h[5] = 1;
    h[100] = 94;
    h[200] = 1;
    h[250] = 2;
    int lo = -1;
    int hi = -1;
    FindLevels(h, 100, 30, &lo, &hi);
    EXPECT_EQ(lo, 5);
    EXPECT_EQ(hi, 200);
    const Lut lut = StretchLut(100, 125);
    EXPECT_EQ(lut[99], 0);
    EXPECT_EQ(lut[100], 0);
    EXPECT_EQ(lut[125], 255);
    EXPECT_EQ(lut[126], 255);
}

TEST(LumenorOps, InvertTwiceRestoresOddSizedColour)
{
    for (int type : {QV_GRAY8, QV_RGB24, QV_RGBA32}) {
        const CQvImage start = Pattern(type, 7, 5);
        CQvImage image = start;
        ASSERT_TRUE(Invert(image));
        EXPECT_FALSE(Identical(image, start));
        ASSERT_TRUE(Invert(image));
        EXPECT_TRUE(Identical(image, start)) << type;
    }
}

TEST(LumenorOps, RemoveNoiseTakesSpikesAndKeepsSize)
{
    std::vector<int> spike(15, 20);
    spike[7] = 250;  // the centre of 5 x 3
    CQvImage grey = MakeImage(QV_GRAY8, 5, 3, spike);
    ASSERT_TRUE(RemoveNoise(grey));
    EXPECT_EQ(grey.GetColorModel(), QV_GRAY8);
    EXPECT_EQ(Bytes(grey), std::vector<int>(15, 20));

    for (int type : {QV_RGB24, QV_RGBA32}) {
        CQvImage flat;
        flat.Create(type, 7, 3, 0);
        for (int y = 0; y < 3; ++y)
            std::fill_n(flat.Get2DBuffer()[y], 7 * flat.GetBitsPerPixel() / 8, BYTE{77});
        ASSERT_TRUE(RemoveNoise(flat));
        EXPECT_EQ(flat.GetColorModel(), QV_RGB24);
        EXPECT_EQ(flat.GetWidth(), 7);
        EXPECT_EQ(flat.GetHeight(), 3);
        EXPECT_EQ(Bytes(flat), std::vector<int>(7 * 3 * 3, 77));
    }
}

TEST(LumenorOps, RemoveNoiseFiltersColourAlikeOnEitherPath)
{
    // 24-bit filters its own pixels, 32-bit goes through the bridge: the same colours give the same result.
    const CQvImage colour = Pattern(QV_RGB24, 9, 7);
    CQvImage withAlpha;
    withAlpha.Create(QV_RGBA32, 9, 7, 0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            std::memcpy(withAlpha.GetPixel(x, y), colour.GetPixel(x, y), 3);
    CQvImage direct = colour;
    ASSERT_TRUE(RemoveNoise(direct));
    ASSERT_TRUE(RemoveNoise(withAlpha));
    EXPECT_TRUE(Identical(direct, withAlpha));
    EXPECT_FALSE(Identical(direct, colour));

    // Into a result of its own: the same pixels, the source left alone; a result of the right shape is written over,
    // every byte of it, and loses its region.
    CQvImage result;
    ASSERT_TRUE(RemoveNoiseInto(colour, result));
    EXPECT_TRUE(Identical(result, direct));
    EXPECT_TRUE(Identical(colour, Pattern(QV_RGB24, 9, 7)));
    CQvImage atHand = Pattern(QV_RGB24, 9, 7, 99);
    auto corners = std::make_unique<int[]>(4);
    corners[0] = 1, corners[1] = 1, corners[2] = 2, corners[3] = 2;
    atHand.SetRoi(QV_ROI_RECT, std::move(corners), 2);
    const BYTE* buffer = atHand.GetBuffer();
    ASSERT_TRUE(RemoveNoiseInto(colour, atHand));
    EXPECT_EQ(atHand.GetBuffer(), buffer);
    EXPECT_TRUE(Identical(atHand, direct));
    EXPECT_EQ(atHand.GetRoiKind(), QV_ROI_NONE);
}

TEST(LumenorOps, BrightnessContrastLut)
{
    const Lut identity = BrightnessContrastLut(0, 200);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(identity[i], i);
    const Lut dark = BrightnessContrastLut(-255, 200);  // every level 0
    const Lut none = BrightnessContrastLut(0, 400);     // factor 0.00
    EXPECT_EQ(std::count(dark.begin(), dark.end(), 0), 256);
    EXPECT_EQ(std::count(none.begin(), none.end(), 0), 256);
    const Lut strong = BrightnessContrastLut(0, 0);  // factor 2.00
    EXPECT_EQ(strong[100], 200);
    EXPECT_EQ(strong[128], 255);
    const Lut mixed = BrightnessContrastLut(10, 100);  // (i + 10) * 1.5
    EXPECT_EQ(mixed[10], 30);
    EXPECT_EQ(mixed[11], 31);
    EXPECT_EQ(mixed[0], 15);

    CQvImage source = MakeImage(QV_RGBA32, 1, 1, {10, 11, 0, 99});
    CQvImage target = source;
    ASSERT_TRUE(ApplyLut(source, target, mixed));
    EXPECT_EQ(Bytes(target), (std::vector<int>{30, 31, 15, 99}));
}

TEST(LumenorOps, Threshold)
{
    const CQvImage grey = MakeImage(QV_GRAY8, 5, 1, {0, 76, 77, 200, 255});
    const Histogram histogram = GreyHistogram(grey);
    struct Case
    {
        int t;
        std::vector<int> pixels;
        unsigned long long black;
    };
    for (const Case& c : {Case{77, {0, 0, 255, 255, 255}, 2}, Case{0, std::vector<int>(5, 255), 0},
                          Case{-3, std::vector<int>(5, 255), 0}, Case{255, {0, 0, 0, 0, 255}, 4},
                          Case{256, std::vector<int>(5, 0), 5}}) {
        CQvImage target = grey;
        ASSERT_TRUE(ApplyThreshold(grey, target, c.t));
        EXPECT_EQ(Bytes(target), c.pixels) << c.t;
        EXPECT_EQ(CountBelow(histogram, c.t), c.black) << c.t;
    }
    CQvImage converted;
    ASSERT_TRUE(ToGrey(MakeImage(QV_RGB24, 1, 1, {0, 0, 255}), converted));
    EXPECT_EQ(converted.GetColorModel(), QV_GRAY8);
    EXPECT_EQ(Bytes(converted), std::vector<int>{54});  // 0.212671 * 255 rounded
}

TEST(LumenorOps, RefusesImagesOfFewerBits)
{
    const std::vector<Operation> ops = {kInvert, kAutoContrast, kAutoLevel, kEqualize, {RemoveNoise, RemoveNoiseInto}};
    for (int type : {QV_INDEX1, QV_INDEX4}) {
        const CQvImage start = MakeImage(type, 3, 1, {0, 1, 1});
        for (const auto& op : ops) {
            CQvImage image = start;
            EXPECT_FALSE(op.inPlace(image));
            EXPECT_TRUE(Identical(image, start));
            EXPECT_FALSE(op.into(start, image));
            EXPECT_TRUE(Identical(image, start));
        }
    }
    // A target of another shape is not written.
    const CQvImage grey = MakeImage(QV_GRAY8, 3, 1, {0, 1, 1});
    for (const CQvImage& other : {MakeImage(QV_GRAY8, 2, 1, {4, 4}), MakeImage(QV_INDEX8, 3, 1, {4, 4, 4})})
        for (const auto& op : {kInvert, kAutoContrast, kAutoLevel, kEqualize}) {
            CQvImage target = other;
            EXPECT_FALSE(op.into(grey, target));
            EXPECT_TRUE(Identical(target, other));
        }
}

// The straightforward reference: sort each pixel's keys stably, take the lower middle.
CQvImage ReferenceMedian(const std::vector<CQvImage>& frames)
{
    CQvImage result = frames[0];
    const int bpp = result.GetBitsPerPixel() / 8;
    const int count = static_cast<int>(frames.size());
    for (int y = 0; y < result.GetHeight(); ++y)
        for (int x = 0; x < result.GetWidth(); ++x) {
            std::vector<int> order(count);
            std::iota(order.begin(), order.end(), 0);
            auto key = [&](int f) {
                const BYTE* p = const_cast<CQvImage&>(frames[f]).GetPixel(x, y);
                return bpp == 1 ? p[0] : p[0] + p[1] + p[2];
            };
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
            std::memcpy(result.GetPixel(x, y), const_cast<CQvImage&>(frames[order[(count - 1) / 2]]).GetPixel(x, y),
                        static_cast<size_t>(bpp));
        }
    return result;
}

TEST(LumenorOps, MedianOfKnownFrames)
{
    struct Case
    {
        std::vector<int> values;
        int median;
    };
    for (const Case& c : std::vector<Case>{{{10, 200, 50}, 50}, {{40, 10, 30, 20}, 20}, {{9, 1, 5, 3, 7}, 5}}) {
        std::vector<CQvImage> frames;
        for (int v : c.values)
            frames.push_back(MakeImage(QV_GRAY8, 1, 1, {v}));
        CQvImage result = MakeImage(QV_GRAY8, 1, 1, {0});
        ASSERT_TRUE(FrameMedian(frames.data(), static_cast<int>(frames.size()), result));
        EXPECT_EQ(Bytes(result), std::vector<int>{c.median}) << c.values.size() << " frames";
    }
    // Colour: the whole pixel, alpha included, of the frame with the middle sum; equal sums in frame order.
    std::vector<CQvImage> colour = {MakeImage(QV_RGBA32, 2, 1, {90, 90, 90, 1, 10, 10, 10, 1}),
                                    MakeImage(QV_RGBA32, 2, 1, {0, 0, 30, 2, 30, 0, 0, 2}),
                                    MakeImage(QV_RGBA32, 2, 1, {30, 30, 30, 3, 0, 30, 0, 3})};
    CQvImage result = MakeImage(QV_RGBA32, 2, 1, std::vector<int>(8, 0));
    ASSERT_TRUE(FrameMedian(colour.data(), 3, result));
    EXPECT_EQ(Bytes(result), (std::vector<int>{30, 30, 30, 3, 30, 0, 0, 2}));
}

TEST(LumenorOps, MedianMatchesASortPerPixel)
{
    // Odd widths cross the block edge; 30 frames take the per-pixel selection.
    for (int type : {QV_GRAY8, QV_RGB24, QV_RGBA32})
        for (int count : {1, 2, 3, 4, 5, 9, 30}) {
            std::vector<CQvImage> frames;
            for (int f = 0; f < count; ++f)
                frames.push_back(Pattern(type, 259, 3, static_cast<unsigned>(f + 1)));
            CQvImage result;
            result.Create(type, 259, 3, 0);
            ASSERT_TRUE(FrameMedian(frames.data(), count, result));
            EXPECT_TRUE(Identical(result, ReferenceMedian(frames))) << type << ", " << count << " frames";
        }
}

TEST(LumenorOps, MedianRefusesWhatDoesNotFit)
{
    std::vector<CQvImage> frames(3, MakeImage(QV_GRAY8, 2, 1, {1, 2}));
    const CQvImage untouched = MakeImage(QV_GRAY8, 2, 1, {7, 7});
    CQvImage result = untouched;
    EXPECT_FALSE(FrameMedian(frames.data(), 0, result));
    EXPECT_FALSE(FrameMedian(frames.data(), 257, result));
    EXPECT_FALSE(FrameMedian(nullptr, 3, result));
    frames[1] = MakeImage(QV_GRAY8, 1, 2, {1, 2});
    EXPECT_FALSE(FrameMedian(frames.data(), 3, result));
    frames[1] = MakeImage(QV_INDEX8, 2, 1, {1, 2});
    EXPECT_FALSE(FrameMedian(frames.data(), 3, result));
    EXPECT_TRUE(Identical(result, untouched));
    std::vector<CQvImage> bits(3, MakeImage(QV_INDEX4, 2, 1, {1, 2}));
    CQvImage fourBit = MakeImage(QV_INDEX4, 2, 1, {0, 0});
    EXPECT_FALSE(FrameMedian(bits.data(), 3, fourBit));
    EXPECT_EQ(Bytes(fourBit), (std::vector<int>{0, 0}));
}

}  // namespace
