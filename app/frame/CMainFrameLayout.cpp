// The main frame's layouts: toolbars, docking panes and window placement saved in and loaded from the profile, the
// start-up arrangement, the full-screen layout and the four stock layouts.
#include "frame/CMainFrame.h"

#include "frame/CommandActions.h"
#include "frame/CommandBarLayout.h"
#include "frame/CommandIds.h"
#include "frame/StockLayouts.h"
#include "profile/CAppProfile.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

using namespace cmd;

namespace {

// Separators that removed buttons left at the ends of a toolbar or next to each other.
void TidySeparators(QToolBar* toolbar)
{
    QAction* previous = nullptr;
    for (QAction* action : toolbar->actions()) {
        if (action->isSeparator() && (!previous || previous->isSeparator()))
            toolbar->removeAction(action);
        else
            previous = action;
    }
    if (previous && previous->isSeparator())
        toolbar->removeAction(previous);
}

}  // namespace

void CMainFrame::WriteState(const char* section, const QByteArray& state)
{
    m_profile.WriteProfileBinary(section, kLayoutEntry, state.constData(), static_cast<DWORD>(state.size()));
}

bool CMainFrame::ReadState(const char* section, QByteArray& state) const
{
    std::vector<BYTE> bytes;
    if (!m_profile.GetProfileBinary(section, kLayoutEntry, bytes) || bytes.empty())
        return false;
    state = QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    return true;
}

bool CMainFrame::RestoreStateFrom(const char* section)
{
    QByteArray state;
    // restoreState checks the blob's marker and version and changes nothing when it does not read.
    return ReadState(section, state) && restoreState(state);
}

bool CMainFrame::RestorePlacementFromProfile()
{
    std::vector<BYTE> bytes;
    if (!m_profile.GetProfileBinary(kWindowPlacementSection, kWindowPlacementEntry, bytes) || bytes.empty())
        return false;
    return restoreGeometry(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

void CMainFrame::SaveLayout()
{
    const QByteArray state = saveState();
    WriteState(kToolbarStateSection, state);
    WriteState(kDockingLayoutSection, state);
    const QByteArray geometry = saveGeometry();
    m_profile.WriteProfileBinary(kWindowPlacementSection, kWindowPlacementEntry, geometry.constData(),
                                 static_cast<DWORD>(geometry.size()));
}

bool CMainFrame::LoadLayout()
{
    const bool toolbars = RestoreStateFrom(kToolbarStateSection);
    RestorePlacementFromProfile();
    const bool docking = RestoreStateFrom(kDockingLayoutSection);
    return toolbars || docking;
}

void CMainFrame::RestorePlacement()
{
    RestoreStateFrom(kToolbarStateSection);
    // A ninth toolbar that holds only its plug-in menu button has nothing to offer.
    if (QToolBar* ninth = Toolbar(TOOLBAR_NINTH); ninth && ninth->actions().size() == 1)
        ninth->hide();
    RestorePlacementFromProfile();
}

void CMainFrame::BuildCommandBars()
{
    for (UINT id : {TOOLBAR_AREA, TOOLBAR_ADVANCED, TOOLBAR_ATTRIBUTE})
        if (QToolBar* toolbar = Toolbar(id))
            toolbar->hide();
    if (QToolBar* image = Toolbar(TOOLBAR_IMAGE)) {
        for (UINT id : {ID_EDIT_UNDO, ID_EDIT_REDO, ID_ZOOM_IN, ID_ZOOM_COMBO, ID_ZOOM_OUT})
            if (QAction* action = m_actions->Action(id))
                image->removeAction(action);
        TidySeparators(image);
    }
    QMenu* plugins = PluginMenu();
    if (plugins && plugins->isEmpty()) {
        if (QMenu* view = MainMenu(kViewMenuIndex))
            if (QAction* ninth = m_actions->Action(ID_TOOLBAR_NINTH))
                view->removeAction(ninth);
        menuBar()->removeAction(plugins->menuAction());
    }
}

void CMainFrame::ResetBars()
{
    for (const auto& [id, toolbar] : m_toolbars)
        toolbar->setVisible(id != TOOLBAR_CALIBRATION);
    for (UINT id : {PANE_MAGNIFIER, PANE_THUMBNAILS, PANE_TOOLS})
        if (QDockWidget* dock = Pane(id))
            dock->show();
    if (QDockWidget* report = Pane(PANE_REPORT))
        report->hide();
}

void CMainFrame::LoadStockLayout(UINT commandId)
{
    const StockLayout* layout = FindStockLayout(commandId);
    if (!layout)
        return;
    // The stock layout replaces the stored one in the profile at once, in this process, before it is loaded: no
    // other program writes it and nothing has to be waited for.
    m_profile.WriteProfileString(kToolbarStateSection, nullptr, nullptr);
    m_profile.WriteProfileString(kDockingLayoutSection, nullptr, nullptr);
    ArrangeStockLayout(*layout, *this);
    const QByteArray state = saveState();
    WriteState(kToolbarStateSection, state);
    WriteState(kDockingLayoutSection, state);

    LoadLayout();
    if (m_hooks.reloadProfileSettings)
        m_hooks.reloadProfileSettings();
    ResetBars();
}

void CMainFrame::EnterFullScreen()
{
    if (m_fullScreen)
        return;
    const QByteArray state = saveState();
    WriteState(kFullScreenToolbarSection, state);
    WriteState(kFullScreenDockingSection, state);
    const QByteArray geometry = saveGeometry();
    m_profile.WriteProfileBinary(kWindowPlacementSection, kWindowPlacementEntry, geometry.constData(),
                                 static_cast<DWORD>(geometry.size()));
    for (const auto& [id, dock] : m_panes)
        dock->close();
    for (const auto& [id, toolbar] : m_toolbars)
        toolbar->hide();
    menuBar()->hide();
    m_fullScreen = true;
}

void CMainFrame::LeaveFullScreen()
{
    if (!m_fullScreen)
        return;
    menuBar()->show();
    RestoreStateFrom(kFullScreenToolbarSection);
    RestorePlacementFromProfile();
    RestoreStateFrom(kFullScreenDockingSection);
    m_fullScreen = false;
}
