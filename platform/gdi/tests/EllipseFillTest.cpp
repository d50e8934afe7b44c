// Filled ellipses: the brush fills exactly the pixels between the 1-pixel outline's (no gap, none beyond it), in
// every mix mode, with hatches as a rectangle has them, without a pen one pixel smaller, and clipped to the surface
// as if the surface were a window onto one large drawing.
#include "gdi/CDC.h"

#include "RenderCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::BlankSurface;
using testing_support::CountDifferences;
using testing_support::ImagesMatch;
using testing_support::PixelAt;

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kRed = 0xFF0000;

// Draws Ellipse(box) on a white surface with a black 1-pixel pen (or none) and the brush (or none).
QImage Draw(QSize surface, const QRect& box, bool pen, CBrush* brush, int rop = R2_COPYPEN, QImage background = {})
{
    QImage image = background.isNull() ? BlankSurface(surface.width(), surface.height()) : background;
    CDC dc(image);
    if (!pen)
        dc.SelectStockObject(NULL_PEN);
    if (brush != nullptr)
        dc.SelectObject(brush);
    else
        dc.SelectStockObject(NULL_BRUSH);
    dc.SetROP2(rop);
    dc.Ellipse(box.left(), box.top(), box.left() + box.width(), box.top() + box.height());
    return image;
}

// A background with every pixel different from its neighbours, so a lost or doubled mix shows.
QImage Noise(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    uint32_t state = 99;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            image.setPixel(x, y, 0xFF000000u | (state >> 8));
        }
    }
    return image;
}

// Checks a drawing of a black outline around a red fill against the outline alone, row by row: the same black
// pixels, and in a row with two black runs every pixel between them red, no red anywhere else.
::testing::AssertionResult FillMeetsOutline(const QImage& filled, const QImage& outline)
{
    for (int y = 0; y < filled.height(); ++y) {
        const QRgb* f = reinterpret_cast<const QRgb*>(filled.constScanLine(y));
        const QRgb* o = reinterpret_cast<const QRgb*>(outline.constScanLine(y));
        std::vector<std::pair<int, int>> runs;
        for (int x = 0; x < filled.width(); ++x) {
            const bool black = (o[x] & 0xFFFFFF) == kBlack;
            if (((f[x] & 0xFFFFFF) == kBlack) != black)
                return ::testing::AssertionFailure() << "outline pixel " << x << "," << y << " changed by the fill";
            if (black && (runs.empty() || runs.back().second != x - 1))
                runs.emplace_back(x, x);
            else if (black)
                runs.back().second = x;
        }
        if (runs.size() > 2)
            return ::testing::AssertionFailure() << "row " << y << " has " << runs.size() << " outline runs";
        for (int x = 0; x < filled.width(); ++x) {
            const bool between = runs.size() == 2 && x > runs[0].second && x < runs[1].first;
            const QRgb pixel = f[x] & 0xFFFFFF;
            if (between && pixel != kRed)
                return ::testing::AssertionFailure() << "gap at " << x << "," << y;
            if (!between && pixel == kRed)
                return ::testing::AssertionFailure() << "fill outside the outline at " << x << "," << y;
        }
    }
    return ::testing::AssertionSuccess();
}

QRgb Mixed(int rop, QRgb destination, QRgb colour)
{
    switch (rop) {
    case R2_NOT: return ~destination & 0xFFFFFF;
    case R2_XORPEN: return (destination ^ colour) & 0xFFFFFF;
    case R2_NOTXORPEN: return ~(destination ^ colour) & 0xFFFFFF;
    default: return colour & 0xFFFFFF;
    }
}

class FilledEllipse : public ::testing::TestWithParam<QSize>
{
protected:
    // The box of the parameter's size with a margin of 3 pixels on the surface.
    QRect Box() const { return QRect(QPoint(3, 3), GetParam()); }
    QSize Surface() const { return GetParam() + QSize(6, 6); }
};

TEST_P(FilledEllipse, FillMeetsTheOutlineInEveryMixMode)
{
    CBrush red(RGB(255, 0, 0));
    const QImage outline = Draw(Surface(), Box(), true, nullptr);
    const QImage filled = Draw(Surface(), Box(), true, &red);
    ASSERT_TRUE(FillMeetsOutline(filled, outline));
    if (GetParam().isEmpty()) {
        EXPECT_EQ(testing_support::CountColour(filled, kWhite), Surface().width() * Surface().height());
    }

    // Each outline pixel mixed once with the pen, each fill pixel once with the brush, nothing else touched.
    CPen pen(PS_SOLID, 1, RGB(200, 100, 50));
    CBrush brush(RGB(30, 60, 90));
    for (int rop : {R2_NOT, R2_XORPEN, R2_NOTXORPEN}) {
        SCOPED_TRACE(rop);
        const QImage noise = Noise(Surface());
        QImage mixed = noise;
        {
            CDC dc(mixed);
            dc.SelectObject(&pen);
            dc.SelectObject(&brush);
            dc.SetROP2(rop);
            dc.Ellipse(Box().left(), Box().top(), Box().left() + Box().width(), Box().top() + Box().height());
        }
        QImage expected = noise;
        for (int y = 0; y < noise.height(); ++y) {
            for (int x = 0; x < noise.width(); ++x) {
                const QRgb what = PixelAt(filled, x, y);
                const QRgb under = PixelAt(noise, x, y);
                if (what != kWhite)
                    expected.setPixel(x, y, 0xFF000000 | Mixed(rop, under, what == kBlack ? 0xC86432 : 0x1E3C5A));
            }
        }
        EXPECT_TRUE(ImagesMatch(mixed, expected, QString("gdi-filled-ellipse-rop%1").arg(rop)));
    }
}

TEST_P(FilledEllipse, WithoutAPenTheFillIsTheSmallerEllipseWhole)
{
    // The brush covers what a pen of its colour and the brush cover in the box one pixel narrower and shorter.
    CBrush red(RGB(255, 0, 0));
    const QImage bare = Draw(Surface(), Box(), false, &red);
    QImage expected = BlankSurface(Surface().width(), Surface().height());
    if (GetParam().width() > 1 && GetParam().height() > 1) {
        CDC dc(expected);
        CPen redPen(PS_SOLID, 1, RGB(255, 0, 0));
        dc.SelectObject(&redPen);
        dc.SelectObject(&red);
        dc.Ellipse(Box().left(), Box().top(), Box().left() + Box().width() - 1, Box().top() + Box().height() - 1);
    }
    EXPECT_TRUE(ImagesMatch(bare, expected, "gdi-filled-ellipse-no-pen"));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FilledEllipse,
    ::testing::Values(QSize(0, 0), QSize(0, 5), QSize(5, 0), QSize(1, 1), QSize(1, 7), QSize(7, 1), QSize(2, 2),
                      QSize(2, 3), QSize(3, 2), QSize(3, 3), QSize(4, 4), QSize(4, 5), QSize(5, 4), QSize(5, 5),
                      QSize(6, 9), QSize(9, 6), QSize(10, 10), QSize(11, 11), QSize(16, 17), QSize(33, 32),
                      QSize(64, 64), QSize(101, 37), QSize(37, 101), QSize(200, 2), QSize(200, 3), QSize(301, 4),
                      QSize(2, 200), QSize(3, 151), QSize(4, 301), QSize(400, 9), QSize(255, 256)),
    [](const ::testing::TestParamInfo<QSize>& info) {
        return std::to_string(info.param.width()) + "x" + std::to_string(info.param.height());
    });

TEST(FilledEllipseHatch, HatchesLineUpWithARectanglesAndTheGapsFollowTheBackgroundMode)
{
    const QRect box(5, 4, 51, 38);
    for (int hatch = HS_HORIZONTAL; hatch <= HS_DIAGCROSS; ++hatch) {
        for (int mode : {TRANSPARENT, OPAQUE}) {
            SCOPED_TRACE(std::to_string(hatch) + (mode == OPAQUE ? " opaque" : " transparent"));
            CBrush brush(hatch, RGB(255, 0, 0));
            QImage ellipse = BlankSurface(60, 46, 0xFF00FF00);
            QImage rectangle = ellipse;
            for (QImage* surface : {&ellipse, &rectangle}) {
                CDC dc(*surface);
                dc.SetBkMode(mode);
                dc.SetBkColor(RGB(0, 0, 255));
                dc.SelectObject(&brush);
                if (surface == &ellipse) {
                    dc.Ellipse(box.left(), box.top(), box.left() + box.width(), box.top() + box.height());
                } else {
                    const RECT all{0, 0, 60, 46};
                    dc.FillRect(&all, &brush);
                }
            }
            // The outline is the plain one; inside it every pixel is the rectangle's.
            const QImage outline = Draw(QSize(60, 46), box, true, nullptr, R2_COPYPEN, BlankSurface(60, 46, 0xFF00FF00));
            int inside = 0;
            for (int y = 0; y < 46; ++y) {
                int first = -1;
                int last = -1;
                for (int x = 0; x < 60; ++x) {
                    if (PixelAt(outline, x, y) == kBlack) {
                        first = first < 0 ? x : first;
                        last = x;
                    }
                }
                for (int x = 0; x < 60; ++x) {
                    const bool onOutline = PixelAt(outline, x, y) == kBlack;
                    const bool within = first >= 0 && x > first && x < last && !onOutline;
                    const QRgb expected = onOutline ? kBlack : within ? PixelAt(rectangle, x, y) : 0x00FF00;
                    ASSERT_EQ(PixelAt(ellipse, x, y), expected) << x << "," << y;
                    inside += within;
                }
            }
            EXPECT_GT(inside, 1000);
        }
    }
}

// A large drawing seen through small surfaces: every window shows exactly the pixels of the same part of the
// drawing made on a surface that holds it whole, outline and fill, in copy and inverting mode.
TEST(FilledEllipseClip, WindowsOntoALargeDrawingShowItsPixels)
{
    CBrush red(RGB(255, 0, 0));
    for (QSize size : {QSize(301, 187), QSize(900, 41), QSize(37, 700), QSize(400, 400), QSize(402, 399)}) {
        const QRect box(QPoint(10, 10), size);
        const QSize whole = size + QSize(20, 20);
        for (int rop : {R2_COPYPEN, R2_NOT}) {
            for (bool pen : {true, false}) {
                const QImage reference = Draw(whole, box, pen, &red, rop);
                const QSize window(64, 48);
                // Windows across the top and bottom tips, the sides, the corners, the middle rows and inside.
                std::vector<QPoint> corners;
                for (int fx : {0, 1, 2, 3, 4})
                    for (int fy : {0, 1, 2, 3, 4})
                        corners.emplace_back((whole.width() - window.width()) * fx / 4,
                                             (whole.height() - window.height()) * fy / 4);
                corners.emplace_back(-20, -20);
                corners.emplace_back(whole.width() - 30, whole.height() - 20);
                corners.emplace_back(box.left() + size.width() / 2 - 32, box.top() - 5);
                corners.emplace_back(box.left() + size.width() / 2 - 32, box.top() + 1);
                for (const QPoint& corner : corners) {
                    SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()) + " rop " +
                                 std::to_string(rop) + (pen ? " pen" : " no pen") + " window at " +
                                 std::to_string(corner.x()) + "," + std::to_string(corner.y()));
                    const QImage seen = Draw(window, box.translated(-corner), pen, &red, rop);
                    QImage expected = BlankSurface(window.width(), window.height());
                    for (int y = 0; y < window.height(); ++y)
                        for (int x = 0; x < window.width(); ++x)
                            if (reference.rect().contains(corner + QPoint(x, y)))
                                expected.setPixel(x, y, reference.pixel(corner + QPoint(x, y)));
                    ASSERT_TRUE(ImagesMatch(seen, expected, "gdi-filled-ellipse-window"));
                }
            }
        }
    }
}

// A surface whose top row cuts the ellipse makes the fill find the outline's columns in that row from a formula
// instead of walking down to it: for every small box and every row it can start at, the rows shown are those of
// the whole drawing.
TEST(FilledEllipseClip, EveryRowTheSurfaceCanStartAtShowsTheWholeDrawingsRows)
{
    CBrush red(RGB(255, 0, 0));
    for (int w = 1; w <= 32; ++w) {
        for (int h = 2; h <= 32; ++h) {
            const QImage whole = Draw(QSize(w + 2, h), QRect(1, 0, w, h), true, &red);
            for (int top = 1; top < h; ++top) {
                const QImage part = Draw(QSize(w + 2, h - top), QRect(1, -top, w, h), true, &red);
                for (int y = 0; y < part.height(); ++y)
                    for (int x = 0; x < part.width(); ++x)
                        ASSERT_EQ(part.pixel(x, y), whole.pixel(x, y + top))
                            << w << "x" << h << " from row " << top << " at " << x << "," << y;
            }
        }
    }
}

// Boxes far larger than the surface, which the fill reaches without walking the rows above: on full-width strips
// at rows across each box the fill still meets the outline exactly.
TEST(FilledEllipseClip, HugeBoxesFillBetweenTheirOutlineOnEveryRowShown)
{
    CBrush red(RGB(255, 0, 0));
    for (QSize size : {QSize(300001, 300000), QSize(700000, 61), QSize(45, 700000)}) {
        const int strip = 5;
        const QSize surface(size.width() + 2, strip);
        for (int part : {0, 2, 50, 333, 500}) {
            // The strip's top row, part thousandths down the box (clamped inside it).
            const int row = std::min(size.height() - strip, static_cast<int>(int64_t{size.height()} * part / 1000));
            SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()) + " rows from " +
                         std::to_string(row));
            const QRect box(QPoint(1, -row), size);
            const QImage outline = Draw(surface, box, true, nullptr);
            const QImage filled = Draw(surface, box, true, &red);
            ASSERT_TRUE(FillMeetsOutline(filled, outline));
        }
    }
    // Wider than the hollow outline's walk takes (2^20): the top of a circle of side 2^29, centred on a small
    // surface, with and without a pen (then one pixel larger): rows centred and symmetric, the outline's top row
    // across the whole surface and the brush below it.
    for (bool pen : {true, false}) {
        SCOPED_TRACE(pen ? "pen" : "no pen");
        const int side = pen ? 1 << 29 : (1 << 29) + 1;
        const QImage tip = Draw(QSize(64, 8), QRect(32 - side / 2, 2, side, side), pen, &red);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(PixelAt(tip, x, y), PixelAt(tip, 63 - x, y)) << x << "," << y;
                const QRgb expected = y < 2 ? kWhite : y == 2 && pen ? kBlack : kRed;
                if (y != 2 || pen) {
                    ASSERT_EQ(PixelAt(tip, x, y), expected) << x << "," << y;
                }
            }
        }
        if (!pen) {
            EXPECT_GT(testing_support::CountColour(tip, kRed, QRect(0, 2, 64, 1)), 0);
        }
    }
}

}  // namespace
