// The one application object of Vistrel: refuses a second instance, brings the program up (folders, profile, main
// window, codecs, plug-ins, temporary folder, foot switch, acquisition host, calibration list) and takes it down
// again (releases the drivers, writes the calibration files and the profile settings). A settings file that was
// damaged or could not be read is told of at start, one that could not be written at shut-down. It also answers the
// program-wide questions of the other parts: the open documents, the live view, the report pages.
//
// Contract: construct, InitInstance, run the event loop when it returned TRUE, then ExitInstance whatever
// InitInstance returned. Everything runs on the UI thread but OnExternalTrigger, which any thread may call. The
// application owns its main window; the collaborators in AppParts belong to the caller and outlive the object.
#pragma once

#include "core/AppSeams.h"
#include "core/CAppEnvironment.h"
#include "frame/CCmdTarget.h"
#include "types/WinTypes.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class CAppCommands;
class CQvImageCodec;

// Set to 1 as the last step of a start-up that ran to its end; shut-down writes the calibration files and the
// profile settings only then.
extern int g_bAppStarted;

// What the program was started with.
struct VistrelCommandLine
{
    std::string root;                    // the program folder, ending in '/'
    std::vector<std::string> openPaths;  // --open PATH, in order
};

// Reads the arguments (the program name first). Bare arguments are ignored; --root defaults to the folder of
// `executablePath`.
VistrelCommandLine ParseVistrelCommandLine(const QStringList& arguments, const std::string& executablePath);

// Every ".HLP" (case-sensitive) becomes ".pdf".
std::string HelpPathForPdf(const std::string& helpPath);

// The application commands (app/commands) as their owner holds them: they sit above the application object, so the
// program makes them for it. `commands` is `route`, as the application's own commands see it.
struct AppCommandsParts
{
    std::unique_ptr<CCmdTarget> route;
    CAppCommands* commands = nullptr;
    // True when a plug-in module of that path is loaded.
    std::function<bool(const std::string& path)> isModuleLoaded;
};

// The collaborators of start-up and shut-down.
struct AppParts
{
    IInstanceGate* instanceGate = nullptr;
    IAppSettings* settings = nullptr;
    ILayoutImporter* layoutImporter = nullptr;
    ICalibrationStore* calibrations = nullptr;
    IAcquireHost* acquireHost = nullptr;
    IPlugInHost* plugIns = nullptr;
    IMessageWindow* messageWindow = nullptr;
    IFootSwitch* footSwitch = nullptr;
    IDocumentHost* documents = nullptr;
    CQvImageCodec* codec = nullptr;
    // Makes the (not yet loaded) main window of the application.
    std::function<std::unique_ptr<IMainWindow>(CVistrelApp& app)> createMainWindow;
    // Makes the application commands; without it the application takes only its own commands.
    std::function<AppCommandsParts(CVistrelApp& app)> makeCommands;
};

// The last target on the command route: the commands no view, document or frame takes.
class CRecentFileList;

class CVistrelApp : public CommandMapTarget<CVistrelApp>
{
public:
    // `arguments` as QCoreApplication::arguments() gives them, `executablePath` the program file.
    CVistrelApp(AppParts parts, QStringList arguments, std::string executablePath);
    ~CVistrelApp();
    CVistrelApp(const CVistrelApp&) = delete;
    CVistrelApp& operator=(const CVistrelApp&) = delete;

    // The start-up sequence: 1 when the program runs, 0 to end it at once.
    BOOL InitInstance();
    // The shut-down; returns the program's exit code: 0, or 1 after a start that a running instance did not take.
    int ExitInstance();

    CVistrelDoc* OpenDocumentFile(const std::string& path);
    CVistrelView* FindLiveView();
    void ClearAllSelections();
    CVistrelDoc* NewDocument(const std::string& title);
    CVistrelDoc* GetActiveDocument();
    // Null when there is no main window or it has no report dock.
    CReportManager* GetReportPages();
    // One entry per open document whose view is not a live-measurement view, the active document's first; empty
    // when no document is open.
    std::vector<OpenTitleEntry> GetOpenTitles();

    // Hands the capture drivers to the acquisition host again (a companion program that held them is done).
    void InstallAcquisitionServers();

    // The external-trigger callback given to the acquisition host. Any thread: it asks the UI thread to run the
    // image-capture command and returns at once, never waiting for the UI thread. Nothing happens while no
    // application object exists.
    static void OnExternalTrigger();

    // The file menu's list of files last opened or saved; documents add to it as their path is set.
    void AddToRecentFileList(const std::string& path);
    const CRecentFileList* RecentFiles() const { return m_recentFiles.get(); }

    // Commands
    void OnAppExit();
    void OnOpenRecentFile(UINT id);
    void OnUpdateRecentFileMenu(CCmdUI* ui);
    // The application's commands beyond Exit (app/commands), tried after this object's own map.
    CAppCommands& Commands() { return *m_commands.commands; }
    // True when the plug-in module at `path` is loaded; false without application commands.
    bool IsPlugInModuleLoaded(const std::string& path) const
    {
        return m_commands.isModuleLoaded && m_commands.isModuleLoaded(path);
    }
    bool ExecuteCommand(UINT id) override;
    bool UpdateCommand(CCmdUI& ui) override;
    bool HasCommandHandler(UINT id) const override;
    // The acquisition host the program runs with; null without one.
    IAcquireHost* AcquireHost() const { return m_parts.acquireHost; }

    IMainWindow* GetMainWnd() const { return m_pMainWnd.get(); }
    const VistrelCommandLine& CommandLine() const { return m_commandLine; }
    const std::string& ProgramFolder() const { return m_commandLine.root; }
    const std::string& HelpFilePath() const { return m_helpFilePath; }
    const tagOEM_INFO& OemInfo() const { return m_oemInfo; }

    // A folder below the program folder, ending in '/'.
    std::string Folder(AppFolder folder) const;
    // A folder of run-time modules (plug-ins, drivers, codecs) beside the executable, ending in '/'. The root a
    // user's settings live in may be another folder; the modules ship with the executable, not with the root.
    std::string ModuleFolder(AppFolder folder) const;

private:
    void OnRestoreRequest(const std::vector<std::string>& openPaths);
    void ImportDefaultLayouts();
    void EmptyTempFolder(const std::string& folder);
    void InstallAcquisition();
    void PublishProductPath();
    void LoadCalibrations();
    void SaveCalibrations();

    AppParts m_parts;
    QStringList m_arguments;
    std::string m_executablePath;
    VistrelCommandLine m_commandLine;
    std::unique_ptr<CRecentFileList> m_recentFiles;  // read at start; null before
    tagOEM_INFO m_oemInfo;
    std::string m_helpFilePath;
    std::unique_ptr<IMainWindow> m_pMainWnd;
    bool m_instanceClaimed = false;
    int m_exitCode = 0;  // 1 when a running instance could not be handed this start
    // Lives on the UI thread: queued calls from other threads run through it.
    QObject m_uiThreadContext;
    AppCommandsParts m_commands;
};

// The image-capture command that the external trigger and the foot switch run.
constexpr UINT ID_IMAGE_CAPTURE = 1249;

// The program's application object while one exists.
CVistrelApp* GetVistrelApp();
