// Calibration from a line of known length: the user draws the calibration line on the image, types its real
// length and unit, then Apply (the temporary calibration, made current but never listed) or Save (named and
// stored in the list through CManualCalibrationDlg). Modeless over the image view while the display window is in
// calibration mode; closing it in any way ends the calibration: the line goes, the window leaves calibration and
// creation mode, the overlay's automatic repetition and display flags come back. UI thread. The view must outlive
// the dialog or the dialog notices its going (it then only closes).
#pragma once

#include "calibkeeper/CCalibKeeper.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class CCalibrationList;
class CQvGObject;
class CVistrelView;
class QComboBox;
class QLineEdit;

class CLengthCalibrationDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kLengthEdit = 861;
    static constexpr int kUnitBox = 862;
    static constexpr int kApply = 863;

    // `line` is the calibration line being drawn in the view's overlay (owned by the overlay).
    CLengthCalibrationDlg(CVistrelView& view, CQvGObject* line, CCalibrationList& list, QWidget* parent = nullptr);
    ~CLengthCalibrationDlg() override;

    // After Apply or Save changed the current calibration (the manager and the boxes refresh).
    void SetChangedCallback(std::function<void()> changed) { m_changed = std::move(changed); }
    // When the calibration ended, whichever way.
    void SetFinishedCallback(std::function<void()> finished) { m_finished = std::move(finished); }
    // After Save stored a named calibration in the list (the files are written then).
    void SetSavedCallback(std::function<void()> saved) { m_saved = std::move(saved); }

    // The calibration of the line and the typed length, named as the temporary one; false (with the message shown)
    // when the line is not finished, has no length or the length typed is not a positive number.
    bool BuildCalibration(CCalibKeeper& calibration);
    void OnApply();
    // Save.
    void accept() override;
    void reject() override;
    bool IsFinished() const { return m_done; }

private:
    // What closing does; runs once.
    void Finish(int result);
    bool LineIsInOverlay() const;

    QPointer<CVistrelView> m_view;
    CQvGObject* m_line = nullptr;
    CCalibrationList& m_list;
    int m_savedAutoRepeat = 1;
    bool m_done = false;
    std::function<void()> m_changed;
    std::function<void()> m_finished;
    std::function<void()> m_saved;
    QLineEdit* m_length = nullptr;
    QComboBox* m_units = nullptr;
};
