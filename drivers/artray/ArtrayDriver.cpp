// The exports of an ARTRAY camera driver (all 26 of the first-generation set). The same source makes every model's
// module: ARTRAY_MODEL names the model (an ArtrayModelId) at compile time.
#include "acqdriver/AcqDriver.h"
#include "artray/ArtrayCamera.h"
#include "artray/ArtrayDialogs.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#ifndef ARTRAY_MODEL
#error "ARTRAY_MODEL names the model this module is built for"
#endif

namespace {

struct DriverState
{
    ArtrayCamera camera{GetArtrayModel(ArtrayModelId::ARTRAY_MODEL)};
    std::mutex lock;  // guards the host's values below
    int param = 0;
    ACQ_HWND owner = nullptr;
    int extra = 0;
    bool opened = false;
    std::atomic<int> mode{ACQ_MODE_IDLE};
    std::atomic<bool> autoLoading{false};
    std::atomic<ACQ_ExtTriggerFunction> trigger{nullptr};
};

DriverState& State()
{
    static DriverState state;
    return state;
}

int Open(int param, ACQ_HWND owner, int extra)
{
    DriverState& state = State();
    {
        std::lock_guard lock(state.lock);
        state.param = param;
        state.owner = owner;
        state.extra = extra;
    }
    const bool opened = state.camera.Open();
    std::lock_guard lock(state.lock);
    state.opened = opened;
    return opened ? ACQ_OK : ACQ_FAIL;
}

int Report(int* out, int value)
{
    if (!out)
        return ACQ_FAIL;
    *out = value;
    return ACQ_OK;
}

}  // namespace

ACQ_EXPORT int ACQ_Initial(int param, ACQ_HWND owner, int extra)
{
    return Open(param, owner, extra);
}

ACQ_EXPORT int ACQ_AutoLoad(int, int param, ACQ_HWND owner, int extra)
{
    State().autoLoading = true;
    const int result = Open(param, owner, extra);
    State().autoLoading = false;
    return result;
}

ACQ_EXPORT int ACQ_Release()
{
    DriverState& state = State();
    state.mode = ACQ_MODE_IDLE;
    state.camera.Close();
    std::lock_guard lock(state.lock);
    state.param = 0;
    state.owner = nullptr;
    state.opened = false;
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_Setup()
{
    RunArtrayDevicePropertyDialog(State().camera);
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_Setting()
{
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_TranslateMessage()
{
    return 0;
}

ACQ_EXPORT int ACQ_IsOverlaySupport()
{
    return 1;
}

ACQ_EXPORT int ACQ_Overlay()
{
    State().mode = ACQ_MODE_LIVE;
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_StopOverlay()
{
    State().mode = ACQ_MODE_IDLE;
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_GetCurrentMode(int* mode)
{
    return Report(mode, State().mode);
}

// 1 with a fresh frame, 9 without one (after the model's pause), 0 when nothing can be handed out: not opened, or
// a DIB that is not the size the host was told.
ACQ_EXPORT int ACQ_Acquire(BITMAPINFOHEADER* dib)
{
    ArtrayCamera& camera = State().camera;
    if (camera.SnapshotRaised())
        return ACQ_NO_NEW_FRAME;
    switch (camera.HandOut(dib, /*wait=*/true)) {
    case ArtrayCamera::HandOutResult::Copied:
        return ACQ_OK;
    case ArtrayCamera::HandOutResult::Refused:
        return ACQ_FAIL;
    case ArtrayCamera::HandOutResult::NoNewFrame:
    case ArtrayCamera::HandOutResult::Busy:
        break;
    }
    if (const int pause = camera.Model().noFramePauseMs; pause > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    return ACQ_NO_NEW_FRAME;
}

// The newest frame, fresh or not; 0 when none was copied (no frame yet, a set-up running, a DIB of another size).
ACQ_EXPORT int ACQ_AcquireSnapshot(BITMAPINFOHEADER* dib)
{
    ArtrayCamera& camera = State().camera;
    camera.RaiseSnapshot(true);
    const ArtrayCamera::HandOutResult result = camera.HandOut(dib, /*wait=*/false);
    camera.RaiseSnapshot(false);
    return result == ArtrayCamera::HandOutResult::Copied ? ACQ_OK : ACQ_FAIL;
}

ACQ_EXPORT int ACQ_GetWidth(int* width)
{
    return Report(width, State().camera.Width());
}

ACQ_EXPORT int ACQ_GetHeight(int* height)
{
    return Report(height, State().camera.Height());
}

// 0 until the camera reported its colour depth: a host must not size a frame from it before.
ACQ_EXPORT int ACQ_GetDepth(int* bitsPerPixel)
{
    return Report(bitsPerPixel, State().camera.Depth());
}

ACQ_EXPORT int ACQ_GetName(char* name)
{
    if (!name)
        return ACQ_FAIL;
    const char* model = State().camera.Model().name;
    const size_t bytes = strnlen(model, kArtrayLongestName - 1) + 1;
    std::memcpy(name, model, bytes - 1);
    name[bytes - 1] = '\0';
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_GetHWType(int* type)
{
    return Report(type, ACQ_HW_CAMERA);
}

ACQ_EXPORT int ACQ_IsOwnerWindow()
{
    return 0;
}

ACQ_EXPORT ACQ_HWND ACQ_GetOwnerWindow()
{
    std::lock_guard lock(State().lock);
    return State().owner;
}

// Another window while one is set opens the camera again for it (the message window stays the one made first).
ACQ_EXPORT int ACQ_SetDisplayWindow(ACQ_HWND window)
{
    DriverState& state = State();
    int param = 0;
    int extra = 0;
    {
        std::lock_guard lock(state.lock);
        if (!state.owner || state.owner == window) {
            state.owner = window;
            return ACQ_OK;
        }
        param = state.param;
        extra = state.extra;
    }
    state.mode = ACQ_MODE_IDLE;
    Open(param, window, extra);
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_SetDisplayWindowPos()
{
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_GetDisplayWindowPos()
{
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_PutBitmap()
{
    return ACQ_OK;
}

ACQ_EXPORT intptr_t ACQ_SetNotityFunction(ACQ_NotifyFunction callback)
{
    State().camera.SetNotify(callback);
    return reinterpret_cast<intptr_t>(callback);
}

ACQ_EXPORT int ACQ_SetExtTriggerGrab(ACQ_ExtTriggerFunction callback)
{
    State().trigger = callback;
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_GetServerAutoParam(char* text)
{
    if (text)
        text[0] = '\0';
    return ACQ_OK;
}
