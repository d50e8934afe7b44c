#include "AutoEdgeScene.h"

#include "gobjects/geometry/EdgeCircleFit.h"
#include "gobjects/geometry/EdgeProfile.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/shapes/CQvGObjectAutoArc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

double Value(CQvGObject* obj, int32_t kind)
{
    return MarkerScene::Value(obj, kind);
}

// How far the line a b turns from the direction `degrees`, either way round.
double TurnFrom(const _RPOINT& a, const _RPOINT& b, double degrees)
{
    return std::abs(std::remainder(GetLineAngle360(a.x, a.y, b.x, b.y) - degrees, 180.0));
}

}  // namespace

// A roughly drawn line within 8 pixels of a straight edge snaps onto it, on grey and colour images, and keeps the
// drawn direction (start on the side of the first click).
TEST(AutoLine, SnapsToStraightEdgesOnEveryImageKind)
{
    const struct
    {
        double degrees;
        CPoint from, to;
    } cases[] = {
        {90.0, {96, 20}, {105, 130}},   // vertical edge through x = 100.3, drawn downwards
        {0.0, {20, 81}, {180, 70}},     // horizontal through y = 75.3
        {30.0, {45, 103}, {150, 47}},   // 30 degrees through (100.3, 75.3)
    };
    for (int type : {QV_GRAY8, QV_RGB24, QV_RGBA32})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(type) + " at " + std::to_string(c.degrees));
            AutoEdgeScene scene(EdgeImage(type, 200, 150, 40, 200, HalfPlane(100.3, 75.3, c.degrees)));
            CQvGObject* line = scene.Draw(SHAPE_AUTO_LINE, {c.from, c.to});
            ASSERT_NE(line, nullptr);
            ASSERT_EQ(line->GetState(), GS_FINISHED);
            const _RPOINT* p = line->GetPoint();
            EXPECT_LT(DistanceFromLine(p[0], 100.3, 75.3, c.degrees), 1.0);
            EXPECT_LT(DistanceFromLine(p[1], 100.3, 75.3, c.degrees), 1.0);
            EXPECT_LT(TurnFrom(p[0], p[1], c.degrees), 0.5);
            EXPECT_LT(std::hypot(p[0].x - c.from.x, p[0].y - c.from.y), std::hypot(p[1].x - c.from.x, p[1].y - c.from.y));
            EXPECT_EQ(line->GetLabelCount(), 1);
        }
}

// No edge, too short a line, or pure noise: the object is discarded on button up and, with repetition on, the
// next one waits for its first point.
TEST(AutoLine, FailedDetectionLeavesNoObjectAndLetsTheUserDrawAgain)
{
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 20.0);
    CQvImage noisy;
    noisy.Create(QV_GRAY8, 200, 150, 0);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            *noisy.GetPixel(x, y) = static_cast<BYTE>(std::clamp(128 + std::lround(noise(random)), 0L, 255L));
    const CQvImage flat = EdgeImage(QV_GRAY8, 200, 150, 90, 90, HalfPlane(0, 0, 0));
    const CQvImage edge = EdgeImage(QV_GRAY8, 200, 150, 40, 200, HalfPlane(100.3, 75.3, 90));
    const struct
    {
        const char* what;
        const CQvImage& image;
        CPoint from, to;
    } cases[] = {
        {"flat", flat, {96, 20}, {105, 130}},
        {"noise", noisy, {96, 20}, {105, 130}},
        {"shorter than 5", edge, {99, 70}, {101, 73}},
    };
    for (const auto& c : cases) {
        for (OBJ_SHAPE shape : {SHAPE_AUTO_LINE, SHAPE_AUTO_CIRCLE}) {
            SCOPED_TRACE(std::string(c.what) + " " + std::to_string(shape));
            AutoEdgeScene scene(c.image);
            scene.container.SetAutoRepeatCreatingObject(1);
            scene.Click(shape, {c.from, c.to});
            // Only the next object, waiting for its first point, is left.
            ASSERT_EQ(scene.Count(), 1u);
            ASSERT_NE(scene.container.GetCreatingObject(), nullptr);
            EXPECT_EQ(scene.container.GetCreatingObject(), scene.container.GetMainObjList().back());
            EXPECT_EQ(scene.container.GetCreatingObject()->GetState(), GS_FIRST_POINT);
        }
    }
}

// Two parallel edges inside the band: the one met first from the right-hand side of the drawn direction wins.
TEST(AutoLine, TheEdgeOnTheRightHandSideWins)
{
    // Bright stripe from x = 97 to x = 104: edges at 97 and 104.
    const CQvImage stripe = EdgeImage(QV_GRAY8, 200, 150, 30, 220, [](double x, double) { return x > 97 && x < 104; });
    AutoEdgeScene down(stripe);
    CQvGObject* a = down.Draw(SHAPE_AUTO_LINE, {{100, 20}, {101, 130}});  // downwards: right-hand side is x < 100
    ASSERT_NE(a, nullptr);
    EXPECT_NEAR(a->GetPoint()[0].x, 97.0, 1.0);
    AutoEdgeScene up(stripe);
    CQvGObject* b = up.Draw(SHAPE_AUTO_LINE, {{101, 130}, {100, 20}});
    ASSERT_NE(b, nullptr);
    EXPECT_NEAR(b->GetPoint()[0].x, 104.0, 1.0);
}

// A rough circle within 20 pixels of a disc's rim snaps to it, on every image kind; one drawn no larger than 30
// is scanned to its centre.
TEST(AutoCircle, SnapsToADisc)
{
    for (int type : {QV_GRAY8, QV_RGB24, QV_RGBA32}) {
        SCOPED_TRACE(type);
        AutoEdgeScene scene(EdgeImage(type, 200, 150, 220, 30, Disc(100.2, 74.6, 50)));
        CQvGObject* circle = scene.Draw(SHAPE_AUTO_CIRCLE, {{42, 70}, {158, 82}});
        ASSERT_NE(circle, nullptr);
        ASSERT_EQ(circle->GetState(), GS_FINISHED);
        const _RPOINT* p = circle->GetPoint();
        EXPECT_NEAR((p[0].x + p[1].x) / 2, 100.2, 0.5);
        EXPECT_NEAR((p[0].y + p[1].y) / 2, 74.6, 0.5);
        EXPECT_NEAR(Value(circle, CAL_MAX_RADIUS), 0.5 * 50, 0.5 * 0.5);  // 0.5 units per pixel
        EXPECT_EQ(p[0].x, p[1].x);  // the vertical diameter
    }
    AutoEdgeScene small(EdgeImage(QV_GRAY8, 200, 150, 220, 30, Disc(100, 75, 12)));
    CQvGObject* circle = small.Draw(SHAPE_AUTO_CIRCLE, {{78, 75}, {122, 75}});  // radius 22: down to radius 1
    ASSERT_NE(circle, nullptr);
    EXPECT_NEAR(Value(circle, CAL_DIAMETER), 0.5 * 24, 0.5);
}

// Edge points on a straight line give singular normal equations: the tool fails, nothing is thrown.
TEST(AutoCircle, CollinearEdgePointsFailWithoutAnException)
{
    AutoEdgeScene scene(EdgeImage(QV_GRAY8, 200, 150, 40, 200, HalfPlane(100.3, 75.3, 90)));
    EXPECT_EQ(scene.Draw(SHAPE_AUTO_CIRCLE, {{60, 75}, {105, 75}}), nullptr);
    EXPECT_EQ(scene.Count(), 0u);
    _RPOINT centre{};
    double radius = 0.0;
    const std::vector<_RPOINT> line = {{10, 40}, {20, 40}, {30, 40}, {40, 40}, {50, 40}};
    EXPECT_FALSE(FitEdgeCircle(line, 1e6, centre, radius));
    const std::vector<_RPOINT> vertical = {{5, 10}, {5, 20}, {5, 30}, {5, 40}};
    EXPECT_FALSE(FitEdgeCircle(vertical, 1e6, centre, radius));
    EXPECT_FALSE(FitEdgeCircle({{1, 1}, {2, 2}, {3, 3}}, 1e6, centre, radius));
    EXPECT_FALSE(FitEdgeCircle({{1, 1}, {1, 1}, {1, 1}, {1, 1}}, 1e6, centre, radius));
    EXPECT_TRUE(FitEdgeCircle({{0, 10}, {10, 0}, {20, 10}, {10, 20}}, 1e6, centre, radius));
    EXPECT_NEAR(radius, 10.0, 1e-9);
}

// The arc meant is the one that holds the third click: a 240-degree arc whose third point lies near either end,
// and a 90-degree arc, measure what was drawn; the drawing covers the third point.
TEST(AutoArc, MeasuresTheArcThatHoldsTheThirdClick)
{
    const _RPOINT c{100.2, 74.6};
    const double r = 50.0;
    auto at = [&](double degrees) {
        _RPOINT p{c.x + (r + 3) * std::cos(degrees * M_PI / 180), c.y - (r + 3) * std::sin(degrees * M_PI / 180)};
        return CPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
    };
    const struct
    {
        double end0, end1, third, extent;
    } cases[] = {
        {10, 250, 220, 240},  // third point near the far end
        {10, 250, 40, 240},
        {250, 10, 130, 240},
        {20, 110, 60, 90},
        {110, 20, 300, 270},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.end0) + " " + std::to_string(k.end1) + " " + std::to_string(k.third));
        AutoEdgeScene scene(EdgeImage(QV_GRAY8, 200, 150, 220, 30, Disc(c.x, c.y, r)));
        CQvGObject* arc = scene.Draw(SHAPE_AUTO_ARC, {at(k.end0), at(k.end1), at(k.third)});
        ASSERT_NE(arc, nullptr);
        ASSERT_EQ(arc->GetState(), GS_FINISHED);
        // The ends sit where the scan found edges, a little inside the drawn ends.
        EXPECT_NEAR(Value(arc, CAL_ANGLE), k.extent, 8.0);
        EXPECT_NEAR(Value(arc, CAL_MAX_RADIUS), 0.5 * r, 0.5 * 0.5);
        // The third point's direction is on the measured arc.
        double start = 0, extent = 0;
        const _RPOINT* p = arc->GetPoint();
        CQvGObjectAutoArc::ArcHolding(c, p[0], p[1], p[2], start, extent);
        const double third = std::fmod(k.third - start + 720.0, 360.0);
        EXPECT_LT(third, extent);
    }
}

TEST(AutoArc, CollinearClicksFail)
{
    AutoEdgeScene scene(EdgeImage(QV_GRAY8, 200, 150, 220, 30, Disc(100, 75, 50)));
    EXPECT_EQ(scene.Draw(SHAPE_AUTO_ARC, {{40, 20}, {160, 20}, {100, 20}}), nullptr);
    EXPECT_EQ(scene.Count(), 0u);
}

// A wedge of two edges meeting at 30 degrees: four clicks draw and snap both lines; the value is the wedge's
// angle and the label sits at the centre of the four points' box.
TEST(AutoAngle, MeasuresAWedge)
{
    // Bright where above the horizontal edge y = 100.4 and below the 30-degree edge through (30.2, 100.4).
    auto wedge = [](double x, double y) {
        return y < 100.4 && (x - 30.2) * std::sin(M_PI / 6) - (100.4 - y) * std::cos(M_PI / 6) > 0;
    };
    for (int type : {QV_GRAY8, QV_RGB24}) {
        AutoEdgeScene scene(EdgeImage(type, 200, 150, 30, 210, wedge));
        CQvGObject* angle = scene.Draw(SHAPE_AUTO_ANGLE, {{70, 97}, {180, 104}, {170, 23}, {80, 72}});
        ASSERT_NE(angle, nullptr);
        ASSERT_EQ(angle->GetState(), GS_FINISHED);
        ASSERT_EQ(angle->GetPointCount(), 4);
        EXPECT_NEAR(Value(angle, CAL_ANGLE), 30.0, 0.3);
        const CRect box = angle->GetMBR();
        const CRect label = angle->GetLabelObject()->GetMBR();
        EXPECT_NEAR(label.CenterPoint().x, (box.left + box.right) / 2, 3);
        EXPECT_NEAR(label.CenterPoint().y, (box.top + box.bottom) / 2, 3);
        // Line 1 from the first two clicks, line 2 from the last two.
        EXPECT_NEAR(angle->GetPoint()[0].y, 100.0, 1.0);
        EXPECT_GT(angle->GetPoint()[3].y, angle->GetPoint()[2].y);
    }
}

TEST(AutoAngle, AFirstLineWithoutEdgeEndsTheObjectASecondOneMayBeDrawnAgain)
{
    auto edge = [](double, double y) { return y < 100.4; };
    AutoEdgeScene first(EdgeImage(QV_GRAY8, 200, 150, 30, 210, edge));
    EXPECT_EQ(first.Draw(SHAPE_AUTO_ANGLE, {{70, 40}, {180, 45}}), nullptr);
    EXPECT_EQ(first.Count(), 0u);

    AutoEdgeScene second(EdgeImage(QV_GRAY8, 200, 150, 30, 210, edge));
    second.Click(SHAPE_AUTO_ANGLE, {{70, 97}, {180, 104}, {60, 30}, {150, 40}});
    ASSERT_EQ(second.Count(), 1u);
    CQvGObject* angle = second.container.GetMainObjList().back();
    EXPECT_EQ(angle->GetState(), GS_ADDING);
    EXPECT_EQ(angle->GetPointCount(), 3);
    // Drawn again along the same edge: parallel lines measure 0.
    for (CPoint p : {CPoint(60, 102), CPoint(150, 98)}) {
        second.container.MouseMove(second.dc.get(), 0, p);
        second.container.LButtonDown(MarkerScene::kLeftButton, p);
        second.container.LButtonUp(0, p);
    }
    ASSERT_EQ(angle->GetState(), GS_FINISHED);
    EXPECT_NEAR(Value(angle, CAL_ANGLE), 0.0, 0.5);
}

// The records are the base record: shape code, point count, the points as doubles; read back they give the
// same values.
TEST(AutoEdgeTools, RecordsRoundTripWithTheirValues)
{
    AutoEdgeScene scene(EdgeImage(QV_GRAY8, 200, 150, 220, 30, Disc(100.2, 74.6, 50)));
    CQvGObject* circle = scene.Draw(SHAPE_AUTO_CIRCLE, {{42, 70}, {158, 82}});
    ASSERT_NE(circle, nullptr);
    const std::vector<uint8_t> record = RecordOf(circle);
    Bytes head;
    head.Add32(SHAPE_AUTO_CIRCLE);
    head.Add32(2);
    head.PutDouble(8, circle->GetPoint()[0].x);
    head.PutDouble(16, circle->GetPoint()[0].y);
    head.PutDouble(24, circle->GetPoint()[1].x);
    head.PutDouble(32, circle->GetPoint()[1].y);
    ASSERT_GE(record.size(), head.data.size());
    EXPECT_EQ(std::vector<uint8_t>(record.begin(), record.begin() + 40), head.data);
    const double diameter = Value(circle, CAL_DIAMETER);
    const std::vector<uint8_t> stream = scene.Stream();
    ExpectStreamRoundTrip(scene, stream);
    ASSERT_EQ(scene.Count(), 1u);
    CQvGObject* read = scene.container.GetMainObjList().front();
    EXPECT_EQ(read->GetObjShape(), SHAPE_AUTO_CIRCLE);
    EXPECT_EQ(Value(read, CAL_DIAMETER), diameter);
}

// The scan band shown while a line is drawn is where the scan happens: 10 image pixels each side at any zoom.
TEST(AutoLine, BandOutlineIsDrawnInImagePixels)
{
    AutoEdgeScene scene(EdgeImage(QV_GRAY8, 200, 150, 40, 200, HalfPlane(100.3, 75.3, 90)));
    scene.container.AddObject(SHAPE_AUTO_LINE);
    CQvGObject* line = scene.container.GetCreatingObject();
    scene.container.LButtonDown(MarkerScene::kLeftButton, CPoint(20, 30));
    scene.container.MouseMove(scene.dc.get(), 0, CPoint(60, 30));
    QImage surface = testing_support::BlankSurface(400, 300);
    CDC dc(surface);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* old = dc.SelectObject(&pen);
    const CPoint origin(0, 0);
    const float ratio = 2.0f;
    line->DrawShape(&dc, &origin, &ratio, CQvGObject::kPaintRubberBand);
    dc.SelectObject(old);
    // At zoom 2 the band's bars reach 20 window pixels above and below the line at y = 60.
    EXPECT_NE(surface.pixel(40, 40), surface.pixel(40, 30));
    EXPECT_EQ(qRed(surface.pixel(40, 40)), 0);
    EXPECT_EQ(qRed(surface.pixel(40, 80)), 0);
    EXPECT_EQ(qRed(surface.pixel(80, 40)), 0);
    EXPECT_EQ(qRed(surface.pixel(80, 80)), 0);
    scene.container.CancelObject();
}

// The tools read the picture's own pixels: on a noisy colour picture whose channels differ, and on an indexed one,
// every tool finishes with exactly the points it finds on the picture's grey work image.
TEST(AutoEdgeTools, FindTheSamePointsOnAPictureAsOnItsWorkImage)
{
    std::mt19937 random(5);
    std::uniform_int_distribution<int> noise(-25, 25);
    auto noisy = [&](CQvImage picture) {
        const int bytes = picture.GetBitsPerPixel() / 8;
        for (int y = 0; y < picture.GetHeight(); ++y)
            for (int x = 0; x < picture.GetWidth(); ++x)
                for (int b = 0; b < std::min(bytes, 3); ++b) {
                    BYTE* p = picture.GetPixel(x, y) + b;
                    *p = static_cast<BYTE>(std::clamp(*p + noise(random) + 10 * b, 0, 255));
                }
        return picture;
    };
    const auto disc = Disc(100.2, 74.6, 50);
    const auto wedgeEdge = HalfPlane(100.3, 75.3, 30);
    std::vector<CQvImage> pictures{noisy(EdgeImage(QV_RGB24, 200, 150, 220, 30, disc)),
                                   noisy(EdgeImage(QV_RGBA32, 200, 150, 40, 200, wedgeEdge))};
    CQvImage indexed;
    indexed.Create(QV_INDEX8, 200, 150, 0);
    std::vector<RGBQUAD> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[static_cast<size_t>(i)] = {static_cast<BYTE>(i / 2), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    indexed.SetPalette(palette.data(), 256);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            *indexed.GetPixel(x, y) = static_cast<BYTE>(disc(x + 0.5, y + 0.5) ? 30 + noise(random) : 220 + noise(random));
    pictures.push_back(indexed);
    const struct
    {
        OBJ_SHAPE shape;
        std::vector<CPoint> clicks;
    } drawings[] = {
        {SHAPE_AUTO_CIRCLE, {{42, 70}, {158, 82}}},
        {SHAPE_AUTO_ARC, {{153, 70}, {64, 113}, {100, 22}}},
        {SHAPE_AUTO_LINE, {{60, 100}, {140, 52}}},
    };
    int compared = 0;
    for (const CQvImage& picture : pictures)
        for (const auto& drawing : drawings) {
            SCOPED_TRACE(std::to_string(picture.GetColorModel()) + " " + std::to_string(drawing.shape));
            CQvImage work;
            work.Create(QV_GRAY8, picture.GetWidth(), picture.GetHeight(), 0);
            ASSERT_EQ(ToGray8(&picture, &work), 1);
            AutoEdgeScene onPicture(picture);
            AutoEdgeScene onWork(work);
            CQvGObject* a = nullptr;
            CQvGObject* b = nullptr;
            if (drawing.clicks.size() == 2) {
                a = onPicture.Draw(drawing.shape, {drawing.clicks[0], drawing.clicks[1]});
                b = onWork.Draw(drawing.shape, {drawing.clicks[0], drawing.clicks[1]});
            } else {
                a = onPicture.Draw(drawing.shape, {drawing.clicks[0], drawing.clicks[1], drawing.clicks[2]});
                b = onWork.Draw(drawing.shape, {drawing.clicks[0], drawing.clicks[1], drawing.clicks[2]});
            }
            ASSERT_EQ(a == nullptr, b == nullptr);
            if (!a)
                continue;
            ASSERT_EQ(a->GetState(), b->GetState());
            ++compared;
            for (int i = 0; i < a->GetPointCount(); ++i) {
                EXPECT_EQ(a->GetPoint()[i].x, b->GetPoint()[i].x) << i;
                EXPECT_EQ(a->GetPoint()[i].y, b->GetPoint()[i].y) << i;
            }
        }
    EXPECT_EQ(compared, 5);  // circle and arc on both discs, the line on the edge
}
