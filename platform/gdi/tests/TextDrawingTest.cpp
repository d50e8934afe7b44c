// Text: measuring, DrawText formats, escapement, fonts and the measuring DC.
#include "gdi/CDC.h"
#include "gdi/CMeasureDC.h"

#include "testing/RenderCheck.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <thread>

namespace {

using testing_support::BlankSurface;
using testing_support::CountColour;

constexpr QRgb kWhite = 0xFFFFFF;

LOGFONTA Font(int height, const char* face, int escapement = 0)
{
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfEscapement = escapement;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

// The bounding box of every non-white pixel (null when there is none).
QRect Ink(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (testing_support::PixelAt(image, x, y) != kWhite)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

TEST(TextDrawing, CalcRectGivesTheBoxThatDrawTextFills)
{
    struct Case { const char* text; UINT format; int lines; };
    for (const Case& c : {Case{"Length: 12.50", DT_LEFT, 1}, Case{"Area\n123.4", DT_LEFT, 2},
                          Case{"Name-1\n", DT_LEFT, 1}, Case{"Centred\nvalue 7", DT_CENTER, 2}}) {
        QImage surface = BlankSurface(200, 80);
        CDC dc(surface);
        CFont font;
        const LOGFONTA description = Font(-13, "Arial");
        font.CreateFontIndirect(&description);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        CRect box(20, 10, 30, 20);
        const int height = dc.DrawText(c.text, box, c.format | DT_CALCRECT | DT_NOCLIP);
        EXPECT_EQ(CountColour(surface, kWhite), 200 * 80) << "measuring draws nothing";
        TEXTMETRIC metrics{};
        dc.GetTextMetrics(&metrics);
        EXPECT_EQ(height, c.lines * metrics.tmHeight) << c.text;
        EXPECT_EQ(box.Height(), height) << c.text;
        EXPECT_EQ(box.TopLeft(), CPoint(20, 10));
        EXPECT_GT(box.Width(), 10) << c.text;

        EXPECT_EQ(dc.DrawText(c.text, box, c.format), height);
        const QRect ink = Ink(surface);
        ASSERT_FALSE(ink.isNull()) << c.text;
        EXPECT_TRUE(QRect(box.left, box.top, box.Width(), box.Height()).contains(ink)) << c.text;
        // The text fills the box: ink reaches near both sides.
        EXPECT_LE(ink.left() - box.left, 2) << c.text;
        EXPECT_LE(box.right - 1 - ink.right(), 3) << c.text;
    }
}

TEST(TextDrawing, HorizontalAndVerticalPlacement)
{
    struct Case { UINT format; bool right; bool vcentred; };
    for (const Case& c : {Case{DT_LEFT | DT_SINGLELINE, false, false}, Case{DT_RIGHT | DT_SINGLELINE, true, false},
                          Case{DT_LEFT | DT_SINGLELINE | DT_VCENTER, false, true},
                          Case{DT_LEFT | DT_VCENTER, false, false}}) {
        QImage surface = BlankSurface(200, 100);
        CDC dc(surface);
        CRect box(0, 0, 200, 100);
        const int returned = dc.DrawText("Wg", box, c.format);
        const QRect ink = Ink(surface);
        ASSERT_FALSE(ink.isNull());
        EXPECT_EQ(ink.center().x() > 100, c.right) << c.format;
        EXPECT_EQ(ink.top() > 30 && ink.bottom() < 70, c.vcentred) << c.format;
        const int lineHeight = dc.GetTextExtent("Wg").cy;
        EXPECT_EQ(returned, c.vcentred ? (100 - lineHeight) / 2 + lineHeight : lineHeight) << c.format;
    }
    QImage surface = BlankSurface(200, 40);
    CDC dc(surface);
    CRect box(0, 0, 200, 40);
    dc.DrawText("Wg", box, DT_CENTER | DT_SINGLELINE);
    EXPECT_NEAR(Ink(surface).center().x(), 100, 3);
}

TEST(TextDrawing, ClipsToTheBoxUnlessNoClip)
{
    for (UINT format : {UINT{0}, DT_NOCLIP}) {
        QImage surface = BlankSurface(200, 40);
        CDC dc(surface);
        CRect box(10, 5, 25, 30);
        dc.DrawText("A long caption", box, format);
        const QRect ink = Ink(surface);
        EXPECT_EQ(ink.right() >= 25, format == DT_NOCLIP);
        EXPECT_GE(ink.left(), 10);
    }
}

TEST(TextDrawing, OpaqueTextCellTakesTheBackgroundColourAndIgnoresTheMixMode)
{
    QImage surface = BlankSurface(100, 30);
    CDC dc(surface);
    dc.SetBkColor(RGB(255, 0, 0));
    dc.SetTextColor(RGB(0, 0, 255));
    dc.SetROP2(R2_NOT);
    dc.TextOut(5, 5, "Hello");
    const CSize extent = dc.GetTextExtent("Hello");
    EXPECT_GT(CountColour(surface, 0xFF0000), extent.cx * extent.cy / 2);
    EXPECT_EQ(CountColour(surface, kWhite, QRect(5, 5, extent.cx, extent.cy)), 0);
    EXPECT_EQ(CountColour(surface, kWhite), 100 * 30 - extent.cx * extent.cy);
    EXPECT_GT(CountColour(surface, 0x0000FF), 5);
}

TEST(TextDrawing, EscapementMinus900WritesTopToBottom)
{
    QImage surface = BlankSurface(60, 200);
    CDC dc(surface);
    CFont font;
    const LOGFONTA description = Font(-14, "Arial", -900);
    font.CreateFontIndirect(&description);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(40, 10, "Vertical text");
    const QRect ink = Ink(surface);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GT(ink.height(), 3 * ink.width());
    EXPECT_GE(ink.top(), 10);
    // Turned clockwise about the cell's corner: the glyphs hang to the left of x = 40.
    EXPECT_LE(ink.right(), 40);

    QImage upwards = BlankSurface(60, 200);
    CDC upDc(upwards);
    CFont upFont;
    const LOGFONTA up = Font(-14, "Arial", 900);
    upFont.CreateFontIndirect(&up);
    upDc.SelectObject(&upFont);
    upDc.TextOut(20, 190, "Vertical text");
    const QRect upInk = Ink(upwards);
    EXPECT_GT(upInk.height(), 3 * upInk.width());
    EXPECT_LE(upInk.bottom(), 190);
}

TEST(TextDrawing, FontHeightsAndFaces)
{
    CMeasureDC dc;
    struct Case { int height; int minCell; int maxCell; };
    for (const Case& c : {Case{-11, 12, 14}, Case{-20, 22, 25}, Case{16, 16, 16}, Case{30, 30, 30}, Case{0, 13, 16}}) {
        CFont font;
        const LOGFONTA description = Font(c.height, "Arial");
        font.CreateFontIndirect(&description);
        dc.SelectObject(&font);
        TEXTMETRIC metrics{};
        ASSERT_TRUE(dc.GetTextMetrics(&metrics));
        EXPECT_GE(metrics.tmHeight, c.minCell) << c.height;
        EXPECT_LE(metrics.tmHeight, c.maxCell) << c.height;
        EXPECT_EQ(metrics.tmHeight, metrics.tmAscent + metrics.tmDescent);
        EXPECT_GT(metrics.tmAveCharWidth, 0);
        EXPECT_GE(metrics.tmMaxCharWidth, metrics.tmAveCharWidth);
        EXPECT_EQ(dc.GetTextExtent("abc").cy, metrics.tmHeight);
    }

    // Bold and the metric-compatible faces: "Arial" measures as the installed face with its metrics.
    auto width = [&dc](const LOGFONTA& description) {
        CFont font;
        font.CreateFontIndirect(&description);
        dc.SelectObject(&font);
        return dc.GetTextExtent("Measurement 0123456789").cx;
    };
    LOGFONTA bold = Font(-13, "Arial");
    bold.lfWeight = 700;
    EXPECT_GT(width(bold), width(Font(-13, "Arial")));
    EXPECT_EQ(width(Font(-13, "Arial")), width(Font(-13, "Liberation Sans")));
    EXPECT_NE(width(Font(-13, "Tahoma")), width(Font(-13, "Arial")));
}

TEST(TextDrawing, ExtremeFontHeightsOfAStoredRecordStillMeasureAndDraw)
{
    for (int height : {std::numeric_limits<int>::min(), std::numeric_limits<int>::min() + 1,
                       std::numeric_limits<int>::max()}) {
        QImage surface = BlankSurface(60, 30);
        CDC dc(surface);
        CFont font;
        const LOGFONTA description = Font(height, "Arial");
        font.CreateFontIndirect(&description);
        dc.SelectObject(&font);
        TEXTMETRIC metrics{};
        ASSERT_TRUE(dc.GetTextMetrics(&metrics)) << height;
        EXPECT_GT(metrics.tmHeight, 0) << height;
        EXPECT_EQ(dc.GetTextExtent("Ab").cy, metrics.tmHeight) << height;
        EXPECT_TRUE(dc.TextOut(0, 0, "Ab")) << height;
    }
}

TEST(TextDrawing, MeasuringWorksOffTheUiThread)
{
    CMeasureDC here;
    const CSize expected = here.GetTextExtent("Diameter 12.5");
    CSize measured;
    std::thread worker([&measured] {
        CMeasureDC dc;
        measured = dc.GetTextExtent("Diameter 12.5");
    });
    worker.join();
    EXPECT_EQ(measured, expected);
    EXPECT_GT(expected.cx, 0);
}

}  // namespace
