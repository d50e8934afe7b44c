#include "frame/CMainFrame.h"

#include "frame/CChildFrame.h"
#include "frame/ColourPopupButton.h"
#include "frame/CommandActions.h"
#include "frame/CommandBarLayout.h"
#include "frame/CommandIcons.h"
#include "frame/CommandIds.h"
#include "frame/CommandInfo.h"
#include "frame/DesktopOpener.h"
#include "frame/FrameStrings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

using namespace cmd;

namespace {

constexpr int kIdleUpdateMs = 200;

const CommandMapEntry<CMainFrame> kMainFrameCommands[] = {
    CommandRangeEntry(ID_PANE_MAGNIFIER, ID_PANE_TOOLS, &CMainFrame::OnTogglePane, &CMainFrame::OnUpdateTogglePane),
    CommandIdEntry(ID_TOOLBAR_BASIC, &CMainFrame::OnToggleToolbar, &CMainFrame::OnUpdateToggleToolbar),
    CommandIdEntry(ID_TOOLBAR_IMAGE, &CMainFrame::OnToggleToolbar, &CMainFrame::OnUpdateToggleToolbar),
    CommandRangeEntry(ID_TOOLBAR_CALIBRATION, ID_TOOLBAR_NINTH, &CMainFrame::OnToggleToolbar,
                      &CMainFrame::OnUpdateToggleToolbar),
    CommandIdEntry(ID_TOOLBAR_AUTO_MEASURE, &CMainFrame::OnToggleToolbar, &CMainFrame::OnUpdateToggleToolbar),
    CommandEntry(ID_IMAGE_TILING, &CMainFrame::OnImageTiling, &CMainFrame::OnUpdateImageTiling),
    CommandEntry(ID_GRID_PROPERTIES, &CMainFrame::OnGridProperties),
    CommandRangeEntry(ID_LAYOUT_COMMON, ID_LAYOUT_RIGHT_BOTTOM2, &CMainFrame::OnStockLayout),
    CommandIdEntry(ID_HELP_FINDER, &CMainFrame::OnHelp),
    CommandIdEntry(ID_HELP, &CMainFrame::OnHelp),
    CommandIdEntry(ID_CONTEXT_HELP, &CMainFrame::OnHelp),
    CommandIdEntry(ID_DEFAULT_HELP, &CMainFrame::OnHelp),
    UpdateEntry(ID_CALIBRATION_NAME_BOX, &CMainFrame::OnUpdateCalibrationBox),
    UpdateEntry(ID_MAGNIFICATION_BOX, &CMainFrame::OnUpdateCalibrationBox),
    UpdateEntry(ID_UNIT_BOX, &CMainFrame::OnUpdateCalibrationBox),
    CommandEntry(ID_LIVE_MEASURE_WINDOW, &CMainFrame::OnLiveMeasureWindow, &CMainFrame::OnUpdateLiveMeasureWindow),
    CommandEntry(ID_WINDOW_CASCADE, &CMainFrame::OnWindowCascade, &CMainFrame::OnUpdateWindowArrange),
    CommandEntry(ID_WINDOW_TILE_HORZ, &CMainFrame::OnWindowTile, &CMainFrame::OnUpdateWindowArrange),
};

// The pane each toggle command shows and closes.
UINT PaneOfCommand(UINT id)
{
    switch (id) {
    case ID_PANE_MAGNIFIER: return PANE_MAGNIFIER;
    case ID_PANE_REPORT: return PANE_REPORT;
    case ID_PANE_THUMBNAILS: return PANE_THUMBNAILS;
    case ID_PANE_TOOLS: return PANE_TOOLS;
    default: return 0;
    }
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CMainFrame::CMainFrame(const MainFrameOptions& options, QWidget* parent)
    : QMainWindow(parent),
      m_profile(*options.profile),
      m_language(options.language),
      m_programFolder(options.programFolder),
      m_helpFilePath(options.helpFilePath),
      m_router([this] { return CurrentRoute(); })
{
    if (m_helpFilePath.empty()) {
        m_helpFilePath = m_programFolder;
        if (!m_helpFilePath.empty() && m_helpFilePath.back() != '/')
            m_helpFilePath += '/';
        m_helpFilePath += "Vistrel.pdf";
    }
    AddCommandMap(kMainFrameCommands);
    // The grid toggle and the grid properties are withdrawn in this edition: whichever target handles them and
    // whatever its update handler says, they stay disabled.
    m_router.Withdraw(ID_GRID_SHOW);
    m_router.Withdraw(ID_GRID_PROPERTIES);
    m_actions = new CommandActions(this, m_router, m_language);

    setObjectName("MainFrame");
    setWindowTitle("Vistrel");
    setWindowIcon(CommandIcon("capture"));
    setIconSize(QSize(20, 20));
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks | QMainWindow::AllowNestedDocks);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName("MdiArea");
    m_mdiArea->setViewMode(QMdiArea::SubWindowView);
    m_mdiArea->setBackground(QColor(128, 128, 128));
    setCentralWidget(m_mdiArea);

    CreateStatusBar();
    CreateMenuBar();
    CreateToolbars();
    CreatePanes();
    // A stored docking layout replaces the default arrangement; a missing or unreadable one leaves it.
    RestoreStateFrom(kDockingLayoutSection);

    m_idleTimer = new QTimer(this);
    m_idleTimer->setInterval(kIdleUpdateMs);
    connect(m_idleTimer, &QTimer::timeout, this, [this] {
        if (isVisible())
            UpdateCommandUI();
    });
    m_idleTimer->start();
}

CMainFrame::~CMainFrame()
{
    if (m_hooks.beforeDestroy)
        m_hooks.beforeDestroy();
}

void CMainFrame::AddCommandTarget(CCmdTarget* target)
{
    if (target)
        m_commandTargets.push_back(target);
}

void CMainFrame::RemoveCommandTarget(CCmdTarget* target)
{
    std::erase(m_commandTargets, target);
}

bool CMainFrame::ExecuteCommand(UINT id)
{
    if (CommandMapTarget<CMainFrame>::ExecuteCommand(id))
        return true;
    for (CCmdTarget* target : m_commandTargets)
        if (target->ExecuteCommand(id))
            return true;
    return false;
}

bool CMainFrame::UpdateCommand(CCmdUI& ui)
{
    if (CommandMapTarget<CMainFrame>::UpdateCommand(ui))
        return true;
    for (CCmdTarget* target : m_commandTargets)
        if (target->UpdateCommand(ui))
            return true;
    return false;
}

bool CMainFrame::HasCommandHandler(UINT id) const
{
    if (CommandMapTarget<CMainFrame>::HasCommandHandler(id))
        return true;
    for (const CCmdTarget* target : m_commandTargets)
        if (target->HasCommandHandler(id))
            return true;
    return false;
}

CommandRoute CMainFrame::CurrentRoute()
{
    CommandRoute route;
    if (CChildFrame* child = ActiveChildFrame()) {
        route.view = child->ViewTarget();
        route.document = child->DocumentTarget();
        route.childFrame = child;
    }
    route.mainFrame = this;
    route.application = m_application;
    return route;
}

void CMainFrame::UpdateCommandUI()
{
    for (const auto& [id, toolbar] : m_toolbars)
        if (!toolbar->isHidden())
            m_actions->Update(toolbar->actions());
    // Shortcuts of commands that no visible toolbar carries must follow the state too.
    for (QMenu* menu : m_menus)
        for (QAction* action : menu->actions())
            if (!action->shortcut().isEmpty())
                m_actions->Update(action);
}

CChildFrame* CMainFrame::AddChildFrame(QWidget* view, CCmdTarget* viewTarget, CCmdTarget* documentTarget)
{
    auto* child = new CChildFrame;
    child->setWidget(view);
    child->SetCommandTargets(viewTarget, documentTarget);
    m_mdiArea->addSubWindow(child);
    child->show();
    m_mdiArea->setActiveSubWindow(child);
    return child;
}

CChildFrame* CMainFrame::ActiveChildFrame() const
{
    return qobject_cast<CChildFrame*>(m_mdiArea->currentSubWindow());
}

void CMainFrame::CreateMenuBar()
{
    for (const MenuDefinition& definition : MainMenuLayout()) {
        QMenu* menu = menuBar()->addMenu(Text(FrameString(definition.caption, m_language)));
        for (UINT id : definition.items) {
            if (id == kSeparator)
                menu->addSeparator();
            else if (QAction* action = m_actions->Action(id))
                menu->addAction(action);
        }
        m_actions->UpdateWhenShown(menu);
        m_menus.push_back(menu);
    }
}

void CMainFrame::CreateToolbars()
{
    for (const ToolbarDefinition& definition : ToolbarLayout()) {
        const QString caption = Text(FrameString(definition.captionString, m_language));
        if (definition.breakBefore)
            addToolBarBreak(Qt::TopToolBarArea);
        QToolBar* toolbar = addToolBar(caption);
        toolbar->setObjectName(QString::number(definition.resourceId));
        // The toolbar's own menu entry goes through the command, so both stay one state.
        toolbar->toggleViewAction()->setVisible(false);
        for (UINT id : definition.controls) {
            if (id == kSeparator)
                toolbar->addSeparator();
            else
                CreateToolbarControl(toolbar, id);
        }
        m_toolbars[definition.resourceId] = toolbar;
    }
}

void CMainFrame::CreateToolbarControl(QToolBar* toolbar, UINT id)
{
    const auto addCombo = [&](QComboBox*& box, const QStringList& items, int selection, int width) {
        box = new QComboBox(toolbar);
        box->setObjectName(QString::number(id));
        box->addItems(items);
        box->setCurrentIndex(selection);
        box->setMinimumWidth(width);
        auto* action = new QWidgetAction(toolbar);
        action->setDefaultWidget(box);
        if (const CommandInfo* info = FindCommandInfo(id))
            action->setText(Text(CommandCaption(*info, m_language)));
        m_actions->AdoptAction(id, action);
        toolbar->addAction(action);
        connect(box, &QComboBox::activated, this, [this, id](int index) {
            if (id == ID_ZOOM_COMBO)
                m_router.Execute(id);
            else if (m_hooks.calibrationBoxSelected)
                m_hooks.calibrationBoxSelected(id, index);
        });
    };
    const auto addColour = [&](ColourPopupButton*& button, const QString& glyph, UINT selectorId) {
        button = new ColourPopupButton(glyph, Text(FrameString(8010, m_language)), Text(FrameString(8011, m_language)),
                                       toolbar);
        button->setObjectName(QString::number(id));
        button->onApply = [this, id] { m_router.Execute(id); };
        button->onPicked = [this, selectorId](COLORREF) { m_router.Execute(selectorId); };
        auto* action = new QWidgetAction(toolbar);
        action->setDefaultWidget(button);
        if (const CommandInfo* info = FindCommandInfo(id)) {
            action->setText(Text(CommandCaption(*info, m_language)));
            button->setToolTip(action->text());
        }
        m_actions->AdoptAction(id, action);
        toolbar->addAction(action);
    };

    switch (id) {
    case ID_CALIBRATION_NAME_BOX:
        addCombo(m_calibrationNameBox, {Text(FrameString(523, m_language))}, 0, 120);
        return;
    case ID_MAGNIFICATION_BOX:
        addCombo(m_magnificationBox, {Text(FrameString(523, m_language))}, 0, 80);
        return;
    case ID_UNIT_BOX:
        addCombo(m_unitBox, {Text(FrameString(520, m_language))}, 0, 70);
        return;
    case ID_ZOOM_COMBO:
        addCombo(m_zoomBox,
                 {"5%", "10%", "25%", "50%", "100%", "200%", "300%", "400%", "500%", "600%", "700%", "800%", "1000%",
                  "2000%"},
                 4, 70);
        return;
    case ID_LINE_COLOUR:
        addColour(m_lineColour, QString(), ID_LINE_COLOUR_SELECTOR);
        return;
    case ID_TEXT_COLOUR:
        addColour(m_textColour, "A", ID_TEXT_COLOUR_SELECTOR);
        return;
    case kPluginMenuControl: {
        auto* button = new QToolButton(toolbar);
        button->setObjectName("PluginMenuButton");
        button->setIcon(CommandIcon("plug-ins"));
        button->setToolTip(Text(FrameString(428, m_language)));
        button->setPopupMode(QToolButton::InstantPopup);
        button->setMenu(PluginMenu());
        toolbar->addWidget(button);
        return;
    }
    default:
        if (QAction* action = m_actions->Action(id))
            toolbar->addAction(action);
        return;
    }
}

void CMainFrame::CreatePanes()
{
    struct PaneDefinition
    {
        UINT id;
        UINT toggleCommand;
        Qt::DockWidgetArea area;
        int width;
        int height;
    };
    // Magnifier and thumbnails on the left, the tools on the right, the report along the bottom.
    const PaneDefinition panes[] = {
        {PANE_MAGNIFIER, ID_PANE_MAGNIFIER, Qt::LeftDockWidgetArea, 150, 120},
        {PANE_THUMBNAILS, ID_PANE_THUMBNAILS, Qt::LeftDockWidgetArea, 150, 120},
        {PANE_TOOLS, ID_PANE_TOOLS, Qt::RightDockWidgetArea, 300, 120},
        {PANE_REPORT, ID_PANE_REPORT, Qt::BottomDockWidgetArea, 150, 120},
    };
    for (const PaneDefinition& pane : panes) {
        QString title;
        if (const CommandInfo* info = FindCommandInfo(pane.toggleCommand))
            title = Text(CommandCaption(*info, m_language));
        title.remove(QRegularExpression("\\(&.\\)")).remove(QLatin1Char('&'));
        auto* dock = new QDockWidget(title.trimmed(), this);
        dock->setObjectName(QString::number(pane.id));
        auto* placeholder = new QWidget(dock);
        placeholder->setObjectName("placeholder");
        dock->setWidget(placeholder);
        dock->toggleViewAction()->setVisible(false);
        addDockWidget(pane.area, dock);
        m_panes[pane.id] = dock;
    }
    resizeDocks({m_panes[PANE_MAGNIFIER], m_panes[PANE_TOOLS]}, {150, 300}, Qt::Horizontal);
    resizeDocks({m_panes[PANE_MAGNIFIER], m_panes[PANE_THUMBNAILS], m_panes[PANE_REPORT]}, {120, 120, 120},
                Qt::Vertical);
}

QDockWidget* CMainFrame::Pane(UINT paneId) const
{
    const auto found = m_panes.find(paneId);
    return found == m_panes.end() ? nullptr : found->second;
}

void CMainFrame::SetPaneWidget(UINT paneId, QWidget* widget)
{
    QDockWidget* dock = Pane(paneId);
    if (!dock)
        return;
    QWidget* old = dock->widget();
    dock->setWidget(widget);
    if (old && old != widget)
        old->deleteLater();
}

bool CMainFrame::IsPaneClosed(UINT paneId) const
{
    QDockWidget* dock = Pane(paneId);
    return !dock || dock->isHidden();
}

QToolBar* CMainFrame::Toolbar(UINT resourceId) const
{
    const auto found = m_toolbars.find(resourceId);
    return found == m_toolbars.end() ? nullptr : found->second;
}

QMenu* CMainFrame::MainMenu(int index) const
{
    return index >= 0 && index < static_cast<int>(m_menus.size()) ? m_menus[static_cast<size_t>(index)] : nullptr;
}

QToolBar* CMainFrame::ToolbarOfCommand(UINT toggleId) const
{
    for (const ToolbarDefinition& definition : ToolbarLayout())
        if (definition.toggleCommand == toggleId)
            return Toolbar(definition.resourceId);
    return nullptr;
}

void CMainFrame::OnTogglePane(UINT id)
{
    QDockWidget* dock = Pane(PaneOfCommand(id));
    if (!dock)
        return;
    if (dock->isHidden()) {
        dock->show();
        dock->raise();
    } else {
        dock->close();
    }
}

void CMainFrame::OnUpdateTogglePane(CCmdUI* ui)
{
    ui->SetCheck(IsPaneClosed(PaneOfCommand(ui->m_nID)) ? 0 : 1);
}

void CMainFrame::OnToggleToolbar(UINT id)
{
    if (QToolBar* toolbar = ToolbarOfCommand(id))
        toolbar->setVisible(toolbar->isHidden());
}

void CMainFrame::OnUpdateToggleToolbar(CCmdUI* ui)
{
    QToolBar* toolbar = ToolbarOfCommand(ui->m_nID);
    ui->Enable(toolbar != nullptr);
    ui->SetCheck(toolbar && !toolbar->isHidden() ? 1 : 0);
}

void CMainFrame::OnStockLayout(UINT id) { LoadStockLayout(id); }

void CMainFrame::OnHelp(UINT) { OpenWithDesktopOrSay(m_helpFilePath); }

void CMainFrame::OnImageTiling()
{
    if (m_hooks.startImageTiling)
        m_hooks.startImageTiling();
}

void CMainFrame::OnUpdateImageTiling(CCmdUI* ui) { ui->Enable(static_cast<bool>(m_hooks.startImageTiling)); }

void CMainFrame::OnGridProperties()
{
    if (m_hooks.gridProperties)
        m_hooks.gridProperties();
}

void CMainFrame::OnLiveMeasureWindow()
{
    if (m_hooks.showLiveMeasureWindow)
        m_hooks.showLiveMeasureWindow();
}

void CMainFrame::OnUpdateLiveMeasureWindow(CCmdUI* ui)
{
    ui->Enable(static_cast<bool>(m_hooks.showLiveMeasureWindow));
}

void CMainFrame::OnUpdateCalibrationBox(CCmdUI* ui) { ui->Enable(true); }

void CMainFrame::OnWindowCascade() { m_mdiArea->cascadeSubWindows(); }

void CMainFrame::OnWindowTile() { m_mdiArea->tileSubWindows(); }

void CMainFrame::OnUpdateWindowArrange(CCmdUI* ui) { ui->Enable(!m_mdiArea->subWindowList().isEmpty()); }

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The documents are asked first: when the user keeps the program open, neither the layout nor the companion
    // programs may be told that it closes.
    if (m_hooks.closeDocuments && !m_hooks.closeDocuments()) {
        event->ignore();
        return;
    }
    SaveLayout();
    if (m_hooks.notifyPeersClosing)
        m_hooks.notifyPeersClosing();
    event->accept();
}
