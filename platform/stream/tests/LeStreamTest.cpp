#include "stream/LeStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct TempStream
{
    FILE* file = std::tmpfile();
    ~TempStream() { std::fclose(file); }

    std::vector<unsigned char> Contents() const
    {
        std::vector<unsigned char> bytes;
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;)
            bytes.push_back(static_cast<unsigned char>(c));
        std::rewind(file);
        return bytes;
    }
};

}  // namespace

TEST(LeStream, WritesFieldsLittleEndianAndReadsThemBack)
{
    TempStream s;
    LeWriter w(s.file);
    w.Int32(-2);
    w.UInt32(0x11223344);
    w.Float(1.5f);
    w.Double(1.0);
    w.FixedText("abc", 5);
    ASSERT_TRUE(w.ok());

    const std::vector<unsigned char> expected = {
        0xFE, 0xFF, 0xFF, 0xFF,                          // -2
        0x44, 0x33, 0x22, 0x11,                          // 0x11223344
        0x00, 0x00, 0xC0, 0x3F,                          // 1.5f
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // 1.0
        'a',  'b',  'c',  0x00, 0x00,
    };
    EXPECT_EQ(s.Contents(), expected);

    LeReader r(s.file);
    EXPECT_EQ(r.Int32(), -2);
    EXPECT_EQ(r.UInt32(), 0x11223344u);
    EXPECT_EQ(r.Float(), 1.5f);
    EXPECT_EQ(r.Double(), 1.0);
    EXPECT_EQ(r.FixedText(5), "abc");
    EXPECT_TRUE(r.ok());
}

TEST(LeStream, LogFontIsSixtyBytesInTheWindowsLayout)
{
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfWeight = 400;
    font.lfCharSet = 129;
    font.lfPitchAndFamily = 0x32;
    std::strcpy(font.lfFaceName, "Tahoma");

    TempStream s;
    LeWriter w(s.file);
    w.LogFont(font);
    const std::vector<unsigned char> bytes = s.Contents();
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(bytes[0], 0xF3);
    EXPECT_EQ(bytes[16], 0x90);  // weight 400 = 0x190
    EXPECT_EQ(bytes[17], 0x01);
    EXPECT_EQ(bytes[23], 129);
    EXPECT_EQ(bytes[27], 0x32);
    EXPECT_EQ(bytes[28], 'T');

    LeReader r(s.file);
    const LOGFONTA back = r.LogFont();
    EXPECT_EQ(std::memcmp(&back, &font, sizeof font), 0);
}

TEST(LeStream, ShortReadFailsStickilyAndYieldsZeros)
{
    TempStream s;
    LeWriter w(s.file);
    w.Int32(7);
    w.Bytes("xy", 2);
    std::rewind(s.file);

    LeReader r(s.file);
    EXPECT_EQ(r.Int32(), 7);
    EXPECT_EQ(r.Int32(), 0);  // only two bytes left
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.Double(), 0.0);
    EXPECT_EQ(r.FixedText(4), "");
    EXPECT_FALSE(r.ok());
}

TEST(LeStream, BufferWriterAppendsWhatAFileWriterWrites)
{
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfCharSet = 129;
    std::strcpy(font.lfFaceName, "Tahoma");
    auto writeFields = [&font](LeWriter& w) {
        w.Int32(-2);
        w.UInt32(0x11223344);
        w.Float(-0.0f);
        w.Double(-1.0e300);
        w.Bytes("", 0);
        w.Zeros(70);
        w.FixedText("abcdef", 3);
        w.LogFont(font);
    };
    TempStream s;
    LeWriter toFile(s.file);
    writeFields(toFile);
    ASSERT_TRUE(toFile.ok());

    std::vector<unsigned char> buffer = {0xAA};  // appended to, never replaced
    LeWriter toBuffer(buffer);
    writeFields(toBuffer);
    ASSERT_TRUE(toBuffer.ok());
    ASSERT_EQ(buffer.front(), 0xAA);
    buffer.erase(buffer.begin());
    EXPECT_EQ(buffer, s.Contents());
}
