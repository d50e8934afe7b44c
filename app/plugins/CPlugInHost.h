// The program's side of plug-in hosting: the plug-in menu built from the plug-in folder (command ids from 2024), the
// extension modules (ids from 3025, in the sorted order of their file names), running a plug-in when its command
// arrives, and the resident plug-ins that stay attached to every open and every later document with a report tab
// each. The plug-in manager of the support library does the loading and keeps the list of running views; this class
// decides which document they work on. UI thread only.
//
// Modules are binaries: the host is given the module folder below the executable's folder, not the folder below
// the user's root (which holds no modules).
#pragma once

#include "core/AppSeams.h"
#include "document/CVistrelDoc.h"
#include "plugins/PlugInReportShelf.h"
#include "qvplglib/CPlgManager.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;

// What the host asks of the rest of the program. Unset calls answer "nothing".
struct PlugInHostSeams
{
    // The module folder, asked once start-up knows it (unset: the folder the host was made with).
    std::function<std::string()> moduleFolder;
    std::function<CVistrelDoc*()> activeDocument;
    std::function<std::vector<CVistrelDoc*>()> openDocuments;
    // The document of the live view, or null when no live view exists.
    std::function<CVistrelDoc*()> liveDocument;
    // A new empty document titled `title` (empty: the default title).
    std::function<CVistrelDoc*(const std::string& title)> newDocument;
    // Closes a document the host made for a plug-in that then did nothing.
    std::function<void(CVistrelDoc* doc)> discardDocument;
    // A new document of an empty image of the size and colour model, titled from `title`.
    std::function<CVistrelDoc*(const std::string& title, int width, int height, int type)> newImageDocument;
    std::function<void()> clearAllSelections;
    // The plug-in menu, and what makes its entries go through the program's command routing.
    std::function<QMenu*()> plugInMenu;
    std::function<void(QAction* action, UINT id)> routeAction;
    std::function<void(QMenu* menu)> updateWhenShown;
    // The mode text a command sets before running a plug-in; the host empties it once handed over.
    std::string* pendingMode = nullptr;
};

class CPlugInHost : public IPlugInHost, public IActivePlugInList
{
public:
    static constexpr UINT kFirstPlugInId = 2024;
    static constexpr UINT kFirstExtensionId = 3025;

    // `moduleFolder`: the folder of the plug-in and extension modules, ending with '/'. `reports`: where the report
    // controls go (null: a shelf of the host's own).
    explicit CPlugInHost(std::string moduleFolder, std::unique_ptr<IPlugInReportPages> reports = nullptr);
    ~CPlugInHost() override;

    PlugInHostSeams& Seams() { return m_seams; }
    CPlgManager& Manager() { return m_manager; }
    IPlugInReportPages& Reports() { return *m_reports; }
    const std::string& ModuleFolder() const { return m_moduleFolder; }

    // ---- IPlugInHost
    // Registers the extension modules' entries (LoadExtPlugIns).
    void BindExtensionModules() override;
    // Installs the manager's calls and builds the plug-in menu.
    void InstallPlugIns() override;

    int LoadExtPlugIns();
    // Runs the plug-in of a command id on the active document; 0 on every refusal or failure.
    int ExecutePlugInCallback(UINT id);
    // Runs the first registered entry of the module at `path` (compared without case) with `index` (-1: any).
    int RunExtPlugIn(const std::string& path, int index);
    // Gives `doc` the plug-ins attached to the first other open document, run on `doc`.
    void AttachActivePlugIns(CVistrelDoc* doc);

    // ---- IActivePlugInList
    // Also takes the record's report tabs away and deletes its report control.
    void RemoveFromActiveList(tagActiveApp* record) override;
    void RemoveReportPage(CVistrelDoc* doc) override;

    // A view ends itself (CPlgView::Destroy): its OnClose runs, then its record leaves the document.
    void DestroyView(CPlgView* view);
    // An application ends itself on every document (CPlgApplication::Destroy): the views that ran get OnClose, then
    // every record of the application leaves its document.
    void DestroyApplication(CPlgApplication* application);

private:
    CVistrelDoc* ActiveDocument() const;
    std::vector<CVistrelDoc*> OpenDocuments() const;
    // Lends the record's new view the document and gives it its report tab; false when no view was made.
    bool Attach(tagActiveApp* record, CVistrelDoc* doc);
    void AddReportTab(tagActiveApp* record, CVistrelDoc* doc);
    int Execute(tagActiveApp* record, CVistrelDoc* doc);
    CPlgView* CreateNewView(CPlgApplication* application, const char* title, int width, int height, int type);
    void SkipWithMessage(const std::string& path, const std::string& why);

    std::string m_moduleFolder;
    std::unique_ptr<IPlugInReportPages> m_reports;
    PlugInHostSeams m_seams;
    CPlgManager m_manager;
    bool m_installed = false;
    // The report control each record's view made, and where its tabs are.
    struct ReportTab
    {
        CVistrelDoc* doc = nullptr;
        QPointer<QWidget> control;
    };
    std::map<const tagActiveApp*, ReportTab> m_reportTabs;
    // The record whose view is running now (null between runs).
    tagActiveApp* m_running = nullptr;
};

// The view window (the display window) of a document, or null.
QWidget* DocumentViewWindow(CVistrelDoc* doc);
