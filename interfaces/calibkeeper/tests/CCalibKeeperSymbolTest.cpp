#include "calibkeeper/CCalibKeeper.h"

#include "testing/RenderCheck.h"
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::BlankSurface;
using testing_support::CountColour;

namespace {

constexpr QRgb kRed = 0xFF0000;
const CPoint kAt(10, 5);

// A DC like a label's: a 12-point face, black text, an opaque red background that a transparent symbol must not
// paint.
struct LabelSurface
{
    QImage image = BlankSurface(160, 40);
    CFont font;
    CDC dc{image};

    LabelSurface()
    {
        font.CreatePointFont(120, "Arial");
        dc.SelectObject(&font);
        dc.SetTextColor(RGB(0, 0, 0));
        dc.SetBkColor(RGB(255, 0, 0));
        dc.SetBkMode(OPAQUE);
    }

    // Pixels of the text: neither white nor the background colour.
    int Ink() const
    {
        return image.width() * image.height() - CountColour(image, 0xFFFFFF) - CountColour(image, kRed);
    }

    // Pixels not white, outside the columns [kAt.x, kAt.x + width) or the text's rows.
    int InkOutside(int width) const
    {
        const int height = dc.GetTextExtent("X").cy;
        const QRect box(kAt.x, kAt.y, width, height);
        int outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (testing_support::PixelAt(image, x, y) != 0xFFFFFF && !box.contains(x, y))
                    ++outside;
        return outside;
    }
};

}  // namespace

TEST(CCalibKeeperSymbol, DrawSymbolReturnsItsWidthAndInksOnlyThere)
{
    const struct
    {
        int unit;
        int squared;
        int measureOnly;
        int transparent;
        std::string text;
    } cases[] = {
        {UNIT_MILLIMETER, 0, 0, 1, "mm"},
        {UNIT_MICROMETER, 1, 0, 1, "µm²"},
        {UNIT_INCH, 1, 0, 0, "in²"},
        {UNIT_PIXEL, 0, 1, 1, "px"},
        {UNIT_METER, 1, 1, 0, "m²"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        LabelSurface s;
        const int width = CCalibKeeper::DrawSymbol(&s.dc, kAt, c.unit, c.squared, c.measureOnly, c.transparent);
        EXPECT_EQ(width, s.dc.GetTextExtent(c.text).cx);
        EXPECT_GT(width, 0);
        EXPECT_EQ(s.dc.GetBkMode(), OPAQUE);

        if (c.measureOnly) {
            EXPECT_EQ(CountColour(s.image, 0xFFFFFF), s.image.width() * s.image.height());
            continue;
        }
        EXPECT_GT(s.Ink(), 0);
        EXPECT_EQ(s.InkOutside(width), 0);
        if (c.transparent)
            EXPECT_EQ(CountColour(s.image, kRed), 0);
        else
            EXPECT_GT(CountColour(s.image, kRed), 0);
    }
}

TEST(CCalibKeeperSymbol, SquaredSymbolIsWiderAndAngleSymbolIsDrawnTransparently)
{
    LabelSurface s;
    const int plain = CCalibKeeper::DrawSymbol(&s.dc, kAt, UNIT_MICROMETER, 0, 1, 1);
    const int squared = CCalibKeeper::DrawSymbol(&s.dc, kAt, UNIT_MICROMETER, 1, 1, 1);
    EXPECT_GT(squared, plain);

    const int angle = CCalibKeeper::DrawSymbolAngle(&s.dc, kAt);
    EXPECT_EQ(angle, s.dc.GetTextExtent("°").cx);
    EXPECT_GT(s.Ink(), 0);
    EXPECT_EQ(CountColour(s.image, kRed), 0);
    EXPECT_EQ(s.InkOutside(angle), 0);
    EXPECT_EQ(s.dc.GetBkMode(), OPAQUE);

    EXPECT_EQ(CCalibKeeper::DrawSymbol(&s.dc, kAt, 8, 0, 0, 1), 0);
    EXPECT_EQ(CCalibKeeper::DrawSymbol(nullptr, kAt, UNIT_MILLIMETER, 0, 0, 1), 0);
}
