#include "gobjects/shapes/CQvGObject2LineAngle.h"
#include "gobjects/shapes/CQvGObject3PointAngle.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "RoundTestScene.h"

#include "testing/RenderCheck.h"
#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

namespace {

using testing_support::BlankSurface;
using testing_support::CountColour;
using testing_support::CountDifferences;

struct Deleter
{
    void operator()(CQvGObject* obj) const { obj->RemoveAll(); }
};
using ObjPtr = std::unique_ptr<CQvGObject, Deleter>;

double Degrees(double dx, double dy)
{
    return std::atan2(dy, dx) * 180.0 / std::numbers::pi;
}

// Paints (or erases) a black pixel wherever the pen goes.
void Paint(CQvGObject& obj, QImage& surface, int rop = R2_COPYPEN)
{
    CDC dc(surface);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    dc.SelectObject(&pen);
    dc.SelectStockObject(HOLLOW_BRUSH);
    dc.SetROP2(rop);
    const CPoint origin(0, 0);
    const float ratio = 1.0f;
    obj.DrawShape(&dc, &origin, &ratio, rop == R2_COPYPEN ? 0 : 1);
}

bool InkNear(const QImage& surface, int x, int y)
{
    return CountColour(surface, 0x000000, QRect(x - 1, y - 1, 3, 3)) > 0;
}

}  // namespace

TEST(PickedAngles, ClickedPointsGiveTheAngleBetweenTheRays)
{
    struct Case
    {
        OBJ_SHAPE shape;
        std::vector<CPoint> clicks;
        double inner;  // degrees
        double outer;
        const char* text;
    };
    const double obtuse = std::acos(-900.0 / std::sqrt(1300.0 * 3700.0)) * 180.0 / std::numbers::pi;
    const Case cases[] = {
        // Line B crosses line A's extension at (110, 100); the rays run to (20, 100) and (190, 20).
        {SHAPE_2LINE_ANGLE, {{20, 100}, {100, 100}, {150, 60}, {190, 20}}, 135.0, 225.0, "135.00"},
        {SHAPE_2LINE_ANGLE, {{20, 100}, {100, 100}, {150, 40}, {150, 130}}, 90.0, 270.0, "90.00"},
        {SHAPE_2LINE_ANGLE, {{20, 100}, {120, 100}, {20, 120}, {120, 120}}, 0.0, 0.0, "0.00"},  // parallel: 0 both ways
        {SHAPE_2LINE_ANGLE, {{0, 100}, {173, 0}, {10, 100}, {200, 100}}, Degrees(173, 100), 360.0 - Degrees(173, 100), "30.03"},
        {SHAPE_3POINT_ANGLE, {{150, 100}, {100, 100}, {100, 50}}, 90.0, 270.0, "90.00"},
        {SHAPE_3POINT_ANGLE, {{150, 100}, {100, 100}, {150, 50}}, 45.0, 315.0, "45.00"},
        {SHAPE_3POINT_ANGLE, {{120, 130}, {100, 100}, {40, 110}}, obtuse, 360.0 - obtuse, "114.23"},
        {SHAPE_3POINT_ANGLE, {{150, 100}, {100, 100}, {50, 100}}, 180.0, 180.0, "180.00"},  // a straight angle
        {SHAPE_3POINT_ANGLE, {{150, 100}, {100, 100}, {200, 100}}, 0.0, 0.0, "0.00"},  // both arms one way: 0 both ways
        {SHAPE_3POINT_ANGLE, {{150, 100}, {100, 100}, {100, 100}}, 0.0, 0.0, "0.00"},  // an arm of length 0
    };
    for (const Case& c : cases) {
        RoundTestScene scene;
        ASSERT_EQ(scene.container.AddObject(c.shape), 1);
        auto* angle = static_cast<CQvGObjectPickedAngle*>(scene.container.GetCreatingObject());
        angle->SetDispType(CAL_ANGLE);
        for (CPoint p : c.clicks) {
            EXPECT_EQ(angle->GetState(), scene.container.GetObjState());
            scene.Click({p});
        }
        SCOPED_TRACE(testing::Message() << "shape " << c.shape << " through " << c.clicks[2].x << "," << c.clicks[2].y);
        EXPECT_EQ(angle->GetState(), GS_FINISHED);
        ASSERT_EQ(angle->GetPointCount(), static_cast<int>(c.clicks.size()));
        for (size_t i = 0; i < c.clicks.size(); ++i)
            EXPECT_EQ(angle->GetPoint()[i], (_RPOINT{double(c.clicks[i].x), double(c.clicks[i].y)})) << i;
        EXPECT_EQ(angle->GetLabelCount(), angle->GetPointCount());
        EXPECT_EQ(angle->GetInnerFlag(), 1);
        EXPECT_NEAR(RoundTestScene::Value(angle, CAL_ANGLE), c.inner, 1e-9);
        EXPECT_EQ(angle->GetDefaultDataString(), c.text);
        angle->SetInnerFlag(0);
        EXPECT_NEAR(RoundTestScene::Value(angle, CAL_ANGLE), c.outer, 1e-9);

        tagCAL_DATA length;
        length.kind = CAL_LENGTH;
        EXPECT_EQ(angle->GetCalData(length, 0), 0);
    }
}

TEST(PickedAngles, RightClickFinishesOnlyWithEveryPointAndKeepsThePointUnderTheMouse)
{
    struct Case
    {
        OBJ_SHAPE shape;
        std::vector<CPoint> clicks;
        CPoint last;
    };
    const Case cases[] = {
        {SHAPE_2LINE_ANGLE, {{20, 100}, {100, 100}, {150, 60}}, {190, 20}},
        {SHAPE_3POINT_ANGLE, {{150, 100}, {100, 100}}, {150, 50}},
    };
    for (const Case& c : cases) {
        RoundTestScene scene;
        // One point short (the last placed one still follows the mouse): a right click does nothing.
        CQvGObject* early = scene.Draw(c.shape, {});
        for (size_t i = 0; i + 1 < c.clicks.size(); ++i)
            scene.Click({c.clicks[i]});
        scene.RightClick(CPoint(70, 70));
        EXPECT_EQ(early->GetState(), GS_ADDING) << c.shape;
        scene.container.CancelObject();

        CQvGObject* clicked = scene.Draw(c.shape, {});
        for (CPoint p : c.clicks)
            scene.Click({p});
        scene.Click({c.last});
        CQvGObject* rightClicked = scene.Draw(c.shape, {});
        for (CPoint p : c.clicks)
            scene.Click({p});
        scene.RightClick(c.last);

        EXPECT_EQ(rightClicked->GetState(), GS_FINISHED) << c.shape;
        EXPECT_EQ(RoundTestScene::Points(rightClicked), RoundTestScene::Points(clicked)) << c.shape;
        EXPECT_EQ(rightClicked->GetLabelCount(), clicked->GetLabelCount()) << c.shape;
        EXPECT_EQ(RoundTestScene::Value(rightClicked, CAL_ANGLE), RoundTestScene::Value(clicked, CAL_ANGLE));
    }
}

TEST(PickedAngles, NewAnglesTakeTheInnerFlagOfTheDefaultsAndGiveItBack)
{
    const int32_t saved = g_GOPropertyTotal.GetAngleInnerFlag();
    RoundTestScene scene;
    for (OBJ_SHAPE shape : {SHAPE_2LINE_ANGLE, SHAPE_3POINT_ANGLE}) {
        g_GOPropertyTotal.SetAngleInnerFlag(0);
        ASSERT_EQ(scene.container.AddObject(shape), 1);
        auto* angle = static_cast<CQvGObjectPickedAngle*>(scene.container.GetCreatingObject());
        EXPECT_EQ(angle->GetInnerFlag(), 0) << shape;
        angle->SetInnerFlag(1);
        scene.container.SetDefaultProperty(angle, shape);
        EXPECT_EQ(g_GOPropertyTotal.GetAngleInnerFlag(), 1) << shape;
        scene.container.CancelObject();
    }
    g_GOPropertyTotal.SetAngleInnerFlag(saved);
}

TEST(PickedAngles, RecordCarriesTheInnerFlagAfterTheBaseRecordInEveryVersion)
{
    RoundTestScene scene;
    CQvGObject* twoLines = scene.Draw(SHAPE_2LINE_ANGLE, {{20, 100}, {100, 100}, {150, 60}, {190, 20}});
    CQvGObject* threePoints = scene.Draw(SHAPE_3POINT_ANGLE, {{150, 100}, {100, 100}, {100, 50}});
    for (CQvGObject* obj : {twoLines, threePoints}) {
        auto* angle = static_cast<CQvGObjectPickedAngle*>(obj);
        angle->SetInnerFlag(0);
        PrepareForWriting(scene.container, obj);
        for (float version : {1.3f, 1.5f}) {
            std::vector<uint8_t> bytes;
            ObjPtr copy(RoundTrip(scene.container, obj, version, &bytes));
            ASSERT_TRUE(copy);
            ASSERT_GE(bytes.size(), 8u);
            EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 4, bytes.end()), std::vector<uint8_t>(4, 0));
            EXPECT_EQ(static_cast<CQvGObjectPickedAngle&>(*copy).GetInnerFlag(), 0);
            EXPECT_EQ(RoundTestScene::Points(copy.get()), RoundTestScene::Points(obj));
            EXPECT_EQ(RoundTestScene::Value(copy.get(), CAL_ANGLE), RoundTestScene::Value(obj, CAL_ANGLE));

            // A record cut before its flag is refused.
            TempStream cut(std::vector<uint8_t>(bytes.begin() + 4, bytes.end() - 2));
            ObjPtr refused(scene.container.CreateObject(obj->GetObjShape()));
            EXPECT_EQ(refused->Read(cut.file(), version), 0);
        }
    }
}

TEST(PickedAngles, BothLinesAndTheLabelAreHitAndNothingElse)
{
    RoundTestScene scene;
    // Line A (20, 100)-(100, 100), line B (150, 60)-(190, 20); the label sits at the centre of their box.
    CQvGObject* angle = scene.Draw(SHAPE_2LINE_ANGLE, {{20, 100}, {100, 100}, {150, 60}, {190, 20}});
    CQvGObject* vertex = scene.Draw(SHAPE_3POINT_ANGLE, {{250, 150}, {200, 150}, {200, 190}});
    struct Case
    {
        CQvGObject* obj;
        CPoint p;
        int hit;
        int labelHit;
    };
    const Case cases[] = {
        {angle, {60, 102}, 1, 0},   {angle, {60, 106}, 0, 0},    {angle, {170, 40}, 1, 0},
        {angle, {191, 19}, 1, 0},   // B lengthened by the tolerance
        {angle, {105, 60}, 1, 1},   {angle, {40, 40}, 0, 0},     {angle, {110, 100}, 0, 0},  // the crossing
        {vertex, {240, 150}, 1, 0}, {vertex, {200, 180}, 1, 0},  {vertex, {240, 180}, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.obj->IsSelected(c.p), c.hit) << c.p.x << "," << c.p.y;
        EXPECT_EQ(c.obj->GetLabelHit(), c.labelHit) << c.p.x << "," << c.p.y;
    }
}

TEST(PickedAngles, ArcMarksTheMeasuredSide)
{
    RoundTestScene scene;
    CQvGObject* obj = scene.Draw(SHAPE_3POINT_ANGLE, {{90, 50}, {50, 50}, {50, 10}});
    auto* angle = static_cast<CQvGObjectPickedAngle*>(obj);
    // Arc of radius 20 about the vertex (50, 50): up and right for the inner angle, round the other side else.
    for (int inner : {1, 0}) {
        angle->SetInnerFlag(inner);
        QImage surface = BlankSurface(100, 100);
        Paint(*angle, surface);
        EXPECT_TRUE(InkNear(surface, 70, 50));  // on arm 0
        EXPECT_TRUE(InkNear(surface, 50, 30));  // on arm 2
        EXPECT_EQ(InkNear(surface, 64, 36), inner == 1) << inner;
        EXPECT_EQ(InkNear(surface, 36, 64), inner == 0) << inner;
        EXPECT_EQ(InkNear(surface, 36, 36), inner == 0) << inner;
    }

    // Two lines whose crossing lies outside both: the arc is drawn at the crossing.
    CQvGObject* twoLines = scene.Draw(SHAPE_2LINE_ANGLE, {{10, 90}, {40, 90}, {60, 70}, {90, 40}});
    QImage surface = BlankSurface(100, 100);
    Paint(*twoLines, surface);
    EXPECT_GT(CountColour(surface, 0x000000, QRect(41, 75, 20, 14)), 0);  // around the crossing at (50, 80)
}

TEST(PickedAngles, RubberBandsLeaveNoTrace)
{
    for (OBJ_SHAPE shape : {SHAPE_2LINE_ANGLE, SHAPE_3POINT_ANGLE}) {
        RoundTestScene scene;
        const QImage blank = scene.canvas.surface;
        CQvGObject* angle = scene.Draw(shape, {{40, 40}, {120, 60}, {60, 120}});
        if (angle->GetState() == GS_FINISHED) {
            // A handle of the finished shape dragged about and back: every band drawn, arc included, is erased
            // again, whatever the surface showed.
            const QImage before = scene.canvas.surface;
            scene.container.SelectionMode(1);
            scene.container.LButtonDown(RoundTestScene::kLeftButton, CPoint(120, 60));
            auto dc = scene.canvas.GetSurfaceDC();
            for (CPoint p : {CPoint(130, 70), CPoint(135, 50)})
                scene.container.MouseMove(dc.get(), RoundTestScene::kLeftButton, p);
            EXPECT_GT(CountDifferences(scene.canvas.surface, before), 0) << shape;
            scene.container.MouseMove(dc.get(), RoundTestScene::kLeftButton, CPoint(120, 60));
            EXPECT_EQ(CountDifferences(scene.canvas.surface, before), 0) << shape;
        } else {
            scene.Move(CPoint(150, 130));
            scene.Move(CPoint(10, 140));
            EXPECT_GT(CountDifferences(scene.canvas.surface, blank), 0) << shape;
            Paint(*angle, scene.canvas.surface, R2_NOT);
            EXPECT_EQ(CountDifferences(scene.canvas.surface, blank), 0) << shape;
        }
    }
}
