#include "caliper/CaliperToolList.h"
#include "caliper/CaliperTools.h"

#include "gdi/CDC.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <numbers>

using namespace caliper;

namespace {

using Points = std::vector<CPoint>;

QImage Bitmap(int w, int h, const Points& white)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(0);
    for (const CPoint& p : white)
        image.setPixel(p.x, p.y, qRgb(255, 255, 255));
    return image;
}

// A complete line from a to b, drawn with two clicks.
CCaliperTool* DrawLine(CCaliperToolList& list, CPoint a, CPoint b)
{
    list.SetMode(kLineTool);
    list.MouseDown(MK_LBUTTON, a.x, a.y);
    list.MouseDown(MK_LBUTTON, b.x, b.y);
    CCaliperTool* line = list.Current();
    list.SetMode(CCaliperToolList::kSelectMode);
    return line;
}

}  // namespace

TEST(CaliperTools, LineSamples)
{
    struct Case
    {
        const char* what;
        CPoint from, to;
        Points expected;
    };
    const Case cases[] = {
        {"horizontal", {10, 5}, {14, 5}, {{10, 5}, {11, 5}, {12, 5}, {13, 5}, {14, 5}}},
        {"horizontal reversed", {14, 5}, {10, 5}, {{14, 5}, {13, 5}, {12, 5}, {11, 5}, {10, 5}}},
        {"vertical upwards", {3, 9}, {3, 6}, {{3, 9}, {3, 8}, {3, 7}, {3, 6}}},
        {"one pixel", {3, 3}, {3, 3}, {{3, 3}}},
        {"diagonal repeats a pixel", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {1, 1}, {2, 2}, {3, 3}}},
        {"diagonal reversed", {3, 3}, {0, 0}, {{3, 3}, {2, 2}, {2, 2}, {1, 1}, {0, 0}}},
        {"steep", {0, 0}, {1, 4}, {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}}},
        {"shallow", {0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LineSamples(c.from, c.to), c.expected) << c.what;
}

TEST(CaliperTools, ContourTracer)
{
    EXPECT_EQ(TraceContour(Bitmap(5, 5, {{2, 2}}), qRgb(255, 255, 255), 2, 2), (Points{{2, 2}}));

    Points square;
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 3; ++x)
            square.emplace_back(x, y);
    EXPECT_EQ(TraceContour(Bitmap(5, 5, square), qRgb(255, 255, 255), 1, 1),
              (Points{{1, 1}, {1, 2}, {1, 3}, {2, 3}, {3, 3}, {3, 2}, {3, 1}, {2, 1}, {1, 1}}));

    const Points ell = {{1, 1}, {1, 2}, {1, 3}, {2, 3}, {3, 3}};
    EXPECT_EQ(TraceContour(Bitmap(5, 5, ell), qRgb(255, 255, 255), 1, 1),
              (Points{{1, 1}, {1, 2}, {1, 3}, {2, 3}, {3, 3}, {2, 3}, {1, 2}, {1, 1}}));

    // Pixels on the border of the buffer: the neighbours outside are never read.
    EXPECT_EQ(TraceContour(Bitmap(2, 1, {{0, 0}, {1, 0}}), qRgb(255, 255, 255), 0, 0),
              (Points{{0, 0}, {1, 0}, {0, 0}}));
}

TEST(CaliperTools, CircleSamplesAreAClosedOutlineFromTheTopRow)
{
    const Points outline = EllipseSamples(CRect(10, 10, 31, 25), 50, 50);
    ASSERT_GT(outline.size(), 20u);
    EXPECT_LT(outline.size(), 65536u);
    EXPECT_EQ(outline.front().y, 10);
    EXPECT_EQ(outline.front(), outline.back());
    for (size_t i = 1; i < outline.size(); ++i) {
        EXPECT_LE(std::abs(outline[i].x - outline[i - 1].x), 1) << i;
        EXPECT_LE(std::abs(outline[i].y - outline[i - 1].y), 1) << i;
        EXPECT_TRUE(outline[i].x >= 10 && outline[i].x < 31 && outline[i].y >= 10 && outline[i].y < 25) << i;
    }
    EXPECT_TRUE(EllipseSamples(CRect(10, 10, 31, 11), 50, 50).empty()) << "a 1-pixel-high box";
    EXPECT_TRUE(EllipseSamples(CRect(10, 10, 11, 30), 50, 50).empty()) << "a 1-pixel-wide box";
    // A circle reaching over the image's border stays on the image.
    for (const CPoint& p : EllipseSamples(CRect(-10, -10, 20, 20), 15, 15))
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x < 15 && p.y < 15);
}

TEST(CaliperTools, TagGeometry)
{
    CMarkerList markers;
    CCaliperTag* tag = markers.AddMarker(3, 50, 50, "P0", 0.0);
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->Points(), (Points{{50, 50}, {70, 50}}));
    ASSERT_NE(tag->Label(), nullptr);
    EXPECT_EQ(tag->Label()->Name(), "P0");
    const Points& box = tag->Label()->Points();
    EXPECT_LE(std::abs((box[0].x + box[4].x) / 2 - 70), 1);
    EXPECT_LE(std::abs((box[0].y + box[4].y) / 2 - 50), 1);

    QImage canvas(100, 100, QImage::Format_RGB32);
    canvas.fill(0);
    {
        CDC dc(canvas);
        tag->Draw(dc);
    }
    EXPECT_EQ(canvas.pixel(50, 50) & 0xFFFFFF, 0xFF0000u) << "the pen colour (red)";
    EXPECT_EQ(canvas.pixel(59, 50) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(canvas.pixel(61, 50) & 0xFFFFFF, 0u) << "drawn to the midpoint only";

    // Angles come into -pi .. pi: three half turns point left.
    CCaliperTag* left = markers.AddMarker(3, 50, 50, "P1", 3 * std::numbers::pi);
    EXPECT_EQ(left->Points()[1], CPoint(30, 50));
    CCaliperTag* up = markers.AddMarker(4, 50, 50, "V0", std::numbers::pi / 2);
    EXPECT_EQ(up->Points()[1], CPoint(50, 30));
    EXPECT_EQ(markers.Markers(3).size(), 2u);
    markers.RemoveMarkers(3);
    EXPECT_TRUE(markers.Markers(3).empty());
    EXPECT_EQ(markers.Count(), 2) << "the other tool's marker and its label stay";
}

TEST(CaliperToolList, DrawingModesAndHalfDrawnTools)
{
    CCaliperToolList list;
    list.SetImageSize(100, 100);
    EXPECT_EQ(list.SetMode(kLineTool), 1);
    EXPECT_EQ(list.SetMode(kLineTool), 0) << "unchanged";
    EXPECT_EQ(list.MouseDown(MK_LBUTTON, 10, 10), 0);
    ASSERT_EQ(list.Count(), 1);
    // Another mode while the line is half drawn drops it; the new mode holds at once.
    EXPECT_EQ(list.SetMode(kCircleTool), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Mode(), kCircleTool);
    EXPECT_EQ(list.MouseDown(MK_LBUTTON, 10, 10), 0);
    EXPECT_EQ(list.MouseDown(MK_LBUTTON, 30, 20), 1);
    CCaliperTool* circle = list.Current();
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->Kind(), kCircleTool);
    EXPECT_EQ(circle->Name(), "Circle - 0");
    ASSERT_NE(circle->Label(), nullptr);
    EXPECT_EQ(circle->Label()->Name(), "Circle - 0");
    EXPECT_EQ(list.Count(), 2) << "the circle and its label";
    EXPECT_EQ(list.ToolIds(), std::vector<int>{circle->Id()});
}

TEST(CaliperToolList, SelectingMovingAndClamping)
{
    CCaliperToolList list;
    list.SetImageSize(100, 100);
    CCaliperTool* lower = DrawLine(list, {10, 50}, {40, 50});
    CCaliperTool* upper = DrawLine(list, {20, 50}, {60, 50});
    // A click selects the topmost object under it.
    list.MouseDown(MK_LBUTTON, 30, 50);
    EXPECT_EQ(list.Current(), upper);
    EXPECT_EQ(list.SelectedIds(), std::vector<int>{upper->Id()});

    // Shift held with the left button still drags; the drag stops at the border.
    list.MouseMove(MK_LBUTTON | MK_SHIFT, 80, 55);
    EXPECT_EQ(upper->Points(), (Points{{59, 55}, {99, 55}}));
    EXPECT_EQ(lower->Points()[0], CPoint(10, 50));

    // A rubber band from an empty spot selects both; dragged left, they stop together at x = 0.
    list.MouseDown(MK_LBUTTON, 0, 0);
    EXPECT_TRUE(list.SelectedIds().empty());
    list.MouseMove(MK_LBUTTON, 99, 99);
    EXPECT_TRUE(list.RubberBandActive());
    list.MouseUp(0, 99, 99);
    EXPECT_FALSE(list.RubberBandActive());
    EXPECT_TRUE(lower->IsSelected());
    EXPECT_TRUE(upper->IsSelected());
    list.MouseDown(MK_LBUTTON, 59, 55);  // on a selected tool: the selection stays
    list.MouseMove(MK_LBUTTON, 29, 55);
    EXPECT_EQ(lower->Points()[0], CPoint(0, 50));
    EXPECT_EQ(upper->Points()[0], CPoint(49, 55));
    list.MouseMove(MK_LBUTTON, 0, 55);
    EXPECT_EQ(lower->Points()[0], CPoint(0, 50)) << "both stopped";
    EXPECT_EQ(upper->Points()[0], CPoint(49, 55));
}

TEST(CaliperToolList, DeleteRemovesSelectedToolsAndTheToolOfASelectedLabel)
{
    CCaliperToolList list;
    list.SetImageSize(200, 200);
    CCaliperTool* first = DrawLine(list, {10, 10}, {90, 10});
    CCaliperTool* second = DrawLine(list, {10, 100}, {90, 100});
    first->Style().showLabel = 1;
    const int firstId = first->Id();
    // Clicking the first tool's label selects it; Delete takes the tool with it.
    const Points& box = first->Label()->Points();
    const CPoint centre((box[0].x + box[4].x) / 2, (box[0].y + box[4].y) / 2);
    list.MouseDown(MK_LBUTTON, centre.x, centre.y);
    list.KeyDown(CCaliperToolList::kDeleteKey);
    EXPECT_EQ(list.Find(firstId), nullptr);
    EXPECT_EQ(list.Count(), 2) << "the second tool and its label";

    // A rubber band over a tool and its shown label selects both; Delete deletes each once.
    second->Style().showLabel = 1;
    list.MouseDown(MK_LBUTTON, 0, 80);
    list.MouseMove(MK_LBUTTON, 199, 120);
    list.MouseUp(0, 199, 120);
    EXPECT_EQ(list.SelectedIds().size(), 2u);
    list.KeyDown(CCaliperToolList::kDeleteKey);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.SelectedIds().empty());
}

TEST(CaliperToolList, HandlesStayOnTheImage)
{
    CCaliperToolList list;
    list.SetImageSize(50, 40);
    CCaliperTool* line = DrawLine(list, {10, 10}, {20, 10});
    list.MouseDown(MK_LBUTTON, 20, 10);  // on the second handle
    EXPECT_EQ(line->GrabbedHandle(), 1);
    list.MouseMove(MK_LBUTTON, 500, -30);
    EXPECT_EQ(line->Points()[1], CPoint(49, 0));
    for (const CPoint& p : line->Samples())
        EXPECT_TRUE(p.x >= 0 && p.x < 50 && p.y >= 0 && p.y < 40);
}
