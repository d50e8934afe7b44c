// The main frame built offscreen: pane and toolbar commands, stock layouts, status panes, layouts kept in a
// temporary profile, the route through child frames, and a look at the whole window.
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "frame/ColourPopupButton.h"
#include "frame/CommandActions.h"
#include "frame/CommandBarLayout.h"
#include "frame/CommandIds.h"
#include "frame/DesktopOpener.h"
#include "profile/CAppProfile.h"
#include "profile/Registry.h"
#include "resources/StringTable.h"
#include "strings/Format.h"
#include "testing/MessageBoxRecorder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace cmd;

namespace {

class MainFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        setenv("XDG_CONFIG_HOME", m_config.path().toUtf8().constData(), 1);
        setenv("XDG_CONFIG_DIRS", m_config.path().toUtf8().constData(), 1);
        RegReloadStore();
    }
    void TearDown() override
    {
        SetDesktopOpenerHook({});
        RegReloadStore();
    }

    std::unique_ptr<CMainFrame> MakeFrame(LANGID language = UI_LANGUAGE_KOREAN)
    {
        MainFrameOptions options;
        options.profile = &profile;
        options.language = language;
        options.programFolder = "/opt/vistrel";
        auto frame = std::make_unique<CMainFrame>(options);
        frame->resize(1200, 800);
        return frame;
    }

    QTemporaryDir m_config;
    CAppProfile profile{"QRX", "Vistrel"};
};

// Every toolbar and pane, by whether it should show after a stock layout.
std::map<UINT, bool> ToolbarVisibility(const CMainFrame& frame)
{
    std::map<UINT, bool> visible;
    for (const ToolbarDefinition& definition : ToolbarLayout())
        visible[definition.resourceId] = !frame.Toolbar(definition.resourceId)->isHidden();
    return visible;
}

std::map<UINT, bool> PaneVisibility(const CMainFrame& frame)
{
    std::map<UINT, bool> visible;
    for (UINT pane : {PANE_MAGNIFIER, PANE_THUMBNAILS, PANE_REPORT, PANE_TOOLS})
        visible[pane] = !frame.IsPaneClosed(pane);
    return visible;
}

TEST_F(MainFrameTest, PaneCommandsCloseAndShowTheirPaneAndTickWhileItIsOpen)
{
    auto frame = MakeFrame();
    const std::pair<UINT, UINT> cases[] = {{ID_PANE_MAGNIFIER, PANE_MAGNIFIER},
                                           {ID_PANE_REPORT, PANE_REPORT},
                                           {ID_PANE_THUMBNAILS, PANE_THUMBNAILS},
                                           {ID_PANE_TOOLS, PANE_TOOLS}};
    QMenu* viewMenu = frame->MainMenu(kViewMenuIndex);
    for (const auto& [command, pane] : cases) {
        SCOPED_TRACE(command);
        ASSERT_FALSE(frame->IsPaneClosed(pane));
        EXPECT_TRUE(frame->Router().Query(command).checked);

        EXPECT_TRUE(frame->Router().Execute(command));
        EXPECT_TRUE(frame->IsPaneClosed(pane));
        EXPECT_FALSE(frame->Router().Query(command).checked);
        // The menu shows the state the moment it opens.
        Q_EMIT viewMenu->aboutToShow();
        EXPECT_FALSE(frame->Actions().Action(command)->isChecked());

        frame->Actions().Action(command)->trigger();
        EXPECT_FALSE(frame->IsPaneClosed(pane));
        EXPECT_TRUE(frame->Actions().Action(command)->isChecked());
    }
}

TEST_F(MainFrameTest, ToolbarCommandsToggleTheirToolbar)
{
    auto frame = MakeFrame();
    const std::pair<UINT, UINT> cases[] = {
        {ID_TOOLBAR_BASIC, TOOLBAR_BASIC},           {ID_TOOLBAR_IMAGE, TOOLBAR_IMAGE},
        {ID_TOOLBAR_CALIBRATION, TOOLBAR_CALIBRATION}, {ID_TOOLBAR_RESULT, TOOLBAR_RESULT},
        {ID_TOOLBAR_ADVANCED, TOOLBAR_ADVANCED},     {ID_TOOLBAR_AREA, TOOLBAR_AREA},
        {ID_TOOLBAR_ACQUISITION, TOOLBAR_ACQUISITION}, {ID_TOOLBAR_ATTRIBUTE, TOOLBAR_ATTRIBUTE},
        {ID_TOOLBAR_NINTH, TOOLBAR_NINTH},           {ID_TOOLBAR_AUTO_MEASURE, TOOLBAR_AUTO_MEASURE}};
    for (const auto& [command, toolbarId] : cases) {
        SCOPED_TRACE(command);
        QToolBar* toolbar = frame->Toolbar(toolbarId);
        ASSERT_NE(toolbar, nullptr);
        EXPECT_EQ(toolbar->objectName(), QString::number(toolbarId));
        ASSERT_FALSE(toolbar->isHidden());
        EXPECT_TRUE(frame->Router().Query(command).checked);
        frame->Router().Execute(command);
        EXPECT_TRUE(toolbar->isHidden());
        EXPECT_FALSE(frame->Router().Query(command).checked);
        frame->Router().Execute(command);
        EXPECT_FALSE(toolbar->isHidden());
    }
    // 1302 is no toolbar of ours: nobody handles it.
    EXPECT_FALSE(frame->Router().Query(1302).enabled);
}

TEST_F(MainFrameTest, StockLayoutHidesTheCalibrationToolbarAndTheReportPane)
{
    for (UINT layout : {ID_LAYOUT_COMMON, ID_LAYOUT_COMPACT, ID_LAYOUT_RIGHT_BOTTOM, ID_LAYOUT_RIGHT_BOTTOM2}) {
        SCOPED_TRACE(layout);
        auto frame = MakeFrame();
        // Start from the opposite of what the layout leaves.
        frame->Toolbar(TOOLBAR_CALIBRATION)->show();
        frame->Toolbar(TOOLBAR_AREA)->hide();
        frame->Pane(PANE_MAGNIFIER)->close();
        frame->Pane(PANE_REPORT)->show();
        int reloaded = 0;
        frame->Hooks().reloadProfileSettings = [&] { ++reloaded; };

        ASSERT_TRUE(frame->Router().Execute(layout));

        EXPECT_EQ(reloaded, 1);
        for (const auto& [toolbar, visible] : ToolbarVisibility(*frame))
            EXPECT_EQ(visible, toolbar != TOOLBAR_CALIBRATION) << toolbar;
        for (const auto& [pane, visible] : PaneVisibility(*frame))
            EXPECT_EQ(visible, pane != PANE_REPORT) << pane;
        // The layout went through the profile, where the next start finds it.
        std::vector<BYTE> stored;
        EXPECT_TRUE(profile.GetProfileBinary(kToolbarStateSection, kLayoutEntry, stored));
        EXPECT_TRUE(profile.GetProfileBinary(kDockingLayoutSection, kLayoutEntry, stored));
    }
}

TEST_F(MainFrameTest, StockLayoutsPlaceThePanes)
{
    auto frame = MakeFrame();
    frame->Router().Execute(ID_LAYOUT_RIGHT_BOTTOM);
    EXPECT_EQ(frame->dockWidgetArea(frame->Pane(PANE_MAGNIFIER)), Qt::RightDockWidgetArea);
    EXPECT_EQ(frame->dockWidgetArea(frame->Pane(PANE_REPORT)), Qt::BottomDockWidgetArea);
    frame->Router().Execute(ID_LAYOUT_COMMON);
    EXPECT_EQ(frame->dockWidgetArea(frame->Pane(PANE_MAGNIFIER)), Qt::LeftDockWidgetArea);
    EXPECT_EQ(frame->dockWidgetArea(frame->Pane(PANE_TOOLS)), Qt::RightDockWidgetArea);
    frame->Router().Execute(ID_LAYOUT_COMPACT);
    EXPECT_EQ(frame->tabifiedDockWidgets(frame->Pane(PANE_MAGNIFIER)).size(), 2);
}

TEST_F(MainFrameTest, MousePositionUsesThePreferencesDecimalsInBothLanguages)
{
    struct Case
    {
        LANGID language;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {UI_LANGUAGE_KOREAN, 3, "마우스 위치 (1.235,2.000)"},
        {UI_LANGUAGE_ENGLISH, 3, "Mouse Position (1.235,2.000)"},
        {UI_LANGUAGE_KOREAN, 0, "마우스 위치 (1,2)"},
        {UI_LANGUAGE_KOREAN, -4, "마우스 위치 (1,2)"},
        // A damaged preference builds no format of its own length.
        {UI_LANGUAGE_KOREAN, 1000000000, "마우스 위치 (1.2345999479,2.0000000000)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        auto frame = MakeFrame(c.language);
        frame->Hooks().decimalPlaces = [&] { return c.decimals; };
        frame->SetMousePosition(1.2346f, 2.0f);
        EXPECT_EQ(frame->PaneText(PANE_STATUS_MOUSE), c.expected);
        QLabel* pane = frame->StatusPane(PANE_STATUS_MOUSE);
        EXPECT_GE(pane->width(), frame->statusBar()->fontMetrics().horizontalAdvance(pane->text()));
    }
}

TEST_F(MainFrameTest, StatusPanesStartWithTheirCaptionsAndFollowTheCalibrationBoxes)
{
    auto frame = MakeFrame();
    EXPECT_EQ(frame->PaneText(PANE_STATUS_COLOUR), "색상");
    EXPECT_EQ(frame->PaneText(PANE_STATUS_IMAGE_SIZE), "이미지 크기");
    EXPECT_EQ(frame->PaneText(PANE_STATUS_MOUSE), "마우스 위치");

    const QLabel* colour = frame->StatusPane(PANE_STATUS_COLOUR);
    frame->SetColorText("R:255 G:0 B:0 with a longer text");
    EXPECT_GT(frame->StatusPane(PANE_STATUS_COLOUR)->width(), QFontMetrics(colour->font()).horizontalAdvance("색상"));

    int applied = 0;
    frame->Hooks().applyCalibrationToActiveDocument = [&] { return ++applied; };
    EXPECT_EQ(frame->UpdateCalibrationPanes(), 1);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(frame->PaneText(PANE_STATUS_CALIBRATION), "교정명 : 없음");
    EXPECT_EQ(frame->PaneText(PANE_STATUS_MAGNIFICATION), "배율 : 없음");
    EXPECT_EQ(frame->PaneText(PANE_STATUS_UNIT), "단위 : 픽셀");

    // The order of the panes on the bar: colour, size, mouse, calibration, magnification, unit.
    const std::vector<UINT> order = {440, 441, 442, 444, 446, 443};
    for (size_t i = 1; i < order.size(); ++i)
        EXPECT_LT(frame->StatusPane(order[i - 1])->x(), frame->StatusPane(order[i])->x() + 1);
}

TEST_F(MainFrameTest, LayoutSurvivesARestartThroughTheProfile)
{
    {
        auto frame = MakeFrame();
        frame->Toolbar(TOOLBAR_ACQUISITION)->hide();
        frame->Pane(PANE_THUMBNAILS)->close();
        frame->removeDockWidget(frame->Pane(PANE_TOOLS));
        frame->addDockWidget(Qt::BottomDockWidgetArea, frame->Pane(PANE_TOOLS));
        frame->Pane(PANE_TOOLS)->show();
        frame->SaveLayout();
    }
    // The docking layout is applied as the frame is made; the toolbars when the start-up restores them.
    auto frame = MakeFrame();
    EXPECT_TRUE(frame->IsPaneClosed(PANE_THUMBNAILS));
    EXPECT_EQ(frame->dockWidgetArea(frame->Pane(PANE_TOOLS)), Qt::BottomDockWidgetArea);
    frame->Toolbar(TOOLBAR_ACQUISITION)->show();
    EXPECT_TRUE(frame->LoadLayout());
    EXPECT_TRUE(frame->Toolbar(TOOLBAR_ACQUISITION)->isHidden());
    EXPECT_FALSE(frame->Toolbar(TOOLBAR_BASIC)->isHidden());
}

TEST_F(MainFrameTest, UnreadableStoredLayoutLeavesTheDefaultArrangement)
{
    const char garbage[] = "not a layout";
    profile.WriteProfileBinary(kDockingLayoutSection, kLayoutEntry, garbage, sizeof garbage);
    profile.WriteProfileBinary(kToolbarStateSection, kLayoutEntry, garbage, sizeof garbage);
    auto frame = MakeFrame();
    EXPECT_FALSE(frame->LoadLayout());
    EXPECT_EQ(frame->dockWidgetArea(frame->Pane(PANE_MAGNIFIER)), Qt::LeftDockWidgetArea);
    EXPECT_EQ(frame->dockWidgetArea(frame->Pane(PANE_REPORT)), Qt::BottomDockWidgetArea);
    for (const auto& [pane, visible] : PaneVisibility(*frame))
        EXPECT_TRUE(visible) << pane;
}

TEST_F(MainFrameTest, FullScreenHidesEveryBarAndComesBackAsItWas)
{
    auto frame = MakeFrame();
    frame->Toolbar(TOOLBAR_AREA)->hide();
    frame->Pane(PANE_REPORT)->close();
    const auto toolbars = ToolbarVisibility(*frame);
    const auto panes = PaneVisibility(*frame);

    frame->EnterFullScreen();
    for (const auto& [toolbar, visible] : ToolbarVisibility(*frame))
        EXPECT_FALSE(visible) << toolbar;
    for (const auto& [pane, visible] : PaneVisibility(*frame))
        EXPECT_FALSE(visible) << pane;

    frame->LeaveFullScreen();
    EXPECT_EQ(ToolbarVisibility(*frame), toolbars);
    EXPECT_EQ(PaneVisibility(*frame), panes);
}

TEST_F(MainFrameTest, StartUpBuildTrimsTheBarsAndDropsAnEmptyPluginMenu)
{
    auto frame = MakeFrame();
    frame->BuildCommandBars();
    for (UINT hidden : {TOOLBAR_AREA, TOOLBAR_ADVANCED, TOOLBAR_ATTRIBUTE})
        EXPECT_TRUE(frame->Toolbar(hidden)->isHidden()) << hidden;
    const QList<QAction*> image = frame->Toolbar(TOOLBAR_IMAGE)->actions();
    for (UINT removed : {ID_EDIT_UNDO, ID_EDIT_REDO, ID_ZOOM_IN, ID_ZOOM_COMBO, ID_ZOOM_OUT})
        EXPECT_FALSE(image.contains(frame->Actions().Action(removed))) << removed;
    ASSERT_FALSE(image.isEmpty());
    EXPECT_FALSE(image.front()->isSeparator());
    EXPECT_FALSE(frame->menuBar()->actions().contains(frame->PluginMenu()->menuAction()));
    EXPECT_FALSE(frame->MainMenu(kViewMenuIndex)->actions().contains(frame->Actions().Action(ID_TOOLBAR_NINTH)));

    frame->RestorePlacement();
    EXPECT_TRUE(frame->Toolbar(TOOLBAR_NINTH)->isHidden());
}

TEST_F(MainFrameTest, HelpOpensTheProgramsPdf)
{
    std::vector<std::string> opened;
    SetDesktopOpenerHook([&](const std::string& path) {
        opened.push_back(path);
        return true;
    });
    auto frame = MakeFrame();
    for (UINT help : {ID_HELP_FINDER, ID_HELP, ID_CONTEXT_HELP, ID_DEFAULT_HELP})
        EXPECT_TRUE(frame->Router().Execute(help));
    EXPECT_EQ(opened, std::vector<std::string>(4, "/opt/vistrel/Vistrel.pdf"));
}

TEST_F(MainFrameTest, HelpSaysWhenItsFileCannotBeOpened)
{
    using testing_support::MessageBoxes;
    auto expectSaid = [](UINT id, const std::string& path) {
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_EQ(MessageBoxes().Boxes()[0].text, Format(LoadString("Vistrel", id).c_str(), path.c_str()));
        EXPECT_NE(MessageBoxes().Boxes()[0].text.find(path), std::string::npos);
        MessageBoxes().Reset();
    };
    // No file where the program looks for it: the desktop's opener is not even asked.
    auto frame = MakeFrame();
    EXPECT_TRUE(frame->Router().Execute(ID_HELP));
    expectSaid(openerstr::IDS_FILE_MISSING, "/opt/vistrel/Vistrel.pdf");
    frame.reset();

    // The file is there, but no program of the desktop takes it.
    QTemporaryDir folder;
    const std::string pdf = folder.filePath("Vistrel.pdf").toStdString();
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    SetDesktopOpenerHook([](const std::string&) { return false; });
    MainFrameOptions options;
    options.profile = &profile;
    options.programFolder = folder.path().toStdString();
    CMainFrame other(options);
    EXPECT_TRUE(other.Router().Execute(ID_HELP));
    expectSaid(openerstr::IDS_NO_PROGRAM, pdf);
}

TEST_F(MainFrameTest, CommandsOfLaterAreasWaitForTheirHooks)
{
    auto frame = MakeFrame();
    EXPECT_FALSE(frame->Router().Query(ID_IMAGE_TILING).enabled);
    EXPECT_FALSE(frame->Router().Query(ID_LIVE_MEASURE_WINDOW).enabled);
    int tiling = 0;
    frame->Hooks().startImageTiling = [&] { ++tiling; };
    frame->Hooks().gridProperties = [&] { ADD_FAILURE() << "grid properties are withdrawn"; };
    EXPECT_TRUE(frame->Router().Execute(ID_IMAGE_TILING));
    EXPECT_EQ(tiling, 1);
    for (UINT never : {ID_GRID_PROPERTIES, ID_GRID_SHOW}) {
        EXPECT_FALSE(frame->Router().Query(never).enabled) << never;
        EXPECT_FALSE(frame->Router().Execute(never)) << never;
    }
}

TEST_F(MainFrameTest, ClosingAsksTheDocumentsBeforeSavingOrTellingAnyone)
{
    auto frame = MakeFrame();
    bool keepOpen = true;
    int told = 0;
    frame->Hooks().closeDocuments = [&] { return !keepOpen; };
    frame->Hooks().notifyPeersClosing = [&] { ++told; };
    std::vector<BYTE> stored;

    QCloseEvent refused;
    QApplication::sendEvent(frame.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(told, 0);
    EXPECT_FALSE(profile.GetProfileBinary(kToolbarStateSection, kLayoutEntry, stored));

    keepOpen = false;
    QCloseEvent accepted;
    QApplication::sendEvent(frame.get(), &accepted);
    EXPECT_TRUE(accepted.isAccepted());
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(profile.GetProfileBinary(kToolbarStateSection, kLayoutEntry, stored));
    EXPECT_TRUE(profile.GetProfileBinary(kWindowPlacementSection, kWindowPlacementEntry, stored));
}

// A view and a document as later areas will register them.
class FakeViewTarget : public CommandMapTarget<FakeViewTarget>
{
public:
    explicit FakeViewTarget(std::vector<std::string>& log, const char* name) : m_log(log), m_name(name)
    {
        AddCommandMap(kMap);
    }
    void OnCommand(UINT id) { m_log.push_back(m_name + std::to_string(id)); }
    void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(1); }

private:
    static const CommandMapEntry<FakeViewTarget> kMap[4];
    std::vector<std::string>& m_log;
    std::string m_name;
};

const CommandMapEntry<FakeViewTarget> FakeViewTarget::kMap[4] = {
    CommandIdEntry(ID_TOOL_SELECT, &FakeViewTarget::OnCommand, &FakeViewTarget::OnUpdateChecked),
    CommandIdEntry(ID_LINE_COLOUR_SELECTOR, &FakeViewTarget::OnCommand),
    CommandIdEntry(ID_GRID_SHOW, &FakeViewTarget::OnCommand, &FakeViewTarget::OnUpdateChecked),
    CommandIdEntry(ID_FILE_SAVE, &FakeViewTarget::OnCommand),
};

TEST_F(MainFrameTest, ToolbarButtonsReachTheActiveViewThroughItsChildFrame)
{
    auto frame = MakeFrame();
    std::vector<std::string> log;
    FakeViewTarget view(log, "view:");
    FakeViewTarget document(log, "document:");
    FakeViewTarget application(log, "app:");
    frame->SetApplicationTarget(&application);

    // Without a child frame only the application is there.
    EXPECT_TRUE(frame->Router().Execute(ID_TOOL_SELECT));
    EXPECT_EQ(log, std::vector<std::string>{"app:1226"});

    CChildFrame* child = frame->AddChildFrame(new QWidget, &view, &document);
    ASSERT_EQ(frame->ActiveChildFrame(), child);
    log.clear();
    QAction* select = frame->Actions().Action(ID_TOOL_SELECT);
    frame->Actions().Update(select);
    EXPECT_TRUE(select->isEnabled());
    EXPECT_TRUE(select->isChecked());
    select->trigger();
    EXPECT_EQ(log, std::vector<std::string>{"view:1226"});

    // Picking a colour sets the button first, then runs the selector command on the view.
    log.clear();
    frame->LineColourButton()->Pick(RGB(255, 0, 0));
    EXPECT_EQ(frame->LineColourButton()->Colour(), RGB(255, 0, 0));
    EXPECT_EQ(log, std::vector<std::string>{"view:7024"});
    frame->LineColourButton()->Pick(CLR_AUTOMATIC);
    EXPECT_EQ(frame->LineColourButton()->Colour(), CLR_AUTOMATIC);

    // The grid toggle stays disabled though the view handles it and its update handler enables it.
    log.clear();
    EXPECT_FALSE(frame->Router().Execute(ID_GRID_SHOW));
    EXPECT_TRUE(log.empty());

    child->SetCommandTargets(nullptr, nullptr);
}

TEST_F(MainFrameTest, VisibleToolbarsFollowTheCommandStateOnTheIdleTimer)
{
    auto frame = MakeFrame(UI_LANGUAGE_ENGLISH);
    EXPECT_EQ(frame->MainMenu(0)->title(), "&File");
    frame->show();
    QAction* select = frame->Actions().Action(ID_TOOL_SELECT);
    // Until the timer has run, however late a loaded machine lets it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !select->isEnabled(); }, 10000));

    std::vector<std::string> log;
    FakeViewTarget view(log, "view:");
    CChildFrame* child = frame->AddChildFrame(new QWidget, &view, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return select->isEnabled(); }, 10000));
    EXPECT_TRUE(select->isChecked());
    child->SetCommandTargets(nullptr, nullptr);
}

TEST_F(MainFrameTest, ScreenshotShowsMenusToolbarsAndPanes)
{
    auto frame = MakeFrame();
    frame->BuildCommandBars();
    frame->RestorePlacement();
    frame->show();
    frame->SetMousePosition(123.456f, 78.9f);
    frame->SetImageSizeText("1280 x 1024");
    frame->UpdateCalibrationPanes();
    QCoreApplication::processEvents();
    frame->UpdateCommandUI();
    const QImage shot = frame->grab().toImage();
    const QString folder = QCoreApplication::applicationDirPath() + "/../test-output";
    QDir().mkpath(folder);
    EXPECT_TRUE(shot.save(folder + "/main-frame.png"));
    EXPECT_GE(shot.width(), 1000);
}

}  // namespace
