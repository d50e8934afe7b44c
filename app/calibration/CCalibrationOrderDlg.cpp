#include "calibration/CCalibrationOrderDlg.h"

#include "core/CalibrationTexts.h"
#include "core/CCalibrationList.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CCalibrationOrderDlg::CCalibrationOrderDlg(CCalibrationList& list, QWidget* parent) : QDialog(parent), m_list(list)
{
    setObjectName("960");
    setWindowTitle(CalibrationUiText(calibstr::IDS_REORDER_NAMES));
    m_rows = new QListWidget;
    m_rows->setObjectName(QString::number(kList));
    for (const auto& item : list.GetItems())
        m_rows->addItem(QString::fromStdString(item->GetName()));
    if (m_rows->count() > 0)
        m_rows->setCurrentRow(0);

    auto* up = new QPushButton(CalibrationUiText(calibstr::IDS_UP));
    up->setObjectName(QString::number(kUp));
    auto* down = new QPushButton(CalibrationUiText(calibstr::IDS_DOWN));
    down->setObjectName(QString::number(kDown));
    connect(up, &QPushButton::clicked, this, &CCalibrationOrderDlg::OnUp);
    connect(down, &QPushButton::clicked, this, &CCalibrationOrderDlg::OnDown);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
    connect(buttons, &QDialogButtonBox::accepted, this, &CCalibrationOrderDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCalibrationOrderDlg::reject);

    auto* moves = new QHBoxLayout;
    moves->addWidget(up);
    moves->addWidget(down);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(CalibrationUiText(calibstr::IDS_NAME_COLUMN)));
    layout->addWidget(m_rows);
    layout->addLayout(moves);
    layout->addWidget(buttons);
}

void CCalibrationOrderDlg::Move(int step)
{
    const int row = m_rows->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= m_rows->count())
        return;
    QListWidgetItem* item = m_rows->takeItem(row);
    m_rows->insertItem(target, item);
    m_rows->setCurrentRow(target);
}

void CCalibrationOrderDlg::OnUp()
{
    Move(-1);
}

void CCalibrationOrderDlg::OnDown()
{
    Move(1);
}

std::vector<std::string> CCalibrationOrderDlg::RowNames() const
{
    std::vector<std::string> names;
    for (int row = 0; row < m_rows->count(); ++row)
        names.push_back(m_rows->item(row)->text().toStdString());
    return names;
}

void CCalibrationOrderDlg::accept()
{
    m_list.ReorderByNames(RowNames());
    QDialog::accept();
}
