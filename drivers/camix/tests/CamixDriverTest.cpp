// The Camix camera drivers on their simulated camera: the contract every first-generation driver keeps, and what
// a camera adds to it (the stored size, the set-up dialog, an unplugged or silent camera, a release mid-copy).
#include "camix/CamixTestHooks.h"
#include "common/testing/AcqContractHost.h"
#include "profile/CRegKey.h"

#include "testing/MessageBoxRecorder.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

// The registry store lives under XDG_CONFIG_HOME: a temporary one, so the user's settings stay untouched.
class TemporaryConfig : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() / ("camix_tests_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        setenv("XDG_CONFIG_HOME", m_folder.c_str(), 1);
        setenv("VISTREL_SIMULATED_CAMERA", "off", 1);
        RegReloadStore();
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

private:
    std::filesystem::path m_folder;
};
const auto* const g_config = ::testing::AddGlobalTestEnvironment(new TemporaryConfig);

// A top-down B,G,R,X frame as the camera produces it.
std::vector<uint8_t> CameraFrame(int width, int height, int seed)
{
    std::vector<uint8_t> frame(size_t(width) * height * 4);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 13 + seed * 29 + i / 197);
    return frame;
}

// What the host's DIB holds of that frame, row i of the DIB after row i: rows bottom-up (upright in a DIB of
// positive height), each mirrored.
std::vector<uint8_t> DibRows(const AcqContractCase& c, int seed)
{
    const std::vector<uint8_t> frame = CameraFrame(c.width, c.height, seed);
    std::vector<uint8_t> rows(frame.size());
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            std::memcpy(&rows[(size_t(y) * c.width + x) * 4],
                        &frame[(size_t(c.height - 1 - y) * c.width + (c.width - 1 - x)) * 4], 4);
    return rows;
}

AcqContractCase CamixCase(std::string label, std::string path, std::string name, int width, int height)
{
    AcqContractCase c;
    c.label = std::move(label);
    c.modulePath = std::move(path);
    c.expectedName = std::move(name);
    c.width = width;
    c.height = height;
    c.bitsPerPixel = 32;
    c.prepareDevice = [](const CModule& module, const AcqContractCase& c) {
        module.GetProc<CAMIX_SimulateFunction>("CAMIX_Simulate")("appsrc", c.width, c.height);
    };
    c.deliverFrame = [](const CModule& module, const AcqContractCase& c, int seed) {
        const std::vector<uint8_t> frame = CameraFrame(c.width, c.height, seed);
        return module.GetProc<CAMIX_SimPushFunction>("CAMIX_SimPush")(frame.data(), frame.size()) == 1;
    };
    c.expectedRows = DibRows;
    return c;
}

std::vector<BYTE> StoredDimension(const char* model)
{
    CRegKey key;
    std::vector<BYTE> bytes;
    if (key.Open(HKEY_CURRENT_USER, (std::string("Software\\Korvelt\\") + model).c_str(), KEY_READ) == ERROR_SUCCESS)
        key.QueryBinaryValue("Dimension", bytes);
    return bytes;
}

void StoreDimension(const char* model, const std::vector<BYTE>& bytes)
{
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, (std::string("Software\\Korvelt\\") + model).c_str()), ERROR_SUCCESS);
    if (bytes.empty())
        key.DeleteValue("Dimension");
    else
        key.SetBinaryValue("Dimension", bytes.data(), DWORD(bytes.size()));
}

std::vector<BYTE> Dimension(int32_t width, int32_t height)
{
    std::vector<BYTE> bytes(8);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = BYTE(uint32_t(width) >> (8 * i));
        bytes[4 + i] = BYTE(uint32_t(height) >> (8 * i));
    }
    return bytes;
}

}  // namespace

// An odd width on the second model: the mirror must stay inside each row.
INSTANTIATE_TEST_SUITE_P(Camix, AcqContractTest,
    ::testing::Values(CamixCase("D300CM", CAMIX300_DRIVER, "Camix-D300CM", 64, 48),
                      CamixCase("D200CC", CAMIX200_DRIVER, "Camix-D200CC", 37, 21)),
    AcqContractCaseName);

class CamixDriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Load(CAMIX300_DRIVER)) << host.Error();
        // A busy machine may take seconds to start a pipeline; the wait ends as soon as the first frame is in.
        host.Module().GetProc<CAMIX_SetStartTimeoutFunction>("CAMIX_SetStartTimeout")(30000);
        AcqContractHost::ResetNotifications();
        StoreDimension("Camix-D300CM", {});
    }
    void TearDown() override
    {
        host.Exports().ACQ_Release();
        Simulate(nullptr, 0, 0);
        host.Module().GetProc<CAMIX_SetStartTimeoutFunction>("CAMIX_SetStartTimeout")(5000);
    }
    void Simulate(const char* kind, int width, int height)
    {
        host.Module().GetProc<CAMIX_SimulateFunction>("CAMIX_Simulate")(kind, width, height);
    }
    int Push(const std::vector<uint8_t>& frame)
    {
        return host.Module().GetProc<CAMIX_SimPushFunction>("CAMIX_SimPush")(frame.data(), frame.size());
    }
    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : testing_support::MessageBoxes().Boxes())
            texts.push_back(box.text);
        return texts;
    }

    AcqContractHost host;
};

TEST(CamixModulesTest, TheSimulatedCameraHasAModuleOfItsOwnBesideTheRealCameras)
{
    // Fresh copies: modules no test has set a simulated camera in, so only the environment speaks.
    QTemporaryDir folder;
    setenv("VISTREL_SIMULATED_CAMERA", "ball", 1);
    struct Case { const char* driver; const char* name; bool opens; };
    // (The generic module is left out: it takes whatever camera this machine has.)
    for (const Case c : {Case{CAMIXSIM_DRIVER, "Camix-Sim", true}, Case{CAMIX200_DRIVER, "Camix-D200CC", false}}) {
        SCOPED_TRACE(c.name);
        const std::string copy = folder.filePath(QString::fromUtf8(c.name) + ".so").toStdString();
        std::filesystem::copy_file(c.driver, copy);
        AcqContractHost host;
        ASSERT_TRUE(host.Load(copy)) << host.Error();
        char name[ACQ_NAME_BUFFER_SIZE] = {};
        host.Exports().ACQ_GetName(name);
        EXPECT_STREQ(name, c.name);
        testing_support::MessageBoxes().Reset();
        EXPECT_EQ(host.Open(), ACQ_OK);
        // Without a camera of its model here, a real camera's module finds nothing rather than the simulation.
        EXPECT_EQ(host.Width() > 0, c.opens) << host.Width();
        host.Exports().ACQ_Release();
    }
    setenv("VISTREL_SIMULATED_CAMERA", "off", 1);
}

TEST_F(CamixDriverTest, AMissingCameraIsToldAndLeavesTheSizesUnset)
{
    Simulate(nullptr, 0, 0);
    EXPECT_EQ(host.Open(), ACQ_OK);
    EXPECT_EQ(host.Width(), -1);
    EXPECT_EQ(host.Height(), -1);
    EXPECT_EQ(AcqContractHost::Notifications(), 0);
    ASSERT_FALSE(BoxTexts().empty());
    EXPECT_EQ(BoxTexts().back(), "There is no capture device!");
    AcqTestDib dib(64, 48, 32);
    EXPECT_EQ(host.Exports().ACQ_AcquireSnapshot(dib.Header()), ACQ_NO_NEW_FRAME);
}

TEST_F(CamixDriverTest, TheFirstOpenStoresTheSizeAndTheNextAppliesIt)
{
    Simulate("ball", 0, 0);
    ASSERT_EQ(host.Open(), ACQ_OK);
    ASSERT_GT(host.Width(), 0);
    EXPECT_EQ(StoredDimension("Camix-D300CM"), Dimension(host.Width(), host.Height()));
    host.Exports().ACQ_Release();

    StoreDimension("Camix-D300CM", Dimension(800, 600));
    ASSERT_EQ(host.Open(), ACQ_OK);
    EXPECT_EQ(host.Width(), 800);
    EXPECT_EQ(host.Height(), 600);
    AcqTestDib dib(800, 600, 32);
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
}

TEST_F(CamixDriverTest, AStoredSizeThatIsNoCamerasIsIgnored)
{
    Simulate("ball", 0, 0);
    ASSERT_EQ(host.Open(), ACQ_OK);
    const int width = host.Width(), height = host.Height();
    host.Exports().ACQ_Release();
    const std::vector<BYTE> four{0x40, 0x01, 0x00, 0x00};
    for (const std::vector<BYTE>& stored : {four, Dimension(0, 600), Dimension(-640, 480), Dimension(100000, 10)}) {
        SCOPED_TRACE(stored.size());
        StoreDimension("Camix-D300CM", stored);
        ASSERT_EQ(host.Open(), ACQ_OK);
        EXPECT_EQ(host.Width(), width);
        EXPECT_EQ(host.Height(), height);
        EXPECT_EQ(StoredDimension("Camix-D300CM"), Dimension(width, height));
        host.Exports().ACQ_Release();
    }
}

TEST_F(CamixDriverTest, AnUnpluggedCameraStopsReportsFailureAndOpensAgain)
{
    Simulate("appsrc", 32, 16);
    ASSERT_EQ(host.Open(), ACQ_OK);
    AcqTestDib dib(32, 16, 32);
    ASSERT_EQ(Push(CameraFrame(32, 16, 1)), 1);
    host.Module().GetProc<CAMIX_SimUnplugFunction>("CAMIX_SimUnplug")();
    // Failure, not "no new frame" for ever: the wait gives up only if the driver never tells.
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_FAIL);
    EXPECT_EQ(host.Exports().ACQ_AcquireSnapshot(dib.Header()), ACQ_FAIL);
    // The old size no longer describes anything that runs.
    int width = 0, height = 0, depth = 0;
    host.Exports().ACQ_GetWidth(&width);
    host.Exports().ACQ_GetHeight(&height);
    host.Exports().ACQ_GetDepth(&depth);
    EXPECT_EQ(width + height + depth, -3);

    host.Exports().ACQ_Release();
    ASSERT_EQ(host.Open(), ACQ_OK);
    ASSERT_EQ(host.Width(), 32);
    ASSERT_EQ(Push(CameraFrame(32, 16, 2)), 1);
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
}

TEST_F(CamixDriverTest, ACameraThatNeverDeliversFailsTheOpenInBoundedTime)
{
    Simulate("stall", 32, 16);
    host.Module().GetProc<CAMIX_SetStartTimeoutFunction>("CAMIX_SetStartTimeout")(200);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(host.Open(), ACQ_OK);  // the result stays 1; the sizes tell the failure
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(host.Width(), -1);
    EXPECT_EQ(host.Depth(), -1);
    EXPECT_EQ(AcqContractHost::Notifications(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error: Unknown error for playing the camera"});
}

TEST_F(CamixDriverTest, ReleaseDuringCopiesIsSafeAndASecondOpenWorks)
{
    Simulate("appsrc", 1024, 768);
    ASSERT_EQ(host.Open(), ACQ_OK);
    const std::vector<uint8_t> frame = CameraFrame(1024, 768, 3);
    std::atomic<bool> stop{false};
    std::thread copier([&] {
        AcqTestDib dib(1024, 768, 32);
        while (!stop) {
            host.Exports().ACQ_Acquire(dib.Header());
            host.Exports().ACQ_AcquireSnapshot(dib.Header());
        }
    });
    for (int i = 0; i < 5; ++i)
        Push(frame);
    host.Exports().ACQ_Release();
    stop = true;
    copier.join();

    ASSERT_EQ(host.Open(), ACQ_OK);
    AcqTestDib dib(1024, 768, 32);
    ASSERT_EQ(Push(frame), 1);
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
}

TEST_F(CamixDriverTest, SetupFormatPageChangesTheSizeAndCancelRestoresIt)
{
    Simulate("ball", 0, 0);
    ASSERT_EQ(host.Open(), ACQ_OK);
    const int width = host.Width(), height = host.Height();
    ASSERT_NE(width, 640);
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        AcqContractHost::ResetNotifications();
        std::string shownName;
        int sizeDuringDialog = 0;
        testing_support::MessageBoxes().QueueModal([&](QDialog& dialog) {
            shownName = dialog.findChild<QWidget*>("deviceName")->property("text").toString().toStdString();
            dialog.findChild<QPushButton*>("videoFormatButton")->click();
            host.ReadSize();
            sizeDuringDialog = host.Width();
            if (ok)
                dialog.accept();
            else
                dialog.reject();
        });
        testing_support::MessageBoxes().QueueModal([](QDialog& page) {
            auto* combo = page.findChild<QComboBox*>("sizeCombo");
            combo->setCurrentIndex(combo->findText("640 x 480"));
            page.accept();
        });
        EXPECT_EQ(host.Exports().ACQ_Setup(), ACQ_OK);
        EXPECT_EQ(shownName, "Camix-D300CM");
        EXPECT_EQ(sizeDuringDialog, 640);
        host.ReadSize();
        EXPECT_EQ(host.Width(), ok ? 640 : width);
        EXPECT_EQ(host.Height(), ok ? 480 : height);
        EXPECT_EQ(StoredDimension("Camix-D300CM"), ok ? Dimension(640, 480) : Dimension(width, height));
        EXPECT_EQ(AcqContractHost::Notifications(), ok ? 1 : 2);
        AcqTestDib dib(host.Width(), host.Height(), 32);
        EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
    }
}

TEST_F(CamixDriverTest, AnAcceptedFormatPageNotifiesEvenWhenTheSizeStays)
{
    Simulate("ball", 0, 0);
    ASSERT_EQ(host.Open(), ACQ_OK);
    const int width = host.Width();
    AcqContractHost::ResetNotifications();
    testing_support::MessageBoxes().QueueModal([](QDialog& dialog) {
        dialog.findChild<QPushButton*>("videoFormatButton")->click();
        dialog.accept();
    });
    testing_support::MessageBoxes().QueueModal([](QDialog& page) { page.accept(); });  // the current size
    EXPECT_EQ(host.Exports().ACQ_Setup(), ACQ_OK);
    host.ReadSize();
    EXPECT_EQ(host.Width(), width);
    EXPECT_EQ(AcqContractHost::Notifications(), 1);
}

TEST_F(CamixDriverTest, SetupColourPageChangesThePictureAndCancelRestoresIt)
{
    Simulate("appsrc", 16, 8);
    ASSERT_EQ(host.Open(), ACQ_OK);
    std::vector<uint8_t> grey(16 * 8 * 4, 100);
    AcqTestDib dib(16, 8, 32);
    ASSERT_EQ(Push(grey), 1);
    ASSERT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
    const std::vector<uint8_t> original = dib.Row(0, 64);

    struct Case { bool pageOk, dialogOk, changed; };
    for (const Case c : {Case{true, true, true}, Case{false, true, false}, Case{true, false, false}}) {
        SCOPED_TRACE(testing::Message() << c.pageOk << c.dialogOk);
        testing_support::MessageBoxes().QueueModal([&](QDialog& dialog) {
            dialog.findChild<QPushButton*>("colorControlButton")->click();
            c.dialogOk ? dialog.accept() : dialog.reject();
        });
        testing_support::MessageBoxes().QueueModal([&](QDialog& page) {
            auto* slider = page.findChild<QSlider*>("BRIGHTNESS");
            ASSERT_NE(slider, nullptr);
            slider->setValue(slider->maximum() / 2);
            c.pageOk ? page.accept() : page.reject();
        });
        host.Exports().ACQ_Setup();
        ASSERT_EQ(Push(grey), 1);
        ASSERT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
        EXPECT_EQ(dib.Row(0, 64) != original, c.changed);
        // Back to the camera's own brightness for the next case.
        testing_support::MessageBoxes().QueueModal([](QDialog& dialog) {
            dialog.findChild<QPushButton*>("colorControlButton")->click();
            dialog.accept();
        });
        testing_support::MessageBoxes().QueueModal([](QDialog& page) {
            page.findChild<QSlider*>("BRIGHTNESS")->setValue(0);
            page.accept();
        });
        host.Exports().ACQ_Setup();
    }
}

TEST_F(CamixDriverTest, AnotherDisplayWindowReopensTheCameraAndNotifies)
{
    Simulate("appsrc", 32, 16);
    ASSERT_EQ(host.Open(), ACQ_OK);
    int window = 0;
    host.Exports().ACQ_Overlay();
    EXPECT_EQ(host.Exports().ACQ_SetDisplayWindow(&window), ACQ_OK);
    EXPECT_EQ(host.Mode(), ACQ_MODE_IDLE);
    EXPECT_EQ(host.Exports().ACQ_GetOwnerWindow(), &window);
    EXPECT_EQ(AcqContractHost::Notifications(), 2);
    AcqTestDib dib(32, 16, 32);
    ASSERT_EQ(Push(CameraFrame(32, 16, 4)), 1);
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
}
