#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectLabel.h"
#include "TestGObject.h"

#include "calibkeeper/CCalibKeeper.h"
#include "gdi/CMeasureDC.h"
#include "gdi/CRecordingDC.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct LabelScene
{
    CCalibKeeper calib;
    CQvGObjectContainer container;
    CQvGObjectLabel* label = new CQvGObjectLabel;  // freed through RemoveAll

    LabelScene(const std::string& name, const std::string& value)
    {
        calib.SetUnit(UNIT_MILLIMETER);
        container.ConnectCalibKeeper(&calib);
        container.SetDisplayName(1);
        label->SetContainer(&container);
        label->GetProperty().SetName(name);
        label->GetProperty().SetComment(value);
    }
    ~LabelScene() { label->RemoveAll(); }

    void Place(CPoint p)
    {
        label->AddPoint(p);
        label->AddPoint(p);
        label->Finish();
    }

    std::vector<std::string> Paint(int flag = 0)
    {
        CRecordingDC dc;
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        label->DrawShape(&dc, &origin, &ratio, flag);
        return dc.Calls();
    }
};

bool Mentions(const std::vector<std::string>& calls, const std::string& text)
{
    return std::any_of(calls.begin(), calls.end(),
                       [&](const std::string& call) { return call.find(text) != std::string::npos; });
}

}  // namespace

TEST(Label, NewLabelIsCentredOnItsPointAndSizedToItsText)
{
    LabelScene s("L1", "12.345");
    s.Place(CPoint(100, 100));

    CMeasureDC measure;
    CFont font;
    LOGFONTA logFont = s.label->GetProperty().GetFont();
    font.CreateFontIndirect(&logFont);
    measure.SelectObject(&font);
    CRect text(0, 0, 10, 10);
    measure.DrawText("L1\n12.345", text, DT_CALCRECT | DT_NOCLIP);
    const int symbol = CCalibKeeper::DrawSymbol(&measure, CPoint(), UNIT_MILLIMETER, 0, 1, 1);
    ASSERT_GT(symbol, 0);
    EXPECT_GE(text.Width(), measure.GetTextExtent("12.345").cx);
    const int width = text.Width() + symbol + 2;

    const _RPOINT* corners = s.label->GetPoint();
    const CRect box(int(corners[0].x), int(corners[0].y), int(corners[1].x), int(corners[1].y));
    EXPECT_EQ(box, CRect(100 - (width / 2 + 2), 100 - text.Height() / 2, 100 + width / 2 + 2,
                         100 + text.Height() / 2));
    // Sized again (every paint does it), a placed box keeps its top-left corner and its size.
    const CRect again = s.label->GetMBR();
    EXPECT_EQ(again.TopLeft(), box.TopLeft());
    EXPECT_EQ(again.Width(), width);
    EXPECT_EQ(again.Height(), text.Height());
    EXPECT_EQ(s.label->GetMBR(), again);
}

TEST(Label, PlacedBoxStaysPutThroughRepeatedSizing)
{
    for (CPoint at : {CPoint(100, 100), CPoint(-7, -9)}) {
        LabelScene s("", "12.345");
        s.Place(at);
        const CRect sized = s.label->GetMBR();
        for (int paint = 0; paint < 3; ++paint)
            EXPECT_EQ(s.label->GetMBR(), sized) << at.x;
    }
}

TEST(Label, BoxWithoutTextsKeepsItsCorners)
{
    LabelScene s("", "");
    s.Place(CPoint(40, 30));
    EXPECT_EQ(s.label->GetMBR(), CRect(40, 30, 40, 30));
}

TEST(Label, QuantityFlagsChooseTheSymbol)
{
    struct Case
    {
        int area, angle, curvature;
        const char* value;
        const char* symbol;  // null: no symbol at all
    };
    const Case cases[] = {
        {0, 0, 0, "\"12.345\"", "\"mm\""},
        {1, 0, 0, "\"12.345\"", "\"mm²\""},
        {0, 1, 0, "\"12.345\"", "\"°\""},
        {0, 0, 1, "\"12.345%\"", nullptr},
    };
    for (const Case& c : cases) {
        LabelScene s("", "12.345");
        s.Place(CPoint(50, 50));
        s.label->SetAreaFlag(c.area);
        s.label->SetAngleFlag(c.angle);
        s.label->SetCurvatureFlag(c.curvature);
        const std::vector<std::string> calls = s.Paint();
        EXPECT_TRUE(Mentions(calls, c.value)) << c.value;
        if (c.symbol) {
            EXPECT_TRUE(Mentions(calls, c.symbol)) << c.symbol;
        } else {
            EXPECT_FALSE(Mentions(calls, "\"mm") || Mentions(calls, "°")) << "curvature";
        }
    }
}

TEST(Label, PaintsNameAboveValueFilledUnlessHollowAndNothingWhileRubberBanding)
{
    LabelScene s("Line-1", "3.142");
    s.Place(CPoint(60, 60));
    s.label->GetProperty().SetFillPattern(0);
    std::vector<std::string> calls = s.Paint();
    EXPECT_TRUE(Mentions(calls, "FillSolidRect("));
    EXPECT_TRUE(Mentions(calls, "\"Line-1\""));
    EXPECT_TRUE(Mentions(calls, "\"3.142\""));
    EXPECT_TRUE(s.Paint(1).empty());

    s.label->GetProperty().SetFillPattern(1);
    s.container.SetDisplayMark(0);
    s.container.SetDisplayName(0);
    calls = s.Paint();
    EXPECT_FALSE(Mentions(calls, "FillSolidRect("));
    EXPECT_FALSE(Mentions(calls, "\"Line-1\""));
    EXPECT_FALSE(Mentions(calls, "\"mm\""));
    EXPECT_TRUE(Mentions(calls, "\"3.142\""));
}

TEST(Label, OwnerShowingNeitherNameNorValueNeverPaintsItsLabel)
{
    CQvGObjectContainer container;
    container.SetDisplayName(0);
    container.SetDisplayData(0);
    TestGObject owner;
    owner.SetContainer(&container);
    owner.SetPoints({{10, 10}, {20, 20}});
    owner.GetProperty().SetFillPattern(0);
    owner.AddLabelObject(CPoint(60, 60));
    CRecordingDC dc;
    const CPoint origin(0, 0);
    const float ratio = 1.0f;
    owner.Draw(&dc, &origin, &ratio, 0);
    EXPECT_FALSE(Mentions(dc.Calls(), "FillSolidRect("));
    EXPECT_FALSE(Mentions(dc.Calls(), "DrawText("));
}

TEST(Label, HitBoxGrowsByTheZoomTolerance)
{
    LabelScene s("", "");
    s.label->AddPoint(CPoint(10, 10));
    s.label->AddPoint(CPoint(30, 20));
    s.label->Finish();
    for (const auto& [ratio, reach] : {std::pair{1.0f, 3}, std::pair{2.5f, 1}}) {
        s.container.SetRatio(ratio);
        CRgn region;
        ASSERT_EQ(s.label->GetHitTestRgn(region), 1);
        RECT box;
        region.GetRgnBox(&box);
        EXPECT_EQ(CRect(box), CRect(10 - reach, 10 - reach, 30 + reach, 20 + reach)) << ratio;
    }
}

TEST(Label, PlaceholderIsNeverPaintedNorHit)
{
    CQvGObjectContainer container;
    TestGObject owner(SHAPE_Z_INDICATOR);
    owner.SetContainer(&container);
    owner.SetPoints({{10, 10}});
    auto* placeholder = new CQvGObjectDUMMYLabel;
    placeholder->SetContainer(&container);
    placeholder->GetProperty().SetComment("12.0");
    placeholder->AddPoint(CPoint(60, 60));
    placeholder->AddPoint(CPoint(60, 60));
    placeholder->Finish();
    owner.AddLabel(placeholder);
    EXPECT_EQ(placeholder->GetMBR(), CRect());
    EXPECT_FALSE(owner.IsSelected(CPoint(60, 60)));

    CRecordingDC dc;
    const CPoint origin(0, 0);
    const float ratio = 1.0f;
    owner.Draw(&dc, &origin, &ratio, 0);
    EXPECT_FALSE(Mentions(dc.Calls(), "DrawText("));
    EXPECT_FALSE(Mentions(dc.Calls(), "FillSolidRect("));
}

TEST(Label, WithNothingShownTheBoxKeepsItsSizeHoweverOftenItIsSized)
{
    LabelScene s("L1", "12.345");
    s.container.SetDisplayName(0);
    s.container.SetDisplayData(0);
    s.Place(CPoint(100, 100));
    const CRect first = s.label->GetMBR();
    for (int i = 0; i < 5; ++i)
        s.label->GetMBR();
    EXPECT_EQ(s.label->GetMBR(), first);
}

TEST(Label, BoxFollowsEveryChangeOfWhatItShows)
{
    // One label changed step by step keeps its size only while nothing it shows changes: after each step it
    // measures as a new label showing the same.
    struct Step
    {
        const char* name;
        const char* value;
        int unit;
        int area;
        int fontHeight;
        int displayName;
    };
    auto show = [](LabelScene& s, const Step& step) {
        s.label->GetProperty().SetName(step.name);
        s.label->GetProperty().SetComment(step.value);
        s.calib.SetUnit(step.unit);
        s.label->SetAreaFlag(step.area);
        LOGFONTA font = s.label->GetProperty().GetFont();
        font.lfHeight = step.fontHeight;
        s.label->GetProperty().SetFont(font);
        s.container.SetDisplayName(step.displayName);
    };
    const Step steps[] = {
        {"L1", "12.345", UNIT_MILLIMETER, 0, -13, 1},
        {"L1", "1234.5678", UNIT_MILLIMETER, 0, -13, 1},
        {"Length-10 of the slide", "1234.5678", UNIT_MILLIMETER, 0, -13, 1},
        {"Length-10 of the slide", "1234.5678", UNIT_MILLIMETER, 0, -13, 0},
        {"Length-10 of the slide", "1234.5678", UNIT_MICROMETER, 0, -13, 0},
        {"Length-10 of the slide", "1234.5678", UNIT_MICROMETER, 1, -13, 0},
        {"Length-10 of the slide", "1234.5678", UNIT_MICROMETER, 1, -20, 0},
        {"Length-10 of the slide", "1234.5678", UNIT_MICROMETER, 1, -20, 1},
    };
    LabelScene changing("", "");
    changing.Place(CPoint(300, 300));
    CSize previous;
    for (const Step& step : steps) {
        show(changing, step);
        LabelScene fresh("", "");
        show(fresh, step);
        fresh.Place(CPoint(300, 300));
        changing.label->GetMBR();  // the first sizing of an empty box centres it, as placing a new label does
        const CSize size = changing.label->GetMBR().Size();
        EXPECT_EQ(size, fresh.label->GetMBR().Size()) << step.name << " " << step.value;
        EXPECT_NE(size, previous) << step.name << " " << step.value;
        previous = size;
    }
}
