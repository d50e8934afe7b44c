#include "gobjects/ui/CObjPropertySheet.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/Edition.h"
#include "gobjects/FiguronStrings.h"
#include "gobjects/ui/CObjectCommonProperty.h"
#include "gobjects/ui/CObjectDisplayValueProperty.h"
#include "gobjects/ui/CPropertyPage.h"

#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

CObjPropertySheet::CObjPropertySheet(CQvGObjectContainer* container)
    : m_container(container),
      m_commonPage(std::make_unique<CObjectCommonProperty>()),
      m_displayValuePage(std::make_unique<CObjectDisplayValueProperty>())
{
    m_commonPage->SetContainer(container);
}

CObjPropertySheet::~CObjPropertySheet()
{
    RemoveAllPages();
}

void CObjPropertySheet::RemoveAllPages()
{
    m_pages.clear();
    m_activePage = 0;
}

void CObjPropertySheet::SetUpForObject(CQvGObject* object)
{
    RemoveAllPages();
    m_commonPage->SetContainer(m_container);
    m_commonPage->SetGObject(object);
    AddPage(m_commonPage.get());
    const bool valueEdition = std::find(std::begin(kEditionsWithValuePage), std::end(kEditionsWithValuePage),
                                        g_OEMProduct) != std::end(kEditionsWithValuePage);
    if (valueEdition && object && !object->IsAnnotation() && object->IsDisplayValue()) {
        m_displayValuePage->SetGObject(object);
        AddPage(m_displayValuePage.get());
    }
}

void CObjPropertySheet::SetUpForProperty(CQvGObjectProperty* property)
{
    RemoveAllPages();
    m_commonPage->SetContainer(m_container);
    m_commonPage->SetProperty(property);
    AddPage(m_commonPage.get());
}

void CObjPropertySheet::SetUpEmpty()
{
    RemoveAllPages();
}

void CObjPropertySheet::AddPage(CPropertyPage* page)
{
    if (page && std::find(m_pages.begin(), m_pages.end(), page) == m_pages.end())
        m_pages.push_back(page);
}

CPropertyPage* CObjPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

int CObjPropertySheet::DoModal(QWidget* parent)
{
    // A sheet without pages has nothing to edit: it is not shown at all.
    if (m_pages.empty())
        return IDCANCEL;

    QDialog dialog(parent);
    dialog.setObjectName("sheet");
    dialog.setWindowTitle(QString::fromStdString(LoadFiguronString(IDS_PROPERTY_SHEET_CAPTION)));
    auto* layout = new QVBoxLayout(&dialog);
    auto* tabs = new QTabWidget(&dialog);
    tabs->setObjectName("pages");
    layout->addWidget(tabs);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    cancel->setObjectName("cancel");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    const std::string language = LoadFiguronString(IDS_LANGUAGE_MARKER);
    if (language == "ENG") {
        ok->setText(QStringLiteral("OK"));
        cancel->setText(QStringLiteral("Cancel"));
    } else if (language == "KOR") {
        ok->setText(QString::fromUtf8("확인"));
        cancel->setText(QString::fromUtf8("취소"));
    }

    for (CPropertyPage* page : m_pages)
        tabs->addTab(page, page->GetCaption());
    for (CPropertyPage* page : m_pages)
        page->OnInitDialog();
    tabs->setCurrentIndex(std::clamp(m_activePage, 0, GetPageCount() - 1));

    const bool accepted = RunModal(dialog) == QDialog::Accepted;
    for (CPropertyPage* page : m_pages) {
        if (accepted)
            page->OnOK();
        else
            page->OnCancel();
    }

    // The pages belong to their owners, not to the dialog that is about to go.
    while (tabs->count() > 0)
        tabs->removeTab(0);
    for (CPropertyPage* page : m_pages) {
        page->hide();
        page->setParent(nullptr);
    }
    return accepted ? IDOK : IDCANCEL;
}
