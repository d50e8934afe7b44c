#include "peers/CompanionBitmap.h"

#include "peers/tests/CompanionTestSupport.h"

#include "inifile/FileBytes.h"
#include "qvimage/CQvImage.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace peertest;

namespace {

bool Parse(const std::string& file, PackedDib& dib)
{
    return ParseBitmapFile(reinterpret_cast<const uint8_t*>(file.data()), file.size(), dib);
}

bool Accept(const std::string& block, PackedDib& dib)
{
    return AcceptPackedDib(reinterpret_cast<const uint8_t*>(block.data()), block.size(), dib);
}

}  // namespace

TEST(CompanionBitmap, FilesOfEveryHeaderKindBecomeThePackedDibTheyDescribe)
{
    // 24 bits, top-down, the header's image size 0: the pixels are still read whole and the rows keep their order.
    DibFields topDown;
    topDown.height = -2;
    PackedDib dib;
    ASSERT_TRUE(Parse(BitmapFile(PackedDibBytes(topDown, 0), 54), dib));
    EXPECT_EQ(dib.Header()->biHeight, -2);
    EXPECT_EQ(dib.Header()->biSizeImage, 2 * Stride(3, 24));
    CQvImage image;
    ASSERT_TRUE(PackedDibToImage(dib, image));
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.Get2DBuffer()[0][0], 1);  // the first stored row is the top one
    EXPECT_EQ(image.Get2DBuffer()[1][0], 2);

    // 8 bits with no colour count: a 256-entry palette, pixels found through the bits offset.
    DibFields grey;
    grey.bits = 8;
    ASSERT_TRUE(Parse(BitmapFile(PackedDibBytes(grey, 256), 0), dib));
    EXPECT_EQ(dib.Header()->biClrUsed, 256u);
    ASSERT_TRUE(PackedDibToImage(dib, image));
    EXPECT_EQ(image.GetColorModel(), QV_GRAY8);
    EXPECT_EQ(image.Get2DBuffer()[1][2], 1);  // bottom-up: the first stored row is the bottom one

    // A 12-byte core header with 3-byte palette entries, 4 bits.
    std::string core;
    Put32(core, 12);
    Put16(core, 3);
    Put16(core, 2);
    Put16(core, 1);
    Put16(core, 4);
    for (int i = 0; i < 16; ++i)
        core += std::string{static_cast<char>(i), static_cast<char>(i), static_cast<char>(0x10 + i)};
    core += Pixels(3, 2, 4, 0x12);
    ASSERT_TRUE(Parse(BitmapFile(core, 0), dib));
    EXPECT_EQ(dib.Header()->biSize, 40u);
    EXPECT_EQ(dib.Header()->biWidth, 3);
    EXPECT_EQ(dib.Header()->biClrUsed, 16u);
    const auto* palette = reinterpret_cast<const RGBQUAD*>(dib.Bytes() + 40);
    EXPECT_EQ(palette[5].rgbRed, 0x15);
    EXPECT_EQ(palette[5].rgbReserved, 0);
    ASSERT_TRUE(PackedDibToImage(dib, image));
    EXPECT_EQ(image.Get2DBuffer()[1][0], 1);  // 0x12: high nibble first

    // 16-bit bit fields: read with their masks, which the image library then declines.
    DibFields fields;
    fields.bits = 16;
    fields.compression = 3;
    std::string withMasks = InfoHeader(fields);
    Put32(withMasks, 0xF800);
    Put32(withMasks, 0x07E0);
    Put32(withMasks, 0x001F);
    withMasks += Pixels(3, 2, 16);
    ASSERT_TRUE(Parse(BitmapFile(withMasks, 0), dib));
    EXPECT_EQ(dib.Size(), 40u + 12 + 2 * Stride(3, 16));
    EXPECT_FALSE(PackedDibToImage(dib, image));
}

TEST(CompanionBitmap, FilesThatLieAboutTheirContentAreRefused)
{
    DibFields many;
    many.bits = 8;
    many.coloursUsed = 300;
    DibFields wide;
    wide.width = 5000;  // rows the file does not hold
    DibFields zeroHeight;
    zeroHeight.height = 0;
    DibFields rleWithoutSize;
    rleWithoutSize.bits = 8;
    rleWithoutSize.compression = 1;
    const std::string good = BitmapFile(PackedDibBytes(DibFields{}, 0), 54);
    std::string notBm = good;
    notBm[0] = 'X';
    std::string offsetBeyond = good;
    offsetBeyond[10] = static_cast<char>(0xF0);
    offsetBeyond[11] = static_cast<char>(0xFF);

    const struct
    {
        const char* what;
        std::string file;
    } cases[] = {
        {"more than 256 colours", BitmapFile(PackedDibBytes(many, 300), 0)},
        {"rows beyond the file", BitmapFile(InfoHeader(wide) + Pixels(3, 2, 24), 54)},
        {"no rows", BitmapFile(PackedDibBytes(zeroHeight, 0), 54)},
        {"run-length data without a size", BitmapFile(PackedDibBytes(rleWithoutSize, 256), 0)},
        {"cut inside the pixels", good.substr(0, good.size() - 1)},
        {"cut inside the header", good.substr(0, 30)},
        {"not a bitmap", notBm},
        {"pixels offset beyond the end", offsetBeyond},
    };
    for (const auto& c : cases) {
        PackedDib dib;
        EXPECT_FALSE(Parse(c.file, dib)) << c.what;
        EXPECT_TRUE(dib.IsEmpty()) << c.what;
    }
    PackedDib dib;
    EXPECT_TRUE(Parse(good, dib));
    EXPECT_FALSE(ReadBitmapFile("/nonexistent/newdoc.bmp", dib));

    // A companion may name anything: a FIFO nobody writes (opening it would block), a device that never ends, a
    // folder. None is read; a real file with the same bytes is.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string fifo = folder.filePath("fifo.bmp").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), folder.path().toStdString()})
        EXPECT_FALSE(ReadBitmapFile(path, dib)) << path;
    const std::string real = folder.filePath("real.bmp").toStdString();
    ASSERT_TRUE(WriteFileAtomically(real, good));
    EXPECT_TRUE(ReadBitmapFile(real, dib));
}

TEST(CompanionBitmap, CopiedDibsAreBoundedByTheBlockTheyCameIn)
{
    DibFields grey;
    grey.bits = 8;
    const std::string good = PackedDibBytes(grey, 256);
    PackedDib dib;
    ASSERT_TRUE(Accept(good, dib));
    // Trailing bytes do no harm; the DIB keeps what its header describes.
    ASSERT_TRUE(Accept(good + "tail", dib));
    EXPECT_EQ(dib.Size(), good.size());

    DibFields tall = grey;
    tall.height = 40;  // claims rows the block does not hold
    DibFields header41 = grey;
    header41.headerSize = 41;
    DibFields compressed = grey;
    compressed.compression = 1;
    DibFields colours = grey;
    colours.coloursUsed = 257;
    DibFields sixteen;
    sixteen.bits = 16;
    const struct
    {
        const char* what;
        std::string block;
    } cases[] = {
        {"height beyond the block", PackedDibBytes(tall, 256).substr(0, good.size())},
        {"palette cut short", good.substr(0, 40 + 100)},
        {"header cut short", good.substr(0, 20)},
        {"header size not 40", PackedDibBytes(header41, 256)},
        {"compressed", PackedDibBytes(compressed, 256)},
        {"colour count beyond 256", PackedDibBytes(colours, 257)},
        {"16 bits", PackedDibBytes(sixteen, 0)},
        {"last pixel missing", good.substr(0, good.size() - 1)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Accept(c.block, dib)) << c.what;
        EXPECT_TRUE(dib.IsEmpty()) << c.what;
    }
}
