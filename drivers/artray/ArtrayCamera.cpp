#include "artray/ArtrayCamera.h"

#include "acqdriver/AcqDib.h"
#include "artray/ArtMessageWindow.h"
#include "common/AcqDriverFiles.h"
#include "kh1300/ProfileIni.h"

#include <dlfcn.h>

#include <chrono>
#include <thread>

namespace {

const void* ModuleAnchor()
{
    return reinterpret_cast<const void*>(&ModuleAnchor);
}

std::atomic<int> g_windowsMade{0};

int BytesPerPixel(int bits, int previous)
{
    switch (bits) {
    case 8:
        return 1;
    case 10:
    case 12:
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return previous;
    }
}

void Pause(int milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

ArtrayCamera::ArtrayCamera(const ArtrayModel& model) : m_model(model) {}

ArtrayCamera::~ArtrayCamera()
{
    {
        std::lock_guard lock(m_setUpLock);
        Unbind();
    }
    // The library is gone, so nothing sends any more: the window's thread can stop.
    m_window.reset();
}

int ArtrayCamera::FrameMessagesHandled() const
{
    return m_window ? m_window->Handled() : 0;
}

int ArtrayCamera::WindowsMade()
{
    return g_windowsMade;
}

int ArtrayCamera::StoredIndex(const ArtrayModel& model)
{
    const CProfileIni settings(AcqProgramSettingsReadPath(model.settingsFile).c_str());
    // A hand-edited index outside the table would pick a size the frame does not have: the full frame stands in.
    return settings.GetIntInRange(model.indexSection, model.indexKey, 0, 0, model.rowCount - 1);
}

bool ArtrayCamera::Open()
{
    std::lock_guard lock(m_setUpLock);
    m_dllType = m_model.dllType;
    if (!m_window) {
        m_window = std::make_unique<ArtMessageWindow>(
            [this](uint32_t, uintptr_t wParam) { return FrameMessage(wParam); });
        ++g_windowsMade;
    }
    Bind();
    return SetUpLocked(StoredIndex(m_model), true);
}

bool ArtrayCamera::Bind()
{
    Unbind();
    std::string error;
    m_library = AcqLoadVendorLibrary(ModuleAnchor(), ArtraySdkFileName(m_model, m_dllType), error);
    if (!m_library)
        return false;
    void* library = m_library;
    if (!BindArtCam(m_model, [library](const char* name) { return dlsym(library, name); }, m_sdk)) {
        Unbind();
        return false;
    }
    if (m_sdk.initialize)
        m_handle = m_sdk.initialize(m_window->Target());
    return m_handle != nullptr;
}

void ArtrayCamera::Unbind()
{
    if (m_handle && m_sdk.release)
        m_sdk.release(m_handle);
    m_handle = nullptr;
    m_sdk = ArtCamBinding();
    if (m_library)
        dlclose(m_library);
    m_library = nullptr;
}

bool ArtrayCamera::SetUp(int index)
{
    std::lock_guard lock(m_setUpLock);
    return SetUpLocked(index, true);
}

bool ArtrayCamera::SetUpLocked(int index, bool notify)
{
    if (index < 0 || index >= m_model.rowCount)
        index = 0;
    m_busy = true;
    m_snapshot = true;
    const ArtCamHandle camera = m_handle;
    if (camera && m_sdk.close)
        m_sdk.close(camera);
    m_index = index;
    if (!camera) {
        // Nothing bound: no colour depth can come, whatever an earlier opening reported.
        m_busy = false;
        m_snapshot = false;
        return false;
    }
    if (m_sdk.setPreviewWindow)
        m_sdk.setPreviewWindow(camera, m_window->Target(), 0, 0, 0, 0);
    if (m_sdk.setColorMode)
        m_sdk.setColorMode(camera, 24);
    if (m_sdk.setSubSample)
        m_sdk.setSubSample(camera, 0);
    m_bytesPerPixel = BytesPerPixel(m_sdk.getColorMode ? m_sdk.getColorMode(camera) : -1, m_bytesPerPixel);
    if (m_bytesPerPixel < 0) {
        m_busy = false;
        m_snapshot = false;
        return false;
    }
    const ArtrayResolution& full = m_model.rows[0];
    const int sensorHeight = m_sdk.height ? m_sdk.height(camera) : 0;
    const int rows = sensorHeight > full.height ? sensorHeight : full.height;
    const size_t bytes = size_t(rows) * size_t(m_bytesPerPixel) * size_t(full.width);
    {
        std::lock_guard frameLock(m_frameLock);
        m_sdkBuffer.assign(bytes, 0);
        m_frame.assign(bytes, 0);
        m_hasFrame = false;
    }
    ForgetNewFrame();
    if (m_sdk.callBackPreview)
        m_sdk.callBackPreview(camera, m_window->Target(), m_sdkBuffer.data(), int32_t(bytes), 0);
    if (const ACQ_NotifyFunction callback = m_notify.load(); callback && notify)
        callback();
    m_busy = false;
    m_snapshot = false;
    return true;
}

void ArtrayCamera::Close()
{
    std::lock_guard lock(m_setUpLock);
    if (m_dllType >= 0) {
        const CProfileIni settings(AcqProgramSettingsWritePath(m_model.settingsFile).c_str());
        settings.WriteInt(m_model.typeSection, "DllType", m_dllType);
        settings.WriteInt(m_model.indexSection, m_model.indexKey, m_index);
    }
    if (m_handle && m_sdk.release)
        m_sdk.release(m_handle);
    m_handle = nullptr;
    FreeBuffers();
}

void ArtrayCamera::FreeBuffers()
{
    {
        std::lock_guard frameLock(m_frameLock);
        m_sdkBuffer = std::vector<uint8_t>();
        m_frame = std::vector<uint8_t>();
        m_hasFrame = false;
    }
    ForgetNewFrame();
}

// A frame announced before the buffers were renewed is gone with them: a later hand-out must wait for a new one
// instead of taking the stale event and finding no frame.
void ArtrayCamera::ForgetNewFrame()
{
    std::lock_guard eventLock(m_eventLock);
    m_newFrame = false;
}

int ArtrayCamera::FrameMessage(uintptr_t wParam)
{
    if (wParam == 0)
        return 0;
    {
        std::lock_guard frameLock(m_frameLock);
        const ArtrayResolution& full = m_model.rows[0];
        const size_t bytes = size_t(m_bytesPerPixel) * size_t(full.height) * size_t(full.width);
        if (m_bytesPerPixel <= 0 || m_sdkBuffer.size() < bytes || m_frame.size() < bytes)
            return 0;
        std::copy_n(m_sdkBuffer.data(), bytes, m_frame.data());
        m_hasFrame = true;
    }
    {
        std::lock_guard eventLock(m_eventLock);
        m_newFrame = true;
    }
    m_eventWake.notify_all();
    return 1;
}

ArtrayCamera::HandOutResult ArtrayCamera::HandOut(BITMAPINFOHEADER* dib, bool wait)
{
    if (m_dllType < 0 || !dib)
        return HandOutResult::Refused;
    if (wait) {
        std::unique_lock eventLock(m_eventLock);
        if (!m_eventWake.wait_for(eventLock, std::chrono::milliseconds(m_model.waitMs), [this] { return m_newFrame; }))
            return HandOutResult::NoNewFrame;
        m_newFrame = false;
    }
    Pause(m_model.pauseMs);
    if (m_busy)
        return HandOutResult::Busy;
    {
        std::lock_guard frameLock(m_frameLock);
        if (!m_hasFrame)
            return HandOutResult::Refused;
        const int bytesPerPixel = m_bytesPerPixel;
        const ArtrayResolution& full = m_model.rows[0];
        const ArtrayResolution& row = m_model.rows[m_index];
        // The host's DIB must be the size it was told: one sized before a resolution change is not written into.
        const int32_t dibRows = dib->biHeight < 0 ? -dib->biHeight : dib->biHeight;
        if (dib->biWidth != row.width || dibRows != row.height || dib->biBitCount != bytesPerPixel * 8)
            return HandOutResult::Refused;
        AcqFrameView view{m_frame.data(), full.width, full.height, bytesPerPixel * 8, int64_t(full.width) * bytesPerPixel};
        if (m_index != 0) {
            // The crop's arithmetic is for 3-byte pixels; another depth would not land on pixel boundaries.
            if (bytesPerPixel != 3)
                return HandOutResult::Refused;
            const int64_t start = (int64_t((full.height - row.height) / 2) * full.width + (full.width - row.width) / 2) * 3;
            view = AcqFrameView{m_frame.data() + start, row.width, row.height, 24, int64_t(full.width) * 3};
        }
        if (!AcqCopyFrameToDib(view, dib))
            return HandOutResult::Refused;
    }
    std::lock_guard eventLock(m_eventLock);
    m_newFrame = false;
    return HandOutResult::Copied;
}

void ArtrayCamera::RunVideoFormatDialog(void* owner)
{
    std::lock_guard lock(m_setUpLock);
    const ArtCamHandle camera = m_handle;
    if (!camera)
        return;
    m_busy = true;
    m_snapshot = true;
    if (m_sdk.close)
        m_sdk.close(camera);
    const bool accepted = m_sdk.setCameraDlg && m_sdk.setCameraDlg(camera, owner) != 0;
    // Cancelled or not, the capture closed for the dialog runs again afterwards: a cancel must not end the live
    // view. Only a changed format is news to the host.
    SetUpLocked(m_index, accepted);
    m_busy = false;
    m_snapshot = false;
}

void ArtrayCamera::RunColorDialog(void* owner)
{
    std::lock_guard lock(m_setUpLock);
    if (m_handle && m_sdk.setImageDlg)
        m_sdk.setImageDlg(m_handle, owner);
}

void ArtrayCamera::RunAnalogDialog(void* owner)
{
    std::lock_guard lock(m_setUpLock);
    if (m_handle && m_sdk.setAnalogDlg)
        m_sdk.setAnalogDlg(m_handle, owner);
}
