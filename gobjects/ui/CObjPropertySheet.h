// The object property sheet every overlay container owns: a modal dialog captioned "Object Properties..." whose
// tabs are the Common page (text, line and fill of one object or of a default-attribute record), the "Measurement
// Value" page for measurements that show a value (editions 0, 2 and 11), and the page a shape adds of its own. It
// has OK and Cancel and no Apply. Each use sets it up afresh, so one sheet serves any number of runs, one at a
// time; pages are children of the sheet's window only while it runs, and are taken back before that window (or
// the window it is shown over) goes. It runs through RunModal (ui/ModalDialog.h): a test answers it through the modal
// hook, reaching the pages by their objectNames. UI thread only.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

class CObjectCommonProperty;
class CObjectDisplayValueProperty;
class CPropertyPage;
class CQvGObject;
class CQvGObjectContainer;
class CQvGObjectProperty;
class QDialog;
class QWidget;

class VISTREL_EXPORT CObjPropertySheet
{
public:
    explicit CObjPropertySheet(CQvGObjectContainer* container);
    ~CObjPropertySheet();
    CObjPropertySheet(const CObjPropertySheet&) = delete;
    CObjPropertySheet& operator=(const CObjPropertySheet&) = delete;

    // Removes every page, then adds the Common page bound to the object and, for a measurement that shows a
    // value in editions 0, 2 and 11, the "Measurement Value" page.
    void SetUpForObject(CQvGObject* object);
    // Removes every page, then adds the Common page bound to a bare attribute record (a shape's defaults).
    void SetUpForProperty(CQvGObjectProperty* property);
    // Removes every page: the sheet then shows nothing of its own.
    void SetUpEmpty();

    // Adds a page after those already there (not owned; it must outlive the run).
    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    // The tab shown first when the sheet runs (0 by default; reset by every set-up).
    void SetActivePage(int index) { m_activePage = index; }

    // Runs the sheet modally over `parent`: IDOK when the user accepted it (every page's OnOK has run), IDCANCEL
    // otherwise (every page's OnCancel has run). The run is aborted, IDCANCEL without any OnOK or OnCancel and
    // *aborted set, when the object set up for went while the sheet ran or the sheet itself was deleted
    // meanwhile (then nothing of the sheet is touched after the run). A call made while the sheet runs returns
    // IDCANCEL at once: the running pages stay as they are.
    int DoModal(QWidget* parent, bool* aborted = nullptr);
    bool IsRunning() const { return m_run != nullptr; }
    // After a run: the PropertyField bits of the attributes the user edited on the Common page.
    uint32_t GetChangedFields() const;

private:
    struct RunState;
    void RemoveAllPages();
    static void DetachPages(RunState& run);

    CQvGObjectContainer* m_container;
    std::unique_ptr<CObjectCommonProperty> m_commonPage;
    std::unique_ptr<CObjectDisplayValueProperty> m_displayValuePage;
    std::vector<CPropertyPage*> m_pages;
    int m_activePage = 0;
    // The object the Common page edits, watched so that its deletion during a run aborts the run.
    bool m_watchObject = false;
    std::weak_ptr<const int> m_objectAlive;
    std::shared_ptr<RunState> m_run;  // set while DoModal runs
};
