#include "gobjects/CQvGObjectPropertyTotal.h"

#include "ByteFixture.h"

#include <gtest/gtest.h>

namespace {

// Bytes of the displayed quantities and the two version floats at the end of a 1.5 record.
constexpr size_t kGatedBytes = 22 * 4 + 2 * 4;

CQvGObjectPropertyTotal ChangedSet()
{
    CQvGObjectPropertyTotal set;
    set.GetProperty(SHAPE_LINE).SetName("m");
    set.GetProperty(SHAPE_TEXT).SetComment("note");
    set.SetLineColor(0x0000AA, SHAPE_ANNO_ELLIPSE);
    set.SetAngleInnerFlag(0);
    set.SetTargetGap(30.0f);
    set.SetTargetFactor(0.5);
    set.SetTargetFlags(2);
    set.SetTextLineShown(1);
    set.SetImageOpacity(70);
    set.SetScaleMarkerInt1904(0x00FF00);
    set.SetScaleMarkerInt1908(5);
    set.SetScaleMarkerFloat1912(11.5f);
    set.SetScaleMarkerInt1916(6);
    set.SetScaleMarkerInt1920(0);
    for (int i = 0; i < 5; ++i)
        set.SetScaleMarkerInt1924(i, i + 1);
    set.SetDispType(SHAPE_LINE, CAL_DIAGONAL);
    set.SetDispType(SHAPE_PERPENDICULAR, CAL_WIDTH);
    set.SetDispType(SHAPE_2LINE_ANGLE, CAL_X_ANGLE);
    set.SetDispType(SHAPE_3POINT_ANGLE, CAL_Y_ANGLE);
    set.SetDispType(SHAPE_3POINT_CIRCLE, CAL_MIN_RADIUS);
    set.SetDispType(SHAPE_AUTO_ARC, CAL_DIAMETER);
    set.SetDispType(SHAPE_CURVATURE, CAL_LENGTH);
    return set;
}

std::vector<uint8_t> Written(const CQvGObjectPropertyTotal& set, float version)
{
    TempStream stream;
    EXPECT_EQ(set.Write(stream.file(), version), 1);
    return stream.Contents();
}

}  // namespace

TEST(PropertyTotalStream, FieldsFollowTheRecordOrder)
{
    const std::vector<uint8_t> bytes = Written(ChangedSet(), 1.5f);

    // After the measurement attributes (name "m": 4 + 2 + 4 + 60 + 76 bytes): angle int, gap, factor, flags.
    Bytes head;
    head.Add32(0);
    head.AddFloat(30.0f);
    head.Add32(0);
    head.Add32(0x3FE00000);  // 0.5
    head.Add32(2);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 146, bytes.begin() + 146 + 20), head.data);

    Bytes tail;
    for (uint32_t v : {0u, 0x00FF00u})  // offsets 1920, 1904
        tail.Add32(v);
    tail.AddFloat(11.5f);  // 1912
    for (uint32_t v : {6u, 5u, 1u, 2u, 3u, 4u, 5u})  // 1916, 1908, the five from 1924
        tail.Add32(v);
    // Offsets 8 to 72, then 80, 84, 88, 96, 92.
    for (uint32_t v : {0x8u, 0x2000u, 0x400u, 0x400u, 0x400u, 0x80u, 0x1u, 0x400u, 0x1u, 0x2000u, 0x1u, 0x1u, 0x1u,
                       0x1u, 0x1u, 0x1u, 0x2u, 0x20u, 0x40u, 0x100u, 0x1u, 0x200u})
        tail.Add32(v);
    tail.AddFloat(1.5f);
    tail.AddFloat(1.5f);
    ASSERT_GT(bytes.size(), tail.data.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - static_cast<long>(tail.data.size()), bytes.end()), tail.data);

    EXPECT_EQ(Written(ChangedSet(), 1.2f).size(), bytes.size() - kGatedBytes);
}

TEST(PropertyTotalStream, CurrentVersionReadsBackUnchanged)
{
    const CQvGObjectPropertyTotal written = ChangedSet();
    TempStream stream(Written(written, 1.5f));
    CQvGObjectPropertyTotal read;
    EXPECT_EQ(read.Read(stream.file(), 1.5f), 1);
    EXPECT_EQ(read, written);
    EXPECT_TRUE(stream.AtEnd());
}

TEST(PropertyTotalStream, Version12StopsAfterTheScaleMarkerInts)
{
    const std::vector<uint8_t> bytes = Written(ChangedSet(), 1.5f);
    TempStream stream(bytes);
    CQvGObjectPropertyTotal read;
    EXPECT_EQ(read.Read(stream.file(), 1.2f), 1);
    EXPECT_EQ(stream.Position(), static_cast<long>(bytes.size() - kGatedBytes));

    CQvGObjectPropertyTotal expected = ChangedSet();
    const CQvGObjectPropertyTotal fresh;
    for (int shape = 0; shape <= 43; ++shape)
        expected.SetDispType(OBJ_SHAPE(shape), fresh.GetDispType(OBJ_SHAPE(shape)));
    EXPECT_EQ(read, expected);
}

TEST(PropertyTotalStream, Version14HasNoCurvatureQuantity)
{
    // The 1.4 form, made from the 1.5 one: without the int of offset 96, version floats 1.4.
    std::vector<uint8_t> bytes = Written(ChangedSet(), 1.5f);
    bytes.erase(bytes.end() - 16, bytes.end() - 12);
    Bytes versions(0);
    versions.AddFloat(1.4f);
    versions.AddFloat(1.4f);
    std::copy(versions.data.begin(), versions.data.end(), bytes.end() - 8);

    TempStream stream(bytes);
    CQvGObjectPropertyTotal read;
    EXPECT_EQ(read.Read(stream.file(), 1.4f), 1);
    EXPECT_TRUE(stream.AtEnd());

    CQvGObjectPropertyTotal expected = ChangedSet();
    expected.SetDispType(SHAPE_CURVATURE, CAL_CURVATURE);
    EXPECT_EQ(read, expected);
    EXPECT_EQ(read.GetDispType(SHAPE_AUTO_ARC), CAL_DIAMETER);
}

TEST(PropertyTotalStream, TruncatedRecordFailsAndLeavesTheSetUnchanged)
{
    const std::vector<uint8_t> bytes = Written(ChangedSet(), 1.5f);
    for (size_t cut : {size_t{0}, size_t{100}, size_t{160}, size_t{900}, bytes.size() - kGatedBytes - 10,
                       bytes.size() - 30, bytes.size() - 1}) {
        TempStream stream(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut)));
        CQvGObjectPropertyTotal set;
        const CQvGObjectPropertyTotal before = set;
        EXPECT_EQ(set.Read(stream.file(), 1.5f), 0) << cut;
        EXPECT_EQ(set, before) << cut;
    }
}
