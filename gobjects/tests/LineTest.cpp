#include "gobjects/ArrowType.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectLine.h"
#include "gobjects/CRealtimeResultObjBox.h"
#include "FakeCanvas.h"

#include "calibkeeper/CCalibKeeper.h"
#include "testing/RenderCheck.h"
#include "gdi/GdiDefs.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kLeftButton = MK_LBUTTON;

// A finished line between two points, in a container with 0.5 units per pixel and 3 decimals.
struct LineScene
{
    CCalibKeeper calib;
    CQvGObjectContainer container;
    CQvGObjectLine* line = new CQvGObjectLine;  // freed through RemoveAll

    LineScene(CPoint start, CPoint end, QVGO_TYPE kind = GOTYPE_MEASURE)
    {
        calib.SetUnitsPerPixel(0.5);
        container.ConnectCalibKeeper(&calib);
        container.SetDecimalPointRange(3);
        line->SetGOType(kind);
        line->SetContainer(&container);
        line->AddPoint(start);
        line->AddPoint(end);
        line->Finish();
    }
    ~LineScene() { line->RemoveAll(); }

    double Value(int32_t kind)
    {
        tagCAL_DATA data;
        data.kind = kind;
        EXPECT_EQ(line->GetCalData(data, 0), 1);
        return data.value1;
    }
};

}  // namespace

TEST(Line, LengthAndDirectionAngles)
{
    struct Case
    {
        CPoint end;
        double length, xAngle, yAngle;
    };
    const Case cases[] = {
        {{30, 10}, 10.0, 0.0, -90.0},  {{10, -10}, 10.0, 90.0, 0.0}, {{-10, 10}, 10.0, 180.0, 90.0},
        {{10, 30}, 10.0, 270.0, 180.0}, {{10, 10}, 0.0, -1.0, -91.0},  {{16, 18}, 5.0, 306.869897645844, 216.869897645844},
    };
    for (const Case& c : cases) {
        LineScene s(CPoint(10, 10), c.end);
        EXPECT_NEAR(s.Value(CAL_LENGTH), c.length, 1e-9) << c.end.x << "," << c.end.y;
        EXPECT_NEAR(s.Value(CAL_X_ANGLE), c.xAngle, 1e-9) << c.end.x << "," << c.end.y;
        EXPECT_NEAR(s.Value(CAL_Y_ANGLE), c.yAngle, 1e-9) << c.end.x << "," << c.end.y;
    }
}

TEST(Line, PositionsStayInPixelsAndPrintCalibrated)
{
    LineScene s(CPoint(10, 20), CPoint(31, 40));
    s.container.SetDecimalPointRange(2);
    tagCAL_DATA data;
    data.kind = CAL_POSITION_CENTER;
    EXPECT_EQ(s.line->GetDataString(data, 0), "(10.25,15.00)");
    EXPECT_EQ(data.value1, 20.5);
    data.kind = CAL_POSITION_START;
    EXPECT_EQ(s.line->GetDataString(data, 0), "(5.00,10.00)");
    data.kind = CAL_POSITION_END;
    EXPECT_EQ(s.line->GetDataString(data, 0), "(15.50,20.00)");

    tagCAL_DATA area;
    area.kind = CAL_AREA;
    area.value1 = 7.0;
    EXPECT_EQ(s.line->GetCalData(area, 0), 0);
    EXPECT_EQ(area.value1, 7.0);
    EXPECT_EQ(s.line->GetDataString(area, 0), "Not yet");
}

TEST(Line, FinishingGivesAMeasurementItsLabelAtTheIntegerMiddle)
{
    LineScene m(CPoint(10, 10), CPoint(21, 30));
    EXPECT_EQ(m.line->GetState(), GS_FINISHED);
    EXPECT_EQ(m.line->GetCalType(), 0x7061);
    ASSERT_EQ(m.line->GetLabelCount(), 1);
    // A new label is centred on (trunc(10.5) + trunc(21.5)) / 2 = 15, (10 + 30) / 2 = 20.
    const _RPOINT* corners = m.line->GetLabelObject()->GetPoint();
    EXPECT_EQ((corners[0].x + corners[1].x) / 2, 15.0);
    EXPECT_EQ((corners[0].y + corners[1].y) / 2, 20.0);

    LineScene a(CPoint(10, 10), CPoint(21, 30), GOTYPE_LINE);
    EXPECT_EQ(a.line->GetLabelCount(), 0);
}

TEST(Line, ContainerCreatesItByClickMoveClick)
{
    FakeCanvas canvas;
    CQvGObjectContainer container;
    container.SetCanvasWnd(&canvas);
    container.SetAutoRepeatCreatingObject(0);
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    auto* line = dynamic_cast<CQvGObjectLine*>(container.GetCreatingObject());
    ASSERT_NE(line, nullptr);
    std::unique_ptr<CDC> dc = canvas.GetSurfaceDC();
    container.LButtonDown(kLeftButton, CPoint(10, 10));
    EXPECT_EQ(line->GetPointCount(), 2);  // the end starts on the start and follows the mouse
    EXPECT_EQ(line->GetHandle(CRect(47, 7, 53, 13)), 1);
    container.MouseMove(dc.get(), 0, CPoint(50, 10));
    EXPECT_EQ(line->GetPoint()[1], (_RPOINT{50, 10}));
    container.LButtonDown(kLeftButton, CPoint(50, 10));
    EXPECT_EQ(line->GetState(), GS_FINISHED);
    EXPECT_EQ(line->GetPointCount(), 2);
    ASSERT_EQ(line->GetLabelCount(), 1);

    line->AddPoint(CPoint(90, 90));  // a third point finishes again instead of adding
    EXPECT_EQ(line->GetPointCount(), 2);
    EXPECT_EQ(line->GetPoint()[1], (_RPOINT{50, 10}));
}

TEST(Line, HitBandReachesFurtherBeyondTheEndsAtLowZoom)
{
    struct Case
    {
        float ratio;
        CPoint p;
        bool hit;
    };
    // The line runs from (10,50) to (60,50) with no line ends shown.
    const Case cases[] = {
        {2.0f, {62, 50}, true},  {2.01f, {62, 50}, false}, {2.01f, {60, 50}, true},
        {2.0f, {65, 50}, false}, {1.0f, {35, 52}, true},   {1.0f, {35, 54}, false},
    };
    for (const Case& c : cases) {
        LineScene s(CPoint(10, 50), CPoint(60, 50));
        s.line->GetProperty().ShowLArrow(0);
        s.line->GetProperty().ShowRArrow(0);
        s.container.SetRatio(c.ratio);
        CRgn region;
        ASSERT_EQ(s.line->GetHitTestRgn(region), 1);
        EXPECT_EQ(region.PtInRegion(c.p) != 0, c.hit) << c.ratio << " " << c.p.x << "," << c.p.y;
    }
}

TEST(Line, EndBarsAreHitWhenEitherEndIsShown)
{
    for (int shown : {0, 1, 2}) {
        LineScene s(CPoint(100, 100), CPoint(200, 100));
        s.line->GetProperty().ShowLArrow(shown == 1);
        s.line->GetProperty().ShowRArrow(shown == 2);
        // 30 pixels off the line on the bar 3 pixels beyond the start, and on the one beyond the end.
        CRgn region;
        ASSERT_EQ(s.line->GetHitTestRgn(region), 1);
        EXPECT_EQ(region.PtInRegion(97, 130) != 0, shown != 0) << shown;
        EXPECT_EQ(region.PtInRegion(203, 70) != 0, shown != 0) << shown;
        EXPECT_TRUE(region.PtInRegion(150, 102));
        EXPECT_EQ(s.line->GetMBR(), CRect(64, 64, 236, 136));
    }
}

TEST(Line, HandlesAndCursorFollowTheEnds)
{
    LineScene s(CPoint(10, 10), CPoint(40, 20));
    EXPECT_EQ(s.line->GetHandle(CRect(36, 16, 44, 24)), 1);
    EXPECT_EQ(s.line->GetSelectedHandle(), 1);
    EXPECT_EQ(s.line->GetHandle(CRect(6, 6, 44, 24)), 0);
    EXPECT_EQ(s.line->GetHandle(CRect(20, 10, 30, 20)), -1);
    EXPECT_EQ(s.line->GetCursorShape(CRect(36, 16, 44, 24)), 32646u);
    EXPECT_EQ(s.line->GetCursorShape(CRect(20, 10, 30, 20)), CQvGObject::kNoCursor);
    s.line->MoveHandle(1, CSize(5, -5));
    EXPECT_EQ(s.line->GetPoint()[1], (_RPOINT{45, 15}));
}

TEST(Line, DraggingTheLabelAloneMovesOnlyTheLabelUnlessSeveralAreSelected)
{
    CQvGObjectContainer container;  // owns both lines
    CQvGObject* lines[2];
    for (CQvGObject*& line : lines) {
        line = container.CreateObject(SHAPE_LINE);
        line->SetContainer(&container);
        line->AddPoint(CPoint(10, 10));
        line->AddPoint(CPoint(50, 10));
        line->Finish();
        container.GetMainObjList().push_back(line);
    }
    CQvGObject* line = lines[0];
    const CRect label = line->GetLabelObject()->GetMBR();
    ASSERT_TRUE(line->IsSelected(CPoint(label.left + 1, label.bottom - 1)));
    ASSERT_EQ(line->GetLabelHit(), 1);

    line->MoveTo(CSize(3, 4));
    EXPECT_EQ(line->GetPoint()[0], (_RPOINT{10, 10}));
    EXPECT_EQ(line->GetLabelObject()->GetMBR(),
              (CRect(label.left + 3, label.top + 4, label.right + 3, label.bottom + 4)));

    container.SelectObjects(lines[0], 0);
    container.SelectObjects(lines[1], 1);
    ASSERT_EQ(container.GetSelectedObjectCount(), 2);
    line->MoveTo(CSize(3, 4));
    EXPECT_EQ(line->GetPoint()[0], (_RPOINT{13, 14}));
    EXPECT_EQ(line->GetLabelObject()->GetMBR().left, label.left + 6);
}

TEST(Line, RubberBandErasesWithoutATrace)
{
    // A measurement shows end bars while rubber-banded; an annotation without ends shows its end pixel.
    struct Case
    {
        QVGO_TYPE kind;
        CPoint painted;
    };
    for (const Case& c : {Case{GOTYPE_MEASURE, {20, 20}}, Case{GOTYPE_MEASURE, {80, 60}}, Case{GOTYPE_LINE, {80, 40}}}) {
        LineScene s(CPoint(20, 40), CPoint(80, 40), c.kind);
        s.container.SetDisplayData(0);
        s.line->GetProperty().ShowLArrow(0);
        s.line->GetProperty().ShowRArrow(0);
        s.line->SetState(GS_ADDING);
        const QImage blank = testing_support::BlankSurface(120, 100);
        QImage surface = blank;
        CDC dc(surface);
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        dc.SetROP2(R2_NOT);
        s.line->Draw(&dc, &origin, &ratio, 1);
        EXPECT_EQ(testing_support::PixelAt(surface, 50, 40), 0x000000u);
        EXPECT_EQ(testing_support::PixelAt(surface, c.painted.x, c.painted.y), 0x000000u) << c.kind;
        s.line->Draw(&dc, &origin, &ratio, 1);
        EXPECT_TRUE(testing_support::ImagesMatch(surface, blank, "line-rubber-erase")) << c.kind;
    }
}

TEST(Line, NormalPaintShowsTheEndsThePropertyAsksFor)
{
    struct Case
    {
        QVGO_TYPE kind;
        int showLeft;
        int flag;
        bool barAtStart;
    };
    const Case cases[] = {
        {GOTYPE_MEASURE, 0, 0, false}, {GOTYPE_MEASURE, 1, 0, true}, {GOTYPE_MEASURE, 0, 1, true},
        {GOTYPE_LINE, 0, 1, false},    {GOTYPE_LINE, 1, 0, true},
    };
    for (const Case& c : cases) {
        LineScene s(CPoint(20, 40), CPoint(80, 40), c.kind);
        s.container.SetDisplayData(0);
        s.line->GetProperty().ShowLArrow(c.showLeft);
        s.line->GetProperty().SetLArrowType(ARROW_BAR);
        s.line->GetProperty().ShowRArrow(0);
        s.line->GetProperty().SetLineColor(0x000000);
        QImage surface = testing_support::BlankSurface(120, 100);
        CDC dc(surface);
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        s.line->Draw(&dc, &origin, &ratio, c.flag);
        EXPECT_EQ(testing_support::PixelAt(surface, 50, 40), 0x000000u);
        EXPECT_EQ(testing_support::PixelAt(surface, 80, 40), 0x000000u) << "end pixel";
        EXPECT_EQ(testing_support::PixelAt(surface, 20, 20) == 0x000000u, c.barAtStart)
            << c.kind << " " << c.showLeft << " " << c.flag;
    }
}

TEST(Line, LiveResultBoxFollowsAMeasurementWhileItIsDrawnAndHidesWhenFinished)
{
    CreateRealTimeResultBox_PZ();
    ASSERT_NE(pRealtimeResultBox, nullptr);
    struct Case
    {
        QVGO_TYPE kind;
        int realtime;
        int flag;
        bool fed;
    };
    const Case cases[] = {
        {GOTYPE_MEASURE, 1, 1, true},
        {GOTYPE_MEASURE, 0, 1, false},
        {GOTYPE_MEASURE, 1, 0, false},
        {GOTYPE_LINE, 1, 1, false},
    };
    for (const Case& c : cases) {
        pRealtimeResultBox->ShowText("");
        pRealtimeResultBox->Hide();
        CQvGObjectContainer container;
        container.SetDisplayRealtime(c.realtime);
        container.SetDisplayData(0);
        CQvGObjectLine* line = dynamic_cast<CQvGObjectLine*>(container.CreateObject(SHAPE_LINE));
        line->SetGOType(c.kind);
        line->SetContainer(&container);
        line->SetDispType(CAL_LENGTH);
        line->SetState(GS_ADDING);
        line->AddPoint(CPoint(0, 0));
        line->AddPoint(CPoint(30, 40));
        QImage surface = testing_support::BlankSurface(60, 60);
        CDC dc(surface);
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        line->Draw(&dc, &origin, &ratio, c.flag);
        EXPECT_EQ(pRealtimeResultBox->IsWindowVisible(), c.fed) << c.kind << c.realtime << c.flag;
        EXPECT_EQ(pRealtimeResultBox->GetText(), c.fed ? "50.000" : "");
        if (c.fed) {
            EXPECT_EQ(pRealtimeResultBox->GetWindowRect().Width(), 100);
            EXPECT_EQ(pRealtimeResultBox->GetWindowRect().Height(), 25);
        }
        line->Finish();
        EXPECT_FALSE(pRealtimeResultBox->IsWindowVisible());
        line->RemoveAll();
    }
    DestroyRealTimeResultBox_PZ();
}

// Hit tests skip building the region outside the line's hit bounds, so the bounds must hold every pixel of it,
// whatever the direction, the zoom tolerance and whether the end bars are shown.
TEST(Line, HitBoundsHoldTheWholeHitRegion)
{
    for (float ratio : {0.25f, 1.0f, 3.0f}) {
        for (CPoint end : {CPoint(90, 20), CPoint(20, 90), CPoint(85, 70), CPoint(-40, 60), CPoint(20, 20)}) {
            for (int arrows : {0, 1}) {
                LineScene s(CPoint(20, 20), end);
                s.container.SetRatio(ratio);
                s.line->GetProperty().ShowLArrow(arrows);
                s.line->GetProperty().ShowRArrow(arrows);
                CRgn region;
                ASSERT_TRUE(s.line->GetHitTestRgn(region));
                RECT box{};
                region.GetRgnBox(&box);
                CRect inside;
                inside.IntersectRect(box, s.line->GetHitBounds());
                EXPECT_EQ(inside, CRect(box)) << ratio << " " << end.x << "," << end.y << " " << arrows;
            }
        }
    }
}
