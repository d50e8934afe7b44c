#include "gobjects/shapes/CQvGObjectLabel.h"
#include "gobjects/shapes/CQvGObjectZIndicator.h"
#include "MarkerScene.h"

#include <gtest/gtest.h>

using testing_support::BlankSurface;
using testing_support::ImagesMatch;

namespace {

// An indicator as the handler of handed-over heights makes it: started, given its value, finished again.
CQvGObjectZIndicator* HandOver(MarkerScene& s, double height)
{
    s.container.AddObject(SHAPE_Z_INDICATOR);
    auto* indicator = dynamic_cast<CQvGObjectZIndicator*>(s.container.GetCreatingObject());
    if (!indicator)
        return nullptr;
    indicator->SetValue(height);
    indicator->Finish();
    s.container.RepeatCreatingObject(indicator);
    return indicator;
}

}  // namespace

TEST(ZIndicator, ReportsItsHeightUncalibratedWithTheContainersDecimals)
{
    struct Case
    {
        double unitsPerPixel;
        int decimals;
        double height;
        const char* text;
    };
    const Case cases[] = {{0.5, 2, 12.5, "12.50"}, {2.0, 2, 12.7, "12.70"}, {0.5, 0, -3.25, "-3"}, {1.0, 3, 0.0, "0.000"}};
    for (const Case& c : cases) {
        MarkerScene s;
        s.calib.SetUnitsPerPixel(c.unitsPerPixel);
        s.container.SetDecimalPointRange(c.decimals);
        CQvGObjectZIndicator* indicator = HandOver(s, c.height);
        ASSERT_NE(indicator, nullptr);
        EXPECT_EQ(indicator->GetState(), GS_FINISHED);
        EXPECT_EQ(indicator->GetPointCount(), 1);
        EXPECT_EQ(MarkerScene::Text(indicator, CAL_HEIGHT), c.text) << c.height;
        // Whatever the drawing defaults say it shows, its value is the height.
        EXPECT_EQ(indicator->GetDefaultDataString(), c.text) << c.height;
        EXPECT_EQ(MarkerScene::Text(indicator, CAL_POSITION_CENTER), "Not yet");
        ASSERT_EQ(indicator->GetLabelCount(), 1);
        EXPECT_NE(dynamic_cast<CQvGObjectDUMMYLabel*>(indicator->GetLabelObject()), nullptr);
        EXPECT_EQ(indicator->GetLabelObject()->GetProperty().GetComment(), c.text);
    }

    // A click makes one too, from the clicked x.
    MarkerScene s;
    CQvGObject* clicked = s.Click(SHAPE_Z_INDICATOR, {CPoint(12, 40)});
    EXPECT_EQ(clicked->GetState(), GS_FINISHED);
    EXPECT_EQ(clicked->GetPointCount(), 1);
    EXPECT_EQ(MarkerScene::Value(clicked, CAL_HEIGHT), 12.0);
    EXPECT_EQ(clicked->GetMBR(), CRect(8, 36, 16, 44));
}

TEST(ZIndicator, IsNeverPaintedPickedOrMoved)
{
    MarkerScene s;
    s.container.SetDisplayName(1);
    CQvGObject* indicator = s.Click(SHAPE_Z_INDICATOR, {CPoint(60, 40)});
    EXPECT_EQ(s.Pick(CPoint(60, 40)), nullptr);
    EXPECT_EQ(s.Pick(CPoint(60, 56)), nullptr);  // where its label lies
    EXPECT_TRUE(ImagesMatch(s.Paint(), BlankSurface(MarkerScene::kWidth, MarkerScene::kHeight), "z-indicator"));

    EXPECT_EQ(indicator->GetHandle(CRect(56, 36, 64, 44)), -1);
    EXPECT_EQ(indicator->GetCursorShape(CRect(56, 36, 64, 44)), 32646u);
    s.container.SelectObjects(indicator, 0);
    s.container.MoveTo(s.dc.get(), CSize(5, 5));
    indicator->MoveHandle(0, CSize(5, 5));
    EXPECT_EQ(indicator->GetPoint()[0], (_RPOINT{60, 40}));
}

TEST(ZIndicator, ReloadedItKeepsItsFractionAndStaysInvisible)
{
    MarkerScene s;
    s.container.SetDisplayName(1);
    HandOver(s, 12.7);
    ExpectStreamRoundTrip(s, s.Stream());
    ASSERT_EQ(s.container.GetMainObjList().size(), 1u);
    CQvGObject* indicator = s.container.GetMainObjList().front();
    EXPECT_EQ(MarkerScene::Text(indicator, CAL_HEIGHT), "12.70");
    EXPECT_NE(dynamic_cast<CQvGObjectDUMMYLabel*>(indicator->GetLabelObject()), nullptr);
    EXPECT_TRUE(ImagesMatch(s.Paint(), BlankSurface(MarkerScene::kWidth, MarkerScene::kHeight), "z-reloaded"));
}
