// Copy and paste of overlay objects through the (in-process, offscreen) clipboard, and clipboards that name a
// missing, foreign or damaged records file.
#include "ByteFixture.h"
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectClipboard.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/shapes/CQvGObjectText.h"
#include "PrivateRuntimeDir.h"
#include "TestGObject.h"

#include "types/WinUser.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr UINT kLeftButton = MK_LBUTTON;

class ContainerClipboard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        container.SetAutoRepeatCreatingObject(0);
    }

    CQvGObject* DrawLine(OBJ_SHAPE shape, CPoint a, CPoint b)
    {
        EXPECT_EQ(container.AddObject(shape), 1);
        CQvGObject* line = container.GetCreatingObject();
        container.LButtonDown(kLeftButton, a);
        container.MouseMove(nullptr, 0, b);
        container.LButtonDown(kLeftButton, b);
        return line;
    }

    // Puts a path on the clipboard as the records format names it.
    static void NamePath(const std::string& path)
    {
        auto* data = new QMimeData();
        data->setData(QVGOBJECT_FORMAT, QByteArray(path.c_str(), static_cast<qsizetype>(path.size() + 1)));
        QGuiApplication::clipboard()->setMimeData(data);
    }

    static void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    PrivateRuntimeDir runtime;
    CQvGObjectContainer container;
};

TEST_F(ContainerClipboard, SelectedObjectsRoundTripAndPasteTenPixelsOff)
{
    CQvGObject* line = DrawLine(SHAPE_LINE, CPoint(10, 20), CPoint(60, 20));
    CQvGObject* note = DrawLine(SHAPE_ANNO_LINE, CPoint(5, 5), CPoint(5, 50));
    container.SelectionMode(1);
    container.SelectObjects(line, 0);
    container.SelectObjects(note, 1);

    ASSERT_EQ(container.CopyToClipboard(), 1);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(QVGOBJECT_FORMAT));
    EXPECT_FALSE(data->hasText());
    struct stat info
    {
    };
    ASSERT_EQ(stat(GObjectClipboardFilePath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);

    for (int round = 1; round <= 2; ++round)
    {
        ASSERT_EQ(container.PasteFromClipboard(), 1) << round;
        ASSERT_EQ(container.GetMainObjList().size(), 2u + 2u * round);
        ASSERT_EQ(container.GetSelectedObjectCount(), 2);
        const CQvGObject* pastedLine = container.GetSelectObjList().front();
        const CQvGObject* pastedNote = container.GetSelectObjList().back();
        EXPECT_EQ(pastedLine->GetObjShape(), SHAPE_LINE);
        EXPECT_EQ(pastedLine->GetProperty().GetName(), line->GetProperty().GetName());
        EXPECT_EQ(pastedLine->GetPoint()[0].x, 20.0) << "every paste lands 10 pixels off the original";
        EXPECT_EQ(pastedLine->GetPoint()[1].y, 30.0);
        EXPECT_EQ(pastedLine->GetLabelCount(), 1);
        EXPECT_EQ(pastedNote->GetObjShape(), SHAPE_ANNO_LINE);
        EXPECT_EQ(pastedNote->GetGOType(), GOTYPE_LINE);
        EXPECT_EQ(pastedNote->GetPoint()[1].y, 60.0);
    }
}

TEST_F(ContainerClipboard, ALoneTextGoesAsText)
{
    auto* text = new TestGObject(SHAPE_TEXT, GOTYPE_TEXT);
    text->SetContainer(&container);
    container.GetMainObjList().push_back(text);
    container.SelectObjects(text, 0);

    EXPECT_EQ(container.CopyToClipboard(), 0) << "a text without text puts nothing";
    const QMimeData* before = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!before || !before->hasText());

    text->GetProperty().SetComment("Sample 4");
    ASSERT_EQ(container.CopyToClipboard(), 1);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->text(), "Sample 4");
    EXPECT_FALSE(data->hasFormat(QVGOBJECT_FORMAT));

    container.UnSelectAll();
    EXPECT_EQ(container.CopyToClipboard(), 0);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->text(), "Sample 4") << "an empty selection copies nothing";
}

TEST_F(ContainerClipboard, APictureOrTextWinsOverRecordsAndBecomesAStampOrABox)
{
    CQvGObject* line = DrawLine(SHAPE_LINE, CPoint(10, 20), CPoint(60, 20));
    container.SelectionMode(1);
    container.SelectObjects(line, 0);
    ASSERT_EQ(container.CopyToClipboard(), 1);
    const QByteArray path = QGuiApplication::clipboard()->mimeData()->data(QVGOBJECT_FORMAT);

    // Another program's image (as the desktop hands over a PNG), and text.
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(qRgb(200, 10, 20));
    picture.setPixel(0, 0, qRgb(1, 2, 3));
    for (bool isPicture : {true, false})
    {
        auto* data = new QMimeData();
        data->setData(QVGOBJECT_FORMAT, path);
        if (isPicture)
            data->setImageData(picture);
        else
            data->setText("two\nlines");
        QGuiApplication::clipboard()->setMimeData(data);
        ASSERT_EQ(container.PasteFromClipboard(), 1) << isPicture;
        ASSERT_EQ(container.GetMainObjList().size(), 2u) << isPicture;
        CQvGObject* pasted = container.GetMainObjList().back();
        ASSERT_EQ(container.GetSelectObjList(), GObjectList{pasted});
        EXPECT_EQ(pasted->GetState(), GS_FINISHED);
        if (isPicture)
        {
            auto* stamp = dynamic_cast<CQvGObjectImage*>(pasted);
            ASSERT_NE(stamp, nullptr);
            EXPECT_EQ(stamp->GetMBR(), CRect(0, 0, 2, 1)) << "its own size at the image's top-left";
            const BITMAPINFOHEADER* dib = stamp->GetImage();
            EXPECT_EQ(dib->biBitCount, 24);
            EXPECT_EQ(dib->biHeight, 2);
            // Bottom-up: the top-left pixel starts the second row of 12 bytes.
            const uint8_t* topLeft = stamp->GetImageBytes().data() + 40 + 12;
            EXPECT_EQ((std::vector<uint8_t>(topLeft, topLeft + 6)), (std::vector<uint8_t>{3, 2, 1, 20, 10, 200}));
        }
        else
        {
            auto* text = dynamic_cast<CQvGObjectText*>(pasted);
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(text->GetProperty().GetComment(), "two\nlines");
            const CRect bound = text->RecalTextBound();
            EXPECT_EQ(text->GetMBR(), CRect(0, 0, bound.right, bound.bottom)) << "the text's size at the origin";
        }
        container.DeleteObject(pasted);
    }
}

TEST_F(ContainerClipboard, ALoneStampTravelsAsADibAndAsAnImage)
{
    // 8 bits, 2 x 2, palette entries 0 (black) and 1 (green), biClrUsed 2; 24 bits, 1 x 1 blue.
    std::vector<uint8_t> palette8(40 + 8 + 8, 0);
    {
        BITMAPINFOHEADER header{40, 2, 2, 1, 8, BI_RGB, 8, 0, 0, 2, 0};
        std::memcpy(palette8.data(), &header, 40);
        palette8[40 + 4 + 1] = 255;                       // entry 1: green
        palette8[48 + 0] = 1;                             // bottom row: green, black
        palette8[52 + 1] = 1;                             // top row: black, green
    }
    std::vector<uint8_t> colour24(40 + 4, 0);
    {
        BITMAPINFOHEADER header{40, 1, 1, 1, 24, BI_RGB, 4, 0, 0, 0, 0};
        std::memcpy(colour24.data(), &header, 40);
        colour24[40] = 255;
    }
    struct Case
    {
        const char* what;
        std::vector<uint8_t> dib;
        QRgb topLeft;
    };
    const Case cases[] = {{"8 bits", palette8, qRgb(0, 0, 0)}, {"24 bits", colour24, qRgb(0, 0, 255)}};
    for (const Case& c : cases)
    {
        auto* data = new QMimeData();
        data->setData(DIB_FORMAT, QByteArray(reinterpret_cast<const char*>(c.dib.data()),
                                             static_cast<qsizetype>(c.dib.size())));
        data->setText("a picture wins over text");
        QGuiApplication::clipboard()->setMimeData(data);
        ASSERT_EQ(container.PasteFromClipboard(), 1) << c.what;
        auto* stamp = dynamic_cast<CQvGObjectImage*>(container.GetMainObjList().back());
        ASSERT_NE(stamp, nullptr) << c.what;
        EXPECT_EQ(stamp->GetImageBytes(), c.dib) << c.what;

        // Copied back: the same bytes as a DIB, and an image other programs paste.
        QGuiApplication::clipboard()->clear();
        ASSERT_EQ(container.CopyToClipboard(), 1) << c.what;
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        const QByteArray bytes = copied->data(DIB_FORMAT);
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), c.dib) << c.what;
        ASSERT_TRUE(copied->hasImage()) << c.what;
        const QImage image = qvariant_cast<QImage>(copied->imageData());
        EXPECT_EQ(image.size(), QSize(stamp->GetImage()->biWidth, stamp->GetImage()->biHeight)) << c.what;
        EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, c.topLeft & 0xFFFFFF) << c.what;
        if (c.dib == palette8)
        {
            EXPECT_EQ(image.pixel(1, 0) & 0xFFFFFF, 0x00FF00u);
        }
        container.RemoveAll();
    }

    // A stamp without a picture copies nothing.
    container.AddObject(SHAPE_IMAGE);
    CQvGObject* empty = container.GetCreatingObject();
    container.SelectionMode(1);
    container.SelectObjects(empty, 0);
    QGuiApplication::clipboard()->setText("left alone");
    EXPECT_EQ(container.CopyToClipboard(), 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "left alone");
}

TEST_F(ContainerClipboard, PicturesAndTextsThatCannotBecomeObjectsPasteNothing)
{
    std::vector<uint8_t> lying(40 + 4, 0);
    BITMAPINFOHEADER header{40, 1, 50, 1, 24, BI_RGB, 4, 0, 0, 0, 0};  // 50 rows claimed, 1 there
    std::memcpy(lying.data(), &header, 40);
    const std::vector<std::function<void(QMimeData&)>> fills = {
        [&](QMimeData& d) {
            d.setData(DIB_FORMAT, QByteArray(reinterpret_cast<const char*>(lying.data()), 44));
        },
        [](QMimeData& d) { d.setData(DIB_FORMAT, QByteArray("short")); },
        [](QMimeData& d) { d.setText(QString(64 * 1024, QChar('x'))); },
        [](QMimeData& d) { d.setText(QString()); d.setData("text/plain", QByteArray()); },
    };
    for (size_t i = 0; i < fills.size(); ++i)
    {
        auto* data = new QMimeData();
        fills[i](*data);
        QGuiApplication::clipboard()->setMimeData(data);
        EXPECT_EQ(container.PasteFromClipboard(), 0) << i;
        EXPECT_TRUE(container.GetMainObjList().empty()) << i;
        EXPECT_TRUE(container.GetSelectObjList().empty()) << i;
    }
}

TEST_F(ContainerClipboard, ADibLargerThanAnyStampIsRefusedBeforeItIsCopied)
{
    // A good 1 x 1 picture at the front of a block one byte past the largest a stamp holds.
    QByteArray block(static_cast<qsizetype>(256LL * 1024 * 1024 + 1), '\0');
    const BITMAPINFOHEADER header{40, 1, 1, 1, 24, BI_RGB, 4, 0, 0, 0, 0};
    std::memcpy(block.data(), &header, 40);
    auto* data = new QMimeData();
    data->setData(DIB_FORMAT, block);
    block = QByteArray();
    QGuiApplication::clipboard()->setMimeData(data);
    EXPECT_TRUE(ClipboardPicture().empty());
    EXPECT_EQ(container.PasteFromClipboard(), 0);
    EXPECT_TRUE(container.GetMainObjList().empty());
    QGuiApplication::clipboard()->clear();
}

TEST_F(ContainerClipboard, BadRecordFilesPasteNothing)
{
    CQvGObject* line = DrawLine(SHAPE_LINE, CPoint(10, 20), CPoint(60, 20));
    container.SelectionMode(1);
    container.SelectObjects(line, 0);
    ASSERT_EQ(container.CopyToClipboard(), 1);
    const std::string own = GObjectClipboardFilePath();
    std::ifstream saved(own, std::ios::binary);
    const std::vector<uint8_t> good{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
    ASSERT_GT(good.size(), 19u);
    const std::string elsewhere = runtime.Path().toStdString() + "/elsewhere";
    WriteFile(elsewhere, good);

    // The good record with one 32-bit field replaced, named on the clipboard.
    const auto nameRecordWith = [&](size_t offset, uint32_t value) {
        Bytes bytes;
        bytes.Add(good);
        bytes.Put32(offset, value);
        WriteFile(own, bytes.data);
        NamePath(own);
    };
    struct Case
    {
        const char* what;
        std::function<void()> prepare;
    };
    const std::vector<Case> cases = {
        {"a file outside the user's folder", [&] { NamePath(elsewhere); }},
        {"a relative path", [&] { NamePath("QvGObject"); }},
        {"an empty path", [&] { NamePath(""); }},
        {"a missing file", [&] { unlink(own.c_str()); NamePath(own); }},
        {"a link to a good file",
         [&] {
             unlink(own.c_str());
             ASSERT_EQ(symlink(elsewhere.c_str(), own.c_str()), 0);
             NamePath(own);
         }},
        {"a folder",
         [&] {
             unlink(own.c_str());
             ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
             NamePath(own);
         }},
        {"a wrong marker",
         [&] {
             rmdir(own.c_str());
             std::vector<uint8_t> bytes = good;
             bytes[0] = 'X';
             WriteFile(own, bytes);
             NamePath(own);
         }},
        {"a truncated record",
         [&] {
             WriteFile(own, std::vector<uint8_t>(good.begin(), good.end() - 5));
             NamePath(own);
         }},
        {"an absurd count", [&] { nameRecordWith(15, 0x7FFFFFFF); }},
        {"a negative count", [&] { nameRecordWith(15, 0xFFFFFFFF); }},
        {"an unknown shape code", [&] { nameRecordWith(19, 23); }},
    };
    for (const Case& c : cases)
    {
        c.prepare();
        EXPECT_EQ(container.PasteFromClipboard(), 0) << c.what;
        EXPECT_EQ(container.GetMainObjList().size(), 1u) << c.what;
        EXPECT_EQ(container.GetSelectedObjectCount(), 1) << c.what;
    }

    // The good file pastes once it is back.
    WriteFile(own, good);
    NamePath(own);
    EXPECT_EQ(container.PasteFromClipboard(), 1);
    EXPECT_EQ(container.GetMainObjList().size(), 2u);
}

}  // namespace
