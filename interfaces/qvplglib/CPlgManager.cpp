#include "qvplglib/CPlgManager.h"

#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/PlugInContract.h"
#include "resources/StringTable.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

namespace {

QMenu* GroupMenu(QMenu* menu, const std::string& group)
{
    const QString title = QString::fromStdString(group);
    for (QAction* action : menu->actions())
        if (QMenu* sub = action->menu(); sub && sub->title() == title)
            return sub;
    return menu->addMenu(title);
}

constexpr const char* kModule = "QvPlgLib";
constexpr uint32_t IDS_PLUGIN_CRASHED = 1;   // %1 the module file, %2 the step its load was at

const StringTableRegistrar kStrings(
    kModule,
    {
        {IDS_PLUGIN_CRASHED,
         "The plug-in %1 was not loaded: the program stopped while loading it at an earlier start (%2).\n\n"
         "Try to load it again at the next start? Otherwise it stays off until its file is replaced.",
         "플러그인 %1을(를) 불러오지 않았습니다. 이전 시작 때 이 플러그인을 불러오는 중(%2)에 프로그램이 "
         "종료되었습니다.\n\n다음 시작 때 다시 불러오시겠습니까? 아니면 파일이 바뀔 때까지 불러오지 않습니다."},
    });

std::string Filled(std::string text, const std::string& first, const std::string& second)
{
    if (const size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, first);
    if (const size_t at = text.find("%2"); at != std::string::npos)
        text.replace(at, 2, second);
    return text;
}

bool SameEntry(const tagActiveApp& a, const tagActiveApp& b)
{
    return a.application == b.application && a.info == b.info;
}

}  // namespace

std::vector<std::filesystem::path> PlgModuleFiles(const std::string& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::path& path = it->path();
        std::error_code typeError;
        if (path.extension() == ".so" && it->is_regular_file(typeError))
            files.push_back(path);
    }
    // Directory order is arbitrary; sorted names keep the command ids the same from run to run.
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.filename().string() < b.filename().string(); });
    return files;
}

CPlgManager::CPlgManager() = default;

CPlgManager::~CPlgManager() = default;

bool CPlgManager::MayLoadModule(const std::string& path)
{
    return m_loadGuard.MayLoad(path, [this](const ModuleLoadGuard::Crash& crash) {
        const std::string text = Filled(LoadString(kModule, IDS_PLUGIN_CRASHED),
                                        std::filesystem::path(crash.modulePath).filename().string(), crash.step);
        LoadingInfo(text);
        return AfxMessageBox(text, MB_YESNO | MB_ICONWARNING) == IDYES;
    });
}

void CPlgManager::LoadingInfo(const std::string& text) const
{
    if (m_loadingInfo)
        m_loadingInfo(text.c_str());
}

CPlgApplication* CPlgManager::ConnectModule(const CModule& module, std::string& why)
{
    const auto version = module.GetProc<PFN_PlgContractVersion>(kPlgContractVersionName);
    const auto connect = module.GetProc<PFN_PlgConnect>(kPlgConnectName);
    if (!connect) {
        // An extension module is the program's to register, not a broken plug-in: skipped without a word.
        if (!module.GetProc<PFN_ExtPlgConnect>(kExtPlgConnectName))
            why = "it has no PlgConnect";
        return nullptr;
    }
    // Only C++ exceptions are caught here; a module that crashes outright cannot be survived in-process.
    try {
        if (!version) {
            why = "it was built without the plug-in contract";
            return nullptr;
        }
        if (const int built = version(); built != VISTREL_PLG_CONTRACT_VERSION) {
            why = "it was built for plug-in contract " + std::to_string(built) + ", not " +
                  std::to_string(VISTREL_PLG_CONTRACT_VERSION);
            return nullptr;
        }
        // Connected once per load: every caller takes the entries it needs and then empties the list, so a library
        // that stays loaded (and keeps its application object) starts the next connect from nothing.
        CPlgApplication* application = connect();
        if (!application)
            why = "its PlgConnect gave no application";
        return application;
    } catch (const std::exception& exception) {
        why = std::string("its PlgConnect failed: ") + exception.what();
    } catch (...) {
        why = "its PlgConnect failed";
    }
    return nullptr;
}

int CPlgManager::Install(const std::string& folder, QMenu* menu, UINT firstId)
{
    UINT nextId = firstId;
    int added = 0;
    std::string skipped;
    for (const std::filesystem::path& file : PlgModuleFiles(folder)) {
        const std::string path = file.string();
        const std::string name = file.filename().string();
        LoadingInfo(name);
        if (!MayLoadModule(path))
            continue;
        // From here to the module's release, a crash inside it is remembered for the next start.
        ModuleLoadGuard::Scope guarded(m_loadGuard, path);
        CModule module;
        std::string why;
        CPlgApplication* application = nullptr;
        if (!module.Load(path)) {
            why = "it cannot be loaded (" + module.GetLastError() + ")";
        } else {
            guarded.Step(kPlgConnectName);
            application = ConnectModule(module, why);
        }
        if (!application && why.empty())
            continue;
        if (!application) {
            const std::string message = "The plug-in " + name + " was skipped: " + why + ".";
            LoadingInfo(message);
            skipped += (skipped.empty() ? "" : "\n") + message;
            continue;
        }
        for (const tagPlgInfo& entry : application->GetPlgInfoList()) {
            auto record = std::make_unique<tagPlgInfo4Client>(
                tagPlgInfo4Client{nextId++, path, entry.flag, entry.index, entry.reserved});
            if (menu) {
                QAction* action = GroupMenu(menu, entry.group)->addAction(QString::fromStdString(entry.item));
                const UINT id = record->id;
                action->setData(id);
                QObject::connect(action, &QAction::triggered, action, [this, id] { ExecutePlugIn(id); });
            }
            m_menuRecords.push_back(std::move(record));
            ++added;
        }
        application->RemoveAllPlgInfo();
        // The records keep the path; the module is loaded again when an entry runs.
        guarded.Step("unloading");
        module.Free();
    }
    if (!skipped.empty())
        AfxMessageBox(skipped, MB_OK | MB_ICONWARNING);
    return added;
}

const tagPlgInfo4Client* CPlgManager::GetPlgInfo(UINT id) const
{
    for (const auto& record : m_menuRecords)
        if (record->id == id)
            return record.get();
    return nullptr;
}

const tagPlgInfo4Client* CPlgManager::AddMenuRecord(const tagPlgInfo4Client& record)
{
    m_menuRecords.push_back(std::make_unique<tagPlgInfo4Client>(record));
    return m_menuRecords.back().get();
}

CPlgApplication* CPlgManager::GetPlgApplication(const CModule& module)
{
    std::string why;
    CPlgApplication* application = module.IsLoaded() ? ConnectModule(module, why) : nullptr;
    if (application)
        application->RemoveAllPlgInfo();
    // No reason means an extension module: not a menu plug-in, but nothing wrong with it either.
    if (!application && !why.empty())
        LoadingInfo("The plug-in " + std::filesystem::path(module.GetPath()).filename().string() +
                    " gave no application: " + why + ".");
    return application;
}

int CPlgManager::SetModuleProgzubParameter(const CModule& module, const char* parameter)
{
    const auto set = module.GetProc<PFN_PROGZUB_PARAMETER_SET>(kProgzubParameterSetName);
    if (!set)
        return 0;
    try {
        set(parameter ? parameter : "");
    } catch (...) {
        return 0;
    }
    return 1;
}

int CPlgManager::IsActivated(const tagActiveApp& record) const
{
    return FindActivePlgApp(m_activeList, record) ? 1 : 0;
}

tagActiveApp* CPlgManager::FindActivePlgApp(const std::vector<std::unique_ptr<tagActiveApp>>& list,
                                            const tagActiveApp& record)
{
    for (const auto& entry : list)
        if (SameEntry(*entry, record))
            return entry.get();
    return nullptr;
}

tagActiveApp* CPlgManager::FindActivePlgApp(const std::vector<tagActiveApp*>& list, const tagActiveApp& record)
{
    for (tagActiveApp* entry : list)
        if (SameEntry(*entry, record))
            return entry;
    return nullptr;
}

void CPlgManager::Lend(CPlgView* view, QWidget* viewWindow, CQvFramePool* framePool,
                       CCalibKeeper* calibration) const
{
    view->AttachHost(PlgViewHost{viewWindow, framePool, calibration, m_redrawWindow, m_updateCanvasSize});
    view->AttachHostCalls(PlgViewCalls{m_clientToImage, m_destroyView});
}

int CPlgManager::MakeView(tagActiveApp* record, QWidget* viewWindow, CQvFramePool* framePool,
                          CCalibKeeper* calibration)
{
    if (!record || !record->application || !record->info)
        return 0;
    CPlgView* view = nullptr;
    try {
        if (!record->application->CreatePlgView(record->info->index, 0, &view))
            view = nullptr;
    } catch (...) {
        view = nullptr;
    }
    if (!view)
        return 0;
    delete record->view;
    record->view = view;
    Lend(view, viewWindow, framePool, calibration);
    if (std::find(m_activeList.begin(), m_activeList.end(), record) == m_activeList.end())
        m_activeList.push_back(record);
    return 1;
}

int CPlgManager::AddToActiveList(tagActiveApp* record, QWidget* viewWindow, CQvFramePool* framePool,
                                 CCalibKeeper* calibration)
{
    return MakeView(record, viewWindow, framePool, calibration);
}

int CPlgManager::CreateNewView(tagActiveApp* record, QWidget* viewWindow, CQvFramePool* framePool,
                               CCalibKeeper* calibration)
{
    return MakeView(record, viewWindow, framePool, calibration);
}

void CPlgManager::RemoveFromActiveList(tagActiveApp* record)
{
    if (!record)
        return;
    m_activeList.erase(std::remove(m_activeList.begin(), m_activeList.end(), record), m_activeList.end());
    delete record->view;
    record->view = nullptr;
}

int CPlgManager::ExecutePlgIn(tagActiveApp* record, QWidget* viewWindow, CQvFramePool* framePool,
                              CCalibKeeper* calibration)
{
    if (!record)
        return 0;
    if (!record->view) {
        if (!MakeView(record, viewWindow, framePool, calibration))
            return 0;
    } else {
        Lend(record->view, viewWindow, framePool, calibration);
    }
    // An exception escaping a view breaks the contract; the command then counts as not run.
    try {
        return record->view->Run();
    } catch (...) {
        return 0;
    }
}

int CPlgManager::OnUpdateCmdUIExecutePlugins(UINT id) const
{
    return GetPlgInfo(id) ? 1 : 0;
}

int CPlgManager::ExecutePlugIn(UINT id)
{
    return m_execute ? m_execute(id) : 0;
}

CPlgView* CPlgManager::CreateNewDocumentView(CPlgApplication* application, const char* title, int width,
                                              int height, int type)
{
    if (!m_createNewView || width <= 0 || height <= 0)
        return nullptr;
    return m_createNewView(application, title ? title : "", 0, 0, width, height, type);
}

int CPlgManager::GetViewCount() const
{
    return m_getViewCount ? m_getViewCount() : 0;
}

std::vector<CQvFramePool*> CPlgManager::GetViews() const
{
    std::vector<CQvFramePool*> pools;
    if (m_getViews)
        m_getViews(pools);
    return pools;
}

void CPlgManager::UpdateReport()
{
    if (m_updateReport)
        m_updateReport();
}
