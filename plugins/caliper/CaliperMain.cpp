#include "caliper/CaliperMain.h"

#include "caliper/CaliperCursors.h"
#include "caliper/CaliperDialog.h"
#include "caliper/CaliperStrings.h"
#include "framepool/CQvFramePool.h"
#include "qvimage/QvImageOps.h"
#include "qvplglib/CPlgView.h"
#include "ui/MessageBox.h"

#include <QAbstractScrollArea>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>

using namespace caliper;

// ---- folders

std::string caliper::SettingsFolderOfModule(const std::string& modulePath)
{
    std::string folder = modulePath;
    // components/Plug-Ins/Caliper.so: three cuts leave the program folder.
    for (int cut = 0; cut < 3; ++cut) {
        const size_t slash = folder.find_last_of('/');
        folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
    }
    return folder + "/components/Applications/";
}

std::string caliper::UserSettingsFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && home[0] ? home : "/tmp") + "/.config";
    }
    return base + "/QRX/Caliper/";
}

// ---- CaliperMain

CaliperMain::CaliperMain(CPlgApplication& application) : m_application(application) {}

CaliperMain::~CaliperMain()
{
    Exit();
}

CCaliperSession::Hooks CaliperMain::SessionHooks()
{
    return CCaliperSession::Hooks{[this] { RefreshProfile(); }, [this] { m_application.UpdateReport(); }};
}

void CaliperMain::RefreshProfile() const
{
    if (m_dialog)
        m_dialog->RefreshProfile();
}

int CaliperMain::Init(const std::string& settingsFolder, const std::string& userFolder)
{
    // The record is read once per program run; later starts keep what the earlier runs set.
    if (!m_settings.IsBound())
        m_settings.Bind(settingsFolder, userFolder);
    DeleteAllSessions();
    return 1;
}

CCaliperSession* CaliperMain::SessionOf(const CPlgView& view) const
{
    for (const auto& session : m_sessions)
        if (&session->View() == &view)
            return session.get();
    return nullptr;
}

int CaliperMain::AddSession(CPlgView& view)
{
    m_sessions.push_back(std::make_unique<CCaliperSession>(view, m_settings, SessionHooks()));
    m_currentIndex = static_cast<int>(m_sessions.size()) - 1;
    m_current = m_sessions.back().get();
    ActivateCurrent();
    return 1;
}

int CaliperMain::RemoveSession(CPlgView& view)
{
    const auto at = std::find_if(m_sessions.begin(), m_sessions.end(),
                                 [&view](const auto& session) { return &session->View() == &view; });
    if (at == m_sessions.end()) {
        AfxMessageBox(Text(kStrDeleteError), MB_OK);
        return 0;
    }
    m_sessions.erase(at);
    m_currentIndex = static_cast<int>(m_sessions.size()) - 1;
    ActivateCurrent();
    return 1;
}

void CaliperMain::ForgetView(CPlgView& view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), &view), m_views.end());
    const auto at = std::find_if(m_sessions.begin(), m_sessions.end(),
                                 [&view](const auto& session) { return &session->View() == &view; });
    if (at == m_sessions.end())
        return;
    const bool wasCurrent = at->get() == m_current;
    m_sessions.erase(at);
    if (wasCurrent || m_currentIndex >= static_cast<int>(m_sessions.size())) {
        m_currentIndex = static_cast<int>(m_sessions.size()) - 1;
        m_current = m_currentIndex >= 0 ? m_sessions[static_cast<size_t>(m_currentIndex)].get() : nullptr;
    } else {
        const auto current = std::find_if(m_sessions.begin(), m_sessions.end(),
                                          [this](const auto& session) { return session.get() == m_current; });
        m_currentIndex = static_cast<int>(current - m_sessions.begin());
    }
}

int CaliperMain::Activate(CPlgView& view)
{
    if (m_current && &m_current->View() == &view)
        return 1;
    for (size_t i = 0; i < m_sessions.size(); ++i) {
        if (&m_sessions[i]->View() == &view) {
            m_currentIndex = static_cast<int>(i);
            ActivateCurrent();
            return 1;
        }
    }
    return 0;
}

void CaliperMain::ActivateCurrent()
{
    if (m_currentIndex < 0 || m_currentIndex >= static_cast<int>(m_sessions.size())) {
        m_currentIndex = -1;
        m_current = nullptr;
        return;
    }
    m_current = m_sessions[static_cast<size_t>(m_currentIndex)].get();
    if (m_dialog) {
        m_dialog->Refresh();
    } else if (m_dialogFactory) {
        m_dialog = m_dialogFactory(*this);
    }
    if (m_dialog)
        m_dialog->Show();
}

void CaliperMain::DeleteAllSessions()
{
    m_sessions.clear();
    m_currentIndex = -1;
    m_current = nullptr;
}

void CaliperMain::Exit()
{
    // The plug-in writes no temporary files, so it deletes none: above all nothing in the process's current folder.
    DeleteAllSessions();
    m_dialog.reset();
}

void CaliperMain::KeyDown(UINT key, UINT, UINT)
{
    if (m_current)
        m_current->KeyDown(key);
}

void CaliperMain::RestartSessions()
{
    CPlgView* currentView = m_current ? &m_current->View() : nullptr;
    DeleteAllSessions();
    // Every view the caliper is attached to keeps a session of its own, so no input lands in another view's image.
    for (CPlgView* view : m_views)
        if (view != currentView)
            m_sessions.push_back(std::make_unique<CCaliperSession>(*view, m_settings, SessionHooks()));
    if (currentView) {
        AddSession(*currentView);
        return;
    }
    m_currentIndex = static_cast<int>(m_sessions.size()) - 1;
    ActivateCurrent();
}

void CaliperMain::EndCaliper()
{
    m_settings.SaveDefault();
    // Destroy runs each view's OnClose (which takes it out of the array) and deletes it: walk a copy.
    const std::vector<CPlgView*> views = m_views;
    for (CPlgView* view : views)
        view->Destroy();
    m_views.clear();
    DeleteAllSessions();
    m_application.Destroy();
    // Ended from the dialog: it goes (once its handler has returned) even when the host keeps the module.
    m_dialog.reset();
}

// ---- CCaliperView

CCaliperView::~CCaliperView()
{
    // A view deleted without OnClose (its document closed) takes its session with it.
    m_main.ForgetView(*this);
    BusyFlag() = 0;
}

int CCaliperView::MakeWorkingCopy()
{
    CQvFramePool* pool = GetFramePool();
    if (!pool)
        return 0;
    CQvImage& image = pool->GetImage();
    if (image.IsEmpty())
        return 0;
    m_wasGrey = image.GetColorModel() == QV_GRAY || image.GetColorModel() == QV_GRAY8;
    CQvImage rgba;
    if (!rgba.Create(QV_RGBA32, image.GetWidth(), image.GetHeight(), 0) || QvConvert2RGBA(&image, &rgba) != 1) {
        AfxMessageBox(Text(kStrUnsupportedImage), MB_OK);
        return 0;
    }
    pool->PushImage(CRect(-1, -1, -1, -1));
    image = rgba;
    return 1;
}

int CCaliperView::Run()
{
    if (m_running)
        return 1;
    if (!MakeWorkingCopy())
        return 0;
    m_running = true;
    m_main.Views().push_back(this);
    m_main.AddSession(*this);
    return 1;
}

void CCaliperView::OnUpdatedImage()
{
    if (BusyFlag() || !m_running)
        return;
    if (!MakeWorkingCopy())
        return;
    // The view's own session follows its image, current or not.
    if (CCaliperSession* session = m_main.SessionOf(*this))
        session->Begin();
}

CReportListCtrl* CCaliperView::CreateReportControl(QWidget* parent)
{
    auto* control = new CCaliperReportCtrl(parent);
    control->SetWindowText(Text(kStrCaliper));
    m_reportControl = control;
    return GetReportControl();
}

void CCaliperView::OnActivate(int active)
{
    if (active)
        m_main.Activate(*this);
}

void CCaliperView::OnClose()
{
    BusyFlag() = 1;
    m_main.RemoveSession(*this);
    m_main.Views().erase(std::remove(m_main.Views().begin(), m_main.Views().end(), this), m_main.Views().end());
    if (m_running)
        if (CQvFramePool* pool = GetFramePool())
            pool->Undo();
    m_running = false;
    RedrawWindow();
    BusyFlag() = 0;
}

void CCaliperView::OnKeyDown(UINT key, UINT repeatCount, UINT flags)
{
    m_main.KeyDown(key, repeatCount, flags);
    CPlgView::OnKeyDown(key, repeatCount, flags);
}

void CCaliperView::OnLButtonDblClk(UINT, CPoint point)
{
    ClientToImage(point, 0);
}

void CCaliperView::OnLButtonDown(UINT flags, CPoint point)
{
    const CPoint p = ClientToImage(point, 0);
    if (p.x == -1)
        return;
    if (CCaliperSession* session = m_main.Current())
        session->MouseDown(flags, p.x, p.y);
}

void CCaliperView::OnLButtonUp(UINT flags, CPoint point)
{
    CCaliperSession* session = m_main.Current();
    if (!session)
        return;
    CPoint p = ClientToImage(point, 0);
    // Released off the image: the last position on it ends the drag or the rubber band.
    if (p.x == -1)
        p = session->Tools().CurrentPosition();
    session->MouseUp(flags, p.x, p.y);
    m_main.RefreshProfile();
}

void CCaliperView::OnMouseMoveOnImage(UINT flags, CPoint point)
{
    if (CCaliperSession* session = m_main.Current())
        session->MouseMove(flags, point.x, point.y);
}

BOOL CCaliperView::OnSetCursor(QWidget* window, UINT, UINT)
{
    QWidget* target = window;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(window))
        target = area->viewport();
    if (!target)
        return 1;
    switch (m_main.Settings().ToolMode()) {
    case 1:
        target->setCursor(LineCursor());
        break;
    case 2:
        target->setCursor(CircleCursor());
        break;
    default:
        target->setCursor(Qt::ArrowCursor);
        break;
    }
    return 1;
}

// ---- CCaliperPlgApp

CCaliperPlgApp::CCaliperPlgApp() : m_main(*this)
{
    m_main.SetDialogFactory([](CaliperMain& main) { return MakeCaliperDialog(main); });
}

CCaliperPlgApp::~CCaliperPlgApp() = default;

void CCaliperPlgApp::SetSettingsFolders(std::string settingsFolder, std::string userFolder)
{
    m_settingsFolder = std::move(settingsFolder);
    m_userFolder = std::move(userFolder);
}

int CCaliperPlgApp::CreatePlgView(int index, int, CPlgView** out)
{
    if (index != 0 || !out)
        return 0;
    *out = new CCaliperView(m_main);
    return 1;
}

int CCaliperPlgApp::InitPlgApp()
{
    if (m_settingsFolder.empty()) {
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(&SettingsFolderOfModule), &info) && info.dli_fname)
            m_settingsFolder = SettingsFolderOfModule(info.dli_fname);
        m_userFolder = UserSettingsFolder();
    }
    return m_main.Init(m_settingsFolder, m_userFolder);
}

int CCaliperPlgApp::ExitPlgApp()
{
    m_main.Exit();
    return 1;
}
