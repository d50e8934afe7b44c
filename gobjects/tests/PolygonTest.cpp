#include "gobjects/shapes/CQvGObjectPolygon.h"
#include "MarkerScene.h"

#include "calibkeeper/CCalibKeeper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

using testing_support::PixelAt;

namespace {

// Clicks the corners, then finishes with a right click where the last corner was clicked.
CQvGObject* ClickPolygon(MarkerScene& s, std::initializer_list<CPoint> corners, OBJ_SHAPE shape = SHAPE_POLYGON)
{
    CQvGObject* polygon = s.Click(shape, corners);
    s.RightClick(*(corners.end() - 1));
    return polygon;
}

std::vector<_RPOINT> Points(CQvGObject* obj)
{
    return std::vector<_RPOINT>(obj->GetPoint(), obj->GetPoint() + obj->GetPointCount());
}

}  // namespace

TEST(Polygon, ClickedOutlineIsClosedAndMeasuresPerimeterAndArea)
{
    struct Case
    {
        const char* name;
        std::initializer_list<CPoint> corners;
        const char* length;  // pixels x 0.5
        const char* area;    // pixels x 0.25
    };
    const Case cases[] = {
        {"clockwise", {{10, 10}, {30, 10}, {30, 30}, {10, 30}}, "40.00", "100.00"},
        {"anticlockwise", {{10, 10}, {10, 30}, {30, 30}, {30, 10}}, "40.00", "100.00"},
        {"concave", {{10, 10}, {50, 10}, {50, 20}, {20, 20}, {20, 50}, {10, 50}}, "80.00", "175.00"},
        // A self-crossing outline: the shoelace sum gives the difference of its two lobes.
        {"bow-tie", {{10, 10}, {30, 30}, {30, 10}, {10, 30}}, "48.28", "0.00"},
    };
    for (const Case& c : cases) {
        MarkerScene s;
        CQvGObject* polygon = ClickPolygon(s, c.corners);
        ASSERT_NE(dynamic_cast<CQvGObjectPolygon*>(polygon), nullptr);
        EXPECT_EQ(polygon->GetState(), GS_FINISHED) << c.name;
        const int corners = static_cast<int>(c.corners.size());
        ASSERT_EQ(polygon->GetPointCount(), corners + 1) << c.name;
        std::vector<_RPOINT> expected;
        for (CPoint p : c.corners)
            expected.push_back(_RPOINT{double(p.x), double(p.y)});
        expected.push_back(expected.front());
        EXPECT_EQ(Points(polygon), expected) << c.name;
        EXPECT_EQ(MarkerScene::Text(polygon, CAL_LENGTH), c.length) << c.name;
        EXPECT_EQ(MarkerScene::Text(polygon, CAL_AREA), c.area) << c.name;
        EXPECT_EQ(MarkerScene::Text(polygon, CAL_DIAGONAL), "Not yet");
        // The bounding-box label and one per clicked side; none on the closing side.
        EXPECT_EQ(polygon->GetLabelCount(), corners) << c.name;
        EXPECT_EQ(polygon->GetCalType(), 0xC01);
    }
}

namespace {

struct FarPolygonCase
{
    const char* what;
    std::vector<CPoint> corners;  // clicked near the origin
    double areaPixels;            // of the clicked outline
    _RPOINT offset;               // then every point p becomes offset + scale x p
    double scale;
};

std::ostream& operator<<(std::ostream& out, const FarPolygonCase& c)
{
    return out << c.what;
}

class PolygonFarOut : public testing::TestWithParam<FarPolygonCase>
{
};

}  // namespace

// A polygon's area depends on its shape, not on where it lies: small outlines far from the origin keep their
// area to the precision of their vertices.
TEST_P(PolygonFarOut, KeepsItsAreaWhereverItLies)
{
    const FarPolygonCase& c = GetParam();
    MarkerScene s;
    ASSERT_EQ(s.container.AddObject(SHAPE_POLYGON), 1);
    CQvGObject* polygon = s.container.GetCreatingObject();
    for (CPoint p : c.corners) {
        s.container.MouseMove(s.dc.get(), 0, p);
        s.container.LButtonDown(MarkerScene::kLeftButton, p);
        s.container.LButtonUp(0, p);
    }
    s.RightClick(c.corners.back());
    ASSERT_EQ(polygon->GetState(), GS_FINISHED);
    _RPOINT* points = polygon->GetPoint();
    for (int i = 0; i < polygon->GetPointCount(); ++i)
        points[i] = {c.offset.x + c.scale * points[i].x, c.offset.y + c.scale * points[i].y};

    // Each vertex is within half a unit in the last place of where it was meant to be.
    const double far = std::max(std::fabs(c.offset.x), std::fabs(c.offset.y));
    const double vertexError = far * 1.2e-16;
    const double side = c.scale * 50;
    const double squareUnitsPerPixel = 0.5 * 0.5;
    const double expected = c.areaPixels * c.scale * c.scale * squareUnitsPerPixel;
    const double tolerance = 8 * side * vertexError * c.corners.size() * squareUnitsPerPixel;
    EXPECT_NEAR(MarkerScene::Value(polygon, CAL_AREA), expected, tolerance + 1e-12 * expected);
}

INSTANTIATE_TEST_SUITE_P(
    Polygon, PolygonFarOut,
    testing::Values(FarPolygonCase{"square_near_the_origin", {{10, 10}, {30, 10}, {30, 30}, {10, 30}}, 400, {0, 0}, 1},
                    // Tenths of a pixel near a million pixels: the sum about the origin read 2.4e-3 off.
                    FarPolygonCase{"tenth_pixel_square_at_a_million",
                                   {{13, 11}, {37, 11}, {37, 33}, {13, 33}},
                                   528,
                                   {1e6 + 0.123, 1e6 + 0.456},
                                   0.1},
                    FarPolygonCase{"concave_far_up_left",
                                   {{10, 10}, {50, 10}, {50, 20}, {20, 20}, {20, 50}, {10, 50}},
                                   700,
                                   {-2e6 + 0.37, -3e6 + 0.71},
                                   0.03},
                    FarPolygonCase{"bow_tie_at_a_million",
                                   {{10, 10}, {30, 30}, {30, 10}, {10, 30}},
                                   0,
                                   {1e6 + 0.123, 1e6 + 0.456},
                                   0.1},
                    // Whole pixels beyond 2^53 / 1e8 lose the products' last digits about the origin.
                    FarPolygonCase{"whole_pixel_triangle_at_a_hundred_million",
                                   {{0, 0}, {1, 0}, {0, 1}},
                                   0.5,
                                   {1e8, 1e8},
                                   1}),
    [](const testing::TestParamInfo<FarPolygonCase>& info) { return std::string(info.param.what); });

TEST(Polygon, CircularMilsComeFromTheAreaInSquareMillimetres)
{
    struct Case
    {
        int unit;
        double unitsPerPixel;
        double mils;
    };
    // 400 square pixels; a circular mil is pi/4 x 0.0254^2 mm^2.
    const double perSquareMillimetre = 4.0 / (M_PI * 0.0254 * 0.0254);
    const Case cases[] = {
        {UNIT_MILLIMETER, 0.5, 400 * 0.25 * perSquareMillimetre},
        {UNIT_MICROMETER, 2.0, 400 * 4.0e-6 * perSquareMillimetre},
        {UNIT_INCH, 0.001, 400 * 0.0254 * 0.0254 * perSquareMillimetre},
    };
    for (const Case& c : cases) {
        MarkerScene s;
        s.calib.SetUnit(c.unit);
        s.calib.SetUnitsPerPixel(c.unitsPerPixel);
        CQvGObject* polygon = ClickPolygon(s, {{10, 10}, {30, 10}, {30, 30}, {10, 30}});
        EXPECT_NEAR(MarkerScene::Value(polygon, CAL_CIRCULAR_MIL), c.mils, c.mils * 1e-9) << c.unit;
    }
}

TEST(Polygon, FinishingEarlyGivesADefinedOutline)
{
    MarkerScene s;
    CQvGObject* single = s.Click(SHAPE_POLYGON, {CPoint(10, 10)});
    s.RightClick(CPoint(40, 40));
    EXPECT_EQ(Points(single), (std::vector<_RPOINT>{{10, 10}, {10, 10}}));
    EXPECT_EQ(MarkerScene::Value(single, CAL_AREA), 0.0);
    EXPECT_EQ(MarkerScene::Value(single, CAL_LENGTH), 0.0);

    // Cancelled before any click: nothing to drop, nothing to close.
    CQvGObject* empty = s.container.CreateObject(SHAPE_POLYGON);
    empty->Cancel();
    EXPECT_EQ(empty->GetPointCount(), 0);
    EXPECT_EQ(empty->GetLabelCount(), 0);
    empty->RemoveAll();
}

TEST(Polygon, AnnotationFormHasNoLabels)
{
    MarkerScene s;
    CQvGObject* polygon = ClickPolygon(s, {{10, 10}, {30, 10}, {30, 30}}, SHAPE_ANNO_POLYGON);
    EXPECT_EQ(polygon->GetObjShape(), SHAPE_ANNO_POLYGON);
    EXPECT_EQ(polygon->GetGOType(), GOTYPE_POLYGON);
    EXPECT_EQ(polygon->GetPointCount(), 4);
    EXPECT_EQ(polygon->GetLabelCount(), 0);
}

TEST(Polygon, DraggingTheFirstCornerKeepsTheOutlineClosed)
{
    MarkerScene s;
    CQvGObject* polygon = ClickPolygon(s, {{10, 10}, {30, 10}, {30, 30}, {10, 30}});
    s.Drag(CPoint(10, 10), CPoint(0, 10));
    EXPECT_EQ(Points(polygon), (std::vector<_RPOINT>{{0, 10}, {30, 10}, {30, 30}, {10, 30}, {0, 10}}));
    EXPECT_EQ(MarkerScene::Text(polygon, CAL_AREA), "125.00");  // a trapezoid of 500 square pixels

    // Whole: every corner and every label.
    s.container.UnSelectAll();
    const CRect label = polygon->GetLabelObject()->GetMBR();
    s.Drag(CPoint(20, 30), CPoint(25, 35));
    EXPECT_EQ(Points(polygon), (std::vector<_RPOINT>{{5, 15}, {35, 15}, {35, 35}, {15, 35}, {5, 15}}));
    CRect moved = label;
    moved.OffsetRect(5, 5);
    EXPECT_EQ(polygon->GetLabelObject()->GetMBR(), moved);
    EXPECT_EQ(MarkerScene::Text(polygon, CAL_AREA), "125.00");
}

TEST(Polygon, PickedOnItsOutlineInsideAndOnItsLabel)
{
    MarkerScene s;
    CQvGObject* polygon = ClickPolygon(s, {{20, 20}, {80, 20}, {80, 60}, {20, 60}});
    struct Case
    {
        CPoint at;
        bool hit;
    };
    const Case cases[] = {{{50, 21}, true}, {{20, 40}, true}, {{50, 40}, true}, {{50, 64}, false}, {{150, 120}, false}};
    for (const Case& c : cases)
        EXPECT_EQ(polygon->IsSelected(c.at) != 0, c.hit) << c.at.x << "," << c.at.y;
    EXPECT_EQ(s.Pick(CPoint(150, 120)), nullptr);

    // The value label is centred on the box, inside the outline: move it out to pick it alone.
    polygon->GetLabelObject()->MoveTo(CSize(100, 60));
    const CRect label = polygon->GetLabelObject()->GetMBR();
    EXPECT_EQ(s.Pick(CPoint((label.left + label.right) / 2, (label.top + label.bottom) / 2)), polygon);
    EXPECT_EQ(polygon->GetLabelHit(), 1);
}

TEST(Polygon, FilledOnceFinishedAndOpenWhileDrawn)
{
    MarkerScene s;
    s.container.SetDisplayData(0);
    CQvGObject* polygon = s.Click(SHAPE_POLYGON, {{20, 20}, {80, 20}, {80, 60}});
    polygon->GetProperty().SetLineColor(0x000000);
    polygon->GetProperty().SetFillPattern(BS_SOLID);
    polygon->GetProperty().SetFillColor(0x00FF00);  // green

    QImage drawn = s.Paint();
    EXPECT_EQ(PixelAt(drawn, 50, 20), 0x000000u);
    EXPECT_EQ(PixelAt(drawn, 80, 40), 0x000000u);
    EXPECT_EQ(PixelAt(drawn, 70, 30), 0xFFFFFFu);  // open chain: not filled yet

    s.RightClick(CPoint(80, 60));
    QImage finished = s.Paint();
    EXPECT_EQ(PixelAt(finished, 70, 30), 0x00FF00u);
    EXPECT_EQ(PixelAt(finished, 50, 40), 0x000000u);  // the closing side
    EXPECT_EQ(PixelAt(finished, 30, 50), 0xFFFFFFu);  // outside the triangle
}

TEST(Polygon, RecordReadsBackAndWritesTheSameBytes)
{
    MarkerScene s;
    CQvGObject* polygon = ClickPolygon(s, {{10, 10}, {50, 10}, {50, 20}, {20, 20}, {20, 50}, {10, 50}});
    const std::vector<_RPOINT> points = Points(polygon);
    ClickPolygon(s, {{100, 10}, {130, 10}, {130, 40}}, SHAPE_ANNO_POLYGON);
    ExpectStreamRoundTrip(s, s.Stream());
    ASSERT_EQ(s.container.GetMainObjList().size(), 2u);
    CQvGObject* reloaded = s.container.GetMainObjList().front();
    ASSERT_NE(dynamic_cast<CQvGObjectPolygon*>(reloaded), nullptr);
    EXPECT_EQ(Points(reloaded), points);
    EXPECT_EQ(MarkerScene::Text(reloaded, CAL_AREA), "175.00");
    EXPECT_EQ(reloaded->GetLabelCount(), 6);
    EXPECT_EQ(s.container.GetMainObjList().back()->GetObjShape(), SHAPE_ANNO_POLYGON);
}
