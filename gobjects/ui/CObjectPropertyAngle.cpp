#include "gobjects/ui/CObjectPropertyAngle.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

CObjectPropertyAngle::CObjectPropertyAngle(QWidget* parent)
    : CPropertyPage(QStringLiteral("Angle Properties..."), parent),
      m_interior(new QRadioButton(QStringLiteral("Interior"), this)),
      m_exterior(new QRadioButton(QStringLiteral("Exterior"), this))
{
    m_interior->setObjectName(QStringLiteral("interior"));
    m_exterior->setObjectName(QStringLiteral("exterior"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_interior);
    group->addButton(m_exterior);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_interior);
    layout->addWidget(m_exterior);
    layout->addStretch();
}

BOOL CObjectPropertyAngle::OnInitDialog()
{
    (m_inner ? m_interior : m_exterior)->setChecked(true);
    return 1;
}

void CObjectPropertyAngle::OnOK()
{
    m_inner = m_interior->isChecked() ? 1 : 0;
}
