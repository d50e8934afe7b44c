// The MDI main window of Vistrel: menu bar and nine toolbars built from the command tables, the four docking panes,
// the status panes, the calibration and zoom boxes and colour controls on the toolbars, and the layouts kept in the
// profile. It is the router's main-frame target and the owner of the router: every menu item and toolbar button
// goes through it. Everything it needs comes through the constructor, so tests build it offscreen. UI thread.
#pragma once

#include "frame/CCmdTarget.h"
#include "frame/CommandRouter.h"
#include "resources/UiLanguage.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <string>
#include <vector>

class CAppProfile;
class CChildFrame;
class ColourPopupButton;
class CommandActions;
class QComboBox;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;

struct MainFrameOptions
{
    CAppProfile* profile = nullptr;  // where the layouts are kept; required, must outlive the frame
    LANGID language = GetUiLanguage();  // the session's UI language unless a window is given its own
    std::string programFolder;  // the folder of the program file
    std::string helpFilePath;   // empty: the program folder + "Vistrel.pdf"
};

// What later areas plug into the frame. Each may stay empty; the command it serves is then disabled or the step
// skipped.
struct MainFrameHooks
{
    std::function<int()> decimalPlaces;              // the preferences' "Decimal Point Range" (3 without it)
    std::function<void()> reloadProfileSettings;     // after a stock layout is loaded
    std::function<int()> applyCalibrationToActiveDocument;
    std::function<void(UINT boxId, int index)> calibrationBoxSelected;  // boxes 1234, 1235, 1236
    std::function<bool()> closeDocuments;            // asks every document; false keeps the program running
    std::function<void()> notifyPeersClosing;        // companion programs learn that the program closes
    std::function<void()> startImageTiling;          // command 1267
    std::function<void()> showLiveMeasureWindow;     // command 32916
    std::function<void()> gridProperties;            // command 1221 (kept disabled in this edition)
    std::function<void()> beforeDestroy;             // the live result box, the calibration window
    std::function<void()> refillCalibrationBoxes;    // the calibration list changed (start-up read it)
};

class CMainFrame : public QMainWindow, public CommandMapTarget<CMainFrame>
{
    Q_OBJECT

public:
    explicit CMainFrame(const MainFrameOptions& options, QWidget* parent = nullptr);
    ~CMainFrame() override;

    MainFrameHooks& Hooks() { return m_hooks; }
    LANGID Language() const { return m_language; }
    // The profile the frame keeps its layouts in; the docks keep their settings there too.
    CAppProfile& Profile() const { return m_profile; }

    // Commands
    CommandRouter& Router() { return m_router; }
    CommandActions& Actions() { return *m_actions; }
    // The last target on the route; null until the application registers itself.
    void SetApplicationTarget(CCmdTarget* application) { m_application = application; }
    // Areas that keep their own command maps (calibration, ...) are asked after the frame's own map, in the order
    // added. The target must outlive the frame or be removed first.
    void AddCommandTarget(CCmdTarget* target);
    void RemoveCommandTarget(CCmdTarget* target);
    bool ExecuteCommand(UINT id) override;
    bool UpdateCommand(CCmdUI& ui) override;
    bool HasCommandHandler(UINT id) const override;
    // The toolbar refresh that an idle timer runs every 200 ms while the frame is visible.
    void UpdateCommandUI();

    // MDI children
    QMdiArea* MdiArea() const { return m_mdiArea; }
    // A child frame around `view` whose commands go to the given targets (either may be null); made active.
    CChildFrame* AddChildFrame(QWidget* view, CCmdTarget* viewTarget, CCmdTarget* documentTarget);
    CChildFrame* ActiveChildFrame() const;

    // Docking panes 400 (magnifier), 401 (thumbnails), 402 (report), 403 (measurement tools).
    QDockWidget* Pane(UINT paneId) const;
    // Puts the panel into its pane in place of the empty placeholder; the pane owns it.
    void SetPaneWidget(UINT paneId, QWidget* widget);
    bool IsPaneClosed(UINT paneId) const;

    // Command bars
    QToolBar* Toolbar(UINT resourceId) const;
    QMenu* MainMenu(int index) const;
    QMenu* PluginMenu() const { return MainMenu(4); }
    QComboBox* CalibrationNameBox() const { return m_calibrationNameBox; }
    QComboBox* MagnificationBox() const { return m_magnificationBox; }
    QComboBox* UnitBox() const { return m_unitBox; }
    QComboBox* ZoomBox() const { return m_zoomBox; }
    ColourPopupButton* LineColourButton() const { return m_lineColour; }
    ColourPopupButton* TextColourButton() const { return m_textColour; }

    // Status panes; each setter also sizes its pane to the text.
    void SetColorText(const std::string& text);
    void SetImageSizeText(const std::string& text);
    void SetMousePosition(float x, float y);
    void SetCalibrationNameText(const std::string& text);
    void SetUnitText(const std::string& text);
    void SetMagnificationText(const std::string& text);
    void SetMessageText(const std::string& text);
    void InitPaneTexts();
    QLabel* StatusPane(UINT paneId) const;
    std::string PaneText(UINT paneId) const;
    // 0 unless all three calibration boxes exist; else applies the current calibration to the active document,
    // shows the boxes' selections in their panes (a box without one as "none") and returns 1.
    int UpdateCalibrationPanes();

    // Layouts
    void SaveLayout();
    // Toolbars, window placement and docking layout from the profile; false when none was stored or readable.
    bool LoadLayout();
    // Start-up: toolbars and window placement from the profile; the caller shows the frame afterwards.
    void RestorePlacement();
    void BuildCommandBars();
    void ResetBars();
    void LoadStockLayout(UINT commandId);
    void EnterFullScreen();
    void LeaveFullScreen();
    bool IsFullScreenLayout() const { return m_fullScreen; }

    // Command handlers (the frame's command table).
    void OnTogglePane(UINT id);
    void OnUpdateTogglePane(CCmdUI* ui);
    void OnToggleToolbar(UINT id);
    void OnUpdateToggleToolbar(CCmdUI* ui);
    void OnStockLayout(UINT id);
    void OnHelp(UINT id);
    void OnImageTiling();
    void OnUpdateImageTiling(CCmdUI* ui);
    void OnGridProperties();
    void OnLiveMeasureWindow();
    void OnUpdateLiveMeasureWindow(CCmdUI* ui);
    void OnUpdateCalibrationBox(CCmdUI* ui);
    void OnWindowCascade();
    void OnWindowTile();
    void OnUpdateWindowArrange(CCmdUI* ui);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CommandRoute CurrentRoute();
    void CreateStatusBar();
    void CreateMenuBar();
    void CreateToolbars();
    void CreateToolbarControl(QToolBar* toolbar, UINT id);
    void CreatePanes();
    void SetPaneText(UINT paneId, const std::string& text);
    void WriteState(const char* section, const QByteArray& state);
    bool ReadState(const char* section, QByteArray& state) const;
    bool RestoreStateFrom(const char* section);
    bool RestorePlacementFromProfile();
    QToolBar* ToolbarOfCommand(UINT toggleId) const;

    CAppProfile& m_profile;
    LANGID m_language;
    std::string m_programFolder;
    std::string m_helpFilePath;
    MainFrameHooks m_hooks;

    CommandRouter m_router;
    CommandActions* m_actions = nullptr;
    CCmdTarget* m_application = nullptr;
    std::vector<CCmdTarget*> m_commandTargets;
    QTimer* m_idleTimer = nullptr;

    QMdiArea* m_mdiArea = nullptr;
    std::vector<QMenu*> m_menus;
    std::map<UINT, QToolBar*> m_toolbars;
    std::map<UINT, QDockWidget*> m_panes;
    std::map<UINT, QLabel*> m_statusPanes;
    QComboBox* m_calibrationNameBox = nullptr;
    QComboBox* m_magnificationBox = nullptr;
    QComboBox* m_unitBox = nullptr;
    QComboBox* m_zoomBox = nullptr;
    ColourPopupButton* m_lineColour = nullptr;
    ColourPopupButton* m_textColour = nullptr;
    bool m_fullScreen = false;
};

// Profile sections of the layouts.
inline constexpr const char* kToolbarStateSection = "ToolBarLayouts\\VM_TOOLBAR_STATE";
inline constexpr const char* kDockingLayoutSection = "VM_DOCKING_LAYOUT";
inline constexpr const char* kFullScreenToolbarSection = "FULLSCREEN_TOOLBAR";
inline constexpr const char* kFullScreenDockingSection = "FULLSCREEN_DOCKING_LAYOUT";
inline constexpr const char* kWindowPlacementSection = "Settings";
inline constexpr const char* kLayoutEntry = "State";
inline constexpr const char* kWindowPlacementEntry = "WindowPlacement";
