#include "common/IplBridge.h"

#include "qvimage/QvImageDib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A packed DIB in word-aligned storage: header, the given palette entries, then the pixel rows as given.
struct Dib
{
    std::vector<uint32_t> words;
    size_t bytes = 0;
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(words.data()); }
    BYTE* Bytes() { return reinterpret_cast<BYTE*>(words.data()); }
};

Dib MakeDib(int bits, int width, int height, DWORD clrUsed, const std::vector<RGBQUAD>& palette,
    const std::vector<BYTE>& rows)
{
    Dib dib;
    dib.bytes = 40 + 4 * palette.size() + rows.size();
    dib.words.assign((dib.bytes + 3) / 4, 0);
    BITMAPINFOHEADER& h = *dib.Header();
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biClrUsed = clrUsed;
    if (!palette.empty())
        std::memcpy(dib.Bytes() + 40, palette.data(), 4 * palette.size());
    std::memcpy(dib.Bytes() + 40 + 4 * palette.size(), rows.data(), rows.size());
    return dib;
}

std::vector<RGBQUAD> GreyRamp(int count)
{
    std::vector<RGBQUAD> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back({static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0});
    return palette;
}

std::vector<int> Samples(const IplImageHeader* image)
{
    std::vector<int> out;
    for (int y = 0; y < image->height; ++y)
        for (int i = 0; i < image->width * image->nChannels; ++i)
            out.push_back(static_cast<unsigned char>(image->imageData[y * image->widthStep + i]));
    return out;
}

std::vector<int> Samples(const CQvImage& image)
{
    std::vector<int> out;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int i = 0; i < image.GetWidth() * image.GetBitsPerPixel() / 8; ++i)
            out.push_back(image.GetBuffer()[y * image.GetStride() + i]);
    return out;
}

std::string Model(const IplImageHeader* image) { return std::string(image->colorModel, 4).c_str(); }
std::string Sequence(const IplImageHeader* image) { return std::string(image->channelSeq, 4).c_str(); }

TEST(IplBridgeDib, PaletteDecidesTheChannels)
{
    // 3 x 2, bottom-up, 8 bits: rows padded to 4.
    const std::vector<BYTE> rows = {3, 4, 5, 0, 0, 1, 2, 0};
    Dib grey = MakeDib(8, 3, 2, 256, GreyRamp(256), rows);
    IplImagePtr one(DibToIplImage(grey.Header(), grey.bytes));
    ASSERT_TRUE(one);
    EXPECT_EQ(1, one->nChannels);
    EXPECT_EQ("GRAY", Model(one.get()));
    EXPECT_EQ("GRAY", Sequence(one.get()));
    EXPECT_EQ(0, one->origin);
    EXPECT_EQ(4, one->align);
    EXPECT_EQ(4, one->widthStep);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5}), Samples(one.get()));

    // One entry whose red differs from its blue makes the image colour.
    std::vector<RGBQUAD> tinted = GreyRamp(256);
    tinted[4].rgbRed = 200;
    Dib colour = MakeDib(8, 3, 2, 256, tinted, rows);
    IplImagePtr three(DibToIplImage(colour.Header()));
    ASSERT_TRUE(three);
    EXPECT_EQ(3, three->nChannels);
    EXPECT_EQ("RGB", Model(three.get()));
    EXPECT_EQ("BGR", Sequence(three.get()));
    EXPECT_EQ(12, three->widthStep);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 200, 5, 5, 5}), Samples(three.get()));

    // A count beyond what 4 bits address is bounded: the entries past 16 are skipped, not read as palette.
    std::vector<RGBQUAD> long16 = GreyRamp(16);
    long16.insert(long16.end(), 4, RGBQUAD{1, 2, 3, 0});
    Dib four = MakeDib(4, 3, 1, 20, long16, {0x12, 0xF0, 0, 0});
    IplImagePtr bounded(DibToIplImage(four.Header(), four.bytes));
    ASSERT_TRUE(bounded);
    EXPECT_EQ(1, bounded->nChannels);
    EXPECT_EQ((std::vector<int>{1, 2, 15}), Samples(bounded.get()));

    // 32 bits: three channels, alpha lost; an odd width pads the rows.
    Dib rgba = MakeDib(32, 1, 2, 0, {}, {1, 2, 3, 255, 4, 5, 6, 128});
    IplImagePtr noAlpha(DibToIplImage(rgba.Header(), rgba.bytes));
    ASSERT_TRUE(noAlpha);
    EXPECT_EQ(3, noAlpha->nChannels);
    EXPECT_EQ(4, noAlpha->widthStep);
    EXPECT_EQ((std::vector<int>{4, 5, 6, 1, 2, 3}), Samples(noAlpha.get()));
}

TEST(IplBridgeDib, RefusedDibs)
{
    EXPECT_EQ(nullptr, DibToIplImage(nullptr));
    EXPECT_EQ(nullptr, DibToIplImage(nullptr, 100));
    for (int bits : {0, 2, 16, 48})
    {
        Dib odd = MakeDib(bits, 2, 2, 0, {}, std::vector<BYTE>(32, 0));
        EXPECT_EQ(nullptr, DibToIplImage(odd.Header(), odd.bytes)) << bits;
        EXPECT_EQ(nullptr, DibToIplImage(odd.Header())) << bits;
    }
    // A block shorter than its header says (pixels or palette cut off), or a palette longer than 256 entries.
    Dib rgb = MakeDib(24, 3, 2, 0, {}, std::vector<BYTE>(24, 7));
    EXPECT_EQ(nullptr, DibToIplImage(rgb.Header(), rgb.bytes - 1));
    EXPECT_EQ(nullptr, DibToIplImage(rgb.Header(), 20));
    IplImagePtr whole(DibToIplImage(rgb.Header(), rgb.bytes));
    EXPECT_TRUE(whole);
    Dib palette = MakeDib(8, 2, 1, 0, GreyRamp(16), {1, 2, 0, 0});  // biClrUsed 0 means 256 entries
    EXPECT_EQ(nullptr, DibToIplImage(palette.Header(), palette.bytes));
    palette.Header()->biClrUsed = 300;
    EXPECT_EQ(nullptr, DibToIplImage(palette.Header(), 1 << 16));
    rgb.Header()->biCompression = 3;
    EXPECT_EQ(nullptr, DibToIplImage(rgb.Header(), rgb.bytes));
}

// An image of the model and an odd size whose samples differ between pixels, rows and channels.
CQvImage Patterned(int type, std::vector<RGBQUAD> palette = {})
{
    CQvImage image;
    EXPECT_EQ(1, image.Create(type, 5, 3, 0));
    if (!palette.empty())
        image.SetPalette(palette.data(), static_cast<int>(palette.size()));
    const int bytes = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 5 * bytes; ++i)
            image.GetBuffer()[y * image.GetStride() + i] = static_cast<BYTE>((i * 37 + y * 11 + 5) % 251);
    if (type == QV_INDEX1 || type == QV_INDEX8)
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                image.GetBuffer()[y * image.GetStride() + x] = static_cast<BYTE>((x + y) % (type == QV_INDEX1 ? 2 : 3));
    return image;
}

TEST(IplBridgeQvImage, RoundTripTypesAndTheDibRoute)
{
    const std::vector<RGBQUAD> colours = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    const std::vector<RGBQUAD> greys = {{0, 0, 0, 0}, {100, 100, 100, 0}, {250, 250, 250, 0}};
    struct Case { const char* name; CQvImage image; int channels; int backType; };
    std::vector<Case> cases;
    cases.push_back({"grey8", Patterned(QV_GRAY8), 1, QV_GRAY8});
    cases.push_back({"grey0", Patterned(QV_GRAY), 1, QV_GRAY8});
    cases.push_back({"rgb24", Patterned(QV_RGB24), 3, QV_RGB24});
    cases.push_back({"rgba32", Patterned(QV_RGBA32), 3, QV_RGB24});
    cases.push_back({"index8 colour", Patterned(QV_INDEX8, colours), 3, QV_RGB24});
    cases.push_back({"index8 grey", Patterned(QV_INDEX8, greys), 1, QV_GRAY8});
    cases.push_back({"index1 colour", Patterned(QV_INDEX1, {colours[0], colours[2]}), 3, QV_RGB24});
    for (Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        IplImagePtr ipl(QvImageToIplImage(&c.image));
        ASSERT_TRUE(ipl);
        EXPECT_EQ(c.channels, ipl->nChannels);

        // The direct conversion gives what converting the image's packed DIB gives.
        BITMAPINFOHEADER* dib = nullptr;
        ASSERT_EQ(1, QVIMG2DIB(&c.image, &dib));
        IplImagePtr viaDib(DibToIplImage(dib, QVDibSize(dib)));
        QVFreeDIB(dib);
        ASSERT_TRUE(viaDib);
        EXPECT_EQ(viaDib->nChannels, ipl->nChannels);
        EXPECT_EQ(Samples(viaDib.get()), Samples(ipl.get()));

        std::unique_ptr<CQvImage> back(IplImageToQvImage(ipl.get()));
        ASSERT_TRUE(back);
        EXPECT_EQ(c.backType, back->GetColorModel());
        EXPECT_EQ(5, back->GetWidth());
        EXPECT_EQ(3, back->GetHeight());
        EXPECT_EQ(Samples(ipl.get()), Samples(*back));
        if (c.image.GetColorModel() == QV_GRAY8 || c.image.GetColorModel() == QV_RGB24)
        {
            EXPECT_EQ(Samples(c.image), Samples(*back));
        }
    }
    // 32 bits: B, G, R kept, alpha dropped.
    const CQvImage rgba = Patterned(QV_RGBA32);
    IplImagePtr ipl(QvImageToIplImage(&rgba));
    std::unique_ptr<CQvImage> back(IplImageToQvImage(ipl.get()));
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(0, std::memcmp(rgba.GetPixel(x, 2), back->GetPixel(x, 2), 3)) << x;
    // Palette colours land as B, G, R.
    const CQvImage indexed = Patterned(QV_INDEX8, colours);
    IplImagePtr colourIpl(QvImageToIplImage(&indexed));
    const std::vector<int> samples = Samples(colourIpl.get());
    EXPECT_EQ((std::vector<int>{10, 20, 30, 40, 50, 60}), std::vector<int>(samples.begin(), samples.begin() + 6));
}

TEST(IplBridgeQvImage, RefusedImagesAndHeaders)
{
    CQvImage empty;
    EXPECT_EQ(nullptr, QvImageToIplImage(&empty));
    EXPECT_EQ(nullptr, QvImageToIplImage(nullptr));
    EXPECT_EQ(nullptr, IplImageToQvImage(nullptr));

    IplImagePtr four(iplCreateImageHeader(4, 0, 8, "RGBA", "BGRA", 0, 0, 4, 2, 2, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(1, iplAllocateImage(four.get(), 0, 0));
    EXPECT_EQ(nullptr, IplImageToQvImage(four.get()));
    IplImagePtr bare(iplCreateImageHeader(1, 0, 8, "GRAY", "GRAY", 0, 0, 4, 2, 2, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(nullptr, IplImageToQvImage(bare.get()));
}

// Every byte of the pixel buffer, row padding included.
std::vector<BYTE> Buffer(const CQvImage& image)
{
    return std::vector<BYTE>(image.GetBuffer(), image.GetBuffer() + image.GetStride() * image.GetHeight());
}

TEST(IplBridgeQvImage, ACallWritesStraightIntoTheImageItWouldBeCopiedInto)
{
    const IplCall upsideDown = [](const IplImageHeader* from, IplImageHeader* to) { return iplMirror(from, to, 0); };
    const IplCall refusing = [](const IplImageHeader* from, IplImageHeader* to) { return iplMirror(from, to, 5); };
    for (const int model : {QV_GRAY8, QV_RGB24})
    {
        SCOPED_TRACE(model);
        const CQvImage image = Patterned(model);
        IplImagePtr source(QvImageToIplImage(&image));
        IplImagePtr copy(iplCloneImage(source.get()));
        ASSERT_EQ(1, upsideDown(source.get(), copy.get()));
        const std::unique_ptr<CQvImage> expected(IplImageToQvImage(copy.get()));

        // Into an image of another layout: replaced by one like the copy.
        CQvImage other = Patterned(model == QV_GRAY8 ? QV_RGB24 : QV_GRAY8);
        ASSERT_TRUE(IplCallIntoQvImage(source.get(), other, upsideDown));
        EXPECT_EQ(model, other.GetColorModel());
        EXPECT_EQ(Buffer(*expected), Buffer(other));

        // Into an image of the layout already: its own memory, every stray byte and the region gone.
        CQvImage reused;
        ASSERT_EQ(1, reused.Create(model, 5, 3, 0));
        std::fill_n(reused.GetBuffer(), reused.GetStride() * 3, BYTE{0xEE});
        reused.SetRoi(QV_ROI_RECT, std::unique_ptr<int[]>(new int[4]{0, 0, 1, 1}), 2);
        const BYTE* memory = reused.GetBuffer();
        ASSERT_TRUE(IplCallIntoQvImage(source.get(), reused, upsideDown));
        EXPECT_EQ(memory, reused.GetBuffer());
        EXPECT_EQ(Buffer(*expected), Buffer(reused));
        EXPECT_EQ(QV_ROI_NONE, reused.GetRoiKind());

        // Refusals leave the image as it was, of either layout.
        for (CQvImage kept : {Patterned(model), Patterned(model == QV_GRAY8 ? QV_RGB24 : QV_GRAY8)})
        {
            const std::vector<BYTE> before = Buffer(kept);
            EXPECT_FALSE(IplCallIntoQvImage(source.get(), kept, refusing));
            EXPECT_FALSE(IplCallIntoQvImage(nullptr, kept, upsideDown));
            EXPECT_EQ(before, Buffer(kept));
        }
    }
    IplImagePtr four(iplCreateImageHeader(4, 0, 8, "RGBA", "BGRA", 0, 0, 4, 2, 2, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(1, iplAllocateImage(four.get(), 0, 0));
    CQvImage untouched;
    EXPECT_FALSE(IplCallIntoQvImage(four.get(), untouched, upsideDown));
    EXPECT_TRUE(untouched.IsEmpty());
}

}  // namespace
