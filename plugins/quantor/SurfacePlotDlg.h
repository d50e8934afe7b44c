// The "3D Surface Plot" dialog on one image: the plot window with its display, colour, rotation, zoom, height,
// step, channel, legend and invert controls, saving the plot as a bitmap and printing it through the report
// module. Every control acts on the plot's current grid only: while the demo shows (no grid) they keep their
// values and change nothing. The legend colours are kept in the profile. UI thread only.
#pragma once

#include "quantor/SurfacePlotControls.h"

#include <QDialog>

#include <string>

class CQvImage;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QSlider;
class QSpinBox;

namespace quantor {

class CColourPicker;
class CSurfacePlotWnd;

// Where Print looks for the report module: the folder above the plug-in's own plus "Report/", unless a test sets
// another folder ("" goes back to that).
void SetReportFolder(const std::string& folder);
std::string ReportFolder();

class CSurfacePlotDlg : public QDialog
{
public:
    // `image` is not owned and must outlive the dialog; `title` names the plot when printed.
    CSurfacePlotDlg(CQvImage* image, std::string title, QWidget* parent = nullptr);
    ~CSurfacePlotDlg() override;

    CSurfacePlotWnd* PlotWindow() const { return m_plot; }
    // The controls' positions as the apply step reads them.
    PlotControls Controls() const;

    // The handlers, as the controls call them.
    void OnGrid();
    void OnSurface();
    void OnFlat();
    void OnShowLegend();
    void OnTrackbar();
    void OnStepChanged();
    void OnChannelChanged();
    void OnPickerAccepted();
    void OnInvert();
    void OnSave();
    // Captures the plot and hands it with the title to the report module; nothing when the module or its entry is
    // missing. The capture is freed once, after the call.
    void OnPrint();

private:
    void BuildForm();
    void Apply();
    void Redraw();
    // The handler of the display button that is on, tried in the order Flat, Grid, Surface.
    void RunCheckedDisplay();
    void ShowDisplay(DisplayKind kind);
    void KeepScale();

    CQvImage* m_image = nullptr;
    std::string m_title;
    KeptScale m_kept;

    CSurfacePlotWnd* m_plot = nullptr;
    QComboBox* m_channel = nullptr;
    CColourPicker* m_low = nullptr;
    CColourPicker* m_high = nullptr;
    QCheckBox* m_legend = nullptr;
    QSlider* m_centerRotate = nullptr;
    QSlider* m_xRotate = nullptr;
    QSlider* m_zoom = nullptr;
    QSlider* m_zAxis = nullptr;
    QPushButton* m_grid = nullptr;
    QPushButton* m_surface = nullptr;
    QPushButton* m_flat = nullptr;
    QButtonGroup* m_display = nullptr;
    QSpinBox* m_step = nullptr;
    QPushButton* m_invert = nullptr;
};

}  // namespace quantor
