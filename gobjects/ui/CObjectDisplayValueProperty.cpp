#include "gobjects/ui/CObjectDisplayValueProperty.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/ui/PageText.h"

#include <QListWidget>
#include <QVBoxLayout>

CObjectDisplayValueProperty::CObjectDisplayValueProperty() : CPropertyPage(FiguronUiText(IDS_PAGE_VALUE))
{
    setObjectName("displayValuePage");
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName("values");
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { KeepSingleCheck(item); });
}

CObjectDisplayValueProperty::~CObjectDisplayValueProperty() = default;

BOOL CObjectDisplayValueProperty::OnInitDialog()
{
    m_filling = true;
    m_list->clear();
    if (m_object && !m_object->IsAnnotation()) {
        const int32_t calculable = m_object->GetCalType();
        for (uint32_t bit = 0x1; bit <= 0x8000; bit <<= 1) {
            if (!(calculable & static_cast<int32_t>(bit)))
                continue;
            auto* item = new QListWidgetItem(QString::fromStdString(CQvGObject::GetValueTitle(static_cast<int>(bit))));
            item->setData(Qt::UserRole, static_cast<int>(bit));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(m_object->GetDispType() == static_cast<int32_t>(bit) ? Qt::Checked : Qt::Unchecked);
            m_list->addItem(item);
        }
    }
    m_filling = false;
    return 1;
}

void CObjectDisplayValueProperty::KeepSingleCheck(QListWidgetItem* changed)
{
    if (m_filling || !changed || changed->checkState() != Qt::Checked)
        return;
    m_filling = true;
    m_list->setCurrentItem(changed);
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i) != changed)
            m_list->item(i)->setCheckState(Qt::Unchecked);
    m_filling = false;
}

void CObjectDisplayValueProperty::OnOK()
{
    if (!m_object)
        return;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->checkState() == Qt::Checked) {
            m_object->SetDispType(m_list->item(i)->data(Qt::UserRole).toInt());
            // The label shows the quantity just chosen, not the one it was made with.
            m_object->UpdateDataLabel();
            return;
        }
    }
}
