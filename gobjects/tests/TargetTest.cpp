#include "gobjects/shapes/CQvGObjectTarget.h"
#include "MarkerScene.h"
#include "testing/MessageBoxRecorder.h"

#include "gdi/CRecordingDC.h"
#include "stream/LeStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

using testing_support::CountColour;
using testing_support::ImagesMatch;
using testing_support::PixelAt;

namespace {

// Whether anything black lies on the pixel or next to it (ellipses may round a pixel either way).
bool InkNear(const QImage& image, int x, int y)
{
    return CountColour(image, 0x000000, QRect(x - 1, y - 1, 3, 3)) > 0;
}

// A target clicked at (100, 75) in black with the given defaults.
CQvGObjectTarget* ClickTarget(MarkerScene& s, float gap, double factor, int32_t flags)
{
    g_GOPropertyTotal.SetTargetGap(gap);
    g_GOPropertyTotal.SetTargetFactor(factor);
    g_GOPropertyTotal.SetTargetFlags(flags);
    auto* target = dynamic_cast<CQvGObjectTarget*>(s.Click(SHAPE_TARGET, {CPoint(100, 75)}));
    if (target)
        target->GetProperty().SetLineColor(0x000000);
    return target;
}

// Ring probes around (100, 75): on the circle of radius 20 (12, 16 away) and on the right side of the square of
// half-side 20 (20, 10 away); neither lies on the cross-hair.
constexpr CPoint kOnCircle20(112, 91);
constexpr CPoint kOnSquare20(120, 85);
// On the circle of radius 10.
constexpr CPoint kOnCircle10(106, 83);

}  // namespace

TEST(Target, OneClickMakesItWithTheShapesDefaults)
{
    MarkerScene s;
    CQvGObjectTarget* target = ClickTarget(s, 15.0f, 0.5, CQvGObjectTarget::kCircles | CQvGObjectTarget::kSquares);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->GetState(), GS_FINISHED);
    EXPECT_EQ(target->GetPointCount(), 1);
    EXPECT_EQ(target->GetGap(), 15.0);
    EXPECT_EQ(target->GetCalibrationFactor(), 0.5);
    EXPECT_EQ(target->GetShapeFlags(), 3);
    EXPECT_EQ(target->GetDefaultDataString(), "(50.00,37.50)");
    EXPECT_EQ(target->GetLabelCount(), 1);
    EXPECT_EQ(target->IsDisplayValue(), 0);
    EXPECT_EQ(target->NeedROP(), 0);
}

TEST(Target, FreshDefaultsDrawRings)
{
    MarkerScene s;
    s.container.SetDisplayData(0);
    s.calib.SetUnitsPerPixel(1.0);
    g_GOPropertyTotal.Initialize();
    auto* target = dynamic_cast<CQvGObjectTarget*>(s.Click(SHAPE_TARGET, {CPoint(100, 75)}));
    ASSERT_NE(target, nullptr);
    target->GetProperty().SetLineColor(0x000000);
    EXPECT_EQ(target->GetShapeFlags(), CQvGObjectTarget::kCircles);
    EXPECT_TRUE(InkNear(s.Paint(), kOnCircle20.x, kOnCircle20.y));
}

TEST(Target, RingsDrawnPerShapeBitAcrossAFullImageCrossHair)
{
    struct Case
    {
        int32_t flags;
        bool circle, square;
    };
    const Case cases[] = {{0, false, false}, {1, true, false}, {2, false, true}, {3, true, true}};
    for (const Case& c : cases) {
        MarkerScene s;
        s.container.SetDisplayData(0);
        s.calib.SetUnitsPerPixel(1.0);
        ClickTarget(s, 20.0f, 1.0, c.flags);
        const QImage surface = s.Paint();
        EXPECT_EQ(InkNear(surface, kOnCircle20.x, kOnCircle20.y), c.circle) << c.flags;
        EXPECT_EQ(PixelAt(surface, kOnSquare20.x, kOnSquare20.y) == 0x000000u, c.square) << c.flags;
        for (CPoint p : {CPoint(0, 75), CPoint(198, 75), CPoint(100, 0), CPoint(100, 148)})
            EXPECT_EQ(PixelAt(surface, p.x, p.y), 0x000000u) << c.flags << " " << p.x << "," << p.y;
    }
}

TEST(Target, RingsKeepTheirPixelSpacingWhenTheCalibrationChanges)
{
    MarkerScene s;
    s.container.SetDisplayData(0);
    s.calib.SetUnitsPerPixel(1.0);
    CQvGObjectTarget* target = ClickTarget(s, 20.0f, 1.0, CQvGObjectTarget::kCircles);
    const QImage before = s.Paint();
    EXPECT_TRUE(InkNear(before, kOnCircle20.x, kOnCircle20.y));

    s.calib.SetUnitsPerPixel(0.5);
    EXPECT_DOUBLE_EQ(target->GetCurrentGap(), 10.0);
    const QImage after = s.Paint();
    EXPECT_DOUBLE_EQ(target->GetGap(), 10.0);
    EXPECT_EQ(target->GetCalibrationFactor(), 0.5);
    EXPECT_TRUE(ImagesMatch(after, before, "target-recalibrated"));
}

TEST(Target, TooSmallAGapIsRaisedSilentlyWhilePainting)
{
    MarkerScene s;
    s.container.SetDisplayData(0);
    // 3 units at 0.5 units per pixel: 6 pixels.
    CQvGObjectTarget* target = ClickTarget(s, 3.0f, 0.5, CQvGObjectTarget::kCircles);
    const QImage surface = s.Paint();
    EXPECT_DOUBLE_EQ(target->GetGap(), 5.0);
    EXPECT_TRUE(InkNear(surface, kOnCircle10.x, kOnCircle10.y));
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty());
    EXPECT_EQ(g_GOPropertyTotal.GetTargetGap(), 3.0f);
}

TEST(Target, PageGapBelowTenPixelsIsRefusedAndTenPixelsTaken)
{
    struct Case
    {
        double gap;
        int accepted;
        double result;
    };
    const Case cases[] = {
        {12.7, 1, 12.7}, {5.0, 1, 5.0}, {4.99, 0, 5.0}, {0.0, 0, 5.0}, {-8.0, 0, 5.0},
        {std::numeric_limits<double>::quiet_NaN(), 0, 5.0},
    };
    for (const Case& c : cases) {
        MarkerScene s;
        CQvGObjectTarget* target = ClickTarget(s, 20.0f, 1.0, CQvGObjectTarget::kCircles);
        EXPECT_EQ(target->SetGap(c.gap), c.accepted) << c.gap;
        EXPECT_DOUBLE_EQ(target->GetGap(), c.result) << c.gap;
        EXPECT_EQ(target->GetCalibrationFactor(), 0.5);
        EXPECT_EQ(g_GOPropertyTotal.GetTargetGap(), static_cast<float>(c.result)) << c.gap;
        EXPECT_EQ(g_GOPropertyTotal.GetTargetFactor(), 0.5);
    }
}

TEST(Target, GapTravelsAsAFloatAndRingsStayPutAfterReloading)
{
    MarkerScene s;
    CQvGObjectTarget* target = ClickTarget(s, 20.0f, 1.0, CQvGObjectTarget::kCircles | CQvGObjectTarget::kSquares);
    ASSERT_EQ(target->SetGap(12.7), 1);

    TempStream record;
    ASSERT_EQ(target->Write(record.file(), 1.5f), 1);
    const std::vector<uint8_t> bytes = record.Contents();
    ASSERT_GE(bytes.size(), 8u);
    Bytes tail;
    tail.AddFloat(12.7f);
    tail.Add32(3);
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 8, bytes.end()), tail.data);

    const QImage before = s.Paint();
    ExpectStreamRoundTrip(s, s.Stream());
    auto* reloaded = dynamic_cast<CQvGObjectTarget*>(s.container.GetMainObjList().front());
    ASSERT_NE(reloaded, nullptr);
    EXPECT_EQ(reloaded->GetGap(), static_cast<double>(12.7f));
    EXPECT_EQ(reloaded->GetCalibrationFactor(), 0.5);
    EXPECT_EQ(reloaded->GetShapeFlags(), 3);
    EXPECT_TRUE(ImagesMatch(s.Paint(), before, "target-reloaded"));
}

TEST(Target, GapThatIsNoPositiveNumberReadsAsTwenty)
{
    for (float stored : {0.0f, -4.0f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        MarkerScene s;
        CQvGObjectTarget* target = ClickTarget(s, 20.0f, 1.0, CQvGObjectTarget::kCircles);
        TempStream record;
        ASSERT_EQ(target->Write(record.file(), 1.5f), 1);
        Bytes bytes;
        bytes.data = record.Contents();
        bytes.PutFloat(bytes.data.size() - 8, stored);

        TempStream in(bytes.data);
        LeReader reader(in.file());
        ASSERT_EQ(reader.Int32(), SHAPE_TARGET);
        CQvGObject* copy = s.container.CreateObject(SHAPE_TARGET);
        copy->SetContainer(&s.container);
        ASSERT_EQ(copy->Read(in.file(), 1.5f), 1) << stored;
        EXPECT_EQ(static_cast<CQvGObjectTarget*>(copy)->GetGap(), 20.0) << stored;
        copy->RemoveAll();
    }
}

TEST(Target, PickedAtItsPointOrLabelAndRepaintedOverTheWholeCanvas)
{
    MarkerScene s;
    CQvGObjectTarget* target = ClickTarget(s, 20.0f, 1.0, CQvGObjectTarget::kCircles);
    EXPECT_EQ(s.Pick(CPoint(100, 75)), target);
    EXPECT_EQ(s.Pick(CPoint(30, 20)), nullptr);
    const CRect label = target->GetLabelObject()->GetMBR();
    EXPECT_EQ(s.Pick(CPoint((label.left + label.right) / 2, (label.top + label.bottom) / 2)), target);
    EXPECT_EQ(target->GetLabelHit(), 1);

    const CRect dirty = target->GetInvalidateRect();
    EXPECT_TRUE(dirty.PtInRect(CPoint(0, 0)));
    EXPECT_TRUE(dirty.PtInRect(CPoint(199, 149)));
}

TEST(Target, OnlyTheRingsThatMeetTheWindowArePainted)
{
    // On a 65536-pixel canvas a target in its middle has 1638 rings. A 200 x 150 window on the canvas's top edge
    // right above the target meets eight of them; at a tiny zoom all of them round to one box, painted twice (as
    // often as painting it 1638 times matters in an inverting mode).
    struct Case
    {
        const char* what;
        float ratio;
        CPoint origin;
        int most;
        CPoint onRing;  // a window pixel the outermost ring crosses, away from the cross-hair
    };
    const Case cases[] = {
        {"window above the target", 1.0f, CPoint(100 - 32768, 0), 10, CPoint(60, 8)},
        {"tiny zoom", 1e-30f, CPoint(120, 40), 2, CPoint(121, 41)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MarkerScene s;
        s.calib.SetUnitsPerPixel(1.0);
        s.container.SetDisplayData(0);
        s.container.SetCanvasSize(CSize(65536, 65536));
        ASSERT_NE(ClickTarget(s, 20.0f, 1.0, CQvGObjectTarget::kCircles), nullptr);
        CQvGObject* target = s.container.GetMainObjList().front();
        target->GetPoint()[0] = _RPOINT{32768, 32768};
        s.container.SetRelative(c.origin);
        s.container.SetRatio(c.ratio);
        QImage surface = testing_support::BlankSurface(MarkerScene::kWidth, MarkerScene::kHeight);
        CRecordingDC dc(surface);
        s.container.Draw(&dc, 2);
        const auto rings = std::count_if(dc.Calls().begin(), dc.Calls().end(),
                                         [](const std::string& call) { return call.starts_with("Ellipse("); });
        EXPECT_GE(rings, c.most / 2);
        EXPECT_LE(rings, c.most);
        EXPECT_TRUE(InkNear(surface, c.onRing.x, c.onRing.y));
    }
}
