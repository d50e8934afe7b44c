#include "calibration/CCalibrationSetDlg.h"

#include "calibration/CCalibrationOrderDlg.h"
#include "calibration/CManualCalibrationDlg.h"
#include "calibration/CValueInputDlg.h"
#include "core/CalibrationTexts.h"
#include "core/CCalibrationList.h"
#include "core/CalibrationStrings.h"

#include "panels/CFlatColorComboBox.h"
#include "strings/Format.h"
#include "strings/StringQuery.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {

QPushButton* AddButton(QGridLayout* grid, int id, UINT caption, int row, int column)
{
    auto* button = new QPushButton(CalibrationUiText(caption));
    button->setObjectName(QString::number(id));
    grid->addWidget(button, row, column);
    return button;
}

QComboBox* AddBox(QGridLayout* grid, int id, UINT caption, int row)
{
    grid->addWidget(new QLabel(CalibrationUiText(caption)), row, 0);
    auto* box = new CFlatColorComboBox;
    box->setObjectName(QString::number(id));
    box->setMinimumWidth(140);
    grid->addWidget(box, row, 1);
    return box;
}

int UnitIndex(int unit)
{
    for (int index = 0; index < kUnitTypeCount; ++index)
        if (CCalibKeeper::GetUnitType(index) == unit)
            return index;
    return 0;
}

}  // namespace

CCalibrationSetDlg::CCalibrationSetDlg(CCalibrationList& list, std::string folder, QWidget* parent)
    : QDialog(parent), m_list(list), m_folder(std::move(folder))
{
    setObjectName("870");
    setWindowTitle(CalibrationUiText(calibstr::IDS_MANAGER_TITLE));
    setModal(false);

    auto* grid = new QGridLayout;
    m_names = AddBox(grid, kNameBox, calibstr::IDS_NAME_LABEL, 0);
    m_rename = AddButton(grid, kRename, calibstr::IDS_RENAME, 0, 2);
    m_deleteName = AddButton(grid, kDeleteName, calibstr::IDS_DELETE, 0, 3);
    m_magnifications = AddBox(grid, kMagnificationBox, calibstr::IDS_MAGNIFICATION_LABEL, 1);
    m_changeMagnification = AddButton(grid, kChangeMagnification, calibstr::IDS_CHANGE, 1, 2);
    m_deleteMagnification = AddButton(grid, kDeleteMagnification, calibstr::IDS_DELETE, 1, 3);
    m_units = AddBox(grid, kUnitBox, calibstr::IDS_UNIT_LABEL, 2);
    grid->addWidget(new QLabel(CalibrationUiText(calibstr::IDS_UNITS_PER_PIXEL_LABEL)), 3, 0);
    m_unitsPerPixel = new QLabel;
    m_unitsPerPixel->setObjectName(QString::number(kUnitsPerPixelText));
    grid->addWidget(m_unitsPerPixel, 3, 1);
    QPushButton* changeFactor = AddButton(grid, kChangeUnitsPerPixel, calibstr::IDS_CHANGE, 3, 2);
    grid->addWidget(new QLabel(CalibrationUiText(calibstr::IDS_SCALE_DEFAULT_LABEL)), 4, 0);
    m_scaleDefault = new QLineEdit;
    m_scaleDefault->setObjectName(QString::number(kScaleDefaultEdit));
    grid->addWidget(m_scaleDefault, 4, 1);
    QPushButton* changeScale = AddButton(grid, kChangeScaleDefault, calibstr::IDS_CHANGE, 4, 2);
    QPushButton* order = AddButton(grid, kOrder, calibstr::IDS_REORDER_NAMES, 5, 1);
    QPushButton* import = AddButton(grid, kImport, calibstr::IDS_IMPORT, 5, 2);
    QPushButton* exportButton = AddButton(grid, kExport, calibstr::IDS_EXPORT, 5, 3);

    connect(m_names, &QComboBox::activated, this, &CCalibrationSetDlg::OnNameSelected);
    connect(m_magnifications, &QComboBox::activated, this, &CCalibrationSetDlg::OnMagnificationSelected);
    connect(m_units, &QComboBox::activated, this, &CCalibrationSetDlg::OnUnitSelected);
    connect(m_rename, &QPushButton::clicked, this, &CCalibrationSetDlg::OnRename);
    connect(m_deleteName, &QPushButton::clicked, this, &CCalibrationSetDlg::OnDeleteName);
    connect(m_changeMagnification, &QPushButton::clicked, this, &CCalibrationSetDlg::OnChangeMagnification);
    connect(m_deleteMagnification, &QPushButton::clicked, this, &CCalibrationSetDlg::OnDeleteMagnification);
    connect(changeFactor, &QPushButton::clicked, this, &CCalibrationSetDlg::OnChangeUnitsPerPixel);
    connect(changeScale, &QPushButton::clicked, this, &CCalibrationSetDlg::OnChangeScaleDefault);
    connect(order, &QPushButton::clicked, this, &CCalibrationSetDlg::OnOrder);
    connect(import, &QPushButton::clicked, this, &CCalibrationSetDlg::OnImport);
    connect(exportButton, &QPushButton::clicked, this, &CCalibrationSetDlg::OnExport);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
    connect(buttons, &QDialogButtonBox::accepted, this, &CCalibrationSetDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCalibrationSetDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    Refresh();
}

void CCalibrationSetDlg::SetMirrors(QComboBox* names, QComboBox* magnifications, QComboBox* units)
{
    m_mirrorNames = names;
    m_mirrorMagnifications = magnifications;
    m_mirrorUnits = units;
    Refresh();
}

CCalibKeeper& CCalibrationSetDlg::Current()
{
    return *m_list.GetCurrentCalibration();
}

CCalibrationListItem* CCalibrationSetDlg::CurrentItem()
{
    return m_list.FindByName(Current().GetName());
}

void CCalibrationSetDlg::TakeFirstRecord(CCalibrationListItem& item)
{
    CCalibKeeper& current = Current();
    current = item.GetCalibration();
    current.SetName(item.GetName());
    if (!item.GetRecords().empty())
        CCalibrationList::ApplyRecord(current, item.GetRecords().front());
}

void CCalibrationSetDlg::StoreIntoRecord()
{
    CCalibrationListItem* item = CurrentItem();
    if (!item)
        return;
    const CCalibKeeper& current = Current();
    if (tagMagnificationRecord* record = item->FindRecord(current.GetMagnification())) {
        record->unitsPerPixel = current.GetUnitsPerPixel();
        record->unitType = current.GetUnit();
        record->scaleDefault = current.GetScaleLength();
    }
}

void CCalibrationSetDlg::FillBox(QComboBox* box, QComboBox* mirror, const QStringList& entries, int selection)
{
    for (QComboBox* target : {box, mirror}) {
        if (!target)
            continue;
        const QSignalBlocker blocker(target);
        target->clear();
        target->addItems(entries);
        target->setCurrentIndex(selection);
    }
}

void CCalibrationSetDlg::Refresh()
{
    CCalibKeeper& current = Current();
    const bool named = !current.GetName().empty();

    QStringList names;
    for (const auto& item : m_list.GetItems())
        names << QString::fromStdString(item->GetName());
    const QString currentName = QString::fromStdString(named ? ShownCalibrationName(current.GetName())
                                                             : CalibrationString(calibstr::IDS_NONE));
    // A name the list does not hold ("none", the temporary calibration, a document's from elsewhere) goes first:
    // an uncalibrated document is shown by the first entry.
    int nameIndex = names.indexOf(currentName);
    if (nameIndex < 0) {
        names.prepend(currentName);
        nameIndex = 0;
    }
    FillBox(m_names, m_mirrorNames, names, nameIndex);

    QStringList magnifications;
    m_magnificationValues.clear();
    int magnificationIndex = -1;
    if (CCalibrationListItem* item = CurrentItem()) {
        for (const tagMagnificationRecord& record : item->GetRecords()) {
            if (record.magnification == -1.0)
                continue;
            if (record.magnification == current.GetMagnification())
                magnificationIndex = static_cast<int>(m_magnificationValues.size());
            m_magnificationValues.push_back(record.magnification);
            magnifications << QString::fromStdString(CCalibrationList::NumberToText(record.magnification));
        }
    }
    // A magnification of the calibration that its list entry lacks is still the one it measures at.
    if (magnificationIndex < 0 && current.GetMagnification() > 0.0) {
        magnificationIndex = static_cast<int>(m_magnificationValues.size());
        m_magnificationValues.push_back(current.GetMagnification());
        magnifications << QString::fromStdString(CCalibrationList::NumberToText(current.GetMagnification()));
    }
    FillBox(m_magnifications, m_mirrorMagnifications, magnifications, magnificationIndex);

    // An unnamed calibration in a unit of length (a document's from elsewhere) shows that unit, not "pixel".
    const bool calibrated = named || current.GetUnit() != UNIT_PIXEL;
    QStringList units;
    for (int index = 0; index < (calibrated ? kUnitTypeCount : 1); ++index)
        units << QString::fromStdString(CCalibKeeper::GetUnitName(CCalibKeeper::GetUnitType(index)));
    FillBox(m_units, m_mirrorUnits, units, calibrated ? UnitIndex(current.GetUnit()) : 0);

    m_unitsPerPixel->setText(QString::fromStdString(Format("%.10f", current.GetUnitsPerPixel())));
    m_scaleDefault->setText(QString::number(current.GetScaleLength()));
    EnableButtons();
    if (m_changed)
        m_changed();
}

void CCalibrationSetDlg::EnableButtons()
{
    const bool editable = Current().GetName() != calibration_text::kProtectedName;
    for (QPushButton* button : {m_rename, m_deleteName, m_changeMagnification, m_deleteMagnification})
        button->setEnabled(editable);
}

void CCalibrationSetDlg::OnNameSelected(int index)
{
    if (index < 0 || index >= m_names->count())
        return;
    const std::string name = m_names->itemText(index).toStdString();
    if (CompareNoCase(name, Current().GetName()) != 0)
        if (CCalibrationListItem* item = m_list.FindByName(name))
            TakeFirstRecord(*item);
    Refresh();
}

void CCalibrationSetDlg::OnMagnificationSelected(int index)
{
    CCalibrationListItem* item = CurrentItem();
    if (!item || index < 0 || index >= static_cast<int>(m_magnificationValues.size()))
        return;
    if (const tagMagnificationRecord* record = item->FindRecord(m_magnificationValues[index]))
        CCalibrationList::ApplyRecord(Current(), *record);
    Refresh();
}

void CCalibrationSetDlg::OnUnitSelected(int index)
{
    CCalibKeeper& current = Current();
    const int oldUnit = current.GetUnit();
    const int newUnit = CCalibKeeper::GetUnitType(index);
    if (index < 0 || index >= m_units->count() || newUnit == oldUnit)
        return;
    if (newUnit == UNIT_PIXEL &&
        MessageBox(CalibrationString(calibstr::IDS_UNIT_LOSS_WARNING), std::string(), MB_OKCANCEL | MB_ICONQUESTION) !=
            IDOK) {
        Refresh();  // the boxes show the old unit again
        return;
    }
    double unitsPerPixel = current.GetUnitsPerPixel();
    CCalibKeeper::ChangeUnit(oldUnit, newUnit, unitsPerPixel);
    current.SetUnit(newUnit);
    current.SetUnitsPerPixel(unitsPerPixel);
    StoreIntoRecord();
    Refresh();
}

void CCalibrationSetDlg::OnChangeUnitsPerPixel()
{
    std::string text;
    if (!CValueInputDlg::Ask(CValueInputDlg::kUnitsPerPixel, Format("%.10f", Current().GetUnitsPerPixel()), this, text))
        return;
    // The factor goes into the item's record as well, or choosing the calibration again would lose it.
    if (Current().SetUnitsPerPixel(CCalibrationList::TextToNumber(text)))
        StoreIntoRecord();
    Refresh();
}

void CCalibrationSetDlg::OnChangeScaleDefault()
{
    Current().SetScaleLength(std::atoi(m_scaleDefault->text().toStdString().c_str()));
    StoreIntoRecord();
    Refresh();
}

void CCalibrationSetDlg::OnRename()
{
    CCalibrationListItem* item = CurrentItem();
    if (!item) {
        SaveUnlistedAs();
        return;
    }
    std::string name;
    if (!CValueInputDlg::Ask(CValueInputDlg::kName, item->GetName(), this, name))
        return;
    if (m_names->findText(QString::fromStdString(name), Qt::MatchFixedString) >= 0 || IsReservedCalibrationName(name)) {
        MessageBox(CalibrationString(calibstr::IDS_NAME_EXISTS), std::string(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    item->GetCalibration().SetName(name);
    Current().SetName(name);
    Refresh();
}

void CCalibrationSetDlg::SaveUnlistedAs()
{
    const CCalibKeeper& current = Current();
    // One pixel per pixel is no calibration: a name would keep nothing.
    if (current.GetUnit() == UNIT_PIXEL && current.GetUnitsPerPixel() == 1.0) {
        MessageBox(CalibrationString(calibstr::IDS_NOTHING_TO_SAVE), std::string(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Named and given a magnification as a newly drawn calibration is; the naming stores it and makes it current.
    CManualCalibrationDlg naming(m_list, current, this);
    if (RunModal(naming) != QDialog::Accepted)
        return;
    Refresh();
    m_list.SaveToFolderOrTell(m_folder);
}

void CCalibrationSetDlg::OnDeleteName()
{
    CCalibrationListItem* item = CurrentItem();
    if (!item)
        return;
    m_list.RemoveItem(item);
    if (!m_list.GetItems().empty()) {
        TakeFirstRecord(*m_list.GetItems().front());
    } else {
        // No calibration left: uncalibrated, and "no magnification" is -1 as everywhere else.
        CCalibKeeper none;
        none.Create(UNIT_PIXEL, 1.0, 1.0, -1.0, 1.0, 0, 0, 0);
        Current() = none;
    }
    Refresh();
}

void CCalibrationSetDlg::OnChangeMagnification()
{
    CCalibrationListItem* item = CurrentItem();
    if (!item)
        return;
    tagMagnificationRecord* record = item->FindRecord(Current().GetMagnification());
    if (!record)
        return;
    std::string preset = CCalibrationList::NumberToText(record->magnification);
    for (;;) {
        std::string text;
        if (!CValueInputDlg::Ask(CValueInputDlg::kMagnification, preset, this, text))
            return;
        const double magnification = CCalibrationList::TextToNumber(text);
        if (item->FindRecord(magnification)) {
            MessageBox(CalibrationString(calibstr::IDS_MAGNIFICATION_EXISTS), std::string(),
                       MB_OK | MB_ICONEXCLAMATION);
            preset = text;
            continue;
        }
        record->magnification = magnification;
        Current().SetMagnification(magnification);
        break;
    }
    Refresh();
}

void CCalibrationSetDlg::OnDeleteMagnification()
{
    CCalibrationListItem* item = CurrentItem();
    if (!item)
        return;
    auto& records = item->GetRecords();
    if (records.size() <= 1) {
        OnDeleteName();
        return;
    }
    const double magnification = Current().GetMagnification();
    std::erase_if(records, [magnification](const tagMagnificationRecord& r) { return r.magnification == magnification; });
    CCalibrationList::ApplyRecord(Current(), records.front());
    Refresh();
}

void CCalibrationSetDlg::OnOrder()
{
    if (m_list.GetItems().empty()) {
        MessageBox(CalibrationString(calibstr::IDS_NO_CALIBRATIONS), std::string(),
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    CCalibrationOrderDlg dialog(m_list, this);
    if (RunModal(dialog) == QDialog::Accepted)
        Refresh();
}

void CCalibrationSetDlg::OnImport()
{
    m_list.ImportWithDialog();
    Refresh();
}

void CCalibrationSetDlg::OnExport()
{
    m_list.ExportWithDialog();
}

void CCalibrationSetDlg::accept()
{
    if (m_names->count() > 0 && m_names->currentIndex() < 0) {
        MessageBox(CalibrationString(calibstr::IDS_CHOOSE_NAME), CalibrationString(calibstr::IDS_ERROR_CAPTION),
                   MB_OK | MB_ICONERROR);
        return;
    }
    // The last calibration too: what the user chose survives a crash as well as what the list holds.
    if (m_list.SaveToFolderOrTell(m_folder) != 1)
        return;
    QDialog::accept();
}

void CCalibrationSetDlg::reject()
{
    QDialog::reject();
}
