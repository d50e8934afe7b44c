#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectPolyLine.h"
#include "gobjects/shapes/CQvGObjectRect.h"
#include "gobjects/CRealtimeResultObjBox.h"
#include "gobjects/Edition.h"

#include "calibkeeper/CCalibKeeper.h"
#include "testing/RenderCheck.h"
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using testing_support::BlankSurface;
using testing_support::PixelAt;

constexpr UINT kLeftButton = MK_LBUTTON;  // the mouse handlers' flag for a held left button

// Objects live on the heap and die through RemoveAll, as the container's do.
struct RectDeleter
{
    void operator()(CQvGObjectRect* r) const { r->RemoveAll(); }
};
using RectPtr = std::unique_ptr<CQvGObjectRect, RectDeleter>;

RectPtr MakeRect(CQvGObjectContainer* container, CPoint a, CPoint b, QVGO_TYPE kind = GOTYPE_MEASURE)
{
    RectPtr rect(new CQvGObjectRect);
    rect->SetContainer(container);
    rect->SetGOType(kind);
    rect->AddPoint(a);
    rect->AddPoint(b);
    rect->SetState(GS_FINISHED);
    return rect;
}

// The box a value label of `owner` gets when placed at p. Labels size themselves to their text, so where a label
// was placed shows only by comparing it with one placed on purpose.
CRect LabelBoxAt(const CQvGObjectRect& owner, CPoint p)
{
    RectPtr reference(new CQvGObjectRect);
    *reference = owner;
    return reference->AddLabelObject(p)->GetMBR();
}

CRect Corners(CQvGObjectRect& rect)
{
    const _RPOINT* p = rect.GetPoint();
    return CRect(static_cast<int>(p[0].x), static_cast<int>(p[0].y), static_cast<int>(p[1].x),
                 static_cast<int>(p[1].y));
}

double Value(CQvGObjectRect& rect, int kind)
{
    tagCAL_DATA data;
    data.kind = kind;
    EXPECT_EQ(rect.GetCalData(data, 0), 1) << "kind " << kind;
    return data.value1;
}

class EditionGuard
{
public:
    explicit EditionGuard(OEM_PRODUCT edition) : m_old(g_OEMProduct) { SetOEMProduct(edition); }
    ~EditionGuard() { SetOEMProduct(m_old); }

private:
    OEM_PRODUCT m_old;
};

}  // namespace

TEST(GObjectRect, ValuesDoNotDependOnTheDirectionItWasDrawnIn)
{
    CQvGObjectContainer container;
    CCalibKeeper calib;
    calib.SetUnit(UNIT_MICROMETER);
    calib.SetUnitsPerPixel(0.5);
    container.ConnectCalibKeeper(&calib);

    // 30 x 40 image pixels, i.e. 15 x 20 micrometres, from each corner to the opposite one.
    const CPoint corners[][2] = {
        {{10, 20}, {40, 60}}, {{40, 60}, {10, 20}}, {{40, 20}, {10, 60}}, {{10, 60}, {40, 20}}};
    for (const auto& c : corners) {
        RectPtr rect = MakeRect(&container, c[0], c[1]);
        EXPECT_DOUBLE_EQ(Value(*rect, CAL_WIDTH), 15.0);
        EXPECT_DOUBLE_EQ(Value(*rect, CAL_HEIGHT), 20.0);
        EXPECT_DOUBLE_EQ(Value(*rect, CAL_LENGTH), 70.0);  // the perimeter
        EXPECT_DOUBLE_EQ(Value(*rect, CAL_DIAGONAL), 25.0);
        EXPECT_DOUBLE_EQ(Value(*rect, CAL_AREA), 300.0);
        // 0.015 mm x 0.020 mm in circular mils.
        EXPECT_NEAR(Value(*rect, CAL_CIRCULAR_MIL), 0.0003 * 1973.5252413880287, 1e-12);
        EXPECT_EQ(rect->GetMBR(), CRect(10, 20, 40, 60));
    }
}

TEST(GObjectRect, QuantitiesOutsideItsMaskAreNotComputed)
{
    CQvGObjectContainer container;  // no calibration: one unit per pixel
    RectPtr rect = MakeRect(&container, {0, 0}, {3, 4});
    rect->SetCalType();
    EXPECT_EQ(rect->GetCalType(), 0xC0F);
    EXPECT_DOUBLE_EQ(Value(*rect, CAL_DIAGONAL), 5.0);
    EXPECT_DOUBLE_EQ(Value(*rect, CAL_CIRCULAR_MIL), 12.0 * 1973.5252413880287);  // pixels count as they are

    for (int kind : {int{CAL_X_ANGLE}, int{CAL_DIAMETER}, int{CAL_POSITION_CENTER}, 0}) {
        tagCAL_DATA data;
        data.kind = kind;
        data.value1 = 7.0;
        EXPECT_EQ(rect->GetCalData(data, 0), 0);
        EXPECT_EQ(data.value1, 7.0);
        EXPECT_EQ(rect->GetDataString(data, 0), "Not yet");
    }
}

TEST(GObjectRect, HandlesMoveTheirCornerOrEdgeOfTheOrderedRectangle)
{
    struct Case
    {
        int handle;
        CRect expected;
    };
    const Case cases[] = {
        {0, {12, 13, 30, 30}}, {1, {10, 13, 30, 30}}, {2, {10, 13, 32, 30}}, {3, {10, 10, 32, 30}},
        {4, {10, 10, 32, 33}}, {5, {10, 10, 30, 33}}, {6, {12, 10, 30, 33}}, {7, {12, 10, 30, 30}},
        {-1, {10, 10, 30, 30}},
    };
    for (const Case& c : cases) {
        // Stored bottom-right first: the handles name the corners of the ordered rectangle.
        RectPtr rect = MakeRect(nullptr, {30, 30}, {10, 10});
        rect->ResizeByHandle(c.handle, CSize(2, 3), false);
        EXPECT_EQ(Corners(*rect), c.expected) << "handle " << c.handle;
    }
}

TEST(GObjectRect, ShiftKeepsASquareAndMovesOnlyCornersAlongTheDiagonal)
{
    struct Case
    {
        int handle;
        CSize delta;
        CRect expected;
    };
    const Case cases[] = {
        {0, {5, -3}, {10, 10, 30, 30}},  // mixed signs: nothing
        {0, {5, 3}, {15, 15, 30, 30}},   // the larger step, both ways
        {0, {-2, -5}, {5, 5, 30, 30}},
        {0, {5, 0}, {10, 10, 30, 30}},   // dy 0: nothing
        {4, {3, 5}, {10, 10, 35, 35}},
        {4, {-5, -1}, {10, 10, 25, 25}},
        {2, {2, -5}, {10, 5, 35, 30}},   // grows
        {2, {-2, 5}, {10, 15, 25, 30}},  // shrinks
        {2, {2, 5}, {10, 10, 30, 30}},
        {6, {-5, 2}, {5, 10, 30, 35}},
        {6, {5, -2}, {15, 10, 30, 25}},
        {1, {0, 5}, {10, 10, 30, 30}},   // edges keep the square
        {3, {5, 0}, {10, 10, 30, 30}},
        {5, {0, 5}, {10, 10, 30, 30}},
        {7, {-5, 0}, {10, 10, 30, 30}},
    };
    for (const Case& c : cases) {
        RectPtr rect = MakeRect(nullptr, {10, 10}, {30, 30});
        rect->ResizeByHandle(c.handle, c.delta, true);
        EXPECT_EQ(Corners(*rect), c.expected) << "handle " << c.handle << " by " << c.delta.cx << "," << c.delta.cy;
    }

    // The first Shift drag makes a square of the smaller side at corner 1, even when nothing else moves.
    RectPtr wide = MakeRect(nullptr, {50, 40}, {10, 10});
    wide->ResizeByHandle(1, CSize(0, 4), true);
    EXPECT_EQ(Corners(*wide), CRect(10, 10, 40, 40));
}

TEST(GObjectRect, HandleAndCursorPickingFollowsTheHandleOrder)
{
    RectPtr rect = MakeRect(nullptr, {10, 10}, {31, 21});  // middles: x 21, y 16
    const CPoint expectedHandles[] = {{10, 10}, {21, 10}, {31, 10}, {31, 16}, {31, 21}, {21, 21}, {10, 21}, {10, 16}};
    const UINT expectedCursors[] = {32642, 32645, 32643, 32644, 32642, 32645, 32643, 32644};
    for (int h = 0; h < CQvGObjectRect::kHandleCount; ++h) {
        EXPECT_EQ(rect->GetHandlePoint(h), expectedHandles[h]);
        CRect around(expectedHandles[h], CSize(1, 1));
        around.InflateRect(2);
        EXPECT_EQ(rect->GetHandle(around), h);
        EXPECT_EQ(rect->GetSelectedHandle(), h);
        EXPECT_EQ(rect->GetCursorShape(around), expectedCursors[h]);
    }

    // A box over handles 0 and 1: the last one wins the handle, the first one the cursor.
    const CRect both(5, 5, 25, 12);
    EXPECT_EQ(rect->GetHandle(both), 1);
    EXPECT_EQ(rect->GetCursorShape(both), 32642u);

    const CRect inside(15, 13, 18, 15);
    EXPECT_EQ(rect->GetHandle(inside), -1);
    EXPECT_EQ(rect->GetCursorShape(inside), CQvGObject::kNoCursor);

    // While it is being created the far corner follows the mouse wherever it is.
    rect->SetState(GS_ADDING);
    EXPECT_EQ(rect->GetHandle(inside), 4);
}

TEST(GObjectRect, ContainerCreatesItInAnyDirectionAndLabelsItAtTheMiddle)
{
    CQvGObjectContainer container;
    container.SetAutoRepeatCreatingObject(0);
    QImage surface = BlankSurface(120, 120);
    CDC dc(surface);

    struct Case
    {
        CPoint from;
        CPoint to;
    };
    const Case cases[] = {{{10, 10}, {51, 41}}, {{51, 41}, {10, 10}}, {{51, 10}, {10, 41}}};
    for (const Case& c : cases) {
        ASSERT_EQ(container.AddObject(SHAPE_RECT), 1);
        CQvGObject* rect = container.GetCreatingObject();
        container.LButtonDown(kLeftButton, c.from);
        container.LButtonUp(0, c.from);
        // The far corner follows the mouse across the fixed one.
        const CPoint middle((c.from.x + c.to.x) / 2, (c.from.y + c.to.y) / 2);
        for (CPoint p : {middle, c.from, c.to})
            container.MouseMove(&dc, 0, p);
        container.LButtonDown(kLeftButton, c.to);

        EXPECT_EQ(rect->GetState(), GS_FINISHED);
        EXPECT_EQ(rect->GetPointCount(), 2);
        EXPECT_EQ(rect->GetMBR(), CRect(10, 10, 51, 41));
        EXPECT_EQ(rect->GetPoint()[0], (_RPOINT{10, 10}));  // ordered when finished
        ASSERT_EQ(rect->GetLabelCount(), 1);
        EXPECT_EQ(rect->GetLabelObject()->GetMBR(), LabelBoxAt(static_cast<CQvGObjectRect&>(*rect), CPoint(30, 25)));
        container.LButtonUp(0, c.to);
        container.DeleteObject(rect);
    }
}

TEST(GObjectRect, FinishLabelsOnlyMeasurements)
{
    CQvGObjectContainer container;
    RectPtr measurement(new CQvGObjectRect);
    RectPtr annotation(new CQvGObjectRect);
    annotation->SetGOType(GOTYPE_RECT);
    for (CQvGObjectRect* rect : {measurement.get(), annotation.get()}) {
        rect->SetContainer(&container);
        rect->SetState(GS_ADDING);
        // Two points count; a third finishes instead of being stored.
        rect->AddPoint(CPoint(0, 0));
        rect->AddPoint(CPoint(11, 9));
        EXPECT_EQ(rect->GetPointCount(), 2);
        EXPECT_EQ(rect->GetState(), GS_ADDING);
        rect->AddPoint(CPoint(99, 99));
        EXPECT_EQ(rect->GetState(), GS_FINISHED);
        EXPECT_EQ(rect->GetMBR(), CRect(0, 0, 11, 9));
    }
    ASSERT_EQ(measurement->GetLabelCount(), 1);
    // At ((0 + 11) / 2, (0 + 9) / 2).
    EXPECT_EQ(measurement->GetLabelObject()->GetMBR(), LabelBoxAt(*measurement, CPoint(5, 4)));
    EXPECT_EQ(annotation->GetLabelCount(), 0);
}

TEST(GObjectRect, DragOfItsLabelMovesOnlyTheLabelUnlessSeveralAreSelected)
{
    CQvGObjectContainer container;
    container.SetAutoRepeatCreatingObject(0);
    QImage surface = BlankSurface(320, 80);
    CDC dc(surface);
    auto create = [&](CPoint a, CPoint b) {
        container.AddObject(SHAPE_RECT);
        CQvGObject* rect = container.GetCreatingObject();
        container.LButtonDown(kLeftButton, a);
        container.MouseMove(&dc, 0, b);
        container.LButtonDown(kLeftButton, b);
        container.LButtonUp(0, b);
        return rect;
    };
    CQvGObject* first = create(CPoint(0, 0), CPoint(100, 60));
    CQvGObject* second = create(CPoint(200, 0), CPoint(300, 60));
    CQvGObject* label = first->GetLabelObject();
    ASSERT_NE(label, nullptr);
    const CRect labelBox = label->GetMBR();

    ASSERT_TRUE(first->IsSelected(CPoint(50, 30)));  // on the label, inside the frame
    EXPECT_EQ(first->GetLabelHit(), 1);
    container.SelectObjects(first, 0);
    first->MoveTo(CSize(5, 6));
    EXPECT_EQ(first->GetMBR(), CRect(0, 0, 100, 60));
    CRect moved = labelBox;
    moved.OffsetRect(5, 6);
    EXPECT_EQ(label->GetMBR(), moved);

    container.SelectObjects(second, 1);
    first->MoveTo(CSize(5, 6));
    EXPECT_EQ(first->GetMBR(), CRect(5, 6, 105, 66));
    moved.OffsetRect(5, 6);
    EXPECT_EQ(label->GetMBR(), moved);
}

TEST(GObjectRect, HitRingIsOneImagePixelWideAboveRatioTwoElseThree)
{
    CQvGObjectContainer container;
    RectPtr rect = MakeRect(&container, {10, 10}, {50, 50});  // handles at 10, 30, 50
    struct Case
    {
        float ratio;
        CPoint p;
        bool hit;
    };
    const Case cases[] = {
        {2.0f, {7, 20}, true},    {2.0f, {6, 20}, false},   {2.0f, {12, 20}, true},  {2.0f, {13, 20}, false},
        {2.0f, {52, 20}, true},   {2.0f, {53, 20}, false},  {2.01f, {9, 20}, true},  {2.01f, {8, 20}, false},
        {2.01f, {10, 20}, true},  {2.01f, {11, 20}, false}, {2.01f, {30, 30}, false},
        // Grip squares of +-4 around the handles reach beyond the ring.
        {2.01f, {30, 13}, true},  {2.01f, {20, 13}, false}, {2.01f, {46, 30}, true}, {2.01f, {33, 53}, true},
        {2.01f, {34, 53}, false},
    };
    for (const Case& c : cases) {
        container.SetRatio(c.ratio);
        CRgn rgn;
        ASSERT_EQ(rect->GetHitTestRgn(rgn), 1);
        EXPECT_EQ(rgn.PtInRegion(c.p) != 0, c.hit) << "ratio " << c.ratio << " at " << c.p.x << "," << c.p.y;
    }
}

TEST(GObjectRect, DrawsItsOutlineIncludingTheFarCornerAndItsGrips)
{
    RectPtr rect = MakeRect(nullptr, {20, 15}, {10, 10});
    QImage surface = BlankSurface(80, 60);
    CDC dc(surface);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    dc.SelectObject(&pen);
    dc.SelectStockObject(HOLLOW_BRUSH);
    const CPoint origin(5, 5);
    const float ratio = 2.0f;
    rect->DrawShape(&dc, &origin, &ratio, 0);  // window box (25, 25) to (45, 35), both included

    for (QPoint black : {QPoint(25, 30), QPoint(45, 30), QPoint(35, 25), QPoint(35, 35), QPoint(45, 35)})
        EXPECT_EQ(PixelAt(surface, black.x(), black.y()), 0x000000u) << black.x() << "," << black.y();
    for (QPoint white : {QPoint(46, 30), QPoint(35, 36), QPoint(35, 30), QPoint(24, 30)})
        EXPECT_EQ(PixelAt(surface, white.x(), white.y()), 0xFFFFFFu) << white.x() << "," << white.y();

    RectPtr square = MakeRect(nullptr, {10, 10}, {30, 30});
    {
        EditionGuard edition(6);
        QImage grips = BlankSurface(100, 100);
        CDC gripDc(grips);
        square->DrawSelection(&gripDc, &origin, &ratio);
        // Handle 1 at image (20, 10), window (45, 25): inverted from (41, 21) to (48, 28).
        EXPECT_EQ(PixelAt(grips, 41, 21), 0x000000u);
        EXPECT_EQ(PixelAt(grips, 48, 28), 0x000000u);
        EXPECT_EQ(PixelAt(grips, 49, 21), 0xFFFFFFu);
        EXPECT_EQ(testing_support::CountColour(grips, 0x000000), 8 * 64);
    }
    {
        EditionGuard edition(1);
        QImage grips = BlankSurface(100, 100);
        CDC gripDc(grips);
        square->DrawSelection(&gripDc, &origin, &ratio);
        EXPECT_EQ(testing_support::CountColour(grips, 0xFFFF00), 8 * 64);  // yellow
    }
}

TEST(GObjectRect, BothPrimitivesFeedTheLiveResultBoxWhileDrawnAndHideItWhenFinished)
{
    CQvGObjectContainer container;
    container.SetAutoRepeatCreatingObject(0);
    container.SetDisplayRealtime(1);
    QImage surface = BlankSurface(100, 100);
    CDC dc(surface);
    struct LiveBox
    {
        LiveBox() { CreateRealTimeResultBox_PZ(); }
        ~LiveBox() { DestroyRealTimeResultBox_PZ(); }
    } liveBox;
    ASSERT_NE(pRealtimeResultBox, nullptr);

    struct Case
    {
        OBJ_SHAPE shape;
        int quantity;
        const char* value;
    };
    const Case cases[] = {{SHAPE_RECT, CAL_WIDTH, "40.000"}, {SHAPE_POLYLINE, CAL_LENGTH, "50.000"}};
    for (const Case& c : cases) {
        ASSERT_EQ(container.AddObject(c.shape), 1);
        CQvGObject* obj = container.GetCreatingObject();
        obj->SetDispType(c.quantity);
        container.LButtonDown(kLeftButton, CPoint(10, 10));
        container.MouseMove(&dc, 0, CPoint(50, 40));
        EXPECT_TRUE(pRealtimeResultBox->IsWindowVisible()) << c.shape;
        EXPECT_EQ(pRealtimeResultBox->GetText(), c.value);

        container.RButtonDown(0, CPoint(50, 40));
        EXPECT_EQ(obj->GetState(), GS_FINISHED);
        EXPECT_FALSE(pRealtimeResultBox->IsWindowVisible()) << c.shape;
        container.LButtonUp(0, CPoint(50, 40));
    }
}

TEST(GObjectRect, BothPrimitivesRubberBandWithoutLeavingATrace)
{
    for (OBJ_SHAPE shape : {SHAPE_RECT, SHAPE_POLYLINE}) {
        CQvGObjectContainer container;
        container.SetRatio(1.5f);
        const QImage blank = BlankSurface(160, 160);
        QImage surface = blank;
        CDC dc(surface);

        ASSERT_EQ(container.AddObject(shape), 1);
        CQvGObject* obj = container.GetCreatingObject();
        obj->GetProperty().SetFillPattern(0);  // a filled rectangle inverts its inside too
        container.LButtonDown(kLeftButton, CPoint(40, 40));
        container.MouseMove(&dc, 0, CPoint(70, 20));
        container.LButtonDown(kLeftButton, CPoint(70, 20));
        for (CPoint p : {CPoint(71, 21), CPoint(90, 75), CPoint(5, 90), CPoint(20, 10)})
            container.MouseMove(&dc, 0, p);
        EXPECT_GT(testing_support::CountDifferences(surface, blank), 0) << shape;

        const CPoint origin = container.GetRelativePoint();
        const float ratio = container.GetRatio();
        dc.SetROP2(R2_NOT);
        obj->Draw(&dc, &origin, &ratio, 1);
        EXPECT_EQ(testing_support::CountDifferences(surface, blank), 0) << shape;
    }
}
