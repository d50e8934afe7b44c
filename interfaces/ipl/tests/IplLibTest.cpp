#include "ipl/IplLib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

namespace {

struct Release
{
    void operator()(IplImageHeader* image) const { iplDeallocate(image, kIplImageAll); }
};
using Image = std::unique_ptr<IplImageHeader, Release>;

// An allocated image whose samples are given row by row (channels interleaved), or filled with `fill`.
Image Make(int channels, int width, int height, std::vector<int> samples = {}, int fill = 0)
{
    Image image(iplCreateImageHeader(channels, 0, kIplDepth8u, channels == 1 ? "GRAY" : "RGB",
        channels == 1 ? "GRAY" : "BGR", 0, 0, 4, width, height, nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(image);
    EXPECT_EQ(1, iplAllocateImage(image.get(), 1, fill));
    for (size_t i = 0; i < samples.size(); ++i)
    {
        const size_t rowBytes = static_cast<size_t>(width) * channels;
        image->imageData[i / rowBytes * image->widthStep + i % rowBytes] = static_cast<char>(samples[i]);
    }
    return image;
}

std::vector<int> Samples(const IplImageHeader* image)
{
    std::vector<int> out;
    for (int y = 0; y < image->height; ++y)
        for (int i = 0; i < image->width * image->nChannels; ++i)
            out.push_back(static_cast<unsigned char>(image->imageData[y * image->widthStep + i]));
    return out;
}

const std::vector<int> kNine = {1, 2, 3, 4, 5, 6, 7, 8, 9};

TEST(IplHeader, LayoutAndRefusals)
{
    Image colour(iplCreateImageHeader(3, 0, 8, "RGB", "BGR", 0, 0, 4, 5, 3, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(colour);
    EXPECT_EQ(16, colour->widthStep);
    EXPECT_EQ(48, colour->imageSize);
    EXPECT_EQ(0, std::memcmp(colour->colorModel, "RGB", 3));
    EXPECT_EQ(0, std::memcmp(colour->channelSeq, "BGR", 3));
    EXPECT_EQ(nullptr, colour->imageData);

    int dummy = 0;
    struct Case { int channels, depth, order, origin, align, width, height; void* roi; };
    for (const Case& c : {Case{0, 8, 0, 0, 4, 2, 2, nullptr}, Case{5, 8, 0, 0, 4, 2, 2, nullptr},
             Case{1, 16, 0, 0, 4, 2, 2, nullptr}, Case{1, 8, 1, 0, 4, 2, 2, nullptr}, Case{1, 8, 0, 1, 4, 2, 2, nullptr},
             Case{1, 8, 0, 0, 2, 2, 2, nullptr}, Case{1, 8, 0, 0, 4, 0, 2, nullptr}, Case{1, 8, 0, 0, 4, 2, -1, nullptr},
             Case{1, 8, 0, 0, 4, 70000, 2, nullptr}, Case{4, 8, 0, 0, 4, 65536, 65536, nullptr},
             Case{1, 8, 0, 0, 4, 2, 2, &dummy}})
        EXPECT_EQ(nullptr, iplCreateImageHeader(c.channels, 0, c.depth, "GRAY", "GRAY", c.order, c.origin, c.align,
                               c.width, c.height, c.roi, nullptr, nullptr, nullptr))
            << c.channels << " " << c.depth << " " << c.width;
}

TEST(IplHeader, AllocateSetCloneAndFree)
{
    Image image = Make(1, 3, 2, {}, 300);
    EXPECT_EQ(std::vector<int>(6, 255), Samples(image.get()));
    EXPECT_EQ(1, iplSet(image.get(), -4));
    EXPECT_EQ(std::vector<int>(6, 0), Samples(image.get()));

    Image grey = Make(1, 3, 3, kNine);
    Image clone(iplCloneImage(grey.get()));
    ASSERT_TRUE(clone);
    EXPECT_NE(clone->imageData, grey->imageData);
    grey->imageData[0] = 99;
    EXPECT_EQ(kNine, Samples(clone.get()));

    iplDeallocate(grey.get(), kIplImageData);
    EXPECT_EQ(nullptr, grey->imageData);
    EXPECT_EQ(0, iplSet(grey.get(), 1));
    EXPECT_EQ(nullptr, iplCloneImage(grey.get()));

    // Pixels a caller set in are the caller's: freeing the header leaves them alone (ASan would see a double free).
    std::vector<char> own(16, 7);
    IplImageHeader* borrowed = iplCreateImageHeader(1, 0, 8, "GRAY", "GRAY", 0, 0, 4, 4, 4, nullptr, nullptr,
        nullptr, nullptr);
    borrowed->imageData = own.data();
    EXPECT_EQ(1, iplSet(borrowed, 3));
    iplDeallocate(borrowed, kIplImageAll);
    EXPECT_EQ(3, own[15]);
    iplDeallocate(nullptr, kIplImageAll);
}

TEST(IplMirror, AxesOnGreyAndColour)
{
    struct Case { int axis; std::vector<int> grey; std::vector<int> colour; };
    // 3 x 2 images: grey 1..6; colour pixels (10k + 1, 10k + 2, 10k + 3) for k = 0..5.
    const std::vector<Case> cases = {
        {0, {4, 5, 6, 1, 2, 3}, {31, 32, 33, 41, 42, 43, 51, 52, 53, 1, 2, 3, 11, 12, 13, 21, 22, 23}},
        {1, {3, 2, 1, 6, 5, 4}, {21, 22, 23, 11, 12, 13, 1, 2, 3, 51, 52, 53, 41, 42, 43, 31, 32, 33}},
        {-1, {6, 5, 4, 3, 2, 1}, {51, 52, 53, 41, 42, 43, 31, 32, 33, 21, 22, 23, 11, 12, 13, 1, 2, 3}},
    };
    std::vector<int> colourSamples;
    for (int k = 0; k < 6; ++k)
        colourSamples.insert(colourSamples.end(), {10 * k + 1, 10 * k + 2, 10 * k + 3});
    for (const Case& c : cases)
    {
        Image grey = Make(1, 3, 2, {1, 2, 3, 4, 5, 6});
        Image greyOut = Make(1, 3, 2);
        EXPECT_EQ(1, iplMirror(grey.get(), greyOut.get(), c.axis));
        EXPECT_EQ(c.grey, Samples(greyOut.get())) << c.axis;
        EXPECT_EQ(1, iplMirror(grey.get(), grey.get(), c.axis));  // in place
        EXPECT_EQ(c.grey, Samples(grey.get())) << c.axis;

        Image colour = Make(3, 3, 2, colourSamples);
        Image colourOut = Make(3, 3, 2);
        EXPECT_EQ(1, iplMirror(colour.get(), colourOut.get(), c.axis));
        EXPECT_EQ(c.colour, Samples(colourOut.get())) << c.axis;
    }
    Image grey = Make(1, 3, 2);
    Image other = Make(1, 2, 3, {}, 9);
    EXPECT_EQ(0, iplMirror(grey.get(), other.get(), 0));
    EXPECT_EQ(0, iplMirror(grey.get(), grey.get(), 2));
    EXPECT_EQ(std::vector<int>(6, 9), Samples(other.get()));
}

TEST(IplResize, DefinedSamplesAndInvariants)
{
    // Nearest doubles each pixel; supersampling by 2 averages 2 x 2 blocks, halves rounded up.
    Image row = Make(1, 3, 1, {10, 20, 30});
    Image wide = Make(1, 6, 1);
    EXPECT_EQ(1, iplResize(row.get(), wide.get(), 6, 3, 1, 1, kIplInterNearest));
    EXPECT_EQ((std::vector<int>{10, 10, 20, 20, 30, 30}), Samples(wide.get()));

    Image blocks = Make(1, 4, 2, {1, 2, 10, 20, 3, 4, 30, 41});
    Image half = Make(1, 2, 1);
    EXPECT_EQ(1, iplResize(blocks.get(), half.get(), 1, 2, 1, 2, kIplInterSuper));
    EXPECT_EQ((std::vector<int>{3, 25}), Samples(half.get()));

    // Every interpolation keeps a flat image flat and the same size copies exactly, grey, colour and 4-channel.
    std::mt19937 random(5);
    for (int channels : {1, 3, 4})
        for (int code : {kIplInterNearest, kIplInterLinear, kIplInterCubic, kIplInterSuper})
        {
            Image flat = Make(channels, 5, 3, {}, 77);
            Image out = Make(channels, 7, 4);
            EXPECT_EQ(1, iplResize(flat.get(), out.get(), 7, 5, 4, 3, code));
            EXPECT_EQ(std::vector<int>(static_cast<size_t>(7 * 4 * channels), 77), Samples(out.get()));

            std::vector<int> noise(static_cast<size_t>(5 * 3 * channels));
            for (int& v : noise)
                v = static_cast<int>(random() % 256);
            Image source = Make(channels, 5, 3, noise);
            Image same = Make(channels, 5, 3);
            EXPECT_EQ(1, iplResize(source.get(), same.get(), 1, 1, 1, 1, code));
            EXPECT_EQ(noise, Samples(same.get())) << channels << " " << code;
        }

    Image out = Make(1, 6, 1, {}, 5);
    for (int code : {kIplInterCubic | kIplSmoothEdge, 7})
        EXPECT_EQ(0, iplResize(row.get(), out.get(), 2, 1, 1, 1, code));
    EXPECT_EQ(0, iplResize(row.get(), out.get(), 0, 3, 1, 1, kIplInterCubic));
    Image colour = Make(3, 6, 1);
    EXPECT_EQ(0, iplResize(row.get(), colour.get(), 2, 1, 1, 1, kIplInterCubic));
    // A destination of another size than the scale gives: 3 * 3 / 2 truncates to 4, not 6; 1 * 2 / 1 is not 1.
    EXPECT_EQ(0, iplResize(row.get(), out.get(), 3, 2, 1, 1, kIplInterCubic));
    EXPECT_EQ(0, iplResize(row.get(), out.get(), 2, 1, 2, 1, kIplInterCubic));
    EXPECT_EQ(std::vector<int>(6, 5), Samples(out.get()));
    Image truncated = Make(1, 4, 1);
    EXPECT_EQ(1, iplResize(row.get(), truncated.get(), 3, 2, 1, 1, kIplInterCubic));
}

TEST(IplRotate, SenseShiftAndUntouchedCorners)
{
    double xs = 0;
    double ys = 0;
    iplGetRotateShift(1.5, 1.5, 90, &xs, &ys);
    EXPECT_NEAR(0.0, xs, 1e-9);
    EXPECT_NEAR(3.0, ys, 1e-9);

    // Counter-clockwise on the screen: the top-right pixel goes to the top-left.
    struct Case { double angle; int code; std::vector<int> expected; };
    for (const Case& c : {Case{90, kIplInterNearest, {3, 6, 9, 2, 5, 8, 1, 4, 7}},
             Case{-90, kIplInterCubic, {7, 4, 1, 8, 5, 2, 9, 6, 3}},
             Case{180, kIplInterCubic | kIplSmoothEdge, {9, 8, 7, 6, 5, 4, 3, 2, 1}},
             Case{0, kIplInterLinear | kIplSmoothEdge, kNine}})
    {
        Image source = Make(1, 3, 3, kNine);
        Image target = Make(1, 3, 3);
        iplGetRotateShift(1.5, 1.5, c.angle, &xs, &ys);
        EXPECT_EQ(1, iplRotate(source.get(), target.get(), c.angle, xs, ys, c.code));
        EXPECT_EQ(c.expected, Samples(target.get())) << c.angle;
    }

    // The plug-in's recipe for 90 degrees on an even-sized colour image: the canvas is the rotated size, the shift
    // about the centre plus half the growth; cubic with smooth edges lands every pixel exactly.
    std::vector<int> colour;
    for (int k = 1; k <= 8; ++k)
        colour.insert(colour.end(), {k, 10 * k, 100 + k});
    Image source = Make(3, 4, 2, colour);
    Image target = Make(3, 2, 4);
    iplGetRotateShift(2.0, 1.0, 90, &xs, &ys);
    EXPECT_EQ(1, iplRotate(source.get(), target.get(), 90, xs + (2.0 / 4 - 1) * 2.0, ys + (4.0 / 2 - 1) * 1.0, 18));
    std::vector<int> expected;
    for (int k : {4, 8, 3, 7, 2, 6, 1, 5})
        expected.insert(expected.end(), {k, 10 * k, 100 + k});
    EXPECT_EQ(expected, Samples(target.get()));

    // A row turned upright in a wider canvas writes one column; the rest keeps its fill.
    Image line = Make(1, 3, 1, {10, 20, 30});
    Image canvas = Make(1, 3, 3, {}, 200);
    iplGetRotateShift(1.5, 0.5, 90, &xs, &ys);
    EXPECT_EQ(1, iplRotate(line.get(), canvas.get(), 90, xs, ys + 1.0, kIplInterNearest));
    EXPECT_EQ((std::vector<int>{200, 30, 200, 200, 20, 200, 200, 10, 200}), Samples(canvas.get()));

    // Smooth edges: half a pixel of overlap blends half of the image into the destination.
    Image bright = Make(1, 2, 1, {}, 255);
    Image dark = Make(1, 2, 1, {}, 0);
    EXPECT_EQ(1, iplRotate(bright.get(), dark.get(), 0, 1.5, 0, kIplInterLinear | kIplSmoothEdge));
    EXPECT_EQ((std::vector<int>{0, 128}), Samples(dark.get()));

    EXPECT_EQ(0, iplRotate(line.get(), canvas.get(), 10, 0, 0, kIplInterSuper));
    Image colourCanvas = Make(3, 3, 3);
    EXPECT_EQ(0, iplRotate(line.get(), colourCanvas.get(), 10, 0, 0, kIplInterCubic));
}

// At any angle: exactly the pixels whose centre maps back inside the source are written, they do not depend on what
// the destination held, and a flat source gives its level there (the edge is repeated, never mixed with black).
TEST(IplRotate, CoverageRuleAtAnyAngle)
{
    const double angle = 30;
    double xs = 0;
    double ys = 0;
    iplGetRotateShift(3.5, 2.5, angle, &xs, &ys);
    xs += 1.0;
    ys += 2.0;
    const double c = std::cos(angle * 3.14159265358979323846 / 180);
    const double s = std::sin(angle * 3.14159265358979323846 / 180);
    std::mt19937 random(3);
    for (int channels : {1, 3, 4})
        for (int code : {kIplInterNearest, kIplInterLinear, kIplInterCubic})
        {
            std::vector<int> noise(static_cast<size_t>(7 * 5 * channels));
            for (int& v : noise)
                v = static_cast<int>(random() % 256);
            Image source = Make(channels, 7, 5, noise);
            Image flat = Make(channels, 7, 5, {}, 77);
            Image onBlack = Make(channels, 9, 9, {}, 0);
            Image onWhite = Make(channels, 9, 9, {}, 255);
            Image flatOut = Make(channels, 9, 9, {}, 0);
            ASSERT_EQ(1, iplRotate(source.get(), onBlack.get(), angle, xs, ys, code));
            ASSERT_EQ(1, iplRotate(source.get(), onWhite.get(), angle, xs, ys, code));
            ASSERT_EQ(1, iplRotate(flat.get(), flatOut.get(), angle, xs, ys, code));
            const std::vector<int> black = Samples(onBlack.get());
            const std::vector<int> white = Samples(onWhite.get());
            const std::vector<int> level = Samples(flatOut.get());
            for (int y = 0; y < 9; ++y)
                for (int x = 0; x < 9; ++x)
                {
                    // The centre back in source coordinates, then as a source pixel index.
                    const double px = x + 0.5 - xs;
                    const double py = y + 0.5 - ys;
                    const double u = c * px - s * py - 0.5;
                    const double v = s * px + c * py - 0.5;
                    const bool covered = u >= -0.5 && u < 6.5 && v >= -0.5 && v < 4.5;
                    for (int ch = 0; ch < channels; ++ch)
                    {
                        const size_t i = static_cast<size_t>((y * 9 + x) * channels + ch);
                        if (covered)
                        {
                            EXPECT_EQ(black[i], white[i]) << x << "," << y << " code " << code;
                            EXPECT_EQ(77, level[i]) << x << "," << y << " code " << code;
                        }
                        else
                        {
                            EXPECT_EQ(0, black[i]) << x << "," << y;
                            EXPECT_EQ(255, white[i]) << x << "," << y;
                        }
                    }
                }
        }
}

// The median of a window read with the edge repeated, lower middle for even counts: the reference the library's
// definition states.
std::vector<int> ReferenceMedian(const std::vector<int>& samples, int width, int height, int cols, int rows, int ax,
    int ay)
{
    std::vector<int> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            std::vector<int> window;
            for (int k = 0; k < rows; ++k)
                for (int m = 0; m < cols; ++m)
                {
                    const int sy = std::clamp(y - ay + k, 0, height - 1);
                    const int sx = std::clamp(x - ax + m, 0, width - 1);
                    window.push_back(samples[static_cast<size_t>(sy * width + sx)]);
                }
            std::sort(window.begin(), window.end());
            out.push_back(window[(window.size() - 1) / 2]);
        }
    return out;
}

TEST(IplNeighbourhood, MedianMinMaxAnchors)
{
    std::mt19937 random(11);
    std::vector<int> noise(7 * 5);
    for (int& v : noise)
        v = static_cast<int>(random() % 256);
    struct Shape { int cols, rows, ax, ay; };
    for (const Shape& s : {Shape{3, 3, 1, 1}, Shape{5, 5, 2, 2}, Shape{2, 2, 0, 0}, Shape{2, 2, 1, 1},
             Shape{3, 1, 0, 0}, Shape{3, 3, 0, 2}})
    {
        Image source = Make(1, 7, 5, noise);
        Image target = Make(1, 7, 5);
        EXPECT_EQ(1, iplMedianFilter(source.get(), target.get(), s.cols, s.rows, s.ax, s.ay));
        EXPECT_EQ(ReferenceMedian(noise, 7, 5, s.cols, s.rows, s.ax, s.ay), Samples(target.get()))
            << s.cols << "x" << s.rows << " @" << s.ax << "," << s.ay;
    }

    struct Case { bool max; int ax, ay; std::vector<int> expected; };
    for (const Case& c : {Case{false, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9}}, Case{true, 0, 0, {5, 6, 6, 8, 9, 9, 8, 9, 9}},
             Case{true, 1, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}}, Case{false, 1, 1, {1, 1, 2, 1, 1, 2, 4, 4, 5}}})
    {
        Image source = Make(1, 3, 3, kNine);
        Image target = Make(1, 3, 3);
        EXPECT_EQ(1, (c.max ? iplMaxFilter : iplMinFilter)(source.get(), target.get(), 2, 2, c.ax, c.ay));
        EXPECT_EQ(c.expected, Samples(target.get())) << c.max << " " << c.ax;
    }

    // A colour impulse on one channel is removed by the median; the other channels are filtered separately.
    std::vector<int> colour(5 * 3 * 3, 40);
    colour[(1 * 5 + 2) * 3 + 1] = 250;
    Image source = Make(3, 5, 3, colour);
    EXPECT_EQ(1, iplMedianFilter(source.get(), source.get(), 3, 3, 1, 1));
    EXPECT_EQ(std::vector<int>(colour.size(), 40), Samples(source.get()));

    Image target = Make(3, 5, 3);
    EXPECT_EQ(0, iplMedianFilter(source.get(), target.get(), 3, 3, 3, 1));
    EXPECT_EQ(0, iplMinFilter(source.get(), target.get(), 0, 3, 0, 0));
    Image grey = Make(1, 5, 3);
    EXPECT_EQ(0, iplMaxFilter(source.get(), grey.get(), 3, 3, 1, 1));
}

TEST(IplFixedFilter, KernelsRoundingAndClamping)
{
    // A single pixel of 128 on black shows the kernel weights directly.
    std::vector<int> impulse(25, 0);
    impulse[12] = 128;
    struct Case { int filter; std::vector<int> centre3x3; };
    for (const Case& c : {Case{kIplGaussian3x3, {8, 16, 8, 16, 32, 16, 8, 16, 8}},
             Case{kIplLaplace3x3, {0, 0, 0, 0, 255, 0, 0, 0, 0}},
             Case{kIplSharpen3x3, {0, 0, 0, 0, 255, 0, 0, 0, 0}},
             Case{kIplGaussian5x5, {8, 12, 8, 12, 18, 12, 8, 12, 8}}})
    {
        Image source = Make(1, 5, 5, impulse);
        Image target = Make(1, 5, 5);
        EXPECT_EQ(1, iplFixedFilter(source.get(), target.get(), c.filter));
        const std::vector<int> all = Samples(target.get());
        std::vector<int> centre;
        for (int y = 1; y <= 3; ++y)
            for (int x = 1; x <= 3; ++x)
                centre.push_back(all[static_cast<size_t>(y * 5 + x)]);
        EXPECT_EQ(c.centre3x3, centre) << c.filter;
    }
    // Halves go to the even level: 40 x 1/16 = 2.5 -> 2, 40 x 2/16 = 5, 24 x 1/16 = 1.5 -> 2.
    for (const auto& [level, corner, edge] : {std::tuple{40, 2, 5}, std::tuple{24, 2, 3}})
    {
        std::vector<int> dotted(9, 0);
        dotted[4] = level;
        Image source = Make(1, 3, 3, dotted);
        Image target = Make(1, 3, 3);
        EXPECT_EQ(1, iplFixedFilter(source.get(), target.get(), kIplGaussian3x3));
        EXPECT_EQ(corner, Samples(target.get())[0]) << level;
        EXPECT_EQ(edge, Samples(target.get())[1]) << level;
    }
    // A dark dot: sharpening lifts its neighbours above the background and clamps the dot itself at 0.
    std::vector<int> dot(9, 100);
    dot[4] = 0;
    Image dark = Make(1, 3, 3, dot);
    Image sharp = Make(1, 3, 3);
    EXPECT_EQ(1, iplFixedFilter(dark.get(), sharp.get(), kIplSharpen3x3));
    EXPECT_EQ((std::vector<int>{100, 200, 100, 200, 0, 200, 100, 200, 100}), Samples(sharp.get()));

    // The edge is repeated outwards: a flat image stays flat under the smoothing filters and the zero-sum ones give 0.
    for (int channels : {1, 3})
        for (int filter = kIplLaplace3x3; filter <= kIplSharpen3x3; ++filter)
        {
            Image flat = Make(channels, 7, 5, {}, 90);
            Image out = Make(channels, 7, 5);
            EXPECT_EQ(1, iplFixedFilter(flat.get(), out.get(), filter));
            const int level = filter == kIplLaplace3x3 || filter == kIplLaplace5x5 ? 0 : 90;
            EXPECT_EQ(std::vector<int>(static_cast<size_t>(35 * channels), level), Samples(out.get())) << filter;
        }
    Image flat = Make(1, 3, 3);
    EXPECT_EQ(0, iplFixedFilter(flat.get(), flat.get(), 3));
}

// The fixed filters as the header writes them down: integer weights over a divisor, the edge repeated, a half
// rounded to the even level, clamped.
struct FixedDefinition
{
    int filter;
    int side;
    std::vector<int> weights;
    int divisor;
};

std::vector<int> Surround(int side, int centre)
{
    std::vector<int> weights(static_cast<size_t>(side * side), -1);
    weights[weights.size() / 2] = centre;
    return weights;
}

std::vector<int> Outer(const std::vector<int>& row)
{
    std::vector<int> weights;
    for (int a : row)
        for (int b : row)
            weights.push_back(a * b);
    return weights;
}

int Defined(const IplImageHeader* image, const FixedDefinition& d, int x, int y, int c)
{
    const int reach = d.side / 2;
    int sum = 0;
    for (int k = 0; k < d.side; ++k)
        for (int m = 0; m < d.side; ++m)
        {
            const int sy = std::clamp(y - reach + k, 0, image->height - 1);
            const int sx = std::clamp(x - reach + m, 0, image->width - 1);
            sum += d.weights[static_cast<size_t>(k * d.side + m)]
                * static_cast<unsigned char>(image->imageData[sy * image->widthStep + sx * image->nChannels + c]);
        }
    int level = sum / d.divisor;
    const int rest = sum - level * d.divisor;  // the sum is never negative where the divisor is not 1
    if (2 * rest > d.divisor || (2 * rest == d.divisor && level % 2 == 1))
        ++level;
    return std::clamp(level, 0, 255);
}

TEST(IplFixedFilter, LargeImagesMatchTheDefinitionEverywhereInPlaceOrNot)
{
    // Tall enough to be filtered in several bands of rows; an odd width leaves row padding.
    const FixedDefinition definitions[] = {
        {kIplLaplace3x3, 3, Surround(3, 8), 1},   {kIplLaplace5x5, 5, Surround(5, 24), 1},
        {kIplGaussian3x3, 3, Outer({1, 2, 1}), 16}, {kIplGaussian5x5, 5, Outer({1, 4, 6, 4, 1}), 256},
        {kIplHipass3x3, 3, Surround(3, 9), 1},    {kIplHipass5x5, 5, Surround(5, 25), 1},
        {kIplSharpen3x3, 3, {0, -1, 0, -1, 5, -1, 0, -1, 0}, 1},
    };
    std::mt19937 random(11);
    for (int channels : {1, 3})
    {
        const int width = 37, height = 301;
        std::vector<int> samples(static_cast<size_t>(width * height * channels));
        for (int& sample : samples)
            sample = static_cast<int>(random() % 256);
        const Image source = Make(channels, width, height, samples);
        for (const FixedDefinition& d : definitions)
        {
            Image target = Make(channels, width, height);
            Image inPlace = Make(channels, width, height, samples);
            ASSERT_EQ(1, iplFixedFilter(source.get(), target.get(), d.filter));
            ASSERT_EQ(1, iplFixedFilter(inPlace.get(), inPlace.get(), d.filter));
            std::vector<int> expected;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    for (int c = 0; c < channels; ++c)
                        expected.push_back(Defined(source.get(), d, x, y, c));
            EXPECT_EQ(expected, Samples(target.get())) << d.filter << " on " << channels;
            EXPECT_EQ(expected, Samples(inPlace.get())) << d.filter << " in place on " << channels;
        }
    }
}

TEST(IplMorphology, ErodeDilateOpenClose)
{
    std::vector<int> dot(7 * 7, 0);
    dot[24] = 255;
    Image source = Make(1, 7, 7, dot);
    Image target = Make(1, 7, 7);
    EXPECT_EQ(1, iplDilate(source.get(), target.get(), 2));
    const std::vector<int> grown = Samples(target.get());
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(std::abs(x - 3) <= 2 && std::abs(y - 3) <= 2 ? 255 : 0, grown[static_cast<size_t>(y * 7 + x)]);
    EXPECT_EQ(1, iplErode(source.get(), target.get(), 1));
    EXPECT_EQ(std::vector<int>(49, 0), Samples(target.get()));
    EXPECT_EQ(1, iplOpen(source.get(), target.get(), 1));
    EXPECT_EQ(std::vector<int>(49, 0), Samples(target.get()));

    // Close fills a one-pixel hole; on a colour image each channel separately, and the image edge is no hole.
    std::vector<int> holed(5 * 5 * 3, 200);
    holed[(2 * 5 + 2) * 3 + 2] = 0;
    Image colour = Make(3, 5, 5, holed);
    Image closed = Make(3, 5, 5);
    EXPECT_EQ(1, iplClose(colour.get(), closed.get(), 1));
    EXPECT_EQ(std::vector<int>(holed.size(), 200), Samples(closed.get()));
    EXPECT_EQ(1, iplErode(closed.get(), closed.get(), 3));
    EXPECT_EQ(std::vector<int>(holed.size(), 200), Samples(closed.get()));

    EXPECT_EQ(0, iplErode(source.get(), target.get(), 0));
    EXPECT_EQ(0, iplDilate(source.get(), closed.get(), 1));
}

// A packed DIB in word-aligned storage.
struct Dib
{
    std::vector<uint32_t> words;
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(words.data()); }
    BYTE* Bytes() { return reinterpret_cast<BYTE*>(words.data()); }
};

Dib MakeDib(int bits, int width, int height, const std::vector<RGBQUAD>& palette, const std::vector<BYTE>& rows)
{
    Dib dib;
    dib.words.assign((40 + 4 * palette.size() + rows.size() + 3) / 4, 0);
    BITMAPINFOHEADER& h = *dib.Header();
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biClrUsed = static_cast<DWORD>(palette.size());
    if (!palette.empty())
        std::memcpy(dib.Bytes() + 40, palette.data(), 4 * palette.size());
    std::memcpy(dib.Bytes() + 40 + 4 * palette.size(), rows.data(), rows.size());
    return dib;
}

TEST(IplDib, FromAndToPackedDibs)
{
    // 8 bits, 3 x 2 bottom-up: the stored first row is the image's bottom row; one channel takes the palette blue,
    // an index beyond the palette gives 0.
    const std::vector<RGBQUAD> greys = {{0, 0, 0, 0}, {50, 50, 50, 0}, {90, 90, 90, 0}};
    Dib grey = MakeDib(8, 3, 2, greys, {2, 1, 0, 0, 0, 7, 9, 9});
    EXPECT_EQ(40u + 12u + 8u, iplDibSize(grey.Header()));
    Image one(iplCreateImageHeader(1, 0, 8, "GRAY", "GRAY", 0, 0, 4, 3, 2, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(1, iplConvertFromDIB(grey.Header(), one.get()));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 90, 50, 0}), Samples(one.get()));

    // The same into three channels, and a 4-bit and a 1-bit palette.
    const std::vector<RGBQUAD> colours = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    Dib four = MakeDib(4, 3, 1, colours, {0x10, 0x50, 0, 0});
    Image three(iplCreateImageHeader(3, 0, 8, "RGB", "BGR", 0, 0, 4, 3, 1, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(1, iplConvertFromDIB(four.Header(), three.get()));
    EXPECT_EQ((std::vector<int>{4, 5, 6, 1, 2, 3, 0, 0, 0}), Samples(three.get()));
    Dib mono = MakeDib(1, 3, 1, colours, {0xA0, 0, 0, 0});
    ASSERT_EQ(1, iplConvertFromDIB(mono.Header(), three.get()));
    EXPECT_EQ((std::vector<int>{4, 5, 6, 1, 2, 3, 4, 5, 6}), Samples(three.get()));

    // 24 bits with row padding, top-down; 32 bits drops alpha.
    Dib rgb = MakeDib(24, 3, -2, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0});
    Image six(iplCreateImageHeader(3, 0, 8, "RGB", "BGR", 0, 0, 4, 3, 2, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(1, iplConvertFromDIB(rgb.Header(), six.get()));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}), Samples(six.get()));
    Dib rgba = MakeDib(32, 1, 1, {}, {7, 8, 9, 200});
    Image pixel(iplCreateImageHeader(3, 0, 8, "RGB", "BGR", 0, 0, 4, 1, 1, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(1, iplConvertFromDIB(rgba.Header(), pixel.get()));
    EXPECT_EQ((std::vector<int>{7, 8, 9}), Samples(pixel.get()));

    // Back: three channels into a bottom-up 24-bit DIB, padding zeroed.
    Dib out = MakeDib(24, 3, 2, {}, std::vector<BYTE>(24, 0xEE));
    ASSERT_EQ(1, iplConvertToDIB(six.get(), out.Header(), 1, 0));
    EXPECT_EQ((std::vector<BYTE>{11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}),
        std::vector<BYTE>(out.Bytes() + 40, out.Bytes() + 64));

    // Refused: 16 bits, compression, size or channel mismatches.
    Dib sixteen = MakeDib(16, 3, 2, {}, std::vector<BYTE>(16, 0));
    EXPECT_EQ(0u, iplDibSize(sixteen.Header()));
    EXPECT_EQ(0, iplConvertFromDIB(sixteen.Header(), six.get()));
    EXPECT_EQ(0, iplConvertFromDIB(rgb.Header(), one.get()));
    EXPECT_EQ(0, iplConvertFromDIB(rgba.Header(), six.get()));
    EXPECT_EQ(0, iplConvertToDIB(one.get(), out.Header(), 1, 0));
    out.Header()->biCompression = 1;
    EXPECT_EQ(0, iplConvertToDIB(six.get(), out.Header(), 1, 0));
}

}  // namespace
