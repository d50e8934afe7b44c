#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectLabel.h"
#include "TestGObject.h"

#include "calibkeeper/CCalibKeeper.h"

#include <gtest/gtest.h>

namespace {

struct ValueCase
{
    int32_t kind;
    int decimals;
    bool calibrated;  // units per pixel 0.5; without a calibration the factor is 1
    const char* expected;
};

}  // namespace

TEST(GObjectValue, FormatsQuantitiesWithTheContainersDecimalsAndCalibration)
{
    const ValueCase cases[] = {
        {CAL_POSITION_START, 2, true, "(5.00,10.00)"},
        {CAL_POSITION_END, 0, true, "(5,10)"},
        {CAL_POSITION_CENTER, 1, false, "(10.0,20.0)"},
        {CAL_LENGTH, 3, true, "3.142"},  // already calibrated by the shape: not multiplied again
        {CAL_LENGTH, 0, true, "3"},
        {CAL_AREA, 3, true, "Not yet"},
        {CAL_LENGTH, 1000000, true, "3.14158999999999988262"},  // absurd decimals from a file are capped
    };
    for (const ValueCase& c : cases) {
        CCalibKeeper calib;
        calib.SetUnitsPerPixel(0.5);
        CQvGObjectContainer container;
        container.SetDecimalPointRange(c.decimals);
        if (c.calibrated)
            container.ConnectCalibKeeper(&calib);
        TestGObject obj;
        obj.SetContainer(&container);
        obj.SetPoints({{10, 20}, {30, 40}});
        obj.SetCalType();
        tagCAL_DATA data;
        data.kind = c.kind;
        EXPECT_EQ(obj.GetDataString(data, 0), c.expected) << "kind " << c.kind;
    }
}

TEST(GObjectValue, WorksWithoutAContainerAndGivesTheDefaultQuantity)
{
    TestGObject obj;
    obj.SetPoints({{10, 20}, {30, 40}});
    obj.SetDispType(CAL_POSITION_START);
    EXPECT_EQ(obj.GetDefaultDataString(), "(10.000,20.000)");
    EXPECT_EQ(obj.GetDefaultData().kind, CAL_POSITION_START);
}

TEST(GObjectValue, TitlesNameSingleQuantityBitsOnly)
{
    EXPECT_EQ(CQvGObject::GetValueTitle(CAL_LENGTH), "Length");
    EXPECT_EQ(CQvGObject::GetValueTitle(CAL_AREA), "Area");
    EXPECT_EQ(CQvGObject::GetValueTitle(CAL_CURVATURE), "Curvature");
    for (int notOneBit : {0, 3, 0x10000, -1, 0x7061})
        EXPECT_EQ(CQvGObject::GetValueTitle(notOneBit), "") << notOneBit;
}

TEST(GObjectValue, LabelTextGetsTheTitleOnlyOnRefresh)
{
    CQvGObjectContainer container;
    container.SetDecimalPointRange(3);
    container.SetValueTitle(1);
    TestGObject obj;
    obj.SetContainer(&container);
    obj.SetPoints({{10, 20}, {30, 40}});
    obj.SetDispType(CAL_LENGTH);
    obj.GetProperty().SetName("Line-1");
    CQvGObject* label = obj.AddLabelObject(CPoint(20, 30));
    EXPECT_EQ(label->GetProperty().GetComment(), "3.142");  // a new label carries no title
    EXPECT_EQ(label->GetProperty().GetName(), "Line-1");

    obj.UpdateDataLabel();  // not finished yet: nothing changes
    EXPECT_EQ(label->GetProperty().GetComment(), "3.142");
    obj.Finish();
    obj.UpdateDataLabel();
    EXPECT_EQ(label->GetProperty().GetComment(), "Length:3.142");
    container.SetValueTitle(0);
    obj.UpdateDataLabel();
    EXPECT_EQ(label->GetProperty().GetComment(), "3.142");

    obj.SetGOType(GOTYPE_LINE);  // annotations keep their labels' texts
    container.SetValueTitle(1);
    obj.UpdateDataLabel();
    EXPECT_EQ(label->GetProperty().GetComment(), "3.142");
}

TEST(GObjectValue, ValueLabelsTakeTheLabelLookAndKeepItWhenAttributesArrive)
{
    CQvGObjectContainer container;
    TestGObject obj;
    obj.SetContainer(&container);
    obj.SetPoints({{10, 20}, {30, 40}});
    obj.GetProperty().SetTextColor(0x0000FF);
    CQvGObject* label = obj.AddLabelObject(CPoint(20, 30));
    ASSERT_NE(dynamic_cast<CQvGObjectLabel*>(label), nullptr);
    EXPECT_EQ(label->GetObjShape(), SHAPE_LABEL);
    EXPECT_EQ(label->GetGOType(), GOTYPE_TEXT);
    EXPECT_EQ(label->GetState(), GS_FINISHED);
    EXPECT_EQ(label->GetContainer(), &container);
    EXPECT_EQ(obj.GetLabelObject(), label);

    auto expectLabelLook = [&](const char* when) {
        const CQvGObjectProperty& look = label->GetProperty();
        EXPECT_EQ(look.GetLineColor(), 0xC8C8C8u) << when;
        EXPECT_EQ(look.GetLineType(), 2) << when;
        EXPECT_EQ(look.GetLineWeight(), 1) << when;
        EXPECT_EQ(look.GetFillColor(), 0xC8C8C8u) << when;
        EXPECT_EQ(look.GetFillPattern(), 0) << when;
    };
    expectLabelLook("created");
    EXPECT_EQ(label->GetProperty().GetTextColor(), 0x0000FFu);

    CQvGObjectProperty red;
    red.SetLineColor(0x0000FF);
    red.SetLineWeight(4);
    red.SetFillPattern(1);
    red.SetTextColor(0x00FF00);
    red.SetName("renamed");
    obj.SetBaseProperty(red);
    expectLabelLook("SetBaseProperty");
    EXPECT_EQ(label->GetProperty().GetTextColor(), 0x00FF00u);
    EXPECT_EQ(label->GetProperty().GetName(), "");

    obj.SetProperty(red);
    expectLabelLook("SetProperty");
    EXPECT_EQ(obj.GetProperty().GetLineColor(), 0x0000FFu);
    EXPECT_EQ(label->GetProperty().GetName(), "renamed");
}

TEST(GObjectValue, AnnotationLabelsCarryNoText)
{
    TestGObject obj(SHAPE_ANNO_LINE, GOTYPE_LINE);
    obj.SetPoints({{10, 20}, {30, 40}});
    obj.GetProperty().SetName("arrow");
    CQvGObject* label = obj.AddLabelObject(CPoint(20, 30));
    EXPECT_EQ(label->GetProperty().GetName(), "");
    EXPECT_EQ(label->GetProperty().GetComment(), "");
}
