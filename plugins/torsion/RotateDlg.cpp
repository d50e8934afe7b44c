#include "torsion/RotateDlg.h"

#include "torsion/DialogText.h"

#include "resources/StringTable.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

constexpr const char kModule[] = "Torsion";
constexpr uint32_t IDS_TITLE = 20;
constexpr uint32_t IDS_ANGLE = 21;

const StringTableRegistrar kStrings(kModule, {
    {IDS_TITLE, "Rotate Dialog"},
    {IDS_ANGLE, "Angle (Degree)"},
});

}  // namespace

CRotateDlg::CRotateDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(QString::fromStdString(LoadString(kModule, IDS_TITLE)));

    m_angle = new QLineEdit("0");
    m_angle->setObjectName(QString::number(kAngle));
    m_angle->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_angle));

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Ok)->setObjectName("1");
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName("2");
    connect(buttons, &QDialogButtonBox::accepted, this, &CRotateDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRotateDlg::reject);

    auto* layout = new QFormLayout(this);
    layout->addRow(new QLabel(QString::fromStdString(LoadString(kModule, IDS_ANGLE))));
    layout->addRow(m_angle);
    layout->addRow(buttons);
}

double CRotateDlg::GetAngle() const
{
    return torsion::ParseNumber(m_angle->text());
}
