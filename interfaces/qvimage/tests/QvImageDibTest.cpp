#include "qvimage/QvImageDib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A packed DIB in 4-byte aligned storage, built field by field.
class Dib
{
public:
    Dib(int bits, int width, int height, DWORD clrUsed, std::vector<RGBQUAD> palette)
        : m_bits(bits), m_width(width), m_rows(height < 0 ? -height : height), m_topDown(height < 0),
          m_paletteCount(static_cast<int>(palette.size()))
    {
        m_stride = (width * bits + 31) / 32 * 4;
        m_words.assign((40 + 4 * palette.size() + static_cast<size_t>(m_stride) * m_rows + 3) / 4, 0);
        BITMAPINFOHEADER& h = Header();
        h.biSize = 40;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(bits);
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(m_stride * m_rows);
        h.biClrUsed = clrUsed;
        if (!palette.empty())
            std::memcpy(Bytes() + 40, palette.data(), 4 * palette.size());
    }

    BITMAPINFOHEADER& Header() { return *reinterpret_cast<BITMAPINFOHEADER*>(m_words.data()); }
    BYTE* Bytes() { return reinterpret_cast<BYTE*>(m_words.data()); }
    size_t Size() const { return 40 + 4 * static_cast<size_t>(m_paletteCount) + static_cast<size_t>(m_stride) * m_rows; }

    // The row that shows as image row y: bottom-up DIBs store the top image row last.
    BYTE* Row(int y) { return Bytes() + 40 + 4 * m_paletteCount + static_cast<size_t>(m_stride) * (m_topDown ? y : m_rows - 1 - y); }

    // Fills every pixel with a pattern that differs between neighbours, rows and channels.
    void FillPattern()
    {
        for (int y = 0; y < m_rows; ++y)
            for (int x = 0; x < m_width; ++x)
                for (int c = 0; c < std::max(1, m_bits / 8); ++c)
                    SetSample(x, y, c, Pattern(x, y, c) & ((1 << std::min(m_bits, 8)) - 1));
    }

    static int Pattern(int x, int y, int c) { return (x * 7 + y * 13 + c * 29 + 3) & 0xFF; }

    int Sample(int x, int y, int c)
    {
        const BYTE* row = Row(y);
        if (m_bits == 1)
            return (row[x / 8] >> (7 - x % 8)) & 1;
        if (m_bits == 4)
            return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
        return row[x * (m_bits / 8) + c];
    }

private:
    void SetSample(int x, int y, int c, int value)
    {
        BYTE* row = Row(y);
        if (m_bits == 1)
            row[x / 8] |= static_cast<BYTE>(value << (7 - x % 8));
        else if (m_bits == 4)
            row[x / 2] |= static_cast<BYTE>(value << (x % 2 ? 0 : 4));
        else
            row[x * (m_bits / 8) + c] = static_cast<BYTE>(value);
    }

    int m_bits, m_width, m_rows;
    bool m_topDown;
    int m_paletteCount;
    int m_stride = 0;
    std::vector<uint32_t> m_words;
};

std::vector<RGBQUAD> GreyRamp()
{
    std::vector<RGBQUAD> ramp;
    for (int i = 0; i < 256; ++i)
        ramp.push_back(RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0});
    return ramp;
}

std::vector<RGBQUAD> Colours(int count)
{
    std::vector<RGBQUAD> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(RGBQUAD{BYTE(i * 3), BYTE(255 - i), BYTE(i * 5 + 1), 0});
    return colours;
}

struct RoundTrip
{
    const char* name;
    int bits, width, height;
    DWORD clrUsed;
    std::vector<RGBQUAD> palette;
    int type;
    DWORD clrUsedBack;   // the palette length the converted-back DIB declares
};

TEST(QvImageDib, RoundTripsKeepPixelsPaletteAndRowOrder)
{
    const RoundTrip cases[] = {
        {"grey 8-bit with the grey ramp", 8, 5, 3, 256, GreyRamp(), QV_GRAY8, 256},
        {"indexed 8-bit, biClrUsed 0", 8, 6, 4, 0, Colours(256), QV_INDEX8, 256},
        {"indexed 8-bit, 20 colours", 8, 3, 2, 20, Colours(20), QV_INDEX8, 20},
        {"indexed 4-bit, odd width, biClrUsed 0", 4, 7, 3, 0, Colours(16), QV_INDEX4, 16},
        {"indexed 1-bit across a byte", 1, 11, 2, 2, Colours(2), QV_INDEX1, 2},
        {"RGB 24-bit, odd width", 24, 3, 4, 0, {}, QV_RGB24, 0},
        {"RGBA 32-bit", 32, 4, 2, 0, {}, QV_RGBA32, 0},
        {"RGB 24-bit top-down", 24, 5, -3, 0, {}, QV_RGB24, 0},
        {"grey 8-bit top-down", 8, 2, -2, 0, GreyRamp(), QV_GRAY8, 256},
    };
    for (const RoundTrip& c : cases)
    {
        SCOPED_TRACE(c.name);
        Dib dib(c.bits, c.width, c.height, c.clrUsed, c.palette);
        dib.FillPattern();
        const int rows = std::abs(c.height);
        EXPECT_EQ(QVDibSize(&dib.Header()), dib.Size());

        CQvImage image;
        ASSERT_EQ(DIB2QVIMG(&dib.Header(), &image, 0), 1);
        EXPECT_EQ(image.GetColorModel(), c.type);
        EXPECT_EQ(image.GetWidth(), c.width);
        EXPECT_EQ(image.GetHeight(), rows);
        EXPECT_EQ(image.GetPaletteCount(), c.type == QV_GRAY8 ? 0 : int(c.palette.size()));
        for (int i = 0; i < image.GetPaletteCount(); ++i)
            EXPECT_EQ(std::memcmp(&image.GetPalette()[i], &c.palette[i], 4), 0) << i;
        const int channels = image.GetBitsPerPixel() / 8;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < c.width; ++x)
                for (int ch = 0; ch < channels; ++ch)
                    ASSERT_EQ(image.GetPixel(x, y)[ch], dib.Sample(x, y, ch)) << x << "," << y << "," << ch;

        BITMAPINFOHEADER* back = nullptr;
        ASSERT_EQ(QVIMG2DIB(&image, &back), 1);
        EXPECT_EQ(back->biSize, 40u);
        EXPECT_EQ(back->biWidth, c.width);
        EXPECT_EQ(back->biHeight, rows);  // always bottom-up
        EXPECT_EQ(back->biBitCount, c.bits);
        EXPECT_EQ(back->biClrUsed, c.clrUsedBack);
        EXPECT_EQ(back->biSizeImage, dib.Header().biSizeImage);
        if (c.height > 0 && c.clrUsed == c.clrUsedBack)
        {
            EXPECT_EQ(std::memcmp(back, dib.Bytes(), dib.Size()), 0) << "byte-exact";
        }
        CQvImage again;
        ASSERT_EQ(DIB2QVIMG(back, &again, 0), 1);
        EXPECT_EQ(std::memcmp(again.GetBuffer(), image.GetBuffer(), size_t(image.GetStride()) * rows), 0);
        QVFreeDIB(back);
    }
}

TEST(QvImageDib, FirstDibRowIsTheLastImageRow)
{
    // 3 x 2 pixels, 24 bits: rows of 9 bytes padded to 12. Bottom row first in the DIB.
    Dib dib(24, 3, 2, 0, {});
    const BYTE bottom[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
    const BYTE top[12] = {11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
    std::memcpy(dib.Bytes() + 40, bottom, 12);
    std::memcpy(dib.Bytes() + 52, top, 12);
    CQvImage image;
    ASSERT_EQ(DIB2QVIMG(&dib.Header(), &image, 0), 1);
    EXPECT_EQ(image.GetStride(), 12);
    EXPECT_EQ(std::memcmp(image.Get2DBuffer()[0], top, 12), 0);
    EXPECT_EQ(std::memcmp(image.Get2DBuffer()[1], bottom, 12), 0);
    EXPECT_EQ(image.GetPixel(0, 0)[0], 11);  // blue of the top-left pixel
}

TEST(QvImageDib, RefusedDibsLeaveTheImageAlone)
{
    const struct { const char* name; void (*spoil)(BITMAPINFOHEADER&); } cases[] = {
        {"core header size", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
        {"compressed", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }},
        {"16 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 16; }},
        {"palette beyond 8 bits", [](BITMAPINFOHEADER& h) { h.biClrUsed = 257; }},
        {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
        {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -4; }},
        {"zero height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
        {"absurd width", [](BITMAPINFOHEADER& h) { h.biWidth = 0x7FFFFFFF; }},
        {"absurd height", [](BITMAPINFOHEADER& h) { h.biHeight = -0x7FFFFFFF - 1; }},
        {"absurd size and depth", [](BITMAPINFOHEADER& h) { h.biWidth = h.biHeight = 0x7FFFFFFF; h.biBitCount = 0xFFFF; }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Dib dib(8, 4, 4, 0, Colours(256));
        c.spoil(dib.Header());
        CQvImage image;
        image.Create(QV_RGB24, 2, 2, 0);
        image.GetPixel(1, 1)[0] = 42;
        EXPECT_EQ(QVDibSize(&dib.Header()), 0u);
        EXPECT_EQ(DIB2QVIMG(&dib.Header(), &image, 0), 0);
        EXPECT_EQ(image.GetColorModel(), QV_RGB24);
        EXPECT_EQ(image.GetWidth(), 2);
        EXPECT_EQ(image.GetPixel(1, 1)[0], 42);
    }
    CQvImage image;
    EXPECT_EQ(DIB2QVIMG(nullptr, &image, 0), 0);
}

TEST(QvImageDib, EmptyImageGivesNoDib)
{
    CQvImage image;
    BITMAPINFOHEADER* dib = reinterpret_cast<BITMAPINFOHEADER*>(&image);
    EXPECT_EQ(QVIMG2DIB(&image, &dib), 0);
    EXPECT_EQ(dib, nullptr);
}

TEST(QvImageDib, IndexBitsBeyondTheDibDepthAreMasked)
{
    // A 2-bit indexed image goes out as 4 bits; a stray high bit in an index byte must not spill into the
    // neighbouring pixel's nibble.
    CQvImage image;
    image.Create(QV_INDEX2, 2, 1, 0);
    image.GetPixel(0, 0)[0] = 0xF3;
    image.GetPixel(1, 0)[0] = 0x01;
    BITMAPINFOHEADER* dib = nullptr;
    ASSERT_EQ(QVIMG2DIB(&image, &dib), 1);
    EXPECT_EQ(dib->biBitCount, 4);
    EXPECT_EQ(dib->biClrUsed, 4u);
    const BYTE* pixels = reinterpret_cast<const BYTE*>(dib) + 40 + 16;
    EXPECT_EQ(pixels[0], 0x31);
    QVFreeDIB(dib);
}

} // namespace
