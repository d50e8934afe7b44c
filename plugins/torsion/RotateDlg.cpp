#include "torsion/RotateDlg.h"

#include "torsion/DialogText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

CRotateDlg::CRotateDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(IDD));
    setWindowTitle("Rotate Dialog");

    m_angle = new QLineEdit("0");
    m_angle->setObjectName(QString::number(kAngle));
    m_angle->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_angle));

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Ok)->setObjectName("1");
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName("2");
    connect(buttons, &QDialogButtonBox::accepted, this, &CRotateDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRotateDlg::reject);

    auto* layout = new QFormLayout(this);
    layout->addRow(new QLabel("Angle (Degree)"));
    layout->addRow(m_angle);
    layout->addRow(buttons);
}

double CRotateDlg::GetAngle() const
{
    return torsion::ParseNumber(m_angle->text());
}
