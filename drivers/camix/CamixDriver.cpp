// The exports of a Camix camera driver. The module's one camera object lives for the module's lifetime; the host
// may poll ACQ_Acquire on its live thread while its UI thread opens, sets up or releases the camera: frames pass
// only through the camera's frame slot, which takes care of that.
#include "acqdriver/AcqDriver.h"
#include "camix/CamixCamera.h"
#include "camix/CamixSetupDialog.h"
#include "camix/CamixTestHooks.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>

#ifndef CAMIX_MODEL_NAME
#error "each Camix driver module names its model"
#endif

namespace {

constexpr char kModelName[] = CAMIX_MODEL_NAME;
static_assert(sizeof kModelName <= ACQ_NAME_BUFFER_SIZE);

// The host polls ACQ_Acquire; one poll waits at most this long for a new frame.
constexpr std::chrono::milliseconds kAcquireWait{1};

struct DriverState
{
    CamixCamera camera{kModelName, CamixCamera::Sources::CAMIX_SOURCES};
    std::mutex lock;  // guards the host's handles below
    ACQ_HWND owner = nullptr;
    int param = 0;
    int extra = 0;
    std::atomic<int> mode{ACQ_MODE_IDLE};
    std::atomic<ACQ_NotifyFunction> notify{nullptr};
    std::atomic<ACQ_ExtTriggerFunction> trigger{nullptr};
};

DriverState& State()
{
    static DriverState state;
    return state;
}

void Notify()
{
    if (ACQ_NotifyFunction notify = State().notify.load())
        notify();
}

// Opens the camera; a failure was told to the user and leaves the sizes at -1, and the host still hears 1 (it
// reads the failure from the sizes).
int Open(int param, ACQ_HWND owner, int extra)
{
    DriverState& state = State();
    {
        std::lock_guard lock(state.lock);
        state.param = param;
        state.owner = owner;
        state.extra = extra;
    }
    if (state.camera.Open())
        Notify();
    return ACQ_OK;
}

int Report(int* out, int value)
{
    if (!out)
        return ACQ_FAIL;
    *out = value;
    return ACQ_OK;
}

}  // namespace

ACQ_EXPORT void CAMIX_Simulate(const char* kind, int width, int height)
{
    CamixCamera::Simulate(kind, width, height);
}

ACQ_EXPORT int CAMIX_SimPush(const uint8_t* data, size_t bytes)
{
    return State().camera.PushSimulatedFrame(data, bytes);
}

ACQ_EXPORT void CAMIX_SimUnplug()
{
    State().camera.UnplugSimulated();
}

ACQ_EXPORT void CAMIX_SetStartTimeout(int milliseconds)
{
    CamixCamera::SetStartTimeout(milliseconds);
}

ACQ_EXPORT int ACQ_Initial(int param, ACQ_HWND owner, int extra)
{
    return Open(param, owner, extra);
}

ACQ_EXPORT int ACQ_AutoLoad(int, int param, ACQ_HWND owner, int extra)
{
    return Open(param, owner, extra);
}

ACQ_EXPORT int ACQ_Release()
{
    DriverState& state = State();
    state.mode = ACQ_MODE_IDLE;
    state.camera.Close();
    std::lock_guard lock(state.lock);
    state.param = 0;
    state.owner = nullptr;
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_Setup()
{
    RunCamixSetupDialog(State().camera, Notify);
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

// A camera whose stream broke off (unplugged) answers 0 until it is opened again; otherwise 1 or 9.
ACQ_EXPORT int ACQ_Acquire(BITMAPINFOHEADER* dib)
{
    CamixCamera& camera = State().camera;
    if (camera.Failed())
        return ACQ_FAIL;
    return camera.Frames().Acquire(dib, kAcquireWait, AcqRowMirror::Horizontal);
}

ACQ_EXPORT int ACQ_AcquireSnapshot(BITMAPINFOHEADER* dib)
{
    CamixCamera& camera = State().camera;
    if (camera.Failed())
        return ACQ_FAIL;
    return camera.Frames().Snapshot(dib, AcqRowMirror::Horizontal);
}

ACQ_EXPORT int ACQ_GetWidth(int* width)
{
    return Report(width, State().camera.Width());
}

ACQ_EXPORT int ACQ_GetHeight(int* height)
{
    return Report(height, State().camera.Height());
}

ACQ_EXPORT int ACQ_GetDepth(int* bitsPerPixel)
{
    return Report(bitsPerPixel, State().camera.Depth());
}

ACQ_EXPORT int ACQ_GetName(char* name)
{
    if (!name)
        return ACQ_FAIL;
    std::memcpy(name, kModelName, sizeof kModelName);
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

// Another window while one is set reopens the camera for it; the earlier stream is closed first.
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
    State().notify = callback;
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
