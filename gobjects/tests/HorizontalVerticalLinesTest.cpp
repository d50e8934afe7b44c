// The four axis measurements: horizontal and vertical guides (11, 12) and the point-to-point dimension lines
// (13, 14), drawn and edited through the container's mouse entry points.
#include "LineFamilyScene.h"

#include "testing/RenderCheck.h"
#include "gdi/CRgn.h"

#include <gtest/gtest.h>

namespace {

using testing_support::BlankSurface;
using testing_support::PixelAt;

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

const OBJ_SHAPE kAxisShapes[] = {SHAPE_HLINE, SHAPE_VLINE, SHAPE_HLINE_POINT_TO_POINT, SHAPE_VLINE_POINT_TO_POINT};

}  // namespace

TEST(AxisLines, ClickedTwiceTheyMeasureAlongTheirAxisInEveryOrderAndEdition)
{
    struct Case
    {
        OBJ_SHAPE shape;
        int32_t editionKind;  // the quantity edition 1 adds
        bool endMovesX;       // the second point follows the mouse across
        bool endMovesY;       // and down
        const char* value;    // of Length and, in edition 1, of the edition's quantity
        const char* centre;   // clicked at (10,20), then (40,60)
    };
    // At 0.5 units per pixel the clicks are 15 units across and 20 down. The guides' second point follows the
    // mouse only along the measured axis, as its handle does later.
    const Case cases[] = {
        {SHAPE_HLINE, CAL_HEIGHT, false, true, "20.00", "(5.00,20.00)"},
        {SHAPE_VLINE, CAL_WIDTH, true, false, "15.00", "(12.50,10.00)"},
        {SHAPE_HLINE_POINT_TO_POINT, CAL_WIDTH, true, true, "15.00", "(12.50,20.00)"},
        {SHAPE_VLINE_POINT_TO_POINT, CAL_HEIGHT, true, true, "20.00", "(12.50,20.00)"},
    };
    for (const Case& c : cases) {
        for (OEM_PRODUCT edition : {1, 6}) {
            for (bool reversed : {false, true}) {
                ScopedEdition guard(edition);
                LineFamilyScene s;
                const CPoint a = reversed ? CPoint(40, 60) : CPoint(10, 20);
                const CPoint b = reversed ? CPoint(10, 20) : CPoint(40, 60);
                CQvGObject* obj = s.Click(c.shape, {a, b});
                const std::string where = std::to_string(c.shape) + " edition " + std::to_string(edition) +
                                          (reversed ? " reversed" : "");
                ASSERT_NE(obj, nullptr) << where;
                EXPECT_EQ(obj->GetObjShape(), c.shape);
                EXPECT_EQ(obj->GetState(), GS_FINISHED) << where;
                EXPECT_EQ(s.container.GetObjState(), GS_FINISHED) << where;
                ASSERT_EQ(obj->GetPointCount(), 2) << where;
                EXPECT_EQ(obj->GetPoint()[0], (_RPOINT{double(a.x), double(a.y)})) << where;
                const _RPOINT end{double(c.endMovesX ? b.x : a.x), double(c.endMovesY ? b.y : a.y)};
                EXPECT_EQ(obj->GetPoint()[1], end) << where;

                const int32_t otherKind = c.editionKind == CAL_HEIGHT ? CAL_WIDTH : CAL_HEIGHT;
                obj->SetCalType();
                EXPECT_EQ(obj->GetCalType(), (edition == 1 ? c.editionKind : CAL_LENGTH) | 0x7000) << where;
                EXPECT_EQ(LineFamilyScene::Text(obj, CAL_LENGTH), c.value) << where;
                EXPECT_EQ(LineFamilyScene::Text(obj, c.editionKind), edition == 1 ? c.value : "Not yet") << where;
                EXPECT_EQ(LineFamilyScene::Text(obj, otherKind), "Not yet") << where;
                EXPECT_EQ(LineFamilyScene::Text(obj, CAL_X_ANGLE), "Not yet") << where;
                if (!reversed) {
                    EXPECT_EQ(LineFamilyScene::Text(obj, CAL_POSITION_CENTER), c.centre) << where;
                }

                ASSERT_EQ(obj->GetLabelCount(), 1) << where;
                obj->SetDispType(CAL_LENGTH);
                obj->UpdateDataLabel();
                EXPECT_EQ(obj->GetLabelObject()->GetProperty().GetComment(), c.value) << where;
            }
        }
    }
}

TEST(AxisLines, HandlesMoveAlongTheAxisOnlyWhileTheBodyMovesFreely)
{
    struct Case
    {
        OBJ_SHAPE shape;
        CPoint end;                  // the second point after clicking (10,20), then (40,60)
        _RPOINT endAfterHandleDrag;  // that point dragged by (5,7)
        CPoint body;                 // a point of the shape away from both points
    };
    const Case cases[] = {
        {SHAPE_HLINE, {10, 60}, {10, 67}, {150, 20}},
        {SHAPE_VLINE, {40, 20}, {45, 20}, {10, 120}},
        {SHAPE_HLINE_POINT_TO_POINT, {40, 60}, {45, 67}, {25, 40}},
        {SHAPE_VLINE_POINT_TO_POINT, {40, 60}, {45, 67}, {25, 40}},
    };
    for (const Case& c : cases) {
        LineFamilyScene s;
        CQvGObject* obj = s.Click(c.shape, {CPoint(10, 20), CPoint(40, 60)});
        ASSERT_NE(obj, nullptr);
        s.Drag(c.end, c.end + CSize(5, 7));
        EXPECT_EQ(obj->GetSelectedHandle(), 1) << c.shape;
        EXPECT_EQ(obj->GetPoint()[1], c.endAfterHandleDrag) << c.shape;
        EXPECT_EQ(obj->GetPoint()[0], (_RPOINT{10, 20})) << c.shape;

        const CRect label = obj->GetLabelObject()->GetMBR();
        s.Drag(c.body, c.body + CSize(3, 4));
        EXPECT_EQ(obj->GetSelectedHandle(), -1) << c.shape;
        EXPECT_EQ(obj->GetPoint()[0], (_RPOINT{13, 24})) << c.shape;
        EXPECT_EQ(obj->GetPoint()[1], (_RPOINT{c.endAfterHandleDrag.x + 3, c.endAfterHandleDrag.y + 4})) << c.shape;
        const CRect moved(label.left + 3, label.top + 4, label.right + 3, label.bottom + 4);
        EXPECT_EQ(obj->GetLabelObject()->GetMBR(), moved) << c.shape;
    }
}

TEST(AxisLines, HitOnGuidesTicksAndLabelMissFarAway)
{
    struct Case
    {
        OBJ_SHAPE shape;
        CPoint onShape;  // far from both clicked points
    };
    // Clicked at (10,20) and (150,100); the guides' second point stays on the first one's column or row.
    const Case cases[] = {
        {SHAPE_HLINE, {195, 100}},
        {SHAPE_VLINE, {150, 140}},
        {SHAPE_HLINE_POINT_TO_POINT, {10, 60}},
        {SHAPE_VLINE_POINT_TO_POINT, {120, 100}},
    };
    for (const Case& c : cases) {
        LineFamilyScene s;
        CQvGObject* obj = s.Click(c.shape, {CPoint(10, 20), CPoint(150, 100)});
        ASSERT_NE(obj, nullptr);
        EXPECT_TRUE(obj->IsSelected(c.onShape)) << c.shape;
        EXPECT_EQ(obj->GetLabelHit(), 0) << c.shape;
        EXPECT_FALSE(obj->IsSelected(CPoint(100, 140))) << c.shape;

        const CRect label = obj->GetLabelObject()->GetMBR();
        const CPoint inLabel(label.right - 1, label.top + 1);
        EXPECT_TRUE(obj->IsSelected(inLabel)) << c.shape;
        EXPECT_EQ(obj->GetLabelHit(), 1) << c.shape;
        EXPECT_EQ(s.container.HitTest(CRect(c.onShape, c.onShape)), obj) << c.shape;
    }
}

TEST(AxisLines, EveryBandReachesTheZoomToleranceBeyondItsEnds)
{
    // Both guides alike: 3 pixels beyond the canvas at zoom 2 and below, 1 pixel above it.
    struct Case
    {
        OBJ_SHAPE shape;
        CPoint beyondFirst, beyondSecond;  // 2 pixels beyond the end of each guide or tick
    };
    const Case cases[] = {
        {SHAPE_HLINE, {202, 20}, {-2, 60}},
        {SHAPE_VLINE, {10, 152}, {40, -2}},
        {SHAPE_HLINE_POINT_TO_POINT, {10, 62}, {40, 18}},
        {SHAPE_VLINE_POINT_TO_POINT, {42, 20}, {8, 60}},
    };
    for (const Case& c : cases) {
        for (float ratio : {1.0f, 3.0f}) {
            LineFamilyScene s;
            CQvGObject* obj = s.Click(c.shape, {CPoint(10, 20), CPoint(40, 60)});
            ASSERT_NE(obj, nullptr);
            s.container.SetRatio(ratio);
            CRgn region;
            ASSERT_EQ(obj->GetHitTestRgn(region), 1);
            EXPECT_EQ(region.PtInRegion(c.beyondFirst) != 0, ratio <= 2.0f) << c.shape << " zoom " << ratio;
            EXPECT_EQ(region.PtInRegion(c.beyondSecond) != 0, ratio <= 2.0f) << c.shape << " zoom " << ratio;
        }
    }
}

TEST(AxisLines, CursorsAndBoundingBoxes)
{
    struct Case
    {
        OBJ_SHAPE shape;
        CPoint end;  // the second point after clicking (40,60), then (10,20)
        UINT cursor;
        CRect box;
    };
    const Case cases[] = {
        {SHAPE_HLINE, {40, 20}, 32645, {-4, 16, 204, 64}},
        {SHAPE_VLINE, {10, 60}, 32644, {6, -4, 44, 154}},
        {SHAPE_HLINE_POINT_TO_POINT, {10, 20}, 32644, {6, 16, 44, 64}},
        {SHAPE_VLINE_POINT_TO_POINT, {10, 20}, 32645, {6, 16, 44, 64}},
    };
    for (const Case& c : cases) {
        LineFamilyScene s;
        CQvGObject* obj = s.Click(c.shape, {CPoint(40, 60), CPoint(10, 20)});
        ASSERT_NE(obj, nullptr);
        EXPECT_EQ(obj->GetCursorShape(CRect(36, 56, 44, 64)), c.cursor) << c.shape;
        EXPECT_EQ(obj->GetCursorShape(CRect(c.end.x - 4, c.end.y - 4, c.end.x + 4, c.end.y + 4)), c.cursor) << c.shape;
        EXPECT_EQ(obj->GetCursorShape(CRect(20, 30, 30, 40)), CQvGObject::kNoCursor) << c.shape;
        EXPECT_EQ(obj->GetMBR(), c.box) << c.shape;
    }
}

TEST(AxisLines, PaintedGuidesAndDimensionLines)
{
    struct Case
    {
        OBJ_SHAPE shape;
        std::vector<CPoint> painted;
        std::vector<CPoint> blank;
    };
    // Clicked at (10,20) and (40,60); LineTo leaves every line's last pixel out.
    const Case cases[] = {
        // Guides along rows 20 and 60 up to column 198; the segment down column 10.
        {SHAPE_HLINE, {{0, 20}, {198, 20}, {0, 60}, {198, 60}, {10, 40}}, {{199, 20}, {199, 60}, {25, 40}}},
        // Guides down columns 10 and 40 to row 148; the segment along row 20, its end pixel included.
        {SHAPE_VLINE, {{10, 0}, {10, 148}, {40, 0}, {40, 148}, {25, 20}, {40, 20}}, {{10, 149}, {40, 149}, {25, 40}}},
        // Ticks from row 20 to 59 at columns 10 and 40, the dimension line along row 40; no end pixel.
        {SHAPE_HLINE_POINT_TO_POINT, {{10, 20}, {10, 59}, {40, 20}, {40, 59}, {11, 40}, {39, 40}},
         {{10, 60}, {40, 60}, {9, 40}, {41, 40}, {25, 39}}},
        // Ticks from column 10 to 39 along rows 20 and 60, the dimension line down column 25; no end pixel.
        {SHAPE_VLINE_POINT_TO_POINT, {{10, 20}, {39, 20}, {10, 60}, {39, 60}, {25, 21}, {25, 59}},
         {{40, 20}, {40, 60}, {25, 19}, {25, 61}, {24, 40}}},
    };
    for (const Case& c : cases) {
        LineFamilyScene s;
        s.container.SetDisplayData(0);
        CQvGObject* obj = s.Click(c.shape, {CPoint(10, 20), CPoint(40, 60)});
        ASSERT_NE(obj, nullptr);
        obj->GetProperty().SetLineColor(0x000000);
        QImage surface = BlankSurface(LineFamilyScene::kWidth, LineFamilyScene::kHeight);
        CDC dc(surface);
        s.container.Draw(&dc, -1);
        for (CPoint p : c.painted)
            EXPECT_EQ(PixelAt(surface, p.x, p.y), kBlack) << c.shape << " at " << p.x << "," << p.y;
        for (CPoint p : c.blank)
            EXPECT_EQ(PixelAt(surface, p.x, p.y), kWhite) << c.shape << " at " << p.x << "," << p.y;
    }
}

TEST(AxisLines, RubberBandDrawnTwiceLeavesNoTrace)
{
    for (OBJ_SHAPE shape : kAxisShapes) {
        LineFamilyScene s;
        s.container.SetDisplayData(0);
        ASSERT_EQ(s.container.AddObject(shape), 1);
        CQvGObject* obj = s.container.GetCreatingObject();
        s.container.LButtonDown(LineFamilyScene::kLeftButton, CPoint(10, 20));
        s.container.MouseMove(s.dc.get(), 0, CPoint(40, 60));
        s.container.MouseMove(s.dc.get(), 0, CPoint(70, 90));
        // The band of the last move is on the surface; drawing it once more in the same raster operation erases
        // it completely, so earlier positions left nothing behind either.
        const CPoint origin = s.container.GetRelativePoint();
        const float ratio = s.container.GetRatio();
        s.dc->SetROP2(R2_NOT);
        obj->Draw(s.dc.get(), &origin, &ratio, 1);
        EXPECT_TRUE(testing_support::ImagesMatch(s.canvas.surface,
                                                 BlankSurface(LineFamilyScene::kWidth, LineFamilyScene::kHeight),
                                                 "axis-rubber-erase"))
            << shape;
    }
}
