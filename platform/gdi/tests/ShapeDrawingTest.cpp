// Rectangles, ellipses, polygons, brushes and the rectangle fills on a rendered surface.
#include "gdi/CDC.h"

#include "RenderCheck.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using testing_support::BlankSurface;
using testing_support::CountColour;
using testing_support::PixelAt;

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kRed = 0xFF0000;

// Pixels that are not white outside [box) of the image.
int InkOutside(const QImage& image, const QRect& box)
{
    return image.width() * image.height() - CountColour(image, kWhite) -
           (box.width() * box.height() - CountColour(image, kWhite, box));
}

TEST(ShapeDrawing, RectangleAndEllipseStayInsideTheirBox)
{
    struct Case { bool ellipse; int penStyle; int penWidth; };
    for (const Case& c : {Case{false, PS_SOLID, 1}, Case{false, PS_SOLID, 0}, Case{false, PS_NULL, 1},
                          Case{false, PS_DOT, 1}, Case{true, PS_SOLID, 1}, Case{true, PS_SOLID, 0},
                          Case{true, PS_NULL, 1}, Case{true, PS_DASH, 1}}) {
        QImage surface = BlankSurface(40, 30);
        CDC dc(surface);
        CPen pen(c.penStyle, c.penWidth, RGB(0, 0, 0));
        CBrush red(RGB(255, 0, 0));
        dc.SelectObject(&pen);
        dc.SelectObject(&red);
        const QRect box(QPoint(5, 4), QPoint(30, 20));  // [5, 31) x [4, 21)
        if (c.ellipse)
            dc.Ellipse(5, 4, 31, 21);
        else
            dc.Rectangle(5, 4, 31, 21);
        const std::string label = std::string(c.ellipse ? "ellipse" : "rectangle") + " style " +
                                  std::to_string(c.penStyle) + " width " + std::to_string(c.penWidth);
        EXPECT_EQ(InkOutside(surface, box), 0) << label;
        // The outline reaches every edge of the box (with a pen); the fill is inside.
        if (c.penStyle == PS_SOLID) {
            EXPECT_GT(CountColour(surface, kBlack, QRect(5, 4, 26, 1)), 0) << label;
            EXPECT_GT(CountColour(surface, kBlack, QRect(5, 20, 26, 1)), 0) << label;
            EXPECT_GT(CountColour(surface, kBlack, QRect(5, 4, 1, 17)), 0) << label;
            EXPECT_GT(CountColour(surface, kBlack, QRect(30, 4, 1, 17)), 0) << label;
        }
        EXPECT_EQ(PixelAt(surface, 18, 12), kRed) << label;
    }
}

// Hollow outlines of every small shape and some large ones, partly off the surface: inside their box, touching all
// four edges, symmetric, closed (every outline pixel has an outline neighbour), and under R2_NOT the same pixels,
// each inverted once.
TEST(ShapeDrawing, HollowEllipseOutlinesAreClosedSymmetricAndTheSameInEveryMode)
{
    std::vector<QRect> boxes;
    for (int w = 1; w <= 9; ++w)
        for (int h = 1; h <= 9; ++h)
            boxes.emplace_back(20, 20, w, h);
    for (QRect box : {QRect(3, 4, 60, 7), QRect(3, 4, 7, 60), QRect(2, 2, 61, 61), QRect(-40, -30, 120, 90),
                      QRect(30, 30, 200, 3)})
        boxes.push_back(box);
    for (const QRect& box : boxes) {
        SCOPED_TRACE(std::to_string(box.width()) + " x " + std::to_string(box.height()) + " at " +
                     std::to_string(box.left()) + "," + std::to_string(box.top()));
        QImage copied = BlankSurface(70, 70);
        QImage inverted = BlankSurface(70, 70);
        for (QImage* surface : {&copied, &inverted}) {
            CDC dc(*surface);
            dc.SelectStockObject(NULL_BRUSH);
            if (surface == &inverted)
                dc.SetROP2(R2_NOT);
            dc.Ellipse(box.left(), box.top(), box.left() + box.width(), box.top() + box.height());
        }
        EXPECT_EQ(testing_support::CountDifferences(copied, inverted), 0);
        const QRect visible = box.intersected(copied.rect());
        EXPECT_EQ(InkOutside(copied, visible), 0);
        auto ink = [&](int x, int y) { return copied.rect().contains(x, y) && PixelAt(copied, x, y) == kBlack; };
        auto edgeInked = [&](bool horizontal, int at) {
            for (int i = 0; i < (horizontal ? box.width() : box.height()); ++i)
                if (horizontal ? ink(box.left() + i, at) : ink(at, box.top() + i))
                    return true;
            return false;
        };
        if (copied.rect().contains(box)) {
            EXPECT_TRUE(edgeInked(true, box.top()));
            EXPECT_TRUE(edgeInked(true, box.bottom()));
            EXPECT_TRUE(edgeInked(false, box.left()));
            EXPECT_TRUE(edgeInked(false, box.right()));
        }
        for (int y = visible.top(); y <= visible.bottom(); ++y) {
            for (int x = visible.left(); x <= visible.right(); ++x) {
                if (!ink(x, y))
                    continue;
                const int mirrorX = box.left() + box.right() - x;
                const int mirrorY = box.top() + box.bottom() - y;
                if (copied.rect().contains(mirrorX, mirrorY)) {
                    ASSERT_TRUE(ink(mirrorX, mirrorY)) << x << "," << y;
                }
                int neighbours = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        neighbours += (dx != 0 || dy != 0) && ink(x + dx, y + dy);
                if (box.width() * box.height() > 1 && copied.rect().contains(box)) {
                    ASSERT_GT(neighbours, 0) << x << "," << y;
                }
            }
        }
    }
}

// Boxes whose edges reach the ends of int, with every kind of pen and brush, plain and inverting: nothing is
// computed past int (the debug build's sanitizer fails the test otherwise), and a box around the whole surface
// fills it.
TEST(ShapeDrawing, BoxesReachingTheEndsOfIntDrawWithoutOverflow)
{
    struct Box { int left, top, right, bottom; };
    const Box boxes[] = {{INT_MIN, INT_MIN, INT_MIN, INT_MIN}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                         {INT_MIN, 0, INT_MAX, 10},             {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                         {-5, INT_MIN, 20, INT_MAX},            {INT_MIN, 3, INT_MIN + 1, 9},
                         {INT_MAX - 1, 0, INT_MAX, 5},          {INT_MAX, 2, INT_MIN, 12}};
    CPen dashed(PS_DASH, 1, RGB(0, 0, 0));
    CPen wide(PS_SOLID, 3, RGB(0, 0, 0));
    CBrush red(RGB(255, 0, 0));
    CBrush hatched(HS_CROSS, RGB(0, 0, 255));
    for (const Box& b : boxes) {
        for (CGdiObject* pen : {static_cast<CGdiObject*>(nullptr), static_cast<CGdiObject*>(&dashed),
                                static_cast<CGdiObject*>(&wide)}) {
            for (CBrush* brush : {static_cast<CBrush*>(nullptr), &red, &hatched}) {
                for (int rop : {R2_COPYPEN, R2_NOT}) {
                    QImage surface = BlankSurface(20, 20);
                    CDC dc(surface);
                    dc.SetROP2(rop);
                    if (pen != nullptr)
                        dc.SelectObject(pen);
                    if (brush != nullptr)
                        dc.SelectObject(brush);
                    dc.Ellipse(b.left, b.top, b.right, b.bottom);
                    dc.Rectangle(b.left, b.top, b.right, b.bottom);
                    dc.Arc(b.left, b.top, b.right, b.bottom, 0, 0, 5, 5);
                    dc.SelectStockObject(NULL_PEN);
                    dc.Ellipse(b.left, b.top, b.right, b.bottom);
                    dc.SelectStockObject(NULL_BRUSH);
                    dc.SelectStockObject(BLACK_PEN);
                    dc.Ellipse(b.left, b.top, b.right, b.bottom);
                }
            }
        }
    }
    QImage surface = BlankSurface(20, 20);
    CDC dc(surface);
    CBrush red2(RGB(255, 0, 0));
    dc.SelectObject(&red2);
    dc.SelectStockObject(NULL_PEN);
    dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(CountColour(surface, kRed), 400);
    surface.fill(Qt::white);
    dc.SelectStockObject(BLACK_PEN);
    dc.Ellipse(-(1 << 29), -(1 << 29), 1 << 29, 1 << 29);
    EXPECT_EQ(CountColour(surface, kRed), 400);
}

TEST(ShapeDrawing, RectangleOutlineAndFillPixels)
{
    QImage surface = BlankSurface(12, 10);
    CDC dc(surface);
    CBrush red(RGB(255, 0, 0));
    dc.SelectObject(&red);
    dc.Rectangle(1, 1, 11, 9);
    EXPECT_EQ(CountColour(surface, kBlack), 2 * 10 + 2 * 6);
    EXPECT_EQ(CountColour(surface, kRed), 8 * 6);
    EXPECT_EQ(PixelAt(surface, 10, 8), kBlack);

    // Without a pen the fill covers the box less its last column and row.
    QImage bare = BlankSurface(12, 10);
    CDC bareDc(bare);
    bareDc.SelectObject(&red);
    bareDc.SelectStockObject(NULL_PEN);
    bareDc.Rectangle(1, 1, 11, 9);
    EXPECT_EQ(CountColour(bare, kRed), 9 * 7);
    EXPECT_EQ(CountColour(bare, kRed, QRect(1, 1, 9, 7)), 9 * 7);
}

TEST(ShapeDrawing, InvertedBoxIsNormalised)
{
    QImage a = BlankSurface(30, 30);
    QImage b = BlankSurface(30, 30);
    CDC dcA(a);
    CDC dcB(b);
    dcA.Ellipse(3, 4, 25, 20);
    dcB.Ellipse(25, 20, 3, 4);
    dcA.Rectangle(2, 2, 8, 9);
    dcB.Rectangle(8, 9, 2, 2);
    EXPECT_TRUE(testing_support::ImagesMatch(b, a, "gdi-inverted-box"));
}

TEST(ShapeDrawing, HatchedBrushLeavesGapsUntouchedWhenTransparent)
{
    for (int hatch = HS_HORIZONTAL; hatch <= HS_DIAGCROSS; ++hatch) {
        QImage surface = BlankSurface(24, 24, 0xFF00FF00);
        CDC dc(surface);
        CBrush brush(hatch, RGB(0, 0, 0));
        dc.SelectObject(&brush);
        dc.SelectStockObject(NULL_PEN);
        dc.SetBkMode(TRANSPARENT);
        dc.Rectangle(0, 0, 25, 25);
        const int ink = CountColour(surface, kBlack);
        EXPECT_GT(ink, 24) << hatch;
        EXPECT_EQ(ink + CountColour(surface, 0x00FF00), 24 * 24) << hatch;

        // Opaque: the gaps take the background colour.
        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(RGB(255, 0, 0));
        dc.Rectangle(0, 0, 25, 25);
        EXPECT_EQ(CountColour(surface, kBlack), ink) << hatch;
        EXPECT_EQ(CountColour(surface, kRed), 24 * 24 - ink) << hatch;
    }
}

TEST(ShapeDrawing, HatchDirections)
{
    // Along each hatch line the next pixel is inked; across it the next pixel is not.
    struct Case { int hatch; QPoint along; QPoint across; };
    for (const Case& c : {Case{HS_HORIZONTAL, {1, 0}, {0, 1}}, Case{HS_VERTICAL, {0, 1}, {1, 0}},
                          Case{HS_FDIAGONAL, {1, 1}, {1, 0}}, Case{HS_BDIAGONAL, {1, -1}, {1, 0}}}) {
        QImage surface = BlankSurface(24, 24);
        CDC dc(surface);
        CBrush brush(c.hatch, RGB(0, 0, 0));
        const RECT all{0, 0, 24, 24};
        dc.FillRect(&all, &brush);
        EXPECT_EQ(CountColour(surface, kBlack), 3 * 24) << c.hatch;
        for (int y = 1; y < 23; ++y) {
            for (int x = 1; x < 23; ++x) {
                if (PixelAt(surface, x, y) != kBlack)
                    continue;
                EXPECT_EQ(PixelAt(surface, x + c.along.x(), y + c.along.y()), kBlack) << c.hatch;
                EXPECT_EQ(PixelAt(surface, x + c.across.x(), y + c.across.y()), kWhite) << c.hatch;
            }
        }
    }
}

TEST(ShapeDrawing, PolygonFillsByTheFillModeAndOutlinesEveryEdge)
{
    // A pentagram: its centre is outside under ALTERNATE and inside under WINDING.
    const POINT star[] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
    for (int mode : {ALTERNATE, WINDING}) {
        QImage surface = BlankSurface(40, 40);
        CDC dc(surface);
        CBrush red(RGB(255, 0, 0));
        dc.SelectObject(&red);
        dc.SetPolyFillMode(mode);
        EXPECT_TRUE(dc.Polygon(star, 5));
        EXPECT_EQ(PixelAt(surface, 20, 20), mode == WINDING ? kRed : kWhite) << mode;
        EXPECT_EQ(PixelAt(surface, 20, 6), kRed) << mode;
        for (const POINT& p : star)
            EXPECT_EQ(PixelAt(surface, p.x, p.y), kBlack) << mode;
    }
}

TEST(ShapeDrawing, RectangleFillsIgnoreTheMixMode)
{
    QImage surface = BlankSurface(20, 20);
    CDC dc(surface);
    dc.SetROP2(R2_NOT);
    dc.FillSolidRect(2, 2, 5, 4, RGB(255, 0, 0));
    EXPECT_EQ(CountColour(surface, kRed), 20);
    EXPECT_EQ(CountColour(surface, kRed, QRect(2, 2, 5, 4)), 20);
    EXPECT_EQ(dc.GetBkColor(), RGB(255, 0, 0));

    CBrush black(RGB(0, 0, 0));
    const RECT box{10, 10, 14, 13};
    dc.FillRect(&box, &black);
    EXPECT_EQ(CountColour(surface, kBlack, QRect(10, 10, 4, 3)), 12);
    EXPECT_EQ(CountColour(surface, kBlack), 12);
}

TEST(ShapeDrawing, Draw3dRectEdges)
{
    QImage surface = BlankSurface(10, 10);
    CDC dc(surface);
    dc.Draw3dRect(1, 1, 6, 5, RGB(255, 0, 0), RGB(0, 0, 0));
    // Top row and left column but their last pixels in the first colour; right column and bottom row in the second.
    EXPECT_EQ(CountColour(surface, kRed), 5 + 4 - 1);
    EXPECT_EQ(CountColour(surface, kBlack), 5 + 6 - 1);
    EXPECT_EQ(PixelAt(surface, 1, 1), kRed);
    EXPECT_EQ(PixelAt(surface, 6, 1), kBlack);
    EXPECT_EQ(PixelAt(surface, 1, 5), kBlack);
    EXPECT_EQ(PixelAt(surface, 6, 5), kBlack);
    EXPECT_EQ(CountColour(surface, kWhite, QRect(2, 2, 4, 3)), 12);
}

}  // namespace
