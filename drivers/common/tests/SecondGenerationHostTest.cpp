// The second-generation drivers on their simulated libraries, each alone in an acquisition folder, through the
// acquisition host as the program drives it: offered under the device's name, live frames as top-down DIBs in the
// device's row order, snapshots, settings edited in the host's dialog, kept in their archive file and restored
// at the next start; a kept file that is damaged leaves the defaults and says so.
#include "acqdriver/AcqDib.h"
#include "capturehost/CAcquireContainer.h"
#include "common/testing/HostTestVendors.h"
#include "flashbus/sim/FbusSimControl.h"
#include "module/CModule.h"
#include "testing/MessageBoxRecorder.h"
#include "u2/sim/MvuSimControl.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QWidget>

#include <atomic>
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
using testing_support::MessageBoxes;

struct Family
{
    const char* label;
    const char* driver;
    const char* vendor;
    const char* name;  // what the host offers: the device's name
    int width, height;
    std::function<void(const std::string& vendor)> prepare;  // a present device delivering frames
    // The blue byte of image row `row` of a frame of `height` rows: each device encodes its stored row there.
    int (*blueOfRow)(int row, int height);
    // The call the board log shows when the brightness `value` is applied.
    std::string (*brightnessCall)(int value);
    const char* (*log)(const std::string& vendor);
};

const Family kFamilies[] = {
    {"FlashBus", FLASHBUS_DRIVER, FBUS_SIM_LIBRARY, "FlashBus MV", 640, 480,
     [](const std::string& vendor) { VendorCall<FBUSSIM_ResetFunction>(vendor, "FBUSSIM_Reset")(); },
     // Stored bottom-up: image row i is stored row height - 1 - i.
     [](int row, int height) { return (height - 1 - row) & 0xFF; },
     [](int value) { return "29(2," + std::to_string(value) + ")"; },
     [](const std::string& vendor) { return VendorCall<FBUSSIM_CallLogFunction>(vendor, "FBUSSIM_CallLog")(); }},
    {"U2", U2_DRIVER, MVU_SIM_LIBRARY, "Visix U2", 640, 480,
     [](const std::string& vendor) {
         VendorCall<MVUSIM_ResetFunction>(vendor, "MVUSIM_Reset")();
         VendorCall<MVUSIM_SetFreeRunningFunction>(vendor, "MVUSIM_SetFreeRunning")(1);
     },
     [](int row, int) { return row & 0xFF; },
     [](int value) { return "digReference(1," + std::to_string(value + 10) + ")"; },
     [](const std::string& vendor) { return VendorCall<MVUSIM_CallLogFunction>(vendor, "MVUSIM_CallLog")(); }},
};

void PrintTo(const Family& family, std::ostream* out)
{
    *out << family.label;
}

const uint8_t* Row(const BITMAPINFOHEADER* dib, int row)
{
    return reinterpret_cast<const uint8_t*>(dib) + AcqDibPixelOffset(*dib) + AcqDibStride(dib->biWidth, 24) * row;
}

class SecondGenerationHostTest : public ::testing::TestWithParam<Family>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        fs::create_directories(Settings());
        fs::create_directories(Drivers());
        setenv("VISTREL_DRIVER_SETTINGS", Settings().c_str(), 1);
        MessageBoxes().Reset();
        const Family& family = GetParam();
        Vendor(family.vendor);
        family.prepare(family.vendor);
        fs::copy_file(family.driver, Drivers() / fs::path(family.driver).filename());
        StartHost();
    }
    void TearDown() override
    {
        host->ReleaseServers();
        unsetenv("VISTREL_DRIVER_SETTINGS");
    }

    // As the program starts: a new host over the folder.
    void StartHost()
    {
        if (host)
            host->ReleaseServers();
        host = std::make_unique<CAcquireContainer>();
        host->SetInstClient(this);
        host->SetHwndClient(&m_mainWindow);
        host->SetLoadGuardFolder((fs::path(m_folder.path().toStdString()) / "guard").string());
        host->SetSnapshotTimeout(kBound);
    }
    fs::path Settings() const { return fs::path(m_folder.path().toStdString()) / "settings"; }
    fs::path Drivers() const { return fs::path(m_folder.path().toStdString()) / "Acquisition"; }
    fs::path Archive() const
    {
        return Settings() / (fs::path(GetParam().driver).stem().string() + ".acqprop");
    }
    std::string BoardLog() const { return GetParam().log(GetParam().vendor); }

    // Sets the dialog's brightness (and signal, when given) and presses OK.
    static void EditBrightness(int brightness, int signal = -1)
    {
        MessageBoxes().QueueModal([=](QDialog& dialog) {
            auto* spin = dialog.findChild<QSpinBox*>("brightnessSpin");
            ASSERT_NE(spin, nullptr);
            spin->setValue(brightness);
            if (signal >= 0)
                dialog.findChild<QSpinBox*>("signalSpin")->setValue(signal);
            dialog.accept();
        });
    }

    QTemporaryDir m_folder;
    QWidget m_mainWindow;
    std::unique_ptr<CAcquireContainer> host;
};

TEST_P(SecondGenerationHostTest, IsOfferedShowsLiveTopDownFramesAndSnapsADibOfItsSize)
{
    const Family& family = GetParam();
    ASSERT_EQ(host->InstallServers(Drivers().c_str()), 1);
    EXPECT_EQ(host->GetServerName(0), family.name);
    ASSERT_EQ(host->SelectServer(0), 1);
    int width = 0, height = 0, bits = 0;
    ASSERT_EQ(host->GetCaptureSizeNDepth(width, height, bits), 1);
    EXPECT_EQ(width, family.width);
    EXPECT_EQ(height, family.height);
    EXPECT_EQ(bits, 24);

    std::mutex lock;
    std::set<int> reds;  // the frame counter each device puts into its pixels
    int wrong = 0;
    host->SetFuncGrabCallBack([&](const BITMAPINFOHEADER* dib) {
        std::lock_guard guard(lock);
        if (!dib || dib->biWidth != family.width || dib->biHeight != -family.height || dib->biBitCount != 24) {
            ++wrong;
            return 0;
        }
        for (int row : {0, 1, family.height / 2, family.height - 1})
            wrong += Row(dib, row)[0] != family.blueOfRow(row, family.height);
        reds.insert(Row(dib, 0)[2]);
        return 0;
    });
    ASSERT_EQ(host->Overlay(), 1);
    EXPECT_TRUE(WaitFor([&] {
        std::lock_guard guard(lock);
        return reds.size() >= 3;
    })) << "live frames that differ: " << reds.size();
    int mode = 0;
    host->GetCurrentMode(mode);
    EXPECT_EQ(mode, CAcquireContainer::kModeLive);
    ASSERT_EQ(host->StopOverlay(), 1);
    EXPECT_EQ(wrong, 0) << "frames of another shape or row order";

    std::vector<uint8_t> buffer(size_t(CAcquireContainer::FrameBufferSize(width, -height, 24)));
    BITMAPINFOHEADER* headers[] = {reinterpret_cast<BITMAPINFOHEADER*>(buffer.data())};
    ASSERT_EQ(host->AcquireSnapshot(1, headers), 1);
    EXPECT_EQ(headers[0]->biWidth, width);
    EXPECT_EQ(headers[0]->biHeight, -height);
    EXPECT_EQ(Row(headers[0], height - 1)[0], family.blueOfRow(height - 1, height));
    EXPECT_TRUE(MessageBoxes().Boxes().empty());
}

TEST_P(SecondGenerationHostTest, EditedSettingsAreAppliedKeptAndRestoredAtTheNextStart)
{
    const Family& family = GetParam();
    ASSERT_EQ(host->InstallServers(Drivers().c_str()), 1);
    ASSERT_EQ(host->SelectServer(0), 1);
    EXPECT_FALSE(fs::exists(Archive())) << "nothing kept before the user applies anything";
    // While live: a new signal format makes the driver rebuild under the host lock and notify inside it, where
    // the host takes the lock again.
    std::atomic<int> frames{0};
    host->SetFuncGrabCallBack([&](const BITMAPINFOHEADER*) {
        ++frames;
        return 0;
    });
    ASSERT_EQ(host->Overlay(), 1);
    ASSERT_TRUE(WaitFor([&] { return frames > 0; }));
    EditBrightness(7, 1);
    ASSERT_EQ(host->Property(0), 1);
    EXPECT_NE(std::string(BoardLog()).find(family.brightnessCall(7)), std::string::npos) << BoardLog();
    ASSERT_TRUE(fs::is_regular_file(Archive()));
    const int before = frames;
    EXPECT_TRUE(WaitFor([&] { return frames > before + 2; })) << "live frames go on in the new format";
    host->StopOverlay();
    int width = 0, height = 0, bits = 0;
    host->GetCaptureSizeNDepth(width, height, bits);

    // A cancelled dialog changes nothing.
    MessageBoxes().QueueModal([](QDialog& dialog) {
        dialog.findChild<QSpinBox*>("brightnessSpin")->setValue(20);
        dialog.reject();
    });
    EXPECT_EQ(host->Property(0), 0);

    // The next start opens with what was kept: the same format and the brightness sent again.
    StartHost();
    family.prepare(family.vendor);
    ASSERT_EQ(host->InstallServers(Drivers().c_str()), 1);
    ASSERT_EQ(host->SelectServer(0), 1);
    EXPECT_NE(std::string(BoardLog()).find(family.brightnessCall(7)), std::string::npos) << BoardLog();
    int keptWidth = 0, keptHeight = 0;
    host->GetCaptureSizeNDepth(keptWidth, keptHeight, bits);
    EXPECT_EQ(keptWidth, width);
    EXPECT_EQ(keptHeight, height);
    // The dialog shows the kept values; its defaults button brings the device's back.
    MessageBoxes().QueueModal([&family](QDialog& dialog) {
        // For a person to look at.
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
        QDir().mkpath(folder);
        dialog.grab().save(folder + QStringLiteral("/acq2-settings-%1.png").arg(QLatin1String(family.label)));
        EXPECT_EQ(dialog.findChild<QSpinBox*>("brightnessSpin")->value(), 7);
        EXPECT_EQ(dialog.findChild<QSpinBox*>("signalSpin")->value(), 1);
        dialog.findChild<QPushButton*>("defaultsButton")->click();
        EXPECT_NE(dialog.findChild<QSpinBox*>("brightnessSpin")->value(), 7);
        dialog.accept();
    });
    ASSERT_EQ(host->Property(0), 1);
    host->GetCaptureSizeNDepth(width, height, bits);
    EXPECT_EQ(width, family.width);
    EXPECT_EQ(height, family.height);
    EXPECT_TRUE(MessageBoxes().Boxes().empty()) << MessageBoxes().Boxes().front().text;
}

TEST_P(SecondGenerationHostTest, AKeptFileThatIsDamagedLeavesTheDefaultsAndSaysSo)
{
    const Family& family = GetParam();
    ASSERT_EQ(host->InstallServers(Drivers().c_str()), 1);
    ASSERT_EQ(host->SelectServer(0), 1);
    EditBrightness(5);
    ASSERT_EQ(host->Property(0), 1);
    std::string kept;
    {
        std::ifstream in(Archive(), std::ios::binary);
        kept.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(kept.size(), 40u);

    struct Case
    {
        const char* label;
        std::string bytes;
    };
    const Case cases[] = {
        {"truncated", kept.substr(0, kept.size() / 2)},
        {"not an archive", "hello"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::ofstream(Archive(), std::ios::binary | std::ios::trunc) << c.bytes;
        MessageBoxes().Reset();
        StartHost();
        family.prepare(family.vendor);
        ASSERT_EQ(host->InstallServers(Drivers().c_str()), 1);
        ASSERT_EQ(host->SelectServer(0), 1) << "the device opens with its defaults";
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_NE(MessageBoxes().Boxes()[0].text.find(Archive().string()), std::string::npos);
        EXPECT_EQ(std::string(BoardLog()).find(family.brightnessCall(5)), std::string::npos) << BoardLog();
        std::ifstream in(Archive(), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.bytes) << "the user's file is kept as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, SecondGenerationHostTest, ::testing::ValuesIn(kFamilies),
    [](const ::testing::TestParamInfo<Family>& info) { return std::string(info.param.label); });

}  // namespace
