// The container stream against a fixture laid out field by field: a line with its value label, a rectangle and
// a poly-line annotation, the default set and the display settings; older versions; damaged streams.
#include "ByteFixture.h"
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/CQvGObjectPropertyTotal.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

struct Point
{
    double x;
    double y;
};

void AddDouble(Bytes& b, double v)
{
    b.PutDouble(b.data.size(), v);
}

void AddCountedText(Bytes& b, const std::string& text)
{
    if (text.empty())
    {
        b.Add32(0);
        return;
    }
    b.Add32(static_cast<uint32_t>(text.size() + 1));
    b.AddText(text);
    b.AddText(std::string(1, '\0'));
}

void AddProperty(Bytes& b, const std::string& name, const std::string& comment, uint32_t lineColor)
{
    AddCountedText(b, name);
    AddCountedText(b, comment);
    // LOGFONTA: height, width, escapement, orientation, weight, eight bytes of flags, 32 bytes of face.
    for (uint32_t v : {static_cast<uint32_t>(-13), 0u, 0u, 0u, 400u})
        b.Add32(v);
    b.Add({0, 0, 0, 0, 0, 0, 0, 0});
    std::string face = "Tahoma";
    face.resize(32, '\0');
    b.AddText(face);
    // Reserved, text colour, reserved x2, fill pattern, fill colour, reserved, line type, line style, line
    // weight, line colour, left end shown, reserved, left end type, right end shown, reserved, right end type,
    // reserved x2. The third int is -1 in every record the program writes.
    for (uint32_t v : {0u, 0x0000FFu, 0xFFFFFFFFu, 0u, 1u, 0xFFFFFFu, 0u, 0u, 0u, 1u, lineColor, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u})
        b.Add32(v);
}

struct RecordTail
{
    int32_t displayed;
    int32_t mask;
    double value1;
    int32_t kind;
};

void AddRecordTail(Bytes& b, float version, const RecordTail& tail)
{
    if (version > 1.3f)
    {
        b.Add32(tail.displayed);
        b.Add32(tail.mask);
        b.Add32(tail.displayed);  // the value record's kind
        b.Add32(0);               // padding
        AddDouble(b, tail.value1);
        AddDouble(b, 0.0);
    }
    b.Add32(tail.kind);
}

void AddPoints(Bytes& b, std::initializer_list<Point> points)
{
    b.Add32(static_cast<uint32_t>(points.size()));
    for (const Point& p : points)
    {
        AddDouble(b, p.x);
        AddDouble(b, p.y);
    }
}

std::vector<uint8_t> DefaultSetRecord(float version)
{
    TempStream stream;
    CQvGObjectPropertyTotal defaults;
    EXPECT_EQ(defaults.Write(stream.file(), version), 1);
    std::vector<uint8_t> record = stream.Contents();
    // The set is always written whole; streams before 1.5 had no curvature slot, four ints from the end.
    if (version > 1.2f && version <= 1.4f)
        record.erase(record.end() - 16, record.end() - 12);
    return record;
}

// labelEnd: the label's lower-right corner, which the label derives from its text when it is read.
Bytes OverlayFixture(float version, Point labelEnd)
{
    Bytes b;
    b.AddFloat(version);
    b.AddFloat(2.0f);  // ratio
    b.Add32(3);        // origin
    b.Add32(4);
    b.Add32(1);  // pixel centring
    b.Add32(3);  // objects

    b.Add32(SHAPE_LINE);
    AddPoints(b, {{10, 20}, {110, 20}});
    b.Add32(1);
    b.Add32(SHAPE_LABEL);
    AddPoints(b, {{40, 12}, labelEnd});
    b.Add32(0);
    AddProperty(b, "Line-1", "100.000", 0xC8C8C8);
    AddRecordTail(b, version, {0, 0, 0.0, 10});
    AddProperty(b, "Line-1", "", 0x00FF00);
    AddRecordTail(b, version, {CAL_LENGTH, 0x7061, 100.0, 0});

    b.Add32(SHAPE_RECT);
    AddPoints(b, {{50, 60}, {90, 100}});
    b.Add32(0);
    AddProperty(b, "Rectangle-2", "", 0xFF0000);
    AddRecordTail(b, version, {CAL_AREA, 0xC0F, 1600.0, 0});

    b.Add32(SHAPE_ANNO_POLYLINE);
    AddPoints(b, {{0, 0}, {30, 0}, {30, 40}});
    b.Add32(0);
    AddProperty(b, "", "", 0x000000);
    AddRecordTail(b, version, {CAL_LENGTH, 0x1, 0.0, GOTYPE_POLYLINE});

    b.Add(DefaultSetRecord(version));
    for (uint32_t v : {640u, 480u, 1u, 0u})  // canvas size, repetition, colour mode
        b.Add32(v);
    if (version == 1.0f)
        for (uint32_t v : {77u, 88u})
            b.Add32(v);
    for (uint32_t v : {0u, 1u, 1u, 2u, 0u})  // name, data, mark, decimals, realtime
        b.Add32(v);
    return b;
}

class ContainerStream : public ::testing::Test
{
protected:
    void SetUp() override { savedDefaults = g_GOPropertyTotal; }
    void TearDown() override { g_GOPropertyTotal = savedDefaults; }

    // The fixture with the label corner the label itself computes, so that writing gives the same bytes.
    Bytes Fixture(float version)
    {
        CQvGObjectContainer probe;
        TempStream first(OverlayFixture(version, {41, 13}).data);
        EXPECT_EQ(probe.Read(first.file()), 1);
        const CQvGObject* label = probe.GetMainObjList().front()->GetLabelObject();
        return OverlayFixture(version, {label->GetPoint()[1].x, label->GetPoint()[1].y});
    }

    CQvGObjectPropertyTotal savedDefaults;
};

TEST_F(ContainerStream, FixtureReadsIntoTheObjectsAndWritesBackByteForByte)
{
    const Bytes fixture = Fixture(1.5f);
    CQvGObjectContainer container;
    TempStream in(fixture.data);
    ASSERT_EQ(container.Read(in.file()), 1);

    EXPECT_EQ(container.GetRatio(), 2.0f);
    EXPECT_EQ(container.GetRelative(), CPoint(3, 4));
    EXPECT_EQ(container.GetCanvasSize(), CSize(640, 480));
    EXPECT_EQ(container.GetDecimalPointRange(), 2);
    EXPECT_EQ(container.GetVersion(), 1.5f);
    ASSERT_EQ(container.GetMainObjList().size(), 3u);
    auto it = container.GetMainObjList().begin();
    const CQvGObject* line = *it++;
    const CQvGObject* rect = *it++;
    const CQvGObject* poly = *it;

    EXPECT_EQ(line->GetObjShape(), SHAPE_LINE);
    EXPECT_EQ(line->GetState(), GS_FINISHED);
    EXPECT_EQ(line->GetPoint()[1].x, 110.0);
    EXPECT_EQ(line->GetProperty().GetName(), "Line-1");
    EXPECT_EQ(line->GetProperty().GetLineColor(), 0x00FF00u);
    EXPECT_EQ(line->GetDispType(), CAL_LENGTH);
    ASSERT_EQ(line->GetLabelCount(), 1);
    const CQvGObject* label = line->GetLabelObject();
    EXPECT_EQ(label->GetObjShape(), SHAPE_LABEL);
    EXPECT_EQ(label->GetProperty().GetComment(), "100.000");
    EXPECT_EQ(label->GetPoint()[0].x, 40.0);
    EXPECT_GT(label->GetPoint()[1].x, 40.0);

    EXPECT_EQ(rect->GetObjShape(), SHAPE_RECT);
    EXPECT_EQ(rect->GetPointCount(), 2);
    EXPECT_EQ(rect->GetPoint()[1].y, 100.0);

    EXPECT_EQ(poly->GetObjShape(), SHAPE_ANNO_POLYLINE);
    EXPECT_EQ(poly->GetGOType(), GOTYPE_POLYLINE);
    EXPECT_EQ(poly->GetPointCount(), 3);
    EXPECT_EQ(poly->GetPoint()[2].y, 40.0);

    TempStream out;
    ASSERT_EQ(container.Write(out.file()), 1);
    const std::vector<uint8_t> written = out.Contents();
    ASSERT_EQ(written.size(), fixture.data.size());
    for (size_t i = 0; i < written.size(); ++i)
        ASSERT_EQ(written[i], fixture.data[i]) << "at byte " << i;
}

TEST_F(ContainerStream, OlderVersionsLoadWithTheirOwnLayout)
{
    for (float version : {1.0f, 1.3f, 1.4f})
    {
        CQvGObjectContainer container;
        TempStream in(Fixture(version).data);
        ASSERT_EQ(container.Read(in.file()), 1) << version;
        EXPECT_TRUE(in.AtEnd()) << version;
        EXPECT_EQ(container.GetVersion(), 1.5f);
        EXPECT_EQ(container.GetDecimalPointRange(), 2) << version;
        EXPECT_EQ(container.GetDisplayData(), 1) << version;
        ASSERT_EQ(container.GetMainObjList().size(), 3u) << version;
        const CQvGObject* line = container.GetMainObjList().front();
        EXPECT_EQ(line->GetDefaultData().value1, version > 1.3f ? 100.0 : 0.0) << version;
    }
}

// A document holds the overlay among other records: reading stops right after it, whatever was read ahead.
TEST_F(ContainerStream, ReadingStopsRightAfterTheOverlay)
{
    Bytes document = Fixture(1.5f);
    const size_t overlayBytes = document.data.size();
    document.AddText("NEXT");
    document.Add(std::vector<uint8_t>(100000, 0x5A));
    CQvGObjectContainer container;
    TempStream in(document.data);
    ASSERT_EQ(container.Read(in.file()), 1);
    EXPECT_EQ(in.Position(), static_cast<long>(overlayBytes));
    char next[4] = {};
    ASSERT_EQ(std::fread(next, 1, 4, in.file()), 4u);
    EXPECT_EQ(std::string(next, 4), "NEXT");
}

TEST_F(ContainerStream, WritingLeavesOutTheObjectBeingDrawn)
{
    CQvGObjectContainer container;
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    TempStream out;
    ASSERT_EQ(container.Write(out.file()), 1);

    CQvGObjectContainer copy;
    TempStream in(out.Contents());
    ASSERT_EQ(copy.Read(in.file()), 1);
    EXPECT_TRUE(copy.GetMainObjList().empty());
}

// A record the reader would refuse (a name of 64 KiB) is not written, and neither is anything before it: a
// stream cut after the good records would read as a damaged file.
TEST_F(ContainerStream, AnOverlayWithARefusedRecordWritesNothing)
{
    CQvGObjectContainer container;
    TempStream in(Fixture(1.5f).data);
    ASSERT_EQ(container.Read(in.file()), 1);
    container.GetMainObjList().back()->GetProperty().SetName(std::string(64 * 1024, 'n'));

    TempStream out;
    EXPECT_EQ(container.Write(out.file()), 0);
    EXPECT_TRUE(out.Contents().empty());
    EXPECT_EQ(container.GetMainObjList().front()->Write(out.file(), 1.5f), 1);
    EXPECT_EQ(container.GetMainObjList().back()->Write(out.file(), 1.5f), 0);
    const size_t lineRecord = out.Contents().size();
    EXPECT_GT(lineRecord, 0u);

    container.GetMainObjList().back()->GetProperty().SetName("short again");
    TempStream rewritten;
    EXPECT_EQ(container.Write(rewritten.file()), 1);
    EXPECT_GT(rewritten.Contents().size(), lineRecord);
}

TEST_F(ContainerStream, DamagedStreamsChangeNothing)
{
    const Bytes good = Fixture(1.5f);
    // Offsets: header 24 bytes; the line's record starts with its code at 24, its point count at 28; its label
    // count at 64, the label's code at 68, its point count at 72, its own label count at 108 and its name length
    // at 112.
    struct Damage
    {
        const char* what;
        std::function<void(Bytes&)> apply;
    };
    const std::vector<Damage> damages = {
        {"newer version", [](Bytes& b) { b.PutFloat(0, 1.6f); }},
        {"ratio not a number", [](Bytes& b) { b.PutFloat(4, std::numeric_limits<float>::quiet_NaN()); }},
        {"negative object count", [](Bytes& b) { b.Put32(20, 0xFFFFFFFF); }},
        {"absurd object count", [](Bytes& b) { b.Put32(20, 0x7FFFFFFF); }},
        {"one object too many", [](Bytes& b) { b.Put32(20, 4); }},
        {"unknown shape code", [](Bytes& b) { b.Put32(24, 22); }},
        {"absurd point count", [](Bytes& b) { b.Put32(28, 0x7FFFFFFF); }},
        {"negative point count", [](Bytes& b) { b.Put32(28, 0xFFFFFFFF); }},
        {"absurd label count", [](Bytes& b) { b.Put32(64, 0x7FFFFFFF); }},
        {"unknown label code", [](Bytes& b) { b.Put32(68, 99); }},
        {"absurd nested label count", [](Bytes& b) { b.Put32(108, 0x10000000); }},
        {"negative name length", [](Bytes& b) { b.Put32(112, 0xFFFFFFFF); }},
        {"absurd name length", [](Bytes& b) { b.Put32(112, 0x7FFFFFF0); }},
        {"absurd decimals", [](Bytes& b) { b.Put32(b.data.size() - 8, 100000); }},
    };

    CQvGObjectContainer container;
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    container.SetDecimalPointRange(3);
    g_GOPropertyTotal.SetLineColor(0x010203, SHAPE_LINE);
    const CQvGObjectPropertyTotal defaultsBefore = g_GOPropertyTotal;
    auto expectUnchanged = [&](const std::string& what) {
        EXPECT_EQ(container.GetMainObjList().size(), 1u) << what;
        EXPECT_EQ(container.GetDecimalPointRange(), 3) << what;
        EXPECT_EQ(container.GetRatio(), 1.0f) << what;
        EXPECT_TRUE(g_GOPropertyTotal == defaultsBefore) << what;
    };

    for (const Damage& damage : damages)
    {
        Bytes bad = good;
        damage.apply(bad);
        TempStream in(bad.data);
        EXPECT_EQ(container.Read(in.file()), 0) << damage.what;
        expectUnchanged(damage.what);
    }
    for (size_t length = 0; length < good.data.size(); length += 7)
    {
        TempStream in(std::vector<uint8_t>(good.data.begin(), good.data.begin() + length));
        EXPECT_EQ(container.Read(in.file()), 0) << "cut at " << length;
        expectUnchanged("cut at " + std::to_string(length));
    }
    EXPECT_EQ(container.Read(nullptr), 0);
}

}  // namespace
