// The caliper plug-in's application object and its core: one measuring session per image view the caliper runs on,
// the current session that input goes to, the shared settings and the dialog. The caliper is resident: the host keeps
// it attached to every document until the dialog is closed, which ends it on every document. UI thread only.
#pragma once

#include "caliper/CaliperSession.h"
#include "caliper/CaliperSettings.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CCaliperView;
class CPlgView;

// What CaliperMain needs of its dialog.
class ICaliperDialog
{
public:
    virtual ~ICaliperDialog() = default;
    // The current session changed: show its mode and profile, or hide without one.
    virtual void Refresh() = 0;
    // The current analyser or its profile changed.
    virtual void RefreshProfile() = 0;
    virtual void Show() = 0;
};

class CaliperMain
{
public:
    using DialogFactory = std::function<std::unique_ptr<ICaliperDialog>(CaliperMain&)>;

    explicit CaliperMain(CPlgApplication& application);
    ~CaliperMain();
    CaliperMain(const CaliperMain&) = delete;
    CaliperMain& operator=(const CaliperMain&) = delete;

    // Binds the settings to their folders at the first start only: a later start in the same program run keeps
    // what the earlier runs set. Deletes all sessions.
    int Init(const std::string& settingsFolder, const std::string& userFolder);
    int AddSession(CPlgView& view);
    // 0, with the error message, when the view has no session.
    int RemoveSession(CPlgView& view);
    // Quietly ends the view's session, if it has one (a view deleted without OnClose).
    void ForgetView(CPlgView& view);
    int Activate(CPlgView& view);
    void ActivateCurrent();
    void DeleteAllSessions();
    // Ends every session and the dialog; deletes no file.
    void Exit();
    void KeyDown(UINT key, UINT repeatCount, UINT flags);

    // Discards every session's tools and starts a fresh session on every caliper view, the current view's current
    // again: after loading or resetting the settings.
    void RestartSessions();
    // Ends the caliper on every document (the dialog's OK and Cancel): each view is destroyed, the host detaches the
    // application, and the settings are written for the next start.
    void EndCaliper();

    CCaliperSession* Current() const { return m_current; }
    CCaliperSession* SessionOf(const CPlgView& view) const;
    int SessionCount() const { return static_cast<int>(m_sessions.size()); }
    CCaliperSettings& Settings() { return m_settings; }
    CPlgApplication& Application() { return m_application; }
    // The views the caliper ran on, in order.
    std::vector<CPlgView*>& Views() { return m_views; }
    void SetDialogFactory(DialogFactory factory) { m_dialogFactory = std::move(factory); }
    ICaliperDialog* Dialog() const { return m_dialog.get(); }
    void RefreshProfile() const;

private:
    CCaliperSession::Hooks SessionHooks();

    CPlgApplication& m_application;
    std::vector<std::unique_ptr<CCaliperSession>> m_sessions;
    int m_currentIndex = -1;
    CCaliperSession* m_current = nullptr;
    CCaliperSettings m_settings;
    std::vector<CPlgView*> m_views;
    DialogFactory m_dialogFactory;
    std::unique_ptr<ICaliperDialog> m_dialog;
};

// The caliper's view of one document: makes the RGBA working copy, owns nothing but its report control, and routes
// the display window's input to the current session.
class CCaliperView : public CPlgView
{
public:
    explicit CCaliperView(CaliperMain& main) : m_main(main) {}
    ~CCaliperView() override;

    int Run() override;
    void OnUpdatedImage() override;
    CReportListCtrl* CreateReportControl(QWidget* parent) override;
    void OnActivate(int active) override;
    void OnClose() override;
    void OnDestroy() override {}
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMoveOnImage(UINT flags, CPoint point) override;
    BOOL OnSetCursor(QWidget* window, UINT hitTest, UINT message) override;

    bool WasGrey() const { return m_wasGrey; }

private:
    // The document's image becomes an RGBA copy (one undo point pushed first); 0, with a message, when it cannot.
    int MakeWorkingCopy();

    CaliperMain& m_main;
    bool m_wasGrey = false;
    bool m_running = false;
};

class CCaliperPlgApp : public CPlgApplication
{
public:
    CCaliperPlgApp();
    ~CCaliperPlgApp() override;

    // Index 0 only.
    int CreatePlgView(int index, int reserved, CPlgView** out) override;
    int InitPlgApp() override;
    int ExitPlgApp() override;

    CaliperMain& Main() { return m_main; }
    // Where the settings live; by default beside the program (found from the module's own path) and in the user's
    // configuration folder.
    void SetSettingsFolders(std::string settingsFolder, std::string userFolder);

private:
    CaliperMain m_main;
    std::string m_settingsFolder;
    std::string m_userFolder;
};

namespace caliper {

// The folder of the settings below the program folder, from the path of the module file (two folders below it).
std::string SettingsFolderOfModule(const std::string& modulePath);
// The user's own folder for the settings when the program folder cannot be written.
std::string UserSettingsFolder();

}  // namespace caliper
