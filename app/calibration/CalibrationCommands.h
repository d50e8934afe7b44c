// The program's calibration commands and windows on the main frame: the calibration manager (created on first
// use, mirrored by the frame's three calibration boxes), manual calibration by drawing a line of known length
// (with the calibration zoom window and the length dialog over the active view) and automatic calibration through
// an outside module. Plugged into the frame with Install: its command map joins the frame's, the boxes' choices
// and the frame's calibration display come here. Owned by the frame (a child object). UI thread.
#pragma once

#include "frame/CCmdTarget.h"

#include "calibkeeper/CCalibKeeper.h"

#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <string>

class CCalibrationList;
class CCalibrationSetDlg;
class CCalibrationZoomDlg;
class CLengthCalibrationDlg;
class CMainFrame;
class CVistrelDoc;
class CVistrelView;

// Runs the automatic calibration module on the document: on success (1) `calibration` holds the result and `keep`
// says whether it is taken as it is (else the user names it). The module may leave a work image in the document's
// undo history; it is dropped afterwards. 0: failure, nothing to take.
using AutoCalibrationRunner = std::function<int(CVistrelDoc& document, CCalibKeeper& calibration, int& keep)>;

class CalibrationCommands : public QObject, public CommandMapTarget<CalibrationCommands>
{
    Q_OBJECT

public:
    static constexpr int kDialogOffset = 20;

    // `folder` is the calibration folder (where the manager's OK writes the list), ending in '/'.
    CalibrationCommands(CMainFrame& frame, CCalibrationList& list, std::string folder);
    ~CalibrationCommands() override;

    // Joins the frame's commands and hooks (box choices, the calibration display, the refill at start-up) and
    // follows the active document (FollowActiveDocument after each activation, once the activation's own work is
    // done: a document opened from a file gets its calibration after its window became active).
    void Install();

    CCalibrationSetDlg& Manager();
    void ShowManager();
    // The current calibration into the active document; 1 when there was one.
    int ApplyCurrentToActiveDocument();
    // The other way round: the active document's calibration becomes the current one, so that the boxes, the
    // manager and the status panes show what that document measures in and a choice in them starts from it.
    // Nothing without an active document.
    void FollowActiveDocument();
    // Writes the list and the last calibration into the calibration folder now, so that a calibration the user
    // saved outlives a crash; a failure is told. 1 when both were written.
    int SaveCalibrationFiles();
    void OnBoxSelected(UINT boxId, int index);

    void SetAutoCalibrationRunner(AutoCalibrationRunner runner) { m_autoRunner = std::move(runner); }

    // Commands
    void OnManualCalibration();
    void OnUpdateManualCalibration(CCmdUI* ui);
    void OnAutoCalibration();
    void OnUpdateAutoCalibration(CCmdUI* ui);

    // While a manual calibration runs (null otherwise / before the first).
    CLengthCalibrationDlg* LengthDialog() const;
    CCalibrationZoomDlg* ZoomWindow() const;
    CVistrelView* ActiveView() const;

private:
    void EndManualCalibration();

    CMainFrame& m_frame;
    CCalibrationList& m_list;
    std::string m_folder;
    QPointer<CCalibrationSetDlg> m_manager;
    QPointer<CLengthCalibrationDlg> m_lengthDialog;
    QPointer<CCalibrationZoomDlg> m_zoomWindow;
    QPointer<CVistrelView> m_calibratingView;
    bool m_frameWasMaximized = false;
    QRect m_frameGeometry;
    AutoCalibrationRunner m_autoRunner;
};

// The manager (the command the application's menu runs): made on first use, refreshed and shown. Does nothing
// until InstallCalibrationCommands ran for the frame.
void RunCalibrationManager(CMainFrame& frame);
// Makes the frame's calibration commands (once) and plugs them in; returns them.
CalibrationCommands& InstallCalibrationCommands(CMainFrame& frame, CCalibrationList& list, const std::string& folder);
// The frame's calibration commands, or null.
CalibrationCommands* FindCalibrationCommands(CMainFrame& frame);
