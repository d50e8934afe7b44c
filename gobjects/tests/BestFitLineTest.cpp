// The best-fit line: clicked points with crosses while it is drawn, a least-squares segment once finished, through
// the container's mouse entry points.
#include "gobjects/shapes/CQvGObjectBestFitLine.h"
#include "LineFamilyScene.h"

#include "testing/RenderCheck.h"
#include "gdi/CRgn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using testing_support::BlankSurface;
using testing_support::PixelAt;

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

// Clicks every point, then moves the mouse to `finishAt` and finishes with a right click.
CQvGObjectBestFitLine* FitThrough(LineFamilyScene& s, const std::vector<CPoint>& clicks, CPoint finishAt)
{
    if (!s.container.AddObject(SHAPE_BESTFIT_LINE))
        return nullptr;
    auto* fit = dynamic_cast<CQvGObjectBestFitLine*>(s.container.GetCreatingObject());
    for (CPoint p : clicks) {
        s.container.MouseMove(s.dc.get(), 0, p);
        s.container.LButtonDown(LineFamilyScene::kLeftButton, p);
        s.container.LButtonUp(0, p);
    }
    s.RightClick(finishAt);
    return fit;
}

}  // namespace

TEST(BestFitLine, TwentyFiveClicksGrowTheArrayAndTheFitLeavesOutThePointUnderTheMouse)
{
    LineFamilyScene s;
    ASSERT_EQ(s.container.AddObject(SHAPE_BESTFIT_LINE), 1);
    auto* fit = dynamic_cast<CQvGObjectBestFitLine*>(s.container.GetCreatingObject());
    ASSERT_NE(fit, nullptr);
    EXPECT_EQ(fit->GetCapacity(), 10);
    // Points on y = x / 2 + 10; the first click also puts down the point that follows the mouse.
    for (int k = 0; k < 25; ++k) {
        const CPoint p(4 * k, 2 * k + 10);
        s.container.MouseMove(s.dc.get(), 0, p);
        s.container.LButtonDown(LineFamilyScene::kLeftButton, p);
        ASSERT_EQ(fit->GetPointCount(), k + 2);
        EXPECT_EQ(fit->GetCapacity(), k < 8 ? 10 : k < 18 ? 20 : 30) << "click " << k;
        EXPECT_EQ(fit->GetHandle(CRect()), k + 1);
    }
    for (int k = 0; k < 25; ++k)
        EXPECT_EQ(fit->GetPoint()[k], (_RPOINT{4.0 * k, 2.0 * k + 10})) << k;

    // The point under the mouse is far off the line, and must not pull the fit.
    s.RightClick(CPoint(190, 5));
    EXPECT_EQ(fit->GetState(), GS_FINISHED);
    EXPECT_EQ(s.container.GetObjState(), GS_FINISHED);
    ASSERT_EQ(fit->GetPointCount(), 2);
    EXPECT_NEAR(fit->GetPoint()[0].x, 0.0, 1e-9);
    EXPECT_NEAR(fit->GetPoint()[0].y, 10.0, 1e-9);
    EXPECT_NEAR(fit->GetPoint()[1].x, 96.0, 1e-9);
    EXPECT_NEAR(fit->GetPoint()[1].y, 58.0, 1e-9);
    EXPECT_EQ(fit->GetLabelCount(), 1);
    // 0.5 units per pixel over a 96 x 48 pixel segment.
    EXPECT_NEAR(LineFamilyScene::Value(fit, CAL_LENGTH), 0.5 * std::sqrt(96.0 * 96 + 48 * 48), 1e-9);
    EXPECT_EQ(LineFamilyScene::Text(fit, CAL_LENGTH), "53.67");
    EXPECT_EQ(LineFamilyScene::Text(fit, CAL_X_ANGLE), "333.43");
    EXPECT_EQ(LineFamilyScene::Text(fit, CAL_POSITION_END), "(48.00,29.00)");
    EXPECT_EQ(LineFamilyScene::Text(fit, CAL_AREA), "Not yet");
}

TEST(BestFitLine, FitsStayFiniteForEveryPointSpread)
{
    struct Case
    {
        const char* what;
        std::vector<CPoint> clicks;
        _RPOINT start, end;
        const char* length;
        const char* xAngle;
    };
    const Case cases[] = {
        {"vertical", {{50, 10}, {50, 40}, {50, 25}}, {50, 10}, {50, 40}, "15.00", "270.00"},
        // Spreads taller than wide are fitted along their height (x on y), not across it.
        {"tall rectangle", {{10, 10}, {30, 10}, {30, 70}, {10, 70}}, {20, 10}, {20, 70}, "30.00", "270.00"},
        {"symmetric cross", {{40, 10}, {40, 70}, {30, 40}, {50, 40}}, {40, 10}, {40, 70}, "30.00", "270.00"},
        // A right click right after the first click fits one point: a segment of no length on it.
        {"one point", {{60, 30}}, {60, 30}, {60, 30}, "0.00", "-1.00"},
    };
    for (const Case& c : cases) {
        LineFamilyScene s;
        CQvGObjectBestFitLine* fit = FitThrough(s, c.clicks, CPoint(150, 140));
        ASSERT_NE(fit, nullptr) << c.what;
        ASSERT_EQ(fit->GetState(), GS_FINISHED) << c.what;
        ASSERT_EQ(fit->GetPointCount(), 2) << c.what;
        EXPECT_EQ(fit->GetPoint()[0], c.start) << c.what;
        EXPECT_EQ(fit->GetPoint()[1], c.end) << c.what;
        EXPECT_EQ(LineFamilyScene::Text(fit, CAL_LENGTH), c.length) << c.what;
        EXPECT_EQ(LineFamilyScene::Text(fit, CAL_X_ANGLE), c.xAngle) << c.what;
        EXPECT_EQ(fit->GetLabelCount(), 1) << c.what;
    }
}

TEST(BestFitLine, ASteepEdgeWithOnePixelOfJitterReadsItsOwnLengthAndDirection)
{
    // 163 pixels from top to bottom; fitted y on x it read 495.75 units (991.5 pixels) at 350.54 degrees.
    LineFamilyScene s;
    CQvGObjectBestFitLine* fit = FitThrough(
        s, {{200, 300}, {200, 327}, {201, 354}, {201, 382}, {201, 409}, {200, 436}, {200, 463}}, CPoint(150, 140));
    ASSERT_NE(fit, nullptr);
    ASSERT_EQ(fit->GetState(), GS_FINISHED);
    EXPECT_EQ(fit->GetPoint()[0].y, 300);
    EXPECT_EQ(fit->GetPoint()[1].y, 463);
    EXPECT_NEAR(fit->GetPoint()[0].x, 200.43, 0.01);
    EXPECT_NEAR(fit->GetPoint()[1].x, 200.43, 0.01);
    EXPECT_EQ(LineFamilyScene::Text(fit, CAL_LENGTH), "81.50");
    EXPECT_EQ(LineFamilyScene::Text(fit, CAL_X_ANGLE), "270.00");
}

TEST(BestFitLine, FinishingWithoutAClickedPointKeepsNothing)
{
    LineFamilyScene s;
    ASSERT_EQ(s.container.AddObject(SHAPE_BESTFIT_LINE), 1);
    CQvGObject* fit = s.container.GetCreatingObject();
    EXPECT_EQ(fit->CanFinish(), 0);
    fit->Cancel();
    EXPECT_EQ(fit->GetState(), GS_FINISHED);
    EXPECT_EQ(fit->GetPointCount(), 0);
    EXPECT_EQ(fit->GetLabelCount(), 0);
    EXPECT_EQ(LineFamilyScene::Text(fit, CAL_LENGTH), "Not yet");
    CRgn region;
    EXPECT_EQ(fit->GetHitTestRgn(region), 0);
    EXPECT_TRUE(fit->GetMBR().IsRectEmpty());
}

TEST(BestFitLine, FinishedItIsEditedAndHitLikeALineButBoxedTightly)
{
    LineFamilyScene s;
    CQvGObjectBestFitLine* fit = FitThrough(s, {{20, 30}, {60, 30}, {100, 30}}, CPoint(100, 30));
    ASSERT_NE(fit, nullptr);
    ASSERT_EQ(fit->GetPoint()[1], (_RPOINT{100, 30}));
    EXPECT_EQ(fit->GetMBR(), CRect(20, 30, 100, 30));
    EXPECT_EQ(fit->NeedROP(), 0);
    EXPECT_EQ(fit->GetCursorShape(CRect(96, 26, 104, 34)), 32646u);
    EXPECT_EQ(fit->GetCursorShape(CRect(56, 26, 64, 34)), CQvGObject::kNoCursor);

    EXPECT_TRUE(fit->IsSelected(CPoint(60, 32)));
    EXPECT_FALSE(fit->IsSelected(CPoint(60, 80)));
    const CRect label = fit->GetLabelObject()->GetMBR();
    EXPECT_TRUE(fit->IsSelected(CPoint(label.right - 1, label.bottom - 1)));
    EXPECT_EQ(fit->GetLabelHit(), 1);

    s.Drag(CPoint(100, 30), CPoint(100, 50));
    EXPECT_EQ(fit->GetSelectedHandle(), 1);
    EXPECT_EQ(fit->GetPoint()[1], (_RPOINT{100, 50}));
    EXPECT_EQ(LineFamilyScene::Text(fit, CAL_LENGTH), "41.23");
    s.Drag(CPoint(40, 35), CPoint(45, 40));
    EXPECT_EQ(fit->GetSelectedHandle(), -1);
    EXPECT_EQ(fit->GetPoint()[0], (_RPOINT{25, 35}));
    EXPECT_EQ(fit->GetPoint()[1], (_RPOINT{105, 55}));
    EXPECT_EQ(fit->GetLabelObject()->GetMBR(), CRect(label.left + 5, label.top + 5, label.right + 5, label.bottom + 5));
}

TEST(BestFitLine, CrossesMarkTheClickedPointsWhileItIsDrawn)
{
    struct Case
    {
        float ratio;
        int arm;  // pixels each arm reaches beyond the centre; -1: no cross at all
    };
    const Case cases[] = {{1.0f, 4}, {2.0f, 9}, {0.1f, 0}, {0.09f, -1}};
    for (const Case& c : cases) {
        LineFamilyScene s;
        ASSERT_EQ(s.container.AddObject(SHAPE_BESTFIT_LINE), 1);
        CQvGObject* fit = s.container.GetCreatingObject();
        fit->GetProperty().SetLineColor(0x000000);
        for (CPoint p : {CPoint(20, 20), CPoint(40, 20), CPoint(60, 20)}) {
            s.container.MouseMove(s.dc.get(), 0, p);
            s.container.LButtonDown(LineFamilyScene::kLeftButton, p);
        }
        s.container.MouseMove(s.dc.get(), 0, CPoint(80, 40));
        ASSERT_EQ(fit->GetPointCount(), 4);
        ASSERT_EQ(fit->GetState(), GS_ADDING);

        QImage surface = BlankSurface(200, 120);
        CDC dc(surface);
        const CPoint origin(0, 0);
        fit->Draw(&dc, &origin, &c.ratio, 1);
        const int y = static_cast<int>(20 * c.ratio + 0.5f);
        for (int x : {20, 40, 60}) {
            const int cx = static_cast<int>(x * c.ratio + 0.5f);
            EXPECT_EQ(PixelAt(surface, cx, y), c.arm >= 0 ? kBlack : kWhite) << c.ratio;
            if (c.arm > 0) {
                EXPECT_EQ(PixelAt(surface, cx + c.arm, y), kBlack) << c.ratio;
                EXPECT_EQ(PixelAt(surface, cx, y - c.arm), kBlack) << c.ratio;
                EXPECT_EQ(PixelAt(surface, cx - c.arm - 1, y), kWhite) << c.ratio;
                EXPECT_EQ(PixelAt(surface, cx + 1, y + 1), kWhite) << c.ratio;
            }
        }
        // No cross under the mouse and no line between the points.
        const CPoint mouse(static_cast<int>(80 * c.ratio + 0.5f), static_cast<int>(40 * c.ratio + 0.5f));
        EXPECT_EQ(PixelAt(surface, mouse.x, mouse.y), kWhite) << c.ratio;
        EXPECT_EQ(PixelAt(surface, static_cast<int>(30 * c.ratio + 0.5f), y), kWhite) << c.ratio;
    }
}

TEST(BestFitLine, FinishedItPaintsTheSegmentWithItsEndPixel)
{
    LineFamilyScene s;
    s.container.SetDisplayData(0);
    CQvGObjectBestFitLine* fit = FitThrough(s, {{20, 30}, {60, 30}, {100, 30}}, CPoint(100, 30));
    ASSERT_NE(fit, nullptr);
    fit->GetProperty().SetLineColor(0x000000);
    QImage surface = BlankSurface(LineFamilyScene::kWidth, LineFamilyScene::kHeight);
    CDC dc(surface);
    s.container.Draw(&dc, -1);
    for (int x : {20, 60, 100})
        EXPECT_EQ(PixelAt(surface, x, 30), kBlack) << x;
    EXPECT_EQ(PixelAt(surface, 101, 30), kWhite);
    EXPECT_EQ(PixelAt(surface, 20, 25), kWhite);  // the crosses are gone
    EXPECT_EQ(testing_support::CountColour(surface, kBlack), 81);
}
