// The 1-pixel ellipse outline against the whole midpoint walk: an ellipse much larger than the surface is walked
// only where it meets the surface, and must set exactly the pixels the whole walk sets there, for ellipses of any
// size up to the DC's limit (once the walk's error terms overflowed from sides of about 916,000 pixels).
#include "gdi/CDC.h"

#include "RenderCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace {

using testing_support::BlankSurface;

// The midpoint walk over the inclusive box (x0, y0)-(x1, y1), as the drawing layer walks it whole, in 128 bits:
// the pixels an outline has, painted black where they lie on the surface.
void ReferenceOutline(QImage& surface, int64_t x0, int64_t y0, int64_t x1, int64_t y1)
{
    auto plot = [&](int64_t x, int64_t y) {
        if (x >= 0 && y >= 0 && x < surface.width() && y < surface.height())
            surface.setPixel(static_cast<int>(x), static_cast<int>(y), 0xFF000000u);
    };
    using Wide = __int128;
    const Wide a = x1 - x0;
    const Wide b = y1 - y0;
    if (a == 0 || b == 0) {
        for (int64_t y = y0; y <= y1; ++y)
            for (int64_t x = x0; x <= x1; ++x)
                plot(x, y);
        return;
    }
    const Wide odd = b & 1;
    Wide dx = 4 * (1 - a) * b * b;
    Wide dy = 4 * (odd + 1) * a * a;
    Wide err = dx + dy + odd * a * a;
    y0 += static_cast<int64_t>((b + 1) / 2);
    y1 = y0 - static_cast<int64_t>(odd);
    const Wide stepX = 8 * b * b;
    const Wide stepY = 8 * a * a;
    do {
        plot(x1, y0);
        plot(x0, y0);
        plot(x0, y1);
        plot(x1, y1);
        const Wide e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            err += dy += stepY;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            err += dx += stepX;
        }
    } while (x0 <= x1);
    while (y0 - y1 <= b) {
        plot(x0 - 1, y0);
        plot(x1 + 1, y0++);
        plot(x0 - 1, y1);
        plot(x1 + 1, y1--);
    }
}

QImage Painted(int width, int height, int left, int top, int right, int bottom, int rop = R2_COPYPEN)
{
    QImage surface = BlankSurface(width, height);
    CDC dc(surface);
    dc.SelectStockObject(HOLLOW_BRUSH);
    dc.SetROP2(rop);
    dc.Ellipse(left, top, right, bottom);
    return surface;
}

QImage Expected(int width, int height, int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    QImage surface = BlankSurface(width, height);
    ReferenceOutline(surface, left, top, right - 1, bottom - 1);
    return surface;
}

// The box of an ellipse with the given sides, placed so that the point of its outline at `angle` lies in the
// middle of a width x height surface.
QRect BoxThrough(int64_t sideX, int64_t sideY, double angle, int width, int height)
{
    const double cx = (sideX - 1) / 2.0;
    const double cy = (sideY - 1) / 2.0;
    const double px = cx + cx * std::cos(angle);
    const double py = cy + cy * std::sin(angle);
    const int left = static_cast<int>(std::llround(width / 2.0 - px));
    const int top = static_cast<int>(std::llround(height / 2.0 - py));
    return QRect(left, top, static_cast<int>(sideX), static_cast<int>(sideY));
}

}  // namespace

TEST(EllipseOutline, ClippedWalkSetsThePixelsOfTheWholeWalk)
{
    // Ellipses many times the surface, placed anywhere across it: the clipped walk jumps into the path.
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> sideOf(2, 400);
    std::uniform_int_distribution<int> surfaceSide(1, 9);
    std::uniform_real_distribution<double> angleOf(0.0, 2 * M_PI);
    for (int n = 0; n < 6000; ++n) {
        const int w = surfaceSide(random);
        const int h = surfaceSide(random);
        const QRect box = BoxThrough(sideOf(random), sideOf(random), angleOf(random), w, h);
        const QImage painted = Painted(w, h, box.left(), box.top(), box.right() + 1, box.bottom() + 1);
        const QImage expected = Expected(w, h, box.left(), box.top(), box.right() + 1, box.bottom() + 1);
        ASSERT_EQ(testing_support::CountDifferences(painted, expected), 0)
            << "surface " << w << "x" << h << " box " << box.left() << "," << box.top() << " " << box.width()
            << "x" << box.height();
    }
}

TEST(EllipseOutline, HugeEllipsesOnASmallSurfaceMatchTheWholeWalk)
{
    struct Case
    {
        int64_t sideX;
        int64_t sideY;
        double angle;
    };
    // From just below the side where the 64-bit terms once overflowed to far beyond: round, flat, tall, seen at
    // the tips, the flanks and in between.
    const Case cases[] = {
        {916000, 916000, 0.3},  {950001, 950000, 1.2},  {1048577, 1048577, 0.0}, {3000000, 3000001, 0.785},
        {3000000, 1200, 1.5707}, {1500, 2500000, 0.02}, {2000001, 7, 4.0},       {5, 2000000, 2.5},
        {2100000, 2100000, 3.1416}, {1200000, 1800000, 5.5}, {131073, 131073, 0.9}, {131074, 90000, 2.2},
    };
    for (const Case& c : cases) {
        for (QSize surface : {QSize(64, 48), QSize(3, 200)}) {
            const QRect box = BoxThrough(c.sideX, c.sideY, c.angle, surface.width(), surface.height());
            const QImage painted = Painted(surface.width(), surface.height(), box.left(), box.top(),
                                           box.right() + 1, box.bottom() + 1);
            const QImage expected = Expected(surface.width(), surface.height(), box.left(), box.top(),
                                             int64_t(box.right()) + 1, int64_t(box.bottom()) + 1);
            EXPECT_GT(testing_support::CountColour(expected, 0x000000), 0) << c.sideX << "x" << c.sideY;
            EXPECT_TRUE(testing_support::ImagesMatch(painted, expected,
                                                     QString("ellipse-outline-%1x%2-%3").arg(c.sideX).arg(c.sideY)
                                                         .arg(surface.width())));
        }
    }
}

TEST(EllipseOutline, ClippedWalkInvertsEachPixelOnce)
{
    // In an inverting mode a pixel the walk meets twice must still change once: drawn twice, nothing is left.
    for (double angle : {0.0, 0.7, 1.5707, 3.0}) {
        const QRect box = BoxThrough(40001, 30000, angle, 50, 40);
        QImage surface = BlankSurface(50, 40);
        {
            CDC dc(surface);
            dc.SelectStockObject(HOLLOW_BRUSH);
            dc.SetROP2(R2_NOT);
            dc.Ellipse(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
            const QImage once = surface.copy();
            const QImage copied = Painted(50, 40, box.left(), box.top(), box.right() + 1, box.bottom() + 1);
            EXPECT_EQ(testing_support::CountColour(once, 0x000000), testing_support::CountColour(copied, 0x000000))
                << angle;
            dc.Ellipse(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
        }
        EXPECT_EQ(testing_support::CountColour(surface, 0xFFFFFF), 50 * 40) << angle;
    }
}
