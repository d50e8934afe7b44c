// Every first-generation driver deliverable on its simulated library, each alone in an acquisition folder, through
// the acquisition host as the program drives it: the driver is offered, live frames reach the grab callback and
// move, and a snapshot fills a DIB of the driver's size and depth.
#include "acqdriver/AcqDib.h"
#include "capturehost/CAcquireContainer.h"
#include "common/testing/FirstGenerationSims.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using host_test::kBound;
using host_test::WaitFor;

// The first row's pixels: every simulated device puts its frame counter into them.
std::string FirstRow(const BITMAPINFOHEADER* dib)
{
    const int64_t offset = AcqDibPixelOffset(*dib);
    if (offset < 0)
        return {};
    const auto* pixels = reinterpret_cast<const char*>(dib) + offset;
    return std::string(pixels, size_t(int64_t(dib->biWidth) * dib->biBitCount / 8));
}

class FirstGenerationHostTest : public ::testing::TestWithParam<FirstGenerationDeliverable>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        fs::create_directories(Settings());
        fs::create_directories(Drivers());
        // The drivers keep their settings here, never in the build's program folder.
        setenv("VISTREL_DRIVER_SETTINGS", Settings().c_str(), 1);
        // As the program starts the host: the main window owns every driver (one refuses frames without it).
        host.SetInstClient(this);
        host.SetHwndClient(&m_mainWindow);
        host.SetLoadGuardFolder((fs::path(m_folder.path().toStdString()) / "guard").string());
        const FirstGenerationDeliverable& family = GetParam();
        family.Prepare(Settings());
        fs::copy_file(family.DriverPath(), Drivers() / family.module);
    }
    void TearDown() override { host.ReleaseServers(); }

    fs::path Settings() const { return fs::path(m_folder.path().toStdString()) / "settings"; }
    fs::path Drivers() const { return fs::path(m_folder.path().toStdString()) / "Acquisition"; }

    QTemporaryDir m_folder;
    QWidget m_mainWindow;
    CAcquireContainer host;
};

TEST_P(FirstGenerationHostTest, IsOfferedShowsMovingLiveFramesAndSnapsADibOfItsFormat)
{
    const FirstGenerationDeliverable& family = GetParam();
    ASSERT_EQ(host.InstallServers(Drivers().c_str()), 1);
    EXPECT_EQ(host.GetServerName(0), family.name);
    ASSERT_EQ(host.SelectServer(0), 1);
    int width = 0, height = 0, bits = 0;
    ASSERT_EQ(host.GetCaptureSizeNDepth(width, height, bits), 1);
    EXPECT_EQ(width, family.width);
    EXPECT_EQ(height, family.height);
    EXPECT_EQ(bits, family.bitsPerPixel);

    std::mutex lock;
    std::set<std::string> frames;
    int wrongFormat = 0;
    host.SetFuncGrabCallBack([&](const BITMAPINFOHEADER* dib) {
        std::lock_guard guard(lock);
        if (!dib || dib->biWidth != family.width || std::abs(dib->biHeight) != family.height
            || dib->biBitCount != family.bitsPerPixel)
            ++wrongFormat;
        else
            frames.insert(FirstRow(dib));
        return 0;
    });
    ASSERT_EQ(host.Overlay(), 1);
    size_t differing = 0;  // read under the lock: the live thread may still be adding
    EXPECT_TRUE(WaitFor([&] {
        std::lock_guard guard(lock);
        differing = frames.size();
        return differing >= 3;
    })) << "live frames that differ: " << differing;
    ASSERT_EQ(host.StopOverlay(), 1);
    EXPECT_EQ(wrongFormat, 0);

    std::vector<uint8_t> buffer(size_t(CAcquireContainer::FrameBufferSize(width, height, bits)));
    BITMAPINFOHEADER* headers[] = {reinterpret_cast<BITMAPINFOHEADER*>(buffer.data())};
    host.SetSnapshotTimeout(kBound);
    ASSERT_EQ(host.AcquireSnapshot(1, headers), 1);
    EXPECT_EQ(headers[0]->biWidth, family.width);
    EXPECT_EQ(std::abs(headers[0]->biHeight), family.height);
    EXPECT_EQ(headers[0]->biBitCount, family.bitsPerPixel);
    const std::string row = FirstRow(headers[0]);
    EXPECT_NE(row.find_first_not_of('\0'), std::string::npos) << "the snapshot holds no frame";
}

INSTANTIATE_TEST_SUITE_P(Drivers, FirstGenerationHostTest, ::testing::ValuesIn(kFirstGenerationDeliverables),
    [](const ::testing::TestParamInfo<FirstGenerationDeliverable>& info) { return std::string(info.param.label); });

}  // namespace
