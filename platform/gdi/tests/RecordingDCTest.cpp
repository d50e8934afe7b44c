// The recording DC logs each primitive and draws it when it has a surface.
#include "gdi/CRecordingDC.h"

#include "testing/RenderCheck.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingDC, LogsEachPrimitiveWithItsArguments)
{
    CRecordingDC dc;
    const POINT points[] = {{1, 2}, {3, 4}, {5, 6}};
    const RECT rect{1, 2, 3, 4};
    CRect text(0, 0, 10, 10);
    dc.MoveTo(10, 20);
    dc.LineTo(CPoint(30, 40));
    dc.Polyline(points, 3);
    dc.Polygon(points, 3);
    dc.Rectangle(&rect);
    dc.Ellipse(5, 6, 7, 8);
    dc.Arc(0, 0, 10, 10, 10, 5, 5, 0);
    dc.SetPixel(1, 1, RGB(0x12, 0x34, 0x56));
    dc.FillSolidRect(&rect, RGB(255, 0, 0));
    dc.PatBlt(1, 2, 3, 4, DSTINVERT);
    dc.Draw3dRect(&rect, RGB(255, 255, 255), RGB(0, 0, 0));
    dc.DrawFocusRect(&rect);
    dc.InvertRect(&rect);
    dc.DrawText("ab", text, DT_CENTER | DT_SINGLELINE);
    dc.TextOut(4, 5, "cd");
    const std::vector<std::string> expected = {
        "MoveTo(10,20)",
        "LineTo(30,40)",
        "Polyline(1,2,3,4,5,6)",
        "Polygon(1,2,3,4,5,6)",
        "Rectangle(1,2,3,4)",
        "Ellipse(5,6,7,8)",
        "Arc(0,0,10,10,10,5,5,0)",
        "SetPixel(1,1,0x563412)",
        "FillSolidRect(1,2,3,4,0x0000FF)",
        "PatBlt(1,2,3,4,0x00550009)",
        "Draw3dRect(1,2,3,4,0xFFFFFF,0x000000)",
        "DrawFocusRect(1,2,3,4)",
        "InvertRect(1,2,3,4)",
        "DrawText(\"ab\",0,0,10,10,0x0021)",
        "TextOut(4,5,\"cd\")",
    };
    EXPECT_EQ(dc.Calls(), expected);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(30, 40));
    dc.ClearCalls();
    EXPECT_TRUE(dc.Calls().empty());
}

TEST(RecordingDC, DrawsWhenGivenASurfaceAndStillMeasures)
{
    QImage surface = testing_support::BlankSurface(10, 10);
    CRecordingDC dc(surface);
    dc.MoveTo(1, 1);
    dc.LineTo(8, 1);
    EXPECT_EQ(testing_support::CountColour(surface, 0x000000), 7);

    CRecordingDC recorder;
    CRect box(0, 0, 1, 1);
    EXPECT_GT(recorder.DrawText("measure me", box, DT_CALCRECT), 0);
    EXPECT_GT(box.Width(), 20);
}

}  // namespace
