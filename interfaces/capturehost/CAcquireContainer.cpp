#include "capturehost/CAcquireContainer.h"

#include "capturehost/Acq2HostDriver.h"

#include "acqdriver/AcqDib.h"
#include "acqdriver/AcqDriverExports.h"
#include "module/CModule.h"
#include "module/ModuleLoadGuard.h"
#include "resources/StringTable.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QMetaObject>
#include <QObject>
#include <QtDebug>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

struct CAcquireContainer::Server
{
    CModule module;
    AcqDriverExports exports;  // a first-generation driver's; all null for the second generation
    std::unique_ptr<Acq2HostDriver> second;  // a second-generation driver's
    std::string name;
    std::string file;
};

// The live thread and the snapshot request it serves while it runs (the live thread takes every new frame, so a
// snapshot during live is filled from the frames it takes).
struct CAcquireContainer::Live
{
    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};  // the loop gave up on a failing driver
    uint64_t run = 0;
    std::mutex lock;
    std::condition_variable served;
    BITMAPINFOHEADER** request = nullptr;
    int requestCount = 0;
    int requestFilled = 0;
    int64_t requestBytes = 0;
};

namespace {

// The host's own window: the chooser of the driver to use.
constexpr const char* kModule = "CaptureHost";
constexpr uint32_t IDS_SELECT_DEVICE = 1;
constexpr uint32_t IDS_OK = 2;
constexpr uint32_t IDS_CANCEL = 3;
constexpr uint32_t IDS_DRIVER_CRASHED = 4;  // %1 the driver file, %2 the step its load was at
const StringTableRegistrar kStrings(kModule, {
    {IDS_SELECT_DEVICE, "Select Device"},
    {IDS_OK, "OK"},
    {IDS_CANCEL, "Cancel"},
    {IDS_DRIVER_CRASHED,
     "The acquisition driver %1 was not loaded: the program stopped while loading it at an earlier start (%2)."
     "\n\nTry to load it again at the next start? Otherwise it stays off until its file is replaced.",
     "영상 입력 드라이버 %1을(를) 불러오지 않았습니다. 이전 시작 때 이 드라이버를 불러오는 중(%2)에 프로그램이 "
     "종료되었습니다.\n\n다음 시작 때 다시 불러오시겠습니까? 아니면 파일이 바뀔 때까지 불러오지 않습니다."},
});

QString Text(uint32_t id)
{
    return QString::fromStdString(LoadString(kModule, id));
}

// The container whose driver is open: the drivers' callbacks take no argument.
std::mutex g_activeLock;
CAcquireContainer* g_activeContainer = nullptr;  // under g_activeLock

}  // namespace

// A second-generation driver's frames are top-down: a negative height.
CAcquireContainer::FrameSize CAcquireContainer::ReadFrameSize(const Server& server)
{
    FrameSize size;
    if (server.second) {
        const Acq2HostDriver::Size second = server.second->ReadSize();
        size.width = second.width;
        size.height = -second.height;
        size.bitsPerPixel = second.bitsPerPixel;
    } else {
        server.exports.ACQ_GetWidth(&size.width);
        server.exports.ACQ_GetHeight(&size.height);
        server.exports.ACQ_GetDepth(&size.bitsPerPixel);
    }
    size.bufferBytes = CAcquireContainer::FrameBufferSize(size.width, size.height, size.bitsPerPixel);
    return size;
}

int CAcquireContainer::AcquireFrame(Server& server, BITMAPINFOHEADER* dib)
{
    return server.second ? server.second->Acquire(dib) : server.exports.ACQ_Acquire(dib);
}

namespace {

// Told once about a driver skipped for a crash at an earlier start; true to try it again at the next one.
bool TellCrashedDriver(const ModuleLoadGuard::Crash& crash)
{
    std::string text = LoadString(kModule, IDS_DRIVER_CRASHED);
    if (const size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, std::filesystem::path(crash.modulePath).filename().string());
    if (const size_t at = text.find("%2"); at != std::string::npos)
        text.replace(at, 2, crash.step);
    qWarning("%s", text.c_str());
    return MessageBox(text, std::string(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

void Warn(const std::string& text)
{
    qWarning("%s", text.c_str());
    MessageBox(text, std::string(), MB_OK | MB_ICONWARNING);
}

}  // namespace

CAcquireContainer::CAcquireContainer()
    : m_loadGuard(std::make_unique<ModuleLoadGuard>(DefaultModuleMarkerFolder(), "driver")),
      m_uiContext(std::make_unique<QObject>())
{
}

void CAcquireContainer::SetLoadGuardFolder(std::string folder)
{
    m_loadGuard->SetMarkerFolder(std::move(folder));
}

CAcquireContainer::~CAcquireContainer()
{
    ReleaseServers();
}

int64_t CAcquireContainer::FrameBufferSize(int width, int height, int bitsPerPixel)
{
    return AcqDibBufferSize(width, height, bitsPerPixel);
}

void CAcquireContainer::SetInstClient(void* instance)
{
    m_instance = instance;
}

void CAcquireContainer::SetHwndClient(void* mainWindow)
{
    m_mainWindow = mainWindow;
}

int CAcquireContainer::InstallServers(const char* folder)
{
    ReleaseServers();
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder ? folder : "", error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".so" && it->is_regular_file(error))
            files.push_back(it->path());
    }
    if (error)
        qWarning("No acquisition drivers: the folder %s cannot be read (%s)", folder ? folder : "",
                 error.message().c_str());
    std::sort(files.begin(), files.end());

    for (const fs::path& file : files) {
        if (!m_loadGuard->MayLoad(file.string(), TellCrashedDriver))
            continue;
        // Up to its name, a crash inside the driver is remembered for the next start. A driver refused here is
        // unloaded before the marker goes: its static destructors run inside the guard too.
        ModuleLoadGuard::Scope guarded(*m_loadGuard, file.string());
        auto server = std::make_unique<Server>();
        server->file = file.string();
        if (!server->module.Load(server->file)) {
            Warn("The acquisition driver " + server->file + " cannot be loaded: " + server->module.GetLastError());
            continue;
        }
        // A second-generation driver (device properties in place of a set-up dialog) shares some export names with
        // the first generation under other types: it is driven only through its own table.
        if (server->module.GetProcAddress("ACQ_GetNewDeviceProperty")) {
            server->second = Acq2HostDriver::Make(server->module, server->file);
            if (!server->second) {
                Warn("The acquisition driver " + server->file
                     + " lacks the exports every driver has; it is skipped.");
                continue;
            }
            guarded.Step("ACQ_GetNewDeviceProperty");
            server->name = server->second->DeviceName();
            if (server->name.empty())
                server->name = file.stem().string();
            m_servers.push_back(std::move(server));
            continue;
        }
        server->exports.Resolve(server->module);
        if (!server->exports.HasCore()) {
            Warn("The acquisition driver " + server->file + " lacks the exports every driver has; it is skipped.");
            continue;
        }
        guarded.Step("ACQ_GetName");
        char name[ACQ_NAME_BUFFER_SIZE] = {};
        server->exports.ACQ_GetName(name);
        name[sizeof name - 1] = '\0';
        server->name = name[0] ? name : file.stem().string();
        m_servers.push_back(std::move(server));
    }
    return GetServerCount();
}

void CAcquireContainer::ReleaseServers()
{
    ReleaseSelected();
    m_servers.clear();
}

int CAcquireContainer::GetServerCount() const
{
    return static_cast<int>(m_servers.size());
}

std::string CAcquireContainer::GetServerName(int index) const
{
    return index >= 0 && index < GetServerCount() ? m_servers[size_t(index)]->name : std::string();
}

std::string CAcquireContainer::GetServerFile(int index) const
{
    return index >= 0 && index < GetServerCount() ? m_servers[size_t(index)]->file : std::string();
}

CAcquireContainer::Server* CAcquireContainer::Selected() const
{
    return m_selected >= 0 && m_selected < GetServerCount() ? m_servers[size_t(m_selected)].get() : nullptr;
}

void CAcquireContainer::ReleaseSelected()
{
    StopOverlay();
    if (Server* server = Selected(); server && server->second) {
        server->second->Close();
    } else if (server) {
        server->exports.ACQ_Release();
        if (server->exports.ACQ_SetNotityFunction)
            server->exports.ACQ_SetNotityFunction(nullptr);
        if (server->exports.ACQ_SetExtTriggerGrab)
            server->exports.ACQ_SetExtTriggerGrab(nullptr);
    }
    m_selected = -1;
    std::lock_guard lock(g_activeLock);
    if (g_activeContainer == this)
        g_activeContainer = nullptr;
}

int CAcquireContainer::SelectServer(int)
{
    if (GetServerCount() <= 1)
        return SelectServerAt(0);
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("ServerChooserDialog"));
    dialog.setWindowTitle(Text(IDS_SELECT_DEVICE));
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("serverList"));
    for (const auto& server : m_servers)
        list->addItem(QString::fromStdString(server->name));
    list->setCurrentRow(std::max(m_selected, 0));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(Text(IDS_OK), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("okButton"));
    buttons->addButton(Text(IDS_CANCEL), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    if (RunModal(dialog) != QDialog::Accepted || list->currentRow() < 0)
        return 0;
    return SelectServerAt(list->currentRow());
}

int CAcquireContainer::SelectServerAt(int index)
{
    if (index < 0 || index >= GetServerCount())
        return 0;
    ReleaseSelected();
    Server& server = *m_servers[size_t(index)];
    {
        std::lock_guard lock(g_activeLock);
        g_activeContainer = this;
    }
    if (server.second) {
        if (!server.second->Open(m_mainWindow, &CAcquireContainer::NotifyTrampoline)) {
            std::lock_guard lock(g_activeLock);
            g_activeContainer = nullptr;
            return 0;
        }
        m_selected = index;
        return 1;
    }
    if (server.exports.ACQ_SetNotityFunction)
        server.exports.ACQ_SetNotityFunction(&CAcquireContainer::NotifyTrampoline);
    if (server.exports.ACQ_SetExtTriggerGrab)
        server.exports.ACQ_SetExtTriggerGrab(&CAcquireContainer::TriggerTrampoline);
    // Only 1 is success: a driver may answer -1 for a device it could not open, and a driver that answers 1
    // without a frame size has nothing running either.
    const int result = server.exports.ACQ_Initial(1, m_mainWindow, 0);
    if (result != ACQ_OK || ReadFrameSize(server).bufferBytes < 0) {
        server.exports.ACQ_Release();
        std::lock_guard lock(g_activeLock);
        g_activeContainer = nullptr;
        return 0;
    }
    m_selected = index;
    return 1;
}

int CAcquireContainer::IsSelected() const
{
    return Selected() != nullptr;
}

int CAcquireContainer::Property(int)
{
    Server* server = Selected();
    // The live display goes on meanwhile: the host lock keeps its reads apart from a change of format.
    if (server && server->second)
        return server->second->EditProperties(static_cast<QWidget*>(m_mainWindow));
    if (!server || !server->exports.ACQ_Setup)
        return 0;
    server->exports.ACQ_Setup();
    return 1;
}

int CAcquireContainer::Overlay()
{
    Server* server = Selected();
    if (!server)
        return 0;
    if (LiveRunning())
        return 1;
    StopOverlay();  // a display that gave up is started afresh
    if (server->exports.ACQ_Overlay)
        server->exports.ACQ_Overlay();
    m_live = std::make_unique<Live>();
    m_live->run = ++m_liveRuns;
    m_live->thread = std::thread([this, server] { LiveLoop(*server); });
    return 1;
}

int CAcquireContainer::StopOverlay()
{
    if (!m_live)
        return 1;
    m_live->stop = true;
    m_live->thread.join();
    m_live.reset();
    if (Server* server = Selected(); server && server->exports.ACQ_StopOverlay)
        server->exports.ACQ_StopOverlay();
    return 1;
}

bool CAcquireContainer::LiveRunning() const
{
    return m_live && !m_live->ended;
}

int CAcquireContainer::IsOverlayWndActive() const
{
    return LiveRunning();
}

int CAcquireContainer::SetAOI(const CRect& area)
{
    m_aoi = area;
    return 1;
}

int CAcquireContainer::GetCurrentMode(int& mode) const
{
    mode = 0;
    if (LiveRunning())
        mode = kModeLive;
    else if (Server* server = Selected(); server && server->second)
        mode = server->second->Mode();
    else if (server && server->exports.ACQ_GetCurrentMode)
        server->exports.ACQ_GetCurrentMode(&mode);
    return 1;
}

int CAcquireContainer::GetWidth(int& width) const
{
    int height = 0;
    int bits = 0;
    return GetCaptureSizeNDepth(width, height, bits);
}

int CAcquireContainer::GetHeight(int& height) const
{
    int width = 0;
    int bits = 0;
    return GetCaptureSizeNDepth(width, height, bits);
}

int CAcquireContainer::GetHWType(int& type) const
{
    type = 0;
    Server* server = Selected();
    if (!server || !server->exports.ACQ_GetHWType)
        return 0;
    server->exports.ACQ_GetHWType(&type);
    return 1;
}

int CAcquireContainer::GetCurrentServerName(std::string& name) const
{
    Server* server = Selected();
    name = server ? server->name : std::string();
    return server != nullptr;
}

int CAcquireContainer::GetCaptureSizeNDepth(int& width, int& height, int& bitsPerPixel) const
{
    width = height = bitsPerPixel = 0;
    Server* server = Selected();
    if (!server)
        return 0;
    const FrameSize size = ReadFrameSize(*server);
    if (size.bufferBytes < 0)
        return 0;
    width = size.width;
    height = std::abs(size.height);
    bitsPerPixel = size.bitsPerPixel;
    return 1;
}

int CAcquireContainer::GetCaptureRatio(float& ratio) const
{
    ratio = m_captureRatio;
    return 1;
}

int CAcquireContainer::NextFrame(Server& server, BITMAPINFOHEADER* dib, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const int result = AcquireFrame(server, dib);
        if (result != ACQ_NO_NEW_FRAME)
            return result;
        if (std::chrono::steady_clock::now() >= deadline)
            return ACQ_NO_NEW_FRAME;
        // Some drivers answer at once instead of waiting for the device.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int CAcquireContainer::AcquireSnapshot(int count, BITMAPINFOHEADER** buffers)
{
    Server* server = Selected();
    if (!server || !buffers || count < 1 || count > kMaxSnapshotFrames)
        return 0;
    const FrameSize size = ReadFrameSize(*server);
    if (size.bufferBytes < 0)
        return 0;
    for (int i = 0; i < count; ++i) {
        if (!buffers[i])
            return 0;
        AcqFillDibHeader(*buffers[i], size.width, size.height, size.bitsPerPixel);
    }

    int result = ACQ_OK;
    if (LiveRunning()) {
        std::unique_lock lock(m_live->lock);
        m_live->request = buffers;
        m_live->requestCount = count;
        m_live->requestFilled = 0;
        m_live->requestBytes = size.bufferBytes;
        // Bounded per frame: a stream that stops gives up one timeout after its last frame.
        int filled = 0;
        while (m_live->requestFilled < count) {
            if (!m_live->served.wait_for(lock, m_snapshotTimeout, [&] { return m_live->requestFilled > filled; }))
                break;
            filled = m_live->requestFilled;
        }
        result = m_live->requestFilled == count ? ACQ_OK : ACQ_NO_NEW_FRAME;
        m_live->request = nullptr;
    } else {
        for (int i = 0; i < count && result == ACQ_OK; ++i)
            result = NextFrame(*server, buffers[i], std::chrono::steady_clock::now() + m_snapshotTimeout);
    }
    if (result == ACQ_OK)
        return 1;
    if (result == ACQ_NO_NEW_FRAME)
        Warn("The acquisition driver \"" + server->name + "\" delivered no frame within "
             + std::to_string(m_snapshotTimeout.count()) + " ms.");
    else
        Warn("The acquisition driver \"" + server->name + "\" could not deliver a frame.");
    return 0;
}

int CAcquireContainer::AcquireStillImage()
{
    int width = 0, height = 0, bits = 0;
    if (!m_stillImage || !GetCaptureSizeNDepth(width, height, bits))
        return 0;
    auto buffer = std::make_shared<std::vector<uint8_t>>(size_t(FrameBufferSize(width, height, bits)));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(buffer->data());
    if (AcquireSnapshot(1, &header) != 1)
        return 0;
    QueueOnUiThread([this, buffer] {
        if (m_stillImage)
            m_stillImage(reinterpret_cast<const BITMAPINFOHEADER*>(buffer->data()), buffer->size());
    });
    return 1;
}

void CAcquireContainer::LiveLoop(Server& server)
{
    std::vector<uint8_t> buffer;
    FrameSize current;
    int failures = 0;
    while (!m_live->stop) {
        if (failures >= kLiveFailureLimit) {
            // A device that is gone answers nothing but failures: stop polling it and let the program say so.
            m_live->ended = true;
            QueueOnUiThread([this, run = m_live->run, name = server.name] {
                if (!m_live || m_live->run != run)
                    return;  // stopped or restarted meanwhile
                StopOverlay();
                if (m_streamEnded)
                    m_streamEnded(name);
            });
            return;
        }
        // The format may change under a running display (set-up dialog, notification): follow it.
        const FrameSize size = ReadFrameSize(server);
        if (size.bufferBytes < 0) {
            ++failures;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        if (size.width != current.width || size.height != current.height || size.bitsPerPixel != current.bitsPerPixel) {
            current = size;
            buffer.assign(size_t(size.bufferBytes), 0);
            AcqFillDibHeader(*reinterpret_cast<BITMAPINFOHEADER*>(buffer.data()), size.width, size.height,
                             size.bitsPerPixel);
        }
        auto* dib = reinterpret_cast<BITMAPINFOHEADER*>(buffer.data());
        const int result = AcquireFrame(server, dib);
        if (result != ACQ_OK && result != ACQ_NO_NEW_FRAME)
            ++failures;
        else if (result == ACQ_OK)
            failures = 0;
        if (result != ACQ_OK) {
            std::this_thread::sleep_for(std::chrono::milliseconds(result == ACQ_NO_NEW_FRAME ? 1 : 5));
            continue;
        }
        {
            std::lock_guard lock(m_live->lock);
            if (m_live->request && m_live->requestFilled < m_live->requestCount
                && m_live->requestBytes == int64_t(buffer.size())) {
                std::memcpy(m_live->request[m_live->requestFilled], buffer.data(), buffer.size());
                ++m_live->requestFilled;
                m_live->served.notify_all();
            }
        }
        if (m_grab)
            m_grab(dib);
    }
}

void CAcquireContainer::SetFuncGrabCallBack(GrabCallback callback)
{
    // Not while the live thread may be calling the old one.
    const bool live = LiveRunning();
    StopOverlay();
    m_grab = std::move(callback);
    if (live)
        Overlay();
}

void CAcquireContainer::SetNotifyFunction(NotifyCallback callback)
{
    m_notify = callback;
}

void CAcquireContainer::SetFunc4TwainBuffer(StillImageCallback callback)
{
    m_stillImage = std::move(callback);
}

void CAcquireContainer::SetExtTrigger(TriggerCallback callback)
{
    m_trigger = callback;
}

void CAcquireContainer::SetStreamEnded(StreamEndedCallback callback)
{
    m_streamEnded = std::move(callback);
}

void CAcquireContainer::QueueOnUiThread(std::function<void()> work)
{
    // Posted to an object of the UI thread: it runs there, after the call that caused it, and not at all once the
    // container is gone.
    QMetaObject::invokeMethod(m_uiContext.get(), std::move(work), Qt::QueuedConnection);
}

void CAcquireContainer::NotifyTrampoline()
{
    std::lock_guard lock(g_activeLock);
    if (CAcquireContainer* container = g_activeContainer)
        container->QueueOnUiThread([container] {
            if (container->m_notify)
                container->m_notify();
        });
}

void CAcquireContainer::TriggerTrampoline()
{
    std::lock_guard lock(g_activeLock);
    if (CAcquireContainer* container = g_activeContainer)
        container->QueueOnUiThread([container] {
            if (container->m_trigger)
                container->m_trigger();
        });
}
