#include "core/tests/AppFakes.h"

#include "core/ProfileSettings.h"
#include "profile/CAppProfile.h"
#include "profile/CRegKey.h"
#include "testing/MessageBoxRecorder.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>

using namespace app_fakes;
namespace fs = std::filesystem;

namespace {

bool Contains(const Log& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) != log.end();
}

// The entries of `log` that are also in `wanted`, in the order they happened.
Log Only(const Log& log, const Log& wanted)
{
    Log result;
    for (const std::string& entry : log)
        if (std::find(wanted.begin(), wanted.end(), entry) != wanted.end())
            result.push_back(entry);
    return result;
}

std::vector<BYTE> RawValue(const char* key, const char* name)
{
    CRegKey opened;
    std::vector<BYTE> bytes;
    DWORD type = 0;
    if (opened.Open(HKEY_CURRENT_USER, key, KEY_READ) == ERROR_SUCCESS)
        opened.QueryValue(name, type, bytes);
    return bytes;
}

std::vector<BYTE> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

}  // namespace

using AppStartupTest = AppFixture;

TEST_F(AppStartupTest, StartBringsThePartsUpInOrderAndShutDownWritesCalibrationsThenProfile)
{
    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    EXPECT_EQ(g_bAppStarted, 1);
    EXPECT_EQ(vistrel.ProgramFolder(), rootFolder);

    const Log startOrder{"LoadFrame",
                         "LoadProfile",
                         "SetInstClient",
                         "SetHwndClient",
                         // The drivers ship with the program: they load from its own folder, not the user root.
                         "InstallServers /nonexistent/components/Acquisition/",
                         "SetExtTrigger",
                         "AttachApplication",
                         "Read calibration.cst",
                         "Read lastcalibration.cal",
                         "ReportPath " + rootFolder + "report.rfg",
                         "BuildCommandBars",
                         "RestorePlacement",
                         "RefillCalibrationBoxes"};
    EXPECT_EQ(Only(log, startOrder), startOrder);
    EXPECT_EQ(host.m_trigger, &CVistrelApp::OnExternalTrigger);
    EXPECT_EQ(AppProfile().GetProfileString("AppPath", "Path"), rootFolder);
    // Companion programs find the program by these, stored without a terminating zero.
    EXPECT_EQ(RawValue("SOFTWARE\\QRX", "VQ_PRODUCT"), Bytes("Vistrel Lite"));
    EXPECT_EQ(RawValue("SOFTWARE\\QRX", "VQ_PRODUCT_PATH"), Bytes("/nonexistent/Vistrel"));
    EXPECT_EQ(footSwitch.targetMessage, 25025u);
    EXPECT_EQ(footSwitch.targetWindow, static_cast<void*>(&footSwitch));
    EXPECT_EQ(0, std::memcmp(footSwitch.added.bytes, footSwitch.selected.bytes, 16));

    log.clear();
    host.mode = kAcquireModeLiveOverlay;
    EXPECT_EQ(vistrel.ExitInstance(), 0);
    EXPECT_EQ(log, (Log{"StopOverlay", "ReleaseServers", "Write calibration.cst", "Write lastcalibration.cal",
                        "SaveProfile"}));
    EXPECT_EQ(g_bAppStarted, 0);
}

// Whatever the user calibrated since the start is in these files: a write that fails is said, not swallowed.
TEST_F(AppStartupTest, ACalibrationFileThatCannotBeWrittenAtShutDownIsReported)
{
    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    auto& boxes = testing_support::MessageBoxes();
    boxes.Reset();
    log.clear();
    calibrations.failListWrite = true;
    EXPECT_EQ(vistrel.ExitInstance(), 0);
    EXPECT_EQ(log, (Log{"ReleaseServers", "Write calibration.cst", "Write lastcalibration.cal", "SaveProfile"}));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].type & MB_ICONERROR, 0u);
    EXPECT_NE(boxes.Boxes()[0].text.find(rootFolder + "Calibration/"), std::string::npos) << boxes.Boxes()[0].text;
}

TEST_F(AppStartupTest, RunningVideoRecorderKeepsAcquisitionUninstalledAndPublishesNothing)
{
    gate.windowTitles["Video Recorder"] = 1;
    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    EXPECT_FALSE(Contains(log, "SetInstClient"));
    EXPECT_FALSE(Contains(log, "SetExtTrigger"));
    EXPECT_TRUE(RawValue("SOFTWARE\\QRX", "VQ_PRODUCT").empty());
    EXPECT_TRUE(RawValue("SOFTWARE\\QRX", "VQ_PRODUCT_PATH").empty());
    // The rest of the start is unchanged.
    EXPECT_TRUE(Contains(log, "Read calibration.cst"));
    EXPECT_EQ(g_bAppStarted, 1);

    log.clear();
    vistrel.ExitInstance();
    EXPECT_EQ(log.front(), "ReleaseServers");
}

TEST_F(AppStartupTest, FailedStartWritesNoSettingsButStillReleasesTheHost)
{
    frameLoads = false;
    host.mode = kAcquireModeLiveOverlay;
    CVistrelApp& vistrel = MakeApp();
    EXPECT_FALSE(vistrel.InitInstance());
    EXPECT_EQ(g_bAppStarted, 0);

    log.clear();
    vistrel.ExitInstance();
    EXPECT_EQ(log, (Log{"StopOverlay", "ReleaseServers"}));
}

TEST_F(AppStartupTest, SecondStartHandsOverAndEndsQuietly)
{
    gate.anotherInstance = true;
    CVistrelApp& second = MakeApp({QStringLiteral("--open"), QStringLiteral("/images/a.png")});
    EXPECT_FALSE(second.InitInstance());
    EXPECT_EQ(second.GetMainWnd(), nullptr);
    EXPECT_FALSE(Contains(log, "LoadFrame"));
    second.ExitInstance();
    EXPECT_FALSE(Contains(log, "Write calibration.cst"));
}

TEST_F(AppStartupTest, RestoreRequestRaisesTheRunningWindow)
{
    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    ASSERT_TRUE(gate.restore);
    gate.restore({"/images/a.png"});
    EXPECT_TRUE(Contains(log, "RestoreAndRaise"));
    vistrel.ExitInstance();
    EXPECT_FALSE(gate.claimed);
}

TEST_F(AppStartupTest, LayoutScriptsFollowTheStoredUiVersion)
{
    struct Case
    {
        int storedVersion;  // -1: none stored
        std::vector<std::string> scripts;
    };
    const Case cases[] = {
        {-1, {"VistrelVM.reg"}},
        {3, {"DelVistrelVM.reg", "VistrelVM.reg"}},
        {5, {}},
        {6, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedVersion);
        AppProfile().SetRegistryKey(kProfileRegistryKey);
        AppProfile().SetAppName(kProfileAppName);
        AppProfile().WriteProfileString("UI", nullptr, nullptr);
        if (c.storedVersion != -1)
            AppProfile().WriteProfileInt("UI", "Version", c.storedVersion);
        importer.scripts.clear();
        CVistrelApp& vistrel = MakeApp();
        ASSERT_TRUE(vistrel.InitInstance());
        EXPECT_EQ(importer.scripts, c.scripts);
        EXPECT_EQ(AppProfile().GetProfileInt("UI", "Version", -1), std::max(c.storedVersion, 5));
        vistrel.ExitInstance();
        app.reset();
    }
}

TEST_F(AppStartupTest, TempFolderLosesItsFilesButKeepsSubFolders)
{
    const std::string temp = rootFolder + "TEMP/";
    fs::create_directories(temp + "sub");
    std::ofstream(temp + "undo0.tmp") << "x";
    std::ofstream(temp + ".hidden") << "x";
    std::ofstream(temp + "sub/keep.txt") << "x";
    fs::create_directories(rootFolder + "elsewhere");
    std::ofstream(rootFolder + "elsewhere/target.txt") << "x";
    fs::create_directory_symlink(rootFolder + "elsewhere", temp + "link");

    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    EXPECT_FALSE(fs::exists(temp + "undo0.tmp"));
    EXPECT_FALSE(fs::exists(temp + ".hidden"));
    EXPECT_TRUE(fs::exists(temp + "sub/keep.txt"));
    // A link to a folder is a folder entry: neither it nor what it points at is touched.
    EXPECT_TRUE(fs::exists(rootFolder + "elsewhere/target.txt"));
    vistrel.ExitInstance();
}

TEST_F(AppStartupTest, TempFolderIsMadeWhenMissing)
{
    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    EXPECT_TRUE(fs::is_directory(rootFolder + "TEMP"));
    EXPECT_TRUE(fs::is_directory(rootFolder + "Calibration"));
    vistrel.ExitInstance();
}

TEST_F(AppStartupTest, ExternalTriggerFromAnotherThreadQueuesTheCaptureCommand)
{
    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    log.clear();
    // The UI thread runs no events while the trigger fires: a trigger that waited for it would never return.
    std::thread trigger([this] { host.m_trigger(); });
    trigger.join();
    EXPECT_TRUE(log.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(log, (Log{"Command 1249"}));
    vistrel.ExitInstance();
    app.reset();
    log.clear();
    CVistrelApp::OnExternalTrigger();  // no application: nothing to reach, nothing happens
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.empty());
}

TEST_F(AppStartupTest, HelpFileBecomesThePdfBesideTheProgram)
{
    struct Case
    {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"/opt/Vistrel/Vistrel.HLP", "/opt/Vistrel/Vistrel.pdf"},
        {"/a.HLP/b.HLP", "/a.pdf/b.pdf"},
        {"/opt/Vistrel/Vistrel.hlp", "/opt/Vistrel/Vistrel.hlp"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HelpPathForPdf(c.in), c.out) << c.in;

    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    EXPECT_EQ(vistrel.HelpFilePath(), "/nonexistent/Vistrel.pdf");
    vistrel.ExitInstance();
}

TEST(AppCommandLineTest, OnlyOpenAndRootAreActedOn)
{
    const VistrelCommandLine plain = ParseVistrelCommandLine({"Vistrel", "picture.png"}, "/opt/Vistrel/Vistrel");
    EXPECT_EQ(plain.root, "/opt/Vistrel/");
    EXPECT_TRUE(plain.openPaths.empty());

    const VistrelCommandLine full = ParseVistrelCommandLine(
        {"Vistrel", "--open", "/img/a.png", "stray", "--root", "/tmp/vroot/", "--open", "/img/b.qrx", "--unknown"},
        "/opt/Vistrel/Vistrel");
    EXPECT_EQ(full.root, "/tmp/vroot/");
    EXPECT_EQ(full.openPaths, (std::vector<std::string>{"/img/a.png", "/img/b.qrx"}));
}
