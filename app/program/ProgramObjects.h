// The program-wide single objects, made in this order right after the QApplication and destroyed in reverse before
// it: the acquisition host, the plug-in manager, the plug-in mode text, the codecs, a second program text, the open
// result-backup windows, the hidden message window, the foot switch, the calibration list, the folder environment,
// the program-wide grid, the application object and the frame lock. The capture-settings record joins them at the
// head with the capture settings; there is no shared lock-protected state object, as nothing needs one. One
// exists while the program runs (TheProgram); UI thread, but for the frame lock.
#pragma once

#include "core/BusInstanceGate.h"
#include "core/CCalibrationList.h"
#include "core/CVistrelApp.h"
#include "core/ProfileSettings.h"
#include "core/ProgramServices.h"

#include <QStringList>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CMainFrame;
class CPlugInHost;
class CQvImageCodec;
class CompanionMailbox;
class DocumentRegistry;
class LocalPeerBus;
class ProgramCompanionHost;

class ProgramObjects : public ProgramServices
{
public:
    ProgramObjects(const QStringList& arguments, const std::string& executablePath);
    ~ProgramObjects();
    ProgramObjects(const ProgramObjects&) = delete;
    ProgramObjects& operator=(const ProgramObjects&) = delete;

    CVistrelApp& App() override { return *m_app; }
    IAcquireHost& AcquireHost() { return *m_acquireHost; }
    IPlugInHost& PlugIns() { return *m_plugIns; }
    CPlugInHost& PlugInHost() { return *m_plugInHost; }
    std::string& PlugInMode() override { return m_plugInMode; }
    CQvImageCodec& Codec() override { return *m_codec; }
    // The single-instance rule; its bus is the main window's identity for companion programs.
    BusInstanceGate& InstanceGate() { return *m_instanceGate; }
    // The open documents.
    DocumentRegistry& Documents() override { return *m_documents; }
    // The main window's mailbox for companion programs; null until the main window is built.
    CompanionMailbox* Companions() override { return m_companions.get(); }
    CCalibrationList& Calibrations() override { return m_calibrationList; }
    CAppEnvironment& Environment() override { return m_environment; }
    // The program-wide grid, the display preferences and the live view's centre cross, as the profile keeps them.
    ProfileSettings& Profile() override { return *m_profile; }
    CLatticer& Grid() override { return m_profile->grid; }
    // Taken by the live-frame drawing and by the display window's painting and input handling.
    std::recursive_mutex& FrameLock() override { return m_frameLock; }

private:
    void ConnectCompanions(CMainFrame& frame);
    void ConnectPlugIns(CMainFrame& frame);

    // The capture-settings record comes with the capture dialog; the program menu is built by the main frame from
    // its command tables, so there is no separate menu object here.
    std::unique_ptr<IAcquireHost> m_acquireHost;
    std::unique_ptr<IPlugInHost> m_plugIns;
    CPlugInHost* m_plugInHost = nullptr;  // m_plugIns as the program's host
    CMainFrame* m_frame = nullptr;        // while the main frame exists
    std::string m_plugInMode;
    std::unique_ptr<CQvImageCodec> m_codec;
    std::string m_secondText;
    std::unique_ptr<IMessageWindow> m_messageWindow;
    std::unique_ptr<IFootSwitch> m_footSwitch;
    // The calibration list and the folder environment are made on first use and outlive main(); they hold no
    // window, so that is harmless, and taking them here makes them in their place in the order.
    CCalibrationList& m_calibrationList;
    std::unique_ptr<ICalibrationStore> m_calibrations;
    CAppEnvironment& m_environment;
    std::unique_ptr<ProfileSettings> m_profile;
    std::unique_ptr<IAppSettings> m_settings;
    std::unique_ptr<BusInstanceGate> m_instanceGate;
    std::unique_ptr<ILayoutImporter> m_layoutImporter;
    std::unique_ptr<DocumentRegistry> m_documents;
    std::unique_ptr<ProgramCompanionHost> m_companionHost;
    std::unique_ptr<LocalPeerBus> m_companionBus;  // only when the instance gate has no bus to lend
    std::unique_ptr<CompanionMailbox> m_companions;
    std::unique_ptr<CVistrelApp> m_app;
    std::recursive_mutex m_frameLock;
};
