// The MTPCI-TL driver on its simulated board library: the first-generation contract, the camera-set start-up and
// its list file, set-ups while grab threads run, and the faults of a board mid-stream.
#include "common/testing/AcqContractHost.h"
#include "mtpci/MtpciApi.h"
#include "mtpci/sim/MtpciSimControl.h"

#include "testing/MessageBoxRecorder.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Settings and camera-set files go to a temporary folder, never the build's program folder.
class TemporaryFolder : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Folder() = fs::temp_directory_path() / ("mtpci_tests_" + std::to_string(getpid()));
        fs::create_directories(Folder() / "settings");
        setenv("VISTREL_DRIVER_SETTINGS", (Folder() / "settings").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(Folder()); }
    static fs::path& Folder()
    {
        static fs::path folder;
        return folder;
    }
};
const auto* const g_folder = ::testing::AddGlobalTestEnvironment(new TemporaryFolder);

fs::path ListFile()
{
    return TemporaryFolder::Folder() / "settings" / "MTPCI_CameraSet.cfg";
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct CameraFormat
{
    int width = 640, height = 480, bytesPerPixel = 1, planeType = 1, interlaced = 0;
};

// A camera-set file of that format; its path.
std::string WriteCameraSet(const std::string& name, const CameraFormat& format)
{
    const fs::path path = TemporaryFolder::Folder() / name;
    std::ofstream out(path, std::ios::binary);
    out << "[Camera]\r\nName=Test camera\r\nWidth=" << format.width << "\r\nHeight=" << format.height
        << "\r\nBytesPerPixel=" << format.bytesPerPixel << "\r\nPlaneType=" << format.planeType
        << "\r\nInterlaced=" << format.interlaced << "\r\n";
    return path.string();
}

void RememberCameraSet(const std::string& cameraSet)
{
    std::ofstream out(ListFile(), std::ios::binary);
    out << cameraSet << "\r\n";  // as a Windows-made list file has it: the reader strips the line end
}

// The simulated library, loaded by its path before the driver asks for it by name.
const CModule& Sim()
{
    static CModule module;
    if (!module.IsLoaded() && !module.Load(MTPCI_SIM_LIBRARY))
        ADD_FAILURE() << module.GetLastError();
    return module;
}

template <typename Function>
Function SimCall(const char* name)
{
    auto function = Sim().GetProc<Function>(name);
    if (!function)
        ADD_FAILURE() << "missing " << name;
    return function;
}

void ResetSim()
{
    SimCall<MTSIM_ResetFunction>("MTSIM_Reset")();
}

int FramesRead(int channel)
{
    return SimCall<MTSIM_FramesReadFunction>("MTSIM_FramesRead")(channel);
}

// Waits (letting grab-thread message boxes through) until `done` holds or the bound passes.
template <typename Condition>
bool WaitFor(Condition done, std::chrono::milliseconds bound = std::chrono::seconds(5))
{
    const auto end = Clock::now() + bound;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool PushAndWait(int channel, int seed)
{
    const int before = FramesRead(channel);
    SimCall<MTSIM_PushFunction>("MTSIM_Push")(channel, seed);
    return WaitFor([&] { return FramesRead(channel) > before; });
}

// The rows the host's DIB holds for channel 1's frame of `seed`: bottom-up, in the DIB's stride.
std::vector<uint8_t> ExpectedRows(int width, int rows, int bitsPerPixel, int seed)
{
    const int64_t stride = AcqDibStride(width, bitsPerPixel);
    std::vector<uint8_t> out(size_t(stride * rows), 0);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < width * bitsPerPixel / 8; ++column)
            out[size_t(row * stride + column)] = MtsimByte(1, seed, rows - 1 - row, column);
    return out;
}

AcqContractCase MtpciCase(std::string label, CameraFormat format, int reportedHeight, int bitsPerPixel)
{
    AcqContractCase c;
    c.label = std::move(label);
    c.modulePath = MTPCI_DRIVER;
    c.expectedName = "MTPCI-TL";
    c.expectedExports = 17;
    c.notificationsPerOpen = 0;
    c.width = format.width;
    c.height = reportedHeight;
    c.bitsPerPixel = bitsPerPixel;
    c.prepareDevice = [format](const CModule&, const AcqContractCase& self) {
        ResetSim();
        RememberCameraSet(WriteCameraSet(self.label + ".ini", format));
    };
    c.deliverFrame = [](const CModule&, const AcqContractCase&, int seed) { return PushAndWait(1, seed); };
    c.expectedRows = [](const AcqContractCase& self, int seed) {
        return ExpectedRows(self.width, self.height, self.bitsPerPixel, seed);
    };
    return c;
}

int RunState(const AcqContractHost& host, int channel)
{
    auto runState = host.Module().GetProc<int (*)(int)>("MTPCI_TestRunState");
    return runState ? runState(channel) : -99;
}

}  // namespace

// Grey, colour of a width that is no multiple of 4 (rows of 3 x 642 bytes, not 3 x 644), 2-byte pixels (handed
// over as the 8-bit grey the view holds), three planes (one grey image of three times the height).
INSTANTIATE_TEST_SUITE_P(Mtpci, AcqContractTest,
    ::testing::Values(MtpciCase("Grey640", CameraFormat{640, 480, 1, 1, 0}, 480, 8),
                      MtpciCase("Colour642", CameraFormat{642, 40, 3, 1, 0}, 40, 24),
                      MtpciCase("Wide101", CameraFormat{101, 30, 2, 1, 1}, 30, 8),
                      MtpciCase("Planes64", CameraFormat{64, 20, 1, 3, 0}, 60, 8)),
    AcqContractCaseName);

class MtpciTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetSim();
        fs::remove(ListFile());
        ASSERT_TRUE(host.Load(MTPCI_DRIVER)) << host.Error();
    }
    void TearDown() override
    {
        SimCall<MTSIM_UnplugFunction>("MTSIM_Unplug")(0);
        SimCall<MTSIM_StallFunction>("MTSIM_Stall")(1, 0);
        host.Exports().ACQ_Release();
        host.Unload();
        // Release joined every thread and stopped every capture.
        EXPECT_EQ(SimCall<MTSIM_CapturingFunction>("MTSIM_Capturing")(), 0);
    }
    int Initial() { return host.Open(); }

    AcqContractHost host;
};

TEST_F(MtpciTest, ARememberedCameraSetOpensWithoutADialogAndAMissingOneIsToldAndForgotten)
{
    const std::string cameraSet = WriteCameraSet("remembered.ini", CameraFormat{320, 240, 1, 1, 0});
    RememberCameraSet(cameraSet);
    ASSERT_EQ(Initial(), ACQ_OK);
    EXPECT_TRUE(testing_support::MessageBoxes().FileDialogs().empty());
    EXPECT_EQ(host.Width(), 320);
    EXPECT_EQ(ReadText(ListFile()), cameraSet + "\n");
    host.Exports().ACQ_Release();

    fs::remove(cameraSet);
    EXPECT_EQ(Initial(), ACQ_FAIL);
    ASSERT_EQ(testing_support::MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(testing_support::MessageBoxes().Boxes()[0].text,
              "The file path of a camera set is not correct - \n" + cameraSet);
    EXPECT_FALSE(fs::exists(ListFile()));

    // The next start asks; cancelling it fails, choosing a file sets up from it and remembers it.
    EXPECT_EQ(Initial(), ACQ_FAIL);
    ASSERT_EQ(testing_support::MessageBoxes().FileDialogs().size(), 1u);
    EXPECT_EQ(testing_support::MessageBoxes().FileDialogs()[0].filter, "Camera Set (*.ini)|*.ini||");
    const std::string chosen = WriteCameraSet("chosen.ini", CameraFormat{128, 96, 1, 1, 0});
    testing_support::MessageBoxes().QueueFile(chosen);
    EXPECT_EQ(Initial(), ACQ_OK);
    EXPECT_EQ(host.Width(), 128);
    EXPECT_EQ(ReadText(ListFile()), chosen + "\n");
}

TEST_F(MtpciTest, ACameraSetChosenInSetupIsUsedAtOnceButNotRemembered)
{
    const std::string first = WriteCameraSet("first.ini", CameraFormat{320, 240, 1, 1, 0});
    RememberCameraSet(first);
    ASSERT_EQ(Initial(), ACQ_OK);
    const std::string other = WriteCameraSet("other.ini", CameraFormat{200, 100, 3, 1, 0});
    testing_support::MessageBoxes().QueueFile(other);
    EXPECT_EQ(host.Exports().ACQ_Setup(), ACQ_OK);
    host.ReadSize();
    EXPECT_EQ(host.Width(), 200);
    EXPECT_EQ(host.Depth(), 24);
    EXPECT_EQ(ReadText(ListFile()), first + "\n");
    AcqTestDib dib(200, 100, 24);
    ASSERT_TRUE(PushAndWait(1, 11));
    ASSERT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
    EXPECT_EQ(dib.Row(0, 3), (std::vector<uint8_t>{MtsimByte(1, 11, 99, 0), MtsimByte(1, 11, 99, 1),
                                                   MtsimByte(1, 11, 99, 2)}));
}

TEST_F(MtpciTest, ReleaseStopsEveryChannelAndAcquireAnswersNothingDuringASetup)
{
    RememberCameraSet(WriteCameraSet("release.ini", CameraFormat{64, 48, 1, 1, 0}));
    ASSERT_EQ(Initial(), ACQ_OK);
    EXPECT_EQ(host.Mode(), ACQ_MODE_IDLE);
    for (int channel = 1; channel <= 4; ++channel)
        EXPECT_EQ(RunState(host, channel), 1) << channel;
    host.Exports().ACQ_Release();
    EXPECT_EQ(host.Mode(), ACQ_MODE_SETTING_UP);
    EXPECT_EQ(SimCall<MTSIM_CapturingFunction>("MTSIM_Capturing")(), 0) << "a channel kept grabbing";
    AcqTestDib dib(64, 48, 8);
    EXPECT_EQ(host.Exports().ACQ_Acquire(dib.Header()), ACQ_FAIL);

    // A slow set-up on another thread: meanwhile Acquire answers 0.
    SimCall<MTSIM_SetLoadDelayFunction>("MTSIM_SetLoadDelay")(300);
    std::atomic<bool> setUp{false};
    std::thread setup([&] {
        host.Exports().ACQ_Initial(1, &host, 0);
        setUp = true;
    });
    while (!setUp) {
        const int result = host.Exports().ACQ_Acquire(dib.Header());
        if (result != ACQ_FAIL) {
            EXPECT_EQ(host.Mode(), ACQ_MODE_IDLE) << "answered " << result << " during the set-up";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    setup.join();
    EXPECT_EQ(host.Mode(), ACQ_MODE_IDLE);
    ASSERT_TRUE(PushAndWait(1, 3));
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
}

TEST_F(MtpciTest, SetupsWhileEveryChannelGrabsLeaveAThreadOnEachChannel)
{
    RememberCameraSet(WriteCameraSet("busy.ini", CameraFormat{256, 64, 1, 1, 0}));
    SimCall<MTSIM_SetManualFunction>("MTSIM_SetManual")(0);
    ASSERT_EQ(Initial(), ACQ_OK);
    const std::string other = WriteCameraSet("busy2.ini", CameraFormat{128, 32, 3, 1, 0});
    std::atomic<bool> stop{false};
    std::thread host2([&] {
        AcqTestDib dib(256, 64, 8);
        while (!stop)
            host.Exports().ACQ_Acquire(dib.Header());
    });
    for (int cycle = 0; cycle < 10; ++cycle) {
        testing_support::MessageBoxes().QueueFile(cycle % 2 ? other : std::string(TemporaryFolder::Folder() / "busy.ini"));
        host.Exports().ACQ_Setup();
        for (int channel = 1; channel <= 4; ++channel)
            ASSERT_EQ(RunState(host, channel), 1) << "cycle " << cycle << " channel " << channel;
        ASSERT_TRUE(WaitFor([] { return FramesRead(4) > 0; }));
    }
    for (int cycle = 0; cycle < 10; ++cycle) {
        host.Exports().ACQ_Release();
        ASSERT_EQ(host.Exports().ACQ_Initial(1, &host, 0), ACQ_OK);
    }
    stop = true;
    host2.join();
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty());
}

TEST_F(MtpciTest, ADmaErrorAsksWhetherToStopTheChannel)
{
    RememberCameraSet(WriteCameraSet("dma.ini", CameraFormat{64, 48, 1, 1, 0}));
    AcqTestDib dib(64, 48, 8);
    for (const int fault : {1, 2}) {
        for (const int answer : {IDYES, IDNO}) {
            SCOPED_TRACE(testing::Message() << "fault " << fault << " answer " << answer);
            ASSERT_EQ(Initial(), ACQ_OK);
            testing_support::MessageBoxes().Reset();
            testing_support::MessageBoxes().QueueAnswers({IDOK, answer});
            SimCall<MTSIM_InjectFunction>("MTSIM_Inject")(1, fault);
            ASSERT_TRUE(WaitFor([] { return testing_support::MessageBoxes().Boxes().size() >= 2; }));
            const auto& boxes = testing_support::MessageBoxes().Boxes();
            EXPECT_EQ(boxes[0].text, "Board No.1: an error occurred in the DMA transfer");
            EXPECT_EQ(boxes[1].text, "A fatal error occurred.\nStop the thread of number 1?");
            EXPECT_EQ(boxes[1].type & MB_TYPEMASK, MB_YESNO);
            if (answer == IDYES) {
                ASSERT_TRUE(WaitFor([&] { return RunState(host, 1) == -3; }));
                const int before = FramesRead(1);
                SimCall<MTSIM_PushFunction>("MTSIM_Push")(1, 9);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                EXPECT_EQ(FramesRead(1), before) << "a stopped channel still grabs";
                EXPECT_EQ(RunState(host, 2), 1) << "the other channels go on";
            } else {
                ASSERT_TRUE(PushAndWait(1, 9));
                EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
                EXPECT_EQ(RunState(host, 1), 1);
            }
            host.Exports().ACQ_Release();
        }
    }
}

// The question of a grab thread waits for the UI thread; a release on the UI thread meanwhile lets it through
// rather than wait for the thread that waits for it.
TEST_F(MtpciTest, AReleaseWhileAGrabThreadAsksDoesNotDeadlock)
{
    RememberCameraSet(WriteCameraSet("ask.ini", CameraFormat{64, 48, 1, 1, 0}));
    ASSERT_EQ(Initial(), ACQ_OK);
    testing_support::MessageBoxes().QueueAnswers({IDOK, IDNO});
    SimCall<MTSIM_InjectFunction>("MTSIM_Inject")(1, 2);
    // The thread met the error before it was asked to stop, so it asks; the wait lets no box through, so the
    // release is what must.
    const auto pending = SimCall<MTSIM_PendingFaultFunction>("MTSIM_PendingFault");
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (pending(1) != 0 && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(pending(1), 0) << "the grab thread never polled";
    const auto start = Clock::now();
    host.Exports().ACQ_Release();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(RunState(host, 1), 0);
    EXPECT_EQ(testing_support::MessageBoxes().Boxes().size(), 2u);
}

TEST_F(MtpciTest, ALibraryErrorIsShownAndTheCaptureRestartsAndAnUnpluggedBoardEndsTheThread)
{
    RememberCameraSet(WriteCameraSet("lib.ini", CameraFormat{64, 48, 1, 1, 0}));
    ASSERT_EQ(Initial(), ACQ_OK);
    SimCall<MTSIM_InjectFunction>("MTSIM_Inject")(1, 3);
    ASSERT_TRUE(WaitFor([] { return !testing_support::MessageBoxes().Boxes().empty(); }));
    EXPECT_EQ(testing_support::MessageBoxes().Boxes()[0].text, "Board No.1: error in the MTPCIDMA library\nCODE=17");
    ASSERT_TRUE(PushAndWait(1, 5));
    AcqTestDib dib(64, 48, 8);
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);

    // Unplugged: one message per channel for the failing poll and one for the failing restart, then silence.
    testing_support::MessageBoxes().Reset();
    SimCall<MTSIM_UnplugFunction>("MTSIM_Unplug")(1);
    ASSERT_TRUE(WaitFor([&] {
        for (int channel = 1; channel <= 4; ++channel)
            if (RunState(host, channel) != -2)
                return false;
        return true;
    }));
    // Each channel says so twice (a busy machine may also deliver a late word of the earlier error), then no more.
    ASSERT_TRUE(WaitFor([] { return testing_support::MessageBoxes().Boxes().size() >= 8u; }));
    const size_t told = testing_support::MessageBoxes().Boxes().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(testing_support::MessageBoxes().Boxes().size(), told) << "silence after the unplugged board was told";
    EXPECT_EQ(host.Exports().ACQ_Acquire(dib.Header()), ACQ_NO_NEW_FRAME);
    EXPECT_EQ(host.Exports().ACQ_AcquireSnapshot(dib.Header()), ACQ_OK) << "the last frame stays";

    // Plugged in again, the live view restarts.
    SimCall<MTSIM_UnplugFunction>("MTSIM_Unplug")(0);
    testing_support::MessageBoxes().Reset();
    ASSERT_EQ(host.Exports().ACQ_Initial(1, &host, 0), ACQ_OK);
    ASSERT_TRUE(PushAndWait(1, 6));
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
}

TEST_F(MtpciTest, AStalledTransferIsStoppedWithinTheBoundAndASnapshotWithoutFramesFails)
{
    RememberCameraSet(WriteCameraSet("stall.ini", CameraFormat{64, 48, 1, 1, 0}));
    SimCall<MTSIM_StallFunction>("MTSIM_Stall")(1, 1);
    ASSERT_EQ(Initial(), ACQ_OK);
    AcqTestDib dib(64, 48, 8);
    EXPECT_EQ(host.Exports().ACQ_AcquireSnapshot(dib.Header()), ACQ_FAIL);
    const auto start = Clock::now();
    host.Exports().ACQ_Release();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST_F(MtpciTest, AFailingChannelSetupIsToldAndTheOtherChannelsRun)
{
    RememberCameraSet(WriteCameraSet("fail.ini", CameraFormat{64, 48, 1, 1, 0}));
    SimCall<MTSIM_InjectFunction>("MTSIM_Inject")(2, 4);  // status 704: reset and asked again, no failure
    SimCall<MTSIM_FailNextFunction>("MTSIM_FailNext")("MTPCI_AllocBuffers");
    ASSERT_EQ(Initial(), ACQ_OK);
    EXPECT_EQ(SimCall<MTSIM_CallsFunction>("MTSIM_Calls")("MTPCI_ResetChannel"), 1);
    ASSERT_FALSE(testing_support::MessageBoxes().Boxes().empty());
    EXPECT_EQ(testing_support::MessageBoxes().Boxes()[0].text, "Failed to setup board!");
    ASSERT_TRUE(PushAndWait(2, 1));
    EXPECT_EQ(RunState(host, 2), 1);
}

// An installed driver folder the user cannot write: the chosen camera set is remembered in the per-user folder,
// and read back from there at the next start instead of asking again.
TEST(MtpciFilesTest, AListFileInTheUserFolderIsReadWhenTheDriverFolderHasNone)
{
    const fs::path folder = TemporaryFolder::Folder() / "install";
    fs::create_directories(folder / "config");
    fs::copy_file(MTPCI_DRIVER, folder / "grab_mtpcitl.so", fs::copy_options::overwrite_existing);
    const std::string saved = std::getenv("VISTREL_DRIVER_SETTINGS");
    unsetenv("VISTREL_DRIVER_SETTINGS");
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    ResetSim();
    const std::string cameraSet = WriteCameraSet("user.ini", CameraFormat{96, 64, 1, 1, 0});
    fs::create_directories(folder / "config" / "Vistrel" / "Acquisition");
    {
        std::ofstream out(folder / "config" / "Vistrel" / "Acquisition" / "MTPCI_CameraSet.cfg");
        out << cameraSet << "\n";
    }
    // The copy finds the program's libraries through the original, loaded first; both stay loaded, since the copy
    // shares the driver's string table, which unloading it would take away.
    static auto* const original = new AcqContractHost;
    ASSERT_TRUE(original->Load(MTPCI_DRIVER)) << original->Error();
    static auto* const host = new AcqContractHost;
    ASSERT_TRUE(host->Load((folder / "grab_mtpcitl.so").string())) << host->Error();
    EXPECT_EQ(host->Open(), ACQ_OK);
    EXPECT_TRUE(testing_support::MessageBoxes().FileDialogs().empty());
    EXPECT_EQ(host->Width(), 96);
    host->Exports().ACQ_Release();
    setenv("VISTREL_DRIVER_SETTINGS", saved.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}
