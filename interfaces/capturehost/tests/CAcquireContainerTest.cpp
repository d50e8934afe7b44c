// The acquisition host on the simulated driver: loading the folder, snapshots of the documented size, top-down
// frames, snapshots while live, a stream that stops, a device that is missing and callbacks on the UI thread.
#include "capturehost/CAcquireContainer.h"
#include "module/CModule.h"
#include "simulated/SimulatedDriver.h"

#include "testing/MessageBoxRecorder.h"

#include <QCoreApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using testing_support::MessageBoxes;

int64_t Stride(int width, int bits)
{
    return (int64_t(width) * bits + 31) / 32 * 4;
}

// The rows of frame `seed` (device order).
std::vector<uint8_t> FrameRows(int width, int height, int bits, int seed)
{
    std::vector<uint8_t> rows(static_cast<size_t>(Stride(width, bits) * height));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = uint8_t(i * 13 + seed * 7 + i / 253);
    return rows;
}

class CAcquireContainerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_driverPath = m_folder.filePath("grab_simulated.so").toStdString();
        std::filesystem::copy_file(SIMULATED_DRIVER, m_driverPath);
        // The host's own load of the same file is the same module, so the test reaches its device.
        ASSERT_TRUE(m_device.Load(m_driverPath)) << m_device.GetLastError();
        m_setDevice = m_device.GetProc<SIM_SetDeviceFunction>("SIM_SetDevice");
        m_deliver = m_device.GetProc<SIM_DeliverFunction>("SIM_Deliver");
        m_unplug = m_device.GetProc<SIM_UnplugFunction>("SIM_Unplug");
    }

    void TearDown() override
    {
        StopFeeding();
        host.ReleaseServers();
    }

    // Opens the simulated device with this format as the one server of the folder.
    void Select(int width, int height, int bits)
    {
        m_width = width;
        m_height = std::abs(height);
        m_bits = bits;
        m_setDevice(1, width, height, bits);
        ASSERT_EQ(host.InstallServers(m_folder.path().toUtf8().constData()), 1);
        ASSERT_EQ(host.SelectServer(0), 1);
    }

    // A camera thread delivering frames 1, 2, 3, ... every 2 ms.
    void StartFeeding()
    {
        m_feeding = true;
        m_feeder = std::thread([this] {
            for (int seed = 1; m_feeding; ++seed) {
                const std::vector<uint8_t> rows = FrameRows(m_width, m_height, m_bits, seed);
                m_deliver(rows.data(), rows.size());
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }

    void StopFeeding()
    {
        m_feeding = false;
        if (m_feeder.joinable())
            m_feeder.join();
    }

    // The seed of the frame a buffer holds (its pixels; row padding is not the driver's to copy), or -1.
    int SeedOf(const std::vector<uint8_t>& buffer)
    {
        const uint8_t* rows = buffer.data() + (m_bits <= 8 ? 1064 : 40);
        const int64_t stride = Stride(m_width, m_bits);
        const int64_t pixelBytes = int64_t(m_width) * m_bits / 8;
        for (int seed = 1; seed < 5000; ++seed) {
            const std::vector<uint8_t> expected = FrameRows(m_width, m_height, m_bits, seed);
            bool same = true;
            for (int row = 0; row < m_height && same; ++row)
                same = std::equal(expected.begin() + row * stride, expected.begin() + row * stride + pixelBytes,
                                  rows + row * stride);
            if (same)
                return seed;
        }
        return -1;
    }

    QTemporaryDir m_folder;
    std::string m_driverPath;
    CModule m_device;
    SIM_SetDeviceFunction m_setDevice = nullptr;
    SIM_DeliverFunction m_deliver = nullptr;
    SIM_UnplugFunction m_unplug = nullptr;
    std::thread m_feeder;
    std::atomic<bool> m_feeding{false};
    int m_width = 0, m_height = 0, m_bits = 0;
    CAcquireContainer host;
};

TEST_F(CAcquireContainerTest, SkipsAModuleThatIsNoDriverNamingItsFile)
{
    std::ofstream(m_folder.filePath("broken.so").toStdString()) << "not a module";
    m_setDevice(1, 8, 8, 32);
    ASSERT_EQ(host.InstallServers(m_folder.path().toUtf8().constData()), 1);
    EXPECT_EQ(host.GetServerName(0), "Simulated-Cam");
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_NE(MessageBoxes().Boxes()[0].text.find("broken.so"), std::string::npos);

    EXPECT_EQ(host.InstallServers((m_folder.path() + "/missing").toUtf8().constData()), 0);
    EXPECT_EQ(host.SelectServer(0), 0);
    int width = -1, height = -1, bits = -1;
    EXPECT_EQ(host.GetCaptureSizeNDepth(width, height, bits), 0);
    EXPECT_EQ(width + height + bits, 0);
}

TEST_F(CAcquireContainerTest, SnapshotFillsEachBufferOfTheDocumentedSizeWithADistinctFrame)
{
    struct Format { int width, height, bits; };
    for (const Format format : {Format{37, 21, 24}, Format{16, -8, 32}, Format{10, 6, 8}}) {
        SCOPED_TRACE(testing::Message() << format.width << "x" << format.height << "x" << format.bits);
        Select(format.width, format.height, format.bits);
        int width = 0, height = 0, bits = 0;
        ASSERT_EQ(host.GetCaptureSizeNDepth(width, height, bits), 1);
        EXPECT_EQ(width, format.width);
        EXPECT_EQ(height, std::abs(format.height));
        EXPECT_EQ(bits, format.bits);

        // Exactly the size the program computes, so ASan sees any write past it.
        std::vector<std::vector<uint8_t>> buffers(3, std::vector<uint8_t>(size_t(Stride(width, bits) * height + 1064)));
        std::vector<BITMAPINFOHEADER*> headers;
        for (auto& buffer : buffers)
            headers.push_back(reinterpret_cast<BITMAPINFOHEADER*>(buffer.data()));
        StartFeeding();
        ASSERT_EQ(host.AcquireSnapshot(3, headers.data()), 1);
        StopFeeding();
        int previous = 0;
        for (auto& buffer : buffers) {
            const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(buffer.data());
            EXPECT_EQ(header->biWidth, format.width);
            EXPECT_EQ(header->biHeight, format.height);  // a top-down device gives a negative height
            const int seed = SeedOf(buffer);
            EXPECT_GT(seed, previous);
            previous = seed;
        }
        host.ReleaseServers();
    }
}

TEST_F(CAcquireContainerTest, LiveFramesReachTheGrabCallbackOnTheLiveThreadAndASnapshotStillWorks)
{
    Select(32, 24, 32);
    std::atomic<int> frames{0};
    std::atomic<bool> onUiThread{false};
    const std::thread::id uiThread = std::this_thread::get_id();
    host.SetFuncGrabCallBack([&](const BITMAPINFOHEADER* dib) {
        onUiThread = onUiThread || std::this_thread::get_id() == uiThread;
        if (dib && dib->biWidth == 32)
            ++frames;
        return 0;
    });
    StartFeeding();
    ASSERT_EQ(host.Overlay(), 1);
    int mode = 0;
    host.GetCurrentMode(mode);
    EXPECT_EQ(mode, CAcquireContainer::kModeLive);

    std::vector<std::vector<uint8_t>> buffers(2, std::vector<uint8_t>(size_t(CAcquireContainer::FrameBufferSize(32, 24, 32))));
    BITMAPINFOHEADER* headers[] = {reinterpret_cast<BITMAPINFOHEADER*>(buffers[0].data()),
                                   reinterpret_cast<BITMAPINFOHEADER*>(buffers[1].data())};
    ASSERT_EQ(host.AcquireSnapshot(2, headers), 1);
    EXPECT_LT(SeedOf(buffers[0]), SeedOf(buffers[1]));
    EXPECT_GT(SeedOf(buffers[0]), 0);

    ASSERT_EQ(host.StopOverlay(), 1);
    host.GetCurrentMode(mode);
    EXPECT_EQ(mode, 0);
    EXPECT_GT(frames.load(), 0);
    EXPECT_FALSE(onUiThread.load());
}

TEST_F(CAcquireContainerTest, AStreamThatStopsFailsTheSnapshotWithinItsTimeoutAndSaysWhich)
{
    host.SetSnapshotTimeout(std::chrono::milliseconds(150));
    Select(16, 16, 32);
    std::vector<uint8_t> buffer(size_t(CAcquireContainer::FrameBufferSize(16, 16, 32)));
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(buffer.data());
    for (const bool live : {false, true}) {
        SCOPED_TRACE(live ? "live" : "still");
        if (live)
            host.Overlay();
        MessageBoxes().Reset();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(host.AcquireSnapshot(1, &header), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_NE(MessageBoxes().Boxes()[0].text.find("Simulated-Cam"), std::string::npos);
    }
    host.StopOverlay();
    // Counts outside 1..200 are refused without waiting.
    EXPECT_EQ(host.AcquireSnapshot(0, &header), 0);
    EXPECT_EQ(host.AcquireSnapshot(201, &header), 0);
}

TEST_F(CAcquireContainerTest, AnUnpluggedCameraEndsTheLiveDisplayOnceOnTheUiThreadAndItCanBeRestarted)
{
    // A driver that keeps its old size while failing, and one that drops its size to -1.
    for (const int keepSizes : {1, 0}) {
        SCOPED_TRACE(keepSizes ? "sizes kept" : "sizes dropped");
        Select(16, 16, 32);
        std::vector<std::string> ended;
        const std::thread::id uiThread = std::this_thread::get_id();
        host.SetStreamEnded([&](const std::string& name) {
            EXPECT_EQ(std::this_thread::get_id(), uiThread);
            ended.push_back(name);
        });
        std::atomic<int> frames{0};
        host.SetFuncGrabCallBack([&](const BITMAPINFOHEADER*) { return ++frames, 0; });
        StartFeeding();
        ASSERT_EQ(host.Overlay(), 1);
        const auto until = [](auto done) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!done() && std::chrono::steady_clock::now() < deadline)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            return done();
        };
        ASSERT_TRUE(until([&] { return frames > 0; }));
        m_unplug(keepSizes);
        ASSERT_TRUE(until([&] { return !ended.empty(); })) << "the display must give up on a dead device";
        EXPECT_EQ(ended, std::vector<std::string>{"Simulated-Cam"});
        int mode = -1;
        host.GetCurrentMode(mode);
        EXPECT_NE(mode, CAcquireContainer::kModeLive);
        EXPECT_EQ(host.IsOverlayWndActive(), 0);
        QCoreApplication::processEvents();
        EXPECT_EQ(ended.size(), 1u) << "said once";

        // Opened again (the camera is back), the display runs again.
        StopFeeding();
        ASSERT_EQ(host.SelectServer(0), 1);
        StartFeeding();
        const int before = frames;
        ASSERT_EQ(host.Overlay(), 1);
        EXPECT_TRUE(until([&] { return frames > before; }));
        host.GetCurrentMode(mode);
        EXPECT_EQ(mode, CAcquireContainer::kModeLive);
        StopFeeding();
        host.ReleaseServers();
    }
}

TEST_F(CAcquireContainerTest, WithSeveralDriversTheUserChoosesOneAndCancelKeepsTheFormer)
{
    // A second driver (listed first): another copy of the module, so a device of its own, here 24 x 8.
    const std::string second = m_folder.filePath("grab_second.so").toStdString();
    std::filesystem::copy_file(SIMULATED_DRIVER, second);
    CModule secondDevice;
    ASSERT_TRUE(secondDevice.Load(second));
    secondDevice.GetProc<SIM_SetDeviceFunction>("SIM_SetDevice")(1, 24, 8, 32);
    m_setDevice(1, 16, 16, 32);
    ASSERT_EQ(host.InstallServers(m_folder.path().toUtf8().constData()), 2);

    struct Case { int row; bool accept; int result; int width; };
    for (const Case c : {Case{1, true, 1, 16}, Case{0, false, 0, 16}, Case{0, true, 1, 24}}) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << (c.accept ? " OK" : " Cancel"));
        int shownRows = 0, preselected = -1;
        MessageBoxes().QueueModal([&](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), "ServerChooserDialog");
            auto* list = dialog.findChild<QListWidget*>("serverList");
            ASSERT_NE(list, nullptr);
            shownRows = list->count();
            preselected = list->currentRow();
            EXPECT_EQ(list->item(0)->text(), "Simulated-Cam");
            list->setCurrentRow(c.row);
            dialog.findChild<QPushButton*>(c.accept ? "okButton" : "cancelButton")->click();
        });
        EXPECT_EQ(host.SelectServer(0), c.result);
        EXPECT_EQ(shownRows, 2);
        int width = 0, height = 0, bits = 0;
        host.GetCaptureSizeNDepth(width, height, bits);
        EXPECT_EQ(width, c.width) << "the driver chosen, or the one before";
        if (c.row == 0 && c.accept) {
            EXPECT_EQ(preselected, 1) << "the chooser opens on the driver selected now";
        }
    }
}

TEST_F(CAcquireContainerTest, AMissingDeviceSelectsNothing)
{
    m_setDevice(0, 16, 16, 32);
    ASSERT_EQ(host.InstallServers(m_folder.path().toUtf8().constData()), 1);
    EXPECT_EQ(host.SelectServer(0), 0);
    EXPECT_EQ(host.IsSelected(), 0);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, "There is no capture device!");
    EXPECT_EQ(host.Overlay(), 0);
}

int g_notifications = 0;

TEST_F(CAcquireContainerTest, TheFormatNotificationAndStillImagesArriveLaterOnTheUiThread)
{
    g_notifications = 0;
    host.SetNotifyFunction([] { ++g_notifications; });
    int stillImages = 0;
    host.SetFunc4TwainBuffer([&](const BITMAPINFOHEADER* dib, size_t bytes) {
        EXPECT_EQ(int64_t(bytes), CAcquireContainer::FrameBufferSize(dib->biWidth, dib->biHeight, dib->biBitCount));
        ++stillImages;
    });
    Select(8, 8, 24);
    EXPECT_EQ(g_notifications, 0);  // not inside the driver's open
    QCoreApplication::processEvents();
    EXPECT_EQ(g_notifications, 1);

    StartFeeding();
    ASSERT_EQ(host.AcquireStillImage(), 1);
    StopFeeding();
    EXPECT_EQ(stillImages, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(stillImages, 1);
}

}  // namespace
