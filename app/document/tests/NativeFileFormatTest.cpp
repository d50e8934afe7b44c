// The document file's layout byte by byte, reading it back, and refusing what is not a whole good file.
#include "document/NativeFile.h"

#include "NativeFileTestSupport.h"

#include "qvimage/QvImageRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

using namespace nativefile_test;

namespace {

struct FileFixture : ::testing::Test
{
    CQvGObjectPropertyTotal savedDefaults = g_GOPropertyTotal;
    SilentCanvas canvas{40, 30};
    CQvImage image;
    CQvGObjectContainer overlay;
    NativeFileRecord record;

    FileFixture()
    {
        image.Create(QV_RGB24, 5, 3, 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                std::memset(image.GetPixel(x, y), 10 * x + y, 3);
        overlay.SetCanvasWnd(&canvas);
        overlay.SetCanvasSize(CSize(40, 30));
        overlay.SetAutoRepeatCreatingObject(0);
        ClickLine(overlay, canvas, CPoint(2, 3), CPoint(30, 20));
        ClickLine(overlay, canvas, CPoint(5, 25), CPoint(35, 25));

        record.image = &image;
        record.overlay = &overlay;
        record.preferences = {4, 5, 6, 7, 8, 9};
        CLatticer& g = record.grid;
        g.show = 1;
        g.type = G_CROSS | G_CIRCLECROSS;
        g.upp = 0.25;
        g.gap = 12.5f;
        g.canvas = SIZE{5, 3};
        g.pen = LOGPEN{1, {2, 3}, 0x0000FF};
        g.pen2 = LOGPEN{0, {1, 1}, 0x808080};
        g.font = LOGFONTA{};
        g.font.lfHeight = -11;
        g.font.lfWeight = 700;
        g.font.lfItalic = 1;
        g.font.lfCharSet = 129;
        std::strcpy(g.font.lfFaceName, "Tahoma");
        g.ruler = 1;
        g.reserved2 = 1;
        g.tickLength = 12;
        g.color2 = 0x112233;
        g.decimal = 2;        // not stored
        g.saveWithGrid = 1;   // not stored
        record.calibration.SetName("Lens 10x");
        record.calibration.SetUnit(UNIT_MICROMETER);
        record.calibration.SetUnitsPerPixel(0.25);
    }
    ~FileFixture() override { g_GOPropertyTotal = savedDefaults; }

    Bytes WrittenFile() const
    {
        return Captured([&](FILE* f) { ASSERT_EQ(WriteNativeFile(f, record), 1); });
    }
    size_t ImageBytes() const
    {
        return Captured([&](FILE* f) { QVWriteImage(f, &image); }).size();
    }
};

// The fixed part after the image block, built from the layout alone.
Bytes ExpectedFixedPart()
{
    ByteBuilder b;
    b.I32(4).I32(5).I32(6).I32(7).I32(8).I32(9);  // preferences in file order
    b.Zeros(8);                                     // reserved
    b.I32(1).I32(0x22);                             // show, type
    b.F64(0.25).F32(12.5f);                         // units per pixel ahead of gap
    b.I32(5).I32(3);                                // canvas
    b.U32(1).I32(2).I32(3).U32(0x0000FF);           // pen
    b.U32(0).I32(1).I32(1).U32(0x808080);           // pen2
    b.I32(-11).I32(0).I32(0).I32(0).I32(700);       // font metrics
    b.bytes.insert(b.bytes.end(), {1, 0, 0, 129, 0, 0, 0, 0});
    b.Text("Tahoma", 32);
    b.I32(1).I32(1).I32(12).U32(0x112233);          // ruler, reserved2, tick length, color2
    return b.bytes;
}

}  // namespace

TEST_F(FileFixture, WritesTheLayoutFieldByFieldAndSavingAReadFileGivesTheSameBytes)
{
    const Bytes file = WrittenFile();
    const size_t at = ImageBytes();
    ASSERT_GT(file.size(), at + kNativeFixedBytes);
    const Bytes expected = ExpectedFixedPart();
    ASSERT_EQ(expected.size(), kNativeFixedBytes);
    EXPECT_EQ(Bytes(file.begin() + at, file.begin() + at + kNativeFixedBytes), expected);
    // The records of the calibration and the overlay follow as their own writers give them.
    const Bytes calibration = Captured([&](FILE* f) { record.calibration.Write(f); });
    const Bytes stream = Captured([&](FILE* f) { overlay.Write(f); });
    EXPECT_EQ(Bytes(file.begin() + at + kNativeFixedBytes, file.begin() + at + kNativeFixedBytes + calibration.size()),
              calibration);
    EXPECT_EQ(file.size(), at + kNativeFixedBytes + calibration.size() + stream.size());

    CQvImage readImage;
    CQvGObjectContainer readOverlay;
    NativeFileRecord again;
    again.image = &readImage;
    again.overlay = &readOverlay;
    FILE* in = StreamOf(file);
    ASSERT_EQ(ReadNativeFile(in, again), 1);
    std::fclose(in);
    EXPECT_EQ(again.preferences, record.preferences);
    EXPECT_EQ(readOverlay.GetObjList()->size(), 2u);
    EXPECT_EQ(again.calibration.GetName(), "Lens 10x");
    EXPECT_EQ(std::memcmp(readImage.GetBuffer(), image.GetBuffer(), image.GetStride() * 3), 0);
    // Everything up to the overlay comes back byte for byte; the overlay places its value labels when it is read,
    // so from the first read on the file saves the same bytes again and again.
    const Bytes saved = Captured([&](FILE* f) { ASSERT_EQ(WriteNativeFile(f, again), 1); });
    const size_t overlayAt = at + kNativeFixedBytes + calibration.size();
    ASSERT_GT(saved.size(), overlayAt);
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + static_cast<long>(overlayAt), saved.begin()));
    CQvImage thirdImage;
    CQvGObjectContainer thirdOverlay;
    NativeFileRecord third;
    third.image = &thirdImage;
    third.overlay = &thirdOverlay;
    in = StreamOf(saved);
    ASSERT_EQ(ReadNativeFile(in, third), 1);
    std::fclose(in);
    EXPECT_EQ(Captured([&](FILE* f) { ASSERT_EQ(WriteNativeFile(f, third), 1); }), saved);
}

TEST_F(FileFixture, ReadingKeepsTheGridFieldsTheFileDoesNotHold)
{
    const Bytes file = WrittenFile();
    CQvImage readImage;
    CQvGObjectContainer readOverlay;
    NativeFileRecord again;
    again.image = &readImage;
    again.overlay = &readOverlay;
    again.grid.decimal = 7;
    again.grid.saveWithGrid = 0;
    again.grid.reserved = 99;
    FILE* in = StreamOf(file);
    ASSERT_EQ(ReadNativeFile(in, again), 1);
    std::fclose(in);
    EXPECT_EQ(again.grid.decimal, 7);
    EXPECT_EQ(again.grid.saveWithGrid, 0);
    EXPECT_EQ(again.grid.reserved, 99);
    EXPECT_EQ(again.grid.upp, 0.25);
    EXPECT_EQ(again.grid.gap, 12.5f);
    EXPECT_EQ(again.grid.type, G_CROSS | G_CIRCLECROSS);
    EXPECT_STREQ(again.grid.font.lfFaceName, "Tahoma");
    EXPECT_EQ(again.grid.color2, 0x112233u);
}

// Whatever is refused leaves the record as it was: image, overlay, preferences, grid and calibration.
class RefusedFile : public FileFixture
{
protected:
    CQvImage target;
    CQvGObjectContainer targetOverlay;
    NativeFileRecord into;

    RefusedFile()
    {
        target.Create(QV_GRAY8, 2, 2, 0);
        target.GetBuffer()[0] = 77;
        targetOverlay.SetCanvasWnd(&canvas);
        targetOverlay.SetAutoRepeatCreatingObject(0);
        ClickLine(targetOverlay, canvas, CPoint(1, 1), CPoint(9, 9));
        into.image = &target;
        into.overlay = &targetOverlay;
        into.preferences = {1, 1, 1, 1, 1, 1};
        into.calibration.SetName("kept");
    }

    void ExpectRefusedAndUnchanged(const Bytes& bytes, const std::string& what)
    {
        FILE* in = StreamOf(bytes);
        EXPECT_EQ(ReadNativeFile(in, into), 0) << what;
        std::fclose(in);
        EXPECT_EQ(target.GetWidth(), 2) << what;
        EXPECT_EQ(target.GetBuffer()[0], 77) << what;
        EXPECT_EQ(targetOverlay.GetObjList()->size(), 1u) << what;
        EXPECT_EQ(into.preferences, (NativePreferenceInts{1, 1, 1, 1, 1, 1})) << what;
        EXPECT_EQ(into.calibration.GetName(), "kept") << what;
        EXPECT_EQ(into.grid.show, CLatticer().show) << what;
    }
};

TEST_F(RefusedFile, ATruncatedFileAtAnyCutChangesNothing)
{
    const Bytes file = WrittenFile();
    const size_t fixedAt = ImageBytes();
    std::vector<size_t> cuts = {0, 1, 3, 4, 20, fixedAt / 2, fixedAt - 1, fixedAt};
    // Every byte of the fixed part and of the calibration record, then a spread over the overlay stream.
    for (size_t cut = fixedAt + 1; cut < fixedAt + kNativeFixedBytes + 200 && cut < file.size(); ++cut)
        cuts.push_back(cut);
    for (size_t cut = fixedAt + kNativeFixedBytes + 200; cut < file.size(); cut += 7)
        cuts.push_back(cut);
    cuts.push_back(file.size() - 1);
    for (size_t cut : cuts)
        ExpectRefusedAndUnchanged(Bytes(file.begin(), file.begin() + static_cast<long>(cut)),
                                  "cut at " + std::to_string(cut));
}

TEST_F(RefusedFile, ForeignAndHostileFilesAreRefused)
{
    const Bytes file = WrittenFile();
    const size_t at = ImageBytes();
    const auto patched = [&](size_t offset, const Bytes& value) {
        Bytes bytes = file;
        std::copy(value.begin(), value.end(), bytes.begin() + static_cast<long>(at + offset));
        return bytes;
    };
    const auto i32 = [](int32_t v) { return ByteBuilder().I32(v).bytes; };
    const auto f32 = [](float v) { return ByteBuilder().F32(v).bytes; };

    ExpectRefusedAndUnchanged(Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}, "a PNG file");
    ExpectRefusedAndUnchanged(Bytes(400, 0), "zeros");
    ExpectRefusedAndUnchanged(patched(0, i32(100000)), "decimal places beyond any setting");
    ExpectRefusedAndUnchanged(patched(48, f32(std::numeric_limits<float>::quiet_NaN())), "a gap that is no number");
    ExpectRefusedAndUnchanged(patched(52, i32(2000000000)), "a canvas no image has");
    ExpectRefusedAndUnchanged(patched(56, i32(-5)), "a negative canvas");
    ExpectRefusedAndUnchanged(patched(64, i32(1 << 24)), "a pen wider than any dialog offers");
    ExpectRefusedAndUnchanged(patched(92, i32(-1 << 24)), "a font of millions of pixels");
    ExpectRefusedAndUnchanged(patched(168, ByteBuilder().Text("XXXX", 4).bytes), "a foreign calibration record");
    // The overlay's object count (after its version, ratio, origin and pixel-centre fields).
    const size_t overlayAt = kNativeFixedBytes +
                             Captured([&](FILE* f) { record.calibration.Write(f); }).size();
    ExpectRefusedAndUnchanged(patched(overlayAt + 20, i32(0x7FFFFFFF)), "an object count beyond the file");
    // The image record's width (after magic, version and model).
    Bytes wide = file;
    const Bytes huge = i32(0x7FFFFFF0);
    std::copy(huge.begin(), huge.end(), wide.begin() + 12);
    ExpectRefusedAndUnchanged(wide, "an image wider than any");
}

TEST(NativeFilePath, TheExtensionIsToldInAnyCase)
{
    EXPECT_TRUE(IsNativeFilePath("/data/a.qrx"));
    EXPECT_TRUE(IsNativeFilePath("/data/A.QRX"));
    EXPECT_TRUE(IsNativeFilePath("b.Qrx"));
    EXPECT_FALSE(IsNativeFilePath("/data/a.qrx.png"));
    EXPECT_FALSE(IsNativeFilePath("/data.qrx/a.png"));
    EXPECT_FALSE(IsNativeFilePath("/data/.qrx"));
    EXPECT_FALSE(IsNativeFilePath(""));
}
