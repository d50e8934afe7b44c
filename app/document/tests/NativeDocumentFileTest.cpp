// Documents through their file: saved and opened again whole, a bad file makes no document, a failed save keeps
// the document modified, and the save dialog offers the formats with the document entry first.
#include "document/NativeFile.h"

#include "NativeFileTestSupport.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "document/NativeFileSave.h"
#include "qvcodec/CQvImageCodec.h"
#include "testing/MessageBoxRecorder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <signal.h>
#include <sys/resource.h>

using namespace nativefile_test;
using testing_support::MessageBoxes;

namespace {

class DocumentFileFixture : public ::testing::Test
{
protected:
    CQvGObjectPropertyTotal savedDefaults = g_GOPropertyTotal;
    QTemporaryDir folder;
    CQvImageCodec codec;
    std::unique_ptr<DocumentRegistry> registry;
    SilentCanvas canvas{60, 40};

    void SetUp() override
    {
        codec.Install("");
        registry = std::make_unique<DocumentRegistry>(&codec);
        InstallNativeFileHooks();
        MessageBoxes().Reset();
    }
    void TearDown() override
    {
        registry.reset();
        CVistrelDoc::SetFileHooks({});
        g_GOPropertyTotal = savedDefaults;
    }

    std::string Path(const std::string& name) const { return folder.filePath(QString::fromStdString(name)).toStdString(); }

    CVistrelDoc* DrawnDocument()
    {
        CVistrelDoc* doc = registry->NewDocument("drawn");
        CQvImage image;
        image.Create(QV_RGB24, 60, 40, 0);
        image.GetPixel(7, 8)[1] = 200;
        doc->SetImage("", &image);
        CQvGObjectContainer& overlay = doc->GetGObjectContainer();
        overlay.SetCanvasWnd(&canvas);
        overlay.SetAutoRepeatCreatingObject(0);
        ClickLine(overlay, canvas, CPoint(5, 5), CPoint(50, 30));
        overlay.SetCanvasWnd(nullptr);
        doc->GetLatticer().show = 1;
        doc->GetLatticer().type = G_CIRCLES;
        doc->GetLatticer().gap = 33.0f;
        doc->GetCalibKeeper().SetName("Lens 20x");
        doc->GetCalibKeeper().SetUnitsPerPixel(0.125);
        return doc;
    }
};

}  // namespace

TEST_F(DocumentFileFixture, ASavedDocumentOpensAgainWhole)
{
    CVistrelDoc* doc = DrawnDocument();
    std::string path = Path("whole.qrx");
    ASSERT_EQ(SaveDocumentImage(doc, path, nullptr, 0), 1);
    EXPECT_EQ(doc->GetFramePool().GetFileName(), path);
    EXPECT_TRUE(MessageBoxes().Boxes().empty()) << "a document file never asks to merge";

    CVistrelDoc* opened = OpenNativeDocument(path);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(registry->Documents().size(), 2u);
    EXPECT_EQ(opened->GetPathName(), path);
    EXPECT_FALSE(opened->IsModified());
    EXPECT_EQ(opened->GetImage().GetWidth(), 60);
    EXPECT_EQ(opened->GetImage().GetPixel(7, 8)[1], 200);
    EXPECT_EQ(opened->GetGObjectContainer().GetObjList()->size(), 1u);
    EXPECT_EQ(opened->GetLatticer().type, G_CIRCLES);
    EXPECT_EQ(opened->GetLatticer().gap, 33.0f);
    EXPECT_EQ(opened->GetCalibKeeper().GetName(), "Lens 20x");
    EXPECT_EQ(opened->GetCalibKeeper().GetUnitsPerPixel(), 0.125);
    EXPECT_EQ(opened->GetPreferences().decimalPointRange, doc->GetPreferences().decimalPointRange);
}

TEST_F(DocumentFileFixture, ABadFileMakesNoDocumentAndSaysSo)
{
    CVistrelDoc* doc = DrawnDocument();
    std::string path = Path("good.qrx");
    ASSERT_EQ(SaveDocumentImage(doc, path, nullptr, 0), 1);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string cut = Path("cut.qrx");
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 3);
    const std::string foreign = Path("foreign.qrx");
    std::ofstream(foreign, std::ios::binary) << "GIF89a not a document";

    for (const std::string& bad : {cut, foreign, Path("missing.qrx")}) {
        MessageBoxes().Reset();
        EXPECT_EQ(OpenNativeDocument(bad), nullptr) << bad;
        EXPECT_EQ(registry->Documents().size(), 1u) << bad;
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u) << bad;
        EXPECT_EQ(MessageBoxes().Boxes()[0].text, NativeFileString(IDS_FILE_CANNOT_OPEN));
    }
    EXPECT_EQ(doc->GetGObjectContainer().GetObjList()->size(), 1u);
}

TEST_F(DocumentFileFixture, AFileWhoseObjectsCannotBeTakenOverMakesNoDocument)
{
    CVistrelDoc* doc = DrawnDocument();
    std::string path = Path("objects.qrx");
    ASSERT_EQ(SaveDocumentImage(doc, path, nullptr, 0), 1);

    // The objects pass to the new document through a scratch file; with no room to write one they cannot.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit tiny{8, saved.rlim_max};
    void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    CVistrelDoc* opened = OpenNativeDocument(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, handler);

    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(registry->Documents().size(), 1u) << "a document without the file's objects would lose them on save";
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, NativeFileString(IDS_FILE_CANNOT_OPEN));
}

TEST_F(DocumentFileFixture, AFailedSaveKeepsTheDocumentModified)
{
    CVistrelDoc* doc = DrawnDocument();
    const std::string path = Path("missing-folder/doc.qrx");
    doc->SetPathName(path, false);
    doc->SetModifiedFlag(true);
    EXPECT_FALSE(doc->DoFileSave());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetPathName(), path);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_NE(MessageBoxes().Boxes()[0].text.find(path), std::string::npos);
}

TEST_F(DocumentFileFixture, AMergingPictureSaveThatFailsKeepsTheObjects)
{
    CVistrelDoc* doc = DrawnDocument();
    doc->SetModifiedFlag(true);
    std::string path = Path("missing-folder/merged.png");
    MessageBoxes().QueueAnswers({IDYES});  // merge the objects into the picture
    EXPECT_EQ(SaveDocumentImage(doc, path, nullptr, 0), 0);
    EXPECT_EQ(doc->GetGObjectContainer().GetObjList()->size(), 1u) << "the objects are not lost to a failed write";
    EXPECT_TRUE(doc->IsModified());
    EXPECT_FALSE(doc->GetFramePool().CanUndo());
    EXPECT_EQ(doc->GetImage().GetPixel(7, 8)[1], 200);

    // The same save to a folder that exists merges for good: objects in the pixels, undo can bring them back.
    MessageBoxes().Reset();
    MessageBoxes().QueueAnswers({IDYES});
    path = Path("merged.png");
    EXPECT_EQ(SaveDocumentImage(doc, path, nullptr, 0), 1);
    EXPECT_TRUE(doc->GetGObjectContainer().GetObjList()->empty());
    EXPECT_TRUE(doc->GetFramePool().CanUndo());
}

TEST_F(DocumentFileFixture, TheSaveDialogOffersTheFormatsAndSaveAsNeverMerges)
{
    CVistrelDoc* doc = DrawnDocument();
    MessageBoxes().QueueFile(Path("picked"));  // no extension: the document type's is added
    doc->SetModifiedFlag(true);
    doc->OnFileSave();
    ASSERT_EQ(MessageBoxes().FileDialogs().size(), 1u);
    const FileDialogRequest& request = MessageBoxes().FileDialogs()[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, NativeFileString(IDS_SAVE_TITLE));
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_NE(request.filter.find("*.qrx"), std::string::npos);
    EXPECT_NE(request.initialFile.find("drawn"), std::string::npos) << "an unsaved document offers its title";
    EXPECT_EQ(doc->GetPathName(), Path("picked.qrx"));
    EXPECT_FALSE(doc->IsModified());

    // Save as a picture with objects: the overlay stays, nothing is asked.
    MessageBoxes().Reset();
    MessageBoxes().QueueFile(Path("copy.jpg"));
    doc->OnFileSaveAs();
    EXPECT_TRUE(MessageBoxes().Boxes().empty());
    EXPECT_EQ(MessageBoxes().FileDialogs()[0].title, NativeFileString(IDS_SAVE_AS_TITLE));
    EXPECT_TRUE(std::filesystem::exists(Path("copy.jpg")));
    EXPECT_EQ(doc->GetGObjectContainer().GetObjList()->size(), 1u);

    // Cancelling changes nothing.
    MessageBoxes().Reset();
    doc->SetModifiedFlag(true);
    doc->OnFileSaveAs();
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetPathName(), Path("copy.jpg"));
}
