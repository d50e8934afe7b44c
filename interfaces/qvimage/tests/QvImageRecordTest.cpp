#include "qvimage/QvImageRecord.h"

#include "stream/LeStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A temporary binary stream, closed at the end of the test.
struct TempFile
{
    FILE* file = std::tmpfile();
    ~TempFile() { std::fclose(file); }

    std::vector<BYTE> Contents()
    {
        std::fflush(file);
        std::vector<BYTE> bytes;
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;)
            bytes.push_back(static_cast<BYTE>(c));
        return bytes;
    }

    void Replace(const std::vector<BYTE>& bytes)
    {
        std::fclose(file);
        file = std::tmpfile();
        for (const BYTE b : bytes)
            std::fputc(b, file);
        std::rewind(file);
    }
};

CQvImage Pattern(int type, int width, int height)
{
    CQvImage image;
    image.Create(type, width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < width * image.GetBitsPerPixel() / 8; ++i)
            image.Get2DBuffer()[y][i] = static_cast<BYTE>(i * 7 + y * 31 + 1);
    return image;
}

void ExpectSameImage(const CQvImage& a, const CQvImage& b)
{
    ASSERT_EQ(a.GetColorModel(), b.GetColorModel());
    ASSERT_EQ(a.GetWidth(), b.GetWidth());
    ASSERT_EQ(a.GetHeight(), b.GetHeight());
    ASSERT_EQ(a.GetStride(), b.GetStride());
    ASSERT_EQ(a.GetPaletteCount(), b.GetPaletteCount());
    if (a.GetPaletteCount() > 0)
    {
        EXPECT_EQ(std::memcmp(a.GetPalette(), b.GetPalette(), 4 * size_t(a.GetPaletteCount())), 0);
    }
    if (!a.IsEmpty())
    {
        EXPECT_EQ(std::memcmp(a.GetBuffer(), b.GetBuffer(), size_t(a.GetStride()) * a.GetHeight()), 0);
    }
}

TEST(QvImageRecord, ByteExactRecordOfASmallGreyImage)
{
    CQvImage image;
    image.Create(QV_GRAY8, 3, 2, 0);
    image.GetPixel(0, 0)[0] = 0xA1;
    image.GetPixel(2, 1)[0] = 0xB2;
    TempFile temp;
    ASSERT_EQ(QVWriteImage(temp.file, &image), 1);
    const std::vector<BYTE> expected = {
        'Q', 'V', 'I', 'M', 1, 0, 0, 0,         // magic, version
        10, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0,    // colour model, width, height
        8, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0,     // bits per pixel, stride, palette count
        0xA1, 0, 0, 0, 0, 0, 0xB2, 0,           // rows top-down, padded to 4
    };
    EXPECT_EQ(temp.Contents(), expected);
}

TEST(QvImageRecord, RoundTripsInsideOtherFields)
{
    CQvImage indexed = Pattern(QV_INDEX4, 5, 3);
    const RGBQUAD palette[3] = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 7}};
    indexed.SetPalette(palette, 3);
    CQvImage empty;
    empty.Create(QV_RGB24, 1, 1, 0);
    empty.Remove();
    const CQvImage images[] = {Pattern(QV_GRAY8, 4, 4), indexed, Pattern(QV_RGB24, 3, 5), Pattern(QV_RGBA32, 2, 3),
                               empty};
    for (const CQvImage& image : images)
    {
        SCOPED_TRACE(image.GetColorModel());
        TempFile temp;
        LeWriter writer(temp.file);
        writer.Bytes("DOC", 3);
        writer.Int32(-5);
        ASSERT_EQ(QVWriteImage(temp.file, &image), 1);
        writer.Int32(0x12345678);
        writer.Double(2.5);
        ASSERT_TRUE(writer.ok());

        std::rewind(temp.file);
        LeReader reader(temp.file);
        ASSERT_TRUE(reader.Skip(3));
        EXPECT_EQ(reader.Int32(), -5);
        CQvImage read;
        read.Create(QV_GRAY8, 9, 9, 0);
        ASSERT_EQ(QVReadImage(temp.file, &read), 1);
        ExpectSameImage(read, image);
        EXPECT_EQ(reader.Int32(), 0x12345678);
        EXPECT_EQ(reader.Double(), 2.5);
        EXPECT_TRUE(reader.ok());
    }
}

void PutInt(std::vector<BYTE>& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<BYTE>(value >> (8 * i));
}

TEST(QvImageRecord, HostileAndTruncatedRecordsAreRefusedCleanly)
{
    // A valid record of a 3 x 2 indexed 4-bit image with 2 palette entries: header 32 bytes, palette 8, pixels 8.
    CQvImage source = Pattern(QV_INDEX4, 3, 2);
    const RGBQUAD palette[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    source.SetPalette(palette, 2);
    TempFile temp;
    ASSERT_EQ(QVWriteImage(temp.file, &source), 1);
    const std::vector<BYTE> valid = temp.Contents();
    ASSERT_EQ(valid.size(), 48u);

    enum Field { kMagic = 0, kVersion = 4, kType = 8, kWidth = 12, kHeight = 16, kBits = 20, kStride = 24, kPalette = 28 };
    const struct { const char* name; size_t offset; uint32_t value; } patches[] = {
        {"wrong magic", kMagic, 0x4D495650},
        {"later version", kVersion, 2},
        {"unknown colour model", kType, 99},
        {"negative width", kWidth, 0xFFFFFFFF},
        {"absurd width", kWidth, 0x7FFFFFFF},
        {"absurd height", kHeight, 0x40000000},
        {"height without width", kWidth, 0},
        {"bits not of the model", kBits, 24},
        {"stride not of the width", kStride, 8},
        {"absurd palette count", kPalette, 0xFFFFFFFF},
        {"palette beyond the index bits", kPalette, 17},
        {"indexed without palette", kPalette, 0},
    };
    const size_t cuts[] = {0, 3, 20, 31, 32, 36, 40, 47};

    CQvImage target = Pattern(QV_RGB24, 2, 2);
    const CQvImage original = target;
    const auto expectRefused = [&](const std::vector<BYTE>& bytes) {
        temp.Replace(bytes);
        EXPECT_EQ(QVReadImage(temp.file, &target), 0);
        ExpectSameImage(target, original);
    };
    for (const auto& p : patches)
    {
        SCOPED_TRACE(p.name);
        std::vector<BYTE> bytes = valid;
        PutInt(bytes, p.offset, p.value);
        expectRefused(bytes);
    }
    for (const size_t cut : cuts)
    {
        SCOPED_TRACE(cut);
        expectRefused(std::vector<BYTE>(valid.begin(), valid.begin() + cut));
    }
    {
        SCOPED_TRACE("non-indexed model with a palette");
        std::vector<BYTE> bytes = valid;
        PutInt(bytes, kType, QV_GRAY8);
        expectRefused(bytes);
    }
    {
        // Sizes within the limits (1.8 GB of pixels) that the file cannot hold: refused before allocating.
        SCOPED_TRACE("pixels beyond the end of the file");
        std::vector<BYTE> bytes = valid;
        PutInt(bytes, kWidth, 60000);
        PutInt(bytes, kHeight, 30000);
        PutInt(bytes, kStride, 60000);
        expectRefused(bytes);
    }
    temp.Replace(valid);
    EXPECT_EQ(QVReadImage(temp.file, &target), 1);
    ExpectSameImage(target, source);
}

} // namespace
