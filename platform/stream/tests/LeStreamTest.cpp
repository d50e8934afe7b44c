#include "stream/LeStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>
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
        std::vector<int32_t> many(37);
        for (size_t i = 0; i < many.size(); ++i)
            many[i] = static_cast<int32_t>(i * 0x01020304u) - 7;
        w.Int32s(many.data(), many.size());
        for (int32_t v : many)
            w.Int32(v);
    };
    TempStream s;
    LeWriter toFile(s.file);
    writeFields(toFile);
    ASSERT_TRUE(toFile.ok());

    std::vector<unsigned char> buffer = {0xAA};  // appended to, never replaced
    {
        LeWriter toBuffer(buffer);
        writeFields(toBuffer);
        ASSERT_TRUE(toBuffer.ok());
    }
    ASSERT_EQ(buffer.front(), 0xAA);
    buffer.erase(buffer.begin());
    EXPECT_EQ(buffer, s.Contents());
    // The block of ints and the same ints one by one.
    ASSERT_GT(buffer.size(), 2 * 37 * 4u);
    EXPECT_TRUE(std::equal(buffer.end() - 2 * 37 * 4, buffer.end() - 37 * 4, buffer.end() - 37 * 4));
}

// A reader that reads ahead gives back what it did not take: the file is where a plain reader would have left it,
// for a stream of records followed by something else.
TEST(LeStream, ReadAheadLeavesTheFileAfterWhatWasTaken)
{
    TempStream s;
    {
        LeWriter w(s.file);
        for (int32_t i = 0; i < 40000; ++i)  // more than one block
            w.Int32(i);
        w.Double(2.5);
    }
    std::rewind(s.file);
    {
        LeReader r(s.file, LeReader::ReadAhead());
        bool inOrder = true;
        for (int32_t i = 0; i < 30000; ++i)
            inOrder = r.Int32() == i && inOrder;
        EXPECT_TRUE(inOrder);
        EXPECT_EQ(r.RemainingBytes(), 10000 * 4 + 8);
        ASSERT_TRUE(r.ok());
    }
    EXPECT_EQ(std::ftell(s.file), 30000 * 4);
    LeReader plain(s.file);
    EXPECT_EQ(plain.Int32(), 30000);

    // Past the end: zeros and a failure, as the plain reader gives.
    std::fseek(s.file, 39999 * 4, SEEK_SET);
    LeReader r(s.file, LeReader::ReadAhead());
    EXPECT_EQ(r.Int32(), 39999);
    EXPECT_EQ(r.Double(), 2.5);
    EXPECT_EQ(r.Int32(), 0);
    EXPECT_FALSE(r.ok());
}

// A pipe cannot be repositioned: a reader asked to read ahead takes exactly what it reads from it.
TEST(LeStream, ReadAheadOnAPipeTakesOnlyWhatItReads)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    FILE* in = fdopen(ends[0], "rb");
    FILE* out = fdopen(ends[1], "wb");
    ASSERT_TRUE(in && out);
    {
        LeWriter w(out);
        for (int32_t v : {1, 2, 3})
            w.Int32(v);
    }
    std::fclose(out);
    {
        LeReader r(in, LeReader::ReadAhead());
        EXPECT_EQ(r.Int32(), 1);
    }
    LeReader rest(in);
    EXPECT_EQ(rest.Int32(), 2);
    EXPECT_EQ(rest.Int32(), 3);
    EXPECT_TRUE(rest.ok());
    std::fclose(in);
}

// A buffer reserved ahead for far more than is written, and one outgrown on the way: both hold exactly the bytes.
TEST(LeStream, BufferWriterFillsReservedRoomExactly)
{
    for (size_t reserved : {size_t{0}, size_t{300} << 10, size_t{100} << 10}) {
        std::vector<unsigned char> buffer;
        buffer.reserve(reserved);
        {
            LeWriter w(buffer);
            for (int32_t i = 0; i < 50000; ++i)  // 200 KiB, across several steps of the reserved room
                w.Int32(i);
        }
        ASSERT_EQ(buffer.size(), 50000u * 4) << reserved;
        bool inOrder = true;
        for (int32_t i = 0; i < 50000; ++i) {
            int32_t v;
            std::memcpy(&v, buffer.data() + 4 * i, 4);
            inOrder = v == i && inOrder;
        }
        EXPECT_TRUE(inOrder) << reserved;
    }
}

// Texts and blocks of ints read ahead give what the plain reader gives, also across the end of a block, and for
// readers made one after another and one inside another.
TEST(LeStream, ReadAheadTextsAndIntBlocksMatchThePlainReader)
{
    TempStream s;
    {
        LeWriter w(s.file);
        w.Zeros(64 * 1024 - 5);  // the text below straddles the first block's end
        w.FixedText("straddling", 12);
        for (int32_t i = 0; i < 19; ++i)
            w.Int32(-i);
        w.FixedText("", 4);
    }
    for (int pass = 0; pass < 2; ++pass) {
        std::rewind(s.file);
        LeReader r(s.file, LeReader::ReadAhead());
        ASSERT_TRUE(r.Skip(64 * 1024 - 5));
        EXPECT_EQ(r.FixedText(12), "straddling");
        int32_t block[19];
        r.Int32s(block, 19);
        for (int32_t i = 0; i < 19; ++i)
            EXPECT_EQ(block[i], -i);
        EXPECT_EQ(r.FixedText(4), "");
        EXPECT_TRUE(r.ok());
        EXPECT_EQ(r.FixedText(1), "");  // past the end
        EXPECT_FALSE(r.ok());
        if (pass == 0) {
            TempStream other;
            std::fputs("inner", other.file);
            std::rewind(other.file);
            LeReader inner(other.file, LeReader::ReadAhead());
            EXPECT_EQ(inner.FixedText(8), "");
            EXPECT_FALSE(inner.ok());
        }
    }
}
