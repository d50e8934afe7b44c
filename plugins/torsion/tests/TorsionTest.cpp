// Torsion loaded as the host loads it: its registration, every entry run on small images through a view attached
// to a frame pool, its dialogs answered through their widgets, and the ResizeImage service.
#include "framepool/CQvFramePool.h"
#include "ipl/IplLib.h"
#include "module/CModule.h"
#include "qvimage/CQvImage.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/PlugInContract.h"
#include "qvplglib/testing/PlugInContractTest.h"
#include "testing/MessageBoxRecorder.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace plugin_contract {

INSTANTIATE_TEST_SUITE_P(Torsion, PlugInContract,
                         ::testing::Values(Case{"Torsion", TORSION_PATH,
                                                {{"Geometric Transform", "Resize", 0},
                                                 {"Geometric Transform", "Rotate", 1},
                                                 {"Geometric Transform", "Flip Vertical", 2},
                                                 {"Geometric Transform", "Flip Horizontal", 3},
                                                 {"Geometric Transform", "Flip Both", 4}}}),
                         CaseName);

}  // namespace plugin_contract

namespace {

using testing_support::MessageBoxes;

enum Entry { kResize = 0, kRotate = 1, kFlipVertical = 2, kFlipHorizontal = 3, kFlipBoth = 4 };

// A sample that differs in every pixel and channel, so a misplaced pixel shows.
BYTE Sample(int x, int y, int channel)
{
    return static_cast<BYTE>((x * 37 + y * 101 + channel * 67 + x * y) & 0xFF);
}

CQvImage MakeImage(int model, int width, int height)
{
    CQvImage image;
    EXPECT_TRUE(image.Create(model, width, height, 0));
    const int bytes = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < bytes; ++c)
                image.GetPixel(x, y)[c] = Sample(x, y, c);
    return image;
}

bool SamePixels(const CQvImage& a, const CQvImage& b)
{
    if (a.GetColorModel() != b.GetColorModel() || a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return false;
    return std::memcmp(a.GetBuffer(), b.GetBuffer(), static_cast<size_t>(a.GetStride()) * a.GetHeight()) == 0;
}

int ResultModel(int model)
{
    return model == QV_GRAY || model == QV_GRAY8 ? QV_GRAY8 : QV_RGB24;
}

class Torsion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_module.Load(TORSION_PATH)) << m_module.GetLastError();
        const auto connect = m_module.GetProc<PFN_PlgConnect>(kPlgConnectName);
        ASSERT_NE(connect, nullptr);
        m_application = connect();
        ASSERT_NE(m_application, nullptr);
        m_resizeImage = m_module.GetProc<PFN_ResizeImage>(kResizeImageName);
        ASSERT_NE(m_resizeImage, nullptr);
    }

    // Runs an entry on the pool's image; `dialog` answers the entry's dialog, if it opens one.
    int Run(int entry, std::function<void(QDialog&)> dialog = {})
    {
        if (dialog)
            MessageBoxes().QueueModal(std::move(dialog));
        CPlgView* raw = nullptr;
        EXPECT_EQ(m_application->CreatePlgView(entry, 0, &raw), 1);
        std::unique_ptr<CPlgView> view(raw);
        view->AttachHost(PlgViewHost{m_viewWindow, &m_pool, nullptr, [this](QWidget*) { m_redraws += "R"; },
                                     [this](QWidget*) { m_redraws += "C"; }});
        return view->Run();
    }

    CQvImage& Image() { return m_pool.GetImage(); }

    CModule m_module;
    CPlgApplication* m_application = nullptr;
    PFN_ResizeImage m_resizeImage = nullptr;
    CQvFramePool m_pool;
    std::string m_redraws;  // "C" canvas adopted, "R" repainted, in order
    QWidget* m_viewWindow = nullptr;
};

void SetText(QDialog& dialog, int id, const char* text)
{
    auto* edit = dialog.findChild<QLineEdit*>(QString::number(id));
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(text);
}

std::string Text(QDialog& dialog, int id)
{
    auto* edit = dialog.findChild<QLineEdit*>(QString::number(id));
    return edit ? edit->text().toStdString() : "<none>";
}

void Press(QDialog& dialog, const char* button)
{
    auto* push = dialog.findChild<QPushButton*>(button);
    ASSERT_NE(push, nullptr) << button;
    push->click();
}

std::function<void(QDialog&)> ResizeTo(const char* width, const char* height, bool keepProportion = false)
{
    return [=](QDialog& dialog) {
        dialog.findChild<QCheckBox*>("1021")->setChecked(keepProportion);
        SetText(dialog, 1019, width);
        if (height)
            SetText(dialog, 1020, height);
        Press(dialog, "1");
    };
}

std::function<void(QDialog&)> RotateBy(const char* angle)
{
    return [=](QDialog& dialog) {
        SetText(dialog, 1022, angle);
        Press(dialog, "1");
    };
}

// Where a result pixel comes from, for the operations that move whole pixels.
using SourceOf = std::function<void(int x, int y, int width, int height, int* sx, int* sy)>;

struct ExactCase
{
    const char* name;
    int entry;
    const char* angle;  // rotate only
    bool swapsSides;
    SourceOf source;
};

const ExactCase kExactCases[] = {
    {"FlipVertical", kFlipVertical, nullptr, false,
     [](int x, int y, int, int h, int* sx, int* sy) { *sx = x; *sy = h - 1 - y; }},
    {"FlipHorizontal", kFlipHorizontal, nullptr, false,
     [](int x, int y, int w, int, int* sx, int* sy) { *sx = w - 1 - x; *sy = y; }},
    {"FlipBoth", kFlipBoth, nullptr, false,
     [](int x, int y, int w, int h, int* sx, int* sy) { *sx = w - 1 - x; *sy = h - 1 - y; }},
    {"Rotate180", kRotate, "180", false,
     [](int x, int y, int w, int h, int* sx, int* sy) { *sx = w - 1 - x; *sy = h - 1 - y; }},
    // Positive angles turn counter-clockwise on the screen: the top-right corner comes to the top-left.
    {"Rotate90", kRotate, "90", true,
     [](int x, int y, int w, int, int* sx, int* sy) { *sx = w - 1 - y; *sy = x; }},
    {"Rotate270", kRotate, "270", true,
     [](int x, int y, int, int h, int* sx, int* sy) { *sx = y; *sy = h - 1 - x; }},
};

struct Shape
{
    int model;
    int width;
    int height;
};

const Shape kShapes[] = {{QV_GRAY8, 7, 5}, {QV_GRAY, 1, 3}, {QV_RGB24, 5, 3}, {QV_RGBA32, 3, 4}, {QV_RGB24, 6, 6}};

TEST_F(Torsion, WholePixelOperationsMovePixelsExactlyAndOneUndoRestores)
{
    for (const ExactCase& exact : kExactCases) {
        for (const Shape& shape : kShapes) {
            SCOPED_TRACE(std::string(exact.name) + " model " + std::to_string(shape.model) + " " +
                         std::to_string(shape.width) + "x" + std::to_string(shape.height));
            const CQvImage start = MakeImage(shape.model, shape.width, shape.height);
            Image() = start;
            const BYTE* pixels = Image().GetBuffer();
            m_redraws.clear();
            const unsigned long long pushes = m_pool.PushCount();
            ASSERT_EQ(Run(exact.entry, exact.angle ? RotateBy(exact.angle) : nullptr), 1);
            EXPECT_EQ(m_pool.PushCount(), pushes + 1);
            EXPECT_EQ(m_redraws, "CR");
            const CQvImage& result = Image();
            ASSERT_EQ(result.GetColorModel(), ResultModel(shape.model));
            ASSERT_EQ(result.GetWidth(), exact.swapsSides ? shape.height : shape.width);
            ASSERT_EQ(result.GetHeight(), exact.swapsSides ? shape.width : shape.height);
            int mismatches = 0;
            for (int y = 0; y < result.GetHeight(); ++y)
                for (int x = 0; x < result.GetWidth(); ++x) {
                    int sx = 0;
                    int sy = 0;
                    exact.source(x, y, shape.width, shape.height, &sx, &sy);
                    for (int c = 0; c < result.GetBitsPerPixel() / 8; ++c)
                        mismatches += result.GetPixel(x, y)[c] != start.GetPixel(sx, sy)[c];
                }
            EXPECT_EQ(mismatches, 0);
            ASSERT_EQ(m_pool.Undo(), 1);
            EXPECT_TRUE(SamePixels(Image(), start));
            EXPECT_EQ(Image().GetBuffer(), pixels) << "the undo point was the image, not a copy";
        }
    }
}

TEST_F(Torsion, ResizeGivesTheTypedSizeAndOneUndoRestores)
{
    struct Case
    {
        Shape shape;
        const char* width;
        const char* height;
    };
    const Case cases[] = {{{QV_GRAY8, 9, 7}, "4", "13"}, {{QV_RGB24, 5, 3}, "11", "2"}, {{QV_RGBA32, 7, 9}, "3", "3"},
                          {{QV_GRAY, 1, 1}, "3", "5"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("model ") + std::to_string(c.shape.model) + " to " + c.width + "x" + c.height);
        const CQvImage start = MakeImage(c.shape.model, c.shape.width, c.shape.height);
        Image() = start;
        const BYTE* pixels = Image().GetBuffer();
        m_redraws.clear();
        ASSERT_EQ(Run(kResize, ResizeTo(c.width, c.height)), 1);
        EXPECT_EQ(m_redraws, "CR");
        EXPECT_EQ(Image().GetColorModel(), ResultModel(c.shape.model));
        EXPECT_EQ(Image().GetWidth(), std::atoi(c.width));
        EXPECT_EQ(Image().GetHeight(), std::atoi(c.height));
        ASSERT_EQ(m_pool.Undo(), 1);
        EXPECT_TRUE(SamePixels(Image(), start));
        EXPECT_EQ(Image().GetBuffer(), pixels) << "the undo point was the image, not a copy";
    }
}

TEST_F(Torsion, AFlipWritesIntoTheBufferAnUndoFileLeftFreeAndUndoIsExact)
{
    QTemporaryDir temp;
    CQvFramePool::SetTempPath(temp.path().toStdString());
    const CQvImage start = MakeImage(QV_RGB24, 1200, 1200);  // 4.3 MB of pixels: the undo copy goes to a file
    Image() = start;
    const BYTE* startPixels = Image().GetBuffer();
    ASSERT_EQ(Run(kFlipVertical), 1);
    CQvFramePool::WaitForUndoFiles();
    const CQvImage flipped = Image();
    // The start went to its file, and its buffer, still holding the start's bytes, takes the next result.
    ASSERT_EQ(Run(kFlipHorizontal), 1);
    EXPECT_EQ(Image().GetBuffer(), startPixels);
    int mismatches = 0;
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 1200; ++x)
            mismatches += std::memcmp(Image().GetPixel(x, y), start.GetPixel(1199 - x, 1199 - y), 3) != 0;
    EXPECT_EQ(mismatches, 0);
    ASSERT_EQ(m_pool.Undo(), 1);
    EXPECT_TRUE(SamePixels(Image(), flipped));
    ASSERT_EQ(m_pool.Undo(), 1);
    EXPECT_TRUE(SamePixels(Image(), start));
    CQvFramePool::SetTempPath("");
}

// The result the image library gives for the same resize, for checking which interpolation the dialog chose.
CQvImage LibraryResize(const CQvImage& source, int width, int height, int interpolation)
{
    auto header = [](CQvImage& image) {
        IplImageHeader* h = iplCreateImageHeader(1, 0, kIplDepth8u, "GRAY", "GRAY", 0, 0, 4, image.GetWidth(),
                                                 image.GetHeight(), nullptr, nullptr, nullptr, nullptr);
        h->imageData = reinterpret_cast<char*>(image.GetBuffer());
        return h;
    };
    CQvImage src = source;
    CQvImage dst;
    dst.Create(QV_GRAY8, width, height, 0);
    IplImageHeader* s = header(src);
    IplImageHeader* d = header(dst);
    EXPECT_EQ(iplResize(s, d, width, src.GetWidth(), height, src.GetHeight(), interpolation), 1);
    iplDeallocate(s, kIplImageAll);
    iplDeallocate(d, kIplImageAll);
    return dst;
}

TEST_F(Torsion, ShrinkingBothSidesSupersamplesAndShrinkingOneSideIsCubic)
{
    const CQvImage start = MakeImage(QV_GRAY8, 16, 12);
    ASSERT_FALSE(SamePixels(LibraryResize(start, 8, 6, kIplInterSuper), LibraryResize(start, 8, 6, kIplInterCubic)));

    Image() = start;
    ASSERT_EQ(Run(kResize, ResizeTo("8", "6")), 1);
    EXPECT_TRUE(SamePixels(Image(), LibraryResize(start, 8, 6, kIplInterSuper)));

    Image() = start;
    ASSERT_EQ(Run(kResize, ResizeTo("8", "12")), 1);
    EXPECT_TRUE(SamePixels(Image(), LibraryResize(start, 8, 12, kIplInterCubic)));
}

TEST_F(Torsion, KeptProportionFollowsTheOtherSide)
{
    Image() = MakeImage(QV_GRAY8, 200, 101);
    std::string shownHeight;
    std::string shownWidth;
    ASSERT_EQ(Run(kResize,
                  [&](QDialog& dialog) {
                      EXPECT_EQ(dialog.windowTitle().toStdString(), "Resize Dialog");
                      EXPECT_EQ(Text(dialog, 1017), "200");
                      EXPECT_EQ(Text(dialog, 1018), "101");
                      EXPECT_TRUE(dialog.findChild<QCheckBox*>("1021")->isChecked());
                      SetText(dialog, 1020, "202");
                      shownWidth = Text(dialog, 1019);
                      SetText(dialog, 1019, "50");
                      shownHeight = Text(dialog, 1020);
                      Press(dialog, "1");
                  }),
              1);
    EXPECT_EQ(shownWidth, "400");
    EXPECT_EQ(shownHeight, "25");  // trunc(101 x 0.25)
    EXPECT_EQ(Image().GetWidth(), 50);
    EXPECT_EQ(Image().GetHeight(), 25);

    // Unchecked, the sides are independent.
    Image() = MakeImage(QV_GRAY8, 200, 101);
    ASSERT_EQ(Run(kResize, ResizeTo("50", nullptr, false)), 1);
    EXPECT_EQ(Image().GetWidth(), 50);
    EXPECT_EQ(Image().GetHeight(), 101);
}

TEST_F(Torsion, DialogsOutliveTheDocumentWindowTheyWereOpenedOn)
{
    for (Entry entry : {kResize, kRotate}) {
        SCOPED_TRACE(entry);
        const CQvImage start = MakeImage(QV_GRAY8, 9, 5);
        Image() = start;
        QWidget mainWindow;
        m_viewWindow = new QWidget(&mainWindow);
        EXPECT_EQ(Run(entry,
                      [&](QDialog& dialog) {
                          ASSERT_EQ(dialog.parentWidget(), &mainWindow);
                          // The document closes under the open dialog.
                          delete m_viewWindow;
                          Press(dialog, "2");
                      }),
                  0);
        m_viewWindow = nullptr;
        EXPECT_TRUE(SamePixels(Image(), start));
    }
}

TEST_F(Torsion, InvalidDestinationIsRefusedAndTheDialogStaysOpen)
{
    const CQvImage start = MakeImage(QV_RGB24, 9, 5);
    Image() = start;
    bool stayedOpen = false;
    EXPECT_EQ(Run(kResize,
                  [&](QDialog& dialog) {
                      dialog.findChild<QCheckBox*>("1021")->setChecked(false);
                      SetText(dialog, 1019, "0");
                      Press(dialog, "1");
                      SetText(dialog, 1019, "4");
                      SetText(dialog, 1020, "");
                      Press(dialog, "1");
                      stayedOpen = dialog.result() == QDialog::Rejected;
                      Press(dialog, "2");
                  }),
              0);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 2u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, "Invalid Data !!");
    EXPECT_TRUE(SamePixels(Image(), start));
    EXPECT_EQ(m_pool.PushCount(), 0u);
}

TEST_F(Torsion, CommandsThatChangeNothingLeaveNoUndoPoint)
{
    struct Case
    {
        const char* name;
        int entry;
        std::function<void(QDialog&)> answer;
    };
    const Case cases[] = {
        {"resize cancelled", kResize, [](QDialog& d) { SetText(d, 1019, "3"); Press(d, "2"); }},
        {"resize to the same size", kResize, ResizeTo("7", "5")},
        {"rotate cancelled", kRotate, [](QDialog& d) { SetText(d, 1022, "45"); Press(d, "2"); }},
        {"rotate by 0", kRotate, RotateBy("0")},
        {"rotate by 360", kRotate, RotateBy("360")},
        {"rotate by -360", kRotate, RotateBy("-360")},
        {"rotate, empty angle", kRotate, RotateBy("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CQvImage start = MakeImage(QV_RGB24, 7, 5);
        Image() = start;
        m_redraws.clear();
        EXPECT_EQ(Run(c.entry, c.answer), 0);
        EXPECT_TRUE(MessageBoxes().ModalDialogs().size() > 0);
        EXPECT_TRUE(SamePixels(Image(), start));
        EXPECT_EQ(m_pool.PushCount(), 0u);
        EXPECT_EQ(m_redraws, "");
    }
}

TEST_F(Torsion, ImagesOfFewerThanEightBitsAreRefusedUntouched)
{
    for (int model : {QV_INDEX1, QV_INDEX4}) {
        for (int entry : {kResize, kRotate, kFlipVertical, kFlipHorizontal, kFlipBoth}) {
            SCOPED_TRACE("model " + std::to_string(model) + " entry " + std::to_string(entry));
            MessageBoxes().Reset();
            CQvImage start;
            ASSERT_TRUE(start.Create(model, 5, 3, 0));
            start.GetPixel(1, 1)[0] = 1;
            Image() = start;
            EXPECT_EQ(Run(entry), 0);
            EXPECT_TRUE(MessageBoxes().ModalDialogs().empty());
            EXPECT_TRUE(SamePixels(Image(), start));
            EXPECT_EQ(m_pool.PushCount(), 0u);
        }
    }
}

TEST_F(Torsion, RotationCanvasIsTheBoundingBoxAndTheCornersAreBlack)
{
    Image() = MakeImage(QV_GRAY8, 101, 50);
    ASSERT_EQ(Run(kRotate, RotateBy("90")), 1);
    EXPECT_EQ(Image().GetWidth(), 50);
    EXPECT_EQ(Image().GetHeight(), 101);

    // 200 degrees needs the canvas of 20: ceil(W cos 20 + H sin 20) x ceil(W sin 20 + H cos 20).
    for (const char* angle : {"20", "200", "-20"}) {
        SCOPED_TRACE(angle);
        CQvImage flat;
        flat.Create(QV_RGB24, 101, 50, 0);
        std::memset(flat.GetBuffer(), 100, static_cast<size_t>(flat.GetStride()) * flat.GetHeight());
        Image() = flat;
        ASSERT_EQ(Run(kRotate, RotateBy(angle)), 1);
        const double r = 20 * M_PI / 180;
        EXPECT_EQ(Image().GetWidth(), static_cast<int>(std::ceil(101 * std::cos(r) + 50 * std::sin(r))));
        EXPECT_EQ(Image().GetHeight(), static_cast<int>(std::ceil(101 * std::sin(r) + 50 * std::cos(r))));
        const int w = Image().GetWidth();
        const int h = Image().GetHeight();
        for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
            EXPECT_EQ(Image().GetPixel(x, y)[0], 0) << x << "," << y;
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(Image().GetPixel(w / 2, h / 2)[c], 100);
    }
}

TEST_F(Torsion, ResizeImageFillsTheCallersImageAtItsSize)
{
    struct Case
    {
        int sourceModel;
        int destModel;
        int expectedModel;
    };
    for (const Case& c : {Case{QV_RGB24, QV_RGB24, QV_RGB24}, Case{QV_GRAY8, QV_GRAY8, QV_GRAY8},
                          Case{QV_RGBA32, QV_RGBA32, QV_RGB24}}) {
        SCOPED_TRACE("model " + std::to_string(c.sourceModel));
        const CQvImage source = MakeImage(c.sourceModel, 640, 480);
        CQvImage src = source;
        CQvImage dst;
        ASSERT_TRUE(dst.Create(c.destModel, 320, 240, 0));
        EXPECT_EQ(m_resizeImage(&src, &dst), 1);
        EXPECT_EQ(dst.GetColorModel(), c.expectedModel);
        EXPECT_EQ(dst.GetWidth(), 320);
        EXPECT_EQ(dst.GetHeight(), 240);
        EXPECT_TRUE(SamePixels(src, source));
        // A flat source stays flat: the content was replaced, not left zero.
        CQvImage flat;
        flat.Create(c.sourceModel, 64, 48, 0);
        std::memset(flat.GetBuffer(), 77, static_cast<size_t>(flat.GetStride()) * flat.GetHeight());
        ASSERT_EQ(m_resizeImage(&flat, &dst), 1);
        EXPECT_EQ(dst.GetPixel(0, 0)[0], 77);
        EXPECT_EQ(dst.GetPixel(319, 239)[dst.GetBitsPerPixel() / 8 - 1], 77);
    }
    CQvImage empty;
    CQvImage dst;
    dst.Create(QV_GRAY8, 4, 4, 0);
    EXPECT_EQ(m_resizeImage(&empty, &dst), 1);
    EXPECT_EQ(dst.GetWidth(), 4);
}

}  // namespace
