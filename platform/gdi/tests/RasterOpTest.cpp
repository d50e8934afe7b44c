// Mix modes and the inverting fills: drawing the same thing twice restores every pixel.
#include "gdi/CDC.h"

#include "testing/RenderCheck.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using testing_support::CountDifferences;
using testing_support::ImagesMatch;

// A background with every pixel different from its neighbours, so a lost or doubled inversion shows.
QImage Noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            image.setPixel(x, y, 0xFF000000u | (state >> 8));
        }
    }
    return image;
}

struct Figure
{
    const char* name;
    std::function<void(CDC&)> draw;
};

TEST(RasterOp, DrawingTwiceRestoresEveryPixel)
{
    CPen dotted(PS_DOT, 1, RGB(200, 200, 200));
    CPen wide(PS_SOLID, 3, RGB(10, 200, 90));
    CBrush hatched(HS_DIAGCROSS, RGB(0, 0, 255));
    CBrush solid(RGB(30, 60, 90));
    const POINT polygon[] = {{5, 5}, {50, 10}, {40, 45}, {12, 30}};
    const std::vector<Figure> figures = {
        {"line", [](CDC& dc) { dc.MoveTo(3, 4); dc.LineTo(55, 41); }},
        {"dotted band",
         [&](CDC& dc) {
             dc.SelectObject(&dotted);
             dc.SelectStockObject(NULL_BRUSH);
             dc.Rectangle(4, 6, 50, 40);
         }},
        {"dotted opaque band",
         [&](CDC& dc) {
             dc.SetBkMode(OPAQUE);
             dc.SelectObject(&dotted);
             dc.SelectStockObject(NULL_BRUSH);
             dc.Rectangle(4, 6, 50, 40);
         }},
        {"ellipse", [](CDC& dc) { dc.SelectStockObject(NULL_BRUSH); dc.Ellipse(2, 3, 57, 44); }},
        {"filled ellipse", [&](CDC& dc) { dc.SelectObject(&solid); dc.Ellipse(2, 3, 57, 44); }},
        {"filled rectangle", [&](CDC& dc) { dc.SelectObject(&solid); dc.Rectangle(2, 3, 57, 44); }},
        {"wide line", [&](CDC& dc) { dc.SelectObject(&wide); dc.MoveTo(5, 40); dc.LineTo(50, 8); }},
        {"hatched polygon", [&](CDC& dc) { dc.SelectObject(&hatched); dc.Polygon(polygon, 4); }},
        {"filled polygon", [&](CDC& dc) { dc.SelectObject(&solid); dc.Polygon(polygon, 4); }},
        {"arc", [](CDC& dc) { dc.Arc(5, 5, 50, 40, 50, 20, 5, 5); }},
    };
    CPen coloured(PS_SOLID, 1, RGB(200, 100, 50));
    for (int rop : {R2_NOT, R2_XORPEN, R2_NOTXORPEN}) {
        for (const Figure& figure : figures) {
            const QImage original = Noise(60, 48);
            QImage surface = original;
            CDC dc(surface);
            dc.SelectObject(&coloured);
            dc.SetBkMode(TRANSPARENT);
            dc.SetROP2(rop);
            dc.SaveDC();
            figure.draw(dc);
            dc.RestoreDC(-1);
            const QImage once = surface.copy();
            EXPECT_GT(CountDifferences(once, original), 20) << figure.name << " rop " << rop;
            figure.draw(dc);
            EXPECT_TRUE(ImagesMatch(surface, original, QString("gdi-rop%1-%2").arg(rop).arg(figure.name)))
                << figure.name << " rop " << rop;
        }
    }
}

TEST(RasterOp, NotInvertsWhateverThePenColourAndFillPaintsOnce)
{
    for (COLORREF colour : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(12, 34, 56)}) {
        QImage surface = testing_support::BlankSurface(30, 30, 0xFF102030);
        CDC dc(surface);
        CPen pen(PS_SOLID, 1, colour);
        CBrush brush(colour);
        dc.SelectObject(&pen);
        dc.SelectObject(&brush);
        dc.SetROP2(R2_NOT);
        dc.Ellipse(2, 2, 28, 26);
        dc.Rectangle(0, 28, 30, 30);
        const int inverted = testing_support::CountColour(surface, 0xEFDFCF);
        EXPECT_EQ(inverted + testing_support::CountColour(surface, 0x102030), 30 * 30);
        // Outline and fill together cover the ellipse with no pixel inverted twice.
        EXPECT_EQ(testing_support::PixelAt(surface, 2, 13), 0xEFDFCFu);
        EXPECT_EQ(testing_support::PixelAt(surface, 3, 13), 0xEFDFCFu);
        EXPECT_EQ(testing_support::PixelAt(surface, 10, 3), 0xEFDFCFu);
        EXPECT_EQ(testing_support::CountColour(surface, 0xEFDFCF, QRect(6, 8, 18, 12)), 18 * 12);
        EXPECT_EQ(testing_support::CountColour(surface, 0xEFDFCF, QRect(0, 28, 30, 2)), 60);
    }
}

TEST(RasterOp, InvertedOutlineCoversWhatTheCopiedOutlineDoes)
{
    QImage copied = testing_support::BlankSurface(80, 50);
    QImage inverted = testing_support::BlankSurface(80, 50);
    const POINT polygon[] = {{43, 3}, {76, 8}, {60, 37}};
    for (QImage* surface : {&copied, &inverted}) {
        CDC dc(*surface);
        dc.SelectStockObject(NULL_BRUSH);
        if (surface == &inverted)
            dc.SetROP2(R2_NOT);
        dc.Ellipse(2, 2, 28, 26);
        dc.Rectangle(5, 30, 38, 49);
        dc.Polygon(polygon, 3);
    }
    EXPECT_TRUE(ImagesMatch(inverted, copied, "gdi-inverted-outline"));
}

TEST(RasterOp, XorUsesThePenColour)
{
    QImage surface = testing_support::BlankSurface(10, 3, 0xFF0F0F0F);
    CDC dc(surface);
    CPen pen(PS_SOLID, 1, RGB(0xF0, 0x00, 0xFF));
    dc.SelectObject(&pen);
    dc.SetROP2(R2_XORPEN);
    dc.MoveTo(0, 1);
    dc.LineTo(10, 1);
    EXPECT_EQ(testing_support::PixelAt(surface, 5, 1), 0xFF0FF0u);
    dc.SetROP2(R2_NOTXORPEN);
    dc.MoveTo(0, 1);
    dc.LineTo(10, 1);
    EXPECT_EQ(testing_support::PixelAt(surface, 5, 1), 0xF0F0F0u);
}

TEST(RasterOp, InvertingFillsTwiceRestore)
{
    const std::vector<Figure> figures = {
        {"InvertRect", [](CDC& dc) { const RECT r{3, 4, 20, 17}; dc.InvertRect(&r); }},
        {"PatBlt", [](CDC& dc) { dc.PatBlt(10, 10, 8, 8, DSTINVERT); }},
        {"DrawFocusRect", [](CDC& dc) { const RECT r{2, 3, 27, 21}; dc.DrawFocusRect(&r); }},
    };
    for (const Figure& figure : figures) {
        const QImage original = Noise(30, 24);
        QImage surface = original;
        CDC dc(surface);
        figure.draw(dc);
        EXPECT_GT(CountDifferences(surface, original), 20) << figure.name;
        figure.draw(dc);
        EXPECT_EQ(CountDifferences(surface, original), 0) << figure.name;
    }
}

TEST(RasterOp, InvertAndFocusRectCoverage)
{
    QImage surface = testing_support::BlankSurface(12, 12);
    CDC dc(surface);
    EXPECT_TRUE(dc.PatBlt(1, 1, 8, 8, DSTINVERT));
    EXPECT_EQ(testing_support::CountColour(surface, 0x000000), 64);
    EXPECT_EQ(testing_support::CountColour(surface, 0x000000, QRect(1, 1, 8, 8)), 64);
    EXPECT_FALSE(dc.PatBlt(1, 1, 8, 8, 0x00CC0020));

    QImage focus = testing_support::BlankSurface(12, 12);
    CDC focusDc(focus);
    const RECT frame{0, 0, 10, 8};
    focusDc.DrawFocusRect(&frame);
    // Half of the 32 frame pixels, all on the frame.
    EXPECT_EQ(testing_support::CountColour(focus, 0x000000), 16);
    EXPECT_EQ(testing_support::CountColour(focus, 0x000000, QRect(1, 1, 8, 6)), 0);
}

}  // namespace
