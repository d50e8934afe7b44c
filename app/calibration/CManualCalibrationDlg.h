// Names a calibration just made and its lens magnification, then stores it in the list (StoreCalibration): the
// name box lists the list's names ("New" adds one), the magnification box the chosen name's magnifications
// ("New" adds one). UI thread; RunModal.
#pragma once

#include "calibkeeper/CCalibKeeper.h"

#include <QDialog>

class CCalibrationList;
class QComboBox;

class CManualCalibrationDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kNameBox = 871;
    static constexpr int kMagnificationBox = 874;
    static constexpr int kNewName = 921;
    static constexpr int kNewMagnification = 922;

    // Works on a copy of `calibration`; the list must outlive the dialog.
    CManualCalibrationDlg(CCalibrationList& list, const CCalibKeeper& calibration, QWidget* parent = nullptr);

    void OnNameSelected();
    void OnNewName();
    void OnNewMagnification();
    // Needs a name and a magnification; stores the named copy and closes accepted.
    void accept() override;

    const CCalibKeeper& Calibration() const { return m_calibration; }

private:
    CCalibrationList& m_list;
    CCalibKeeper m_calibration;
    QComboBox* m_names = nullptr;
    QComboBox* m_magnifications = nullptr;
};
