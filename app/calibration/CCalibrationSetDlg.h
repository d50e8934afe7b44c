// The calibration manager: chooses the current calibration (name, magnification, unit) of the program's list and
// edits the list: rename and delete names, change and delete magnifications, change the unit, the factor and the
// scale default, reorder, import and export. Its three boxes are mirrored by the main frame's calibration boxes,
// whose choices come here (OnNameSelected, ...) as if made in the dialog. Modeless: OK writes the list file and the
// last calibration and hides the dialog (a failed write is told and the dialog stays), Cancel hides it. Each
// control carries its number as objectName ("871", ...); every handler can be called directly. UI thread.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class CCalibKeeper;
class CCalibrationList;
class CCalibrationListItem;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CCalibrationSetDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kNameBox = 871;
    static constexpr int kRename = 872;
    static constexpr int kDeleteName = 873;
    static constexpr int kMagnificationBox = 874;
    static constexpr int kChangeMagnification = 875;
    static constexpr int kDeleteMagnification = 876;
    static constexpr int kUnitBox = 877;
    static constexpr int kImport = 878;
    static constexpr int kExport = 879;
    static constexpr int kUnitsPerPixelText = 880;
    static constexpr int kChangeUnitsPerPixel = 881;
    static constexpr int kScaleDefaultEdit = 32918;
    static constexpr int kChangeScaleDefault = 32919;
    static constexpr int kOrder = 231;

    // `folder` is the calibration folder (ending in '/'), where OK and Save As write the calibration files. The list
    // must outlive the dialog.
    CCalibrationSetDlg(CCalibrationList& list, std::string folder, QWidget* parent = nullptr);

    // The main frame's name, magnification and unit boxes, refilled with the dialog's own (null: none).
    void SetMirrors(QComboBox* names, QComboBox* magnifications, QComboBox* units);
    // Runs after every refresh: the main frame shows the current calibration.
    void SetChangedCallback(std::function<void()> changed) { m_changed = std::move(changed); }

    // Fills the boxes, the factor and the scale default from the current calibration, then the callback.
    void Refresh();

    // --- Choices, by index into the boxes (the dialog's and the mirrors' hold the same entries).
    void OnNameSelected(int index);
    void OnMagnificationSelected(int index);
    void OnUnitSelected(int index);
    // --- Buttons
    void OnChangeUnitsPerPixel();
    void OnChangeScaleDefault();
    // "Save As": a listed calibration is renamed; one the list does not hold (the temporary one) is named, stored
    // and the files written; with no calibration at all the user is told there is nothing to save.
    void OnRename();
    void OnDeleteName();
    void OnChangeMagnification();
    void OnDeleteMagnification();
    void OnOrder();
    void OnImport();
    void OnExport();
    void accept() override;
    void reject() override;

    CCalibrationList& List() { return m_list; }
    QComboBox* NameBox() const { return m_names; }
    QComboBox* MagnificationBox() const { return m_magnifications; }
    QComboBox* UnitBox() const { return m_units; }

private:
    CCalibKeeper& Current();
    // The item of the current calibration's name, or null.
    CCalibrationListItem* CurrentItem();
    // The current calibration takes the item's first record (name, factor, unit, scale default).
    void TakeFirstRecord(CCalibrationListItem& item);
    // The current values into the item's record of the current magnification.
    void StoreIntoRecord();
    void SaveUnlistedAs();
    void FillBox(QComboBox* box, QComboBox* mirror, const QStringList& entries, int selection);
    void EnableButtons();

    CCalibrationList& m_list;
    std::string m_folder;
    std::function<void()> m_changed;
    std::vector<double> m_magnificationValues;  // the magnification box's entries
    QComboBox* m_names = nullptr;
    QComboBox* m_magnifications = nullptr;
    QComboBox* m_units = nullptr;
    QComboBox* m_mirrorNames = nullptr;
    QComboBox* m_mirrorMagnifications = nullptr;
    QComboBox* m_mirrorUnits = nullptr;
    QLabel* m_unitsPerPixel = nullptr;
    QLineEdit* m_scaleDefault = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_deleteName = nullptr;
    QPushButton* m_changeMagnification = nullptr;
    QPushButton* m_deleteMagnification = nullptr;
};
