#include "plugins/CPlugInHost.h"

#include "plugins/PlugInReportShelf.h"
#include "document/DocumentCreation.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/CReportListCtrl.h"
#include "qvplglib/PlugInContract.h"
#include "resources/StringTable.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QString>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kModule = "Vistrel";
// Shown when a command would run a plug-in on the live view's document (registered with the tools dock's texts).
constexpr UINT IDS_LIVE_MODE_REFUSED = 770;
// A module of the plug-in folder that is not used; %s its file name, %s why (one of the reasons below).
constexpr UINT IDS_PLUGIN_SKIPPED = 8270;
constexpr UINT IDS_NO_APPLICATION = 8271;
constexpr UINT IDS_NOT_INITIALISED = 8272;

const StringTableRegistrar kPlugInHostStrings(
    kModule,
    {
        {IDS_PLUGIN_SKIPPED, "The plug-in %s was skipped: %s.", "플러그인 %s 을(를) 사용하지 않습니다: %s."},
        {IDS_NO_APPLICATION, "its ExtPlgConnect gave no application", "ExtPlgConnect 가 응용 개체를 주지 않았습니다"},
        {IDS_NOT_INITIALISED, "it could not be initialised", "초기화할 수 없습니다"},
    });
// The one extension module that works on the live image.
constexpr const char kLiveExtensionModule[] = "SharpGauge.so";

bool SamePathIgnoringCase(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

void RefreshImage(QWidget* viewWindow)
{
    if (auto* window = dynamic_cast<CImageDispWnd*>(viewWindow))
        window->OnImageChanged();
}

// A client point of the display window in image pixels; x = -1 off the image (or without a display window).
CPoint ClientToImage(QWidget* viewWindow, CPoint point)
{
    auto* window = dynamic_cast<CImageDispWnd*>(viewWindow);
    const CQvImage* image = window ? window->Image() : nullptr;
    if (!image)
        return CPoint(-1, -1);
    const CPoint p = window->GetRealPoint(point, 1);
    if (p.x < 0 || p.y < 0 || p.x >= image->GetWidth() || p.y >= image->GetHeight())
        return CPoint(-1, -1);
    return p;
}

}  // namespace

QWidget* DocumentViewWindow(CVistrelDoc* doc)
{
    CVistrelView* view = doc ? doc->GetImageView() : nullptr;
    return view ? view->GetDispWnd() : nullptr;
}

CPlugInHost::CPlugInHost(std::string moduleFolder, std::unique_ptr<IPlugInReportPages> reports)
    : m_moduleFolder(std::move(moduleFolder)),
      m_reports(reports ? std::move(reports) : std::make_unique<PlugInReportShelf>())
{
}

CPlugInHost::~CPlugInHost()
{
    if (m_installed) {
        CVistrelDoc::SetActivePlugInList(nullptr);
        SetActivePlugInAttacher(nullptr);
        CPlgApplication::SetHostCalls(nullptr, nullptr);
    }
    // Views of the plug-in modules go before the manager forgets them.
    for (CVistrelDoc* doc : CVistrelDoc::AllDocuments())
        for (const auto& record : doc->ActivePlugIns())
            RemoveFromActiveList(record.get());
}

CVistrelDoc* CPlugInHost::ActiveDocument() const
{
    return m_seams.activeDocument ? m_seams.activeDocument() : nullptr;
}

std::vector<CVistrelDoc*> CPlugInHost::OpenDocuments() const
{
    return m_seams.openDocuments ? m_seams.openDocuments() : std::vector<CVistrelDoc*>{};
}

void CPlugInHost::SkipWithMessage(const std::string& path, const std::string& why)
{
    AfxMessageBox(Format(LoadString(kModule, IDS_PLUGIN_SKIPPED).c_str(),
                         std::filesystem::path(path).filename().string().c_str(), why.c_str()),
                  MB_OK | MB_ICONWARNING);
}

void CPlugInHost::BindExtensionModules()
{
    LoadExtPlugIns();
}

int CPlugInHost::LoadExtPlugIns()
{
    if (m_seams.moduleFolder)
        m_moduleFolder = m_seams.moduleFolder();
    UINT nextId = kFirstExtensionId;
    for (const std::filesystem::path& file : PlgModuleFiles(m_moduleFolder)) {
        // This pass loads every module first: a module that took an earlier start down is skipped (and named) here,
        // and the plug-in menu's install that follows skips it too.
        if (!m_manager.MayLoadModule(file.string()))
            continue;
        ModuleLoadGuard::Scope guarded(m_manager.LoadGuard(), file.string());
        CModule module;
        // A module that cannot be loaded is named once, by the plug-in menu's install.
        if (!module.Load(file.string()))
            continue;
        const auto connect = module.GetProc<PFN_ExtPlgConnect>(kExtPlgConnectName);
        if (!connect)
            continue;
        guarded.Step(kExtPlgConnectName);
        CPlgApplication* application = nullptr;
        try {
            application = connect();
        } catch (...) {
            application = nullptr;
        }
        if (!application) {
            SkipWithMessage(file.string(), LoadString(kModule, IDS_NO_APPLICATION));
            continue;
        }
        for (const tagPlgInfo& entry : application->GetPlgInfoList())
            m_manager.AddMenuRecord(tagPlgInfo4Client{nextId++, file.string(), entry.flag, entry.index,
                                                      entry.reserved});
        // A library that stays loaded keeps its application: the next connect starts from an empty list.
        application->RemoveAllPlgInfo();
    }
    return 1;
}

void CPlugInHost::InstallPlugIns()
{
    m_manager.SetExecutePlgIn([this](UINT id) { return ExecutePlugInCallback(id); });
    m_manager.SetCreateNewView([this](CPlgApplication* application, const char* title, int, unsigned long,
                                      int width, int height, int type) {
        return CreateNewView(application, title, width, height, type);
    });
    m_manager.SetLoadingInfoFunc([](const char*) {});
    m_manager.SetGetViewCount([this] { return static_cast<int>(OpenDocuments().size()); });
    m_manager.SetGetViews([this](std::vector<CQvFramePool*>& pools) {
        for (CVistrelDoc* doc : OpenDocuments())
            pools.push_back(&doc->GetFramePool());
        return 1;
    });
    m_manager.SetUpdateReport([this] {
        for (CVistrelDoc* doc : OpenDocuments())
            m_reports->UpdatePage(doc);
    });
    m_manager.SetRedrawWindow(RefreshImage);
    m_manager.SetUpdateCanvasSize(RefreshImage);
    m_manager.SetClientToImage(ClientToImage);
    m_manager.SetDestroyView([this](CPlgView* view) { DestroyView(view); });
    CPlgApplication::SetHostCalls([this](CPlgApplication* application) { DestroyApplication(application); },
                                  [this] { m_manager.UpdateReport(); });
    // Documents hand their records back on closing, and every new document gets the resident plug-ins.
    CVistrelDoc::SetActivePlugInList(this);
    SetActivePlugInAttacher([this](CVistrelDoc* doc) { AttachActivePlugIns(doc); });
    m_installed = true;

    if (m_seams.moduleFolder)
        m_moduleFolder = m_seams.moduleFolder();
    QMenu* menu = m_seams.plugInMenu ? m_seams.plugInMenu() : nullptr;
    m_manager.Install(m_moduleFolder, menu, kFirstPlugInId);
    if (!menu || !m_seams.routeAction)
        return;
    // The entries run through the program's command routing alone, which checks the hold rule and refreshes the
    // image afterwards: the manager's own connection would run each entry a second time.
    for (QAction* groupAction : menu->actions()) {
        QMenu* group = groupAction->menu();
        if (!group)
            continue;
        for (QAction* action : group->actions()) {
            const UINT id = action->data().toUInt();
            if (id < kFirstPlugInId || !m_manager.GetPlgInfo(id))
                continue;
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            m_seams.routeAction(action, id);
        }
        if (m_seams.updateWhenShown)
            m_seams.updateWhenShown(group);
    }
}

void CPlugInHost::AddReportTab(tagActiveApp* record, CVistrelDoc* doc)
{
    if (!record->view)
        return;
    QWidget* page = m_reports->Page(doc);
    CReportListCtrl* control = nullptr;
    try {
        control = record->view->CreateReportControl(page);
    } catch (...) {
        control = nullptr;
    }
    if (!control)
        return;
    m_reports->AddTabEntry(doc, QString::fromStdString(control->GetWindowText()), control);
    m_reportTabs[record] = ReportTab{doc, control};
}

bool CPlugInHost::Attach(tagActiveApp* record, CVistrelDoc* doc)
{
    if (!m_manager.AddToActiveList(record, DocumentViewWindow(doc), &doc->GetFramePool(), &doc->GetCalibKeeper()))
        return false;
    AddReportTab(record, doc);
    return true;
}

int CPlugInHost::Execute(tagActiveApp* record, CVistrelDoc* doc)
{
    // A view asking for a new document while it runs is known by its record, not merely by its application.
    tagActiveApp* outer = m_running;
    m_running = record;
    const int result =
        m_manager.ExecutePlgIn(record, DocumentViewWindow(doc), &doc->GetFramePool(), &doc->GetCalibKeeper());
    m_running = outer;
    return result;
}

int CPlugInHost::ExecutePlugInCallback(UINT id)
{
    CVistrelDoc* active = ActiveDocument();
    CVistrelDoc* live = m_seams.liveDocument ? m_seams.liveDocument() : nullptr;
    if (live && active == live) {
        const std::string liveModule = m_moduleFolder + kLiveExtensionModule;
        const auto& records = m_manager.GetMenuRecords();
        const bool allowed = std::any_of(records.begin(), records.end(), [&](const auto& record) {
            return record->id == id && SamePathIgnoringCase(record->path, liveModule);
        });
        if (!allowed) {
            AfxMessageBox(LoadString(kModule, IDS_LIVE_MODE_REFUSED), MB_OK | MB_ICONINFORMATION);
            return 0;
        }
    }

    const tagPlgInfo4Client* info = m_manager.GetPlgInfo(id);
    if (!info)
        return 0;
    auto module = std::make_shared<CModule>();
    if (!module->Load(info->path))
        return 0;
    CPlgApplication* application = m_manager.GetPlgApplication(*module);
    if (!application) {
        if (const auto connect = module->GetProc<PFN_ExtPlgConnect>(kExtPlgConnectName)) {
            try {
                application = connect();
            } catch (...) {
                application = nullptr;
            }
            // Its entries were registered once, at start; a library that stays loaded must not pile them up.
            if (application)
                application->RemoveAllPlgInfo();
        }
        if (!application)
            return 0;
    }
    std::string noMode;
    std::string& mode = m_seams.pendingMode ? *m_seams.pendingMode : noMode;
    m_manager.SetModuleProgzubParameter(*module, mode.c_str());
    mode.clear();

    tagActiveApp probe{module, application, nullptr, 0, info};
    if (m_manager.IsActivated(probe)) {
        if (!active)
            return 0;
        tagActiveApp* record = CPlgManager::FindActivePlgApp(active->ActivePlugIns(), probe);
        return record ? Execute(record, active) : 0;
    }

    int initialised = 0;
    try {
        initialised = application->InitPlgApp();
    } catch (...) {
        initialised = 0;
    }
    if (!initialised) {
        SkipWithMessage(info->path, LoadString(kModule, IDS_NOT_INITIALISED));
        return 0;
    }

    const bool resident = info->flag == 0;
    if (active) {
        // The document may be closed while the plug-in runs (a dialog of its own is open meanwhile).
        QPointer<CVistrelDoc> alive(active);
        auto record = std::make_unique<tagActiveApp>(probe);
        if (!Attach(record.get(), active))
            return 0;
        if (resident)
            if (m_seams.clearAllSelections)
                m_seams.clearAllSelections();
        const int result = Execute(record.get(), active);
        if (!alive) {
            RemoveFromActiveList(record.get());
            return 0;
        }
        m_reports->SelectLastTabs(active);
        // The view of the active document is not activated again by the window system when the user comes back
        // from the plug-in's own window to the document already active: it takes input from its first run on.
        if (resident && result)
            record->activation = 1;
        if (!resident) {
            // The view goes with the record; the module is released with the last record holding it.
            RemoveFromActiveList(record.get());
            return result;
        }
        active->AttachPlugIn(std::move(record));
        for (CVistrelDoc* other : OpenDocuments()) {
            if (other == active)
                continue;
            auto copy = std::make_unique<tagActiveApp>(tagActiveApp{module, application, nullptr, 0, info});
            if (Attach(copy.get(), other))
                other->AttachPlugIn(std::move(copy));
        }
        return result;
    }
    if (resident || !m_seams.newDocument)
        return 0;
    CVistrelDoc* doc = m_seams.newDocument(std::string());
    if (!doc)
        return 0;
    QPointer<CVistrelDoc> alive(doc);
    auto record = std::make_unique<tagActiveApp>(probe);
    int result = 0;
    if (Attach(record.get(), doc)) {
        result = Execute(record.get(), doc);
        RemoveFromActiveList(record.get());
    }
    if (!alive)
        return 0;
    if (!result) {
        m_reports->RemovePage(doc);
        if (m_seams.discardDocument)
            m_seams.discardDocument(doc);
    }
    return result;
}

int CPlugInHost::RunExtPlugIn(const std::string& path, int index)
{
    for (const auto& record : m_manager.GetMenuRecords())
        if (SamePathIgnoringCase(record->path, path) && (index == -1 || record->index == index))
            return ExecutePlugInCallback(record->id);
    return 0;
}

void CPlugInHost::AttachActivePlugIns(CVistrelDoc* doc)
{
    if (!doc)
        return;
    for (CVistrelDoc* other : OpenDocuments()) {
        if (other == doc)
            continue;
        for (const auto& source : other->ActivePlugIns()) {
            auto record = std::make_unique<tagActiveApp>(
                tagActiveApp{source->module, source->application, nullptr, 0, source->info});
            if (!Attach(record.get(), doc))
                continue;
            tagActiveApp* attached = record.get();
            doc->AttachPlugIn(std::move(record));
            Execute(attached, doc);
        }
        break;
    }
}

CPlgView* CPlugInHost::CreateNewView(CPlgApplication* application, const char* title, int width, int height,
                                     int type)
{
    if (width <= 0 || height <= 0 || !m_seams.newImageDocument)
        return nullptr;
    // The plug-in asks from inside its running view: that view stays as it is, and the new document gets a record
    // of its own for the plug-in's entry.
    if (!m_running || m_running->application != application)
        return nullptr;
    const std::shared_ptr<CModule> module = m_running->module;
    const tagPlgInfo4Client* info = m_running->info;
    CVistrelDoc* doc = m_seams.newImageDocument(title ? title : "", width, height, type);
    if (!doc)
        return nullptr;
    // A new document already got the resident plug-ins, perhaps this very entry: that view is the one.
    const tagActiveApp probe{module, application, nullptr, 0, info};
    if (tagActiveApp* attached = CPlgManager::FindActivePlgApp(doc->ActivePlugIns(), probe))
        return attached->view;
    auto record = std::make_unique<tagActiveApp>(tagActiveApp{module, application, nullptr, 0, info});
    if (!m_manager.CreateNewView(record.get(), DocumentViewWindow(doc), &doc->GetFramePool(),
                                 &doc->GetCalibKeeper()))
        return nullptr;
    CPlgView* view = record->view;
    doc->AttachPlugIn(std::move(record));
    return view;
}

void CPlugInHost::RemoveFromActiveList(tagActiveApp* record)
{
    // The report control is the module's code: it goes now, before the record can release the module.
    if (auto tab = m_reportTabs.find(record); tab != m_reportTabs.end()) {
        const ReportTab entry = tab->second;
        m_reportTabs.erase(tab);
        if (entry.control)
            m_reports->RemoveTabEntry(entry.doc, entry.control);
    }
    m_manager.RemoveFromActiveList(record);
}

void CPlugInHost::RemoveReportPage(CVistrelDoc* doc)
{
    m_reports->RemovePage(doc);
}

void CPlugInHost::DestroyView(CPlgView* view)
{
    if (!view)
        return;
    for (CVistrelDoc* doc : CVistrelDoc::AllDocuments()) {
        for (const auto& record : doc->ActivePlugIns()) {
            if (record->view != view)
                continue;
            try {
                view->OnClose();
            } catch (...) {
                // The contract forbids it; the view goes all the same.
            }
            doc->DetachPlugIn(record.get());
            return;
        }
    }
}

void CPlugInHost::DestroyApplication(CPlgApplication* application)
{
    if (!application)
        return;
    for (CVistrelDoc* doc : CVistrelDoc::AllDocuments()) {
        // OnClose may change the list (a view ending another): walk copies of the views first.
        std::vector<CPlgView*> ran;
        for (const auto& record : doc->ActivePlugIns())
            if (record->application == application && record->view && record->activation)
                ran.push_back(record->view);
        for (CPlgView* view : ran)
            DestroyView(view);
        doc->RemovePlugInView(application);
    }
}
