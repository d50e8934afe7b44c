#include "qvcodec/CQvImageCodec.h"
#include "qvcodec/ImageFileBytes.h"
#include "qvimage/QvImageViews.h"
#include "testing/AllocationPeak.h"
#include "testing/HostileImageFiles.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A smooth picture (JPEG keeps it closely) with a few sharp details, in any model; odd sizes exercise row padding.
// Alpha takes every value, 0 and the smallest ones included, where colour premultiplied by alpha would be lost.
CQvImage Picture(int model, int width, int height)
{
    CQvImage image;
    image.Create(model, width, height, 0);
    const int bytesPerPixel = GetQvBitCount(model) / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int b = 0; b < bytesPerPixel; ++b)
                image.GetPixel(x, y)[b] = static_cast<BYTE>(b == 3 ? x * 7 + y : x * 3 + y * 2 + b * 40);
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

// A palette unlike the grey ramp, so that the image reads back as indexed.
void SetTestPalette(CQvImage& image)
{
    RGBQUAD palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    image.SetPalette(palette, 256);
}

// One directory entry of a hand-made TIFF: values of type SHORT (3) or LONG (4), placed after the directory when
// they do not fit the entry; or, with `raw` set, the entry's count and value field exactly as given.
struct TiffField
{
    uint16_t tag;
    uint16_t type;
    std::vector<uint32_t> values;
    bool raw = false;
    uint32_t rawCount = 0;
    uint32_t rawValue = 0;
};

// A classic TIFF in either byte order: the 8-byte header, `pixels` from offset 8, then one directory with the
// fields (in the order given), its next-directory offset (`next`, 0 for none) and the values that did not fit.
QByteArray HandMadeTiff(bool bigEndian, const QByteArray& pixels, const std::vector<TiffField>& fields,
                        uint32_t next = 0)
{
    QByteArray bytes;
    const auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.append(static_cast<char>(value >> (8 * (bigEndian ? size - 1 - i : i))));
    };
    bytes.append(bigEndian ? "MM" : "II");
    put(42, 2);
    const uint32_t directory = 8 + static_cast<uint32_t>(pixels.size());
    put(directory, 4);
    bytes.append(pixels);
    uint32_t outside = directory + 2 + 12 * static_cast<uint32_t>(fields.size()) + 4;
    std::vector<const TiffField*> placed;
    put(static_cast<uint32_t>(fields.size()), 2);
    for (const TiffField& f : fields) {
        const int size = f.type == 3 ? 2 : 4;
        put(f.tag, 2);
        put(f.type, 2);
        if (f.raw) {
            put(f.rawCount, 4);
            put(f.rawValue, 4);
            continue;
        }
        put(static_cast<uint32_t>(f.values.size()), 4);
        if (f.values.size() * size <= 4) {
            for (uint32_t v : f.values)
                put(v, size);
            for (size_t i = f.values.size() * size; i < 4; ++i)
                bytes.append('\0');
        } else {
            put(outside, 4);
            outside += static_cast<uint32_t>(f.values.size() * size);
            placed.push_back(&f);
        }
    }
    put(next, 4);
    for (const TiffField* f : placed)
        for (uint32_t v : f->values)
            put(v, f->type == 3 ? 2 : 4);
    return bytes;
}

// The fields of a grey 8-bit uncompressed image in one strip at offset 8.
std::vector<TiffField> GreyFields(uint32_t width, uint32_t height)
{
    return {{256, 4, {width}},    {257, 4, {height}}, {258, 3, {8}},        {259, 3, {1}},
            {262, 3, {1}},        {273, 4, {8}},      {277, 3, {1}},        {278, 4, {height}},
            {279, 4, {width * height}}};
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

    // Reads prefixes of `whole` (with a JPEG end marker appended when asked): every cut in the last part, where
    // directories, colour maps and last scans lie, and a spread of cuts before it. None may be read.
    void ExpectNoPrefixRead(const QByteArray& whole, bool endMarkerAppended) const
    {
        const std::string path = PathOf("whole");
        WriteBytes(path, whole);
        CQvImage back;
        ASSERT_EQ(codec.Read(path.c_str(), &back, nullptr, 0, -1, -1), 1);

        const QByteArray end("\xFF\xD9", 2);
        // With the end marker appended, the file less its own end marker is the whole file again.
        const qsizetype cuts = endMarkerAppended ? whole.size() - end.size() : whole.size();
        const std::string cutPath = PathOf("cut");
        const qsizetype step = std::max<qsizetype>(1, cuts / 100);
        int read = 0;
        for (qsizetype length = 0; length < cuts && read < 5; length += length + 200 >= cuts ? 1 : step) {
            WriteBytes(cutPath, whole.left(length) + (endMarkerAppended ? end : QByteArray()));
            CQvImage image = Picture(QV_GRAY8, 3, 3);
            if (codec.Read(cutPath.c_str(), &image, nullptr, 0, -1, -1) != 0) {
                ++read;
                ADD_FAILURE() << "read the first " << length << " of " << whole.size() << " bytes";
            } else if (image.GetWidth() != 3) {
                ADD_FAILURE() << "a failed read changed the image";
            }
        }
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
        int largestDifference;  // JPEG is lossy; every other format keeps every byte, alpha included
    } cases[] = {
        {"grey.bmp", QV_GRAY8, 0},  {"rgb.bmp", QV_RGB24, 0},   {"rgba.bmp", QV_RGBA32, 0},
        {"grey.png", QV_GRAY8, 0},  {"rgb.png", QV_RGB24, 0},   {"rgba.png", QV_RGBA32, 0},
        {"grey.tif", QV_GRAY8, 0},  {"rgb.tiff", QV_RGB24, 0},  {"rgba.tif", QV_RGBA32, 0},
        {"grey.jpg", QV_GRAY8, 12}, {"rgb.JPEG", QV_RGB24, 40},
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
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 11);  // no temporary file left behind
}

TEST_F(Codec, RgbaBmpIsWrittenWithAnAlphaMask)
{
    CQvImage image;
    ASSERT_EQ(image.Create(QV_RGBA32, 2, 2, 0), 1);
    const BYTE pixels[2][8] = {{1, 2, 3, 0, 4, 5, 6, 7}, {8, 9, 10, 128, 11, 12, 13, 255}};
    for (int y = 0; y < 2; ++y)
        std::memcpy(image.GetPixel(0, y), pixels[y], 8);
    const std::string path = PathOf("alpha.bmp");
    ASSERT_EQ(codec.Save(path.c_str(), &image, nullptr), 1);

    QByteArray expected;
    const auto put = [&expected](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            expected.append(static_cast<char>(value >> (8 * i)));
    };
    expected.append("BM");
    put(138 + 16, 4);
    put(0, 4);
    put(138, 4);
    for (uint32_t v : {124u, 2u, 2u})  // BITMAPV5HEADER, width, height (bottom-up)
        put(v, 4);
    put(1, 2);
    put(32, 2);
    for (uint32_t v : {3u, 16u, 0u, 0u, 0u, 0u})  // BI_BITFIELDS, image bytes, resolution, colours
        put(v, 4);
    for (uint32_t v : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u, 0x73524742u})  // masks, sRGB
        put(v, 4);
    expected.append(48, '\0');
    for (uint32_t v : {4u, 0u, 0u, 0u})  // images intent, no profile
        put(v, 4);
    expected.append(reinterpret_cast<const char*>(pixels[1]), 8);
    expected.append(reinterpret_cast<const char*>(pixels[0]), 8);
    EXPECT_EQ(ReadBytes(path).toHex(), expected.toHex());
}

// 16-bit grey files (as Qt writes them: TIFF and PNG) read as 8-bit grey mapped by the image's own range, and the
// note tells what happened.
struct SixteenBitCase
{
    const char* what;
    std::vector<uint16_t> samples;  // one row
    std::vector<int> levels;
    int low;
    int high;
};

void PrintTo(const SixteenBitCase& c, std::ostream* os) { *os << c.what; }

class CodecSixteenBit : public Codec, public ::testing::WithParamInterface<SixteenBitCase>
{};

TEST_P(CodecSixteenBit, GreyIsMappedByItsOwnRangeAndSaysSo)
{
    const SixteenBitCase& c = GetParam();
    QImage grey(static_cast<int>(c.samples.size()), 1, QImage::Format_Grayscale16);
    std::memcpy(grey.scanLine(0), c.samples.data(), c.samples.size() * 2);
    for (const char* name : {"grey16.tif", "grey16.png"}) {
        SCOPED_TRACE(name);
        const std::string path = PathOf(name);
        ASSERT_TRUE(grey.save(QString::fromStdString(path)));
        CQvImage image;
        QvCodecReadNote note;
        ASSERT_EQ(codec.Read(path.c_str(), &image, nullptr, 0, -1, -1, &note), 1);
        ASSERT_EQ(image.GetColorModel(), QV_GRAY8);
        std::vector<int> levels;
        for (int x = 0; x < image.GetWidth(); ++x)
            levels.push_back(image.GetPixel(x, 0)[0]);
        EXPECT_EQ(levels, c.levels);
        EXPECT_EQ(note.fileBits, 16);
        EXPECT_TRUE(note.reduced);
        EXPECT_EQ(note.low, c.low);
        EXPECT_EQ(note.high, c.high);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CodecSixteenBit,
    ::testing::Values(
        SixteenBitCase{"twelve-bit camera data", {0, 16, 17, 2048, 4079, 4095}, {0, 1, 1, 128, 254, 255}, 0, 4095},
        SixteenBitCase{"values below 256", {3, 4, 100, 203}, {0, 1, 124, 255}, 3, 203},
        SixteenBitCase{"full range", {0, 257, 32768, 65535}, {0, 1, 128, 255}, 0, 65535},
        SixteenBitCase{"uniform and faint", {7, 7}, {7, 7}, 7, 7},
        SixteenBitCase{"uniform and bright", {4000, 4000}, {255, 255}, 4000, 4000}),
    [](const ::testing::TestParamInfo<SixteenBitCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (ch == ' ' || ch == '-')
                ch = '_';
        return name;
    });

TEST_F(Codec, EightBitAndSixteenBitColourReadsSayHowTheirSamplesWereTaken)
{
    const CQvImage rgb = Picture(QV_RGB24, 5, 3);
    const std::string path = PathOf("rgb.png");
    ASSERT_EQ(codec.Save(path.c_str(), &rgb, nullptr), 1);
    CQvImage image;
    QvCodecReadNote note{16, true, 1, 2};
    ASSERT_EQ(codec.Read(path.c_str(), &image, nullptr, 0, -1, -1, &note), 1);
    EXPECT_EQ(note.fileBits, 8);
    EXPECT_FALSE(note.reduced);

    // Colour keeps the full range, so that a photograph keeps its brightness.
    QImage deep(2, 1, QImage::Format_RGBX64);
    deep.setPixelColor(0, 0, QColor::fromRgba64(0, 32768, 65535));
    deep.setPixelColor(1, 0, QColor::fromRgba64(1000, 2000, 3000));
    const std::string deepPath = PathOf("rgb16.png");
    ASSERT_TRUE(deep.save(QString::fromStdString(deepPath)));
    ASSERT_EQ(codec.Read(deepPath.c_str(), &image, nullptr, 0, -1, -1, &note), 1);
    ASSERT_EQ(image.GetColorModel(), QV_RGB24);
    EXPECT_EQ(image.GetPixel(0, 0)[0], 255);  // blue
    EXPECT_EQ(image.GetPixel(0, 0)[1], 128);
    EXPECT_EQ(image.GetPixel(1, 0)[2], 4);  // 1000 of 65535
    EXPECT_EQ(note.fileBits, 16);
    EXPECT_TRUE(note.reduced);
    EXPECT_EQ(note.low, 0);
    EXPECT_EQ(note.high, 65535);
}

TEST_F(Codec, PaletteImagesKeepTheirPalette)
{
    CQvImage original = Picture(QV_INDEX8, 9, 5);
    SetTestPalette(original);
    for (const char* name : {"indexed.bmp", "indexed.png", "indexed.tif"}) {
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

TEST_F(Codec, AShortPaletteGivesTheSameTiffEveryTime)
{
    CQvImage original = Picture(QV_INDEX8, 9, 5);
    RGBQUAD palette[16];
    for (int i = 0; i < 16; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(16 * i), static_cast<BYTE>(255 - 16 * i), 7, 0};
    ASSERT_EQ(original.SetPalette(palette, 16), 1);
    std::vector<QByteArray> files;
    // Fill the heap with non-zero bytes between the writes, so that anything the writer leaves unset shows.
    for (const char* name : {"first.tif", "second.tif"}) {
        std::vector<char> noise(1 << 16, static_cast<char>(0x5A + files.size()));
        ASSERT_EQ(codec.Save(PathOf(name).c_str(), &original, nullptr), 1);
        QFile file(QString::fromStdString(PathOf(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        files.push_back(file.readAll());
    }
    EXPECT_EQ(files[0], files[1]);
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

// A path given by the user or a companion may name anything: a FIFO with no writer would block the program, a device
// never ends, a vast file would fill memory. Each fails at once, before the decoder sees a byte.
TEST_F(Codec, OnlyRegularFilesWithinTheLimitAreOpened)
{
    const std::string fifo = PathOf("fifo.png");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string vast = PathOf("vast.png");
    const CQvImage small = Picture(QV_GRAY8, 4, 4);
    ASSERT_EQ(codec.Save(vast.c_str(), &small, nullptr), 1);
    ASSERT_EQ(truncate(vast.c_str(), static_cast<off_t>(kMaxImageFileBytes) + 1), 0);  // sparse: nothing written
    for (const std::string& path : {fifo, vast, std::string("/dev/zero"), folder.path().toStdString()}) {
        SCOPED_TRACE(path);
        CQvImage image = Picture(QV_GRAY8, 3, 3);
        EXPECT_EQ(codec.Read(path.c_str(), &image, nullptr, 0, -1, -1), 0);
        EXPECT_EQ(image.GetWidth(), 3);
        QByteArray bytes("stale");
        EXPECT_FALSE(ReadImageFileBytes(path, bytes));
        EXPECT_TRUE(bytes.isEmpty());
    }
}

// The decoder allocates what a chunk announces and waits for it to arrive: a length the file cannot hold is refused
// before the decoder sees it.
TEST_F(Codec, APngChunkLongerThanTheFileNeverReachesTheDecoder)
{
    const QByteArray bomb = hostile_files::PngAnnouncingMoreThanItHolds();
    EXPECT_FALSE(IsDecodableImageFile(bomb, "png", 0, ImageFileCheck::Structure));
    const std::string path = PathOf("bomb.png");
    WriteBytes(path, bomb);
    CQvImage image = Picture(QV_GRAY8, 3, 3);
    EXPECT_EQ(codec.Read(path.c_str(), &image, nullptr, 0, -1, -1), 0);
    EXPECT_EQ(image.GetWidth(), 3);

    const CQvImage picture = Picture(QV_RGB24, 5, 4);
    ASSERT_EQ(codec.Save(PathOf("whole.png").c_str(), &picture, nullptr), 1);
    EXPECT_TRUE(IsDecodableImageFile(ReadBytes(PathOf("whole.png")), "png", 0, ImageFileCheck::Structure));
}

// A JPEG's decoder keeps buffers for the size its header states (a progressive file: every coefficient of the
// whole image, even for a scaled read); a header stating more than Qt would ever make an image of is refused before
// any decoding, whichever check is asked for.
TEST_F(Codec, AJpegStatingAnImageBeyondTheAllocationLimitIsNotDecoded)
{
    const CQvImage picture = Picture(QV_RGB24, 16, 16);
    ASSERT_EQ(codec.Save(PathOf("small.jpg").c_str(), &picture, nullptr), 1);
    QByteArray vast = ReadBytes(PathOf("small.jpg"));
    EXPECT_TRUE(IsDecodableImageFile(vast, "jpeg", 0, ImageFileCheck::Structure));
    const qsizetype frame = vast.indexOf(QByteArrayView("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    for (const qsizetype at : {frame + 5, frame + 7}) {  // height, then width: 60000 each
        vast[at] = static_cast<char>(0xEA);
        vast[at + 1] = static_cast<char>(0x60);
    }
    EXPECT_FALSE(IsDecodableImageFile(vast, "jpeg", 0, ImageFileCheck::Structure));
    EXPECT_FALSE(IsDecodableImageFile(vast, "jpeg", 0, ImageFileCheck::WholePixelData));
}

// A file the codec wrote, cut short (and, for JPEG, closed again with an end marker): no prefix may be read.
struct CutCase
{
    const char* name;
    int model;
    bool endMarkerAppended;
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class CodecCut : public Codec, public ::testing::WithParamInterface<CutCase>
{};

TEST_P(CodecCut, NoPrefixOfAFileTheCodecWroteIsRead)
{
    const CutCase& c = GetParam();
    CQvImage original = Picture(c.model, 13, 5);
    if (c.model == QV_INDEX8)
        SetTestPalette(original);
    const std::string path = PathOf(c.name);
    ASSERT_EQ(codec.Save(path.c_str(), &original, nullptr), 1);
    ExpectNoPrefixRead(ReadBytes(path), c.endMarkerAppended);
}

INSTANTIATE_TEST_SUITE_P(
    FilesTheCodecWrote, CodecCut,
    ::testing::Values(CutCase{"grey.tif", QV_GRAY8, false}, CutCase{"rgb.tif", QV_RGB24, false},
                      CutCase{"rgba.tif", QV_RGBA32, false}, CutCase{"indexed.tif", QV_INDEX8, false},
                      CutCase{"grey.bmp", QV_GRAY8, false}, CutCase{"rgba.bmp", QV_RGBA32, false},
                      CutCase{"grey.png", QV_GRAY8, false}, CutCase{"rgba.png", QV_RGBA32, false},
                      CutCase{"rgb.jpg", QV_RGB24, false}, CutCase{"grey.jpg", QV_GRAY8, true},
                      CutCase{"rgb.jpg", QV_RGB24, true}),
    [](const ::testing::TestParamInfo<CutCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == '.')
                ch = '_';
        return name + (info.param.endMarkerAppended ? "_closed_again" : "");
    });

TEST_F(Codec, NoProgressiveJpegCutBetweenScansAndClosedAgainIsRead)
{
    // Qt writes it: the codec saves baseline JPEG only, but reads what other programs write.
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(picture));
    ExpectNoPrefixRead(bytes, true);
}

TEST_F(Codec, TiffDirectoriesAreCheckedInEitherByteOrderAndBoundedOnHostileCounts)
{
    const QByteArray pixels = [] {
        QByteArray p(6 * 4, '\0');
        for (int i = 0; i < p.size(); ++i)
            p[i] = static_cast<char>(i * 10);
        return p;
    }();
    const auto with = [](std::vector<TiffField> fields, const TiffField& replacement) {
        for (TiffField& f : fields)
            if (f.tag == replacement.tag)
                f = replacement;
        return fields;
    };
    const std::vector<TiffField> grey = GreyFields(6, 4);
    std::vector<TiffField> palette = with(grey, {262, 3, {3}});
    palette.push_back({320, 3, std::vector<uint32_t>(3 * 256, 0x8080)});

    const struct
    {
        const char* what;
        bool bigEndian;
        std::vector<TiffField> fields;
        int frame;
        bool readable;
    } cases[] = {
        {"little-endian, whole", false, grey, 0, true},
        {"big-endian, whole", true, grey, 0, true},
        {"palette, whole", true, palette, 0, true},
        {"strip running past the end", true, with(grey, {279, 4, {4000}}), 0, false},
        {"strip offset past the end", false, with(grey, {273, 4, {4000}}), 0, false},
        {"uncompressed strip shorter than its rows", true, with(grey, {279, 4, {6 * 4 - 1}}), 0, false},
        {"fewer strips than rows need", false, with(grey, {278, 4, {1}}), 0, false},
        {"strip offsets counted past the file", false, with(grey, {273, 4, {}, true, 0x40000000, 8}), 0, false},
        {"byte counts of an unknown type", true, with(grey, {279, 12, {}, true, 1, 8}), 0, false},
        {"colour map short of its entries", true, with(palette, {320, 3, std::vector<uint32_t>(3 * 16, 0)}), 0,
         false},
        {"colour map past the end", false, with(palette, {320, 3, {}, true, 3 * 256, 100}), 0, false},
        {"palette without a colour map", false, with(grey, {262, 3, {3}}), 0, false},
        {"second image missing", false, grey, 1, false},
    };
    const std::string path = PathOf("hand-made.tif");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(path, HandMadeTiff(c.bigEndian, pixels, c.fields));
        CQvImage image = Picture(QV_GRAY8, 3, 3);
        EXPECT_EQ(codec.Read(path.c_str(), &image, nullptr, c.frame, -1, -1), c.readable ? 1 : 0);
        if (c.readable) {
            ASSERT_EQ(image.GetWidth(), 6);
            EXPECT_EQ(image.GetPixel(5, 3)[0], static_cast<BYTE>(23 * 10));
        } else {
            EXPECT_EQ(image.GetWidth(), 3);
        }
    }

    // A chain of directories that loops, and a directory that states more entries than the file holds.
    const QByteArray loop = HandMadeTiff(false, pixels, grey, 8 + static_cast<uint32_t>(pixels.size()));
    QByteArray vast = HandMadeTiff(true, pixels, grey);
    vast[8 + pixels.size()] = '\xFF';
    for (const QByteArray& bytes : {loop, vast}) {
        WriteBytes(path, bytes);
        CQvImage image;
        EXPECT_EQ(codec.Read(path.c_str(), &image, nullptr, bytes == loop ? 1 : 0, -1, -1), 0);
    }
}

TEST_F(Codec, PlainTiffStripsAndTilesLandInTheirRowsWithThePaddingClear)
{
    // Sample c of pixel (x, y) as the file holds it; tile bytes outside the image are 0xEE.
    const auto sample = [](int x, int y, int c) { return static_cast<char>((x * 7 + y * 13 + c * 101) & 0xFF); };
    const struct
    {
        const char* what;
        int samples;
        uint32_t width;
        uint32_t height;
        uint32_t tileSide;  // 0: strips of 3 rows
    } cases[] = {
        {"colour rows as long as the stride", 3, 64, 10, 0},
        {"colour long rows with padding", 3, 1367, 7, 0},
        {"grey long rows with padding", 1, 4099, 5, 0},
        {"colour short rows with padding", 3, 13, 11, 0},
        {"grey short rows with padding", 1, 13, 11, 0},
        {"colour narrow tiles past the edges", 3, 37, 21, 16},
        {"grey narrow tiles past the edges", 1, 37, 21, 16},
        {"colour wide tiles past the edge", 3, 1370, 3, 1376},
    };
    const std::string path = PathOf("plain.tif");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const uint32_t chunkWidth = c.tileSide ? c.tileSide : c.width;
        const uint32_t chunkRows = c.tileSide ? c.tileSide : 3;
        const uint32_t across = (c.width + chunkWidth - 1) / chunkWidth;
        const uint32_t down = (c.height + chunkRows - 1) / chunkRows;
        QByteArray pixels;
        std::vector<uint32_t> offsets;
        std::vector<uint32_t> counts;
        for (uint32_t chunk = 0; chunk < across * down; ++chunk) {
            const uint32_t left = chunk % across * chunkWidth;
            const uint32_t top = chunk / across * chunkRows;
            // A strip holds only the image's rows; a tile is whole.
            const uint32_t rows = c.tileSide ? chunkRows : std::min(chunkRows, c.height - top);
            offsets.push_back(8 + static_cast<uint32_t>(pixels.size()));
            counts.push_back(rows * chunkWidth * static_cast<uint32_t>(c.samples));
            for (uint32_t y = top; y < top + rows; ++y)
                for (uint32_t x = left; x < left + chunkWidth; ++x)
                    for (int s = 0; s < c.samples; ++s)
                        pixels.append(x < c.width && y < c.height ? sample(int(x), int(y), s) : '\xEE');
        }
        std::vector<TiffField> fields = {{256, 4, {c.width}}, {257, 4, {c.height}},
                                         {258, 3, std::vector<uint32_t>(static_cast<size_t>(c.samples), 8)},
                                         {259, 3, {1}}, {262, 3, {c.samples == 3 ? 2u : 1u}}};
        if (c.tileSide) {
            fields.push_back({277, 3, {static_cast<uint32_t>(c.samples)}});
            fields.insert(fields.end(), {{322, 4, {c.tileSide}}, {323, 4, {c.tileSide}}, {324, 4, offsets},
                                         {325, 4, counts}});
        } else {
            fields.insert(fields.end(), {{273, 4, offsets}, {277, 3, {static_cast<uint32_t>(c.samples)}},
                                         {278, 4, {chunkRows}}, {279, 4, counts}});
        }
        for (bool bigEndian : {false, true}) {
            WriteBytes(path, HandMadeTiff(bigEndian, pixels, fields));
            CQvImage image;
            ASSERT_EQ(codec.Read(path.c_str(), &image, nullptr, 0, -1, -1), 1);
            ASSERT_EQ(image.GetColorModel(), c.samples == 3 ? QV_RGB24 : QV_GRAY8);
            ASSERT_EQ(image.GetWidth(), static_cast<int>(c.width));
            ASSERT_EQ(image.GetHeight(), static_cast<int>(c.height));
            const int rowBytes = static_cast<int>(c.width) * c.samples;
            for (int y = 0; y < image.GetHeight(); ++y) {
                const BYTE* row = image.Get2DBuffer()[y];
                for (int x = 0; x < image.GetWidth(); ++x)
                    for (int s = 0; s < c.samples; ++s)
                        ASSERT_EQ(static_cast<char>(row[x * c.samples + s]), sample(x, y, c.samples - 1 - s))
                            << x << "," << y;
                for (int b = rowBytes; b < image.GetStride(); ++b)
                    ASSERT_EQ(row[b], 0) << "padding of row " << y;
            }
        }
    }
}

TEST_F(Codec, StraightAlphaTiffReadsExactlyFromStripsAndTiles)
{
    // 3 x 2 pixels R, G, B, A; alpha 0 and 1 where premultiplying would lose the colour.
    const QByteArray rgba("\x10\x20\x30\x00" "\x40\x50\x60\x01" "\x70\x80\x90\xFF"
                          "\xA0\xB0\xC0\x02" "\xD0\xE0\xF0\x80" "\x01\x02\x03\x04", 24);
    const std::vector<TiffField> common = {{256, 4, {3}}, {257, 4, {2}}, {258, 3, {8, 8, 8, 8}}, {259, 3, {1}},
                                           {262, 3, {2}}, {277, 3, {4}}, {338, 3, {2}}};
    std::vector<TiffField> strips = common;
    strips.insert(strips.end(), {{273, 4, {8, 8 + 12}}, {278, 4, {1}}, {279, 4, {12, 12}}});
    // One 16 x 16 tile: the image's rows lie at the tile's stride.
    QByteArray tile(16 * 16 * 4, '\0');
    tile.replace(0, 12, rgba.left(12));
    tile.replace(16 * 4, 12, rgba.mid(12));
    std::vector<TiffField> tiles = common;
    tiles.insert(tiles.end(), {{322, 4, {16}}, {323, 4, {16}}, {324, 4, {8}}, {325, 4, {16 * 16 * 4}}});

    const std::string path = PathOf("straight.tif");
    for (const auto& [fields, pixels] : {std::pair{strips, rgba}, std::pair{tiles, tile}}) {
        for (bool bigEndian : {false, true}) {
            SCOPED_TRACE(fields.size() == strips.size() ? "strips" : "tiles");
            WriteBytes(path, HandMadeTiff(bigEndian, pixels, fields));
            CQvImage image;
            ASSERT_EQ(codec.Read(path.c_str(), &image, nullptr, 0, -1, -1), 1);
            ASSERT_EQ(image.GetColorModel(), QV_RGBA32);
            ASSERT_EQ(image.GetWidth(), 3);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x) {
                    const char* p = rgba.constData() + (y * 3 + x) * 4;
                    const BYTE* q = image.GetPixel(x, y);
                    const char bgra[4] = {p[2], p[1], p[0], p[3]};
                    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(q), 4), QByteArray(bgra, 4))
                        << x << "," << y;
                }
        }
    }
}

namespace {

// Qt's decoding of the file taken into the image's layout, as the codec took every file before it decoded into
// the image's rows itself: the reference the rows written directly must equal byte for byte.
CQvImage ThroughQt(const std::string& path, int model)
{
    const QImage decoded = QImageReader(QString::fromStdString(path)).read();
    const QImage pixels = decoded.convertToFormat(model == QV_GRAY8 ? QImage::Format_Grayscale8 : QImage::Format_BGR888);
    CQvImage image;
    image.Create(model, pixels.width(), pixels.height(), 0);
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(image.Get2DBuffer()[y], pixels.constScanLine(y), static_cast<size_t>(pixels.bytesPerLine()));
    return image;
}

}  // namespace

TEST_F(Codec, RowsDecodedInPlaceEqualQtsPixels)
{
    const CQvImage colour = Picture(QV_RGB24, 161, 99);
    const CQvImage grey = Picture(QV_GRAY8, 161, 99);
    const auto save = [&](const char* name, const CQvImage& image) {
        const std::string path = PathOf(name);
        EXPECT_EQ(codec.Save(path.c_str(), &image, nullptr), 1);
        return path;
    };
    const std::string progressive = PathOf("progressive.jpg");
    {
        QImageWriter writer(QString::fromStdString(progressive), "jpeg");
        writer.setProgressiveScanWrite(true);
        ASSERT_TRUE(writer.write(QvImageToQImage(const_cast<CQvImage&>(colour))));
    }
    const struct
    {
        std::string path;
        int model;
    } cases[] = {
        {save("colour.jpg", colour), QV_RGB24}, {save("grey.jpg", grey), QV_GRAY8}, {progressive, QV_RGB24},
        {save("colour.tif", colour), QV_RGB24}, {save("grey.tif", grey), QV_GRAY8},
        {save("colour.png", colour), QV_RGB24}, {save("colour.bmp", colour), QV_RGB24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CQvImage image;
        ASSERT_EQ(codec.Read(c.path.c_str(), &image, nullptr, 0, -1, -1), 1);
        const CQvImage expected = ThroughQt(c.path, c.model);
        ASSERT_EQ(image.GetColorModel(), c.model);
        ASSERT_EQ(image.GetWidth(), expected.GetWidth());
        ASSERT_EQ(image.GetHeight(), expected.GetHeight());
        const size_t rowBytes = static_cast<size_t>(image.GetWidth()) * static_cast<size_t>(image.GetBitsPerPixel() / 8);
        for (int y = 0; y < image.GetHeight(); ++y)
            ASSERT_EQ(std::memcmp(image.Get2DBuffer()[y], expected.GetPixel(0, y), rowBytes), 0) << "row " << y;
    }
}

#if defined(__SANITIZE_ADDRESS__)
namespace {

// The most memory held at once while the codec reads the file.
long long PeakOfRead(const CQvImageCodec& codec, const std::string& path, CQvImage& image)
{
    int read = 0;
    const long long peak = PeakBytesDuring([&] { read = codec.Read(path.c_str(), &image, nullptr, 0, -1, -1); });
    return read == 1 ? peak : -1;
}

}  // namespace

TEST_F(Codec, OpeningAPictureHoldsNoFullSizeCopyBesideTheImage)
{
    ASSERT_TRUE(CountAllocations());
    const CQvImage picture = Picture(QV_RGB24, 1200, 900);
    const long long pixels = 1200LL * 900 * 3;
    const std::string jpeg = PathOf("large.jpg");
    const std::string tiff = PathOf("large.tif");
    ASSERT_EQ(codec.Save(jpeg.c_str(), &picture, nullptr), 1);
    ASSERT_EQ(codec.Save(tiff.c_str(), &picture, nullptr), 1);
    CQvImage image;
    // A JPEG: its compressed bytes, the image, the decoder's row buffers.
    const long long jpegPeak = PeakOfRead(codec, jpeg, image);
    EXPECT_GT(jpegPeak, pixels);
    EXPECT_LT(jpegPeak, 2 * pixels);
    // An uncompressed TIFF, as large as the pixels, is read by offset straight into the image: the image, the
    // start of the file to tell its format and its directory; no copy of the file.
    const long long tiffPeak = PeakOfRead(codec, tiff, image);
    EXPECT_GT(tiffPeak, pixels);
    EXPECT_LT(tiffPeak, pixels + pixels / 10);
}
#endif

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
