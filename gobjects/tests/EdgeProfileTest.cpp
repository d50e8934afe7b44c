#include "gobjects/geometry/EdgeProfile.h"

#include "gobjects/geometry/GeoFunctions.h"
#include "qvimage/CQvImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <vector>

namespace {

CQvImage GreyImage(int width, int height, const std::function<int(int, int)>& grey)
{
    CQvImage image;
    image.Create(QV_GRAY8, width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            *image.GetPixel(x, y) = static_cast<BYTE>(std::clamp(grey(x, y), 0, 255));
    return image;
}

// A vertical edge at x = 50: dark (low) left of it, bright (high) from it on.
CQvImage VerticalStep(int low = 0, int high = 200)
{
    return GreyImage(100, 60, [=](int x, int) { return x < 50 ? low : high; });
}

}  // namespace

// Colour, grey and indexed sources all give a work image whose pixel (x, y) is the grey of source pixel (x, y):
// a dark top half stays on top.
TEST(EdgeProfileGrey, KeepsEveryPixelWhereItIsForEveryColourModel)
{
    for (int type : {QV_RGB24, QV_RGB, QV_RGBA32, QV_GRAY8, QV_GRAY, QV_INDEX8}) {
        CQvImage source;
        ASSERT_EQ(source.Create(type, 7, 6, 0), 1);
        if (type == QV_INDEX8) {
            RGBQUAD palette[2] = {{10, 20, 30, 0}, {50, 100, 200, 0}};  // B, G, R
            source.SetPalette(palette, 2);
        }
        const int bytes = source.GetBitsPerPixel() / 8;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 7; ++x) {
                BYTE* p = source.GetPixel(x, y);
                const bool bright = y >= 3;
                if (bytes == 1) {
                    p[0] = type == QV_INDEX8 ? (bright ? 1 : 0) : (bright ? 180 : 20);
                } else {
                    p[0] = bright ? 50 : 10;   // B
                    p[1] = bright ? 100 : 20;  // G
                    p[2] = bright ? 200 : 30;  // R
                    if (bytes == 4)
                        p[3] = 255;            // ignored
                }
            }
        CQvImage grey;
        grey.Create(QV_GRAY8, 7, 6, 0);
        ASSERT_EQ(ToGray8(&source, &grey), 1) << type;
        const int dark = bytes == 1 && type != QV_INDEX8 ? 20 : (307 * 30 + 604 * 20 + 113 * 10) >> 10;
        const int bright = bytes == 1 && type != QV_INDEX8 ? 180 : (307 * 200 + 604 * 100 + 113 * 50) >> 10;
        EXPECT_EQ(*grey.GetPixel(3, 0), dark) << type;
        EXPECT_EQ(*grey.GetPixel(3, 5), bright) << type;
    }
}

// A picture large enough to be converted on several threads: every row, the first and the last of each share
// included, is converted once and in its place (odd height, so the shares differ in size).
TEST(EdgeProfileGrey, ALargePictureIsConvertedWholeOnSeveralThreads)
{
    constexpr int kWidth = 1601, kHeight = 1313;
    CQvImage source;
    source.Create(QV_RGB24, kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            BYTE* p = source.GetPixel(x, y);
            p[0] = static_cast<BYTE>(x * 7 + y);
            p[1] = static_cast<BYTE>(y * 3);
            p[2] = static_cast<BYTE>(x ^ y);
        }
    CQvImage grey;
    grey.Create(QV_GRAY8, kWidth, kHeight, 0);
    std::memset(grey.GetPixel(0, 0), 0xEE, static_cast<size_t>(grey.GetPixel(0, 1) - grey.GetPixel(0, 0)) * kHeight);
    ASSERT_EQ(ToGray8(&source, &grey), 1);
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const BYTE* p = source.GetPixel(x, y);
            wrong += *grey.GetPixel(x, y) != ((307 * p[2] + 604 * p[1] + 113 * p[0]) >> 10) ? 1 : 0;
        }
    EXPECT_EQ(wrong, 0);
}

// The profiles read the source's pixels and convert each one as the work image does: on every colour model the
// profile, its positions (GetPolarPointF's, bit for bit) and its steps are those of the converted work image, over
// profiles in every direction from positions between pixels.
TEST(EdgeProfileGrey, ProfilesOfTheSourceAreThoseOfItsWorkImage)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> channel(0, 255);
    for (int type : {QV_RGB24, QV_RGBA32, QV_INDEX8, QV_GRAY8}) {
        SCOPED_TRACE(type);
        CQvImage source;
        ASSERT_EQ(source.Create(type, 120, 90, 0), 1);
        if (type == QV_INDEX8) {
            std::vector<RGBQUAD> palette(200);
            for (RGBQUAD& entry : palette)
                entry = {static_cast<BYTE>(channel(random)), static_cast<BYTE>(channel(random)),
                         static_cast<BYTE>(channel(random)), 0};
            source.SetPalette(palette.data(), static_cast<int>(palette.size()));
        }
        const int bytes = source.GetBitsPerPixel() / 8;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 120; ++x) {
                const bool inside = std::hypot(x - 60.3, y - 44.8) < 25;
                BYTE* p = source.GetPixel(x, y);
                for (int b = 0; b < bytes; ++b)
                    p[b] = static_cast<BYTE>(std::clamp((inside ? 200 : 40) + channel(random) / 8 - 16 + 20 * b, 0, 255));
                if (type == QV_INDEX8)
                    p[0] = static_cast<BYTE>(inside ? 150 + channel(random) % 50 : channel(random) % 150);
            }
        CQvImage work;
        work.Create(QV_GRAY8, 120, 90, 0);
        ASSERT_EQ(ToGray8(&source, &work), 1);
        CEdgeProfile fromSource;
        CEdgeProfile fromWork;
        int compared = 0;
        for (double degrees = 0; degrees < 360; degrees += 7.3) {
            const double t = degrees * M_PI / 180;
            const _RPOINT outer{60.3 + 36.7 * std::cos(t), 44.8 + 36.7 * std::sin(t)};
            const _RPOINT inner{60.3 + 16.7 * std::cos(t), 44.8 + 16.7 * std::sin(t)};
            const int created = fromSource.PrCreate(&source, outer, inner);
            ASSERT_EQ(created, fromWork.PrCreate(&work, outer, inner));
            if (!created)
                continue;
            ++compared;
            EXPECT_EQ(fromSource.GetData(CEdgeProfile::kProfile, CEdgeProfile::kRaw),
                      fromWork.GetData(CEdgeProfile::kProfile, CEdgeProfile::kRaw));
            const double theta = GetLineAngle(fromSource.GetStart().x, fromSource.GetStart().y, fromSource.GetEnd().x,
                                              fromSource.GetEnd().y);
            for (int i = 0; i < fromSource.GetSampleCount(); ++i) {
                _RPOINT expected{};
                GetPolarPointF(expected, fromSource.GetStart().x, fromSource.GetStart().y, static_cast<float>(theta),
                               static_cast<float>(i));
                EXPECT_EQ(fromSource.GetPositions()[static_cast<size_t>(i)].x, expected.x);
                EXPECT_EQ(fromSource.GetPositions()[static_cast<size_t>(i)].y, expected.y);
            }
            _RPOINT a{-1, -1};
            _RPOINT b{-1, -1};
            ASSERT_EQ(fromSource.FindSinglePoint(a), fromWork.FindSinglePoint(b));
            EXPECT_EQ(a.x, b.x);
            EXPECT_EQ(a.y, b.y);
        }
        EXPECT_GT(compared, 30);
    }
}

// A sample is the grey of the pixel holding its position, i taken as a float: lines wholly inside, lines crossing
// the border (the samples outside add nothing) and lines outside, in every direction.
TEST(EdgeProfileGrey, SamplesThePixelHoldingEachPosition)
{
    const CQvImage image = GreyImage(40, 30, [](int x, int y) { return (x * 7 + y * 13) % 256; });
    const CGreyPixels grey(&image);
    struct Line
    {
        double x0, y0, dx, dy;
        int count;
    };
    const Line lines[] = {
        {3.7, 2.2, 0.83, 0.55, 25},   {38.9, 28.95, -0.6, -0.8, 30}, {20.0, 15.0, 0.0, 1.0, 20},
        {-0.5, 4.5, 1.0, 0.0, 45},    {10.2, -3.0, 0.3, 0.95, 40},   {39.99, 29.99, 0.01, 0.0, 3},
        {-5.0, -5.0, -1.0, -1.0, 10}, {5.0, 5.0, 0.7071, 0.7071, 0},
    };
    for (const Line& line : lines) {
        SCOPED_TRACE(line.x0);
        std::vector<int64_t> sums(static_cast<size_t>(line.count) + 1, 5);
        grey.AddSamples(line.x0, line.y0, line.dx, line.dy, line.count, sums.data());
        for (int i = 0; i <= line.count; ++i) {
            const double r = static_cast<float>(i);
            const double x = line.x0 + r * line.dx;
            const double y = line.y0 + r * line.dy;
            const bool inside = i < line.count && x > -1.0 && x < 40 && y > -1.0 && y < 30;
            EXPECT_EQ(sums[static_cast<size_t>(i)],
                      5 + (inside ? grey.At(static_cast<int>(x), static_cast<int>(y)) : 0))
                << i;
        }
    }
}

// The vectorised weighting keeps the exact (307 R + 604 G + 113 B) >> 10 of every one of the 2^24 colours, in
// 24- and 32-bit pixels.
TEST(EdgeProfileGrey, EveryColourIsWeightedExactly)
{
    for (int type : {QV_RGB24, QV_RGBA32}) {
        SCOPED_TRACE(type);
        CQvImage source;
        ASSERT_EQ(source.Create(type, 4096, 4096, 0), 1);
        const int bytes = source.GetBitsPerPixel() / 8;
        for (int y = 0; y < 4096; ++y) {
            BYTE* p = source.GetPixel(0, y);
            for (int x = 0; x < 4096; ++x, p += bytes) {
                const uint32_t colour = static_cast<uint32_t>(y) * 4096u + static_cast<uint32_t>(x);
                p[0] = static_cast<BYTE>(colour);
                p[1] = static_cast<BYTE>(colour >> 8);
                p[2] = static_cast<BYTE>(colour >> 16);
                if (bytes == 4)
                    p[3] = static_cast<BYTE>(x * 13);
            }
        }
        CQvImage grey;
        grey.Create(QV_GRAY8, 4096, 4096, 0);
        ASSERT_EQ(ToGray8(&source, &grey), 1);
        int wrong = 0;
        for (int y = 0; y < 4096; ++y) {
            const BYTE* out = grey.GetPixel(0, y);
            for (int x = 0; x < 4096; ++x) {
                const uint32_t colour = static_cast<uint32_t>(y) * 4096u + static_cast<uint32_t>(x);
                wrong += out[x] != ((307 * (colour >> 16) + 604 * ((colour >> 8) & 255) + 113 * (colour & 255)) >> 10);
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(EdgeProfileGrey, RefusesMismatchedOrNonGreyDestinations)
{
    CQvImage source;
    source.Create(QV_RGB24, 4, 4, 0);
    CQvImage other;
    other.Create(QV_GRAY8, 4, 5, 0);
    EXPECT_EQ(ToGray8(&source, &other), 0);
    other.Create(QV_RGB24, 4, 4, 0);
    EXPECT_EQ(ToGray8(&source, &other), 0);
    EXPECT_EQ(ToGray8(nullptr, &other), 0);
}

// Rising and falling steps across a vertical edge are found on the sample grid beside the edge, the one nearest
// the profile's start first.
TEST(EdgeProfile, FindsTheFirstStepFromTheStart)
{
    const CQvImage image = VerticalStep();
    CEdgeProfile rising;
    ASSERT_EQ(rising.PrCreate(&image, {40, 30}, {60, 30}), 1);
    _RPOINT edge{};
    ASSERT_EQ(rising.FindSinglePoint(edge), 1);
    EXPECT_NEAR(edge.x, 49.5, 1.0);
    EXPECT_EQ(edge.y, 30.0);
    EXPECT_EQ(edge.x, std::round(edge.x));  // on the sample grid
    ASSERT_EQ(rising.GetRisingSteps().size(), 1u);
    EXPECT_TRUE(rising.GetFallingSteps().empty());

    CEdgeProfile falling;
    ASSERT_EQ(falling.PrCreate(&image, {60, 30}, {40, 30}), 1);
    ASSERT_EQ(falling.FindSinglePoint(edge), 1);
    EXPECT_NEAR(edge.x, 49.5, 1.0);
    EXPECT_EQ(falling.GetFallingSteps().size(), 1u);

    // A bright band from 45 to 54 on a dark ground: the rising step at 45 comes first from the left, the falling
    // one at 55 from the right.
    const CQvImage band = GreyImage(100, 60, [](int x, int) { return x >= 45 && x < 55 ? 220 : 10; });
    CEdgeProfile two;
    ASSERT_EQ(two.PrCreate(&band, {35, 30}, {65, 30}), 1);
    ASSERT_EQ(two.FindSinglePoint(edge), 1);
    EXPECT_NEAR(edge.x, 44.5, 1.0);
    EXPECT_EQ(two.GetStepCentres().size(), 2u);
    ASSERT_EQ(two.PrCreate(&band, {65, 30}, {35, 30}), 1);
    ASSERT_EQ(two.FindSinglePoint(edge), 1);
    EXPECT_NEAR(edge.x, 54.5, 1.0);
}

TEST(EdgeProfile, RejectsWeakShortAndOutsideProfiles)
{
    // The centre line changes by 70 grey levels (27% of 255): rejected, though the three-line sum shows 280.
    const CQvImage weak = VerticalStep(100, 170);
    CEdgeProfile profile;
    EXPECT_EQ(profile.PrCreate(&weak, {40, 30}, {60, 30}), 0);
    const CQvImage image = VerticalStep();
    EXPECT_EQ(profile.PrCreate(&image, {48, 30}, {51, 30}), 0);  // 3 samples
    EXPECT_EQ(profile.PrCreate(&image, {48, 30}, {48, 30}), 0);  // none
    // An end that clipping cannot bring into the inset (a vertical line left of the image) is refused; one it
    // can is clipped and accepted.
    EXPECT_EQ(profile.PrCreate(&image, {-3, 10}, {-3, 40}), 0);
    ASSERT_EQ(profile.PrCreate(&image, {-1, 30}, {60, 30}), 1);
    EXPECT_EQ(profile.GetStart().x, 5.0);
    EXPECT_EQ(profile.PrCreate(nullptr, {40, 30}, {60, 30}), 0);
    // An end on the inset's right edge is accepted and clipped one pixel inside it.
    ASSERT_EQ(profile.PrCreate(&image, {40, 30}, {95, 30}), 1);
    EXPECT_EQ(profile.GetEnd().x, 94.0);
    EXPECT_EQ(profile.GetSampleCount(), 54);
}

TEST(EdgeProfile, ClippingMovesPointsOnlyWhenItSucceeds)
{
    const CRect bounds(5, 5, 95, 55);
    _RPOINT s{10, 10}, e{100, 10};
    EXPECT_EQ(CEdgeProfile::CheckBound(s, e, bounds), 1);
    EXPECT_EQ(e.x, 94.0);
    EXPECT_EQ(e.y, 10.0);
    s = {0, 0};
    e = {50, 50};
    EXPECT_EQ(CEdgeProfile::CheckBound(s, e, bounds), 1);  // start clipped alone
    EXPECT_EQ(s.x, 5.0);
    EXPECT_EQ(s.y, 5.0);
    // A vertical line left of the bounds meets no side: nothing moves.
    s = {2, 10};
    e = {2, 40};
    EXPECT_EQ(CEdgeProfile::CheckBound(s, e, bounds), 0);
    EXPECT_EQ(s.x, 2.0);
    EXPECT_EQ(e.x, 2.0);
    s = e = {1, 1};
    EXPECT_EQ(CEdgeProfile::CheckBound(s, e, bounds), 0);
    s = {50, 0};
    e = {50, 60};
    EXPECT_EQ(CEdgeProfile::CheckBound(s, e, bounds), 2);
    EXPECT_EQ(s.y, 5.0);
    EXPECT_EQ(e.y, 54.0);
}

TEST(EdgeProfile, SmoothingAndNoiseEstimateByTheRules)
{
    CEdgeProfile p;
    p.CreateData(6);
    const int64_t source[6] = {0, 0, 30, 30, 90, 90};
    int64_t out[6] = {7, 7, 7, 7, 7, 7};
    // One pass over [1, 5): averages of the neighbours inside the range; outside it the destination's content.
    p.SmoothData(out, source, 1, 1, 1, 5);
    EXPECT_EQ(std::vector<int64_t>(out, out + 6), (std::vector<int64_t>{7, 15, 20, 50, 60, 7}));
    // Two passes: outside the range the source's values.
    int64_t twice[6] = {7, 7, 7, 7, 7, 7};
    p.SmoothData(twice, source, 2, 1, 1, 5);
    EXPECT_EQ(std::vector<int64_t>(twice, twice + 6), (std::vector<int64_t>{0, 17, 28, 43, 55, 90}));
    int64_t copy[6] = {};
    p.SmoothData(copy, source, 0, 1, 0, -1);
    EXPECT_EQ(copy[4], 90);
}

// The smoothing pass count of a profile comes from the noise estimate of the previous one: the first profile
// of an object is smoothed 5 times, a second one, after a clean step (estimate 0), once.
TEST(EdgeProfile, SecondProfileUsesTheCarriedOverPassCount)
{
    const CQvImage image = VerticalStep(0, 200);
    CEdgeProfile p;
    EXPECT_EQ(p.GetPasses(CEdgeProfile::kProfile), 5);
    ASSERT_EQ(p.PrCreate(&image, {40, 30}, {60, 30}), 1);
    const auto& raw = p.GetData(CEdgeProfile::kProfile, CEdgeProfile::kRaw);
    // Left + 2 centre + right. The line one pixel below the centre starts at x = 40 - 4e-8 (the cross direction
    // is a float), so its sample 10 is read from pixel 49.
    EXPECT_EQ(raw[9], 0);
    EXPECT_EQ(raw[10], 600);
    EXPECT_EQ(raw[11], 800);
    // d = 200, 266, 66 at samples 9, 10, 11, 0 elsewhere: average 26.6, mean of those below it 0 -> 1 pass.
    EXPECT_FLOAT_EQ(p.FindSmoothCount(), 0.0f);
    EXPECT_EQ(p.GetPasses(CEdgeProfile::kProfile), 1);
    const int64_t fivePasses = p.GetData(CEdgeProfile::kProfile, CEdgeProfile::kProcessed)[9];
    EXPECT_NE(fivePasses, 200);
    ASSERT_EQ(p.PrCreate(&image, {40, 30}, {60, 30}), 1);
    const auto& processed = p.GetData(CEdgeProfile::kProfile, CEdgeProfile::kProcessed);
    EXPECT_EQ(processed[9], 200);  // (0 + 0 + 600) / 3
    EXPECT_EQ(processed[10], 466);  // (0 + 600 + 800) / 3
    _RPOINT edge{};
    ASSERT_EQ(p.FindSinglePoint(edge), 1);
    EXPECT_NEAR(edge.x, 49.5, 1.0);
}

// Many profiles analysed at once, in chunks on several threads, give what one analyser finds going through them
// in order, bit for bit: each profile smoothed with the pass count its accepted predecessor's noise left, also
// across chunks and past rejected profiles (flat ground, off the picture); the analyser keeps the last count.
TEST(EdgeProfile, ProfilesAnalysedTogetherAreThoseAnalysedInTurn)
{
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, 14.0);
    const CQvImage image = GreyImage(400, 300, [&](int x, int y) {
        const bool disc = std::hypot(x + 0.5 - 200.3, y + 0.5 - 150.6) < 100.0;
        return static_cast<int>(std::lround((disc ? 170 : 60) + (x < 120 ? 0.0 : noise(random))));
    });
    std::vector<CEdgeProfile::Segment> segments;
    for (int i = 0; i < 400; ++i) {
        const double t = 2 * M_PI * i / 400;
        // Off the picture (alone, and a run longer than one thread's share of the profiles); flat ground.
        const bool off = i % 37 == 0 || (i >= 200 && i < 250);
        const double outer = off ? 260.0 : i % 23 == 0 ? 140.0 : 118.0;
        segments.push_back({{200 + outer * std::cos(t), 150 + outer * std::sin(t)},
                            {200 + (outer - 30) * std::cos(t), 150 + (outer - 30) * std::sin(t)}});
    }
    for (int before : {5, 1, 3}) {
        SCOPED_TRACE(before);
        CEdgeProfile inTurn;
        inTurn.SetPasses(CEdgeProfile::kProfile, before);
        const CGreyPixels grey(&image);
        std::vector<_RPOINT> expected(segments.size());
        std::vector<char> expectedFound(segments.size(), 0);
        std::set<int> passes;
        for (size_t i = 0; i < segments.size(); ++i) {
            if (inTurn.PrCreate(grey, segments[i].start, segments[i].end)) {
                passes.insert(inTurn.GetPasses(CEdgeProfile::kProfile));
                expectedFound[i] = static_cast<char>(inTurn.FindSinglePoint(expected[i]));
            }
        }
        ASSERT_GT(passes.size(), 2u);  // the noise varies the carried count
        CEdgeProfile together;
        together.SetPasses(CEdgeProfile::kProfile, before);
        std::vector<_RPOINT> points;
        std::vector<char> found;
        together.FindSinglePoints(grey, segments, points, found);
        ASSERT_EQ(found, expectedFound);
        for (size_t i = 0; i < segments.size(); ++i)
            if (found[i]) {
                EXPECT_EQ(points[i].x, expected[i].x) << i;
                EXPECT_EQ(points[i].y, expected[i].y) << i;
            }
        for (int kind = 0; kind < 4; ++kind)
            EXPECT_EQ(together.GetPasses(kind), inTurn.GetPasses(kind));
        EXPECT_EQ(together.GetSampleCount(), 0);
    }
}

// A three-pixel dark line across a bright ground: its squared Laplacian goes beyond 32 bits, and wrapped it would
// flip signs and invent or hide crossings. One falling step at the line's near side and no step away from it.
TEST(EdgeProfile, NarrowDarkLineOfFullContrastGivesTwoSteps)
{
    const CQvImage line = GreyImage(100, 60, [](int x, int) { return x >= 50 && x <= 52 ? 0 : 255; });
    CEdgeProfile p;
    const CQvImage clean = VerticalStep();
    ASSERT_EQ(p.PrCreate(&clean, {40, 30}, {60, 30}), 1);  // leaves one smoothing pass
    // Started mid-pixel, every line reads whole columns: the smoothed profile is 1020, 680, 340, 0, 340, 680, 1020.
    ASSERT_EQ(p.PrCreate(&line, {40.5, 30.5}, {62.5, 30.5}), 1);
    EXPECT_EQ(p.GetData(CEdgeProfile::kProfile, CEdgeProfile::kProcessed)[11], 0);
    const auto& stats = p.GetStatistics(CEdgeProfile::kLaplacian, CEdgeProfile::kProcessed);
    ASSERT_GT(std::max(std::abs(stats.maximum), std::abs(stats.minimum)), int64_t{INT32_MAX});
    _RPOINT edge{};
    ASSERT_EQ(p.FindSinglePoint(edge), 1);
    ASSERT_EQ(p.GetFallingSteps().size(), 1u);
    EXPECT_LE(p.GetRisingSteps().size(), 1u);
    for (float centre : p.GetStepCentres())
        EXPECT_TRUE(centre >= 8.0f && centre <= 13.0f) << centre;
    EXPECT_NEAR(edge.x, 50.0, 1.0);
}

// A rising step whose crossing falls half-way between samples is rounded onto the sample beside its peak; it is
// still a step, and the first one from the start.
TEST(EdgeProfile, AStepBetweenSamplesIsNotTakenForAWeakOne)
{
    const CQvImage stripe = GreyImage(200, 150, [](int x, int) { return x >= 97 && x < 104 ? 220 : 30; });
    CEdgeProfile p;
    p.SetPasses(CEdgeProfile::kProfile, 1);
    ASSERT_EQ(p.PrCreate(&stripe, {90.27, 50}, {110.27, 50.1}), 1);
    _RPOINT edge{};
    ASSERT_EQ(p.FindSinglePoint(edge), 1);
    ASSERT_EQ(p.GetRisingSteps().size(), 1u);
    EXPECT_NEAR(p.GetRisingSteps()[0], 6.5, 0.05);
    EXPECT_NEAR(edge.x, 97.0, 1.0);
}

// Pure noise passes the contrast test but holds no step above its own noise; a real step in the same noise is
// still found.
TEST(EdgeProfile, NoiseAloneGivesNoStep)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 20.0);
    const CQvImage flat = GreyImage(100, 60, [&](int, int) { return static_cast<int>(std::lround(128 + noise(random))); });
    const CQvImage step =
        GreyImage(100, 60, [&](int x, int) { return static_cast<int>(std::lround((x < 50 ? 60 : 200) + noise(random))); });
    CEdgeProfile p;
    int flatSteps = 0;
    int stepsFound = 0;
    int analysed = 0;
    for (int y = 8; y < 52; ++y) {
        _RPOINT edge{};
        if (p.PrCreate(&flat, {40, double(y)}, {60, double(y)})) {
            ++analysed;
            flatSteps += p.FindSinglePoint(edge);
        }
        if (p.PrCreate(&step, {40, double(y)}, {60, double(y)}) && p.FindSinglePoint(edge) && std::abs(edge.x - 49.5) <= 2)
            ++stepsFound;
    }
    EXPECT_GT(analysed, 10);  // the contrast test alone lets noise through
    EXPECT_EQ(flatSteps, 0);
    EXPECT_GE(stepsFound, 40);
}

TEST(EdgeProfile, LineHelpers)
{
    double a = 0, b = 0;
    EXPECT_EQ(CEdgeProfile::GetLineEquation({0, 1}, {2, 5}, a, b), 1);
    EXPECT_EQ(a, 2.0);
    EXPECT_EQ(b, 1.0);
    EXPECT_EQ(CEdgeProfile::GetLineEquation({3, 1}, {3, 5}, a, b), 2);
    EXPECT_EQ(a, 3.0);
    EXPECT_EQ(CEdgeProfile::GetLineEquation({3, 1}, {3, 1}, a, b), 0);
    float x = 0;
    EXPECT_EQ(CEdgeProfile::GetLineInterceptX({1, 2}, {2, -2}, x), 1);
    EXPECT_FLOAT_EQ(x, 1.5f);
    EXPECT_EQ(CEdgeProfile::GetLineInterceptX({1, 2}, {4, 2}, x), 0);
    double y = 0;
    EXPECT_EQ(CEdgeProfile::GetLineInterceptY({1, 3}, {2, 5}, y), 1);
    EXPECT_EQ(y, 1.0);
    EXPECT_EQ(CEdgeProfile::GetLineInterceptY({1, 3}, 2.0), 1.0);
}
