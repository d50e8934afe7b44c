// Copy and paste of overlay objects through the (in-process, offscreen) clipboard, and clipboards that name a
// missing, foreign or damaged records file.
#include "ByteFixture.h"
#include "CQvGObject.h"
#include "CQvGObjectContainer.h"
#include "GObjectClipboard.h"
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

TEST_F(ContainerClipboard, APictureOrTextWinsOverRecords)
{
    CQvGObject* line = DrawLine(SHAPE_LINE, CPoint(10, 20), CPoint(60, 20));
    container.SelectionMode(1);
    container.SelectObjects(line, 0);
    ASSERT_EQ(container.CopyToClipboard(), 1);
    const QByteArray path = QGuiApplication::clipboard()->mimeData()->data(QVGOBJECT_FORMAT);

    for (bool picture : {true, false})
    {
        auto* data = new QMimeData();
        data->setData(QVGOBJECT_FORMAT, path);
        if (picture)
            data->setImageData(QImage(4, 4, QImage::Format_RGB32));
        else
            data->setText("words");
        QGuiApplication::clipboard()->setMimeData(data);
        EXPECT_EQ(container.PasteFromClipboard(), 0) << picture;
        EXPECT_EQ(container.GetMainObjList().size(), 1u) << picture;
    }
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
