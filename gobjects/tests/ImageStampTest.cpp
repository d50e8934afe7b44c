// The picture stamp: how a handed-over DIB is completed and stored, its record byte for byte, damaged records
// refused, and the blend on a rendered surface.
#include "MarkerScene.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/GObjectFactory.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

using testing_support::PixelAt;

namespace {

// A packed DIB: header, `palette` entries, rows of `rowBytes` (bottom-up), each byte `fill`.
std::vector<uint8_t> MakeDib(int width, int height, int bits, int palette, int rowBytes, uint8_t fill, uint32_t clrUsed,
                             uint32_t sizeImage)
{
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biClrUsed = clrUsed;
    header.biSizeImage = sizeImage;
    std::vector<uint8_t> dib(40 + 4 * static_cast<size_t>(palette) + static_cast<size_t>(rowBytes * height), fill);
    std::memcpy(dib.data(), &header, 40);
    for (int i = 0; i < palette; ++i) {
        uint8_t* entry = dib.data() + 40 + 4 * i;
        entry[0] = entry[1] = entry[2] = static_cast<uint8_t>(i);
        entry[3] = 0;
    }
    return dib;
}

// A 2 x 2 picture of one colour (B, G, R bytes), 24 bits.
std::vector<uint8_t> SolidDib(uint8_t b, uint8_t g, uint8_t r)
{
    std::vector<uint8_t> dib = MakeDib(2, 2, 24, 0, 8, 0, 0, 16);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 2; ++x) {
            uint8_t* p = dib.data() + 40 + row * 8 + 3 * x;
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    return dib;
}

CQvGObjectImage* Stamp(MarkerScene& s, std::vector<uint8_t>& dib, CRect box, int opacity)
{
    s.container.AddObject(SHAPE_IMAGE);
    auto* stamp = dynamic_cast<CQvGObjectImage*>(s.container.GetCreatingObject());
    if (!stamp)
        return nullptr;
    EXPECT_EQ(stamp->SetImage(reinterpret_cast<BITMAPINFOHEADER*>(dib.data())), 1);
    stamp->SetOpacity(opacity);
    stamp->GetPoint()[0] = _RPOINT{double(box.left), double(box.top)};
    stamp->GetPoint()[1] = _RPOINT{double(box.right), double(box.bottom)};
    stamp->Finish();
    s.container.RepeatCreatingObject(stamp);
    return stamp;
}

CQvGObject* ReadRecord(MarkerScene& s, const std::vector<uint8_t>& record)
{
    CQvGObject* obj = CreateGObject(SHAPE_IMAGE);
    obj->SetContainer(&s.container);
    TempStream in(std::vector<uint8_t>(record.begin() + 4, record.end()));
    if (!obj->Read(in.file(), 1.5f)) {
        obj->RemoveAll();
        return nullptr;
    }
    return obj;
}

}  // namespace

TEST(ImageStamp, AHandedOverPaletteDibIsCompletedAndStoredWithItsSize)
{
    MarkerScene s;
    // 3 x 2 at 8 bits: rows of 4 bytes; palette count and image size left 0 by the caller.
    std::vector<uint8_t> dib = MakeDib(3, 2, 8, 256, 4, 7, 0, 0);
    const std::vector<uint8_t> handedOver = dib;
    CQvGObjectImage* stamp = Stamp(s, dib, CRect(0, 0, 2, 1), 60);
    ASSERT_NE(stamp, nullptr);
    EXPECT_EQ(dib, handedOver) << "the caller's block is never written";
    // The private copy is completed: 256 entries, the padded rows' bytes.
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), 40);
    header.biClrUsed = 256;
    header.biSizeImage = 8;
    std::memcpy(dib.data(), &header, 40);
    EXPECT_EQ(stamp->GetImageBytes(), dib);
    EXPECT_EQ(stamp->GetImage()->biClrUsed, 256u);

    stamp->CalInitialPos();
    EXPECT_EQ(stamp->GetMBR(), CRect(0, 0, 2, 1));
    EXPECT_EQ(stamp->GetHandle(CRect(0, 0, 0, 0)), -1);
    EXPECT_EQ(stamp->GetSelectedHandle(), -1);

    const std::vector<uint8_t> record = RecordOf(stamp);
    CQvGObjectRect base;
    static_cast<CQvGObject&>(base) = *stamp;
    Bytes expected;
    expected.Add(RecordOf(&base));
    expected.Add32(60);
    expected.Add32(40 + 1024 + 8);
    expected.Add(dib);
    expected.data[0] = SHAPE_IMAGE;
    EXPECT_EQ(record, expected.data);

    CQvGObject* back = ReadRecord(s, record);
    ASSERT_NE(back, nullptr);
    auto* read = dynamic_cast<CQvGObjectImage*>(back);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetOpacity(), 60);
    EXPECT_EQ(read->GetImageBytes(), dib);
    EXPECT_EQ(RecordOf(read), record);
    back->RemoveAll();

    // Without a picture: size 0, and no points once placed.
    CQvGObject* empty = CreateGObject(SHAPE_IMAGE);
    auto* none = static_cast<CQvGObjectImage*>(empty);
    none->CalInitialPos();
    EXPECT_EQ(none->GetPointCount(), 0);
    const std::vector<uint8_t> bare = RecordOf(none);
    ASSERT_GE(bare.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(bare.end() - 8, bare.end()), (std::vector<uint8_t>{100, 0, 0, 0, 0, 0, 0, 0}));
    empty->RemoveAll();
}

TEST(ImageStamp, DamagedRecordsAreRefused)
{
    MarkerScene s;
    std::vector<uint8_t> dib = SolidDib(0, 0, 255);
    CQvGObjectImage* stamp = Stamp(s, dib, CRect(0, 0, 1, 1), 100);
    ASSERT_NE(stamp, nullptr);
    const std::vector<uint8_t> record = RecordOf(stamp);
    const size_t sizeAt = record.size() - 56 - 4;  // 40 header + 16 pixels, then the size field before them
    CQvGObject* good = ReadRecord(s, record);
    ASSERT_NE(good, nullptr);
    good->RemoveAll();

    struct Case
    {
        const char* what;
        size_t offset;
        uint32_t value;
    };
    const Case cases[] = {
        {"negative size", sizeAt, 0xFFFFFFF0u},
        {"size beyond the file", sizeAt, 1000000u},
        {"size smaller than the header says", sizeAt, 48u},
        {"header size", sizeAt + 4, 12u},
        {"bits per pixel", sizeAt + 4 + 14, 7u},
        {"image size", sizeAt + 4 + 20, 4u},
    };
    for (const Case& c : cases) {
        Bytes damaged;
        damaged.data = record;
        if (c.offset == sizeAt + 4 + 14)
            damaged.data[c.offset] = static_cast<uint8_t>(c.value);  // biBitCount is a 2-byte field
        else
            damaged.Put32(c.offset, c.value);
        EXPECT_EQ(ReadRecord(s, damaged.data), nullptr) << c.what;
    }
    std::vector<uint8_t> cut(record.begin(), record.end() - 1);
    EXPECT_EQ(ReadRecord(s, cut), nullptr);
}

TEST(ImageStamp, StoredPicturesAreHeldToTheFormSetImageKeeps)
{
    MarkerScene s;
    std::vector<uint8_t> solid = SolidDib(0, 0, 255);
    CQvGObjectImage* stamp = Stamp(s, solid, CRect(0, 0, 1, 1), 100);
    ASSERT_NE(stamp, nullptr);
    const std::vector<uint8_t> record = RecordOf(stamp);
    const size_t sizeAt = record.size() - 56 - 4;
    // The record with another block in place of the picture.
    const auto withDib = [&](const std::vector<uint8_t>& dib) {
        Bytes r;
        r.data.assign(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(sizeAt));
        r.Add32(static_cast<uint32_t>(dib.size()));
        r.Add(dib);
        return r.data;
    };
    const auto header = [](std::vector<uint8_t>& dib, size_t at, int32_t value) {
        std::memcpy(dib.data() + at, &value, 4);
    };
    struct Case
    {
        const char* what;
        std::vector<uint8_t> dib;
        bool kept;
    };
    std::vector<Case> cases;
    cases.push_back({"as stored", MakeDib(2, 2, 24, 0, 8, 1, 0, 16), true});
    cases.push_back({"top-down", MakeDib(2, 2, 24, 0, 8, 1, 0, 16), true});
    header(cases.back().dib, 8, -2);
    cases.push_back({"least height", MakeDib(2, 2, 24, 0, 8, 1, 0, 16), false});
    header(cases.back().dib, 8, INT32_MIN);
    cases.push_back({"bit-field masks", MakeDib(2, 2, 32, 3, 8, 0xFF, 3, 16), false});
    header(cases.back().dib, 16, 3);
    cases.push_back({"16 bits with a palette", MakeDib(2, 2, 16, 2, 4, 1, 2, 8), false});
    cases.push_back({"24 bits with a palette", MakeDib(2, 2, 24, 1, 8, 1, 1, 16), false});
    cases.push_back({"image size absorbing the palette", MakeDib(2, 2, 8, 256, 4, 1, 0, 1024 + 8), false});
    std::vector<uint8_t> longer = MakeDib(2, 2, 24, 0, 8, 1, 0, 20);
    longer.resize(longer.size() + 4);
    cases.push_back({"image size past the rows", longer, false});
    for (const Case& c : cases) {
        CQvGObject* read = ReadRecord(s, withDib(c.dib));
        EXPECT_EQ(read != nullptr, c.kept) << c.what;
        if (read)
            read->RemoveAll();
    }
}

TEST(ImageStamp, BlendsWithItsOpacity)
{
    struct Case
    {
        int opacity;
        int green;  // of a red picture over white: 255 - alpha
    };
    const Case cases[] = {{100, 0}, {50, 127}, {0, 255}};
    for (const Case& c : cases) {
        MarkerScene s;
        std::vector<uint8_t> dib = SolidDib(0, 0, 255);
        CQvGObjectImage* stamp = Stamp(s, dib, CRect(10, 10, 19, 19), c.opacity);
        ASSERT_NE(stamp, nullptr);
        const QImage surface = s.Paint();
        for (CPoint p : {CPoint(10, 10), CPoint(15, 15), CPoint(19, 19)}) {
            const QRgb pixel = PixelAt(surface, p.x, p.y);
            EXPECT_EQ(qRed(pixel), 255) << c.opacity;
            EXPECT_NEAR(qGreen(pixel), c.green, 1) << c.opacity;
            EXPECT_EQ(qGreen(pixel), qBlue(pixel)) << c.opacity;
        }
        EXPECT_EQ(PixelAt(surface, 20, 15), 0xFFFFFFu) << c.opacity;
        EXPECT_EQ(PixelAt(surface, 15, 9), 0xFFFFFFu) << c.opacity;
        // Even an invisible stamp is picked anywhere on its box.
        EXPECT_EQ(s.Pick(CPoint(15, 15)), stamp) << c.opacity;
    }

    // Selected: a grey frame one pixel outside the picture's last row and column; no grips.
    MarkerScene s;
    std::vector<uint8_t> dib = SolidDib(255, 0, 0);
    CQvGObjectImage* stamp = Stamp(s, dib, CRect(10, 10, 19, 19), 100);
    QImage surface = testing_support::BlankSurface(MarkerScene::kWidth, MarkerScene::kHeight);
    CDC dc(surface);
    const CPoint origin(0, 0);
    const float ratio = 1.0f;
    stamp->DrawSelection(&dc, &origin, &ratio);
    EXPECT_EQ(PixelAt(surface, 10, 15), 0x808080u);
    EXPECT_EQ(PixelAt(surface, 19, 15), 0x808080u);
    EXPECT_EQ(PixelAt(surface, 15, 15), 0xFFFFFFu);
    EXPECT_EQ(testing_support::CountColour(surface, 0x808080), 4 * 9);
}

namespace {

constexpr DWORD kBitFields = 3;

// A header of `bits` and `compression` followed by `extra` bytes (masks, palette, rows) as given.
std::vector<uint8_t> Block(int width, int height, int bits, DWORD compression, uint32_t clrUsed,
                           const std::vector<uint8_t>& extra, uint32_t sizeImage = 0, uint32_t headerSize = 40)
{
    BITMAPINFOHEADER header{};
    header.biSize = headerSize;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = compression;
    header.biClrUsed = clrUsed;
    header.biSizeImage = sizeImage;
    std::vector<uint8_t> block(40);
    std::memcpy(block.data(), &header, 40);
    block.insert(block.end(), extra.begin(), extra.end());
    return block;
}

std::vector<uint8_t> Le32(std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> bytes;
    for (uint32_t v : values)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return bytes;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The stored picture's pixel (x, y counted from the top) as B, G, R of a 24-bit DIB.
std::array<uint8_t, 3> StoredPixel(const CQvGObjectImage& stamp, int x, int y)
{
    const std::vector<uint8_t>& dib = stamp.GetImageBytes();
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), 40);
    const int height = std::abs(header.biHeight);
    const int row = header.biHeight < 0 ? y : height - 1 - y;
    const size_t stride = (static_cast<size_t>(header.biWidth) * 3 + 3) / 4 * 4;
    const uint8_t* p = dib.data() + 40 + 4 * header.biClrUsed + row * stride + 3 * x;
    return {p[0], p[1], p[2]};
}

}  // namespace

TEST(ImageStamp, DibsFromOutsideAreStoredPlainOrRefusedWithTheOldPictureKept)
{
    // 16-bit 5-5-5 red, green, blue, white in one row of 4 (8 bytes, padded already).
    const std::vector<uint8_t> rgb555 = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F};
    // 16-bit 5-6-5 with its masks after the header.
    const std::vector<uint8_t> masks565 = Le32({0xF800, 0x07E0, 0x001F});
    const std::vector<uint8_t> rgb565 = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF};
    // 32-bit bit fields in the order B G R X, and 32-bit with the masks in a 56-byte header.
    const std::vector<uint8_t> masks888 = Le32({0xFF0000, 0x00FF00, 0x0000FF});
    const std::vector<uint8_t> rgb888 = Le32({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    struct Accepted
    {
        const char* what;
        std::vector<uint8_t> block;
        size_t storedSize;
    };
    const Accepted accepted[] = {
        {"16 bits, no palette for all its 2^16 colours", Block(4, 1, 16, BI_RGB, 0, rgb555), 40 + 12},
        {"16 bits, a stated palette skipped", Block(4, 1, 16, BI_RGB, 2, Concat({Le32({1, 2}), rgb555})), 40 + 12},
        {"16-bit bit fields", Block(4, 1, 16, kBitFields, 0, Concat({masks565, rgb565})), 40 + 12},
        {"32-bit bit fields", Block(4, 1, 32, kBitFields, 0, Concat({masks888, rgb888})), 40 + 12},
        {"bit fields in a longer header", [&] {
             std::vector<uint8_t> b = Block(4, 1, 32, kBitFields, 0, Concat({masks888, Le32({0}), rgb888}), 0, 56);
             return b;
         }(), 40 + 12},
        {"image size that lies", Block(4, 1, 16, BI_RGB, 0, rgb555, 0xFFFFFFF0u), 40 + 12},
        {"top-down rows", Block(4, -1, 16, BI_RGB, 0, rgb555), 40 + 12},
    };
    for (const Accepted& c : accepted) {
        CQvGObjectImage stamp;
        ASSERT_EQ(stamp.SetImage(c.block.data(), c.block.size()), 1) << c.what;
        ASSERT_EQ(stamp.GetImageBytes().size(), c.storedSize) << c.what;
        const BITMAPINFOHEADER* stored = stamp.GetImage();
        EXPECT_EQ(stored->biSize, 40u) << c.what;
        EXPECT_EQ(stored->biBitCount, 24) << c.what;
        EXPECT_EQ(stored->biCompression, BI_RGB) << c.what;
        EXPECT_EQ(stored->biClrUsed, 0u) << c.what;
        EXPECT_EQ(stored->biSizeImage, 12u) << c.what;
        using Px = std::array<uint8_t, 3>;
        EXPECT_EQ(StoredPixel(stamp, 0, 0), (Px{0, 0, 255})) << c.what;
        EXPECT_EQ(StoredPixel(stamp, 1, 0), (Px{0, 255, 0})) << c.what;
        EXPECT_EQ(StoredPixel(stamp, 2, 0), (Px{255, 0, 0})) << c.what;
        EXPECT_EQ(StoredPixel(stamp, 3, 0), (Px{255, 255, 255})) << c.what;
    }

    const std::vector<uint8_t> row24(4, 0x40);
    struct Refused
    {
        const char* what;
        std::vector<uint8_t> block;
    };
    const Refused refused[] = {
        {"height that lies about the rows there are", Block(1, 3, 24, BI_RGB, 0, row24)},
        {"width that lies", Block(9, 1, 24, BI_RGB, 0, row24)},
        {"8 bits with fewer palette entries than stated", Block(1, 1, 8, BI_RGB, 0, std::vector<uint8_t>(40, 0))},
        {"8 bits with a palette larger than 8 bits hold", Block(1, 1, 8, BI_RGB, 257, std::vector<uint8_t>(1032, 0))},
        {"24 bits with an absurd palette", Block(1, 1, 24, BI_RGB, 0xFFFFFFFFu, row24)},
        {"header size too small", Block(1, 1, 24, BI_RGB, 0, row24, 0, 12)},
        {"header size beyond every known header", Block(1, 1, 24, BI_RGB, 0, std::vector<uint8_t>(300, 0), 0, 200)},
        {"zero width", Block(0, 1, 24, BI_RGB, 0, row24)},
        {"negative width", Block(-1, 1, 24, BI_RGB, 0, row24)},
        {"zero height", Block(1, 0, 24, BI_RGB, 0, row24)},
        {"most negative height", Block(1, INT32_MIN, 24, BI_RGB, 0, row24)},
        {"bits per pixel", Block(1, 1, 7, BI_RGB, 0, row24)},
        {"run-length compression", Block(1, 1, 8, 1, 0, std::vector<uint8_t>(1028, 0))},
        {"bit fields at 24 bits", Block(1, 1, 24, kBitFields, 0, Concat({masks888, row24}))},
        {"an empty mask", Block(1, 1, 32, kBitFields, 0, Concat({Le32({0xFF0000, 0, 0xFF}), row24}))},
        {"a mask with a gap", Block(1, 1, 32, kBitFields, 0, Concat({Le32({0xF0F000, 0xFF00, 0xFF}), row24}))},
        {"masks cut off", Block(1, 1, 32, kBitFields, 0, Le32({0xFF0000, 0xFF00}))},
        {"header cut off", std::vector<uint8_t>(39, 0)},
    };
    MarkerScene s;
    std::vector<uint8_t> keep = SolidDib(1, 2, 3);
    CQvGObjectImage* stamp = Stamp(s, keep, CRect(0, 0, 1, 1), 100);
    ASSERT_NE(stamp, nullptr);
    const std::vector<uint8_t> before = stamp->GetImageBytes();
    for (const Refused& c : refused) {
        EXPECT_EQ(stamp->SetImage(c.block.data(), c.block.size()), 0) << c.what;
        EXPECT_EQ(stamp->GetImageBytes(), before) << c.what;
    }
}

TEST(ImageStamp, TopDownPictureIsDrawnTheRightWayUp)
{
    // 1 x 2, top-down: red on top, blue below.
    std::vector<uint8_t> block = Block(1, -2, 24, BI_RGB, 0, {0, 0, 255, 0, 255, 0, 0, 0});
    MarkerScene s;
    CQvGObjectImage* stamp = Stamp(s, block, CRect(10, 10, 19, 19), 100);
    ASSERT_NE(stamp, nullptr);
    stamp->CalInitialPos();
    EXPECT_EQ(stamp->GetMBR(), CRect(0, 0, 0, 1));
    stamp->GetPoint()[0] = _RPOINT{10, 10};
    stamp->GetPoint()[1] = _RPOINT{19, 19};
    const QImage surface = s.Paint();
    EXPECT_EQ(PixelAt(surface, 15, 11), 0xFF0000u);
    EXPECT_EQ(PixelAt(surface, 15, 18), 0x0000FFu);
    // A 32-bit picture whose fourth bytes are 0, as most are: drawn in its colours, not taken for transparent.
    std::vector<uint8_t> wide = Block(1, 1, 32, BI_RGB, 0, {0, 255, 0, 0});
    MarkerScene green;
    ASSERT_NE(Stamp(green, wide, CRect(10, 10, 19, 19), 100), nullptr);
    EXPECT_EQ(PixelAt(green.Paint(), 15, 15), 0x00FF00u);

    // And its record reads back as it was written.
    const std::vector<uint8_t> record = RecordOf(stamp);
    CQvGObject* back = ReadRecord(s, record);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(static_cast<CQvGObjectImage*>(back)->GetImage()->biHeight, -2);
    back->RemoveAll();
}
