// Capture and live video on the simulated camera: documents and their titles, the median of several frames,
// enlargement, the refusals, the live picture with the cross drawn over it, a live view closed while frames
// arrive, and the capture dialogs.
#include "capture/CLiveMeasureDlg.h"
#include "capture/CaptureDialogs.h"
#include "commands/CommandStrings.h"
#include "capture/CaptureHostAdapter.h"
#include "capture/ImageCapture.h"
#include "view/LiveFeed.h"
#include "capture/tests/EventLoopWait.h"
#include "program/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "plugins/CPlugInHost.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "module/CModule.h"
#include "profile/Registry.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"
#include "simulated/SimulatedDriver.h"
#include "strings/Format.h"
#include "testing/MessageBoxRecorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

#include <stdlib.h>

using testing_support::MessageBoxes;

namespace {

constexpr int kWidth = 8, kHeight = 6, kBits = 24;
constexpr int kStride = (kWidth * kBits + 31) / 32 * 4;

// Rows of frame `k` in device order: every byte differs, and the frames' order differs from byte to byte.
std::vector<uint8_t> FrameRows(int k)
{
    std::vector<uint8_t> rows(kStride * kHeight);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = uint8_t((i * 37 + size_t(k) * (i % 2 ? 91 : 173)) & 0xFF);
    return rows;
}

std::vector<uint8_t> UniformRows(uint8_t value)
{
    return std::vector<uint8_t>(kStride * kHeight, value);
}

// The image the program makes of those rows.
CQvImage ImageOf(const std::vector<uint8_t>& rows)
{
    std::vector<uint32_t> dib((sizeof(BITMAPINFOHEADER) + rows.size() + 3) / 4);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    header->biSize = 40;
    header->biWidth = kWidth;
    header->biHeight = kHeight;
    header->biPlanes = 1;
    header->biBitCount = kBits;
    std::memcpy(header + 1, rows.data(), rows.size());
    CQvImage image;
    EXPECT_EQ(DIB2QVIMG(header, &image, 0), 1);
    return image;
}

bool SamePixels(const CQvImage& a, const CQvImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetColorModel() != b.GetColorModel())
        return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        if (std::memcmp(a.GetPixel(0, y), b.GetPixel(0, y), size_t(a.GetWidth()) * a.GetBitsPerPixel() / 8) != 0)
            return false;
    return true;
}

// The combining module's contract: the median, position (count - 1) / 2, of each byte over the frames.
void FakeMedian(CQvImage* frames, int count, CQvImage* result)
{
    const int rowBytes = result->GetWidth() * result->GetBitsPerPixel() / 8;
    std::vector<uint8_t> values(static_cast<size_t>(count));
    for (int y = 0; y < result->GetHeight(); ++y)
        for (int b = 0; b < rowBytes; ++b) {
            for (int i = 0; i < count; ++i)
                values[size_t(i)] = frames[i].GetPixel(0, y)[b];
            std::sort(values.begin(), values.end());
            result->GetPixel(0, y)[b] = values[size_t(count - 1) / 2];
        }
}

std::atomic<int> g_resizeCalls{0};

// Nearest neighbour into a target made at the enlarged size.
int FakeResize(CQvImage* source, CQvImage* target)
{
    ++g_resizeCalls;
    const int bytes = source->GetBitsPerPixel() / 8;
    const int fx = target->GetWidth() / source->GetWidth(), fy = target->GetHeight() / source->GetHeight();
    for (int y = 0; y < target->GetHeight(); ++y)
        for (int x = 0; x < target->GetWidth(); ++x)
            std::memcpy(target->GetPixel(x, y), source->GetPixel(x / fx, y / fy), size_t(bytes));
    return 1;
}

int ScaleBars(CVistrelDoc* doc)
{
    int bars = 0;
    for (CQvGObject* object : doc->GetGObjectContainer().GetMainObjList())
        bars += object->GetObjShape() == SHAPE_SCALE_MARKER;
    return bars;
}

class CaptureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.Enter());
        MessageBoxes().Reset();
        CImageCapture::TitleNumber() = 0;
        g_resizeCalls = 0;
        SetExports(true, true);

        const std::string driver = drivers.filePath("grab_simulated.so").toStdString();
        std::filesystem::copy_file(SIMULATED_DRIVER, driver);
        ASSERT_TRUE(device.Load(driver)) << device.GetLastError();
        setDevice = device.GetProc<SIM_SetDeviceFunction>("SIM_SetDevice");
        deliver = device.GetProc<SIM_DeliverFunction>("SIM_Deliver");
        queue = device.GetProc<SIM_QueueFunction>("SIM_Queue");
        unplug = device.GetProc<SIM_UnplugFunction>("SIM_Unplug");
        setDevice(1, kWidth, kHeight, kBits);
#ifdef APP_TEST_PLUGIN_DIR
        // A resident test plug-in beside the program, for the documents capture makes to take over.
        const std::filesystem::path plugIns = programFolder.path().toStdString() + "/components/Plug-Ins";
        std::filesystem::create_directories(plugIns);
        std::filesystem::copy_file(std::string(APP_TEST_PLUGIN_DIR) + "/PlgTestAlpha.so", plugIns / "A_Tools.so");
#endif

        ASSERT_TRUE(app().InitInstance());
        frame = qobject_cast<CMainFrame*>(app().GetMainWnd()->Widget());
        ASSERT_NE(frame, nullptr);
        frame->resize(900, 700);
        host().SetSnapshotTimeout(std::chrono::milliseconds(1500));
        ASSERT_EQ(host().InstallServers(drivers.path().toUtf8().constData()), 1);
    }

    void TearDown() override
    {
        StopFeeding();
        CImageCapture::SetExportResolver({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The program works in its root, which goes with the test.
        session.Leave();
    }

    // Which of the two modules the plug-in folder offers.
    void SetExports(bool resize, bool median)
    {
        CImageCapture::SetExportResolver([=](const std::string&, const char* name) -> void* {
            if (resize && std::strcmp(name, kResizeExport) == 0)
                return reinterpret_cast<void*>(&FakeResize);
            if (median && std::strcmp(name, kMedianExport) == 0)
                return reinterpret_cast<void*>(&FakeMedian);
            return nullptr;
        });
    }

    // A camera thread delivering `frames` in turn, one every `intervalMs`.
    void Feed(std::vector<std::vector<uint8_t>> frames, int intervalMs)
    {
        StopFeeding();
        feeding = true;
        feeder = std::thread([this, frames = std::move(frames), intervalMs] {
            for (size_t k = 0; feeding; ++k) {
                deliver(frames[k % frames.size()].data(), frames[k % frames.size()].size());
                std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
            }
        });
    }
    void StopFeeding()
    {
        feeding = false;
        if (feeder.joinable())
            feeder.join();
    }

    CVistrelApp& app() { return program.App(); }
    CAcquireContainer& host() { return static_cast<CaptureHostAdapter&>(program.AcquireHost()).Container(); }
    CImageCapture Capture() { return CImageCapture(ProgramCaptureContext(app())); }
    size_t DocumentCount() { return program.Documents().Documents().size(); }
    std::string PlugInFolder() { return AppEnvironment().GetProgramModuleFolder(AppFolder::PlugIn); }

    ProgramSessionFolders session;
    QTemporaryDir drivers, programFolder;
    CModule device;
    SIM_SetDeviceFunction setDevice = nullptr;
    SIM_DeliverFunction deliver = nullptr;
    SIM_QueueFunction queue = nullptr;
    SIM_UnplugFunction unplug = nullptr;
    std::atomic<bool> feeding{false};
    std::thread feeder;
    ProgramObjects program{{QStringLiteral("Vistrel"), QStringLiteral("--root"), session.root.path()},
                           programFolder.path().toStdString() + "/Vistrel"};
    CMainFrame* frame = nullptr;
};

TEST_F(CaptureTest, CaptureFromLiveVideoKeepsTheFrameInANamedDocumentAndGoesOnLive)
{
    program.Profile().preferences.showScaleBar = 1;
    Feed({UniformRows(77)}, 5);
    ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_SELECT_DEVICE));
    CVistrelView* live = app().FindLiveView();
    ASSERT_NE(live, nullptr);
    CVistrelDoc* liveDoc = live->GetDocument();
    EXPECT_TRUE(live->IsZoomFit()) << "the fit setting is on by default";
    ASSERT_TRUE(WaitUntil([&] { return live->LiveFramesShown() > 0; }));
    EXPECT_TRUE(frame->Router().Query(cmd::ID_ACQ_CAPTURE).enabled);
    EXPECT_FALSE(frame->Router().Query(cmd::ID_ACQ_SELECT_DEVICE).enabled) << "not while live";

    ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_CAPTURE));
    EXPECT_EQ(liveDoc->GetTitle(), "X0-Capture0");
    EXPECT_FALSE(liveDoc->IsLive()) << "the captured frame stays";
    EXPECT_TRUE(SamePixels(liveDoc->GetImage(), ImageOf(UniformRows(77))));
    CVistrelView* next = app().FindLiveView();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, live) << "live video goes on in a new view";
    // The captured picture stays fitted and gets its scale bar once the view has settled, unselected.
    EXPECT_TRUE(live->IsZoomFit());
    EXPECT_EQ(ScaleBars(liveDoc), 0) << "posted, not placed while capturing";
    ASSERT_TRUE(WaitUntil([&] { return ScaleBars(liveDoc) == 1; }));
    EXPECT_EQ(liveDoc->GetGObjectContainer().GetSelectedObjectCount(), 0);
    EXPECT_EQ(ScaleBars(next->GetDocument()), 0) << "the new live view gets none";

    // Without a live view each frame gets a new document; a title already open is skipped.
    StopFeeding();
    next->GetDocument()->OnCloseDocument();
    host().StopOverlay();
    Feed({UniformRows(10), UniformRows(20)}, 10);
    const size_t before = DocumentCount();
    app().NewDocument("X0-Capture2");
    CVistrelDoc* last = Capture().AcquireImages(2, 1, 0);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(DocumentCount(), before + 3);
    EXPECT_EQ(last->GetTitle(), "X0-Capture3") << "1, then 2 is taken";
}

TEST_F(CaptureTest, CombinedCaptureIsTheMedianOfItsFrames)
{
    ASSERT_EQ(host().SelectServer(0), 1);
    // Each frame reaches the device once the one before was taken: the capture gets exactly these three.
    for (int k = 0; k < 3; ++k)
        ASSERT_EQ(queue(FrameRows(k).data(), FrameRows(k).size()), 1);
    std::string server;
    host().GetCurrentServerName(server);
    CVistrelDoc* doc = Capture().AcquireImages(3, 0, 0);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), "[" + TheCalibrationList().GetCurrentCalibration()->GetName() + "] Grab using " +
                                   server + " - 0");

    std::vector<uint8_t> median(kStride * kHeight);
    const auto a = FrameRows(0), b = FrameRows(1), c = FrameRows(2);
    for (size_t i = 0; i < median.size(); ++i)
        median[i] = std::max(std::min(a[i], b[i]), std::min(std::max(a[i], b[i]), c[i]));
    EXPECT_TRUE(SamePixels(doc->GetImage(), ImageOf(median)));
}

TEST_F(CaptureTest, EnlargementFollowsTheDialogAndTheCaptureRatio)
{
    ASSERT_EQ(host().SelectServer(0), 1);
    Feed({UniformRows(50)}, 5);
    struct Case
    {
        float ratio;
        int resize;
        int expectedFactor;
    };
    for (const Case c : {Case{1.0f, 1, 2}, Case{2.7f, 0, 2}, Case{0.5f, 0, 1}, Case{1.0f, 0, 1}}) {
        host().SetCaptureRatio(c.ratio);
        CaptureContext context = ProgramCaptureContext(app());
        context.askResizeFactor = [](int& factor) { return factor == 2; };
        CVistrelDoc* doc = CImageCapture(context).AcquireImages(1, 1, c.resize);
        ASSERT_NE(doc, nullptr) << c.ratio;
        EXPECT_EQ(doc->GetImage().GetWidth(), kWidth * c.expectedFactor) << c.ratio;
        EXPECT_EQ(doc->GetImage().GetHeight(), kHeight * c.expectedFactor) << c.ratio;
    }
}

TEST_F(CaptureTest, RefusalsTellWhyAndLeaveNoDocument)
{
    ASSERT_EQ(host().SelectServer(0), 1);
    Feed({UniformRows(50)}, 5);
    const size_t before = DocumentCount();

    SetExports(true, false);
    EXPECT_EQ(Capture().AcquireImages(3, 0, 0), nullptr);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes().back().text,
              Format(CaptureString(capstr::IDS_MODULE_MISSING).c_str(), (PlugInFolder() + "Lumenor.so").c_str()));

    SetExports(false, true);
    EXPECT_EQ(Capture().AcquireImages(1, 1, 0), nullptr);
    EXPECT_EQ(MessageBoxes().Boxes().back().text,
              Format(CaptureString(capstr::IDS_MODULE_MISSING).c_str(), (PlugInFolder() + "Torsion.so").c_str()));

    SetExports(true, true);
    for (int separate : {0, 1}) {
        MessageBoxes().Reset();
        EXPECT_EQ(Capture().AcquireImages(201, separate, 0), nullptr);
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u) << separate;
        EXPECT_EQ(MessageBoxes().Boxes().back().text, CaptureString(capstr::IDS_TOO_MANY_FRAMES));
    }
    EXPECT_EQ(DocumentCount(), before);
}

TEST_F(CaptureTest, ASeriesTooLargeForMemoryOrFramesThatCannotBeCombinedAreRefusedWithAMessage)
{
    // Five megapixels of four bytes: 200 separate frames, or 60 combined (each frame also becomes an image).
    setDevice(1, 2592, 1944, 32);
    ASSERT_EQ(host().SelectServer(0), 1);
    const size_t before = DocumentCount();
    for (const auto& [frames, separate] : {std::pair{200, 1}, std::pair{60, 0}}) {
        MessageBoxes().Reset();
        EXPECT_EQ(Capture().AcquireImages(frames, separate, 0), nullptr) << frames;
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u) << frames;
        EXPECT_EQ(MessageBoxes().Boxes()[0].text, CaptureString(capstr::IDS_CAPTURE_TOO_LARGE));
    }

    // Frames of a depth the program does not read cannot be combined: said, not swallowed.
    setDevice(1, kWidth, kHeight, 16);
    ASSERT_EQ(host().SelectServer(0), 1);
    const std::vector<uint8_t> rows(size_t((kWidth * 16 + 31) / 32 * 4 * kHeight), 7);
    for (int k = 0; k < 2; ++k)
        ASSERT_EQ(queue(rows.data(), rows.size()), 1);
    MessageBoxes().Reset();
    EXPECT_EQ(Capture().AcquireImages(2, 0, 0), nullptr);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, CaptureString(capstr::IDS_COMBINE_FAILED));
    EXPECT_EQ(DocumentCount(), before);
}

TEST_F(CaptureTest, AnUnpluggedCameraStopsTheLiveViewWithAMessageAndLiveVideoCanStartAgain)
{
    for (const int keepSizes : {1, 0}) {
        SCOPED_TRACE(keepSizes ? "sizes kept" : "sizes dropped");
        Feed({UniformRows(40)}, 3);
        ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_SELECT_DEVICE));
        CVistrelView* live = app().FindLiveView();
        ASSERT_NE(live, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return live->LiveFramesShown() > 0; }));
        MessageBoxes().Reset();
        unplug(keepSizes);
        ASSERT_TRUE(WaitUntil([&] { return !MessageBoxes().Boxes().empty(); })) << "the user is told";
        std::string server;
        host().GetCurrentServerName(server);
        EXPECT_NE(MessageBoxes().Boxes()[0].text.find("\"" + server + "\""), std::string::npos)
            << MessageBoxes().Boxes()[0].text;
        EXPECT_EQ(app().FindLiveView(), nullptr) << "the view keeps its last frame, no longer live";
        EXPECT_FALSE(live->GetDocument()->IsLive());
        EXPECT_TRUE(frame->Router().Query(cmd::ID_ACQ_SELECT_DEVICE).enabled) << "the device can be chosen again";

        // The camera is back: choosing the device starts live video again.
        ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_SELECT_DEVICE));
        CVistrelView* again = app().FindLiveView();
        ASSERT_NE(again, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return again->LiveFramesShown() > 0; }));
        EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
        StopFeeding();
        host().StopOverlay();
        program.Documents().CloseDocument(again->GetDocument());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(CaptureTest, OnlyOneViewIsLiveAndClosingTheFormerOneLeavesTheNewOneItsFrames)
{
    Feed({UniformRows(30)}, 2);
    ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_SELECT_DEVICE));
    CVistrelView* first = app().FindLiveView();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return first->LiveFramesShown() > 0; }));

    CVistrelDoc* otherDoc = app().NewDocument("B");
    CQvImage image;
    image.Create(QV_RGB24, kWidth, kHeight, 0);
    otherDoc->SetImage("B", &image);
    CVistrelView* second = otherDoc->GetImageView();
    ASSERT_NE(second, nullptr);
    StartLiveVideo(program.AcquireHost(), *second, false);
    EXPECT_FALSE(first->GetDocument()->IsLive()) << "the former live view stopped";
    EXPECT_EQ(app().FindLiveView(), second);
    ASSERT_TRUE(WaitUntil([&] { return second->LiveFramesShown() > 0; }));

    // The former view goes, and with it nothing of the new one's.
    program.Documents().CloseDocument(first->GetDocument());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const uint64_t shown = second->LiveFramesShown();
    EXPECT_TRUE(WaitUntil([&] { return second->LiveFramesShown() > shown + 2; }));
    // Stopping a view that is not live leaves the live one its frames.
    CVistrelDoc* third = app().NewDocument("C");
    third->SetImage("C", &image);
    third->GetImageView()->StopLive();
    const uint64_t later = second->LiveFramesShown();
    EXPECT_TRUE(WaitUntil([&] { return second->LiveFramesShown() > later + 2; }));
    host().StopOverlay();
}

TEST_F(CaptureTest, LivePictureCarriesTheCrossAndTheDocumentHoldsTheLiveImage)
{
    program.Profile().crossLineShow = 1;
    Feed({UniformRows(100)}, 3);
    ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_SELECT_DEVICE));
    CVistrelView* live = app().FindLiveView();
    ASSERT_NE(live, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return live->LiveFramesShown() > 2; }));
    const QImage picture = live->GetDispWnd()->LivePicture();
    ASSERT_FALSE(picture.isNull());
    const int midX = picture.width() / 2, midY = picture.height() / 2;
    EXPECT_EQ(qRed(picture.pixel(midX, 0)), 255 - 100) << "the cross inverts the frame";
    EXPECT_EQ(qRed(picture.pixel(0, midY)), 255 - 100);
    EXPECT_EQ(qRed(picture.pixel(0, 0)), 100) << "elsewhere the frame itself";
    // The window shows that picture at the image origin.
    CImageDispWnd* wnd = live->GetDispWnd();
    const QImage shown = wnd->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const CPoint origin = wnd->GetZoomedPoint(CPoint(0, 0));
    ASSERT_TRUE(shown.rect().contains(origin.x + midX, origin.y + midY));
    EXPECT_EQ(qRed(shown.pixel(origin.x + midX, origin.y)), 255 - 100);
    EXPECT_EQ(qRed(shown.pixel(origin.x, origin.y)), 100);

    // What measures and reads pixels on the live view reads the newest frame.
    Feed({UniformRows(200)}, 3);
    ASSERT_TRUE(WaitUntil([&] { return live->GetDocument()->GetImage().GetPixel(1, 1)[0] == 200; }));
    EXPECT_TRUE(SamePixels(live->GetDocument()->GetImage(), ImageOf(UniformRows(200))));
}

TEST_F(CaptureTest, ClosingTheLiveViewWhileFramesArriveIsClean)
{
    ASSERT_EQ(host().SelectServer(0), 1);
    Feed({UniformRows(1), UniformRows(2)}, 1);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_LIVE)) << round;
        CVistrelView* live = app().FindLiveView();
        ASSERT_NE(live, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return live->LiveFramesShown() > 0; }));
        // Frames keep coming while the window goes; their wakes must find nothing.
        program.Documents().CloseDocument(live->GetDocument());
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(app().FindLiveView(), nullptr);
        host().StopOverlay();
    }
}

TEST_F(CaptureTest, LiveMeasurementWindowMeasuresOnTheLiveImageAndClosesCleanly)
{
    ASSERT_EQ(host().SelectServer(0), 1);
    Feed({UniformRows(60), UniformRows(60)}, 1);
#ifdef APP_TEST_PLUGIN_DIR
    // A resident plug-in running on the open documents runs on the window's document too.
    constexpr UINT kRecordInput = CPlugInHost::kFirstPlugInId + 1;
    CVistrelDoc* other = app().NewDocument("A");
    CQvImage image;
    image.Create(QV_RGB24, 5, 3, 0);
    other->SetImage("A", &image);
    ASSERT_TRUE(frame->Router().Execute(kRecordInput));
    ASSERT_EQ(other->ActivePlugIns().size(), 1u);
    const size_t running = program.PlugInHost().Manager().GetActiveList().size();
#endif
    ASSERT_TRUE(frame->Router().Query(cmd::ID_LIVE_MEASURE_WINDOW).enabled);
    ASSERT_TRUE(frame->Router().Execute(cmd::ID_LIVE_MEASURE_WINDOW));
    auto* window = frame->findChild<CLiveMeasureDlg*>(QStringLiteral("186"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(app().FindLiveView(), window->View());
    EXPECT_EQ(window->Document()->GetTitle(), AppCommandString(appstr::IDS_LIVE_MEASURE));
#ifdef APP_TEST_PLUGIN_DIR
    ASSERT_EQ(window->Document()->ActivePlugIns().size(), 1u);
    EXPECT_EQ(window->Document()->ActivePlugIns()[0]->application, other->ActivePlugIns()[0]->application);
    EXPECT_EQ(program.PlugInHost().Manager().GetActiveList().size(), running + 1);
#endif
    ASSERT_TRUE(WaitUntil([&] { return window->View()->LiveFramesShown() > 1; }));
    EXPECT_TRUE(SamePixels(window->Document()->GetImage(), ImageOf(UniformRows(60))))
        << "the measured image is the live frame";
    EXPECT_FALSE(frame->Router().Query(cmd::ID_ACQ_RESIZE_CAPTURE).enabled) << "live measurement, not live video";

    // Closed while frames keep coming.
    QPointer<CLiveMeasureDlg> guard(window);
    window->close();
    ASSERT_TRUE(WaitUntil([&] { return guard.isNull(); }));
    EXPECT_EQ(app().FindLiveView(), nullptr);
    QApplication::processEvents();
#ifdef APP_TEST_PLUGIN_DIR
    EXPECT_EQ(program.PlugInHost().Manager().GetActiveList().size(), running) << "the window's plug-in goes with it";
#endif
}

TEST_F(CaptureTest, StillImagesOfTheDeviceBecomeDocumentsOfReadableDepthsOnly)
{
    program.Profile().preferences.showScaleBar = 1;
    Feed({UniformRows(90)}, 5);
    ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_SELECT_DEVICE));
    const size_t before = DocumentCount();
    std::string server;
    host().GetCurrentServerName(server);
    ASSERT_EQ(host().AcquireStillImage(), 1);
    ASSERT_TRUE(WaitUntil([&] { return DocumentCount() == before + 1; }));
    CVistrelDoc* doc = program.Documents().Documents().back();
    EXPECT_EQ(doc->GetTitle(),
              "[" + TheCalibrationList().GetCurrentCalibration()->GetName() + "] Grab using " + server + " - 1");
    EXPECT_EQ(CImageCapture::TitleNumber(), 2) << "two steps per still image";
    EXPECT_TRUE(SamePixels(doc->GetImage(), ImageOf(UniformRows(90))));
    ASSERT_TRUE(WaitUntil([&] { return ScaleBars(doc) == 1; }));
    ASSERT_NE(doc->GetImageView(), nullptr);
    EXPECT_TRUE(doc->GetImageView()->IsZoomFit());

    struct Case
    {
        int bits;
        uint32_t compression;
        size_t shortBy;
    };
    for (const Case c : {Case{16, 0, 0}, Case{32, 0, 0}, Case{8, 1, 0}, Case{24, 0, 1}}) {
        std::vector<uint32_t> block(2048);
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
        header->biSize = 40;
        header->biWidth = 4;
        header->biHeight = 4;
        header->biPlanes = 1;
        header->biBitCount = uint16_t(c.bits);
        header->biCompression = c.compression;
        const size_t bytes = c.shortBy ? QVDibSize(header) - c.shortBy : block.size() * 4;
        EXPECT_EQ(Capture().OnTwainBuffer(header, bytes), nullptr) << c.bits << " bits";
    }
    EXPECT_EQ(DocumentCount(), before + 1);
}

TEST(LiveFrameMailboxTest, TheNewestFrameWinsAndOneWakeIsQueued)
{
    QObject receiver;
    int wakes = 0;
    auto mailbox = std::make_shared<LiveFrameMailbox>(&receiver, [&] { ++wakes; });
    std::vector<uint32_t> dib(64);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    *header = BITMAPINFOHEADER{};
    header->biSize = 40;
    header->biWidth = 4;
    header->biHeight = 2;
    header->biPlanes = 1;
    header->biBitCount = 32;
    std::thread poster([&] {
        for (uint8_t value = 1; value <= 3; ++value) {
            std::memset(header + 1, value, 32);
            mailbox->Post(header);
        }
    });
    poster.join();
    QApplication::processEvents();
    EXPECT_EQ(wakes, 1);
    EXPECT_EQ(mailbox->Dropped(), 2u);
    // The frame arrives as its image, and the image taken before becomes the buffer of a later post.
    CQvImage frame;
    ASSERT_EQ(frame.Create(QV_GRAY8, 1, 1, 0), 1);
    ASSERT_TRUE(mailbox->Take(frame));
    ASSERT_EQ(frame.GetColorModel(), QV_RGBA32);
    ASSERT_EQ(frame.GetWidth(), 4);
    ASSERT_EQ(frame.GetHeight(), 2);
    EXPECT_EQ(frame.GetPixel(3, 1)[3], 3);
    EXPECT_FALSE(mailbox->Take(frame));
    EXPECT_EQ(frame.GetPixel(0, 0)[0], 3) << "a take that finds nothing leaves the image alone";
    mailbox->Detach();
    mailbox->Post(header);
    QApplication::processEvents();
    EXPECT_EQ(wakes, 1) << "a detached mailbox wakes no one";
}

TEST(CaptureDialogsTest, SettingsProposeAFolderAndEnableByTheirSwitches)
{
    CCaptureSettingDlg dialog;
    dialog.OnInitDialog();
    std::string documents;
    CAppEnvironment::GetMyDocumentsFolder(documents);
    EXPECT_EQ(dialog.settings.saveFolder.rfind(documents, 0), 0u);
    EXPECT_EQ(dialog.settings.filePrefix, "New acquire image");
    auto widget = [&](int id) { return dialog.findChild<QWidget*>(QString::number(id)); };
    struct Case
    {
        bool save, crop;
    };
    for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
        auto* save = dialog.findChild<QCheckBox*>("941");
        auto* crop = dialog.findChild<QCheckBox*>("946");
        if (save->isChecked() != c.save)
            save->click();
        if (crop->isChecked() != c.crop)
            crop->click();
        for (int id : {942, 943, 944, 945})
            EXPECT_EQ(widget(id)->isEnabled(), c.save) << id;
        for (int id : {947, 948, 949, 950, 951})
            EXPECT_EQ(widget(id)->isEnabled(), c.crop) << id;
        EXPECT_EQ(widget(952)->isEnabled(), c.save || c.crop);
    }
    // Without a region the area button changes nothing.
    dialog.findChild<QPushButton*>("951")->click();
    EXPECT_EQ(dialog.findChild<QLineEdit*>("948")->text(), "100");

    CCaptureSettingDlg saving;
    saving.settings.autoSave = 1;
    saving.OnInitDialog();
    EXPECT_TRUE(saving.settings.saveFolder.empty()) << "auto-save on: an empty folder stays empty";

    CMultiCaptureDlg multi;
    auto* frames = multi.findChild<QSpinBox*>("891");
    frames->setValue(5000);
    multi.findChild<QCheckBox*>("893")->setChecked(true);
    multi.accept();
    EXPECT_EQ(multi.frames, 200) << "no more frames than one capture takes";
    EXPECT_EQ(multi.combine, 1);
}

}  // namespace
