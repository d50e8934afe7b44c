#include "gobjects/shapes/CQvGObjectCircle.h"
#include "gobjects/shapes/CQvGObjectCircleFromCenter.h"
#include "gobjects/shapes/CQvGObjectEllipse.h"
#include "gobjects/Edition.h"
#include "RoundTestScene.h"

#include "testing/RenderCheck.h"
#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <numbers>
#include <string>

namespace {

using std::numbers::pi;
using testing_support::BlankSurface;
using testing_support::CountColour;
using testing_support::PixelAt;

constexpr double kCmilPerMm2 = 1973.5252413880287;

struct Deleter
{
    void operator()(CQvGObject* obj) const { obj->RemoveAll(); }
};
using ObjPtr = std::unique_ptr<CQvGObject, Deleter>;

// A finished shape of the class with the given corners, outside any container.
template <class Shape>
std::unique_ptr<Shape, Deleter> MakeBox(CPoint a, CPoint b)
{
    std::unique_ptr<Shape, Deleter> shape(new Shape);
    shape->SetState(GS_ADDING);
    shape->AddPoint(a);
    shape->AddPoint(b);
    shape->Finish();
    return shape;
}

CRect Corners(const CQvGObject& obj)
{
    const _RPOINT* p = obj.GetPoint();
    return CRect(static_cast<int>(p[0].x), static_cast<int>(p[0].y), static_cast<int>(p[1].x),
                 static_cast<int>(p[1].y));
}

}  // namespace

TEST(RoundShapes, DrawnByClicksTheyMeasureTheirBox)
{
    // 0.5 micrometre per pixel, 0.0005 mm: the circular mils come from the true area in mm^2.
    struct Case
    {
        OBJ_SHAPE shape;
        std::vector<CPoint> moves;  // the mouse after the first click; the last place is clicked
        CRect corners;
        std::map<int32_t, double> values;
        int32_t shown;
        const char* text;
    };
    const Case cases[] = {
        {SHAPE_ELLIPSE,
         {{30, 25}, {50, 40}},
         {10, 20, 50, 40},  // 40 x 20 pixels: a = 10, b = 5 micrometres
         {{CAL_LENGTH, pi * (45.0 - std::sqrt(35.0 * 25.0))},
          {CAL_MAX_RADIUS, 10.0},
          {CAL_MIN_RADIUS, 5.0},
          {CAL_AREA, 50.0 * pi},
          {CAL_CIRCULAR_MIL, pi * 0.010 * 0.005 * kCmilPerMm2}},
         CAL_AREA,
         "157.08"},
        // Drawn up and to the left: the far corner crosses the clicked one.
        {SHAPE_ELLIPSE, {{0, 0}, {2, 4}}, {10, 20, 2, 4}, {{CAL_MAX_RADIUS, 4.0}, {CAL_MIN_RADIUS, 2.0}}, CAL_MAX_RADIUS,
         "4.00"},
        // A horizontal move leaves the circle alone, a vertical one grows it by its length, a mixed one by the
        // larger component.
        {SHAPE_CIRCLE,
         {{40, 20}, {40, 40}, {45, 41}},
         {10, 20, 35, 45},  // D = 25 pixels, 12.5 micrometres
         {{CAL_LENGTH, 12.5 * pi},
          {CAL_MAX_RADIUS, 6.25},
          {CAL_MIN_RADIUS, 6.25},
          {CAL_DIAMETER, 12.5},
          {CAL_AREA, pi * 6.25 * 6.25},
          {CAL_CIRCULAR_MIL, pi * 0.00625 * 0.00625 * kCmilPerMm2}},
         CAL_DIAMETER,
         "12.50"},
        // From the centre: grows by 10 to every side, then shrinks by 5.
        {SHAPE_CIRCLE_FROM_CENTER,
         {{20, 30}, {15, 25}},
         {5, 15, 15, 25},
         {{CAL_DIAMETER, 5.0}, {CAL_AREA, pi * 6.25}, {CAL_CIRCULAR_MIL, pi * 0.0025 * 0.0025 * kCmilPerMm2}},
         CAL_POSITION_CENTER,
         "(5.00,10.00)"},
    };
    for (const Case& c : cases) {
        RoundTestScene scene;
        ASSERT_EQ(scene.container.AddObject(c.shape), 1);
        CQvGObject* obj = scene.container.GetCreatingObject();
        obj->SetDispType(c.shown);
        const CPoint first(10, 20);
        scene.Click({first});
        for (CPoint p : c.moves)
            scene.Move(p);
        EXPECT_EQ(obj->GetState(), GS_ADDING);
        scene.container.LButtonDown(RoundTestScene::kLeftButton, c.moves.back());

        SCOPED_TRACE(testing::Message() << "shape " << c.shape << " to " << c.moves.back().x);
        EXPECT_EQ(obj->GetState(), GS_FINISHED);
        EXPECT_EQ(obj->GetPointCount(), 2);
        EXPECT_EQ(Corners(*obj), c.corners);
        for (const auto& [kind, value] : c.values)
            EXPECT_NEAR(RoundTestScene::Value(obj, kind), value, 1e-12 * (1 + value)) << "quantity " << kind;
        ASSERT_EQ(obj->GetLabelCount(), 1);
        EXPECT_EQ(obj->GetDefaultDataString(), c.text);
        EXPECT_EQ(obj->GetLabelObject()->GetProperty().GetComment(), c.text);
    }
}

TEST(RoundShapes, QuantitiesTheyDoNotMeasureAreNotYet)
{
    RoundTestScene scene;
    CQvGObject* ellipse = scene.Draw(SHAPE_ELLIPSE, {{0, 0}, {40, 20}});
    CQvGObject* circle = scene.Draw(SHAPE_CIRCLE, {{0, 0}, {40, 40}});
    ellipse->SetCalType();
    circle->SetCalType();
    EXPECT_EQ(ellipse->GetCalType(), 0x2D81);
    EXPECT_EQ(circle->GetCalType(), 0x2F81);
    // The ellipse has no single diameter; no shape of the family has a width or a direction.
    for (auto [obj, kind] : {std::pair{ellipse, CAL_DIAMETER}, std::pair{ellipse, CAL_WIDTH},
                             std::pair{circle, CAL_X_ANGLE}, std::pair{circle, CAL_POSITION_START}}) {
        tagCAL_DATA data;
        data.kind = kind;
        EXPECT_EQ(obj->GetDataString(data, 0), "Not yet") << kind;
    }
}

TEST(RoundShapes, HandlesAreFoundLastFirstAndShownFirstFirst)
{
    auto ellipse = MakeBox<CQvGObjectEllipse>({30, 40}, {10, 10});  // stored bottom-right first
    auto circle = MakeBox<CQvGObjectCircle>({10, 10}, {30, 30});
    struct Case
    {
        CQvGObjectEllipse* shape;
        std::vector<CPoint> handles;
        std::vector<UINT> cursors;
    };
    const Case cases[] = {
        {ellipse.get(),
         {{10, 10}, {20, 10}, {30, 10}, {30, 25}, {30, 40}, {20, 40}, {10, 40}, {10, 25}},
         {32642, 32645, 32643, 32644, 32642, 32645, 32643, 32644}},
        {circle.get(), {{10, 10}, {30, 10}, {30, 30}, {10, 30}}, {32642, 32643, 32642, 32643}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.shape->GetHandleCount(), static_cast<int>(c.handles.size()));
        for (int h = 0; h < c.shape->GetHandleCount(); ++h) {
            EXPECT_EQ(c.shape->GetHandlePoint(h), c.handles[h]);
            const CRect around(c.handles[h].x - 2, c.handles[h].y - 2, c.handles[h].x + 3, c.handles[h].y + 3);
            EXPECT_EQ(c.shape->GetHandle(around), h);
            EXPECT_EQ(c.shape->GetSelectedHandle(), h);
            EXPECT_EQ(c.shape->GetCursorShape(around), c.cursors[h]);
        }
        const CRect nothing(18, 18, 22, 22);
        EXPECT_EQ(c.shape->GetHandle(nothing), -1);
        EXPECT_EQ(c.shape->GetCursorShape(nothing), CQvGObject::kNoCursor);
    }
    // Handles 0 and 1 of the ellipse in one box: the handle is the later one, the cursor the earlier one's.
    const CRect both(5, 5, 25, 12);
    EXPECT_EQ(ellipse->GetHandle(both), 1);
    EXPECT_EQ(ellipse->GetCursorShape(both), 32642u);

    // While being created the far corner follows the mouse wherever it is.
    ellipse->SetState(GS_ADDING);
    circle->SetState(GS_ADDING);
    EXPECT_EQ(ellipse->GetHandle(CRect(0, 0, 1, 1)), 4);
    EXPECT_EQ(circle->GetHandle(CRect(0, 0, 1, 1)), 2);
}

TEST(RoundShapes, HandleDragsKeepEachShapesRule)
{
    enum Kind { Ellipse, Circle, FromCenter };
    struct Case
    {
        Kind kind;
        int handle;
        CSize delta;
        bool shift;
        CRect expected;
    };
    // Every shape starts as the box (10, 10)-(30, 30), stored bottom-right first; the ellipse as (10, 10)-(40, 30).
    const Case cases[] = {
        {Ellipse, 0, {2, 3}, false, {12, 13, 40, 30}},
        {Ellipse, 1, {2, 3}, false, {10, 13, 40, 30}},  // an edge moves only its own side
        {Ellipse, 3, {2, 3}, false, {10, 10, 42, 30}},
        {Ellipse, 6, {2, 3}, false, {12, 10, 40, 33}},
        {Ellipse, 7, {-4, 9}, false, {6, 10, 40, 30}},
        {Ellipse, 3, {5, 0}, true, {10, 10, 30, 30}},   // with Shift an edge only squares it
        {Ellipse, 4, {3, 5}, true, {10, 10, 35, 35}},   // squared, then grown by the larger step
        {Ellipse, 0, {5, -3}, true, {10, 10, 30, 30}},  // across the diagonal: squared only
        {Circle, 2, {7, 0}, false, {10, 10, 30, 30}},   // purely horizontal: nothing
        {Circle, 2, {0, 4}, false, {10, 10, 34, 34}},   // purely vertical: grows
        {Circle, 2, {-2, -6}, false, {10, 10, 24, 24}},
        {Circle, 0, {3, 5}, true, {15, 15, 30, 30}},    // Shift changes nothing for a circle
        {Circle, 1, {4, -2}, false, {10, 6, 34, 30}},   // top-right grows up and right
        {Circle, 3, {4, -2}, false, {14, 10, 30, 26}},  // bottom-left shrinks
        {Circle, 3, {4, 2}, false, {10, 10, 30, 30}},   // across its diagonal: nothing
        {FromCenter, 2, {3, 5}, false, {5, 5, 35, 35}},
        {FromCenter, 0, {3, 5}, false, {15, 15, 25, 25}},
        {FromCenter, 1, {-1, 2}, false, {12, 12, 28, 28}},
        {FromCenter, 1, {-1, -2}, false, {10, 10, 30, 30}},  // across its diagonal: nothing
        {FromCenter, 3, {0, 3}, false, {7, 7, 33, 33}},
        {FromCenter, 2, {4, 0}, false, {10, 10, 30, 30}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CQvGObjectEllipse, Deleter> shape;
        switch (c.kind) {
        case Ellipse: shape.reset(MakeBox<CQvGObjectEllipse>({40, 30}, {10, 10}).release()); break;
        case Circle: shape.reset(MakeBox<CQvGObjectCircle>({30, 30}, {10, 10}).release()); break;
        case FromCenter: shape.reset(MakeBox<CQvGObjectCircleFromCenter>({30, 30}, {10, 10}).release()); break;
        }
        shape->ResizeByHandle(c.handle, c.delta, c.shift);
        EXPECT_EQ(Corners(*shape), c.expected)
            << "kind " << c.kind << " handle " << c.handle << " by " << c.delta.cx << "," << c.delta.cy;
    }
}

TEST(RoundShapes, ContainerDragsAHandleOrTheWholeShapeWithItsLabel)
{
    RoundTestScene scene;
    CQvGObject* circle = scene.Draw(SHAPE_CIRCLE_FROM_CENTER, {{100, 100}, {120, 120}});
    ASSERT_EQ(Corners(*circle), CRect(80, 80, 120, 120));
    scene.container.SelectionMode(1);
    const auto drag = [&](CPoint from, CPoint to) {
        scene.container.LButtonDown(RoundTestScene::kLeftButton, from);
        auto dc = scene.canvas.GetSurfaceDC();
        scene.container.MouseMove(dc.get(), RoundTestScene::kLeftButton, to);
        scene.container.LButtonUp(0, to);
    };

    drag({120, 80}, {125, 75});  // the top-right grip: grows about the centre
    EXPECT_EQ(Corners(*circle), CRect(75, 75, 125, 125));

    const CRect labelBox = circle->GetLabelObject()->GetMBR();
    drag({75, 100}, {85, 100});  // on the ring's left side: the whole circle and its label
    EXPECT_EQ(Corners(*circle), CRect(85, 75, 135, 125));
    CRect movedLabel = labelBox;
    movedLabel.OffsetRect(10, 0);
    EXPECT_EQ(circle->GetLabelObject()->GetMBR(), movedLabel);
}

// Shift is read from the keyboard state while a corner is dragged, as the user holds it.
TEST(RoundShapes, ShiftHeldWhileDraggingACornerSquaresEllipseAndRectangle)
{
    QWindow window;
    window.show();
    struct Case
    {
        OBJ_SHAPE shape;
        bool shift;
    };
    for (const Case& c : {Case{SHAPE_ELLIPSE, false}, Case{SHAPE_ELLIPSE, true}, Case{SHAPE_RECT, false},
                          Case{SHAPE_RECT, true}}) {
        SCOPED_TRACE(std::to_string(c.shape) + (c.shift ? " with Shift" : ""));
        RoundTestScene scene;
        CQvGObject* obj = scene.Draw(c.shape, {{20, 20}, {120, 80}});
        scene.container.SelectionMode(1);
        if (c.shift)
            QTest::keyPress(&window, Qt::Key_Shift, Qt::ShiftModifier);
        ASSERT_EQ(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier), c.shift);
        scene.container.LButtonDown(RoundTestScene::kLeftButton, CPoint(120, 80));
        auto dc = scene.canvas.GetSurfaceDC();
        scene.container.MouseMove(dc.get(), RoundTestScene::kLeftButton, CPoint(125, 90));
        scene.container.LButtonUp(0, CPoint(125, 90));
        if (c.shift)
            QTest::keyRelease(&window, Qt::Key_Shift, Qt::NoModifier);
        const CRect box = Corners(*obj);
        EXPECT_EQ(box.Width() == box.Height(), c.shift) << box.Width() << " x " << box.Height();
    }
}

TEST(RoundShapes, OutlineGripsAndLabelAreHitTheInsideIsNot)
{
    RoundTestScene scene;
    CQvGObject* ellipse = scene.Draw(SHAPE_ELLIPSE, {{20, 20}, {120, 80}});  // centre (70, 50), label there
    CQvGObject* circle = scene.Draw(SHAPE_CIRCLE, {{150, 20}, {210, 80}});  // (150, 20)-(210, 80)
    struct Case
    {
        CQvGObject* obj;
        float ratio;
        CPoint p;
        int hit;
        int labelHit;
    };
    const Case cases[] = {
        {ellipse, 1.0f, {70, 30}, 0, 0},    // inside
        {ellipse, 1.0f, {70, 50}, 1, 1},    // the label
        {ellipse, 1.0f, {123, 23}, 1, 0},   // the corner grip at (120, 20)
        {ellipse, 1.0f, {123, 26}, 0, 0},   // outside, beside the corner
        {ellipse, 1.0f, {250, 150}, 0, 0},
        {circle, 1.0f, {180, 18}, 1, 0},    // the ring reaches 3 outside
        {circle, 1.0f, {180, 22}, 1, 0},    // and 3 inside
        {circle, 1.0f, {180, 26}, 0, 0},
        {circle, 2.5f, {180, 18}, 0, 0},    // zoomed in it is 1 pixel wide
        {circle, 2.5f, {180, 20}, 1, 0},
        {circle, 1.0f, {180, 82}, 1, 0},
        {circle, 1.0f, {153, 23}, 1, 0},    // the corner grip at (150, 20)
        {circle, 1.0f, {156, 26}, 0, 0},    // outside, between grip and circle
    };
    for (const Case& c : cases) {
        scene.container.SetRatio(c.ratio);
        EXPECT_EQ(c.obj->IsSelected(c.p), c.hit) << c.p.x << "," << c.p.y << " at " << c.ratio;
        EXPECT_EQ(c.obj->GetLabelHit(), c.labelHit) << c.p.x << "," << c.p.y;
    }

    // An ellipse smaller than its ring's width still has a ring to be picked by.
    auto tiny = MakeBox<CQvGObjectEllipse>({5, 5}, {7, 7});
    CRgn rgn;
    ASSERT_EQ(tiny->GetHitTestRgn(rgn), 1);
    EXPECT_TRUE(rgn.PtInRegion(6, 6));
    EXPECT_FALSE(rgn.PtInRegion(6, 16));
}

TEST(RoundShapes, PaintsTheOutlineWithItsRadiusLineAndGrips)
{
    auto measure = MakeBox<CQvGObjectEllipse>({10, 10}, {30, 20});
    auto annotation = MakeBox<CQvGObjectCircleFromCenter>({10, 10}, {30, 30});
    annotation->SetGOType(GOTYPE_CIRCLE_FROM_CENTER);
    const CPoint origin(5, 5);
    const float ratio = 2.0f;

    QImage surface = BlankSurface(80, 80);
    {
        CDC dc(surface);
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        dc.SelectObject(&pen);
        dc.SelectStockObject(HOLLOW_BRUSH);
        measure->DrawShape(&dc, &origin, &ratio, 0);  // window box (25, 25)-(65, 45)
    }
    // The outline touches the box's sides, the inside stays empty but for the radius line at y 35.
    for (QPoint black : {QPoint(25, 35), QPoint(65, 35), QPoint(45, 25), QPoint(45, 45), QPoint(50, 35),
                         QPoint(64, 35)})
        EXPECT_EQ(PixelAt(surface, black.x(), black.y()), 0x000000u) << black.x() << "," << black.y();
    for (QPoint white : {QPoint(44, 35), QPoint(45, 30), QPoint(25, 25), QPoint(66, 35), QPoint(45, 46)})
        EXPECT_EQ(PixelAt(surface, white.x(), white.y()), 0xFFFFFFu) << white.x() << "," << white.y();

    QImage plain = BlankSurface(80, 80);
    {
        CDC dc(plain);
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        dc.SelectObject(&pen);
        dc.SelectStockObject(HOLLOW_BRUSH);
        annotation->DrawShape(&dc, &origin, &ratio, 0);  // window box (25, 25)-(65, 65), no radius line
    }
    EXPECT_EQ(PixelAt(plain, 25, 45), 0x000000u);
    EXPECT_EQ(PixelAt(plain, 55, 45), 0xFFFFFFu);

    const OEM_PRODUCT edition = g_OEMProduct;
    SetOEMProduct(6);
    QImage grips = BlankSurface(80, 80);
    {
        CDC dc(grips);
        measure->DrawSelection(&dc, &origin, &ratio);
        annotation->DrawSelection(&dc, &origin, &ratio);
    }
    SetOEMProduct(edition);
    // Edge middles of the measured ellipse at (45, 25), (65, 35), (45, 45), (25, 35); the circle's corner grips
    // cover the ellipse's at (25, 25) and (65, 25) and invert them back.
    EXPECT_EQ(PixelAt(grips, 45, 25), 0x000000u);
    EXPECT_EQ(PixelAt(grips, 65, 35), 0x000000u);
    EXPECT_EQ(PixelAt(grips, 25, 65), 0x000000u);
    EXPECT_EQ(PixelAt(grips, 25, 25), 0xFFFFFFu);
    EXPECT_EQ(CountColour(grips, 0x000000), (8 + 4 - 4) * 64);
}

TEST(RoundShapes, RecordsComeBackByteForByteWithTheirValues)
{
    RoundTestScene scene;
    for (OBJ_SHAPE shape : {SHAPE_ELLIPSE, SHAPE_CIRCLE, SHAPE_CIRCLE_FROM_CENTER, SHAPE_ANNO_ELLIPSE,
                            SHAPE_ANNO_CIRCLE_FROM_CENTER}) {
        CQvGObject* obj = scene.Draw(shape, {{40, 30}, {70, 75}}, CAL_AREA);
        PrepareForWriting(scene.container, obj);
        for (float version : {1.3f, 1.5f}) {
            ObjPtr copy(RoundTrip(scene.container, obj, version));
            ASSERT_TRUE(copy);
            EXPECT_EQ(copy->GetObjShape(), shape);
            EXPECT_EQ(copy->GetGOType(), obj->GetGOType());
            EXPECT_EQ(Corners(*copy), Corners(*obj));
            EXPECT_EQ(copy->GetLabelCount(), obj->GetLabelCount());
            EXPECT_EQ(RoundTestScene::Value(copy.get(), CAL_AREA), RoundTestScene::Value(obj, CAL_AREA));
        }
    }
}
