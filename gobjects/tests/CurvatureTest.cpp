#include "gobjects/shapes/CQvGObjectCurvature.h"
#include "gobjects/Edition.h"
#include "MarkerScene.h"

#include <gtest/gtest.h>

#include <vector>

using testing_support::BlankSurface;
using testing_support::PixelAt;

namespace {

// Chord (20, 100) - (120, 100) and a point on the curve.
CQvGObject* ClickCurvature(MarkerScene& s, CPoint onCurve, CPoint chordStart = {20, 100},
                           CPoint chordEnd = {120, 100})
{
    return s.Click(SHAPE_CURVATURE, {chordStart, chordEnd, onCurve});
}

std::vector<_RPOINT> Points(CQvGObject* obj)
{
    return std::vector<_RPOINT>(obj->GetPoint(), obj->GetPoint() + obj->GetPointCount());
}

CPoint Centre(const CRect& box)
{
    return CPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

}  // namespace

TEST(Curvature, HeightAboveTheChordInPercentOfItsLength)
{
    struct Case
    {
        CPoint chordStart, chordEnd, onCurve;
        const char* text;
    };
    const Case cases[] = {
        {{20, 100}, {120, 100}, {70, 50}, "50.00"},   // the top of a semicircle over its diameter
        {{20, 100}, {120, 100}, {70, 100}, "0.00"},   // on the chord
        {{20, 100}, {120, 100}, {70, 125}, "25.00"},  // below counts the same
        {{20, 100}, {120, 100}, {20, 70}, "30.00"},   // above an end
        {{20, 20}, {80, 100}, {90, 30}, "50.00"},     // slanted chord of 100, 50 away
        {{20, 100}, {20, 100}, {30, 80}, "0.00"},     // no chord: no curvature, and no division by zero
    };
    for (const Case& c : cases) {
        MarkerScene s;
        CQvGObject* curvature = ClickCurvature(s, c.onCurve, c.chordStart, c.chordEnd);
        ASSERT_NE(dynamic_cast<CQvGObjectCurvature*>(curvature), nullptr);
        EXPECT_EQ(curvature->GetState(), GS_FINISHED);
        EXPECT_EQ(Points(curvature), (std::vector<_RPOINT>{{double(c.chordStart.x), double(c.chordStart.y)},
                                                           {double(c.chordEnd.x), double(c.chordEnd.y)},
                                                           {double(c.onCurve.x), double(c.onCurve.y)}}));
        EXPECT_EQ(curvature->GetDefaultDataString(), c.text) << c.onCurve.x << "," << c.onCurve.y;
        EXPECT_EQ(curvature->GetCalType(), CAL_CURVATURE);
        EXPECT_EQ(MarkerScene::Text(curvature, CAL_LENGTH), "Not yet");
        ASSERT_EQ(curvature->GetLabelCount(), 1);
    }
    MarkerScene s;
    CQvGObject* curvature = ClickCurvature(s, {70, 50});
    EXPECT_EQ(curvature->GetLabelObject()->GetMBR(), s.LabelBoxAt(curvature, CPoint(70, 100)));
    EXPECT_EQ(curvature->GetMBR(), CRect(20, 100, 120, 100));
}

TEST(Curvature, RightClickFinishesOnlyOnceThePointOnTheCurveFollowsTheMouse)
{
    MarkerScene s;
    CQvGObject* curvature = s.Click(SHAPE_CURVATURE, {CPoint(20, 100)});
    s.RightClick(CPoint(120, 100));
    EXPECT_EQ(curvature->GetState(), GS_ADDING);
    EXPECT_EQ(s.container.GetObjState(), GS_ADDING);

    s.container.MouseMove(s.dc.get(), 0, CPoint(120, 100));
    s.container.LButtonDown(MarkerScene::kLeftButton, CPoint(120, 100));
    s.RightClick(CPoint(70, 50));
    EXPECT_EQ(curvature->GetState(), GS_FINISHED);
    EXPECT_EQ(Points(curvature), (std::vector<_RPOINT>{{20, 100}, {120, 100}, {70, 50}}));
    EXPECT_EQ(curvature->GetDefaultDataString(), "50.00");
}

TEST(Curvature, HandlesPreferThePointOnTheCurveAndDragsKeepTheRule)
{
    MarkerScene s;
    CQvGObject* small = s.Click(SHAPE_CURVATURE, {CPoint(10, 10), CPoint(14, 10), CPoint(12, 8)});
    struct Case
    {
        CRect rect;
        int handle;
    };
    const Case cases[] = {{{8, 6, 16, 14}, 2}, {{8, 9, 16, 14}, 1}, {{8, 9, 12, 14}, 0}, {{30, 30, 40, 40}, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(small->GetHandle(c.rect), c.handle) << c.rect.left << "," << c.rect.top;
    EXPECT_EQ(small->GetCursorShape(CRect(11, 9, 14, 11)), 32646u);  // the chord's middle, no handle
    EXPECT_EQ(small->GetCursorShape(CRect(30, 30, 40, 40)), CQvGObject::kNoCursor);

    CQvGObject* curvature = ClickCurvature(s, {70, 50});
    s.Drag(CPoint(70, 50), CPoint(70, 25));
    EXPECT_EQ(curvature->GetDefaultDataString(), "75.00");

    s.container.UnSelectAll();
    const CRect label = curvature->GetLabelObject()->GetMBR();
    s.Drag(CPoint(40, 100), CPoint(45, 90));
    EXPECT_EQ(Points(curvature), (std::vector<_RPOINT>{{25, 90}, {125, 90}, {75, 15}}));
    CRect moved = curvature->GetLabelObject()->GetMBR();
    EXPECT_EQ(moved.TopLeft(), label.TopLeft() + CSize(5, -10));

    // The label sits on the chord; moved off it, it is dragged alone.
    s.container.UnSelectAll();
    curvature->GetLabelObject()->MoveTo(CSize(0, 30));
    moved.OffsetRect(0, 30);
    s.Drag(Centre(moved), Centre(moved) + CSize(0, 10));
    EXPECT_EQ(Points(curvature), (std::vector<_RPOINT>{{25, 90}, {125, 90}, {75, 15}}));
    EXPECT_EQ(curvature->GetLabelObject()->GetMBR().TopLeft(), moved.TopLeft() + CSize(0, 10));
}

TEST(Curvature, PickedOnTheChordOrAPointAndOnItsLabel)
{
    MarkerScene s;
    CQvGObject* curvature = ClickCurvature(s, {70, 50});
    struct Case
    {
        CPoint at;
        bool hit;
    };
    const Case cases[] = {{{45, 102}, true}, {{20, 100}, true}, {{123, 97}, true}, {{70, 50}, true},
                          {{73, 53}, true},  {{70, 70}, false}, {{25, 105}, false}, {{170, 20}, false}};
    for (const Case& c : cases)
        EXPECT_EQ(curvature->IsSelected(c.at) != 0, c.hit) << c.at.x << "," << c.at.y;
    EXPECT_EQ(s.Pick(CPoint(170, 20)), nullptr);

    curvature->GetLabelObject()->MoveTo(CSize(0, 30));
    EXPECT_EQ(s.Pick(Centre(curvature->GetLabelObject()->GetMBR())), curvature);
    EXPECT_EQ(curvature->GetLabelHit(), 1);
}

TEST(Curvature, PaintsTheChordAndTheHeightWithInvertedGrips)
{
    MarkerScene s;
    s.container.SetDisplayData(0);
    CQvGObject* curvature = ClickCurvature(s, {70, 50});
    curvature->GetProperty().SetLineColor(0x000000);
    const QImage surface = s.Paint();
    for (CPoint p : {CPoint(20, 100), CPoint(45, 100), CPoint(119, 100), CPoint(70, 50), CPoint(70, 75)})
        EXPECT_EQ(PixelAt(surface, p.x, p.y), 0x000000u) << p.x << "," << p.y;
    EXPECT_EQ(PixelAt(surface, 60, 75), 0xFFFFFFu);

    // Whatever the edition, the grips invert what is under them.
    const OEM_PRODUCT edition = g_OEMProduct;
    SetOEMProduct(1);
    QImage grips = BlankSurface(MarkerScene::kWidth, MarkerScene::kHeight);
    CDC dc(grips);
    const CPoint origin(0, 0);
    const float ratio = 1.0f;
    curvature->DrawSelection(&dc, &origin, &ratio);
    SetOEMProduct(edition);
    for (CPoint p : {CPoint(16, 96), CPoint(123, 103), CPoint(70, 50)})
        EXPECT_EQ(PixelAt(grips, p.x, p.y), 0x000000u) << p.x << "," << p.y;
    EXPECT_EQ(testing_support::CountColour(grips, 0x000000), 3 * 64);
}

TEST(Curvature, RecordReadsBackAndWritesTheSameBytes)
{
    MarkerScene s;
    ClickCurvature(s, {70, 50});
    ExpectStreamRoundTrip(s, s.Stream());
    ASSERT_EQ(s.container.GetMainObjList().size(), 1u);
    CQvGObject* curvature = s.container.GetMainObjList().front();
    ASSERT_NE(dynamic_cast<CQvGObjectCurvature*>(curvature), nullptr);
    EXPECT_EQ(Points(curvature), (std::vector<_RPOINT>{{20, 100}, {120, 100}, {70, 50}}));
    EXPECT_EQ(curvature->GetDefaultDataString(), "50.00");
}
