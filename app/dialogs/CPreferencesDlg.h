// The preferences dialog: how overlay objects show their values (name, value, unit, live result box), automatic
// colours, the scale bar of new captures, the decimals of displayed values and whether saved images merge the
// overlay. The form carries the controls' numbers as objectNames ("823", "824", ...), so tests drive it headless.
// The dialog only edits a copy: Cancel changes nothing anywhere; what OK does with the values is ApplyPreferences.
// UI thread; run it with RunModal.
#pragma once

#include "core/ProfileSettings.h"

#include <QDialog>

class CAppProfile;
class CMainFrame;
class CVistrelDoc;
class QButtonGroup;
class QCheckBox;
class QSpinBox;

class CPreferencesDlg : public QDialog
{
    Q_OBJECT

public:
    // Control numbers, kept as the widgets' objectNames.
    static constexpr int kDecimalsEdit = 821;
    static constexpr int kNameCheck = 823;
    static constexpr int kDataCheck = 824;
    static constexpr int kAutoColourCheck = 825;
    static constexpr int kScaleBarCheck = 826;
    static constexpr int kMarkCheck = 827;
    static constexpr int kRealtimeCheck = 828;
    static constexpr int kMergeAlwaysRadio = 1059;
    static constexpr int kMergeNeverRadio = 1060;
    static constexpr int kMergeAskRadio = 1061;
    static constexpr int kMaxDecimals = 10;

    // The dialog shows `values`; nothing outside the dialog changes until the caller applies Values().
    explicit CPreferencesDlg(const PreferenceSettings& values, QWidget* parent = nullptr);

    // The controls from the values (run by the constructor).
    void OnInitDialog();
    // The unit check follows the value check: units can only be shown with values.
    void OnDataClicked();
    // The values as the dialog holds them: as given until OK reads the controls back.
    const PreferenceSettings& Values() const { return m_values; }

    // OnOK: the controls back into the values, then the dialog closes accepted.
    void accept() override;

private:
    PreferenceSettings m_values;
    QCheckBox* m_name = nullptr;
    QCheckBox* m_data = nullptr;
    QCheckBox* m_mark = nullptr;
    QCheckBox* m_realtime = nullptr;
    QCheckBox* m_autoColour = nullptr;
    QCheckBox* m_scaleBar = nullptr;
    QSpinBox* m_decimals = nullptr;
    QButtonGroup* m_merge = nullptr;
};

// What OK does: the program keeps the values (`programWide`), the document (when there is one) takes them, its
// value labels are laid out again and its window repainted, and the profile stores them at once, so they survive
// a crash as well as a normal exit. False when the profile could not be written (the values are in force anyway).
bool ApplyPreferences(const PreferenceSettings& values, PreferenceSettings& programWide, CVistrelDoc* document,
                      CAppProfile& profile);

// The preferences command: runs the dialog on the given values and applies them on OK to the frame's active
// document and the profile. Returns QDialog::Accepted or Rejected.
int RunPreferencesDialog(CMainFrame& frame, PreferenceSettings& programWide, CAppProfile& profile);

// The document of the frame's active child frame, or null.
CVistrelDoc* ActiveDocumentOf(CMainFrame& frame);
