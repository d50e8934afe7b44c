// The picture stamp: how a handed-over DIB is completed and stored, its record byte for byte, damaged records
// refused, and the blend on a rendered surface.
#include "MarkerScene.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/GObjectFactory.h"

#include <gtest/gtest.h>

#include <cstring>

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

// The handed-over DIB is completed in place, as the caller's own block is.
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
    CQvGObjectImage* stamp = Stamp(s, dib, CRect(0, 0, 2, 1), 60);
    ASSERT_NE(stamp, nullptr);
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), 40);
    EXPECT_EQ(header.biClrUsed, 256u);
    EXPECT_EQ(header.biSizeImage, 8u);
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
