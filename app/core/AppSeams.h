// What the application object asks of the parts that start and stop with it: the acquisition host, the plug-in
// manager, the foot switch with its message window, the documents, the main window, the single-instance rule and
// the stored settings. Each is a small interface, so start-up and shut-down can be driven with stand-ins, and each
// part plugs in its own class behind it. UI thread unless a call says otherwise.
#pragma once

#include "core/OemInfo.h"
#include "types/WinGeometry.h"
#include "types/WinRecords.h"
#include "types/WinTypes.h"

#include <QImage>

#include <functional>
#include <memory>
#include <cstddef>
#include <string>
#include <vector>

class CReportManager;
class CVistrelApp;
class CVistrelDoc;
class CVistrelView;
class QWidget;

// The acquisition host: loads the capture drivers and runs the live display. Its callbacks arrive on its own threads.
class IAcquireHost
{
public:
    virtual ~IAcquireHost() = default;
    virtual void SetInstClient(void* instance) = 0;
    virtual void SetHwndClient(QWidget* mainWindow) = 0;
    virtual void InstallServers(const char* folder) = 0;
    // The host keeps the function and calls it from any thread when the camera's trigger fires.
    virtual void SetExtTrigger(void (*trigger)()) = 0;
    virtual void GetCurrentMode(int& mode) = 0;
    virtual void StopOverlay() = 0;
    virtual void ReleaseServers() = 0;
    // Called with an empty rectangle after an image window moved, so that a live display follows it.
    virtual void SetDisplayWindowPos(const CRect* rect) = 0;

    // Driver choice, live display and still capture. A host without drivers answers "nothing selected" and
    // captures nothing, which is what these defaults say.
    virtual int SelectServer(int /*index*/) { return 0; }
    virtual int IsSelected() { return 0; }
    virtual int Property(int /*which*/) { return 0; }
    virtual int Overlay() { return 0; }
    virtual int IsOverlaySupport() { return 0; }
    virtual int IsOverlayWndActive() { return 0; }
    virtual int FullScreenMode() { return 0; }
    virtual int RestoreScrRes() { return 0; }
    virtual int ChangeImageSize() { return 0; }
    virtual int GetWidth(int& width) { width = 0; return 0; }
    virtual int GetHeight(int& height) { height = 0; return 0; }
    virtual int GetHWType(int& type) { type = 0; return 0; }
    virtual int GetCurrentServerName(std::string& name) { name.clear(); return 0; }
    virtual int GetCaptureSizeNDepth(int& width, int& height, int& bits) { width = height = bits = 0; return 0; }
    // `count` (1..200) caller-owned frame buffers; 1 when every one holds a frame.
    virtual int AcquireSnapshot(int /*count*/, BITMAPINFOHEADER** /*buffers*/) { return 0; }
    virtual int GetCaptureRatio(float& ratio) { ratio = 1.0f; return 0; }
    // The live-frame callback runs on the host's live thread with a DIB valid only during the call; it must not
    // wait for the UI thread. The notification comes on the UI thread.
    virtual void SetFuncGrabCallBack(std::function<int(const BITMAPINFOHEADER* dib)> /*callback*/) {}
    virtual void SetNotifyFunction(void (*/*notify*/)()) {}
    // Still images of hardware type 1, on the UI thread; the block is the host's and valid only during the call.
    virtual void SetFunc4TwainBuffer(std::function<void(const BITMAPINFOHEADER* dib, size_t bytes)> /*callback*/) {}
    // On the UI thread when the live display gave up on a driver that kept failing (an unplugged camera); the
    // display has stopped by then.
    virtual void SetStreamEnded(std::function<void(const std::string& driverName)> /*callback*/) {}
};

// The live display of the host runs in this mode; it is stopped before the drivers are released.
constexpr int kAcquireModeLiveOverlay = 3;

// The plug-in manager: the extension modules and the plug-ins of the plug-in menu.
class IPlugInHost
{
public:
    virtual ~IPlugInHost() = default;
    virtual void BindExtensionModules() = 0;
    virtual void InstallPlugIns() = 0;
};

// A 16-byte target identity of the foot switch.
struct FootSwitchGuid
{
    uint8_t bytes[16];
};

// The hidden window that turns a foot-switch press into the image-capture command.
class IMessageWindow
{
public:
    virtual ~IMessageWindow() = default;
    // The window, or null when it could not be made.
    virtual void* CreateMessageWindow() = 0;
};

// The USB foot switch. Open fails quietly when no switch is plugged in; the program goes on without one.
class IFootSwitch
{
public:
    virtual ~IFootSwitch() = default;
    virtual bool Open() = 0;
    virtual void AddTarget(const FootSwitchGuid& guid, void* window, UINT message) = 0;
    virtual void SelectTarget(const FootSwitchGuid& guid) = 0;
};

// The message a foot-switch press sends to the hidden window.
constexpr UINT kFootSwitchMessage = 25025;

// One open document as the print command gets it: its title, its image alone and its image with the overlay.
struct OpenTitleEntry
{
    std::string title;
    QImage image;
    QImage imageWithOverlay;
};

// The documents and their views. With none open every query answers "nothing".
class IDocumentHost
{
public:
    virtual ~IDocumentHost() = default;
    // Opens the image at `path` into a new document; null when it cannot be read.
    virtual CVistrelDoc* OpenDocumentFile(const std::string& path) = 0;
    // A new empty document, titled `title` unless it is empty.
    virtual CVistrelDoc* NewDocument(const std::string& title) = 0;
    // The view of the first document in live mode, or null.
    virtual CVistrelView* FindLiveView() = 0;
    virtual void ClearAllSelections() = 0;
    // One entry per document whose view is not a live-measurement view, `active` first, then the others in the
    // order they were opened.
    virtual std::vector<OpenTitleEntry> GetOpenTitles(CVistrelDoc* active) = 0;
};

// The main window as start-up and shut-down use it.
class IMainWindow
{
public:
    virtual ~IMainWindow() = default;
    virtual QWidget* Widget() = 0;
    // Builds the window (status bar, menus, toolbars, panes, calibration window); false when that failed.
    virtual bool LoadFrame() = 0;
    // Gives the thumbnail strip, when the thumbnail pane holds one, the application it reports to.
    virtual void AttachApplication(CVistrelApp* app) = 0;
    virtual void SetReportSettingsPath(const std::string& path) = 0;
    virtual void BuildCommandBars() = 0;
    // Loads the bars' state and the window placement and shows the window as it was last shown.
    virtual void RestorePlacement() = 0;
    // Lets the calibration window refill its boxes, when it exists.
    virtual void RefillCalibrationBoxes() = 0;
    // Brings the window forward, un-minimising it (another start of the program asked for it).
    virtual void RestoreAndRaise() = 0;
    // Runs a command through the command routing, as a menu choice would.
    virtual void ExecuteCommand(UINT id) = 0;
    virtual CVistrelDoc* GetActiveDocument() = 0;
    virtual CReportManager* GetReportManager() = 0;
};

// What came of claiming the one-running-instance rule.
enum class InstanceClaim
{
    Owner,       // this process is now the program's one instance
    HandedOver,  // another instance runs and took this start's request
    Unanswered,  // another instance runs but did not take the request in time (it hangs or is stopped)
};

// The one-running-instance rule and the search for companion programs' windows.
class IInstanceGate
{
public:
    virtual ~IInstanceGate() = default;
    // Owner: `onRestore` then gets, on the UI thread, each later start's request with the paths it was asked to
    // open. Otherwise another instance runs and was sent "restore" with `openPaths`.
    virtual InstanceClaim Claim(const std::vector<std::string>& openPaths,
                                std::function<void(const std::vector<std::string>& openPaths)> onRestore) = 0;
    // Gives the name up, so a later start becomes the instance.
    virtual void Release() = 0;
    // True when a companion program's top-level window with this title exists.
    virtual bool FindWindowByTitle(const std::string& title) = 0;
};

// Imports a registry script (the default bar and pane layouts) into the profile, before the main frame reads it.
class ILayoutImporter
{
public:
    virtual ~ILayoutImporter() = default;
    virtual void Import(const std::string& scriptPath) = 0;
};

// The named calibrations with the current one, and their two files.
class ICalibrationStore
{
public:
    virtual ~ICalibrationStore() = default;
    // A list file there but damaged is kept beside it at once, and the user is told so.
    virtual void Read(const std::string& listPath) = 0;
    // A list that did not load cleanly from `listPath` is kept beside it before the file is replaced. False when
    // the file could not be written (it is then as it was).
    [[nodiscard]] virtual bool Write(const std::string& listPath) = 0;
    // Selects the stored calibration's name and magnification again; a missing or damaged file selects nothing.
    virtual void ReadLastCalibration(const std::string& path) = 0;
    [[nodiscard]] virtual bool WriteLastCalibration(const std::string& path) = 0;
};

// The owner texts and the profile settings.
class IAppSettings
{
public:
    virtual ~IAppSettings() = default;
    // The owner texts of "OEM/OEM.INI" below the program folder (present 0 and empty texts when there is none).
    virtual tagOEM_INFO ReadOemInfo() = 0;
    // The drawing defaults, preferences, grid and cross-line settings.
    virtual void LoadProfileSettings() = 0;
    virtual void SaveProfileSettings() = 0;
};
