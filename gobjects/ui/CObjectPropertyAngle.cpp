#include "gobjects/ui/CObjectPropertyAngle.h"

#include "gobjects/ui/PageText.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

CObjectPropertyAngle::CObjectPropertyAngle(QWidget* parent)
    : CPropertyPage(FiguronUiText(IDS_PAGE_ANGLE), parent),
      m_interior(new QRadioButton(FiguronUiText(IDS_INTERIOR), this)),
      m_exterior(new QRadioButton(FiguronUiText(IDS_EXTERIOR), this))
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
