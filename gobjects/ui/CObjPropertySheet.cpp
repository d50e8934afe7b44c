#include "gobjects/ui/CObjPropertySheet.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/Edition.h"
#include "gobjects/FiguronStrings.h"
#include "gobjects/ui/CObjectCommonProperty.h"
#include "gobjects/ui/CObjectDisplayValueProperty.h"
#include "gobjects/ui/CPropertyPage.h"
#include "gobjects/ui/PageText.h"

#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

// What a run needs after the event loop, kept apart from the sheet so that a sheet deleted during its own run
// (its container went) is found out without touching it.
struct CObjPropertySheet::RunState
{
    QPointer<QDialog> dialog;
    QPointer<QTabWidget> tabs;
    std::vector<QPointer<CPropertyPage>> pages;
    bool sheetGone = false;
};

CObjPropertySheet::CObjPropertySheet(CQvGObjectContainer* container)
    : m_container(container),
      m_commonPage(std::make_unique<CObjectCommonProperty>()),
      m_displayValuePage(std::make_unique<CObjectDisplayValueProperty>())
{
    m_commonPage->SetContainer(container);
}

CObjPropertySheet::~CObjPropertySheet()
{
    if (m_run) {
        // Deleted while its run is in the event loop: the run must end without this sheet, and the pages (ours
        // go with us, a shape's with its caller) must not stay inside a window that outlives them.
        m_run->sheetGone = true;
        DetachPages(*m_run);
        if (m_run->dialog)
            m_run->dialog->reject();
    }
}

void CObjPropertySheet::RemoveAllPages()
{
    m_pages.clear();
    m_activePage = 0;
    m_watchObject = false;
    m_objectAlive.reset();
}

void CObjPropertySheet::DetachPages(RunState& run)
{
    if (run.tabs) {
        while (run.tabs->count() > 0)
            run.tabs->removeTab(0);
    }
    for (const QPointer<CPropertyPage>& page : run.pages) {
        if (!page)
            continue;
        page->hide();
        page->setParent(nullptr);
    }
}

void CObjPropertySheet::SetUpForObject(CQvGObject* object)
{
    if (m_run)
        return;
    RemoveAllPages();
    if (object) {
        m_watchObject = true;
        m_objectAlive = object->GetLifeToken();
    }
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
    if (m_run)
        return;
    RemoveAllPages();
    m_commonPage->SetContainer(m_container);
    m_commonPage->SetProperty(property);
    AddPage(m_commonPage.get());
}

void CObjPropertySheet::SetUpEmpty()
{
    if (m_run)
        return;
    RemoveAllPages();
}

void CObjPropertySheet::AddPage(CPropertyPage* page)
{
    if (page && !m_run && std::find(m_pages.begin(), m_pages.end(), page) == m_pages.end())
        m_pages.push_back(page);
}

uint32_t CObjPropertySheet::GetChangedFields() const
{
    return m_commonPage->GetChangedFields();
}

CPropertyPage* CObjPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

int CObjPropertySheet::DoModal(QWidget* parent, bool* aborted)
{
    if (aborted)
        *aborted = false;
    // A sheet without pages has nothing to edit: it is not shown at all. Nor is a second run while one goes on.
    if (m_pages.empty() || m_run)
        return IDCANCEL;

    const std::shared_ptr<RunState> run = std::make_shared<RunState>();
    m_run = run;
    // On the heap: the window it is shown over may delete it during the run.
    auto* dialog = new QDialog(parent);
    run->dialog = dialog;
    dialog->setObjectName("sheet");
    dialog->setWindowTitle(QString::fromStdString(LoadFiguronString(IDS_PROPERTY_SHEET_CAPTION)));
    auto* layout = new QVBoxLayout(dialog);
    auto* tabs = new QTabWidget(dialog);
    run->tabs = tabs;
    tabs->setObjectName("pages");
    layout->addWidget(tabs);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    // The buttons speak the library's language (its marker, string 22, names it), the pages stay English.
    auto* ok = new QPushButton(FiguronUiText(IDS_BUTTON_OK), dialog);
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(FiguronUiText(IDS_BUTTON_CANCEL), dialog);
    cancel->setObjectName("cancel");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);

    for (CPropertyPage* page : m_pages) {
        run->pages.emplace_back(page);
        tabs->addTab(page, page->GetCaption());
    }
    // A window deletes its children before it is gone: the pages, which the dialog does not own, leave it first.
    QMetaObject::Connection parentGone;
    if (parent)
        parentGone = QObject::connect(parent, &QObject::destroyed, [run]() { DetachPages(*run); });
    for (CPropertyPage* page : m_pages)
        page->OnInitDialog();
    tabs->setCurrentIndex(std::clamp(m_activePage, 0, GetPageCount() - 1));

    const int code = RunModal(*dialog);
    QObject::disconnect(parentGone);
    if (run->sheetGone) {
        // This sheet no longer exists; only the run's own state may be used.
        DetachPages(*run);
        delete run->dialog.data();
        if (aborted)
            *aborted = true;
        return IDCANCEL;
    }

    const bool objectGone = m_watchObject && m_objectAlive.expired();
    const bool accepted = !objectGone && run->dialog && code == QDialog::Accepted;
    if (!objectGone) {
        for (CPropertyPage* page : m_pages) {
            if (accepted)
                page->OnOK();
            else
                page->OnCancel();
        }
    }

    // The pages belong to their owners, not to the dialog that is about to go.
    DetachPages(*run);
    delete run->dialog.data();
    m_run.reset();
    if (aborted)
        *aborted = objectGone;
    return accepted ? IDOK : IDCANCEL;
}
