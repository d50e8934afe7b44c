// Pens, brushes and fonts: creation, descriptions, selection into a DC and the DC's saved states.
#include "gdi/CDC.h"

#include "testing/RenderCheck.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(GdiObject, PenCreationChecksStyleAndWidth)
{
    struct Case { int style; int width; bool created; };
    for (const Case& c : {Case{PS_SOLID, 0, true}, Case{PS_DASHDOTDOT, 1, true}, Case{PS_NULL, 3, true},
                          Case{6, 1, false}, Case{-1, 1, false}, Case{PS_SOLID, -1, false}}) {
        CPen pen;
        EXPECT_EQ(pen.CreatePen(c.style, c.width, RGB(1, 2, 3)) != 0, c.created) << c.style << "/" << c.width;
        EXPECT_EQ(pen.GetSafeHandle() != nullptr, c.created);
    }

    const LOGPEN description{PS_DOT, POINT{2, 0}, RGB(10, 20, 30)};
    CPen pen;
    ASSERT_TRUE(pen.CreatePenIndirect(&description));
    LOGPEN back{};
    EXPECT_EQ(pen.GetLogPen(&back), static_cast<int>(sizeof(LOGPEN)));
    EXPECT_EQ(back.lopnStyle, description.lopnStyle);
    EXPECT_EQ(back.lopnWidth.x, 2);
    EXPECT_EQ(back.lopnColor, description.lopnColor);
    EXPECT_TRUE(pen.DeleteObject());
    EXPECT_FALSE(pen.DeleteObject());
    EXPECT_EQ(pen.GetLogPen(&back), 0);
}

TEST(GdiObject, BrushCreationChecksStyleAndHatch)
{
    struct Case { LOGBRUSH brush; bool created; };
    for (const Case& c : {Case{{BS_SOLID, RGB(1, 2, 3), 0}, true}, Case{{BS_HOLLOW, 0, 0}, true},
                          Case{{BS_HATCHED, 0, HS_DIAGCROSS}, true}, Case{{BS_HATCHED, 0, 6}, false},
                          Case{{3, 0, 0}, false}}) {
        CBrush brush;
        EXPECT_EQ(brush.CreateBrushIndirect(&c.brush) != 0, c.created) << c.brush.lbStyle << "/" << c.brush.lbHatch;
        LOGBRUSH back{};
        if (c.created) {
            EXPECT_EQ(brush.GetLogBrush(&back), 12);
            EXPECT_EQ(back.lbStyle, c.brush.lbStyle);
            EXPECT_EQ(back.lbColor, c.brush.lbColor);
        }
    }
}

TEST(GdiObject, PointFontIsNegativePixelHeightAt96Dpi)
{
    struct Case
    {
        int tenths;
        LONG height;
    };
    for (const Case& c : {Case{90, -12}, Case{80, -11}, Case{110, -15}, Case{100, -13}, Case{-90, -12}}) {
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(c.tenths, "Tahoma"));
        LOGFONTA description{};
        EXPECT_EQ(font.GetLogFont(&description), 60);
        EXPECT_EQ(description.lfHeight, c.height) << c.tenths;
        EXPECT_STREQ(description.lfFaceName, "Tahoma");
    }
}

TEST(GdiObject, SelectReturnsThePreviousObjectAndRestores)
{
    QImage surface = testing_support::BlankSurface(8, 8);
    CDC dc(surface);
    CPen* stockPen = dc.GetCurrentPen();
    CBrush* stockBrush = dc.GetCurrentBrush();
    CFont* stockFont = dc.GetCurrentFont();
    ASSERT_NE(stockPen, nullptr);
    ASSERT_NE(stockBrush, nullptr);
    ASSERT_NE(stockFont, nullptr);

    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush blue(RGB(0, 0, 255));
    CFont font;
    font.CreatePointFont(80, "Arial");
    CPen* oldPen = dc.SelectObject(&red);
    CBrush* oldBrush = dc.SelectObject(&blue);
    CFont* oldFont = dc.SelectObject(&font);
    EXPECT_EQ(oldPen, stockPen);
    EXPECT_EQ(oldBrush, stockBrush);
    EXPECT_EQ(oldFont, stockFont);
    EXPECT_EQ(dc.GetCurrentPen(), &red);

    EXPECT_EQ(dc.SelectObject(oldPen), &red);
    EXPECT_EQ(dc.SelectObject(oldBrush), &blue);
    EXPECT_EQ(dc.SelectObject(oldFont), &font);
    EXPECT_EQ(dc.GetCurrentPen(), stockPen);

    // A stock object comes back as its base and selects the same way.
    CGdiObject* previous = dc.SelectStockObject(NULL_BRUSH);
    EXPECT_EQ(previous, stockBrush);
    EXPECT_NE(dc.GetCurrentBrush(), stockBrush);
    EXPECT_NE(dc.SelectObject(previous), nullptr);
    EXPECT_EQ(dc.GetCurrentBrush(), stockBrush);
    EXPECT_EQ(dc.SelectStockObject(99), nullptr);

    CPen empty;
    EXPECT_EQ(dc.SelectObject(&empty), nullptr);
}

TEST(GdiObject, SelectedObjectMayBeDeletedWhileTheDcKeepsDrawing)
{
    QImage surface = testing_support::BlankSurface(8, 8);
    CDC dc(surface);
    {
        CPen red(PS_SOLID, 1, RGB(255, 0, 0));
        dc.SelectObject(&red);
        dc.SelectStockObject(BLACK_PEN);
    }
    auto pen = std::make_unique<CPen>(PS_SOLID, 1, RGB(0, 255, 0));
    dc.SelectObject(pen.get());
    pen.reset();
    dc.MoveTo(0, 0);
    dc.LineTo(4, 0);
    EXPECT_EQ(testing_support::PixelAt(surface, 1, 0), 0x00FF00u);
}

TEST(GdiObject, AttributeSettersReturnThePreviousValue)
{
    QImage surface = testing_support::BlankSurface(4, 4);
    CDC dc(surface);
    EXPECT_EQ(dc.SetTextColor(RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(dc.SetTextColor(0), RGB(1, 2, 3));
    EXPECT_EQ(dc.SetBkColor(RGB(4, 5, 6)), RGB(255, 255, 255));
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(dc.SetBkMode(7), 0);
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.SetROP2(R2_NOT), R2_COPYPEN);
    EXPECT_EQ(dc.SetROP2(R2_XORPEN), R2_NOT);
    EXPECT_EQ(dc.SetROP2(99), 0);
    EXPECT_EQ(dc.GetROP2(), R2_XORPEN);
    EXPECT_EQ(dc.SetPolyFillMode(WINDING), ALTERNATE);
    EXPECT_EQ(dc.MoveTo(3, 4), CPoint(0, 0));
    EXPECT_EQ(dc.MoveTo(CPoint(5, 6)), CPoint(3, 4));
}

TEST(GdiObject, RestoreDcBringsBackObjectsColoursAndPosition)
{
    QImage surface = testing_support::BlankSurface(4, 4);
    CDC dc(surface);
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* stockPen = dc.GetCurrentPen();
    const int first = dc.SaveDC();
    dc.SelectObject(&red);
    dc.SetTextColor(RGB(9, 9, 9));
    dc.MoveTo(2, 2);
    const int second = dc.SaveDC();
    EXPECT_EQ(second, first + 1);
    dc.SetROP2(R2_NOT);
    EXPECT_TRUE(dc.RestoreDC(-1));
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.GetCurrentPen(), &red);
    EXPECT_TRUE(dc.RestoreDC(first));
    EXPECT_EQ(dc.GetCurrentPen(), stockPen);
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(0, 0));
    EXPECT_FALSE(dc.RestoreDC(first));
}

}  // namespace
