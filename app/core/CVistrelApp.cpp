#include "core/CVistrelApp.h"

#include "core/CAppEnvironment.h"
#include "core/CRecentFileList.h"
#include "core/CalibrationStrings.h"
#include "core/ProfileSettings.h"
#include "core/SettingsFileNotices.h"
#include "core/StartupStrings.h"
#include "frame/CommandIds.h"

#include "framepool/CQvFramePool.h"
#include "gobjects/CRealtimeResultObjBox.h"
#include "gobjects/Edition.h"
#include "inifile/PrivateProfile.h"
#include "profile/CAppProfile.h"
#include "profile/CRegKey.h"
#include "qvcodec/CQvImageCodec.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QWidget>

#include <filesystem>
#include <mutex>
#include <system_error>

int g_bAppStarted = 0;

namespace {

// The title of the companion video recorder's window: while it runs, it holds the capture drivers.
constexpr char kVideoRecorderTitle[] = "Video Recorder";
// The identity of the foot-switch target that runs the image capture.
constexpr FootSwitchGuid kFootSwitchCaptureTarget = {
    {0x5b, 0x8e, 0x1f, 0x3a, 0x62, 0x4c, 0x4d, 0x19, 0x9a, 0x07, 0xc1, 0x2e, 0x7d, 0x44, 0xb0, 0x61}};
// The name companion programs look the program up by, and its file in the program folder.
constexpr char kProductName[] = "Vistrel Lite";

// Guards the application pointer that the external trigger reads from the host's threads.
std::mutex g_appMutex;
CVistrelApp* g_app = nullptr;

std::string WithTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// A REG_SZ whose byte count leaves out the terminating zero, as companion programs expect it.
void SetStringNoTerminator(CRegKey& key, const char* name, const std::string& text)
{
    RegSetValueEx(key.Handle(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                  static_cast<DWORD>(text.size()));
    key.Flush();
}

constexpr int kRecentFileCount = 9;

const CommandMapEntry<CVistrelApp> kApplicationCommands[] = {
    CommandEntry(cmd::ID_APP_EXIT, &CVistrelApp::OnAppExit),
    CommandRangeEntry(cmd::ID_FILE_MRU_FILE1, cmd::ID_FILE_MRU_FILE9, &CVistrelApp::OnOpenRecentFile,
                      &CVistrelApp::OnUpdateRecentFileMenu),
};

}  // namespace

VistrelCommandLine ParseVistrelCommandLine(const QStringList& arguments, const std::string& executablePath)
{
    QCommandLineParser parser;
    const QCommandLineOption open(QStringLiteral("open"), QString(), QStringLiteral("path"));
    const QCommandLineOption root(QStringLiteral("root"), QString(), QStringLiteral("folder"));
    parser.addOption(open);
    parser.addOption(root);
    // An option we do not know is not a reason to refuse to start; the rest of the line is still read.
    parser.parse(arguments);

    VistrelCommandLine result;
    const QString rootFolder = parser.isSet(root) ? QDir(parser.value(root)).absolutePath()
                                                  : QFileInfo(QString::fromStdString(executablePath)).absolutePath();
    result.root = WithTrailingSlash(QDir::cleanPath(rootFolder).toStdString());
    for (const QString& path : parser.values(open))
        result.openPaths.push_back(QFileInfo(path).absoluteFilePath().toStdString());
    return result;
}

std::string HelpPathForPdf(const std::string& helpPath)
{
    std::string result = helpPath;
    for (size_t at = result.find(".HLP"); at != std::string::npos; at = result.find(".HLP", at + 4))
        result.replace(at, 4, ".pdf");
    return result;
}

CVistrelApp* GetVistrelApp()
{
    return g_app;
}

CVistrelApp::CVistrelApp(AppParts parts, QStringList arguments, std::string executablePath)
    : m_parts(std::move(parts)),
      m_arguments(std::move(arguments)),
      m_executablePath(std::move(executablePath)),
      m_commands(m_parts.makeCommands ? m_parts.makeCommands(*this) : AppCommandsParts{})
{
    AddCommandMap(kApplicationCommands);
    // A run tells of its own failed settings writes only, not of those an earlier application object of this
    // process left untold.
    TakeFailedPrivateProfileWrites();
    std::lock_guard lock(g_appMutex);
    g_app = this;
    g_bAppStarted = 0;
}

CVistrelApp::~CVistrelApp()
{
    std::lock_guard lock(g_appMutex);
    if (g_app == this)
        g_app = nullptr;
}

std::string CVistrelApp::Folder(AppFolder folder) const
{
    // The folder table, initialised with the program root at start-up, is the one source of folder names.
    return AppEnvironment().GetFolder(folder);
}

std::string CVistrelApp::ModuleFolder(AppFolder folder) const
{
    return AppEnvironment().GetProgramModuleFolder(folder);
}

BOOL CVistrelApp::InitInstance()
{
    // The command line is read first: a second start hands its paths to the running instance.
    m_commandLine = ParseVistrelCommandLine(m_arguments, m_executablePath);
    if (m_parts.instanceGate) {
        const auto onRestore = [this](const std::vector<std::string>& paths) { OnRestoreRequest(paths); };
        switch (m_parts.instanceGate->Claim(m_commandLine.openPaths, onRestore)) {
        case InstanceClaim::Owner: break;
        case InstanceClaim::HandedOver: return 0;
        case InstanceClaim::Unanswered:
            // Ending in silence would look as if the file had opened somewhere; the user is told, and whoever
            // started the program sees it fail.
            AfxMessageBox(StartupString(startstr::IDS_INSTANCE_DID_NOT_ANSWER), MB_ICONERROR);
            m_exitCode = 1;
            return 0;
        }
        m_instanceClaimed = true;
    }
    // No component-object runtime and no window class to register here: the main window's identity for the
    // single-instance rule is the name the gate claimed above. A bare file name on the command line opens nothing;
    // --open, the desktop's "open with", is honoured once the program is up.

    AppEnvironment().Init(m_executablePath, ProgramFolder());
    AppProfile().SetRegistryKey(kProfileRegistryKey);
    AppProfile().SetAppName(kProfileAppName);
    QDir::setCurrent(QString::fromStdString(ProgramFolder()));
    // The help file lies beside the program file, which need not be in the root the program works in.
    m_helpFilePath = m_executablePath + ".HLP";
    if (m_parts.settings)
        m_oemInfo = m_parts.settings->ReadOemInfo();
    WriteAppPath(AppProfile(), ProgramFolder());
    ImportDefaultLayouts();
    SetOEMProduct(kEditionOfTheProgram);
    // String tables register themselves as their modules load; the document template is the document host.
    m_recentFiles = std::make_unique<CRecentFileList>(kRecentFileCount);
    m_recentFiles->ReadList(AppProfile());

    if (m_parts.createMainWindow)
        m_pMainWnd = m_parts.createMainWindow(*this);
    if (!m_pMainWnd || !m_pMainWnd->LoadFrame())
        return 0;
    if (m_parts.settings)
        m_parts.settings->LoadProfileSettings();
    // The profile store has been read by now; a damaged or unreadable one is told of before anything else.
    TellSettingsFileProblems();
    // Dropped files are taken by the main window itself; the desktop file declares the types the program opens.

    if (m_parts.codec)
        m_parts.codec->Install(ModuleFolder(AppFolder::Codec).c_str());
    if (m_parts.plugIns) {
        m_parts.plugIns->BindExtensionModules();
        m_parts.plugIns->InstallPlugIns();
    }

    EmptyTempFolder(Folder(AppFolder::Temp));

    void* messageWindow = m_parts.messageWindow ? m_parts.messageWindow->CreateMessageWindow() : nullptr;
    if (m_parts.footSwitch) {
        m_parts.footSwitch->Open();
        m_parts.footSwitch->AddTarget(kFootSwitchCaptureTarget, messageWindow, kFootSwitchMessage);
        m_parts.footSwitch->SelectTarget(kFootSwitchCaptureTarget);
    }

    const bool recorderRuns = m_parts.instanceGate && m_parts.instanceGate->FindWindowByTitle(kVideoRecorderTitle);
    if (!recorderRuns) {
        InstallAcquisition();
        // The still-image registration of the external capture program has no counterpart on this platform.
        PublishProductPath();
    }
    // Otherwise the recorder holds the drivers until it reports that it has finished.

    m_pMainWnd->AttachApplication(this);
    LoadCalibrations();
    m_pMainWnd->SetReportSettingsPath(ProgramFolder() + "report.rfg");
    m_helpFilePath = HelpPathForPdf(m_helpFilePath);

    m_pMainWnd->BuildCommandBars();
    m_pMainWnd->RestorePlacement();
    m_pMainWnd->RefillCalibrationBoxes();

    g_bAppStarted = 1;
    CreateRealTimeResultBox_PZ();

    for (const std::string& path : m_commandLine.openPaths)
        OpenDocumentFile(path);
    return 1;
}

int CVistrelApp::ExitInstance()
{
    if (m_parts.acquireHost) {
        int mode = 0;
        m_parts.acquireHost->GetCurrentMode(mode);
        if (mode == kAcquireModeLiveOverlay)
            m_parts.acquireHost->StopOverlay();
        m_parts.acquireHost->ReleaseServers();
    }
    if (g_bAppStarted == 1) {
        SaveCalibrations();
        if (m_parts.settings)
            m_parts.settings->SaveProfileSettings();
    }
    g_bAppStarted = 0;

    // The main window outlives the saves above, which read what it shows; it goes before the program objects.
    DestroyRealTimeResultBox_PZ();
    m_pMainWnd.reset();
    if (m_instanceClaimed && m_parts.instanceGate)
        m_parts.instanceGate->Release();
    m_instanceClaimed = false;
    // Last, as the framework's own shut-down does; a start that ended before the list was read keeps the stored one.
    if (m_recentFiles)
        m_recentFiles->WriteList(AppProfile());
    // After the last settings write: the profile store and INI files that could not be written are named.
    TellSettingsFileProblems();
    return m_exitCode;
}

void CVistrelApp::OnRestoreRequest(const std::vector<std::string>& openPaths)
{
    if (m_pMainWnd)
        m_pMainWnd->RestoreAndRaise();
    for (const std::string& path : openPaths)
        OpenDocumentFile(path);
}

void CVistrelApp::ImportDefaultLayouts()
{
    const int version = ReadUiLayoutVersion(AppProfile());
    if (version >= kUiLayoutVersion)
        return;
    // The import runs here, to its end, before the main frame reads the layouts.
    if (m_parts.layoutImporter) {
        if (version != -1)
            m_parts.layoutImporter->Import(ProgramFolder() + "DelVistrelVM.reg");
        m_parts.layoutImporter->Import(ProgramFolder() + "VistrelVM.reg");
    }
    WriteUiLayoutVersion(AppProfile(), kUiLayoutVersion);
}

void CVistrelApp::EmptyTempFolder(const std::string& folder)
{
    namespace fs = std::filesystem;
    CQvFramePool::SetTempPath(folder);
    std::error_code error;
    fs::create_directories(folder, error);
    // Files an earlier run left behind go; sub-folders stay, as do links to folders (the link itself goes).
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code statusError;
        if (it->symlink_status(statusError).type() == fs::file_type::directory)
            continue;
        std::error_code removeError;
        fs::remove(it->path(), removeError);
    }
}

void CVistrelApp::InstallAcquisitionServers()
{
    IAcquireHost* host = m_parts.acquireHost;
    if (!host || !m_pMainWnd)
        return;
    host->SetInstClient(this);
    host->SetHwndClient(m_pMainWnd->Widget());
    host->InstallServers(ModuleFolder(AppFolder::Acquisition).c_str());
}

void CVistrelApp::InstallAcquisition()
{
    InstallAcquisitionServers();
    if (m_parts.acquireHost)
        m_parts.acquireHost->SetExtTrigger(&CVistrelApp::OnExternalTrigger);
    if (QWidget* window = m_pMainWnd->Widget()) {
        window->raise();
        window->activateWindow();
    }
}

void CVistrelApp::PublishProductPath()
{
    // Written only where the key exists (the profile creates it at start); never created for this.
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, "SOFTWARE\\QRX", KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return;
    SetStringNoTerminator(key, "VQ_PRODUCT", kProductName);
    // The program file itself, which companion programs start: the root may be a per-user folder elsewhere.
    SetStringNoTerminator(key, "VQ_PRODUCT_PATH", m_executablePath);
}

void CVistrelApp::LoadCalibrations()
{
    if (!m_parts.calibrations)
        return;
    const std::string folder = Folder(AppFolder::Calibration);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    m_parts.calibrations->Read(folder + "calibration.cst");
    m_parts.calibrations->ReadLastCalibration(folder + "lastcalibration.cal");
}

void CVistrelApp::SaveCalibrations()
{
    if (!m_parts.calibrations)
        return;
    const std::string folder = Folder(AppFolder::Calibration);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // Both are tried whatever the first gave: the last calibration does not depend on the list.
    const bool list = m_parts.calibrations->Write(folder + "calibration.cst");
    const bool last = m_parts.calibrations->WriteLastCalibration(folder + "lastcalibration.cal");
    if (!list || !last)
        AfxMessageBox(Format(CalibrationString(calibstr::IDS_FILES_NOT_SAVED).c_str(), folder.c_str()), MB_ICONERROR);
}

CVistrelDoc* CVistrelApp::OpenDocumentFile(const std::string& path)
{
    return m_parts.documents ? m_parts.documents->OpenDocumentFile(path) : nullptr;
}

CVistrelView* CVistrelApp::FindLiveView()
{
    return m_parts.documents ? m_parts.documents->FindLiveView() : nullptr;
}

void CVistrelApp::ClearAllSelections()
{
    if (m_parts.documents)
        m_parts.documents->ClearAllSelections();
}

CVistrelDoc* CVistrelApp::NewDocument(const std::string& title)
{
    return m_parts.documents ? m_parts.documents->NewDocument(title) : nullptr;
}

CVistrelDoc* CVistrelApp::GetActiveDocument()
{
    return m_pMainWnd ? m_pMainWnd->GetActiveDocument() : nullptr;
}

CReportManager* CVistrelApp::GetReportPages()
{
    return m_pMainWnd ? m_pMainWnd->GetReportManager() : nullptr;
}

std::vector<OpenTitleEntry> CVistrelApp::GetOpenTitles()
{
    return m_parts.documents ? m_parts.documents->GetOpenTitles(GetActiveDocument()) : std::vector<OpenTitleEntry>{};
}

void CVistrelApp::OnExternalTrigger()
{
    std::lock_guard lock(g_appMutex);
    CVistrelApp* app = g_app;
    if (!app)
        return;
    // Queued to the UI thread: the trigger comes from the host's thread, which must not wait on the UI.
    QMetaObject::invokeMethod(
        &app->m_uiThreadContext,
        [app] {
            if (app->m_pMainWnd)
                app->m_pMainWnd->ExecuteCommand(ID_IMAGE_CAPTURE);
        },
        Qt::QueuedConnection);
}

// The application's side of the command route: its own map first, then the application commands it owns.
bool CVistrelApp::ExecuteCommand(UINT id)
{
    return CommandMapTarget<CVistrelApp>::ExecuteCommand(id) || (m_commands.route && m_commands.route->ExecuteCommand(id));
}

bool CVistrelApp::UpdateCommand(CCmdUI& ui)
{
    return CommandMapTarget<CVistrelApp>::UpdateCommand(ui) || (m_commands.route && m_commands.route->UpdateCommand(ui));
}

bool CVistrelApp::HasCommandHandler(UINT id) const
{
    return CommandMapTarget<CVistrelApp>::HasCommandHandler(id) ||
           (m_commands.route && m_commands.route->HasCommandHandler(id));
}

void CVistrelApp::OnAppExit()
{
    // As a click on the window's close box: the main window asks the documents and may stay open.
    if (m_pMainWnd && m_pMainWnd->Widget())
        m_pMainWnd->Widget()->close();
}

void CVistrelApp::AddToRecentFileList(const std::string& path)
{
    if (m_recentFiles)
        m_recentFiles->Add(path);
}

void CVistrelApp::OnOpenRecentFile(UINT id)
{
    if (!m_recentFiles)
        return;
    const int index = static_cast<int>(id - cmd::ID_FILE_MRU_FILE1);
    if (index >= static_cast<int>(m_recentFiles->Files().size()))
        return;
    // A file that no longer opens leaves the list, as it would never open from there again.
    const std::string path = m_recentFiles->Files()[static_cast<size_t>(index)];
    if (!OpenDocumentFile(path))
        m_recentFiles->Remove(index);
}

void CVistrelApp::OnUpdateRecentFileMenu(CCmdUI* ui)
{
    const int index = static_cast<int>(ui->m_nID - cmd::ID_FILE_MRU_FILE1);
    const int count = m_recentFiles ? static_cast<int>(m_recentFiles->Files().size()) : 0;
    if (count == 0) {
        // An empty list shows its place once, disabled, under the command's own caption.
        ui->Enable(false);
        ui->SetVisible(index == 0);
        return;
    }
    ui->SetVisible(index < count);
    ui->Enable(index < count);
    if (index < count)
        ui->SetText(m_recentFiles->MenuText(index));
}
