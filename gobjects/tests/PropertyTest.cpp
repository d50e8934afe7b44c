#include "gobjects/CQvGObjectProperty.h"

#include "DefaultsFixture.h"

#include <gtest/gtest.h>

namespace {

// The stream record of a property: name, comment, font, 19 ints.
std::vector<uint8_t> RecordBytes(const std::string& name, const std::string& comment,
                                 const std::array<int32_t, 19>& attributes)
{
    Bytes record;
    for (const std::string* text : {&name, &comment}) {
        record.Add32(text->empty() ? 0 : static_cast<uint32_t>(text->size() + 1));
        if (!text->empty())
            record.Add(std::vector<uint8_t>(text->c_str(), text->c_str() + text->size() + 1));
    }
    record.Add(DefaultFontBytes());
    for (int32_t value : attributes)
        record.Add32(static_cast<uint32_t>(value));
    return record.data;
}

CQvGObjectProperty ReadRecord(const std::vector<uint8_t>& bytes, int* result = nullptr)
{
    TempStream stream(bytes);
    CQvGObjectProperty prop;
    const int ok = prop.Read(stream.file(), 1.5f);
    if (result)
        *result = ok;
    return prop;
}

}  // namespace

TEST(Property, ShowFlagsFollowPatternAndLineType)
{
    CQvGObjectProperty p;
    EXPECT_FALSE(p.IsShowFill());  // hollow by default
    EXPECT_TRUE(p.IsShowLine());

    p.ShowFill(1);
    EXPECT_EQ(p.GetFillPattern(), 0);
    p.ShowFill(0);
    EXPECT_EQ(p.GetFillPattern(), 1);
    EXPECT_FALSE(p.IsShowFill());
    p.SetFillPattern(2);
    EXPECT_TRUE(p.IsShowFill());

    p.ShowLine(0);
    EXPECT_EQ(p.GetLineType(), 5);
    EXPECT_FALSE(p.IsShowLine());
    p.SetLineType(2);
    EXPECT_TRUE(p.IsShowLine());
    p.ShowLine(1);
    EXPECT_EQ(p.GetLineType(), 0);
}

TEST(Property, AutomaticColourIsNeverStored)
{
    CQvGObjectProperty p;
    p.SetLineColor(0x123456);
    p.SetTextColor(0x000011);
    p.SetFillColor(0x000022);
    p.SetLineColor(CLR_AUTOMATIC);
    p.SetTextColor(CLR_AUTOMATIC);
    p.SetFillColor(CLR_AUTOMATIC);
    EXPECT_EQ(p.GetLineColor(), 0x123456u);
    EXPECT_EQ(p.GetTextColor(), 0x000011u);
    EXPECT_EQ(p.GetFillColor(), 0x000022u);

    std::array<int32_t, 19> attributes = DefaultAttributes();
    attributes[kLineColor] = static_cast<int32_t>(CLR_AUTOMATIC);
    int ok = 0;
    EXPECT_EQ(ReadRecord(RecordBytes("", "", attributes), &ok).GetLineColor(), 0xFF0000u);
    EXPECT_EQ(ok, 1);
}

TEST(Property, DefaultFontCharacterSetFollowsTheSystemLanguage)
{
    const struct
    {
        const char* locale;
        int charSet;
    } cases[] = {{"ko_KR.UTF-8", 129}, {"ja_JP.UTF-8", 128}, {"zh_TW.UTF-8", 136}, {"en_US.UTF-8", 1}, {"C", 1}};
    for (const auto& c : cases) {
        ScopedLanguage language(c.locale);
        EXPECT_EQ(CQvGObjectProperty().GetFont().lfCharSet, c.charSet) << c.locale;
    }
}

// A reader makes thousands of properties: within a snapshot they take the language it found, and the environment
// is asked again only once the last snapshot ends.
TEST(Property, LanguageSnapshotHoldsTheLanguageForEveryPropertyMadeMeanwhile)
{
    ScopedLanguage language("ko_KR.UTF-8");
    {
        const CQvGObjectProperty::LanguageSnapshot outer;
        ScopedLanguage changed("ja_JP.UTF-8");
        EXPECT_EQ(CQvGObjectProperty().GetFont().lfCharSet, 129);
        {
            const CQvGObjectProperty::LanguageSnapshot inner;
            EXPECT_EQ(CQvGObjectProperty().GetFont().lfCharSet, 129);
        }
        EXPECT_EQ(CQvGObjectProperty().GetFont().lfCharSet, 129);
    }
    EXPECT_EQ(CQvGObjectProperty().GetFont().lfCharSet, 129);
    ScopedLanguage changed("ja_JP.UTF-8");
    EXPECT_EQ(CQvGObjectProperty().GetFont().lfCharSet, 128);
}

TEST(Property, CopyBasePropertyTakesDrawingAttributesOnly)
{
    const struct
    {
        int lineType, fillPattern;
        int expectedLineType, expectedFillPattern;
    } cases[] = {
        {2, 1, 0, 1},  // dotted line -> solid
        {5, 1, 5, 1},  // hidden line stays hidden
        {0, 2, 0, 0},  // hatched fill -> solid fill
        {1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        CQvGObjectProperty from;
        from.SetName("source");
        from.SetComment("source text");
        LOGFONTA font = from.GetFont();
        font.lfWeight = 700;
        from.SetFont(font);
        from.SetTextColor(0x010203);
        from.SetLineColor(0x040506);
        from.SetFillColor(0x070809);
        from.SetLineStyle(4);
        from.SetLineWeight(6);
        from.SetLArrowType(2);
        from.SetRArrowType(3);
        from.ShowLArrow(0);
        from.ShowRArrow(0);
        from.SetLineType(c.lineType);
        from.SetFillPattern(c.fillPattern);

        CQvGObjectProperty to;
        to.SetName("target");
        to.SetComment("target text");
        to.SetLineType(3);
        to.SetFillPattern(2);
        CopyBaseProperty(&to, &from);

        EXPECT_EQ(to.GetLineType(), c.expectedLineType) << c.lineType;
        EXPECT_EQ(to.GetFillPattern(), c.expectedFillPattern) << c.fillPattern;
        EXPECT_EQ(to.GetFont().lfWeight, 700);
        EXPECT_EQ(to.GetTextColor(), 0x010203u);
        EXPECT_EQ(to.GetLineColor(), 0x040506u);
        EXPECT_EQ(to.GetFillColor(), 0x070809u);
        EXPECT_EQ(to.GetLineStyle(), 4);
        EXPECT_EQ(to.GetLArrowType(), 2);
        EXPECT_EQ(to.GetRArrowType(), 3);
        // Untouched: texts, weight and the arrow show flags.
        EXPECT_EQ(to.GetName(), "target");
        EXPECT_EQ(to.GetComment(), "target text");
        EXPECT_EQ(to.GetLineWeight(), 1);
        EXPECT_EQ(to.IsShowLArrow(), 1);
        EXPECT_EQ(to.IsShowRArrow(), 1);
    }
}

TEST(Property, RecordIsWrittenFieldByFieldAndReadBack)
{
    ScopedLanguage language("C");
    CQvGObjectProperty p;
    p.SetName("Ab");
    p.SetLineWeight(3);
    p.ShowRArrow(0);

    TempStream stream;
    EXPECT_EQ(p.Write(stream.file(), 1.5f), 1);
    std::array<int32_t, 19> attributes = DefaultAttributes();
    attributes[kLineWeight] = 3;
    attributes[kShowRightArrow] = 0;
    EXPECT_EQ(stream.Contents(), RecordBytes("Ab", "", attributes));

    int ok = 0;
    EXPECT_EQ(ReadRecord(stream.Contents(), &ok), p);
    EXPECT_EQ(ok, 1);
}

TEST(Property, TextsTooLongToReadBackAreNotWritten)
{
    const size_t longest = 64 * 1024 - 1;  // the record's length field counts the terminating zero too
    const struct { size_t nameLength; size_t commentLength; int written; } cases[] = {
        {longest, longest, 1}, {longest + 1, 0, 0}, {0, longest + 1, 0},
    };
    for (const auto& c : cases) {
        CQvGObjectProperty p;
        p.SetName(std::string(c.nameLength, 'n').c_str());
        p.SetComment(std::string(c.commentLength, 'c').c_str());
        TempStream stream;
        EXPECT_EQ(p.Write(stream.file(), 1.5f), c.written) << c.nameLength << ", " << c.commentLength;
        if (!c.written) {
            EXPECT_TRUE(stream.Contents().empty());
            continue;
        }
        int ok = 0;
        EXPECT_EQ(ReadRecord(stream.Contents(), &ok), p);
        EXPECT_EQ(ok, 1);
    }
}

TEST(Property, NamesFromWindowsFilesAreDecodedToUtf8)
{
    Bytes record;
    record.Add32(3);
    record.Add({0xC7, 0xD1, 0x00});  // CP949 for U+D55C
    record.Add32(4);
    record.AddText(std::string("abc", 4));
    record.Add(DefaultFontBytes());
    for (int32_t value : DefaultAttributes())
        record.Add32(static_cast<uint32_t>(value));

    const CQvGObjectProperty p = ReadRecord(record.data);
    EXPECT_EQ(p.GetName(), "\xED\x95\x9C");
    EXPECT_EQ(p.GetComment(), "abc");
}

TEST(Property, ShortOrBadRecordFailsAndLeavesThePropertyUnchanged)
{
    const std::vector<uint8_t> good = RecordBytes("name", "comment", DefaultAttributes());
    std::vector<std::vector<uint8_t>> bad;
    for (size_t cut : {size_t{0}, size_t{2}, size_t{6}, size_t{20}, size_t{50}, good.size() - 1})
        bad.emplace_back(good.begin(), good.begin() + static_cast<long>(cut));
    Bytes negative;
    negative.Add32(static_cast<uint32_t>(-5));
    negative.Add(good);
    bad.push_back(negative.data);
    Bytes huge;
    huge.Add32(70000);
    huge.Add(std::vector<uint8_t>(70000, 'x'));
    huge.Add(good);
    bad.push_back(huge.data);

    for (const std::vector<uint8_t>& bytes : bad) {
        CQvGObjectProperty p;
        p.SetName("kept");
        p.SetLineColor(0x0000AA);
        const CQvGObjectProperty before = p;
        TempStream stream(bytes);
        EXPECT_EQ(p.Read(stream.file(), 1.5f), 0) << bytes.size() << " bytes";
        EXPECT_EQ(p, before) << bytes.size() << " bytes";
    }
}

TEST(Property, AssignmentLeavesTheReservedIntsAndCopyConstructionTakesThem)
{
    ScopedLanguage language("C");
    std::array<int32_t, 19> attributes = DefaultAttributes();
    for (int reserved : {0, 2, 3, 6, 12, 15, 17, 18})
        attributes[reserved] = 100 + reserved;
    attributes[kLineColor] = 0x0000CC;
    const CQvGObjectProperty source = ReadRecord(RecordBytes("n", "c", attributes));

    CQvGObjectProperty assigned;
    assigned = source;
    std::array<int32_t, 19> expectedAssigned = DefaultAttributes();
    expectedAssigned[kLineColor] = 0x0000CC;
    TempStream assignedStream;
    assigned.Write(assignedStream.file(), 1.5f);
    EXPECT_EQ(assignedStream.Contents(), RecordBytes("n", "c", expectedAssigned));

    const CQvGObjectProperty copied(source);
    TempStream copiedStream;
    copied.Write(copiedStream.file(), 1.5f);
    EXPECT_EQ(copiedStream.Contents(), RecordBytes("n", "c", attributes));
}
