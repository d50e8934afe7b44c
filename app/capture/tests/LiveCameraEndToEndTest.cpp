// What a new user gets without hardware: the program folder as built (its camera drivers in
// components/Acquisition/, its resizing module among the plug-ins), the simulated camera the program starts with.
// Choosing the device shows moving live video with the grid, the centre cross and the focus square drawn over it;
// a capture keeps the frame in a document titled after the calibration. The main window is written as a picture
// into the build tree for a person to look at.
#include "capture/ImageCapture.h"
#include "capture/tests/BuiltProgram.h"
#include "capture/tests/EventLoopWait.h"
#include "commands/AppCommands.h"
#include "commands/CompanionServices.h"
#include "program/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"
#include "core/VistrelIni.h"
#include "document/CVistrelDoc.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "calibkeeper/CCalibKeeper.h"
#include "core/CCalibrationList.h"
#include "module/CModule.h"
#include "profile/Registry.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageViews.h"
#include "testing/MessageBoxRecorder.h"

#include <QApplication>
#include <QDir>
#include <QDialog>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef VISTREL_PROGRAM_FOLDER

namespace {

// Real video from a test source starts slower than the stand-in camera's frames.
constexpr int kVideoWaitMs = 10000;

// Why the simulated camera cannot run here, or empty when it can: its moving video is GStreamer's test source.
std::string WhyNoTestVideo()
{
    CModule gstreamer;
    if (!gstreamer.Load("libgstreamer-1.0.so.0"))
        return "GStreamer is not installed";
    using InitCheck = int (*)(int*, char***, void**);
    using FactoryFind = void* (*)(const char*);
    using Unref = void (*)(void*);
    const auto init = gstreamer.GetProc<InitCheck>("gst_init_check");
    const auto find = gstreamer.GetProc<FactoryFind>("gst_element_factory_find");
    const auto unref = gstreamer.GetProc<Unref>("gst_object_unref");
    if (!init || !find || !unref || !init(nullptr, nullptr, nullptr))
        return "GStreamer does not start";
    void* factory = find("videotestsrc");
    if (!factory)
        return "GStreamer's videotestsrc is not installed (gstreamer1.0-plugins-base)";
    unref(factory);
    return {};
}

// A module the program reports as loaded: the focus indicator's square is drawn while it is.
class LoadedModule : public ILoadedModule
{
public:
    void* Symbol(const char*) override { return nullptr; }
};

class LiveCameraEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string why = WhyNoTestVideo();
        if (!why.empty())
            GTEST_SKIP() << why;
        setenv("VISTREL_SIMULATED_CAMERA", "ball", 1);
        ASSERT_TRUE(session.Enter());
        testing_support::MessageBoxes().Reset();
        CImageCapture::TitleNumber() = 0;
        program = StartBuiltProgram(session, frame);
        ASSERT_NE(program, nullptr);
    }

    void TearDown() override
    {
        StopBuiltProgram(program);
        unsetenv("VISTREL_SIMULATED_CAMERA");
        session.Leave();
    }

    ProgramSessionFolders session;
    std::unique_ptr<ProgramObjects> program;
    CMainFrame* frame = nullptr;
    LoadedModule focusIndicator;
};

// The picture's pixels that differ from the frame's, away from the cross and the focus square.
int DecoratedPixels(const QImage& picture, const QImage& frame)
{
    const int midX = picture.width() / 2, midY = picture.height() / 2;
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const bool cross = std::abs(x - midX) <= 1 || std::abs(y - midY) <= 1;
            const bool square = std::abs(x - midX) <= 33 && std::abs(y - midY) <= 33;
            if (!cross && !square && (picture.pixel(x, y) & 0xFFFFFF) != (frame.pixel(x, y) & 0xFFFFFF))
                ++count;
        }
    return count;
}

TEST_F(LiveCameraEndToEndTest, SimulatedCameraShowsMovingDecoratedVideoAndCaptureOpensANamedDocument)
{
    // Pixel for pixel: the live picture at the image's own size.
    SetZoomFitMode(false);
    program->Profile().crossLineShow = 1;
    program->App().Commands().Hooks().loadedPlugInModules = [this](const std::string& path) {
        return path.ends_with(kFocusIndicatorModule) ? std::vector<ILoadedModule*>{&focusIndicator}
                                                     : std::vector<ILoadedModule*>{};
    };
    IAcquireHost& host = program->AcquireHost();
    ASSERT_TRUE(frame->Router().Query(cmd::ID_ACQ_SELECT_DEVICE).enabled) << "the drivers were found";
    // The camera drivers and the simulated camera are offered side by side; the user picks the simulation.
    const QStringList offered = SelectDevice(*frame, QStringLiteral("Camix-Sim"));
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Artray"), QStringLiteral("Artray150PIII"),
                                    QStringLiteral("Artray200SH"), QStringLiteral("Artray300MI"),
                                    QStringLiteral("Artray500PII"), QStringLiteral("Camix-D200CC"), QStringLiteral("Camix-D300CM"),
                                    QStringLiteral("Camix-Sim"), QStringLiteral("FlashBus MV"),
                                    QStringLiteral("KH-1300"), QStringLiteral("MTPCI-TL"),
                                    QStringLiteral("Visix U2")}));
    ASSERT_EQ(host.IsSelected(), 1) << "the simulated camera opens";
    std::string server;
    host.GetCurrentServerName(server);
    EXPECT_EQ(server, "Camix-Sim");
    int width = 0, height = 0;
    host.GetWidth(width);
    host.GetHeight(height);
    ASSERT_GT(width, 66);
    ASSERT_GT(height, 66);
    CVistrelView* live = program->App().FindLiveView();
    ASSERT_NE(live, nullptr);
    CVistrelDoc* liveDoc = live->GetDocument();
    ASSERT_TRUE(WaitUntil([&] { return live->LiveFramesShown() > 2; }, kVideoWaitMs)) << "live frames arrive";
    ASSERT_FLOAT_EQ(live->GetDispWnd()->GetRatio(), 1.0f);

    // Cross and focus square, without the grid: nothing else is drawn over the frame.
    QImage picture = live->GetDispWnd()->LivePicture().convertToFormat(QImage::Format_RGB32);
    QImage shot = QvImageToQImage(liveDoc->GetImage()).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(width, height));
    ASSERT_EQ(shot.size(), picture.size());
    EXPECT_EQ(DecoratedPixels(picture, shot), 0);
    const int midX = width / 2, midY = height / 2;
    int inverted = 0, rows = 0;
    for (int y = 0; y < height; ++y) {
        if (std::abs(y - midY) <= 33)
            continue;
        ++rows;
        inverted += (picture.pixel(midX, y) & 0xFFFFFF) == (~shot.pixel(midX, y) & 0xFFFFFF);
    }
    EXPECT_EQ(inverted, rows) << "the centre cross inverts the frame";
    bool red = false;
    for (int y = midY - 31; y <= midY - 29; ++y)
        red = red || (picture.pixel(midX - 15, y) & 0xFFFFFF) == 0xFF0000;
    EXPECT_TRUE(red) << "the focus square's top edge";

    // The video moves.
    const uint64_t seen = live->LiveFramesShown();
    ASSERT_TRUE(WaitUntil([&] { return live->LiveFramesShown() > seen + 3; }, kVideoWaitMs));
    const QImage later = QvImageToQImage(liveDoc->GetImage()).convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(later, shot) << "two frames apart in time differ";

    // The grid on: it is drawn over the live frames.
    ASSERT_TRUE(live->ExecuteCommand(cmd::ID_GRID_SHOW));
    const uint64_t before = live->LiveFramesShown();
    ASSERT_TRUE(WaitUntil([&] { return live->LiveFramesShown() > before + 1; }, kVideoWaitMs));
    picture = live->GetDispWnd()->LivePicture().convertToFormat(QImage::Format_RGB32);
    shot = QvImageToQImage(liveDoc->GetImage()).convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(DecoratedPixels(picture, shot), width) << "grid lines";

    // What the user sees, for a person to look at.
    QApplication::processEvents();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/live-camera.png");
    EXPECT_TRUE(frame->grab().save(path));
    std::printf("live view: %s\n", path.toUtf8().constData());

    // The capture: the frame stays in a document named after the calibration; live video goes on.
    ASSERT_TRUE(frame->Router().Query(cmd::ID_ACQ_CAPTURE).enabled);
    ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_CAPTURE));
    const double magnification = TheCalibrationList().GetCurrentCalibration()->GetMagnification();
    char title[64];
    if (magnification > 0)
        std::snprintf(title, sizeof title, "X%.f-Capture0", magnification);
    else
        std::snprintf(title, sizeof title, "X0-Capture0");
    EXPECT_EQ(liveDoc->GetTitle(), title);
    EXPECT_FALSE(liveDoc->IsLive());
    EXPECT_EQ(liveDoc->GetImage().GetWidth(), width);
    EXPECT_EQ(liveDoc->GetImage().GetHeight(), height);
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty())
        << testing_support::MessageBoxes().Boxes().front().text;
    CVistrelView* next = program->App().FindLiveView();
    ASSERT_NE(next, nullptr);
    const uint64_t nextSeen = next->LiveFramesShown();
    EXPECT_TRUE(WaitUntil([&] { return next->LiveFramesShown() > nextSeen + 1; }, kVideoWaitMs))
        << "live video goes on";
}

}  // namespace

#endif
