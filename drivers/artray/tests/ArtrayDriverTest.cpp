// The five ARTRAY driver modules on their simulated libraries: the first-generation contract, the settings file,
// the result codes of each model, the scan option crop and the device property dialog, and faults mid-stream.
#include "artray/tests/ArtraySimSupport.h"
#include "common/testing/AcqContractHost.h"

#include "testing/MessageBoxRecorder.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

// The settings files go to a temporary folder, never the build's program folder.
class TemporarySettings : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() / ("artray_tests_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        setenv("VISTREL_DRIVER_SETTINGS", m_folder.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

private:
    std::filesystem::path m_folder;
};
const auto* const g_settings = ::testing::AddGlobalTestEnvironment(new TemporarySettings);

std::string SettingsPath(ArtrayModelId id)
{
    return std::string(std::getenv("VISTREL_DRIVER_SETTINGS")) + "/" + GetArtrayModel(id).settingsFile;
}

std::string SettingsText(ArtrayModelId id)
{
    std::ifstream in(SettingsPath(id), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void StoreSettings(ArtrayModelId id, const std::string& text)
{
    std::filesystem::remove(SettingsPath(id));
    if (!text.empty()) {
        std::ofstream out(SettingsPath(id), std::ios::binary);
        out << text;
    }
}

void ResetSim(ArtrayModelId id)
{
    ArtraySimCall<ARTSIM_ResetFunction>(id, "ARTSIM_Reset")();
}

bool Deliver(ArtrayModelId id, int seed, int complete = 1)
{
    return ArtraySimCall<ARTSIM_DeliverFunction>(id, "ARTSIM_Deliver")(seed, complete) == 1;
}

// The rows of the centred crop (w x h) of frame `seed`, packed.
std::vector<uint8_t> CropRows(ArtrayModelId id, int seed, int row)
{
    const ArtrayModel& model = GetArtrayModel(id);
    const ArtrayResolution& full = model.rows[0];
    const ArtrayResolution& crop = model.rows[row];
    const std::vector<uint8_t> frame = ArtraySimFrame(id, seed);
    std::vector<uint8_t> rows;
    const int x0 = (full.width - crop.width) / 2, y0 = (full.height - crop.height) / 2;
    for (int y = 0; y < crop.height; ++y) {
        const auto begin = frame.begin() + (int64_t(y0 + y) * full.width + x0) * 3;
        rows.insert(rows.end(), begin, begin + crop.width * 3);
    }
    return rows;
}

AcqContractCase ArtrayCase(ArtrayModelId id)
{
    const ArtrayModel& model = GetArtrayModel(id);
    AcqContractCase c;
    c.label = model.name;
    c.modulePath = ArtrayDriverPath(id);
    c.expectedName = model.name;
    c.width = model.rows[0].width;
    c.height = model.rows[0].height;
    c.bitsPerPixel = 24;
    c.prepareDevice = [id](const CModule&, const AcqContractCase&) {
        ArtraySim(id);
        ResetSim(id);
        StoreSettings(id, "");
    };
    c.deliverFrame = [id](const CModule&, const AcqContractCase&, int seed) { return Deliver(id, seed); };
    c.expectedRows = [id](const AcqContractCase&, int seed) { return ArtraySimFrame(id, seed); };
    return c;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Artray, AcqContractTest,
    ::testing::Values(ArtrayCase(ArtrayModelId::Artray300MI), ArtrayCase(ArtrayModelId::Artray500PII),
        ArtrayCase(ArtrayModelId::Artray150PIII), ArtrayCase(ArtrayModelId::Artray),
        ArtrayCase(ArtrayModelId::Artray200SH)),
    AcqContractCaseName);

class ArtrayDriverTest : public ::testing::TestWithParam<ArtrayModelId>
{
protected:
    void SetUp() override { Prepare(GetParam()); }
    void TearDown() override
    {
        if (host.Exports().ACQ_Release)
            host.Exports().ACQ_Release();
        host.Unload();
        testing_support::MessageBoxes().Reset();
    }
    void Prepare(ArtrayModelId id, const std::string& settings = "")
    {
        ArtraySim(id);
        ResetSim(id);
        StoreSettings(id, settings);
        ASSERT_TRUE(host.Load(ArtrayDriverPath(id))) << host.Error();
        AcqContractHost::ResetNotifications();
    }
    const ArtrayModel& Model() const { return GetArtrayModel(GetParam()); }

    AcqContractHost host;
};

TEST_P(ArtrayDriverTest, DepthIsZeroBeforeTheFirstOpening)
{
    int depth = -1;
    ASSERT_EQ(host.Exports().ACQ_GetDepth(&depth), ACQ_OK);
    EXPECT_EQ(depth, 0);
    ASSERT_EQ(host.Open(), ACQ_OK);
    EXPECT_EQ(host.Depth(), 24);
}

TEST_P(ArtrayDriverTest, NoNewFrameAnswersNineAfterTheModelsPauseAndKeepsTheDib)
{
    ASSERT_EQ(host.Open(), ACQ_OK);
    AcqTestDib dib(host.Width(), host.Height(), 24);
    std::memset(dib.Rows(), 0x5A, size_t(dib.Stride()) * host.Height());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(host.Exports().ACQ_Acquire(dib.Header()), ACQ_NO_NEW_FRAME);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(Model().noFramePauseMs));
    EXPECT_EQ(dib.Row(0, 3), std::vector<uint8_t>(3, 0x5A));
    // A snapshot with no frame yet copies nothing and says so.
    EXPECT_EQ(host.Exports().ACQ_AcquireSnapshot(dib.Header()), ACQ_FAIL);
}

TEST_P(ArtrayDriverTest, ReleaseWritesTheLibraryTypeAndTheRowAndTheRowSurvivesARestart)
{
    ASSERT_EQ(host.Open(), ACQ_OK);
    const int last = Model().rowCount - 1;
    testing_support::MessageBoxes().QueueModal([&](QDialog& property) {
        testing_support::MessageBoxes().QueueModal([&](QDialog& scan) {
            auto* row = scan.findChild<QRadioButton*>(QStringLiteral("row%1").arg(Model().rows[last].buttonId));
            ASSERT_NE(row, nullptr);
            row->click();
            scan.findChild<QPushButton*>("ok")->click();
        });
        property.findChild<QPushButton*>("scanOption")->click();
        property.findChild<QPushButton*>("ok")->click();
    });
    EXPECT_EQ(host.Exports().ACQ_Setup(), ACQ_OK);
    EXPECT_EQ(AcqContractHost::Notifications(), 2) << "the opening and the scan change";
    host.ReadSize();
    EXPECT_EQ(host.Width(), Model().rows[last].width);
    EXPECT_EQ(host.Height(), Model().rows[last].height);
    ASSERT_EQ(host.Exports().ACQ_Release(), ACQ_OK);

    const std::string text = SettingsText(GetParam());
    const std::string type = std::string("[") + Model().typeSection + "]";
    const std::string index = std::string("[") + Model().indexSection + "]";
    EXPECT_NE(text.find(type), std::string::npos) << text;
    EXPECT_NE(text.find("DllType=" + std::to_string(Model().dllType)), std::string::npos) << text;
    EXPECT_NE(text.find(index), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(Model().indexKey) + "=" + std::to_string(last)), std::string::npos) << text;

    host.Unload();
    ASSERT_TRUE(host.Load(ArtrayDriverPath(GetParam()))) << host.Error();
    ASSERT_EQ(host.Open(), ACQ_OK);
    EXPECT_EQ(host.Width(), Model().rows[last].width);
    AcqTestDib dib(host.Width(), host.Height(), 24);
    ASSERT_TRUE(Deliver(GetParam(), 11));
    ASSERT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
    const std::vector<uint8_t> expected = CropRows(GetParam(), 11, last);
    const int64_t rowBytes = int64_t(host.Width()) * 3;
    for (int y : {0, 1, host.Height() - 1})
        ASSERT_EQ(dib.Row(y, rowBytes), std::vector<uint8_t>(expected.begin() + y * rowBytes,
                                            expected.begin() + (y + 1) * rowBytes)) << "row " << y;
}

TEST_P(ArtrayDriverTest, AStoredRowOutsideTheTableFallsBackToTheFullFrame)
{
    for (const char* stored : {"17", "-1", "6"}) {
        SCOPED_TRACE(stored);
        host.Unload();
        Prepare(GetParam(), std::string("[") + Model().indexSection + "]\r\n" + Model().indexKey + "=" + stored + "\r\n");
        ASSERT_EQ(host.Open(), ACQ_OK);
        const bool inTable = std::atoi(stored) >= 0 && std::atoi(stored) < Model().rowCount;
        EXPECT_EQ(host.Width(), Model().rows[inTable ? std::atoi(stored) : 0].width);
        host.Exports().ACQ_Release();
    }
}

TEST_P(ArtrayDriverTest, ACancelledVideoFormatDialogLeavesTheCaptureRunningWithoutNews)
{
    ASSERT_EQ(host.Open(), ACQ_OK);
    for (const int ok : {0, 1}) {
        SCOPED_TRACE(ok);
        ArtraySimCall<ARTSIM_SetDialogAnswerFunction>(GetParam(), "ARTSIM_SetDialogAnswer")(ok);
        AcqContractHost::ResetNotifications();
        testing_support::MessageBoxes().QueueModal([](QDialog& property) {
            property.findChild<QPushButton*>("videoFormat")->click();
            property.findChild<QPushButton*>("cancel")->click();
        });
        host.Exports().ACQ_Setup();
        EXPECT_EQ(AcqContractHost::Notifications(), ok);
        AcqTestDib dib(host.Width(), host.Height(), 24);
        ASSERT_TRUE(Deliver(GetParam(), 20 + ok)) << "the capture runs again";
        EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
    }
}

TEST_P(ArtrayDriverTest, AnUnpluggedCameraAnswersWithoutHangingAndOpensAgainWhenBack)
{
    ArtraySimCall<ARTSIM_SetFreeRunFunction>(GetParam(), "ARTSIM_SetFreeRun")(2);
    ASSERT_EQ(host.Open(), ACQ_OK);
    AcqTestDib dib(host.Width(), host.Height(), 24);
    ASSERT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
    ArtraySimCall<ARTSIM_UnplugFunction>(GetParam(), "ARTSIM_Unplug")();
    // The frames announced before the unplug may still be handed out, whenever their messages are handled: the
    // one being handled and the one waiting (waiting messages merge). No other frame comes, and no call hangs.
    int handedOut = 0;
    for (int i = 0; i < 20; ++i) {
        const int result = host.Exports().ACQ_Acquire(dib.Header());
        ASSERT_TRUE(result == ACQ_OK || result == ACQ_NO_NEW_FRAME) << result;
        handedOut += result == ACQ_OK;
    }
    EXPECT_LE(handedOut, 2);
    host.Exports().ACQ_Release();
    EXPECT_EQ(host.Open(), ACQ_FAIL) << "no camera while unplugged";
    ResetSim(GetParam());
    ArtraySimCall<ARTSIM_SetFreeRunFunction>(GetParam(), "ARTSIM_SetFreeRun")(2);
    ASSERT_EQ(host.Open(), ACQ_OK);
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
}

INSTANTIATE_TEST_SUITE_P(Artray, ArtrayDriverTest,
    ::testing::Values(ArtrayModelId::Artray300MI, ArtrayModelId::Artray500PII, ArtrayModelId::Artray150PIII,
        ArtrayModelId::Artray, ArtrayModelId::Artray200SH),
    [](const ::testing::TestParamInfo<ArtrayModelId>& info) {
        return std::string(GetArtrayModel(info.param).name);
    });
