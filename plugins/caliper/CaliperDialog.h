// The caliper's modeless dialog: tool mode, smoothing, Apply, the overview (profile graph), detector and options
// pages, the result mode, Measure and the settings-file commands. It always works on CaliperMain's current session
// (asked for at each use, never kept, so a handler that runs after the caliper ended finds none and does nothing)
// and on the shared settings. Closing it ends the caliper on every document. Every control has its resource id as
// objectName. UI thread only.
#pragma once

#include "caliper/CaliperMain.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class CColorButton;
class CHoverIconButton;
class CProfileView;
class CThemedTabCtrl;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QToolButton;

// An up-down control that writes its position into its buddy edit. A step asks `request` (when set) where it may
// land; without one it stops at the range's ends.
class CCaliperSpin : public QWidget
{
public:
    CCaliperSpin(QLineEdit* buddy, QWidget* parent);
    void SetRange(int low, int high);
    void SetPos(int pos) { m_pos = pos; }
    int Pos() const { return m_pos; }
    // One press of an arrow: +1 up, -1 down.
    void Step(int delta);
    std::function<int(int proposed)> request;

private:
    QLineEdit* m_buddy;
    int m_low = 0;
    int m_high = 100;
    int m_pos = 0;
};

class CCaliperDialog : public QDialog, public ICaliperDialog
{
public:
    explicit CCaliperDialog(CaliperMain& main, QWidget* parent = nullptr);
    ~CCaliperDialog() override;

    void Refresh() override;
    void RefreshProfile() override;
    void Show() override;
    void SetToolMode(int mode);

    // The settings-file commands of the dialog's menu.
    void LoadSettingsFile();
    void SaveSettingsFile();
    void ResetSettings();

    CProfileView* ProfileView() const { return m_profile; }
    CThemedTabCtrl* Tabs() const { return m_tabs; }
    // Reloads the detector page from the settings.
    void ReloadDetectors();
    void ReloadOptions();

    // Set from the moment OK or Cancel starts ending the caliper.
    bool Ending() const { return m_ending; }

    void accept() override;
    void reject() override;

protected:
    // Enter ends the caliper as OK does, unless a button with the focus takes it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* MakeOverviewPage();
    QWidget* MakeDetectorPage();
    QWidget* MakeOptionsPage();
    CColorButton* ColourButton(QWidget* parent, int id, int slot);
    void ShowCompact(bool compact);
    void ApplyCurrent();
    void EndCaliper();

    CaliperMain& m_main;
    CCaliperSettings& m_settings;
    CHoverIconButton* m_toolButtons[3] = {};
    CHoverIconButton* m_options = nullptr;
    QLineEdit* m_passes = nullptr;
    QLineEdit* m_halfWidth = nullptr;
    QWidget* m_lower = nullptr;
    CThemedTabCtrl* m_tabs = nullptr;
    CProfileView* m_profile = nullptr;
    QRadioButton* m_results[2] = {};
    QCheckBox* m_detectors[caliper::kEdgeKinds] = {};
    CColorButton* m_kindColours[caliper::kEdgeKinds] = {};
    QLineEdit* m_upper = nullptr;
    QLineEdit* m_lower_ = nullptr;
    CCaliperSpin* m_upperSpin = nullptr;
    CCaliperSpin* m_lowerSpin = nullptr;
    QCheckBox* m_showNames = nullptr;
    QLineEdit* m_decimals = nullptr;
    CCaliperSpin* m_decimalsSpin = nullptr;
    CColorButton* m_optionColours[4] = {};
    bool m_ending = false;
    bool m_placed = false;
};

namespace caliper {

// The dialog as CaliperMain owns it: dropping it deletes the window, from the event loop when the caliper ends from
// inside one of the dialog's own handlers.
std::unique_ptr<ICaliperDialog> MakeCaliperDialog(CaliperMain& main);

}  // namespace caliper
