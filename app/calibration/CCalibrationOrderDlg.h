// Reorders the calibration names: one row per name in list order, Up and Down move the selected row, OK
// puts the list in the rows' order. UI thread; RunModal.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class CCalibrationList;
class QListWidget;

class CCalibrationOrderDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kList = 963;
    static constexpr int kUp = 961;
    static constexpr int kDown = 962;

    explicit CCalibrationOrderDlg(CCalibrationList& list, QWidget* parent = nullptr);

    // Swap the selected row with its neighbour; nothing at the ends or without a selection.
    void OnUp();
    void OnDown();
    std::vector<std::string> RowNames() const;
    // ReorderByNames with the rows, then closes accepted.
    void accept() override;

private:
    void Move(int step);

    CCalibrationList& m_list;
    QListWidget* m_rows = nullptr;
};
