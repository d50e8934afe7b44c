// "3D Surface Plot" as the user reaches it: from the program's plug-in menu, on the active document, with the real
// module and report module of the program folder. The plot is checked coarsely on the widget's own frame buffer
// (which half of the plot is red or blue), since renderers differ in their exact pixels.
#include "program/FrameMainWindow.h"
#include "program/ProgramObjects.h"
#include "core/tests/PlugInMenuCommand.h"
#include "core/tests/ProgramSessionFolders.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandRouter.h"
#include "framepool/CQvFramePool.h"
#include "profile/CAppProfile.h"
#include "qvimage/CQvImage.h"
#include "testing/MessageBoxRecorder.h"
#include "testing/OpenGlTestPlatform.h"
#include "testing/RenderCheck.h"

#include "gobjects/ui/ColorPopup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QOpenGLWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#ifdef VISTREL_PROGRAM_FOLDER

using testing_support::MessageBoxes;

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 160;

// How much of each colour a picture shows in its left and right halves.
struct Halves
{
    int redLeft = 0, redRight = 0, blueLeft = 0, blueRight = 0, greenLeft = 0, greenRight = 0, lit = 0;
};

Halves HalvesOf(const QImage& shot)
{
    Halves h;
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            const bool left = x < image.width() / 2;
            if (r + g + b > 60)
                ++h.lit;
            if (r > 150 && b < 100 && g < 100)
                ++(left ? h.redLeft : h.redRight);
            if (b > 150 && r < 100 && g < 100)
                ++(left ? h.blueLeft : h.blueRight);
            if (g > 150 && r < 100 && b < 100)
                ++(left ? h.greenLeft : h.greenRight);
        }
    return h;
}

// High (red) on the left, low (blue) on the right, as the image's bright left and dark right halves.
void ExpectBrightLeft(const Halves& h, const char* what)
{
    EXPECT_GT(h.redLeft, 4 * h.redRight + 20) << what;
    EXPECT_GT(h.blueRight, 4 * h.blueLeft + 20) << what;
}
void ExpectBrightRight(const Halves& h, const char* what)
{
    EXPECT_GT(h.redRight, 4 * h.redLeft + 20) << what;
    EXPECT_GT(h.blueLeft, 4 * h.blueRight + 20) << what;
}

template <typename T>
T* Control(QDialog& dialog, const char* id)
{
    T* control = dialog.findChild<T*>(QString::fromLatin1(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

class SurfacePlotEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testing_support::OpenGlWidgetsAvailable())
            GTEST_SKIP() << "the plot draws with OpenGL: run under an X server (xvfb-run)";
        ASSERT_TRUE(m_session.Enter());
        MessageBoxes().Reset();
        m_objects = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), m_session.root.path()},
            std::string(VISTREL_PROGRAM_FOLDER) + "/Vistrel");
        ASSERT_TRUE(m_objects->App().InitInstance());
    }
    void TearDown() override
    {
        if (m_objects) {
            m_objects->App().ExitInstance();
            m_objects.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_session.Leave();
        MessageBoxes().Reset();
    }

    CMainFrame& Frame() { return static_cast<FrameMainWindow*>(m_objects->App().GetMainWnd())->Frame(); }

    // The left half bright yellow, the right half dark blue: bright on the left by luminance and by red, on the
    // right by blue.
    CVistrelDoc* OpenPicture()
    {
        CVistrelDoc* doc = m_objects->App().NewDocument("halves");
        CQvImage image;
        image.Create(QV_RGB24, kWidth, kHeight, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                BYTE* p = image.Get2DBuffer()[y] + 3 * x;
                const bool left = x < kWidth / 2;
                p[0] = left ? 10 : 250;   // blue
                p[1] = left ? 250 : 10;   // green
                p[2] = left ? 250 : 10;   // red
            }
        doc->SetImage("halves", &image);
        return doc;
    }

    ProgramSessionFolders m_session;
    std::unique_ptr<ProgramObjects> m_objects;
};

TEST_F(SurfacePlotEndToEndTest, ThePlugInMenuShowsThePlotOfTheActiveImageAndEveryControlActs)
{
    const UINT command = PlugInMenuCommand(Frame(), QStringLiteral("Image Analysis"), QStringLiteral("3D Surface Plot"));
    ASSERT_NE(command, 0u) << "the plug-in menu shows the entry";
    CVistrelDoc* doc = OpenPicture();
    ASSERT_EQ(m_objects->Documents().GetActiveDocument(), doc);

    const QString saved = m_session.root.filePath(QStringLiteral("plot.bmp"));
    const QString pdf = m_session.root.filePath(QStringLiteral("plot.pdf"));
    int plotWidth = 0, plotHeight = 0;
    bool answered = false;
    MessageBoxes().QueueModal([&](QDialog& dialog) {
        answered = true;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("3D Surface Plot"));
        EXPECT_TRUE(testing_support::ShowExposed(dialog));
        auto* plot = Control<QOpenGLWidget>(dialog, "7000");
        auto* channel = Control<QComboBox>(dialog, "7013");
        if (!plot || !channel)
            return;
        plotWidth = plot->width();
        plotHeight = plot->height();
        auto shot = [plot] {
            QApplication::processEvents();
            return plot->grabFramebuffer();
        };

        // A colour image offers "RGB" and the three channels; the surface shows first.
        EXPECT_EQ(channel->count(), 4);
        EXPECT_TRUE(channel->isEnabled());
        EXPECT_TRUE(Control<QAbstractButton>(dialog, "7002")->isChecked());
        ExpectBrightLeft(HalvesOf(shot()), "surface");
        const QImage dialogShot = dialog.grab().toImage();
        QDir().mkpath(testing_support::FailureImageFolder());
        dialogShot.save(testing_support::FailureImageFolder() + "/surface-plot-dialog.png");

        Control<QAbstractButton>(dialog, "7001")->click();
        const Halves grid = HalvesOf(shot());
        ExpectBrightLeft(grid, "grid");
        Control<QAbstractButton>(dialog, "7003")->click();
        const Halves flat = HalvesOf(shot());
        ExpectBrightLeft(flat, "flat");
        EXPECT_GT(flat.lit, grid.lit) << "the flat map is filled, the grid only drawn";
        // In the flat map only the zoom is left to move.
        EXPECT_FALSE(Control<QSlider>(dialog, "7008")->isEnabled());
        EXPECT_FALSE(Control<QSlider>(dialog, "7007")->isEnabled());
        EXPECT_FALSE(Control<QSlider>(dialog, "7005")->isEnabled());
        EXPECT_TRUE(Control<QSlider>(dialog, "7006")->isEnabled());

        // Zoom: the map grows.
        Control<QSlider>(dialog, "7006")->setValue(100);
        EXPECT_GT(HalvesOf(shot()).lit, flat.lit * 3 / 2) << "zoom";
        Control<QSlider>(dialog, "7006")->setValue(20);

        // Invert: the heights turn over, so the colours change sides; again, and they are back.
        Control<QAbstractButton>(dialog, "7018")->click();
        ExpectBrightRight(HalvesOf(shot()), "inverted");
        Control<QAbstractButton>(dialog, "7018")->click();
        ExpectBrightLeft(HalvesOf(shot()), "inverted twice");

        // Channel: by blue the right half is the bright one; back to the luminance.
        channel->setCurrentIndex(3);
        ExpectBrightRight(HalvesOf(shot()), "blue channel");
        channel->setCurrentIndex(0);
        ExpectBrightLeft(HalvesOf(shot()), "luminance");

        // Low colour: "Bright green" from the picker's grid colours the low half, and is kept for the next run.
        auto* low = Control<CColorButton>(dialog, "7014");
        if (low) {
            low->click();
            CColorPopup* popup = low->Popup();
            EXPECT_NE(popup, nullptr);
            if (popup) {
                const QPoint cell = popup->CellRect(27).center();
                QMouseEvent move(QEvent::MouseMove, cell, popup->mapToGlobal(cell), Qt::NoButton, Qt::NoButton,
                                 Qt::NoModifier);
                QApplication::sendEvent(popup, &move);
                QMouseEvent release(QEvent::MouseButtonRelease, cell, popup->mapToGlobal(cell), Qt::LeftButton,
                                    Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(popup, &release);
            }
            const Halves green = HalvesOf(shot());
            EXPECT_GT(green.greenRight, 4 * green.greenLeft + 20) << "the low half in the new low colour";
            EXPECT_EQ(green.blueRight, 0);
            EXPECT_EQ(CAppProfile("QRX", "Quantor").GetProfileInt("COLORS", "Low Color", 0),
                      static_cast<int>(RGB(0, 255, 0)));
        }

        // Back to the surface; rotating it half a turn about its centre puts the bright half on the right.
        Control<QAbstractButton>(dialog, "7002")->click();
        const QImage before = shot();
        Control<QSlider>(dialog, "7005")->setValue(60);
        EXPECT_NE(shot(), before) << "the Z axis stretches the heights";
        Control<QSlider>(dialog, "7007")->setValue(-80);
        EXPECT_NE(shot(), before) << "X rotate";
        Control<QSlider>(dialog, "7008")->setValue(180);
        const Halves turned = HalvesOf(shot());
        EXPECT_GT(turned.redRight, 4 * turned.redLeft + 20) << "turned half round";

        // Legend on: the picture gains the legend's bands.
        const QImage noLegend = shot();
        Control<QCheckBox>(dialog, "7004")->setChecked(true);
        EXPECT_NE(shot(), noLegend) << "legend";

        // Step: a coarser grid still shows the picture (flat, the low half now green).
        Control<QCheckBox>(dialog, "7004")->setChecked(false);
        Control<QAbstractButton>(dialog, "7003")->click();
        Control<QSpinBox>(dialog, "7011")->setValue(20);
        const Halves coarse = HalvesOf(shot());
        EXPECT_GT(coarse.redLeft, 4 * coarse.redRight + 20) << "step 20";
        EXPECT_GT(coarse.greenRight, 4 * coarse.greenLeft + 20) << "step 20";

        // Save: a bitmap file of the plot.
        MessageBoxes().QueueFile(saved.toStdString());
        Control<QAbstractButton>(dialog, "7017")->click();
        ASSERT_EQ(MessageBoxes().FileDialogs().size(), 1u);
        EXPECT_EQ(MessageBoxes().FileDialogs()[0].title, "Save Bitmap Dialog");

        // Print: through the report module's print dialog, to a PDF file.
        MessageBoxes().QueueModal([&pdf](QDialog& printDialog) {
            auto* print = qobject_cast<QPrintDialog*>(&printDialog);
            ASSERT_NE(print, nullptr);
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(pdf);
            print->done(QDialog::Accepted);
        });
        Control<QAbstractButton>(dialog, "7019")->click();
        dialog.accept();
    });
    EXPECT_TRUE(Frame().Router().Execute(command));
    ASSERT_TRUE(answered) << "the dialog opened";
    EXPECT_TRUE(MessageBoxes().Boxes().empty()) << MessageBoxes().Boxes()[0].text;

    // The saved plot opens in the program as an image of the plot's size.
    CVistrelDoc* opened = m_objects->App().OpenDocumentFile(saved.toStdString());
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->GetFramePool().GetImage().GetWidth(), plotWidth);
    EXPECT_EQ(opened->GetFramePool().GetImage().GetHeight(), plotHeight);

    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly)) << "the report module printed";
    const QByteArray bytes = printed.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("/Subtype /Image")) << "the page carries the plot";
}

}  // namespace

#endif  // VISTREL_PROGRAM_FOLDER
