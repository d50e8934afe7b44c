#include "program/ProgramObjects.h"

#include "calibration/CalibrationCommands.h"
#include "capture/CaptureHostAdapter.h"
#include "capture/CLiveMeasureDlg.h"
#include "commands/AppCommands.h"
#include "core/BusInstanceGate.h"
#include "program/FrameMainWindow.h"
#include "core/ProgramStandIns.h"
#include "core/RegistryScript.h"
#include "dialogs/CPreferencesDlg.h"
#include "panels/CUIAboutDlg.h"
#include "document/DocumentCreation.h"
#include "document/DocumentRegistry.h"
#include "document/NativeFile.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "frame/CommandActions.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/CRealtimeResultObjBox.h"
#include "panels/CKPRExtMessageManager.h"
#include "panels/CKPRFootSwitch.h"
#include "panels/ZoomToolDocks.h"
#include "peers/CompanionHost.h"
#include "plugins/CPlugInHost.h"
#include "report/ReportDockPages.h"
#include "view/CVistrelView.h"
#include "peers/CompanionMailbox.h"
#include "winmsg/LocalPeerBus.h"
#include "profile/CAppProfile.h"
#include "qvcodec/CQvImageCodec.h"

namespace {

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
    void Read(const std::string& listPath) override { m_list.ReadAtStartUp(listPath); }
    bool Write(const std::string& listPath) override { return m_list.Write(listPath) == 1; }
    void ReadLastCalibration(const std::string& path) override { m_list.ReadLastCalibration(path); }
    bool WriteLastCalibration(const std::string& path) override { return m_list.WriteLastCalibration(path) == 1; }

private:
    CCalibrationList& m_list;
};

}  // namespace

ProgramObjects::ProgramObjects(const QStringList& arguments, const std::string& executablePath)
    : m_acquireHost(std::make_unique<CaptureHostAdapter>()),
      m_plugIns(std::make_unique<CPlugInHost>(std::string(), std::make_unique<ReportDockPages>([this] {
          return m_app ? m_app->GetReportPages() : nullptr;
      }))),
      m_codec(std::make_unique<CQvImageCodec>()),
      m_messageWindow(std::make_unique<CKPRExtMessageManager>()),
      m_footSwitch(std::make_unique<CKPRFootSwitch>(std::make_unique<HidFootSwitchTransport>())),
      m_calibrationList(TheCalibrationList()),
      m_calibrations(std::make_unique<CalibrationListFiles>(m_calibrationList)),
      m_environment(AppEnvironment()),
      m_profile(std::make_unique<ProfileSettings>()),
      m_settings(std::make_unique<ProgramSettings>(*m_profile)),
      m_instanceGate(std::make_unique<BusInstanceGate>()),
      m_layoutImporter(std::make_unique<RegistryScriptImporter>()),
      m_documents(std::make_unique<DocumentRegistry>(m_codec.get(), this))
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
    parts.makeCommands = [this](CVistrelApp& app) {
        auto commands = std::make_unique<CAppCommands>(app, *this);
        CAppCommands* own = commands.get();
        return AppCommandsParts{std::move(commands), own, [own](const std::string& path) {
            return own->Hooks().loadedPlugInModules && !own->Hooks().loadedPlugInModules(path).empty();
        }};
    };
    parts.createMainWindow = [this](CVistrelApp& app) -> std::unique_ptr<IMainWindow> {
        MainFrameOptions options;
        options.profile = &AppProfile();
        options.language =
            m_environment.GetLanguage() == CAppEnvironment::kLanguageKorean ? UI_LANGUAGE_KOREAN : UI_LANGUAGE_ENGLISH;
        options.programFolder = app.ProgramFolder();
        options.helpFilePath = HelpPathForPdf(app.HelpFilePath());
        return std::make_unique<FrameMainWindow>(options, [this, &app](CMainFrame& frame) {
            frame.SetApplicationTarget(&app);
            MainFrameHooks& hooks = frame.Hooks();
            hooks.decimalPlaces = [this] { return m_profile->preferences.decimalPointRange; };
            hooks.reloadProfileSettings = [this] { m_settings->LoadProfileSettings(); };
            hooks.beforeDestroy = [] { DestroyRealTimeResultBox_PZ(); };
            m_documents->AttachMainFrame(&frame);
            InstallCalibrationCommands(frame, m_calibrationList, m_environment.GetFolder(AppFolder::Calibration));
            // The application's dialog commands open the dialogs of the frame they belong to.
            AppCommandHooks& commands = app.Commands().Hooks();
            commands.preferencesDialog = [this, &frame] {
                return RunPreferencesDialog(frame, m_profile->preferences, AppProfile()) == QDialog::Accepted;
            };
            commands.calibrationManager = [&frame] { RunCalibrationManager(frame); };
            commands.aboutBox = [this, &frame] { RunAboutBox(&frame, *this); };
            hooks.showLiveMeasureWindow = [this, &frame, &app] { ShowLiveMeasureWindow(app, *m_documents, frame); };
            ConnectCompanions(frame);
            ConnectPlugIns(frame);
            InstallZoomAndToolDocks(frame, *m_documents);
        });
    };
    m_plugInHost = static_cast<CPlugInHost*>(m_plugIns.get());
    m_app = std::make_unique<CVistrelApp>(std::move(parts), arguments, executablePath);
    SetTheProgram(this);
    // A press of the foot switch runs the image capture as the menu does.
    static_cast<CKPRExtMessageManager&>(*m_messageWindow).SetCaptureCommand([this] {
        if (m_app)
            m_app->Commands().OnImageCapture();
    });
    // Saving and the document file type go through the file code.
    InstallNativeFileHooks();
    // A live display the host shows over an image window follows the window when it moves.
    CChildFrame::SetMovedHook([this](CChildFrame*) {
        const CRect none;
        m_acquireHost->SetDisplayWindowPos(&none);
    });
}

void ProgramObjects::ConnectPlugIns(CMainFrame& frame)
{
    m_frame = &frame;
    QObject::connect(&frame, &QObject::destroyed, [this] { m_frame = nullptr; });
    PlugInHostSeams& seams = m_plugInHost->Seams();
    // Plug-ins are binaries of the build: they live beside the executable, not below the user's root.
    seams.moduleFolder = [this] { return m_environment.GetProgramModuleFolder(AppFolder::PlugIn); };
    seams.activeDocument = [this] { return m_documents->GetActiveDocument(); };
    seams.openDocuments = [this] { return m_documents->Documents(); };
    seams.liveDocument = [this]() -> CVistrelDoc* {
        CVistrelView* live = m_documents->FindLiveView();
        return live ? live->GetDocument() : nullptr;
    };
    seams.newDocument = [this](const std::string& title) { return m_app->NewDocument(title); };
    seams.discardDocument = [](CVistrelDoc* doc) { doc->OnCloseDocument(); };
    seams.newImageDocument = [](const std::string& title, int width, int height, int type) {
        return NewDocumentFromImage(title.c_str(), width, height, type, nullptr);
    };
    seams.clearAllSelections = [this] { m_app->ClearAllSelections(); };
    seams.plugInMenu = [this]() -> QMenu* { return m_frame ? m_frame->PluginMenu() : nullptr; };
    seams.routeAction = [this](QAction* action, UINT id) {
        if (m_frame)
            m_frame->Actions().AdoptAction(id, action);
    };
    seams.updateWhenShown = [this](QMenu* menu) {
        if (m_frame)
            m_frame->Actions().UpdateWhenShown(menu);
    };
    seams.pendingMode = &m_plugInMode;
    AppCommandHooks& commands = m_app->Commands().Hooks();
    commands.executePlugIn = [this](UINT id) { return m_plugInHost->ExecutePlugInCallback(id); };
    commands.isPlugInEnabled = [this](UINT id) { return m_plugInHost->Manager().OnUpdateCmdUIExecutePlugins(id) != 0; };
    commands.runExtPlugIn = [this](const std::string& path, int index) {
        return m_plugInHost->RunExtPlugIn(path, index);
    };
}

void ProgramObjects::ConnectCompanions(CMainFrame& frame)
{
    // The gate has claimed the main window's identity by now; its bus is the mailbox. Without one (no peer folder)
    // the program can still message companions, it is only not findable.
    PeerBus* bus = m_instanceGate->Bus();
    if (!bus) {
        m_companionBus = std::make_unique<LocalPeerBus>();
        bus = m_companionBus.get();
    }
    m_companionHost = std::make_unique<ProgramCompanionHost>(*this);
    m_companions = std::make_unique<CompanionMailbox>(*bus, *m_companionHost);
    MainFrameHooks& hooks = frame.Hooks();
    hooks.startImageTiling = [this] { m_companions->StartImageTiling(); };
    hooks.notifyPeersClosing = [this] { m_companions->NotifyTilingClosing(); };
}

ProgramObjects::~ProgramObjects()
{
    CChildFrame::SetMovedHook(nullptr);
    static_cast<CKPRExtMessageManager&>(*m_messageWindow).SetCaptureCommand(nullptr);
    SetTheProgram(nullptr);
    // Members go in reverse order of their declaration, the application object before the grid and the rest.
}
