#include "kh1300/Kh1300Camera.h"

#include "acqdriver/AcqDib.h"
#include "common/AcqDriverFiles.h"
#include "kh1300/Kh1300Strings.h"
#include "kh1300/ProfileIni.h"
#include "ui/MessageBox.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>

const Kh1300Resolution kKh1300Resolutions[kKh1300ResolutionCount] = {
    {3008, "1600 x 1200 (YUV)", 19}, {3000, "1280 x 960 (YUV)", 15}, {3004, "1280 x 960 (RGB)", 16},
    {3001, "1024 x 768 (YUV)", 11},  {3005, "1024 x 768 (RGB)", 12}, {3002, "800 x 600 (YUV)", 7},
    {3006, "800 x 600 (RGB)", 8},    {3003, "640 x 480 (YUV)", 3},   {3007, "640 x 480 (RGB)", 4},
};

namespace {

// A grab waits this long for a resolution change or an open on another thread before it answers "no frame".
constexpr std::chrono::milliseconds kGrabLockWait{500};
// A snapshot tries this many grabs for a new frame before it falls back to the last one.
constexpr int kSnapshotAttempts = 3;

// An address inside this module, for finding the module's folder.
const void* ModuleAnchor()
{
    return reinterpret_cast<const void*>(&ModuleAnchor);
}

void IgnoreLibraryEvent(void*) {}

}  // namespace

// The entry points of the camera library, bound by name.
struct Kh1300Camera::Library
{
    void* handle = nullptr;
#define ZCL_ENTRY_LIST(X)                                                                                             \
    X(ZCL_SetStructVersion) X(ZCL_SetCallBack) X(ZCL_Open) X(ZCL_CameraInfo) X(ZCL_SetCameraMode)                   \
    X(ZCL_NowCameraMode) X(ZCL_GetImageInfo) X(ZCL_CreateConvHandle) X(ZCL_ColorConvSetBMPINFO) X(ZCL_IsoAlloc)      \
    X(ZCL_IsoStart) X(ZCL_ImageReq) X(ZCL_ImageComplete) X(ZCL_ColorConvExec) X(ZCL_AbortImageReqAll)                \
    X(ZCL_IsoStop) X(ZCL_IsoRelease) X(ZCL_Close) X(ZCL_CloseConvHandle)
#define ZCL_DECLARE_ENTRY(name) name##Function name = nullptr;
    ZCL_ENTRY_LIST(ZCL_DECLARE_ENTRY)
#undef ZCL_DECLARE_ENTRY

    bool Resolve()
    {
        bool all = true;
#define ZCL_RESOLVE_ENTRY(name)                                                                                       \
    name = reinterpret_cast<name##Function>(dlsym(handle, #name));                                                    \
    all = all && name != nullptr;
        ZCL_ENTRY_LIST(ZCL_RESOLVE_ENTRY)
#undef ZCL_RESOLVE_ENTRY
        return all;
    }
};

Kh1300Camera::~Kh1300Camera()
{
    std::vector<std::string> ignored;
    {
        std::lock_guard lock(m_lock);
        CloseLocked(ignored);
    }
    if (m_library) {
        dlclose(m_library->handle);
        delete m_library;
    }
}

bool Kh1300Camera::Bind(std::vector<std::string>& messages)
{
    if (m_library)
        return true;
    std::string error;
    void* handle = AcqLoadVendorLibrary(ModuleAnchor(), kLibraryName, error);
    auto* library = new Library;
    library->handle = handle;
    if (!handle || !library->Resolve()) {
        if (handle)
            dlclose(handle);
        delete library;
        std::string text = AcqVendorLibraryMissingOnce(m_libraryMissingTold,
            Kh1300String(kTextLibraryMissing), kLibraryName);
        if (!text.empty())
            messages.push_back(std::move(text));
        return false;
    }
    m_library = library;
    return true;
}

int Kh1300Camera::Open()
{
    std::vector<std::string> messages;
    int result = -1;
    {
        std::lock_guard lock(m_lock);
        CloseLocked(messages);
        if (Bind(messages))
            result = OpenLocked(messages);
    }
    ShowMessages(messages);
    return result;
}

// Each failing step cleans up what the steps before it opened, and then the open ends: nothing is closed twice.
int Kh1300Camera::OpenLocked(std::vector<std::string>& messages)
{
    Library& zcl = *m_library;
    const CProfileIni settings(AcqSettingsReadPath(ModuleAnchor(), kSettingsFile).c_str());
    // A hand-edited index outside the table would pick no mode: the first row stands in.
    m_index = settings.GetIntInRange(kSettingsSection, kSettingsKey, 0, 0, kKh1300ResolutionCount - 1);
    m_hasConverted = false;

    auto fail = [&](Kh1300Text step) {
        if (step)
            messages.push_back(Kh1300String(step));
        messages.push_back(Kh1300String(kTextNotFoundCamera));
        m_converted.clear();
        m_width = 0;
        m_height = 0;
        return -1;
    };
    auto closeCamera = [&] {
        zcl.ZCL_Close(m_camera);
        m_camera = nullptr;
    };
    auto closeConverter = [&] {
        zcl.ZCL_CloseConvHandle(m_converter);
        m_converter = nullptr;
    };

    zcl.ZCL_SetStructVersion(kZclStructVersion);
    zcl.ZCL_SetCallBack(&IgnoreLibraryEvent, nullptr);
    m_camera = nullptr;
    if (!zcl.ZCL_Open(-1, -1, &m_camera) || !m_camera) {
        m_camera = nullptr;
        return fail(Kh1300Text(0));
    }
    ZclCameraInfo info{};
    if (!zcl.ZCL_CameraInfo(m_camera, &info)) {
        closeCamera();
        return fail(Kh1300Text(0));
    }
    if (!zcl.ZCL_SetCameraMode(m_camera, kKh1300Resolutions[m_index].modeCode)) {
        closeCamera();
        return fail(kTextModeSetError);
    }
    int mode = 0;
    if (!zcl.ZCL_NowCameraMode(m_camera, &mode)) {
        closeCamera();
        return fail(kTextModeGetError);
    }
    if (!zcl.ZCL_GetImageInfo(m_camera, &m_image) || m_image.width <= 0 || m_image.height <= 0
        || m_image.rawBytes == 0) {
        closeCamera();
        return fail(kTextImageSizeError);
    }
    if (!zcl.ZCL_CreateConvHandle(&m_converter, m_image.colourCode, 0, 1, m_image.rawBytes) || !m_converter) {
        m_converter = nullptr;
        closeCamera();
        return fail(Kh1300Text(0));
    }
    if (!zcl.ZCL_ColorConvSetBMPINFO(m_converter, m_image.width, m_image.height, &m_convertedHeader)
        || m_convertedHeader.biWidth != m_image.width || m_convertedHeader.biHeight != m_image.height
        || m_convertedHeader.biSizeImage < DWORD(m_image.width) * 3u * DWORD(m_image.height)) {
        closeConverter();
        closeCamera();
        return fail(Kh1300Text(0));
    }
    m_converted.assign(m_convertedHeader.biSizeImage, 0);
    m_raw.assign(m_image.rawBytes, 0);
    if (!zcl.ZCL_IsoAlloc(m_camera)) {
        closeConverter();
        closeCamera();
        return fail(Kh1300Text(0));
    }
    if (!zcl.ZCL_IsoStart(m_camera)) {
        zcl.ZCL_AbortImageReqAll(m_camera);
        zcl.ZCL_IsoRelease(m_camera);
        closeConverter();
        closeCamera();
        return fail(Kh1300Text(0));
    }
    m_width = m_image.width;
    m_height = m_image.height;
    m_open = true;
    return 1;
}

void Kh1300Camera::Close()
{
    std::vector<std::string> messages;
    {
        std::lock_guard lock(m_lock);
        CloseLocked(messages);
    }
    ShowMessages(messages);
}

void Kh1300Camera::CloseLocked(std::vector<std::string>& messages)
{
    if (!m_open)
        return;
    Library& zcl = *m_library;
    if (!zcl.ZCL_IsoStop(m_camera))
        messages.push_back(Kh1300String(kTextIsoStopError));
    zcl.ZCL_AbortImageReqAll(m_camera);
    if (!zcl.ZCL_IsoRelease(m_camera))
        messages.push_back(Kh1300String(kTextIsoStopError));
    if (!zcl.ZCL_Close(m_camera))
        messages.push_back(Kh1300String(kTextCloseError));
    m_camera = nullptr;
    zcl.ZCL_CloseConvHandle(m_converter);
    m_converter = nullptr;
    m_converted.clear();
    m_converted.shrink_to_fit();
    m_raw.clear();
    m_raw.shrink_to_fit();
    m_hasConverted = false;
    m_open = false;
}

int Kh1300Camera::Grab(BITMAPINFOHEADER* dib)
{
    std::unique_lock lock(m_lock, kGrabLockWait);
    if (!lock.owns_lock())
        return ACQ_NO_NEW_FRAME;
    return GrabLocked(dib);
}

int Kh1300Camera::Snapshot(BITMAPINFOHEADER* dib)
{
    std::unique_lock lock(m_lock, kGrabLockWait);
    if (!lock.owns_lock())
        return ACQ_FAIL;
    for (int attempt = 0; attempt < kSnapshotAttempts; ++attempt) {
        const int result = GrabLocked(dib);
        if (result != ACQ_NO_NEW_FRAME)
            return result;
    }
    return m_hasConverted && CopyConverted(dib) ? ACQ_OK : ACQ_FAIL;
}

int Kh1300Camera::GrabLocked(BITMAPINFOHEADER* dib)
{
    if (!m_open || !dib)
        return ACQ_FAIL;
    // The whole DIB must be the camera's frame: a smaller one would be overrun by the camera's rows.
    const int32_t rows = dib->biHeight < 0 ? -dib->biHeight : dib->biHeight;
    if (dib->biWidth != m_width || rows != m_height || dib->biBitCount != 24)
        return ACQ_FAIL;
    Library& zcl = *m_library;
    if (zcl.ZCL_ImageReq(m_camera, m_raw.data(), uint32_t(m_raw.size())) != 0) {
        zcl.ZCL_AbortImageReqAll(m_camera);
        return ACQ_FAIL;
    }
    const int completion = zcl.ZCL_ImageComplete(m_camera, m_raw.data());
    if (completion != 0) {
        zcl.ZCL_AbortImageReqAll(m_camera);
        return completion == kZclImageTimeout ? ACQ_NO_NEW_FRAME : ACQ_FAIL;
    }
    const bool converted = zcl.ZCL_ColorConvExec(m_converter, m_raw.data(), m_converted.data());
    zcl.ZCL_AbortImageReqAll(m_camera);
    if (!converted)
        return ACQ_FAIL;
    m_hasConverted = true;
    return CopyConverted(dib) ? ACQ_OK : ACQ_FAIL;
}

// Row i of the converted frame into row i of the DIB, each from its first pixel.
bool Kh1300Camera::CopyConverted(BITMAPINFOHEADER* dib) const
{
    const AcqFrameView frame{m_converted.data(), m_width, m_height, 24, int64_t(m_width) * 3};
    return AcqCopyFrameToDib(frame, dib);
}

bool Kh1300Camera::ChangeResolution(int index)
{
    const ACQ_NotifyFunction notify = m_notify.load();
    if (!notify || index < 0 || index >= kKh1300ResolutionCount)
        return false;
    std::vector<std::string> messages;
    bool opened = false;
    {
        std::lock_guard lock(m_lock);
        const CProfileIni settings(AcqSettingsWritePath(ModuleAnchor(), kSettingsFile).c_str());
        settings.WriteInt(kSettingsSection, kSettingsKey, index);
        m_index = index;
        CloseLocked(messages);
        if (Bind(messages))
            opened = OpenLocked(messages) == 1;
    }
    ShowMessages(messages);
    // After the lock is given back: a host that re-reads the size or grabs at once does not wait on us.
    notify();
    return opened;
}

void Kh1300Camera::ShowMessages(const std::vector<std::string>& messages)
{
    for (const std::string& text : messages)
        AfxMessageBox(text, MB_OK);
}
