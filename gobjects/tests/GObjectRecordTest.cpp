#include "ByteFixture.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectLabel.h"
#include "TestGObject.h"

#include "stream/LeStream.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

std::vector<uint8_t> PropertyBytes(const CQvGObjectProperty& property)
{
    TempStream stream;
    property.Write(stream.file(), 1.5f);
    return stream.Contents();
}

void AddDouble(Bytes& b, double v)
{
    b.PutDouble(b.data.size(), v);
}

// The record of a measurement with two points and no label, as the stream lays it out.
Bytes MeasurementRecord(const CQvGObjectProperty& property, bool withQuantities)
{
    Bytes b;
    b.Add32(SHAPE_LINE);
    b.Add32(2);
    for (double v : {1.5, 2.5, 30.0, -4.0})
        AddDouble(b, v);
    b.Add32(0);
    b.Add(PropertyBytes(property));
    if (withQuantities) {
        b.Add32(CAL_POSITION_END);
        b.Add32(0x7001);
        b.Add32(CAL_POSITION_END);
        b.Add32(0);  // padding
        AddDouble(b, 1.5);  // the test shape reports its first point for every position
        AddDouble(b, 2.5);
    }
    b.Add32(GOTYPE_MEASURE_ALT);
    return b;
}

// Reads a record the way the container does: the shape code first, then the object's Read.
int ReadRecord(TestGObject& obj, const std::vector<uint8_t>& bytes, float version)
{
    TempStream stream(bytes);
    LeReader in(stream.file());
    obj.SetObjShape(static_cast<OBJ_SHAPE>(in.Int32()));
    return obj.Read(stream.file(), version);
}

}  // namespace

TEST(GObjectRecord, MeasurementRecordIsWrittenFieldByFieldAndReadBack)
{
    TestGObject obj;
    obj.SetPoints({{1.5, 2.5}, {30.0, -4.0}});
    obj.SetGOType(GOTYPE_MEASURE_ALT);
    obj.GetProperty().SetName("L-1");
    obj.SetDispType(CAL_POSITION_END);
    obj.SetCalType();
    obj.GetDefaultDataString();  // fills the default value record

    TempStream out;
    ASSERT_EQ(obj.Write(out.file(), 1.5f), 1);
    const Bytes expected = MeasurementRecord(obj.GetProperty(), true);
    ASSERT_EQ(out.Contents(), expected.data);

    TestGObject back;
    ASSERT_EQ(ReadRecord(back, expected.data, 1.5f), 1);
    EXPECT_EQ(back.GetState(), GS_FINISHED);
    EXPECT_EQ(back.GetGOType(), GOTYPE_MEASURE_ALT);
    ASSERT_EQ(back.GetPointCount(), 2);
    EXPECT_EQ(back.GetPoint()[1], (_RPOINT{30.0, -4.0}));
    EXPECT_EQ(back.GetProperty(), obj.GetProperty());
    EXPECT_EQ(back.GetDispType(), CAL_POSITION_END);
    EXPECT_EQ(back.GetCalType(), 0x7001);
    EXPECT_EQ(back.GetDefaultData().value2, 2.5);
    TempStream again;
    back.Write(again.file(), 1.5f);
    EXPECT_EQ(again.Contents(), expected.data);
}

TEST(GObjectRecord, StreamsUpToVersionOnePointThreeHaveNoQuantityFields)
{
    CQvGObjectProperty property;
    property.SetName("old");
    for (float version : {1.0f, 1.2f, 1.3f}) {
        TestGObject obj;
        obj.SetDispType(CAL_AREA);
        ASSERT_EQ(ReadRecord(obj, MeasurementRecord(property, false).data, version), 1) << version;
        EXPECT_EQ(obj.GetGOType(), GOTYPE_MEASURE_ALT) << version;
        EXPECT_EQ(obj.GetDispType(), CAL_AREA) << "kept its own, version " << version;
        EXPECT_EQ(obj.GetProperty().GetName(), "old");
    }
    TestGObject obj;
    ASSERT_EQ(ReadRecord(obj, MeasurementRecord(property, true).data, 1.4f), 1);
    EXPECT_EQ(obj.GetDispType(), CAL_POSITION_END);
}

TEST(GObjectRecord, LabelsTravelInsideTheirOwnersRecord)
{
    CQvGObjectContainer container;
    TestGObject obj;
    obj.SetContainer(&container);
    obj.SetPoints({{10, 20}, {30, 40}});
    obj.SetDispType(CAL_LENGTH);
    obj.AddLabelObject(CPoint(20, 30));
    obj.GetLabelObject()->GetMBR();  // as the first paint does: a new label is centred, a shown one sized
    TempStream out;
    ASSERT_EQ(obj.Write(out.file(), 1.5f), 1);
    const std::vector<uint8_t> bytes = out.Contents();

    TestGObject back;
    back.SetContainer(&container);
    ASSERT_EQ(ReadRecord(back, bytes, 1.5f), 1);
    ASSERT_EQ(back.GetLabelCount(), 1);
    CQvGObject* label = back.GetLabelObject();
    EXPECT_NE(dynamic_cast<CQvGObjectLabel*>(label), nullptr);
    EXPECT_EQ(dynamic_cast<CQvGObjectDUMMYLabel*>(label), nullptr);
    EXPECT_EQ(label->GetContainer(), &container);
    EXPECT_EQ(label->GetGOType(), GOTYPE_TEXT);
    EXPECT_EQ(label->GetProperty().GetComment(), "3.142");
    EXPECT_EQ(label->GetMBR(), obj.GetLabelObject()->GetMBR());
    TempStream again;
    back.Write(again.file(), 1.5f);
    EXPECT_EQ(again.Contents(), bytes);
}

TEST(GObjectRecord, ZIndicatorLabelStaysAPlaceholderAfterReading)
{
    CQvGObjectContainer container;
    TestGObject obj(SHAPE_Z_INDICATOR);
    obj.SetContainer(&container);
    obj.SetPoints({{10, 20}});
    auto* placeholder = new CQvGObjectDUMMYLabel;
    placeholder->AddPoint(CPoint(10, 20));
    placeholder->AddPoint(CPoint(10, 20));
    placeholder->Finish();
    obj.AddLabel(placeholder);
    TempStream out;
    ASSERT_EQ(obj.Write(out.file(), 1.5f), 1);

    TestGObject back;
    back.SetContainer(&container);
    ASSERT_EQ(ReadRecord(back, out.Contents(), 1.5f), 1);
    EXPECT_EQ(back.GetObjShape(), SHAPE_Z_INDICATOR);
    ASSERT_NE(dynamic_cast<CQvGObjectDUMMYLabel*>(back.GetLabelObject()), nullptr);
    CRgn region;
    EXPECT_EQ(back.GetLabelObject()->GetHitTestRgn(region), 0);
}

TEST(GObjectRecord, AnnotationsRegainTheirAnnotationCodeFromTheirKind)
{
    TestGObject obj(SHAPE_ANNO_POLYLINE, GOTYPE_POLYLINE);
    obj.SetPoints({{1, 2}, {3, 4}, {5, 6}});
    TempStream out;
    obj.Write(out.file(), 1.5f);
    TestGObject back(SHAPE_POLYLINE);  // what the factory builds for 36
    TempStream in(out.Contents());
    LeReader(in.file()).Int32();
    ASSERT_EQ(back.Read(in.file(), 1.5f), 1);
    EXPECT_EQ(back.GetObjShape(), SHAPE_ANNO_POLYLINE);
    EXPECT_EQ(back.GetPointCount(), 3);
}

TEST(GObjectRecord, EveryTruncationOfARecordFailsCleanly)
{
    CQvGObjectContainer container;
    TestGObject obj;
    obj.SetContainer(&container);
    obj.SetPoints({{10, 20}, {30, 40}});
    obj.GetProperty().SetName("L-1");
    obj.AddLabelObject(CPoint(20, 30));
    TempStream out;
    obj.Write(out.file(), 1.5f);
    const std::vector<uint8_t> whole = out.Contents();
    for (size_t size = 4; size < whole.size(); ++size) {
        TestGObject back;
        back.SetContainer(&container);
        back.SetPoints({{7, 7}});
        EXPECT_EQ(ReadRecord(back, {whole.begin(), whole.begin() + static_cast<long>(size)}, 1.5f), 0) << size;
        EXPECT_EQ(back.GetPointCount(), 1) << "unchanged after a failure at " << size;
        EXPECT_EQ(back.GetLabelCount(), 0);
    }
}

TEST(GObjectRecord, AbsurdCountsAndUnknownLabelCodesAreRefused)
{
    CQvGObjectProperty property;
    const std::vector<uint8_t> propertyBytes = PropertyBytes(property);
    auto record = [&](int32_t points, int32_t labels, int32_t labelShape) {
        Bytes b;
        b.Add32(SHAPE_LINE);
        b.Add32(static_cast<uint32_t>(points));
        b.Add32(static_cast<uint32_t>(labels));
        b.Add32(static_cast<uint32_t>(labelShape));
        b.Add(propertyBytes);
        for (int i = 0; i < 16; ++i)
            b.Add32(0);
        return b.data;
    };
    const struct
    {
        int32_t points, labels, labelShape;
    } cases[] = {
        {0x7FFFFFFF, 0, 0}, {-1, 0, 0}, {0, 0x7FFFFFFF, SHAPE_LABEL}, {0, -5, SHAPE_LABEL},
        {0, 1, 22},  // a code that creates no object
        {0, 1, 999},
    };
    for (const auto& c : cases) {
        CQvGObjectContainer container;
        TestGObject back;
        back.SetContainer(&container);
        EXPECT_EQ(ReadRecord(back, record(c.points, c.labels, c.labelShape), 1.5f), 0)
            << c.points << " " << c.labels << " " << c.labelShape;
        EXPECT_EQ(back.GetLabelCount(), 0);
    }
}

TEST(GObjectRecord, CoordinatesThatAreNoPixelsAreRefused)
{
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1e300,
                       2.0e7}) {
        Bytes b = MeasurementRecord(CQvGObjectProperty(), true);
        b.PutDouble(8 + 16, bad);  // the second point's x
        TestGObject back;
        EXPECT_EQ(ReadRecord(back, b.data, 1.5f), 0) << bad;
        EXPECT_EQ(back.GetPointCount(), 0);
    }
}

TEST(GObjectRecord, LabelsNestedWithoutEndAreRefused)
{
    // Every level: a label record holding one more label record, never closed.
    Bytes b;
    b.Add32(SHAPE_LINE);
    b.Add32(0);
    for (int depth = 0; depth < 10; ++depth) {
        b.Add32(1);
        b.Add32(SHAPE_LABEL);
        b.Add32(0);
    }
    b.Add(std::vector<uint8_t>(4000, 0));
    CQvGObjectContainer container;
    TestGObject back;
    back.SetContainer(&container);
    EXPECT_EQ(ReadRecord(back, b.data, 1.5f), 0);
}
