#include "latticer/CLatticer.h"

#include <QIcon>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

TEST(LatticerValues, ConstructorSetsEveryField)
{
    const CLatticer grid;
    EXPECT_EQ(grid.show, 0);
    EXPECT_EQ(grid.type, G_CROSS | G_RECTANGLES);
    EXPECT_EQ(grid.gap, 30.0f);
    EXPECT_EQ(grid.upp, 1.0);
    EXPECT_EQ(grid.reserved, 0);
    EXPECT_EQ(grid.canvas.cx, 640);
    EXPECT_EQ(grid.canvas.cy, 480);
    EXPECT_EQ(grid.decimal, 0);
    for (const LOGPEN& pen : {grid.pen, grid.pen2}) {
        EXPECT_EQ(pen.lopnStyle, 0u);
        EXPECT_EQ(pen.lopnWidth.x, 1);
        EXPECT_EQ(pen.lopnWidth.y, 1);
        EXPECT_EQ(pen.lopnColor, 0x808080u);
    }
    EXPECT_EQ(grid.font.lfHeight, -11);
    EXPECT_STREQ(grid.font.lfFaceName, "Arial");
    LOGFONTA otherwiseZero = grid.font;
    otherwiseZero.lfHeight = 0;
    std::memset(otherwiseZero.lfFaceName, 0, sizeof otherwiseZero.lfFaceName);
    const LOGFONTA zero{};
    EXPECT_EQ(std::memcmp(&otherwiseZero, &zero, sizeof(LOGFONTA)), 0);
    EXPECT_EQ(grid.ruler, 0);
    EXPECT_EQ(grid.reserved2, 1);
    EXPECT_EQ(grid.tickLength, 12);
    EXPECT_EQ(grid.color2, 0x808080u);
    EXPECT_EQ(grid.saveWithGrid, 0);
}

TEST(LatticerValues, RemoveResetsToCheckButKeepsOwnerState)
{
    CLatticer grid;
    grid.Show(1);
    grid.reserved = 7;
    grid.SetDecimal(3);
    grid.saveWithGrid = 1;
    grid.Create(G_CIRCLES, SIZE{100, 50}, 0.25, 12.5f);
    grid.SetWeight(4);
    grid.SetLineColor(0x0000FF);
    grid.ShowRuler(1);
    grid.tickLength = 20;

    grid.Remove();

    EXPECT_EQ(grid.type, G_CHECK);
    EXPECT_EQ(grid.gap, 30.0f);
    EXPECT_EQ(grid.upp, 1.0);
    EXPECT_EQ(grid.canvas.cx, 640);
    EXPECT_EQ(grid.GetWeight(), 1);
    EXPECT_EQ(grid.GetLineColor(), 0x808080u);
    EXPECT_EQ(grid.ruler, 0);
    EXPECT_EQ(grid.tickLength, 12);
    EXPECT_EQ(grid.show, 1);
    EXPECT_EQ(grid.reserved, 7);
    EXPECT_EQ(grid.decimal, 3);
    EXPECT_EQ(grid.saveWithGrid, 1);
}

TEST(LatticerValues, UpdateKeepsPixelSpacingAndIgnoresUnusableScales)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        double oldUpp;
        float oldGap;
        double newUpp;
        float gap;
        double upp;
    } cases[] = {
        {1.0, 30.0f, 0.5, 15.0f, 0.5},
        {0.5, 15.0f, 2.0, 60.0f, 2.0},
        {1.0, 30.0f, 1.0, 30.0f, 1.0},
        {1.0, 30.0f, 0.0, 30.0f, 1.0},
        {1.0, 30.0f, -2.0, 30.0f, 1.0},
        {1.0, 30.0f, nan, 30.0f, 1.0},
        {1.0, 30.0f, inf, 30.0f, 1.0},
        {0.0, 30.0f, 2.0, 30.0f, 2.0},
    };
    for (const Case& c : cases) {
        CLatticer grid;
        grid.Create(G_CROSS, SIZE{640, 480}, c.oldUpp, c.oldGap);
        grid.Update(G_CHECK | G_CIRCLES, SIZE{320, 200}, c.newUpp, 99.0f);
        SCOPED_TRACE(testing::Message() << "upp " << c.oldUpp << " -> " << c.newUpp);
        EXPECT_FLOAT_EQ(grid.gap, c.gap);
        EXPECT_EQ(grid.upp, c.upp);
        EXPECT_EQ(grid.type, G_CHECK | G_CIRCLES);
        EXPECT_EQ(grid.canvas.cx, 320);
        EXPECT_EQ(grid.canvas.cy, 200);
    }
}

TEST(LatticerValues, IconsAreTheLibrarysOwnPictures)
{
    QIcon icons[6];
    CLatticer::GetIcon(icons);
    QImage previous;
    for (const QIcon& icon : icons) {
        ASSERT_FALSE(icon.isNull());
        const QImage picture = icon.pixmap(32, 32).toImage();
        EXPECT_EQ(picture.size(), QSize(32, 32));
        EXPECT_NE(picture, previous);
        previous = picture;
    }
}

}  // namespace
