#include "calibration/CManualCalibrationDlg.h"

#include "calibration/CValueInputDlg.h"
#include "core/CalibrationTexts.h"
#include "core/CCalibrationList.h"

#include "panels/CFlatColorComboBox.h"
#include "strings/StringQuery.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CManualCalibrationDlg::CManualCalibrationDlg(CCalibrationList& list, const CCalibKeeper& calibration, QWidget* parent)
    : QDialog(parent), m_list(list), m_calibration(calibration)
{
    setObjectName("920");
    setWindowTitle(CalibrationUiText(calibstr::IDS_MANUAL_CALIBRATION_TITLE));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(CalibrationUiText(calibstr::IDS_NAME_LABEL)), 0, 0);
    m_names = new CFlatColorComboBox;
    m_names->setObjectName(QString::number(kNameBox));
    grid->addWidget(m_names, 0, 1);
    auto* newName = new QPushButton(CalibrationUiText(calibstr::IDS_NEW));
    newName->setObjectName(QString::number(kNewName));
    grid->addWidget(newName, 0, 2);
    grid->addWidget(new QLabel(CalibrationUiText(calibstr::IDS_MAGNIFICATION_LABEL)), 1, 0);
    m_magnifications = new CFlatColorComboBox;
    m_magnifications->setObjectName(QString::number(kMagnificationBox));
    grid->addWidget(m_magnifications, 1, 1);
    auto* newMagnification = new QPushButton(CalibrationUiText(calibstr::IDS_NEW));
    newMagnification->setObjectName(QString::number(kNewMagnification));
    grid->addWidget(newMagnification, 1, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
    connect(buttons, &QDialogButtonBox::accepted, this, &CManualCalibrationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CManualCalibrationDlg::reject);
    connect(m_names, &QComboBox::activated, this, &CManualCalibrationDlg::OnNameSelected);
    connect(newName, &QPushButton::clicked, this, &CManualCalibrationDlg::OnNewName);
    connect(newMagnification, &QPushButton::clicked, this, &CManualCalibrationDlg::OnNewMagnification);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    for (const auto& item : list.GetItems())
        m_names->addItem(QString::fromStdString(item->GetName()));
    m_names->setCurrentIndex(m_names->count() > 0 ? 0 : -1);
    OnNameSelected();
}

void CManualCalibrationDlg::OnNameSelected()
{
    m_magnifications->clear();
    if (CCalibrationListItem* item = m_list.FindByName(m_names->currentText().toStdString()))
        for (const tagMagnificationRecord& record : item->GetRecords())
            if (record.magnification != -1.0)
                m_magnifications->addItem(QString::fromStdString(CCalibrationList::NumberToText(record.magnification)));
    m_magnifications->setCurrentIndex(m_magnifications->count() > 0 ? 0 : -1);
}

void CManualCalibrationDlg::OnNewName()
{
    std::string name;
    if (!CValueInputDlg::Ask(CValueInputDlg::kName, std::string(), this, name))
        return;
    // The reserved names would never be stored: they count as taken.
    if (m_names->findText(QString::fromStdString(name), Qt::MatchFixedString) >= 0 || IsReservedCalibrationName(name)) {
        MessageBox(CalibrationString(calibstr::IDS_NAME_EXISTS), std::string(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_names->addItem(QString::fromStdString(name));
    m_names->setCurrentIndex(m_names->count() - 1);
    OnNameSelected();
}

void CManualCalibrationDlg::OnNewMagnification()
{
    if (m_names->currentIndex() < 0) {
        MessageBox(CalibrationString(calibstr::IDS_CHOOSE_NAME), std::string(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::string text;
    if (!CValueInputDlg::Ask(CValueInputDlg::kMagnification, std::string(), this, text))
        return;
    const double magnification = CCalibrationList::TextToNumber(text);
    for (int index = 0; index < m_magnifications->count(); ++index)
        if (CCalibrationList::TextToNumber(m_magnifications->itemText(index).toStdString()) == magnification) {
            MessageBox(CalibrationString(calibstr::IDS_MAGNIFICATION_EXISTS), std::string(),
                       MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    m_magnifications->addItem(QString::fromStdString(CCalibrationList::NumberToText(magnification)));
    m_magnifications->setCurrentIndex(m_magnifications->count() - 1);
}

void CManualCalibrationDlg::accept()
{
    // A magnification read from an old list may be no usable number: it is refused like a missing one.
    if (m_names->currentIndex() < 0 || m_magnifications->currentIndex() < 0 ||
        !CValueInputDlg::IsMagnification(m_magnifications->currentText().toStdString())) {
        MessageBox(CalibrationString(calibstr::IDS_FILL_EVERYTHING), CalibrationString(calibstr::IDS_ERROR_CAPTION),
                   MB_OK | MB_ICONERROR);
        return;
    }
    m_calibration.SetName(m_names->currentText().toStdString());
    m_calibration.SetMagnification(CCalibrationList::TextToNumber(m_magnifications->currentText().toStdString()));
    m_list.StoreCalibration(m_calibration);
    QDialog::accept();
}
