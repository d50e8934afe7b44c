#include "document/DocumentRegistry.h"

#include "document/AvailableMemory.h"
#include "document/CNewImageDlg.h"
#include "document/CVistrelDoc.h"
#include "document/ClipboardImage.h"
#include "document/DocumentCreation.h"
#include "document/DocumentStrings.h"
#include "document/FileFailureTexts.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "profile/CAppProfile.h"
#include "profile/Registry.h"
#include "qvcodec/CQvImageCodec.h"
#include "qvimage/QvImageDib.h"
#include "testing/MessageBoxRecorder.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QImage>
#include <QMdiArea>
#include <QMimeData>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include <stdlib.h>

using testing_support::MessageBoxes;

namespace {

class DocumentRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid() && files.isValid());
        setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
        setenv("XDG_CONFIG_DIRS", config.path().toUtf8().constData(), 1);
        RegReloadStore();
        codec.Install(files.path().toUtf8().constData());
        MainFrameOptions options;
        options.profile = &profile;
        options.programFolder = "/opt/vistrel";
        frame = std::make_unique<CMainFrame>(options);
        frame->resize(1200, 900);
        frame->show();
        registry = std::make_unique<DocumentRegistry>(&codec);
        registry->AttachMainFrame(frame.get());
        CVistrelDoc::ResetCascadeCounter();
    }
    void TearDown() override
    {
        registry.reset();
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RegReloadStore();
    }

    static void DeleteClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    CVistrelDoc* NewImageDocument(int width, int height)
    {
        CQvImage image;
        EXPECT_EQ(image.Create(QV_RGB24, width, height, 0), 1);
        CVistrelDoc* doc = registry->NewDocument("");
        doc->SetImage("", &image);
        return doc;
    }

    std::string WritePng(const char* name, const QImage& picture)
    {
        const QString path = files.filePath(name);
        EXPECT_TRUE(picture.save(path, "PNG"));
        return path.toStdString();
    }

    QTemporaryDir config, files;
    CAppProfile profile{"QRX", "Vistrel"};
    CQvImageCodec codec;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<DocumentRegistry> registry;
};

QPoint FramePosition(CVistrelDoc* doc)
{
    return doc->GetChildFrame()->geometry().topLeft();
}

}  // namespace

TEST_F(DocumentRegistryTest, DocumentsAreListedInOpeningOrderAndTheActiveOneFollowsTheChildFrame)
{
    std::vector<CVistrelDoc*> activated;
    QObject::connect(registry.get(), &DocumentRegistry::ActiveDocumentChanged,
                     [&](CVistrelDoc* doc) { activated.push_back(doc); });
    CVistrelDoc* first = registry->NewDocument("first");
    CVistrelDoc* second = registry->NewDocument("second");
    CVistrelDoc* third = registry->NewDocument("");
    EXPECT_EQ(registry->Documents(), (std::vector<CVistrelDoc*>{first, second, third}));
    EXPECT_EQ(registry->GetActiveDocument(), third);
    EXPECT_EQ(second->GetChildFrame()->windowTitle(), "second");
    EXPECT_FALSE(third->GetTitle().empty());

    frame->MdiArea()->setActiveSubWindow(first->GetChildFrame());
    EXPECT_EQ(registry->GetActiveDocument(), first);
    ASSERT_FALSE(activated.empty());
    EXPECT_EQ(activated.back(), first);
    // Commands of the active frame reach its document.
    EXPECT_EQ(frame->ActiveChildFrame()->DocumentTarget(), first);

    // The print list puts the active document first, then the rest in opening order, leaving out the live one.
    second->SetLive(true);
    const std::vector<OpenTitleEntry> titles = registry->GetOpenTitles(third);
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0].title, third->GetTitle());
    EXPECT_EQ(titles[1].title, "first");
    EXPECT_EQ(registry->FindLiveView(), second->GetImageView());
}

TEST_F(DocumentRegistryTest, ClosingRemovesTheDocumentAndItsFrameUnlessTheUserKeepsIt)
{
    CVistrelDoc* first = registry->NewDocument("first");
    CVistrelDoc* second = registry->NewDocument("second");
    QPointer<QMdiSubWindow> secondFrame = second->GetChildFrame();
    QPointer<CVistrelDoc> secondAlive = second;

    EXPECT_TRUE(registry->CloseDocument(second));
    EXPECT_EQ(registry->Documents(), (std::vector<CVistrelDoc*>{first}));
    DeleteClosed();
    EXPECT_TRUE(secondFrame.isNull());
    EXPECT_TRUE(secondAlive.isNull());
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 1);

    // The frame's own close button asks a modified document; Cancel keeps both.
    first->SetModifiedFlag(true);
    MessageBoxes().QueueAnswers({IDCANCEL});
    EXPECT_FALSE(first->GetChildFrame()->close());
    EXPECT_EQ(registry->Documents().size(), 1u);
    // So does closing the main window, which then stays open.
    MessageBoxes().QueueAnswers({IDCANCEL});
    ASSERT_TRUE(frame->Hooks().closeDocuments);
    EXPECT_FALSE(frame->Hooks().closeDocuments());
    EXPECT_EQ(registry->Documents().size(), 1u);

    MessageBoxes().QueueAnswers({IDNO});
    EXPECT_TRUE(first->GetChildFrame()->close());
    EXPECT_TRUE(registry->Documents().empty());
    DeleteClosed();
    EXPECT_TRUE(frame->MdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(registry->GetActiveDocument(), nullptr);
}

TEST_F(DocumentRegistryTest, FramesCascadeInTenStepsAndALoneDocumentSitsAtTheOrigin)
{
    std::vector<CVistrelDoc*> docs;
    for (int i = 0; i < 11; ++i)
        docs.push_back(NewImageDocument(40, 30));
    const QPoint step = FramePosition(docs[1]);
    ASSERT_GT(step.x(), 0);
    ASSERT_GT(step.y(), 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(FramePosition(docs[i]), step * i) << i;
    EXPECT_EQ(FramePosition(docs[10]), QPoint(0, 0));
    // The frame is sized so that its window shows the image exactly.
    EXPECT_EQ(docs[3]->GetChildFrame()->widget()->size(), QSize(40, 30));

    ASSERT_TRUE(registry->CloseAllDocuments());
    DeleteClosed();
    CVistrelDoc* alone = NewImageDocument(50, 20);
    EXPECT_EQ(FramePosition(alone), QPoint(0, 0));
    CVistrelDoc* next = NewImageDocument(50, 20);
    EXPECT_EQ(FramePosition(next), step);

    // A maximised frame keeps its size, and the cascade does not move on.
    next->GetChildFrame()->showMaximized();
    const QRect maximised = next->GetChildFrame()->geometry();
    const int counter = CVistrelDoc::CascadeCounter();
    CQvImage bigger;
    ASSERT_EQ(bigger.Create(QV_GRAY8, 90, 70, 0), 1);
    next->SetImage("", &bigger);
    EXPECT_EQ(next->GetChildFrame()->geometry(), maximised);
    EXPECT_EQ(CVistrelDoc::CascadeCounter(), counter);
}

TEST_F(DocumentRegistryTest, OpeningAPngMakesOneDocumentWithItsPixelsAndOpeningItAgainActivatesIt)
{
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(2, 1, qRgb(200, 100, 50));
    const std::string path = WritePng("sample.png", picture);

    CVistrelDoc* doc = registry->OpenDocumentFile(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_EQ(doc->GetTitle(), "sample.png");
    EXPECT_EQ(doc->GetFramePool().GetFileName(), path);
    const CQvImage& image = doc->GetImage();
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 2);
    ASSERT_EQ(image.GetColorModel(), QV_RGB24);
    const BYTE* first = image.GetBuffer();
    EXPECT_EQ((std::array<int, 3>{first[0], first[1], first[2]}), (std::array<int, 3>{30, 20, 10}));
    const BYTE* last = image.GetBuffer() + image.GetStride() + 2 * 3;
    EXPECT_EQ((std::array<int, 3>{last[0], last[1], last[2]}), (std::array<int, 3>{50, 100, 200}));

    CVistrelDoc* other = registry->NewDocument("other");
    EXPECT_EQ(registry->GetActiveDocument(), other);
    EXPECT_EQ(registry->OpenDocumentFile(path), doc);
    EXPECT_EQ(registry->Documents().size(), 2u);
    EXPECT_EQ(registry->GetActiveDocument(), doc);
    EXPECT_EQ(FindDocument(path), doc);
    // Paths are compared exactly.
    EXPECT_EQ(FindDocument(files.filePath("SAMPLE.png").toStdString()), nullptr);
    EXPECT_TRUE(MessageBoxes().Boxes().empty());
}

// Message 767 keeps its text and names, below it, the file and why it failed, so that a user who opened several
// files knows which one and why.
TEST_F(DocumentRegistryTest, AFileTheCodecRefusesIsReportedWithItsNameAndReasonAndLeavesNoDocument)
{
    const auto write = [this](const char* name, const QByteArray& bytes) {
        QFile file(files.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return files.filePath(name).toStdString();
    };
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    QByteArray whole;
    {
        QBuffer buffer(&whole);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(picture.save(&buffer, "BMP"));
    }
    // Wider than an image may be, yet a small file.
    QImage strip(70000, 8, QImage::Format_Grayscale8);
    strip.fill(0);
    const std::string wide = files.filePath("wide.png").toStdString();
    ASSERT_TRUE(strip.save(QString::fromStdString(wide), "PNG"));
    const struct
    {
        std::string path;
        UINT reason;
    } cases[] = {
        {write("broken.png", "not an image at all"), filetext::IDS_OPEN_NOT_A_PICTURE},
        {files.filePath("missing.bmp").toStdString(), filetext::IDS_OPEN_NOT_FOUND},
        {write("cut.bmp", whole.left(whole.size() / 2)), filetext::IDS_OPEN_DAMAGED},
        {wide, filetext::IDS_OPEN_TOO_LARGE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        MessageBoxes().Reset();
        EXPECT_EQ(registry->OpenDocumentFile(c.path), nullptr);
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_EQ(MessageBoxes().Boxes()[0].text,
                  DocumentString(docstr::IDS_CANNOT_OPEN) + "\n\n" + c.path + "\n" + FileFailureText(c.reason));
    }
    EXPECT_TRUE(registry->Documents().empty());
    EXPECT_TRUE(frame->MdiArea()->subWindowList().isEmpty());
}

// A native file is known by its extension in any case; a picture whose name merely contains it goes to the codecs.
TEST_F(DocumentRegistryTest, NativeFilesAreKnownByTheirExtensionWhateverItsCase)
{
    std::vector<std::string> opened;
    registry->SetNativeOpener([&opened](const std::string& path) -> CVistrelDoc* {
        opened.push_back(path);
        return nullptr;
    });
    const std::string picture = WritePng("a.qrx.png", QImage(8, 6, QImage::Format_RGB32));
    for (const std::string native : {"/data/slide.qrx", "/data/SLIDE.QRX", "/data/mixed.Qrx"})
        registry->OpenDocumentFile(native);
    CVistrelDoc* doc = registry->OpenDocumentFile(picture);
    EXPECT_EQ(opened, (std::vector<std::string>{"/data/slide.qrx", "/data/SLIDE.QRX", "/data/mixed.Qrx"}));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetImage().GetWidth(), 8);
}

TEST_F(DocumentRegistryTest, FilesDroppedOnTheMainWindowAreOpened)
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const std::string a = WritePng("a.png", picture);
    const std::string b = WritePng("b.png", picture);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)), QUrl::fromLocalFile(QString::fromStdString(b))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame.get(), &drop);
    ASSERT_EQ(registry->Documents().size(), 2u);
    EXPECT_EQ(registry->Documents()[0]->GetPathName(), a);
    EXPECT_EQ(registry->Documents()[1]->GetPathName(), b);
}

TEST_F(DocumentRegistryTest, NewImagesAreTitledWithACounterThatNeverRestarts)
{
    CVistrelDoc* first = NewDocumentFromImage("Base", 8, 6, QV_RGB24, nullptr);
    ASSERT_NE(first, nullptr);
    const std::string title = first->GetTitle();
    ASSERT_EQ(title.rfind("Base-", 0), 0u);
    const int n = std::stoi(title.substr(5));
    EXPECT_EQ(first->GetFramePool().GetFileName(), title);
    EXPECT_EQ(first->GetImage().GetWidth(), 8);
    EXPECT_EQ(first->GetImage().GetColorModel(), QV_RGB24);
    registry->CloseAllDocuments();
    CVistrelDoc* second = NewDocumentFromImage("Base", 8, 6, QV_RGB24, nullptr);
    CQvImage source;
    ASSERT_EQ(source.Create(QV_GRAY8, 5, 5, 0), 1);
    CVistrelDoc* third = NewDocumentFromImage("Other", 0, 0, 0, &source);
    EXPECT_EQ(second->GetTitle(), "Base-" + std::to_string(n + 1));
    EXPECT_EQ(third->GetTitle(), "Other-" + std::to_string(n + 2));
    EXPECT_EQ(third->GetImage().GetColorModel(), QV_GRAY8);
    // A canvas the library cannot make gives no document.
    EXPECT_EQ(NewDocumentFromImage("Base", 0, 6, QV_RGB24, nullptr), nullptr);
    EXPECT_EQ(registry->Documents().size(), 2u);
}

TEST_F(DocumentRegistryTest, TheNewImageDialogRefusesSizesTheLibraryCannotMake)
{
    if (QGuiApplication::clipboard())
        QGuiApplication::clipboard()->clear();
    int proposedWidth = 0, proposedHeight = 0, refusals = 0;
    MessageBoxes().QueueModal([&](QDialog& dialog) {
        auto* width = dialog.findChild<QSpinBox*>("widthEdit");
        auto* height = dialog.findChild<QSpinBox*>("heightEdit");
        auto* ok = dialog.findChild<QAbstractButton*>("okButton");
        ASSERT_TRUE(width && height && ok);
        proposedWidth = width->value();
        proposedHeight = height->value();
        for (auto [w, h] : {std::pair{70000, 10}, std::pair{10, 0}, std::pair{40000, 40000}}) {
            width->setValue(w);
            height->setValue(h);
            ok->click();
            if (dialog.isVisible() || dialog.result() != QDialog::Accepted)
                ++refusals;
        }
        width->setValue(320);
        height->setValue(200);
        ok->click();
    });
    CVistrelDoc* doc = NewBlankDocument();
    EXPECT_EQ(proposedWidth, 640);
    EXPECT_EQ(proposedHeight, 480);
    EXPECT_EQ(refusals, 3);
    EXPECT_EQ(MessageBoxes().Boxes().size(), 3u);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetImage().GetWidth(), 320);
    EXPECT_EQ(doc->GetImage().GetHeight(), 200);
    EXPECT_EQ(doc->GetImage().GetColorModel(), QV_RGB24);

    // Cancelled: nothing is made.
    MessageBoxes().QueueModal([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(NewBlankDocument(), nullptr);
    EXPECT_EQ(registry->Documents().size(), 1u);
}

// A size the library allows but the machine's free memory cannot hold is refused with how much it needs, before
// anything is allocated.
TEST_F(DocumentRegistryTest, TheNewImageDialogRefusesASizeTheMemoryCannotHold)
{
    SetAvailableMemoryProbe([] { return 10LL << 20; });
    int refusals = 0;
    MessageBoxes().QueueModal([&](QDialog& dialog) {
        auto* width = dialog.findChild<QSpinBox*>("widthEdit");
        auto* height = dialog.findChild<QSpinBox*>("heightEdit");
        auto* ok = dialog.findChild<QAbstractButton*>("okButton");
        ASSERT_TRUE(width && height && ok);
        for (auto [w, h] : {std::pair{2000, 2000}, std::pair{65536, 65536}}) {
            width->setValue(w);
            height->setValue(h);
            ok->click();
            if (dialog.result() != QDialog::Accepted)
                ++refusals;
        }
        // 3 MB of pixels, twice that to make: within the 10 MB free.
        width->setValue(1000);
        height->setValue(1000);
        ok->click();
    });
    CVistrelDoc* doc = NewBlankDocument();
    const std::string refused = CNewImageDlg::MemoryMessage(2000, 2000);
    SetAvailableMemoryProbe({});
    EXPECT_EQ(refusals, 2);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 2u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, refused);
    EXPECT_NE(MessageBoxes().Boxes()[0].text.find("2000 x 2000"), std::string::npos);
    EXPECT_NE(MessageBoxes().Boxes()[0].text.find(" 23 MB"), std::string::npos) << "needed: twice 12 MB of pixels";
    EXPECT_NE(MessageBoxes().Boxes()[0].text.find(" 10 MB"), std::string::npos) << "free";
    EXPECT_NE(MessageBoxes().Boxes()[1].text.find("65536 x 65536"), std::string::npos)
        << "sides within their limit are not what refuses it: " << MessageBoxes().Boxes()[1].text;
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetImage().GetWidth(), 1000);
}

TEST_F(DocumentRegistryTest, TheClipboardsImageSizesTheDialogAndBecomesADocument)
{
    CQvImage large;
    ASSERT_EQ(large.Create(QV_RGB24, 1024, 768, 0), 1);
    ASSERT_TRUE(PutImageOnClipboard(large));
    CNewImageDlg dialog;
    EXPECT_EQ(dialog.findChild<QSpinBox*>("widthEdit")->value(), 1024);
    EXPECT_EQ(dialog.findChild<QSpinBox*>("heightEdit")->value(), 768);

    CQvImage small;
    ASSERT_EQ(small.Create(QV_RGB24, 5, 4, 0), 1);
    small.GetBuffer()[small.GetStride() * 3 + 4 * 3 + 2] = 77;
    ASSERT_TRUE(PutImageOnClipboard(small));
    CVistrelDoc* doc = NewDocumentFromClipboard();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->GetImage().GetWidth(), 5);
    ASSERT_EQ(doc->GetImage().GetHeight(), 4);
    EXPECT_EQ(doc->GetImage().GetBuffer()[doc->GetImage().GetStride() * 3 + 4 * 3 + 2], 77);

    // Another program's picture (no DIB) comes in as colour.
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    QGuiApplication::clipboard()->setImage(picture);
    EXPECT_FALSE(ClipboardDibSize().has_value());
    CVistrelDoc* fromPicture = NewDocumentFromClipboard();
    ASSERT_NE(fromPicture, nullptr);
    const BYTE* pixel = fromPicture->GetImage().GetBuffer();
    EXPECT_EQ((std::array<int, 3>{pixel[0], pixel[1], pixel[2]}), (std::array<int, 3>{3, 2, 1}));

    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(NewDocumentFromClipboard(), nullptr);
}

TEST(ClipboardImage, ATruncatedOrForgedDibIsRefused)
{
    CQvImage image;
    ASSERT_EQ(image.Create(QV_RGB24, 6, 6, 0), 1);
    BITMAPINFOHEADER* dib = nullptr;
    ASSERT_EQ(QVIMG2DIB(&image, &dib), 1);
    const QByteArray whole(reinterpret_cast<const char*>(dib), static_cast<qsizetype>(QVDibSize(dib)));
    QVFreeDIB(dib);

    QMimeData good;
    good.setData(kDibMimeType, whole);
    ASSERT_TRUE(DibSizeFromMime(good).has_value());
    QByteArray forged = whole;
    reinterpret_cast<BITMAPINFOHEADER*>(forged.data())->biHeight = 60000;
    for (const QByteArray& bad : {whole.left(whole.size() - 1), whole.left(20), forged}) {
        QMimeData data;
        data.setData(kDibMimeType, bad);
        CQvImage target;
        EXPECT_FALSE(DibSizeFromMime(data).has_value());
        EXPECT_FALSE(ReadImageFromMime(data, target));
        EXPECT_TRUE(target.IsEmpty());
    }
}
