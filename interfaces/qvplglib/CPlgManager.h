// The plug-in manager: builds the plug-in menu from the modules of the plug-in folder, keeps the menu records and
// the list of plug-in views attached to documents, and runs a plug-in's view on a document. The program installs
// the calls through which the manager (and the plug-ins) reach it. UI thread only.
//
// Loading is guarded: a module that cannot be loaded, lacks an export, was built against another contract version,
// or whose PlgConnect returns null or throws a C++ exception is skipped with a message naming its file (through the
// loading-info call and one message box), and the rest of the folder is installed. A crash (a signal) inside a
// module's own code cannot be caught in-process and takes the program down; the load guard then skips that module
// at the next start, names it and asks once whether to try it again (see ModuleLoadGuard).
#pragma once

#include "module/CModule.h"
#include "module/ModuleLoadGuard.h"
#include "types/VistrelExport.h"
#include "types/WinGeometry.h"
#include "types/WinTypes.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CCalibKeeper;
class CPlgApplication;
class CPlgView;
class CQvFramePool;
class QMenu;
class QWidget;

// The "*.so" files of `folder`, sorted by file name (bytewise); empty when the folder cannot be read.
VISTREL_EXPORT std::vector<std::filesystem::path> PlgModuleFiles(const std::string& folder);

// One command of the plug-in menu (or an extension command the program registered).
struct tagPlgInfo4Client
{
    UINT id = 0;           // command id
    std::string path;      // the module's full path
    int flag = 1;          // 1: run once; 0: resident
    int index = 0;         // what CreatePlgView receives
    unsigned long reserved = 0;
};

// One plug-in attached to one document. The module is shared by every record made from it and stays loaded while
// one of them lives. The view belongs to the record while it is in the manager's active list.
struct tagActiveApp
{
    std::shared_ptr<CModule> module;
    CPlgApplication* application = nullptr;
    CPlgView* view = nullptr;              // null until AddToActiveList or CreateNewView fills it
    int activation = 0;                    // set by the view window; input reaches the view only while nonzero
    const tagPlgInfo4Client* info = nullptr;  // the menu record, owned by the manager
};

// The program's side, installed by the program.
using PlgExecuteFunc = std::function<int(UINT id)>;
// A new document titled `title` with an empty image of width x height and the colour model `type`, with a view of
// `application` attached; null (and no document) when width or height is not positive.
using PlgCreateNewViewFunc = std::function<CPlgView*(CPlgApplication* application, const char* title, int reserved1,
                                                     unsigned long reserved2, int width, int height, int type)>;
using PlgLoadingInfoFunc = std::function<void(const char* text)>;
using PlgGetViewCountFunc = std::function<int()>;
// The frame pools of the open documents, in the program's order; returns 1.
using PlgGetViewsFunc = std::function<int(std::vector<CQvFramePool*>& pools)>;
using PlgUpdateReportFunc = std::function<void()>;
using PlgViewWindowFunc = std::function<void(QWidget* viewWindow)>;
// A client point of a view window in image pixels, x = -1 outside the image.
using PlgClientToImageFunc = std::function<CPoint(QWidget* viewWindow, CPoint point)>;
// Detaches a view from its document (OnClose first), deleting it.
using PlgDestroyViewFunc = std::function<void(CPlgView* view)>;

class VISTREL_EXPORT CPlgManager
{
public:
    CPlgManager();
    ~CPlgManager();
    CPlgManager(const CPlgManager&) = delete;
    CPlgManager& operator=(const CPlgManager&) = delete;

    void SetExecutePlgIn(PlgExecuteFunc function) { m_execute = std::move(function); }
    void SetCreateNewView(PlgCreateNewViewFunc function) { m_createNewView = std::move(function); }
    void SetLoadingInfoFunc(PlgLoadingInfoFunc function) { m_loadingInfo = std::move(function); }
    void SetGetViewCount(PlgGetViewCountFunc function) { m_getViewCount = std::move(function); }
    void SetGetViews(PlgGetViewsFunc function) { m_getViews = std::move(function); }
    void SetUpdateReport(PlgUpdateReportFunc function) { m_updateReport = std::move(function); }
    // What CPlgView::RedrawWindow and CPlgView::UpdateCanvasSize do with the view window of the view's document.
    void SetRedrawWindow(PlgViewWindowFunc function) { m_redrawWindow = std::move(function); }
    void SetUpdateCanvasSize(PlgViewWindowFunc function) { m_updateCanvasSize = std::move(function); }
    // What CPlgView::ClientToImage and CPlgView::Destroy do.
    void SetClientToImage(PlgClientToImageFunc function) { m_clientToImage = std::move(function); }
    void SetDestroyView(PlgDestroyViewFunc function) { m_destroyView = std::move(function); }

    // The guard of every module loaded at start, the extension modules' included; its markers go to the user's
    // default marker folder unless set.
    ModuleLoadGuard& LoadGuard() { return m_loadGuard; }
    // False when the module at `path` must not be loaded now, as its last load took the program down; the first
    // time, the user is told which module it is and asked whether to try it again at the next start.
    bool MayLoadModule(const std::string& path);

    // Loads every "*.so" of `folder` in the order of their names (bytewise), asks each for its entries and appends
    // a menu record per entry with command ids from `firstId` up, in registration order. Each entry becomes an
    // action (text = item, data = command id) in the sub-menu of `menu` titled with its group (made when missing);
    // triggering it calls the execute call with the id. Modules are released afterwards. Returns the number of
    // records added. `menu` may be null (records only).
    int Install(const std::string& folder, QMenu* menu, UINT firstId);
    // The menu record of a command id, or null.
    const tagPlgInfo4Client* GetPlgInfo(UINT id) const;
    // The menu records, Install's first in id order, then the ones the program added.
    const std::vector<std::unique_ptr<tagPlgInfo4Client>>& GetMenuRecords() const { return m_menuRecords; }
    // Appends a record of the program's own (an extension command); returns the manager's copy.
    const tagPlgInfo4Client* AddMenuRecord(const tagPlgInfo4Client& record);

    // The application object of a loaded menu plug-in module (guarded like Install), or null.
    CPlgApplication* GetPlgApplication(const CModule& module);
    // Hands `parameter` (null: "") to the module's PROGZUB_PARAMETER_SET; 1 when the module has one, else 0.
    int SetModuleProgzubParameter(const CModule& module, const char* parameter);

    // 1 when the active list holds a record of the same application and menu record.
    int IsActivated(const tagActiveApp& record) const;
    // The first record of `list` with the same application and menu record, or null.
    static tagActiveApp* FindActivePlgApp(const std::vector<std::unique_ptr<tagActiveApp>>& list,
                                          const tagActiveApp& record);
    static tagActiveApp* FindActivePlgApp(const std::vector<tagActiveApp*>& list, const tagActiveApp& record);

    // Makes the record's view (CreatePlgView with the entry's index), lends it the document and puts the record
    // into the active list. 0 (record unchanged, not listed) when the module makes no view for the index.
    int AddToActiveList(tagActiveApp* record, QWidget* viewWindow, CQvFramePool* framePool,
                        CCalibKeeper* calibration);
    // Deletes the record's view and takes the record out of the active list (the caller keeps the record).
    void RemoveFromActiveList(tagActiveApp* record);
    // Gives the record a fresh view lent to another document (a document the program made for the plug-in),
    // replacing a view it had, and lists the record if it was not; 0 when no view could be made.
    int CreateNewView(tagActiveApp* record, QWidget* viewWindow, CQvFramePool* framePool, CCalibKeeper* calibration);
    // Runs the record's view on the document: makes the view first when the record has none, lends it the
    // document, and returns Run's result (0 without a view).
    int ExecutePlgIn(tagActiveApp* record, QWidget* viewWindow, CQvFramePool* framePool, CCalibKeeper* calibration);
    const std::vector<tagActiveApp*>& GetActiveList() const { return m_activeList; }

    // Whether the plug-in command `id` can run: 1 for a command with a menu record, else 0.
    int OnUpdateCmdUIExecutePlugins(UINT id) const;

    // The program's calls, as the plug-ins use them.
    int ExecutePlugIn(UINT id);
    CPlgView* CreateNewDocumentView(CPlgApplication* application, const char* title, int width, int height,
                                    int type);
    int GetViewCount() const;
    std::vector<CQvFramePool*> GetViews() const;
    void UpdateReport();

private:
    CPlgApplication* ConnectModule(const CModule& module, std::string& why);
    int MakeView(tagActiveApp* record, QWidget* viewWindow, CQvFramePool* framePool, CCalibKeeper* calibration);
    void Lend(CPlgView* view, QWidget* viewWindow, CQvFramePool* framePool, CCalibKeeper* calibration) const;
    void LoadingInfo(const std::string& text) const;

    PlgExecuteFunc m_execute;
    PlgCreateNewViewFunc m_createNewView;
    PlgLoadingInfoFunc m_loadingInfo;
    PlgGetViewCountFunc m_getViewCount;
    PlgGetViewsFunc m_getViews;
    PlgUpdateReportFunc m_updateReport;
    PlgViewWindowFunc m_redrawWindow;
    PlgViewWindowFunc m_updateCanvasSize;
    PlgClientToImageFunc m_clientToImage;
    PlgDestroyViewFunc m_destroyView;

    ModuleLoadGuard m_loadGuard{DefaultModuleMarkerFolder(), "plugin"};
    std::vector<std::unique_ptr<tagPlgInfo4Client>> m_menuRecords;
    std::vector<tagActiveApp*> m_activeList;
};
