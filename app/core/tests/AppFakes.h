// Stand-ins that record what the application object asks of its collaborators, on a temporary program folder with
// its own profile store and runtime folder.
#pragma once

#include "core/CVistrelApp.h"
#include "profile/Registry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <stdlib.h>

namespace app_fakes {

using Log = std::vector<std::string>;

class RecordingHost : public IAcquireHost
{
public:
    explicit RecordingHost(Log& log) : m_log(log) {}
    void SetInstClient(void*) override { m_log.push_back("SetInstClient"); }
    void SetHwndClient(QWidget* window) override { m_log.push_back(window ? "SetHwndClient" : "SetHwndClient(null)"); }
    void InstallServers(const char* folder) override { m_log.push_back(std::string("InstallServers ") + folder); }
    void SetExtTrigger(void (*trigger)()) override
    {
        m_trigger = trigger;
        m_log.push_back("SetExtTrigger");
    }
    void GetCurrentMode(int& value) override { value = mode; }
    void StopOverlay() override { m_log.push_back("StopOverlay"); }
    void ReleaseServers() override { m_log.push_back("ReleaseServers"); }
    void SetDisplayWindowPos(const CRect* rect) override
    {
        m_log.push_back(rect && rect->IsRectEmpty() ? "SetDisplayWindowPos(empty)" : "SetDisplayWindowPos");
    }

    int mode = 0;
    void (*m_trigger)() = nullptr;

private:
    Log& m_log;
};

// Answers the single-instance rule and the window search from a table the test fills.
class FakeGate : public IInstanceGate
{
public:
    InstanceClaim Claim(const std::vector<std::string>&,
                        std::function<void(const std::vector<std::string>&)> onRestore) override
    {
        if (anotherInstance)
            return InstanceClaim::HandedOver;
        restore = std::move(onRestore);
        claimed = true;
        return InstanceClaim::Owner;
    }
    void Release() override { claimed = false; }
    bool FindWindowByTitle(const std::string& title) override { return windowTitles.count(title) != 0; }

    bool anotherInstance = false;
    bool claimed = false;
    std::map<std::string, int> windowTitles;
    std::function<void(const std::vector<std::string>&)> restore;
};

class FakeMainWindow : public IMainWindow
{
public:
    explicit FakeMainWindow(Log& log) : m_log(log) {}
    QWidget* Widget() override { return &m_widget; }
    bool LoadFrame() override
    {
        m_log.push_back("LoadFrame");
        return loads;
    }
    void AttachApplication(CVistrelApp*) override { m_log.push_back("AttachApplication"); }
    void SetReportSettingsPath(const std::string& path) override { m_log.push_back("ReportPath " + path); }
    void BuildCommandBars() override { m_log.push_back("BuildCommandBars"); }
    void RestorePlacement() override { m_log.push_back("RestorePlacement"); }
    void RefillCalibrationBoxes() override { m_log.push_back("RefillCalibrationBoxes"); }
    void RestoreAndRaise() override { m_log.push_back("RestoreAndRaise"); }
    void ExecuteCommand(UINT id) override { m_log.push_back("Command " + std::to_string(id)); }
    CVistrelDoc* GetActiveDocument() override { return nullptr; }
    CReportManager* GetReportManager() override { return nullptr; }

    bool loads = true;

private:
    Log& m_log;
    QWidget m_widget;
};

inline std::string FileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

class FakeSettings : public IAppSettings
{
public:
    explicit FakeSettings(Log& log) : m_log(log) {}
    tagOEM_INFO ReadOemInfo() override { return {}; }
    void LoadProfileSettings() override { m_log.push_back("LoadProfile"); }
    void SaveProfileSettings() override { m_log.push_back("SaveProfile"); }

private:
    Log& m_log;
};

class FakeCalibrations : public ICalibrationStore
{
public:
    explicit FakeCalibrations(Log& log) : m_log(log) {}
    void Read(const std::string& path) override { m_log.push_back("Read " + FileName(path)); }
    bool Write(const std::string& path) override
    {
        m_log.push_back("Write " + FileName(path));
        return !failListWrite;
    }
    void ReadLastCalibration(const std::string& path) override { m_log.push_back("Read " + FileName(path)); }
    bool WriteLastCalibration(const std::string& path) override
    {
        m_log.push_back("Write " + FileName(path));
        return true;
    }

    bool failListWrite = false;

private:
    Log& m_log;
};

class RecordingImporter : public ILayoutImporter
{
public:
    void Import(const std::string& path) override { scripts.push_back(FileName(path)); }
    std::vector<std::string> scripts;
};

class RecordingFootSwitch : public IFootSwitch, public IMessageWindow
{
public:
    void* CreateMessageWindow() override { return this; }
    bool Open() override { return false; }
    void AddTarget(const FootSwitchGuid& guid, void* window, UINT message) override
    {
        added = guid;
        targetWindow = window;
        targetMessage = message;
    }
    void SelectTarget(const FootSwitchGuid& guid) override { selected = guid; }

    FootSwitchGuid added{}, selected{};
    void* targetWindow = nullptr;
    UINT targetMessage = 0;
};

// A program folder, profile store and runtime folder of the test's own, and an application wired to recorders.
class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid() && config.isValid() && runtime.isValid());
        setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
        RegReloadStore();
        rootFolder = root.path().toStdString() + "/";
        workingFolder = QDir::currentPath();
    }
    void TearDown() override
    {
        app.reset();
        // Start-up makes the program folder the current one; it is about to be removed.
        QDir::setCurrent(workingFolder);
        RegReloadStore();
    }

    CVistrelApp& MakeApp(QStringList extraArguments = {})
    {
        app = NewApp(&gate, std::move(extraArguments));
        return *app;
    }

    std::unique_ptr<CVistrelApp> NewApp(IInstanceGate* instanceGate, QStringList extraArguments = {})
    {
        AppParts parts;
        parts.instanceGate = instanceGate;
        parts.settings = &settings;
        parts.layoutImporter = &importer;
        parts.calibrations = &calibrations;
        parts.acquireHost = &host;
        parts.messageWindow = &footSwitch;
        parts.footSwitch = &footSwitch;
        parts.documents = documents;
        parts.createMainWindow = [this](CVistrelApp&) {
            auto window = std::make_unique<FakeMainWindow>(log);
            window->loads = frameLoads;
            return window;
        };
        QStringList arguments{QStringLiteral("Vistrel"), QStringLiteral("--root"), root.path()};
        arguments += extraArguments;
        return std::make_unique<CVistrelApp>(std::move(parts), arguments, "/nonexistent/Vistrel");
    }

    QTemporaryDir root, config, runtime;
    std::string rootFolder;
    QString workingFolder;
    Log log;
    RecordingHost host{log};
    FakeGate gate;
    FakeSettings settings{log};
    FakeCalibrations calibrations{log};
    RecordingImporter importer;
    RecordingFootSwitch footSwitch;
    IDocumentHost* documents = nullptr;  // none unless a test sets its own before NewApp
    bool frameLoads = true;
    std::unique_ptr<CVistrelApp> app;
};

}  // namespace app_fakes
