// Documents through their file: saved and opened again whole, a bad file makes no document, a failed save keeps
// the document modified, and the save dialog offers the formats with the document entry first.
#include "document/NativeFile.h"

#include "NativeFileTestSupport.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "document/DocumentStrings.h"
#include "document/FileFailureTexts.h"
#include "document/NativeFileSave.h"
#include "inifile/AtomicWriteTemps.h"
#include "qvcodec/CQvImageCodec.h"
#include "qvimage/QvImageRecord.h"
#include "strings/Format.h"
#include "testing/MessageBoxRecorder.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

    static Bytes FileBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

// Saves cut short (the program killed while writing) leave temporary files as large as the document; opening the
// document takes them away, and only them.
TEST_F(DocumentFileFixture, OpeningADocumentRemovesWhatCutShortSavesLeftBesideIt)
{
    CVistrelDoc* doc = DrawnDocument();
    std::string path = Path("kept.qrx");
    ASSERT_EQ(SaveDocumentImage(doc, path, nullptr, 0), 1);
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
    const std::string leftovers[] = {AtomicWriteTempPath(path, ended, 0), AtomicWriteTempPath(path, ended, 1)};
    for (const std::string& leftover : leftovers)
        std::ofstream(leftover, std::ios::binary) << "half a document";
    const std::string othersFile = AtomicWriteTempPath(Path("other.qrx"), ended, 0);
    std::ofstream(othersFile, std::ios::binary) << "another document's";

    ASSERT_NE(OpenNativeDocument(path), nullptr);
    for (const std::string& leftover : leftovers)
        EXPECT_FALSE(std::filesystem::exists(leftover)) << leftover;
    EXPECT_TRUE(std::filesystem::exists(othersFile));
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

    // A companion may name a FIFO (opening it would wait for a writer) or a device.
    const std::string fifo = Path("fifo.qrx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    const struct
    {
        std::string path;
        UINT reason;
    } cases[] = {
        {cut, filetext::IDS_OPEN_DAMAGED},
        {foreign, filetext::IDS_OPEN_NOT_A_DOCUMENT},
        {Path("missing.qrx"), filetext::IDS_OPEN_NOT_FOUND},
        {"/dev/zero", filetext::IDS_OPEN_NOT_A_DOCUMENT},
        {fifo, filetext::IDS_OPEN_NOT_A_DOCUMENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        MessageBoxes().Reset();
        EXPECT_EQ(OpenNativeDocument(c.path), nullptr);
        EXPECT_EQ(registry->Documents().size(), 1u);
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_EQ(MessageBoxes().Boxes()[0].text,
                  NativeFileString(IDS_FILE_CANNOT_OPEN) + "\n\n" + c.path + "\n" + FileFailureText(c.reason));
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
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, NativeFileString(IDS_FILE_CANNOT_OPEN) + "\n\n" + path);
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

// The save message names the reason: the system's, kept through the document writer and the picture writer, or
// what the folder shows; a picture type nobody writes is named as such.
TEST_F(DocumentFileFixture, AFailedSaveSaysWhy)
{
    const struct
    {
        const char* name;
        bool tooLarge;  // written under a file-size limit the file exceeds
        UINT reason;
    } cases[] = {
        {"missing-folder/doc.qrx", false, filetext::IDS_SAVE_NO_FOLDER},
        {"missing-folder/doc.png", false, filetext::IDS_SAVE_NO_FOLDER},
        {"large.qrx", true, filetext::IDS_SAVE_FILE_TOO_LARGE},
        {"large.tif", true, filetext::IDS_SAVE_FILE_TOO_LARGE},
        {"doc.gif", false, filetext::IDS_SAVE_UNKNOWN_FORMAT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVistrelDoc* doc = DrawnDocument();
        doc->GetGObjectContainer().RemoveAll();  // no merge question
        MessageBoxes().Reset();
        std::string path = Path(c.name);
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
        if (c.tooLarge) {
            const rlimit small{1024, saved.rlim_max};
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        const BOOL written = SaveDocumentImage(doc, path, nullptr, 0);
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, handler);
        EXPECT_EQ(written, 0);
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_EQ(MessageBoxes().Boxes()[0].text,
                  Format(NativeFileString(IDS_FILE_CANNOT_SAVE).c_str(), path.c_str()) + "\n" +
                      FileFailureText(c.reason));
    }
}

// A picture file cannot hold the objects: after saving one the document is not all in a file, so closing asks.
TEST_F(DocumentFileFixture, AfterAPictureSaveThatLeftTheObjectsOutClosingStillAsks)
{
    for (const char* name : {"picture.png", "picture.jpg", "picture.tif"}) {
        SCOPED_TRACE(name);
        CVistrelDoc* doc = DrawnDocument();
        doc->SetPathName(Path("drawn.qrx"), false);
        doc->SetModifiedFlag(true);
        MessageBoxes().Reset();
        MessageBoxes().QueueFile(Path(name));
        doc->OnFileSaveAs();
        ASSERT_EQ(doc->GetPathName(), Path(name));
        EXPECT_EQ(doc->GetGObjectContainer().GetObjList()->size(), 1u);
        EXPECT_TRUE(doc->IsModified());
        MessageBoxes().QueueAnswers({IDCANCEL});
        EXPECT_FALSE(registry->CloseDocument(doc)) << "the close was cancelled at the prompt";
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_EQ(MessageBoxes().Boxes()[0].type & 0xFu, MB_YESNOCANCEL);

        // Saved where the objects are kept, the document is all in its file again.
        MessageBoxes().QueueFile(Path("kept.qrx"));
        doc->OnFileSaveAs();
        EXPECT_FALSE(doc->IsModified());
        // With no objects left, a picture holds everything.
        doc->GetGObjectContainer().RemoveAll();
        doc->SetModifiedFlag(true);
        MessageBoxes().QueueFile(Path(name));
        doc->OnFileSaveAs();
        EXPECT_FALSE(doc->IsModified());
        registry->CloseDocument(doc);
    }
}

// The image library has 8 bits a sample at most: a 16-bit picture is shown at 8, the user is told once, and Save
// never puts 8-bit samples over the file without asking, offering another name first.
TEST_F(DocumentFileFixture, ASixteenBitPictureIsToldOnceAndNeverOverwrittenUnasked)
{
    QImage deep(20, 10, QImage::Format_Grayscale16);
    for (int y = 0; y < deep.height(); ++y) {
        auto* row = reinterpret_cast<uint16_t*>(deep.scanLine(y));
        for (int x = 0; x < deep.width(); ++x)
            row[x] = static_cast<uint16_t>(x * 200 + y);
    }
    const std::string path = Path("deep.png");
    ASSERT_TRUE(deep.save(QString::fromStdString(path), "PNG"));
    const Bytes original = FileBytes(path);

    CVistrelDoc* doc = registry->OpenDocumentFile(path);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text,
              Format(DocumentString(docstr::IDS_OPENED_REDUCED).c_str(), path.c_str(), 16));
    EXPECT_EQ(registry->OpenDocumentFile(path), doc);
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u) << "told once";

    const std::string asked = Format(NativeFileString(IDS_SAVE_REDUCES_FILE).c_str(), path.c_str(), 16);
    // Cancelled, from Save, from the close prompt and through another name of the same file: the file stays.
    std::string alias = Path("./deep.png");
    doc->SetModifiedFlag(true);
    MessageBoxes().Reset();
    MessageBoxes().QueueAnswers({IDCANCEL, IDYES, IDCANCEL, IDCANCEL});
    doc->OnFileSave();
    EXPECT_FALSE(doc->SaveModified()) << "the close goes on only once the document is safe";
    EXPECT_EQ(SaveDocumentImage(doc, alias, nullptr, 0), 0);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 4u);
    for (size_t i : {0u, 2u, 3u})
        EXPECT_EQ(MessageBoxes().Boxes()[i].type & 0xFu, MB_YESNOCANCEL);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, asked);
    EXPECT_EQ(MessageBoxes().Boxes()[2].text, asked);
    EXPECT_EQ(MessageBoxes().Boxes()[3].text,
              Format(NativeFileString(IDS_SAVE_REDUCES_FILE).c_str(), alias.c_str(), 16));
    EXPECT_EQ(FileBytes(path), original);
    EXPECT_TRUE(doc->IsModified());

    // Yes: Save As, offering the file's name; choosing the file itself there asks again.
    MessageBoxes().Reset();
    MessageBoxes().QueueAnswers({IDYES, IDYES});
    MessageBoxes().QueueFile(path);
    MessageBoxes().QueueFile(Path("shallow.png"));
    doc->OnFileSave();
    ASSERT_EQ(MessageBoxes().FileDialogs().size(), 2u);
    EXPECT_EQ(MessageBoxes().FileDialogs()[0].title, NativeFileString(IDS_SAVE_AS_TITLE));
    EXPECT_NE(MessageBoxes().FileDialogs()[0].initialFile.find("deep.png"), std::string::npos);
    EXPECT_EQ(MessageBoxes().Boxes().size(), 2u);
    EXPECT_EQ(FileBytes(path), original);
    EXPECT_EQ(doc->GetPathName(), Path("shallow.png"));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->FileSampleBits(), 8);

    // No: the user chose to overwrite.
    CVistrelDoc* again = registry->OpenDocumentFile(path);
    ASSERT_NE(again, nullptr);
    MessageBoxes().Reset();
    MessageBoxes().QueueAnswers({IDNO});
    again->OnFileSave();
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
    QvCodecReadNote note;
    CQvImage back;
    ASSERT_EQ(codec.Read(path.c_str(), &back, nullptr, 0, -1, -1, &note), 1);
    EXPECT_FALSE(note.reduced) << "the file now holds the 8-bit image";
    MessageBoxes().Reset();
    again->OnFileSave();
    EXPECT_TRUE(MessageBoxes().Boxes().empty()) << "an 8-bit file is saved over without a question";
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

// A document file made byte by byte from the layout opens into a document whose own save writes the same bytes.
TEST_F(DocumentFileFixture, AHandMadeDocumentFileSavesBackByteForByte)
{
    CQvImage image;
    image.Create(QV_RGB24, 6, 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            std::memset(image.GetPixel(x, y), 20 * x + y, 3);
    // The overlay stream as its own writer gives it once read: value labels are placed on reading, so a stream
    // that has been read once is what every later save writes. Its display settings are the document's
    // preferences below, which the document's overlay follows.
    CQvGObjectContainer drawn;
    drawn.SetCanvasWnd(&canvas);
    drawn.SetCanvasSize(CSize(6, 4));
    drawn.SetAutoRepeatCreatingObject(0);
    drawn.SetDecimalPointRange(2);
    drawn.SetDisplayData(1);
    drawn.SetDisplayMark(0);
    drawn.SetDisplayName(1);
    drawn.SetAutoChangeColorMode(0);
    drawn.SetDisplayRealtime(1);
    ClickLine(drawn, canvas, CPoint(1, 1), CPoint(5, 3));
    drawn.SetCanvasWnd(nullptr);
    CQvGObjectContainer settled;
    FILE* stream = StreamOf(Captured([&](FILE* f) { ASSERT_EQ(drawn.Write(f), 1); }));
    ASSERT_EQ(settled.Read(stream), 1);
    std::fclose(stream);
    const Bytes overlay = Captured([&](FILE* f) { ASSERT_EQ(settled.Write(f), 1); });

    ByteBuilder b;
    b.bytes = Captured([&](FILE* f) { ASSERT_EQ(QVWriteImage(f, &image), 1); });
    b.I32(2).I32(1).I32(0).I32(1).I32(0).I32(1);  // decimal point range, data, mark, name, auto colour, real-time
    b.Zeros(8);
    b.I32(1).I32(G_CHECK | G_DIAGONALS);             // show, type
    b.F64(0.5).F32(3.0f);                           // units per pixel, gap
    b.I32(6).I32(4);                                // canvas
    b.U32(0).I32(1).I32(1).U32(0x00FF00);           // pen
    b.U32(2).I32(1).I32(1).U32(0x808080);           // pen2
    b.I32(-12).I32(0).I32(0).I32(0).I32(400);       // font metrics
    b.bytes.insert(b.bytes.end(), {0, 0, 0, 0, 0, 0, 0, 0});
    b.Text("Arial", 32);
    b.I32(0).I32(1).I32(8).U32(0x445566);           // ruler, reserved2, tick length, color2
    b.Text("CALK", 4).U32(1).U32(7).Text("Lens 5x", 7);
    b.I32(UNIT_MICROMETER).F64(0.5).F64(5.0).F64(200.0).F64(100.0);
    b.F64(1.0).F64(0.0).F64(0.0).F64(0.0).I32(100);
    const size_t overlayAt = b.bytes.size();
    b.bytes.insert(b.bytes.end(), overlay.begin(), overlay.end());
    const Bytes fixture = b.bytes;

    const std::string path = Path("made.qrx");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(fixture.data()), static_cast<std::streamsize>(fixture.size()));
    }
    CVistrelDoc* doc = OpenNativeDocument(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPreferences().decimalPointRange, 2);
    EXPECT_EQ(doc->GetLatticer().type, G_CHECK | G_DIAGONALS);
    EXPECT_EQ(doc->GetLatticer().pen.lopnColor, 0x00FF00u);
    EXPECT_EQ(doc->GetCalibKeeper().GetName(), "Lens 5x");
    EXPECT_EQ(doc->GetGObjectContainer().GetObjList()->size(), 1u);
    EXPECT_EQ(doc->GetImage().GetPixel(5, 3)[0], 103);

    ASSERT_TRUE(doc->DoFileSave());
    const Bytes saved = FileBytes(path);
    ASSERT_EQ(saved.size(), fixture.size());
    EXPECT_TRUE(std::equal(fixture.begin(), fixture.begin() + static_cast<long>(overlayAt), saved.begin()))
        << "image, fixed part or calibration differ";
    EXPECT_EQ(saved, fixture);
    EXPECT_TRUE(MessageBoxes().Boxes().empty());
}

// The open command's dialog: several files at once, each opened as its own document, a bad one told about while
// the others still open, and the folder remembered for the next dialog.
TEST_F(DocumentFileFixture, TheOpenDialogOpensEveryChosenFile)
{
    CVistrelDoc* drawn = DrawnDocument();
    std::string native = Path("drawn.qrx");
    ASSERT_EQ(SaveDocumentImage(drawn, native, nullptr, 0), 1);
    drawn->SetModifiedFlag(false);  // saved: closing asks nothing
    registry->CloseDocument(drawn);
    ASSERT_TRUE(registry->Documents().empty());
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    const std::string first = Path("first.png"), second = Path("second.bmp"), bad = Path("bad.png");
    ASSERT_TRUE(picture.save(QString::fromStdString(first), "PNG"));
    ASSERT_TRUE(picture.save(QString::fromStdString(second), "BMP"));
    std::ofstream(bad) << "not a picture";

    LastFileFolder() = "/nowhere/earlier";
    MessageBoxes().QueueFiles({});
    EXPECT_EQ(OpenDocumentImage(""), nullptr);
    EXPECT_TRUE(registry->Documents().empty());
    EXPECT_EQ(LastFileFolder(), "/nowhere/earlier") << "a cancelled dialog changes nothing";

    MessageBoxes().QueueFiles({first, bad, second, native});
    EXPECT_EQ(OpenDocumentImage(""), nullptr);
    ASSERT_EQ(MessageBoxes().FileDialogs().size(), 2u);
    const FileDialogRequest& request = MessageBoxes().FileDialogs()[1];
    EXPECT_FALSE(request.save);
    EXPECT_TRUE(request.multiSelect);
    EXPECT_EQ(request.filterIndex, 5);
    EXPECT_EQ(request.initialFile, "/nowhere/earlier/");
    EXPECT_EQ(request.title, NativeFileString(IDS_OPEN_TITLE));
    ASSERT_EQ(registry->Documents().size(), 3u);
    EXPECT_EQ(registry->Documents()[0]->GetPathName(), first);
    EXPECT_EQ(registry->Documents()[1]->GetPathName(), second);
    EXPECT_EQ(registry->Documents()[2]->GetPathName(), native);
    EXPECT_EQ(registry->Documents()[2]->GetGObjectContainer().GetObjList()->size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u) << "the bad file is told about once";
    EXPECT_EQ(LastFileFolder(), folder.path().toStdString());

    // Choosing an open file again activates it instead of making a second document.
    MessageBoxes().QueueFiles({first});
    OpenDocumentImage("");
    EXPECT_EQ(registry->Documents().size(), 3u);
    EXPECT_EQ(OpenDocumentImage(first), registry->Documents()[0]);
    LastFileFolder().clear();
}
