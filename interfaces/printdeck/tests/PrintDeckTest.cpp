// The report module as a plug-in loads it: the print dialog through the modal hook, the page to a PDF file.
#include "printdeck/PrintDeck.h"
#include "printdeck/PrintDeckPage.h"

#include "module/CModule.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"
#include "testing/MessageBoxRecorder.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using testing_support::MessageBoxes;

struct DibBlock
{
    BITMAPINFOHEADER* dib = nullptr;
    ~DibBlock() { QVFreeDIB(dib); }
};

// A 24-bit picture: red left half, blue right half.
void MakePicture(DibBlock& out, int width, int height)
{
    CQvImage image;
    image.Create(QV_RGB24, width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = image.Get2DBuffer()[y] + 3 * x;
            p[0] = x < width / 2 ? 0 : 255;
            p[2] = x < width / 2 ? 255 : 0;
        }
    ASSERT_EQ(QVIMG2DIB(&image, &out.dib), 1);
}

// Answers the print dialog: to a PDF file at `path`, accepted as it stands (done() keeps the printer set here).
void AnswerWithPdf(const QString& path)
{
    MessageBoxes().QueueModal([path](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        ASSERT_NE(print, nullptr);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(path);
        print->done(QDialog::Accepted);
    });
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PrintDeckModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageBoxes().Reset();
        ASSERT_TRUE(m_module.Load(PRINTDECK_MODULE_PATH)) << m_module.GetLastError();
        m_print = m_module.GetProc<PFN_PrintDeckPrint>(kPrintDeckPrintName);
        ASSERT_NE(m_print, nullptr);
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override { MessageBoxes().Reset(); }

    CModule m_module;
    PFN_PrintDeckPrint m_print = nullptr;
    QTemporaryDir m_dir;
};

TEST_F(PrintDeckModule, PrintsTheTitleAndThePictureToThePrinterTheDialogChose)
{
    DibBlock picture;
    MakePicture(picture, 40, 30);
    const QString pdf = m_dir.filePath("plot.pdf");
    AnswerWithPdf(pdf);
    EXPECT_EQ(m_print("plot.bmp", kPrintDeckPicture, picture.dib, QVDibSize(picture.dib)), 1);
    ASSERT_EQ(MessageBoxes().ModalDialogs().size(), 1u);
    const QByteArray bytes = FileBytes(pdf);
    ASSERT_TRUE(bytes.startsWith("%PDF")) << "a PDF was written";
    EXPECT_TRUE(bytes.contains("/Subtype /Image")) << "the page carries the picture";
}

TEST_F(PrintDeckModule, RefusedArgumentsAndACancelledDialogPrintNothing)
{
    DibBlock picture;
    MakePicture(picture, 8, 4);
    const size_t whole = QVDibSize(picture.dib);
    struct Case
    {
        const char* what;
        const char* title;
        int kind;
        size_t bytes;
        bool asksForPrinter;
    };
    const Case cases[] = {
        {"no title", nullptr, kPrintDeckPicture, whole, false},
        {"unknown kind", "t", 2, whole, false},
        {"a DIB shorter than its header says", "t", kPrintDeckPicture, whole - 1, false},
        {"a block shorter than a header", "t", kPrintDeckPicture, 10, false},
        {"the dialog cancelled", "t", kPrintDeckPicture, whole, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageBoxes().Reset();
        EXPECT_EQ(m_print(c.title, c.kind, picture.dib, c.bytes), 0);
        EXPECT_EQ(MessageBoxes().ModalDialogs().size(), c.asksForPrinter ? 1u : 0u);
    }
}

TEST(PrintDeckPage, PictureFillsThePageWidthKeepingItsAspect)
{
    struct Case
    {
        QSize page;
        int title;
        QSize picture;
        QRect expected;
    };
    const Case cases[] = {
        {{1000, 2000}, 100, {200, 100}, {0, 100, 1000, 500}},
        {{1000, 2000}, 100, {100, 400}, {262, 100, 475, 1900}},  // too tall: narrowed to the page's foot, centred
        {{1000, 2000}, 100, {0, 100}, {}},
        {{1000, 100}, 100, {10, 10}, {}},
        {{9000, 9000}, 0, {300000, 300000}, {0, 0, 9000, 9000}},  // no overflow in the proportion
    };
    for (const Case& c : cases)
        EXPECT_EQ(printdeck::PictureRect(c.page, c.title, c.picture), c.expected) << c.picture.width();
}

}  // namespace
