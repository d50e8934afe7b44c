// The surface-plot dialog driven through its widgets, its plot window's save and capture, and the module as the
// host loads it. The plot draws with OpenGL: these tests run under an X server (Xvfb).
#include "quantor/QuantorViews.h"
#include "quantor/SurfacePlotDlg.h"
#include "quantor/SurfacePlotWnd.h"

#include "framepool/CQvFramePool.h"
#include "profile/Registry.h"
#include "qvplglib/testing/PlugInContractTest.h"
#include "testing/ImageBytes.h"
#include "testing/MessageBoxRecorder.h"
#include "testing/OpenGlTestPlatform.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace plugin_contract {

INSTANTIATE_TEST_SUITE_P(Quantor, PlugInContract,
                         ::testing::Values(Case{"Quantor", QUANTOR_MODULE_PATH,
                                                {{"Image Analysis", "3D Surface Plot", 0}}, true}),
                         CaseName);

}  // namespace plugin_contract

namespace {

using namespace quantor;
using image_bytes::MakeImage;
using testing_support::MessageBoxes;

// A grey ramp from black at the left to white at the right, `width` x `height`.
CQvImage Ramp(int width, int height, int model = QV_GRAY8)
{
    CQvImage image;
    image.Create(model, width, height, 0);
    const int bpp = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < bpp; ++c)
                image.Get2DBuffer()[y][bpp * x + c] = static_cast<BYTE>(255 * x / (width - 1));
    return image;
}

// Pixels of a picture that are not the plot's black background.
int LitPixels(const QImage& shot)
{
    int lit = 0;
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lit += (qRed(image.pixel(x, y)) + qGreen(image.pixel(x, y)) + qBlue(image.pixel(x, y))) > 60 ? 1 : 0;
    return lit;
}

template <typename T>
T* Control(QDialog& dialog, const char* id)
{
    T* control = dialog.findChild<T*>(QString::fromLatin1(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

class SurfacePlotDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testing_support::OpenGlWidgetsAvailable())
            GTEST_SKIP() << "the plot draws with OpenGL: run under an X server (xvfb-run)";
        ASSERT_TRUE(m_dir.isValid());
        setenv("XDG_CONFIG_HOME", m_dir.path().toUtf8().constData(), 1);
        RegReloadStore();
        MessageBoxes().Reset();
    }
    void TearDown() override
    {
        // What the closed dialogs' OpenGL contexts left to be deleted later goes now, before the leak check at exit.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        SetReportFolder("");
        MessageBoxes().Reset();
        unsetenv("XDG_CONFIG_HOME");
        RegReloadStore();
    }

    static void Show(QDialog& dialog)
    {
        EXPECT_TRUE(testing_support::ShowExposed(dialog));
    }

    QTemporaryDir m_dir;
};

TEST_F(SurfacePlotDlgTest, TheChannelListFollowsTheImageDepth)
{
    struct Case
    {
        int model;
        int entries;
        bool enabled;
        bool grid;
    };
    const Case cases[] = {
        {QV_GRAY8, 1, false, true},
        {QV_RGB24, 4, true, true},
        {QV_RGBA32, 4, true, true},
        {QV_INDEX1, 1, false, true},  // one index byte per pixel: sampled as 8 bits
    };
    for (const Case& c : cases) {
        CQvImage image = Ramp(40, 30, c.model);
        CSurfacePlotDlg dialog(&image, "ramp");
        auto* channel = Control<QComboBox>(dialog, "7013");
        ASSERT_NE(channel, nullptr);
        EXPECT_EQ(channel->count(), c.entries) << c.model;
        EXPECT_EQ(channel->currentIndex(), 0);
        EXPECT_EQ(channel->currentText(), "RGB");
        EXPECT_EQ(channel->isEnabled(), c.enabled);
        EXPECT_EQ(dialog.PlotWindow()->CurrentGrid() != nullptr, c.grid);
    }
}

TEST_F(SurfacePlotDlgTest, StartsOnTheSurfaceWithTheControlsDefaults)
{
    CQvImage image = Ramp(40, 30);
    CSurfacePlotDlg dialog(&image, "ramp");
    const GridData* grid = dialog.PlotWindow()->CurrentGrid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->m_nSizeX, 8);
    EXPECT_EQ(grid->m_nSizeY, 6);
    EXPECT_EQ(grid->m_nPlotKind, 2);
    EXPECT_EQ(grid->m_bShowFloor, 1);
    EXPECT_EQ(grid->m_bShowWalls, 0);
    EXPECT_FLOAT_EQ(grid->m_fRotX, -40);
    EXPECT_FLOAT_EQ(grid->m_fRotZ, 0);
    const double f = 0.6666666666666666 + 0.2;
    EXPECT_FLOAT_EQ(grid->m_fScaleX, static_cast<float>(f * 1.0));
    EXPECT_FLOAT_EQ(grid->m_fScaleY, static_cast<float>(f * 0.75));
    EXPECT_TRUE(Control<QAbstractButton>(dialog, "7002")->isChecked());
    EXPECT_EQ(Control<QSpinBox>(dialog, "7011")->value(), 5);
    EXPECT_EQ(Control<QSlider>(dialog, "7006")->value(), 20);
    EXPECT_EQ(Control<QSlider>(dialog, "7005")->value(), 10);
    EXPECT_EQ(Control<QSlider>(dialog, "7008")->value(), 0);
    EXPECT_EQ(Control<QSlider>(dialog, "7007")->value(), -40);
    EXPECT_EQ(Control<QSlider>(dialog, "7007")->minimum(), -90);
}

TEST_F(SurfacePlotDlgTest, ARebuildGivesUprightHeightsAndTheControlsAgain)
{
    CQvImage image = Ramp(40, 30);
    CSurfacePlotDlg dialog(&image, "ramp");
    Control<QSlider>(dialog, "7008")->setValue(90);
    Control<QAbstractButton>(dialog, "7003")->click();  // flat
    Control<QAbstractButton>(dialog, "7018")->click();  // inverted
    const GridData* inverted = dialog.PlotWindow()->CurrentGrid();
    ASSERT_NE(inverted, nullptr);
    // Node 0 samples the black left column: -0.5 upright, 0.5 inverted.
    EXPECT_FLOAT_EQ(inverted->m_pCoordZ[0], 0.5f);

    Control<QSpinBox>(dialog, "7011")->setValue(10);
    const GridData* rebuilt = dialog.PlotWindow()->CurrentGrid();
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(rebuilt->m_nSizeX, 4);
    EXPECT_FLOAT_EQ(rebuilt->m_pCoordZ[0], -0.5f) << "upright, though the Invert button still shows pressed";
    EXPECT_TRUE(Control<QAbstractButton>(dialog, "7018")->isChecked());
    EXPECT_EQ(rebuilt->m_nPlotKind, 0) << "the flat button's handler ran again";
    EXPECT_FLOAT_EQ(rebuilt->m_fScaleX, static_cast<float>(0.6666666666666666 + 0.2));
    EXPECT_FLOAT_EQ(rebuilt->m_fRotZ, 0) << "flat keeps the fresh record's rotation";

    Control<QAbstractButton>(dialog, "7001")->click();  // grid: the rotation comes back from the trackbar
    EXPECT_FLOAT_EQ(dialog.PlotWindow()->CurrentGrid()->m_fRotZ, 90);
}

// An image smaller than the step gives no grid: the demo shows, and no control changes anything or fails, until a
// smaller step makes a grid again.
TEST_F(SurfacePlotDlgTest, WithoutAGridTheControlsKeepTheirValuesAndTheDemoShows)
{
    CQvImage image = Ramp(4, 3, QV_RGB24);
    CSurfacePlotDlg dialog(&image, "tiny");
    Show(dialog);
    EXPECT_EQ(dialog.PlotWindow()->CurrentGrid(), nullptr);
    EXPECT_GT(LitPixels(dialog.PlotWindow()->grabFramebuffer()), 500) << "the demo";
    Control<QAbstractButton>(dialog, "7001")->click();
    Control<QAbstractButton>(dialog, "7003")->click();
    Control<QSlider>(dialog, "7006")->setValue(70);
    Control<QCheckBox>(dialog, "7004")->setChecked(true);
    Control<QAbstractButton>(dialog, "7018")->click();
    Control<QComboBox>(dialog, "7013")->setCurrentIndex(2);
    EXPECT_EQ(dialog.PlotWindow()->CurrentGrid(), nullptr);
    EXPECT_EQ(Control<QSlider>(dialog, "7006")->value(), 70);

    Control<QSpinBox>(dialog, "7011")->setValue(1);
    const GridData* grid = dialog.PlotWindow()->CurrentGrid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->m_nSizeX, 4);
    EXPECT_EQ(grid->m_nPlotKind, 0) << "flat, as the display buttons show";
    EXPECT_EQ(grid->m_bShowLegend, 1);
    EXPECT_FLOAT_EQ(grid->m_fScaleX, static_cast<float>(0.6666666666666666 + 0.7));
    EXPECT_GT(LitPixels(dialog.PlotWindow()->grabFramebuffer()), 500);
}

TEST_F(SurfacePlotDlgTest, PrintHandsThePlotToTheReportModuleAndDoesNothingWithoutIt)
{
    CQvImage image = Ramp(40, 30);
    CSurfacePlotDlg dialog(&image, "ramp.bmp");
    Show(dialog);

    // No report module in the folder: nothing is asked or printed.
    SetReportFolder(m_dir.path().toStdString() + "/none/");
    Control<QAbstractButton>(dialog, "7019")->click();
    EXPECT_TRUE(MessageBoxes().ModalDialogs().empty());
    EXPECT_TRUE(MessageBoxes().Boxes().empty());

    SetReportFolder(PRINTDECK_FOLDER);
    const QString pdf = m_dir.filePath("ramp.pdf");
    MessageBoxes().QueueModal([&pdf](QDialog& d) {
        auto* print = qobject_cast<QPrintDialog*>(&d);
        ASSERT_NE(print, nullptr);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(pdf);
        print->done(QDialog::Accepted);
    });
    Control<QAbstractButton>(dialog, "7019")->click();
    ASSERT_EQ(MessageBoxes().ModalDialogs().size(), 1u);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("/Subtype /Image")) << "the plot is on the page, not only its title";
}

TEST_F(SurfacePlotDlgTest, SaveWritesTheShownPlotAsABitmapAndTellsWhatFailed)
{
    CQvImage image = Ramp(40, 30);
    CSurfacePlotDlg dialog(&image, "ramp");
    Show(dialog);
    CSurfacePlotWnd* plot = dialog.PlotWindow();

    // Cancelled: nothing written, nothing told.
    Control<QAbstractButton>(dialog, "7017")->click();
    ASSERT_EQ(MessageBoxes().FileDialogs().size(), 1u);
    const FileDialogRequest& request = MessageBoxes().FileDialogs()[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "Save Bitmap Dialog");
    EXPECT_EQ(request.filter, "Bitmap Files (*.bmp)|*.bmp||");
    EXPECT_EQ(request.initialFile, "3D");
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_TRUE(MessageBoxes().Boxes().empty());

    // A folder that is not there.
    const std::string lost = m_dir.path().toStdString() + "/missing/plot.bmp";
    MessageBoxes().QueueFile(lost);
    Control<QAbstractButton>(dialog, "7017")->click();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, "Cannot save the BMP file <" + lost + "> !!!");

    const std::string path = m_dir.path().toStdString() + "/plot.bmp";
    MessageBoxes().QueueFile(path);
    Control<QAbstractButton>(dialog, "7017")->click();
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
    const auto dib = ReadDibFromPath(path);
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(DibWidth(*dib), plot->width());
    EXPECT_EQ(DibHeight(*dib), plot->height());
    EXPECT_EQ(DibBitCount(*dib), 24);
    const QImage written(QString::fromStdString(path));
    EXPECT_GT(LitPixels(written), 1000) << "the plot, not an empty picture";

    // A window of no size has nothing to capture.
    MessageBoxes().Reset();
    plot->setFixedSize(0, 0);
    Control<QAbstractButton>(dialog, "7017")->click();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, "HDIB handle is NULL, save abort !!!");
    EXPECT_TRUE(MessageBoxes().FileDialogs().empty());
}

TEST_F(SurfacePlotDlgTest, TheViewRunsTheDialogOnTheDocumentsImageUnlessItIsEmpty)
{
    CSurfacePlotPlgApp app;
    CPlgView* made = nullptr;
    ASSERT_EQ(app.CreatePlgView(7, 0, &made), 1) << "any index";
    std::unique_ptr<CPlgView> view(made);
    CQvFramePool pool;
    view->AttachHost(PlgViewHost{nullptr, &pool, nullptr, nullptr, nullptr});
    EXPECT_EQ(view->Run(), 0);
    EXPECT_TRUE(MessageBoxes().ModalDialogs().empty());

    const CQvImage image = Ramp(20, 20);
    pool.SetImage(&image);
    bool answered = false;
    MessageBoxes().QueueModal([&answered](QDialog& d) {
        answered = true;
        EXPECT_EQ(d.windowTitle(), "3D Surface Plot");
        EXPECT_NE(d.findChild<CSurfacePlotWnd*>(), nullptr);
        d.accept();
    });
    EXPECT_EQ(view->Run(), 1);
    EXPECT_TRUE(answered);
}

}  // namespace
