#include "CQvImageCodec.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// A smooth picture (JPEG keeps it closely) with a few sharp details, in any model; odd sizes exercise row padding.
CQvImage Picture(int model, int width, int height)
{
    CQvImage image;
    image.Create(model, width, height, 0);
    const int bytesPerPixel = GetQvBitCount(model) / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int b = 0; b < bytesPerPixel; ++b)
                image.GetPixel(x, y)[b] = static_cast<BYTE>(b == 3 ? 255 - x : x * 3 + y * 2 + b * 40);
    return image;
}

struct Difference
{
    int largest = 0;
    double mean = 0;
};

Difference Compare(const CQvImage& a, const CQvImage& b)
{
    Difference d;
    const int bytes = a.GetWidth() * a.GetBitsPerPixel() / 8;
    long long sum = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < bytes; ++x) {
            const int diff = std::abs(a.GetPixel(0, y)[x] - b.GetPixel(0, y)[x]);
            d.largest = std::max(d.largest, diff);
            sum += diff;
        }
    d.mean = static_cast<double>(sum) / (static_cast<double>(bytes) * a.GetHeight());
    return d;
}

class Codec : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(codec.Install(folder.path().toUtf8().constData()), 4); }

    std::string PathOf(const char* name) const { return (folder.path() + "/" + name).toStdString(); }

    void WriteBytes(const std::string& path, const QByteArray& bytes) const
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray ReadBytes(const std::string& path) const
    {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    CQvImageCodec codec;
};

}  // namespace

TEST_F(Codec, EachFormatRoundTripsGreyAndColourImages)
{
    const struct
    {
        const char* name;
        int model;
        int largestDifference;  // JPEG is lossy; TIFF keeps colour premultiplied by alpha
    } cases[] = {
        {"grey.bmp", QV_GRAY8, 0},  {"rgb.bmp", QV_RGB24, 0},    {"grey.png", QV_GRAY8, 0},
        {"rgb.png", QV_RGB24, 0},   {"grey.tif", QV_GRAY8, 0},   {"rgb.tiff", QV_RGB24, 0},
        {"rgba.png", QV_RGBA32, 0}, {"rgba.tif", QV_RGBA32, 1},  {"grey.jpg", QV_GRAY8, 12},
        {"rgb.JPEG", QV_RGB24, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CQvImage original = Picture(c.model, 37, 23);
        const std::string path = PathOf(c.name);
        ASSERT_EQ(codec.Save(path.c_str(), &original, nullptr), 1);

        CQvImage back;
        ASSERT_EQ(codec.Read(path.c_str(), &back, nullptr, 0, -1, -1), 1);
        ASSERT_EQ(back.GetColorModel(), c.model);
        ASSERT_EQ(back.GetWidth(), 37);
        ASSERT_EQ(back.GetHeight(), 23);
        const Difference d = Compare(back, original);
        EXPECT_LE(d.largest, c.largestDifference);
        if (c.largestDifference > 0) {
            EXPECT_LT(d.mean, 3.0);
        }
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 10);  // no temporary file left behind
}

TEST_F(Codec, PaletteImagesKeepTheirPalette)
{
    CQvImage original = Picture(QV_INDEX8, 9, 5);
    RGBQUAD palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    original.SetPalette(palette, 256);
    for (const char* name : {"indexed.bmp", "indexed.png"}) {
        SCOPED_TRACE(name);
        const std::string path = PathOf(name);
        ASSERT_EQ(codec.Save(path.c_str(), &original, nullptr), 1);
        CQvImage back;
        ASSERT_EQ(codec.Read(path.c_str(), &back, nullptr, 0, -1, -1), 1);
        ASSERT_EQ(back.GetColorModel(), QV_INDEX8);
        ASSERT_EQ(back.GetPaletteCount(), 256);
        EXPECT_EQ(back.GetPalette()[10].rgbGreen, 245);
        EXPECT_EQ(Compare(back, original).largest, 0);
    }
}

TEST_F(Codec, AFileThatCannotBeReadLeavesTheImageUntouched)
{
    const CQvImage rgb = Picture(QV_RGB24, 64, 48);
    const CQvImage grey = Picture(QV_GRAY8, 64, 48);
    for (const char* name : {"whole.bmp", "whole.jpg", "whole.png", "whole.tif", "grey.bmp"})
        ASSERT_EQ(codec.Save(PathOf(name).c_str(), name[0] == 'g' ? &grey : &rgb, nullptr), 1);
    QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(PathOf("other.ppm")));

    const auto cut = [&](const char* name, double keep) {
        const QByteArray whole = ReadBytes(PathOf(name));
        return whole.left(static_cast<qsizetype>(static_cast<double>(whole.size()) * keep));
    };
    // A BMP file header and info header stating the size, with `pixels` bytes of pixel data after them.
    const auto bmpHeader = [](int32_t width, int32_t height, uint16_t bitCount, int pixels) {
        QByteArray bytes(54 + pixels, '\0');
        const auto put = [&bytes](int at, uint32_t value, int size) {
            for (int i = 0; i < size; ++i)
                bytes[at + i] = static_cast<char>(value >> (8 * i));
        };
        bytes[0] = 'B';
        bytes[1] = 'M';
        put(2, static_cast<uint32_t>(bytes.size()), 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, static_cast<uint32_t>(width), 4);
        put(22, static_cast<uint32_t>(height), 4);
        put(26, 1, 2);
        put(28, bitCount, 2);
        return bytes;
    };
    const struct
    {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"bmp header stating more rows than the file holds", bmpHeader(4, 3, 24, 2 * 12)},
        {"bmp header stating an image beyond 64-bit sizes", bmpHeader(0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF, 16)},
        {"top-down bmp header stating a vast image", bmpHeader(0x7FFFFFFF, INT32_MIN, 32, 16)},
        {"empty", QByteArray()},
        {"text", QByteArray("not an image at all")},
        {"bmp cut in its pixels", cut("whole.bmp", 0.9)},
        {"grey bmp cut in its pixels", cut("grey.bmp", 0.99)},
        {"bmp cut in its header", cut("whole.bmp", 0.002)},
        {"jpeg without its end", cut("whole.jpg", 0.9)},
        {"jpeg cut early", cut("whole.jpg", 0.3)},
        {"png cut", cut("whole.png", 0.9)},
        {"tiff cut", cut("whole.tif", 0.9)},
        {"format not installed", ReadBytes(PathOf("other.ppm"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = PathOf("broken");
        WriteBytes(path, c.bytes);
        CQvImage image = Picture(QV_GRAY8, 3, 3);
        EXPECT_EQ(codec.Read(path.c_str(), &image, nullptr, 0, -1, -1), 0);
        ASSERT_EQ(image.GetWidth(), 3);
        EXPECT_EQ(Compare(image, Picture(QV_GRAY8, 3, 3)).largest, 0);
    }
    CQvImage image = Picture(QV_GRAY8, 3, 3);
    EXPECT_EQ(codec.Read(PathOf("missing.png").c_str(), &image, nullptr, 0, -1, -1), 0);
    EXPECT_EQ(codec.Read(PathOf("whole.png").c_str(), &image, nullptr, 1, -1, -1), 0);  // no second image
    EXPECT_EQ(codec.Read(PathOf("whole.png").c_str(), &image, "jpeg", 0, -1, -1), 0);
    EXPECT_EQ(image.GetWidth(), 3);
}

TEST_F(Codec, ReadingAtAGivenSizeAndInAGivenFormat)
{
    const CQvImage original = Picture(QV_RGB24, 64, 48);
    const std::string path = PathOf("named-wrongly.dat");
    ASSERT_EQ(codec.Save(path.c_str(), &original, "png"), 1);
    CQvImage image;
    ASSERT_EQ(codec.Read(path.c_str(), &image, "png", 0, 32, 24), 1);
    EXPECT_EQ(image.GetWidth(), 32);
    EXPECT_EQ(image.GetHeight(), 24);
}

TEST_F(Codec, FailedSavesLeaveNoFileAndKeepAnEarlierOne)
{
    const CQvImage image = Picture(QV_GRAY8, 5, 5);
    const CQvImage empty;
    const std::string kept = PathOf("kept.png");
    WriteBytes(kept, "earlier");
    EXPECT_EQ(codec.Save(kept.c_str(), &empty, nullptr), 0);
    EXPECT_EQ(codec.Save(kept.c_str(), &image, "gif"), 0);
    EXPECT_EQ(ReadBytes(kept), QByteArray("earlier"));

    EXPECT_EQ(codec.Save(PathOf("picture.xyz").c_str(), &image, nullptr), 0);
    EXPECT_EQ(codec.Save(PathOf("no-folder/picture.png").c_str(), &image, nullptr), 0);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"kept.png"});
}

TEST_F(Codec, FilterListsTheInstalledFormatsAroundTheNativeDocument)
{
    std::string filter;
    ASSERT_EQ(codec.GetFilter(filter), 1);
    EXPECT_EQ(filter, "BMP (*.bmp)|*.bmp|QRX Document (*.qrx)|*.qrx|JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|"
                      "PNG (*.png)|*.png|"
                      "All Image Files (*.qrx;*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff)|"
                      "*.qrx;*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff|TIFF (*.tif;*.tiff)|*.tif;*.tiff||");
    EXPECT_STREQ(codec.GetDefaultExt(), "qrx");
}

TEST(CodecBeforeInstall, NothingIsReadOrSaved)
{
    QTemporaryDir folder;
    const std::string path = (folder.path() + "/a.png").toStdString();
    ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(QString::fromStdString(path)));
    CQvImageCodec codec;
    CQvImage image = Picture(QV_GRAY8, 3, 3);
    EXPECT_EQ(codec.Read(path.c_str(), &image, nullptr, 0, -1, -1), 0);
    EXPECT_EQ(codec.Save(path.c_str(), &image, nullptr), 0);
    std::string filter = "x";
    EXPECT_EQ(codec.GetFilter(filter), 0);
    EXPECT_EQ(filter, "");
}
