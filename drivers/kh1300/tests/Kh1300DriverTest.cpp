// The KH-1300 driver on its simulated camera library: the first-generation contract, the open steps and their
// messages, the resolution dialog and its settings file, the hand-over bytes, and a camera that fails mid-stream.
#include "common/testing/AcqContractHost.h"
#include "kh1300/sim/ZclSimControl.h"

#include "testing/MessageBoxRecorder.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

// The settings file goes to a temporary folder, never the build's program folder.
class TemporarySettings : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() / ("kh1300_tests_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        setenv("VISTREL_DRIVER_SETTINGS", m_folder.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

private:
    std::filesystem::path m_folder;
};
const auto* const g_settings = ::testing::AddGlobalTestEnvironment(new TemporarySettings);

std::string SettingsPath()
{
    return std::string(std::getenv("VISTREL_DRIVER_SETTINGS")) + "/KH1300Zcl2.ini";
}

std::string SettingsText()
{
    std::ifstream in(SettingsPath(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void StoreResolution(const char* value)
{
    std::filesystem::remove(SettingsPath());
    if (value) {
        std::ofstream out(SettingsPath(), std::ios::binary);
        out << "[KH1300Zcl2]\r\nResolution=" << value << "\r\n";
    }
}

// The simulated library, loaded by its path before the driver asks for it by name.
const CModule& Sim()
{
    static CModule module;
    if (!module.IsLoaded() && !module.Load(ZCL_SIM_LIBRARY))
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

void ResetSim(bool manual = true, int waitMs = 30)
{
    SimCall<ZCLSIM_ResetFunction>("ZCLSIM_Reset")();
    SimCall<ZCLSIM_SetManualFunction>("ZCLSIM_SetManual")(manual);
    SimCall<ZCLSIM_SetWaitFunction>("ZCLSIM_SetWait")(waitMs);
}

int Calls(const char* entry)
{
    return SimCall<ZCLSIM_CallsFunction>("ZCLSIM_Calls")(entry);
}

int OpenHandles()
{
    return SimCall<ZCLSIM_OpenHandlesFunction>("ZCLSIM_OpenHandles")();
}

int LastMode()
{
    return SimCall<ZCLSIM_LastModeFunction>("ZCLSIM_LastMode")();
}

std::vector<uint8_t> Converted(int mode, int seed)
{
    auto convert = SimCall<ZCLSIM_ConvertedFrameFunction>("ZCLSIM_ConvertedFrame");
    std::vector<uint8_t> rows(convert(mode, seed, nullptr, 0));
    convert(mode, seed, rows.data(), rows.size());
    return rows;
}

AcqContractCase Kh1300Case(std::string label, const char* index, int mode, int width, int height)
{
    AcqContractCase c;
    c.label = std::move(label);
    c.modulePath = KH1300_DRIVER;
    c.expectedName = "KH-1300";
    c.expectedExports = 22;
    c.notificationsPerOpen = 0;
    c.width = width;
    c.height = height;
    c.bitsPerPixel = 24;
    c.prepareDevice = [index](const CModule&, const AcqContractCase&) {
        ResetSim();
        StoreResolution(index);
    };
    c.deliverFrame = [](const CModule&, const AcqContractCase&, int seed) {
        SimCall<ZCLSIM_PushFunction>("ZCLSIM_Push")(seed);
        return true;
    };
    c.expectedRows = [mode](const AcqContractCase&, int seed) { return Converted(mode, seed); };
    return c;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Kh1300, AcqContractTest,
    ::testing::Values(Kh1300Case("Rgb640", "8", 4, 640, 480), Kh1300Case("Yuv800", "5", 7, 800, 600)),
    AcqContractCaseName);

class Kh1300Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetSim();
        StoreResolution(nullptr);
        ASSERT_TRUE(host.Load(KH1300_DRIVER)) << host.Error();
        AcqContractHost::ResetNotifications();
    }
    void TearDown() override
    {
        host.Exports().ACQ_Release();
        host.Unload();
        EXPECT_EQ(OpenHandles(), 0) << "camera or converter left open";
    }
    int Acquire(AcqTestDib& dib) { return host.Exports().ACQ_Acquire(dib.Header()); }

    AcqContractHost host;
};

TEST_F(Kh1300Test, OpensInTheStoredResolutionAndFallsBackToTheFirstRowOutsideTheTable)
{
    struct Case { const char* stored; int mode; int width; int height; };
    for (const Case& c : {Case{nullptr, 19, 1600, 1200}, Case{"8", 4, 640, 480}, Case{"2", 16, 1280, 960},
                          Case{"12", 19, 1600, 1200}, Case{"-1", 19, 1600, 1200}, Case{"x", 19, 1600, 1200}}) {
        SCOPED_TRACE(c.stored ? c.stored : "no file");
        StoreResolution(c.stored);
        ASSERT_EQ(host.Open(), 1);
        EXPECT_EQ(LastMode(), c.mode);
        EXPECT_EQ(host.Width(), c.width);
        EXPECT_EQ(host.Height(), c.height);
        EXPECT_EQ(host.Depth(), 24);
        host.Exports().ACQ_Release();
    }
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty());
}

TEST_F(Kh1300Test, AFailingOpenStepIsToldThenNotFoundCameraAndNothingClosesTwice)
{
    struct Case { const char* entry; const char* message; };
    for (const Case& c : {Case{"ZCL_Open", nullptr}, Case{"ZCL_CameraInfo", nullptr},
                          Case{"ZCL_SetCameraMode", "Camera Mode Set Error"},
                          Case{"ZCL_NowCameraMode", "Camera Mode Get Error"},
                          Case{"ZCL_GetImageInfo", "Camera ImageSize Get Error"},
                          Case{"ZCL_CreateConvHandle", nullptr}, Case{"ZCL_ColorConvSetBMPINFO", nullptr},
                          Case{"ZCL_IsoAlloc", nullptr}, Case{"ZCL_IsoStart", nullptr}}) {
        SCOPED_TRACE(c.entry);
        for (const bool autoLoad : {false, true}) {
            ResetSim();
            testing_support::MessageBoxes().Reset();
            SimCall<ZCLSIM_FailNextFunction>("ZCLSIM_FailNext")(c.entry);
            const int result = autoLoad ? host.Exports().ACQ_AutoLoad(0, 1, &host, 0)
                                        : host.Exports().ACQ_Initial(1, &host, 0);
            EXPECT_EQ(result, autoLoad ? 1 : -1);
            std::vector<std::string> texts;
            for (const MessageBoxRequest& box : testing_support::MessageBoxes().Boxes())
                texts.push_back(box.text);
            std::vector<std::string> expected;
            if (c.message)
                expected.push_back(c.message);
            expected.push_back("Not Found Camera");
            EXPECT_EQ(texts, expected);
            EXPECT_EQ(OpenHandles(), 0);
            EXPECT_LE(Calls("ZCL_Close"), 1);
            EXPECT_LE(Calls("ZCL_CloseConvHandle"), 1);
            host.ReadSize();
            EXPECT_EQ(host.Width(), 0);
            AcqTestDib dib(640, 480, 24);
            EXPECT_EQ(Acquire(dib), ACQ_FAIL);
            // Release of a camera that never opened closes nothing.
            host.Exports().ACQ_Release();
            EXPECT_LE(Calls("ZCL_Close"), 1);
        }
    }
}

TEST_F(Kh1300Test, TheHandOverIsTheConvertedFrameRowForRowFromItsFirstPixel)
{
    StoreResolution("8");
    AcqTestDib early(640, 480, 24);
    EXPECT_EQ(Acquire(early), ACQ_FAIL) << "before the open";
    ASSERT_EQ(host.Open(), 1);
    SimCall<ZCLSIM_PushFunction>("ZCLSIM_Push")(11);
    AcqTestDib dib(640, 480, 24);
    ASSERT_EQ(Acquire(dib), ACQ_OK);
    const std::vector<uint8_t> expected = Converted(4, 11);
    ASSERT_EQ(std::vector<uint8_t>(dib.Rows(), dib.Rows() + expected.size()), expected);

    // A DIB of another width, height or depth is refused before a byte is written, and the frame stays queued.
    for (const auto& size : {std::array<int, 3>{641, 480, 24}, std::array<int, 3>{640, 470, 24},
                             std::array<int, 3>{640, 480, 32}}) {
        AcqTestDib wrong(size[0], size[1], size[2]);
        SimCall<ZCLSIM_PushFunction>("ZCLSIM_Push")(12);
        EXPECT_EQ(Acquire(wrong), ACQ_FAIL);
        EXPECT_EQ(wrong.Rows()[0], 0xCD);
        ASSERT_EQ(Acquire(dib), ACQ_OK);
    }
    host.Exports().ACQ_Release();
    EXPECT_EQ(Acquire(dib), ACQ_FAIL) << "after the release";
    EXPECT_EQ(host.Exports().ACQ_AcquireSnapshot(dib.Header()), ACQ_FAIL);
}

TEST_F(Kh1300Test, ASnapshotThatGrabbedNothingDoesNotReportSuccess)
{
    StoreResolution("8");
    ASSERT_EQ(host.Open(), 1);
    AcqTestDib dib(640, 480, 24);
    EXPECT_EQ(host.Exports().ACQ_AcquireSnapshot(dib.Header()), ACQ_FAIL);
    EXPECT_EQ(dib.Rows()[0], 0xCD);
    // With a new frame the snapshot takes it.
    SimCall<ZCLSIM_PushFunction>("ZCLSIM_Push")(5);
    EXPECT_EQ(host.Exports().ACQ_AcquireSnapshot(dib.Header()), ACQ_OK);
}

namespace {

int ClickAndAccept(int buttonId)
{
    testing_support::MessageBoxes().QueueModal([buttonId](QDialog& dialog) {
        auto* button = dialog.findChild<QRadioButton*>(QStringLiteral("resolution%1").arg(buttonId));
        ASSERT_NE(button, nullptr);
        button->click();
        dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    });
    return 0;
}

}  // namespace

TEST_F(Kh1300Test, TheDialogChangesTheResolutionAtOnceAndCancelGoesBack)
{
    ASSERT_EQ(host.Open(), 1);
    AcqContractHost::ResetNotifications();
    ClickAndAccept(3004);
    ASSERT_EQ(host.Exports().ACQ_Setup(), ACQ_OK);
    EXPECT_NE(SettingsText().find("Resolution=2"), std::string::npos) << SettingsText();
    EXPECT_EQ(LastMode(), 16);
    EXPECT_EQ(AcqContractHost::Notifications(), 1);
    host.ReadSize();
    EXPECT_EQ(host.Width(), 1280);

    // Cancel after a click writes the remembered row back and opens the camera in it again.
    const int opensBefore = Calls("ZCL_Open");
    testing_support::MessageBoxes().QueueModal([](QDialog& dialog) {
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("resolution3004"))->isChecked());
        dialog.findChild<QRadioButton*>(QStringLiteral("resolution3007"))->click();
        EXPECT_EQ(LastMode(), 4);
        dialog.findChild<QPushButton*>(QStringLiteral("cancel"))->click();
    });
    host.Exports().ACQ_Setup();
    EXPECT_NE(SettingsText().find("Resolution=2"), std::string::npos);
    EXPECT_EQ(LastMode(), 16);
    EXPECT_EQ(Calls("ZCL_Open"), opensBefore + 2);

    // A restart opens in the chosen row.
    host.Exports().ACQ_Release();
    host.Unload();
    ASSERT_TRUE(host.Load(KH1300_DRIVER));
    ASSERT_EQ(host.Open(), 1);
    EXPECT_EQ(host.Width(), 1280);
    EXPECT_EQ(LastMode(), 16);
}

TEST_F(Kh1300Test, WithoutANotificationTheButtonsChangeNothingAndShowTheCurrentRow)
{
    ASSERT_EQ(host.Open(/*withNotification=*/false), 1);
    const int opens = Calls("ZCL_Open");
    testing_support::MessageBoxes().QueueModal([](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("resolution3007"))->click();
        EXPECT_FALSE(dialog.findChild<QRadioButton*>(QStringLiteral("resolution3007"))->isChecked());
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("resolution3008"))->isChecked());
        dialog.accept();
    });
    host.Exports().ACQ_Setup();
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
    EXPECT_EQ(Calls("ZCL_Open"), opens);
    EXPECT_EQ(LastMode(), 19);
}

TEST_F(Kh1300Test, AnUnpluggedOrStalledCameraAnswersWithinItsWaitAndCanBeOpenedAgain)
{
    StoreResolution("8");
    ASSERT_EQ(host.Open(), 1);
    AcqTestDib dib(640, 480, 24);
    // Stalled: no frame, an answer of 9 after the library's bounded wait.
    EXPECT_EQ(Acquire(dib), ACQ_NO_NEW_FRAME);

    // Unplugged while a grab waits on another thread: the grab ends with 0.
    std::atomic<int> result{-1};
    SimCall<ZCLSIM_SetWaitFunction>("ZCLSIM_SetWait")(5000);
    std::thread grabber([&] { result = Acquire(dib); });
    const auto waiting = SimCall<ZCLSIM_WaitingFunction>("ZCLSIM_Waiting");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    while (waiting() == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(waiting(), 1) << "the grab is not waiting for its frame";
    SimCall<ZCLSIM_UnplugFunction>("ZCLSIM_Unplug")();
    grabber.join();
    EXPECT_EQ(result, ACQ_FAIL);
    EXPECT_EQ(Acquire(dib), ACQ_FAIL);

    // Plugged in again, a new open gives frames.
    host.Exports().ACQ_Release();
    ResetSim();
    ASSERT_EQ(host.Open(), 1);
    SimCall<ZCLSIM_PushFunction>("ZCLSIM_Push")(2);
    EXPECT_EQ(Acquire(dib), ACQ_OK);
}

TEST_F(Kh1300Test, ReleaseAndResolutionChangesWhileAnotherThreadGrabs)
{
    ResetSim(/*manual=*/false, 200);
    StoreResolution("8");
    ASSERT_EQ(host.Open(), 1);
    std::atomic<bool> stop{false};
    std::atomic<int> copied{0};
    std::thread grabber([&] {
        AcqTestDib dib(640, 480, 24);
        while (!stop)
            copied += Acquire(dib) == ACQ_OK;
    });
    for (int cycle = 0; cycle < 20; ++cycle) {
        host.Exports().ACQ_Release();
        ASSERT_EQ(host.Exports().ACQ_Initial(1, &host, 0), 1);
    }
    stop = true;
    grabber.join();
    EXPECT_GT(copied, 0);
}

// Run in a process of its own, where no test has loaded the simulated library yet.
TEST(Kh1300WithoutLibrary, TellsOnceThatTheLibraryIsMissingAndOffersNoCamera)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            AcqContractHost host;
            if (!host.Load(KH1300_DRIVER))
                std::_Exit(2);
            const int first = host.Exports().ACQ_Initial(1, &host, 0);
            const int second = host.Exports().ACQ_Initial(1, &host, 0);
            host.ReadSize();
            const auto& boxes = testing_support::MessageBoxes().Boxes();
            const bool toldOnce = boxes.size() == 1 && boxes[0].text.find("ZCL.so") != std::string::npos;
            std::_Exit(first == -1 && second == -1 && host.Width() == 0 && toldOnce ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
