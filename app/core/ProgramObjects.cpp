#include "core/ProgramObjects.h"

#include "core/BusInstanceGate.h"
#include "core/ProgramStandIns.h"
#include "core/RegistryScript.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "profile/CAppProfile.h"
#include "qvcodec/CQvImageCodec.h"

#include <QMainWindow>

namespace {

ProgramObjects* g_program = nullptr;

// The owner texts and the profile of the program's environment; the drawing defaults are Figuron's.
class ProgramSettings : public IAppSettings
{
public:
    explicit ProgramSettings(ProfileSettings& settings) : m_settings(settings) {}
    tagOEM_INFO ReadOemInfo() override { return ::ReadOemInfo(AppEnvironment()); }
    void LoadProfileSettings() override { ::LoadProfileSettings(AppProfile(), m_settings, g_GOPropertyTotal); }
    void SaveProfileSettings() override { ::SaveProfileSettings(AppProfile(), m_settings, g_GOPropertyTotal); }

private:
    ProfileSettings& m_settings;
};

class CalibrationListFiles : public ICalibrationStore
{
public:
    explicit CalibrationListFiles(CCalibrationList& list) : m_list(list) {}
    void Read(const std::string& listPath) override { m_list.Read(listPath); }
    void Write(const std::string& listPath) override { m_list.Write(listPath); }
    void ReadLastCalibration(const std::string& path) override { m_list.ReadLastCalibration(path); }
    void WriteLastCalibration(const std::string& path) override { m_list.WriteLastCalibration(path); }

private:
    CCalibrationList& m_list;
};

// Until the main frame is in: an empty main window.
class PlainMainWindow : public IMainWindow
{
public:
    QWidget* Widget() override { return &m_window; }
    bool LoadFrame() override
    {
        m_window.setWindowTitle(QStringLiteral("Vistrel"));
        m_window.resize(1024, 768);
        return true;
    }
    void AttachApplication(CVistrelApp*) override {}
    void SetReportSettingsPath(const std::string&) override {}
    void BuildCommandBars() override {}
    void RestorePlacement() override { m_window.show(); }
    void RefillCalibrationBoxes() override {}
    void RestoreAndRaise() override
    {
        m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
        m_window.raise();
        m_window.activateWindow();
    }
    void ExecuteCommand(UINT) override {}
    CVistrelDoc* GetActiveDocument() override { return nullptr; }
    CReportManager* GetReportManager() override { return nullptr; }

private:
    QMainWindow m_window;
};

}  // namespace

ProgramObjects* TheProgram()
{
    return g_program;
}

ProgramObjects::ProgramObjects(const QStringList& arguments, const std::string& executablePath)
    : m_acquireHost(std::make_unique<NoAcquireHost>()),
      m_plugIns(std::make_unique<NoPlugIns>()),
      m_codec(std::make_unique<CQvImageCodec>()),
      m_messageWindow(std::make_unique<NoMessageWindow>()),
      m_footSwitch(std::make_unique<NoFootSwitch>()),
      m_calibrationList(TheCalibrationList()),
      m_calibrations(std::make_unique<CalibrationListFiles>(m_calibrationList)),
      m_environment(AppEnvironment()),
      m_profile(std::make_unique<ProfileSettings>()),
      m_settings(std::make_unique<ProgramSettings>(*m_profile)),
      m_instanceGate(std::make_unique<BusInstanceGate>()),
      m_layoutImporter(std::make_unique<RegistryScriptImporter>()),
      m_documents(std::make_unique<NoDocuments>())
{
    AppParts parts;
    parts.instanceGate = m_instanceGate.get();
    parts.settings = m_settings.get();
    parts.layoutImporter = m_layoutImporter.get();
    parts.calibrations = m_calibrations.get();
    parts.acquireHost = m_acquireHost.get();
    parts.plugIns = m_plugIns.get();
    parts.messageWindow = m_messageWindow.get();
    parts.footSwitch = m_footSwitch.get();
    parts.documents = m_documents.get();
    parts.codec = m_codec.get();
    parts.createMainWindow = [] { return std::make_unique<PlainMainWindow>(); };
    m_app = std::make_unique<CVistrelApp>(std::move(parts), arguments, executablePath);
    g_program = this;
}

ProgramObjects::~ProgramObjects()
{
    g_program = nullptr;
    // Members go in reverse order of their declaration, the application object before the grid and the rest.
}
