#include "gobjects/shapes/CQvGObjectPoint.h"
#include "MarkerScene.h"

#include <gtest/gtest.h>

using testing_support::CountColour;
using testing_support::PixelAt;

namespace {

// The centre of a box: a new label is centred on the point it was placed at.
CPoint Centre(const CRect& box)
{
    return CPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

}  // namespace

TEST(Point, OneClickPlacesTheMarkAndAMeasurementLabelsItBelow)
{
    struct Case
    {
        OBJ_SHAPE shape;
        int decimals;
        QVGO_TYPE kind;
        const char* value;
        int labels;
    };
    const Case cases[] = {
        {SHAPE_POINT, 2, GOTYPE_MEASURE, "(12.50,15.00)", 1},
        {SHAPE_POINT, 1, GOTYPE_MEASURE, "(12.5,15.0)", 1},
        {SHAPE_ANNO_POINT, 3, GOTYPE_POINT, "(12.500,15.000)", 0},
    };
    for (const Case& c : cases) {
        MarkerScene s;
        s.container.SetDecimalPointRange(c.decimals);
        CQvGObject* point = s.Click(c.shape, {CPoint(25, 30)});
        ASSERT_NE(dynamic_cast<CQvGObjectPoint*>(point), nullptr);
        EXPECT_EQ(point->GetState(), GS_FINISHED);
        EXPECT_EQ(s.container.GetObjState(), GS_FINISHED);
        EXPECT_EQ(point->GetObjShape(), c.shape);
        EXPECT_EQ(point->GetGOType(), c.kind);
        ASSERT_EQ(point->GetPointCount(), 1);
        EXPECT_EQ(point->GetPoint()[0], (_RPOINT{25, 30}));
        EXPECT_EQ(point->GetMBR(), CRect(21, 26, 29, 34));

        point->SetDispType(CAL_POSITION_CENTER);
        EXPECT_EQ(point->GetDefaultDataString(), c.value) << c.shape << " " << c.decimals;
        EXPECT_EQ(point->GetCalType(), CAL_POSITION_CENTER);
        EXPECT_EQ(MarkerScene::Text(point, CAL_LENGTH), "Not yet");
        ASSERT_EQ(point->GetLabelCount(), c.labels);
        if (c.labels) {
            EXPECT_EQ(point->GetLabelObject()->GetMBR(), s.LabelBoxAt(point, CPoint(25, 30 + 4 + 12)));
        }
    }
}

TEST(Point, FinishingAgainAddsNoSecondLabel)
{
    MarkerScene s;
    CQvGObject* point = s.Click(SHAPE_POINT, {CPoint(25, 30)});
    point->Finish();
    EXPECT_EQ(point->GetLabelCount(), 1);
}

TEST(Point, MovesOnlyWholeOrItsLabelAlone)
{
    MarkerScene s;
    CQvGObject* point = s.Click(SHAPE_POINT, {CPoint(50, 60)});
    const CRect label = point->GetLabelObject()->GetMBR();
    EXPECT_EQ(point->GetHandle(CRect(46, 56, 54, 64)), -1);
    EXPECT_EQ(point->GetCursorShape(CRect(46, 56, 54, 64)), 32646u);
    EXPECT_EQ(point->GetCursorShape(CRect(60, 56, 64, 64)), CQvGObject::kNoCursor);

    // The label's width follows its new text; its corner shows where it went.
    s.Drag(CPoint(51, 60), CPoint(56, 70));
    EXPECT_EQ(point->GetPoint()[0], (_RPOINT{55, 70}));
    CRect moved = point->GetLabelObject()->GetMBR();
    EXPECT_EQ(moved.TopLeft(), label.TopLeft() + CSize(5, 10));

    s.container.UnSelectAll();
    s.Drag(Centre(moved), Centre(moved) + CSize(0, 20));
    EXPECT_EQ(point->GetPoint()[0], (_RPOINT{55, 70}));
    EXPECT_EQ(point->GetLabelObject()->GetMBR().TopLeft(), moved.TopLeft() + CSize(0, 20));
}

TEST(Point, IsPickedInsideItsMarkerSquareAndOnItsLabel)
{
    MarkerScene s;
    CQvGObject* point = s.Click(SHAPE_POINT, {CPoint(100, 50)});
    struct Case
    {
        CPoint at;
        bool hit;
    };
    // The square spans 96..103 (a region excludes its right and bottom edges).
    const Case cases[] = {{{100, 50}, true}, {{96, 46}, true},  {{103, 53}, true},
                          {{104, 50}, false}, {{100, 45}, false}, {{160, 20}, false}};
    for (const Case& c : cases)
        EXPECT_EQ(point->IsSelected(c.at) != 0, c.hit) << c.at.x << "," << c.at.y;
    EXPECT_EQ(s.Pick(CPoint(160, 20)), nullptr);

    const CPoint onLabel = Centre(point->GetLabelObject()->GetMBR());
    EXPECT_EQ(s.Pick(onLabel), point);
    EXPECT_EQ(point->GetLabelHit(), 1);
}

TEST(Point, PaintsAPlusOfSinglePixelsThatFollowsTheZoom)
{
    struct Case
    {
        float ratio;
        int arm;  // pixels on each side of the centre
    };
    for (const Case& c : {Case{1.0f, 3}, Case{2.0f, 7}, Case{0.1f, -1}}) {
        MarkerScene s;
        s.container.SetDisplayData(0);
        CQvGObject* point = s.Click(SHAPE_POINT, {CPoint(40, 30)});
        point->GetProperty().SetLineColor(0x000000);
        const QImage surface = s.Paint(c.ratio);
        const int x = static_cast<int>(40 * c.ratio + 0.5f);
        const int y = static_cast<int>(30 * c.ratio + 0.5f);
        EXPECT_EQ(CountColour(surface, 0x000000), c.arm < 0 ? 0 : 4 * c.arm + 1) << c.ratio;
        if (c.arm < 0)
            continue;
        for (CPoint p : {CPoint(x - c.arm, y), CPoint(x + c.arm, y), CPoint(x, y - c.arm), CPoint(x, y + c.arm)})
            EXPECT_EQ(PixelAt(surface, p.x, p.y), 0x000000u) << c.ratio << " " << p.x << "," << p.y;
        EXPECT_EQ(PixelAt(surface, x + c.arm + 1, y), 0xFFFFFFu) << c.ratio;
    }

    // Too small to see, yet still picked by its square.
    MarkerScene s;
    CQvGObject* point = s.Click(SHAPE_POINT, {CPoint(40, 30)});
    s.container.SetRatio(0.1f);
    EXPECT_TRUE(point->IsSelected(CPoint(43, 33)));
}

TEST(Point, RecordReadsBackAndWritesTheSameBytes)
{
    MarkerScene s;
    s.Click(SHAPE_POINT, {CPoint(25, 30)});
    s.Click(SHAPE_ANNO_POINT, {CPoint(70, 10)});
    const std::vector<uint8_t> bytes = s.Stream();
    ExpectStreamRoundTrip(s, bytes);
    ASSERT_EQ(s.container.GetMainObjList().size(), 2u);
    CQvGObject* point = s.container.GetMainObjList().front();
    CQvGObject* annotation = s.container.GetMainObjList().back();
    ASSERT_NE(dynamic_cast<CQvGObjectPoint*>(point), nullptr);
    EXPECT_EQ(point->GetDefaultDataString(), "(12.50,15.00)");
    EXPECT_EQ(point->GetLabelCount(), 1);
    EXPECT_EQ(annotation->GetObjShape(), SHAPE_ANNO_POINT);
    EXPECT_EQ(annotation->GetPoint()[0], (_RPOINT{70, 10}));
}
