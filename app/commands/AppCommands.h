// The application's own commands, the last stop of the command route: new and open, about, the calibration
// manager, preferences, the plug-in menu range, and the commands that hand work to companion modules and programs
// (depth stacking, remote save, counting, fluorescence, focus indicator, custom reticles, image database,
// auto-measure, the further companion program, pore scanning). The capture commands stay disabled here until the
// capture part takes them over.
//
// Contract: owned by the application object, which routes to it after its own map. UI thread. Parts built later
// plug in through Hooks(); a hook left empty disables the command it serves. Everything outside the program
// (processes, modules, the bus, waits) goes through Services(), which tests replace.
#pragma once

#include "commands/CompanionServices.h"
#include "frame/CCmdTarget.h"
#include "view/LiveFeed.h"  // kFocusIndicatorModule

#include <functional>
#include <string>
#include <vector>

class CQvImage;
class CVistrelApp;
class CVistrelDoc;
class IAcquireHost;
class ProgramServices;
class QWidget;

// The exports the commands call in companion modules.
using DepthStackExport = int (*)(CQvImage** images, int count, CQvImage* result);
using ReticleConnectExport = void (*)();
using AcquireContainerConnectExport = void (*)(IAcquireHost* host);
using SetViewWindowExport = void (*)(QWidget* view);

// What later parts plug in.
struct AppCommandHooks
{
    std::function<void()> aboutBox;            // the modal about box
    std::function<void()> calibrationManager;  // shows the calibration window with the calibration folder, refilled
    // Runs the preferences dialog; true on OK, the program's preferences then holding the new values, which the
    // dialog has applied to the active document and stored.
    std::function<bool()> preferencesDialog;

    // Plug-in hosting: runs the plug-in of a menu command; whether the plug-in manager enables it.
    std::function<int(UINT id)> executePlugIn;
    std::function<bool(UINT id)> isPlugInEnabled;
    // Runs the extension module at `path` (its entry `index`, -1 any); nonzero when it ran.
    std::function<int(const std::string& path, int index)> runExtPlugIn;
    // The plug-in modules loaded now whose path is `path` (any case); not owned.
    std::function<std::vector<ILoadedModule*>(const std::string& path)> loadedPlugInModules;
};

// Module files of the companion modules, in the plug-in folder unless said otherwise.
constexpr const char* kDepthStackModule = "depthstack.so";
constexpr const char* kAutoCountModule = "SpeckTally.so";
constexpr const char* kRemoteSaveModule = "FarStore.so";
constexpr const char* kFluorescenceModule = "GlowMerge.so";
constexpr const char* kCustomReticleModule = "CustomCross.so";  // in the custom-reticle folder
// The auto-measure program in the Mensurix folder, and the calibration it is handed there.
constexpr const char* kAutoMeasureProgram = "Mensurix.module";
constexpr const char* kAutoMeasureCalibrationFile = "CalibrationInfo.info";
// The pore-scanning program in its install folder (its window's identity is companion::kPoreScanWindowClass),
// and the image handed to it.
constexpr const char* kPoreScanProgram = "PoreScan";
constexpr const char* kPoreScanImageName = "PoreScanImage.jpg";

// Registry values companion programs publish under HKEY_CURRENT_USER.
constexpr const char* kProductKey = "SOFTWARE\\QRX";
constexpr const char* kDepthStackKey = "Software\\Korvelt\\DepthStack";

class CAppCommands : public CommandMapTarget<CAppCommands>
{
public:
    // `program`: the program the commands act on (its profile, plug-in mode and companion mailbox).
    CAppCommands(CVistrelApp& app, ProgramServices& program);
    ~CAppCommands() override;
    CAppCommands(const CAppCommands&) = delete;
    CAppCommands& operator=(const CAppCommands&) = delete;

    AppCommandHooks& Hooks() { return m_hooks; }
    CompanionServices& Services() { return m_services; }

    // --- File, help, settings
    void OnFileNew();
    void OnFileOpen();
    void OnAppAbout();
    void OnUpdateAppAbout(CCmdUI* ui);
    void OnCalibrationManager();
    void OnUpdateCalibrationManager(CCmdUI* ui);
    void OnPreferences();
    void OnUpdatePreferences(CCmdUI* ui);

    // --- Plug-ins and companion modules
    void OnExecutePlugIn(UINT id);
    void OnUpdateExecutePlugIn(CCmdUI* ui);
    void OnDepthStackModule();
    void OnDepthStack();
    void OnAutoCount();
    void OnRemoteSave();
    void OnFluorescence();
    void OnFocusIndicator();
    void OnUpdateFocusIndicator(CCmdUI* ui);
    void OnReticle(UINT id);
    // Active document and no resident plug-in.
    void OnUpdateModuleCommand(CCmdUI* ui);

    // --- Companion programs
    void OnImageDatabase();
    void OnAutoMeasure();
    void OnCompanionProgram();
    void OnPoreScan();

    // --- Acquisition (app/capture)
    void OnSelectDevice();
    void OnUpdateSelectDevice(CCmdUI* ui);
    void OnImageCapture();
    void OnMultiCapture();
    void OnResizeCapture();
    void OnUpdateResizeCapture(CCmdUI* ui);
    // A driver is selected, it is not still-image hardware, and live video runs.
    void OnUpdateCaptureCommand(CCmdUI* ui);
    void OnLiveImage();
    void OnUpdateLiveImage(CCmdUI* ui);
    void OnCrossLine();
    void OnUpdateCrossLine(CCmdUI* ui);
    void OnLiveMeasure();
    void OnFullScreen();
    void OnDeviceSettings();
    // A new document that shows live video (title: the live-measurement text); null without a capture size.
    // `measuring`: it is the live-measurement view (resize capture then stays disabled).
    CVistrelDoc* OpenLiveView(bool measuring);
    // Runs the multi-capture dialog; false when cancelled. Tests replace it.
    std::function<bool(int& frames, int& combine)> multiCaptureDialog;

    // Commands of this edition whose update handler always disables them (their handlers still run when called
    // directly), and the capture commands until capture is built.
    void OnUpdateDisabled(CCmdUI* ui);

private:
    std::string PlugInPath(const char* module) const;
    int RunExtensionModule(const std::string& path);
    void WriteDepthStackSettings();
    // Starts a companion program in its folder and waits, bounded, for it to appear on the bus as `identity`.
    // False when it could not start; a program that starts but never appears is left to itself.
    bool StartCompanion(const std::string& program, const QString& identity);
    // Before a companion program takes the camera: a live view's last frame is captured, the drivers released.
    void HandOverCamera();

    CVistrelApp& m_app;
    ProgramServices& m_program;
    AppCommandHooks m_hooks;
    CompanionServices m_services;
};
