#include "commands/AppCommands.h"

#include "commands/CommandStrings.h"
#include "core/CVistrelApp.h"
#include "core/ProgramServices.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentCreation.h"
#include "document/NativeFileSave.h"
#include "frame/CommandIds.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "qvcodec/CQvImageCodec.h"
#include "resources/UiLanguage.h"
#include "strings/Format.h"
#include "ui/FileDialog.h"

using namespace cmd;

namespace {

using Commands = CAppCommands;

const CommandMapEntry<CAppCommands> kAppCommands[] = {
    CommandEntry(ID_APP_ABOUT, &Commands::OnAppAbout, &Commands::OnUpdateAppAbout),
    CommandEntry(ID_FILE_OPEN, &Commands::OnFileOpen),
    CommandEntry(ID_FILE_NEW, &Commands::OnFileNew),
    CommandEntry(ID_CALIBRATION_MANAGER, &Commands::OnCalibrationManager, &Commands::OnUpdateCalibrationManager),
    CommandEntry(ID_DEPTH_STACK_MODULE, &Commands::OnDepthStackModule, &Commands::OnUpdateModuleCommand),
    CommandEntry(ID_DEPTH_STACK, &Commands::OnDepthStack, &Commands::OnUpdateModuleCommand),
    CommandEntry(ID_AUTO_COUNT, &Commands::OnAutoCount, &Commands::OnUpdateDisabled),
    CommandEntry(ID_REMOTE_SAVE, &Commands::OnRemoteSave, &Commands::OnUpdateModuleCommand),
    CommandEntry(ID_IMAGE_DATABASE, &Commands::OnImageDatabase),
    CommandEntry(ID_PREFERENCES, &Commands::OnPreferences, &Commands::OnUpdatePreferences),
    CommandEntry(ID_FOCUS_INDICATOR, &Commands::OnFocusIndicator, &Commands::OnUpdateFocusIndicator),
    CommandIdEntry(ID_RETICLE_GENERATOR, &Commands::OnReticle),
    CommandIdEntry(ID_RETICLE_LOAD, &Commands::OnReticle),
    // One update entry covers the reticle commands and the four ids between them.
    CommandMapEntry<CAppCommands>{ID_RETICLE_GENERATOR, ID_RETICLE_LOAD, nullptr, nullptr, &Commands::OnUpdateDisabled},
    CommandEntry(ID_FLUORESCENCE, &Commands::OnFluorescence, &Commands::OnUpdateDisabled),
    CommandRangeEntry(ID_PLUGIN_FIRST, ID_PLUGIN_LAST, &Commands::OnExecutePlugIn, &Commands::OnUpdateExecutePlugIn),
    CommandEntry(ID_AUTO_MEASURE_APP, &Commands::OnAutoMeasure),
    CommandEntry(ID_COMPANION_APP, &Commands::OnCompanionProgram),
    CommandEntry(ID_PORE_SCAN, &Commands::OnPoreScan, &Commands::OnUpdateModuleCommand),
    CommandEntry(ID_ACQ_SELECT_DEVICE, &Commands::OnSelectDevice, &Commands::OnUpdateSelectDevice),
    CommandEntry(ID_ACQ_CAPTURE, &Commands::OnImageCapture, &Commands::OnUpdateCaptureCommand),
    CommandEntry(ID_ACQ_MULTI_CAPTURE, &Commands::OnMultiCapture, &Commands::OnUpdateCaptureCommand),
    CommandEntry(ID_ACQ_LIVE, &Commands::OnLiveImage, &Commands::OnUpdateLiveImage),
    CommandEntry(ID_ACQ_RESIZE_CAPTURE, &Commands::OnResizeCapture, &Commands::OnUpdateResizeCapture),
    CommandEntry(ID_ACQ_CROSS_LINE, &Commands::OnCrossLine, &Commands::OnUpdateCrossLine),
    CommandEntry(ID_ACQ_LIVE_MEASURE, &Commands::OnLiveMeasure, &Commands::OnUpdateDisabled),
    CommandEntry(ID_ACQ_FULL_SCREEN, &Commands::OnFullScreen, &Commands::OnUpdateDisabled),
    UpdateEntry(ID_ACQ_VIDEO_RECORDER, &Commands::OnUpdateDisabled),
    CommandEntry(ID_ACQ_DEVICE_SETTINGS, &Commands::OnDeviceSettings, &Commands::OnUpdateCaptureCommand),
};

}  // namespace

CAppCommands::CAppCommands(CVistrelApp& app, ProgramServices& program)
    : m_app(app), m_program(program), m_services(CompanionServices::Defaults())
{
    AddCommandMap(kAppCommands);
}

CAppCommands::~CAppCommands() = default;

void CAppCommands::OnUpdateDisabled(CCmdUI* ui)
{
    ui->Enable(false);
}

// ---- file, help, settings

void CAppCommands::OnFileNew()
{
    NewBlankDocument();
}

void CAppCommands::OnFileOpen()
{
    OpenDocumentImage(std::string());
}

void CAppCommands::OnAppAbout()
{
    if (m_hooks.aboutBox)
        m_hooks.aboutBox();
}

void CAppCommands::OnUpdateAppAbout(CCmdUI* ui)
{
    // Offered only once the about box is plugged in: a menu entry that does nothing looks broken.
    ui->Enable(static_cast<bool>(m_hooks.aboutBox));
    const tagOEM_INFO& oem = m_app.OemInfo();
    if (oem.present != 1)
        return;
    const std::string& title = GetUiLanguage() == UI_LANGUAGE_KOREAN ? oem.kor.title : oem.eng.title;
    ui->SetText(Format(AppCommandString(appstr::IDS_ABOUT_OEM).c_str(), title.c_str()));
}

void CAppCommands::OnCalibrationManager()
{
    if (m_hooks.calibrationManager)
        m_hooks.calibrationManager();
}

void CAppCommands::OnUpdateCalibrationManager(CCmdUI* ui)
{
    ui->Enable(static_cast<bool>(m_hooks.calibrationManager));
}

void CAppCommands::OnPreferences()
{
    // The dialog applies and stores what the user chose on OK, to the program and the active document.
    if (m_hooks.preferencesDialog)
        m_hooks.preferencesDialog();
}

void CAppCommands::OnUpdatePreferences(CCmdUI* ui)
{
    ui->Enable(static_cast<bool>(m_hooks.preferencesDialog));
}

// ---- plug-ins

void CAppCommands::OnExecutePlugIn(UINT id)
{
    if (!m_hooks.executePlugIn)
        return;
    m_hooks.executePlugIn(id);
    // The plug-in may have changed the active image.
    if (CVistrelDoc* doc = m_app.GetActiveDocument())
        if (CVistrelView* view = doc->GetImageView())
            view->GetDispWnd()->InvalidateRect(nullptr);
}

void CAppCommands::OnUpdateExecutePlugIn(CCmdUI* ui)
{
    ui->Enable(m_hooks.isPlugInEnabled && m_hooks.isPlugInEnabled(ui->m_nID) && !CVistrelDoc::PlugInHold());
}

void CAppCommands::OnUpdateModuleCommand(CCmdUI* ui)
{
    ui->Enable(m_app.GetActiveDocument() != nullptr && !CVistrelDoc::PlugInHold());
}

std::string CAppCommands::PlugInPath(const char* module) const
{
    return m_app.ModuleFolder(AppFolder::PlugIn) + module;
}

int CAppCommands::RunExtensionModule(const std::string& path)
{
    // Without plug-in hosting no module runs; the command then does nothing, as for a module that fails to load.
    return m_hooks.runExtPlugIn ? m_hooks.runExtPlugIn(path, -1) : 0;
}

void CAppCommands::OnAutoCount()
{
    m_program.PlugInMode() = "AutoCount";
    RunExtensionModule(PlugInPath(kAutoCountModule));
}

void CAppCommands::OnRemoteSave()
{
    RunExtensionModule(PlugInPath(kRemoteSaveModule));
}

void CAppCommands::OnFluorescence()
{
    RunExtensionModule(PlugInPath(kFluorescenceModule));
}

void CAppCommands::OnFocusIndicator()
{
    const std::string path = PlugInPath(kFocusIndicatorModule);
    RunExtensionModule(path);
    if (!m_hooks.loadedPlugInModules)
        return;
    CVistrelDoc* doc = m_app.GetActiveDocument();
    CVistrelView* view = doc ? doc->GetImageView() : nullptr;
    for (ILoadedModule* module : m_hooks.loadedPlugInModules(path)) {
        if (auto connect = reinterpret_cast<AcquireContainerConnectExport>(module->Symbol("CAcquireContainerConnect")))
            connect(m_app.AcquireHost());
        if (auto setView = reinterpret_cast<SetViewWindowExport>(module->Symbol("SetViewWindow")))
            setView(view);
    }
    if (CVistrelView* live = m_app.FindLiveView())
        live->RefreshLiveDecorations();
}

void CAppCommands::OnUpdateFocusIndicator(CCmdUI* ui)
{
    ui->Enable(m_app.GetActiveDocument() != nullptr && !CVistrelDoc::PlugInHold() && m_app.FindLiveView() != nullptr);
}
