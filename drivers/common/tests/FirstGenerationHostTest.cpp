// The first-generation drivers on their simulated libraries, each alone in an acquisition folder, through the
// acquisition host as the program drives it: the driver is offered, live frames reach the grab callback and move,
// and a snapshot fills a DIB of the driver's size and depth.
#include "acqdriver/AcqDib.h"
#include "artray/sim/ArtCamSimControl.h"
#include "capturehost/CAcquireContainer.h"
#include "common/tests/HostTestVendors.h"
#include "kh1300/sim/ZclSimControl.h"
#include "module/CModule.h"
#include "mtpci/sim/MtpciSimControl.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace host_test;

struct Family
{
    const char* label;
    const char* driver;  // the driver module
    const char* vendor;  // its simulated library
    const char* name;    // what the host offers
    int width, height, bitsPerPixel;
    // A present, free-running device (and whatever files its driver opens it with, in `settings`).
    std::function<void(const std::string& vendor, const fs::path& settings)> prepare;
};

void PrepareKh1300(const std::string& vendor, const fs::path&)
{
    VendorCall<ZCLSIM_ResetFunction>(vendor, "ZCLSIM_Reset")();
    VendorCall<ZCLSIM_SetManualFunction>(vendor, "ZCLSIM_SetManual")(0);
    VendorCall<ZCLSIM_SetFrameIntervalFunction>(vendor, "ZCLSIM_SetFrameInterval")(10);
}

void PrepareMtpci(const std::string& vendor, const fs::path& settings)
{
    VendorCall<MTSIM_ResetFunction>(vendor, "MTSIM_Reset")();
    VendorCall<MTSIM_SetManualFunction>(vendor, "MTSIM_SetManual")(0);
    VendorCall<MTSIM_SetFrameIntervalFunction>(vendor, "MTSIM_SetFrameInterval")(10);
    const fs::path cameraSet = settings / "Grey640.ini";
    std::ofstream(cameraSet, std::ios::binary) << "[Camera]\r\nName=Test camera\r\nWidth=640\r\nHeight=480\r\n"
                                                   "BytesPerPixel=1\r\nPlaneType=1\r\nInterlaced=0\r\n";
    std::ofstream(settings / "MTPCI_CameraSet.cfg", std::ios::binary) << cameraSet.string() << "\r\n";
}

void PrepareArtray(const std::string& vendor, const fs::path&)
{
    VendorCall<ARTSIM_ResetFunction>(vendor, "ARTSIM_Reset")();
    VendorCall<ARTSIM_SetFreeRunFunction>(vendor, "ARTSIM_SetFreeRun")(10);
}

// Without a stored setting each driver opens its largest format.
const Family kFamilies[] = {
    {"Kh1300", KH1300_DRIVER, ZCL_SIM_LIBRARY, "KH-1300", 1600, 1200, 24, PrepareKh1300},
    {"Mtpci", MTPCI_DRIVER, MTPCI_SIM_LIBRARY, "MTPCI-TL", 640, 480, 8, PrepareMtpci},
    {"Artray", ARTRAY_DRIVER, ARTRAY_SIM_LIBRARY, "Artray", 1280, 1024, 24, PrepareArtray},
};

// The first row's pixels: every simulated device puts its frame counter into them.
std::string FirstRow(const BITMAPINFOHEADER* dib)
{
    const int64_t offset = AcqDibPixelOffset(*dib);
    if (offset < 0)
        return {};
    const auto* pixels = reinterpret_cast<const char*>(dib) + offset;
    return std::string(pixels, size_t(int64_t(dib->biWidth) * dib->biBitCount / 8));
}

void PrintTo(const Family& family, std::ostream* out)
{
    *out << family.label;
}

class FirstGenerationHostTest : public ::testing::TestWithParam<Family>
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
        const Family& family = GetParam();
        Vendor(family.vendor);
        family.prepare(family.vendor, Settings());
        fs::copy_file(family.driver, Drivers() / fs::path(family.driver).filename());
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
    const Family& family = GetParam();
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
    EXPECT_TRUE(WaitFor([&] {
        std::lock_guard guard(lock);
        return frames.size() >= 3;
    })) << "live frames that differ: " << frames.size();
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

INSTANTIATE_TEST_SUITE_P(Drivers, FirstGenerationHostTest, ::testing::ValuesIn(kFamilies),
    [](const ::testing::TestParamInfo<Family>& info) { return std::string(info.param.label); });

}  // namespace
