// The exports of the KH-1300 camera driver (22 of the first-generation set). Frames are grabbed inside
// ACQ_Acquire; the host's param and owner must both be set before any is delivered.
#include "acqdriver/AcqDriver.h"
#include "kh1300/Kh1300Camera.h"
#include "kh1300/Kh1300PropertyDialog.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace {

constexpr char kModelName[] = "KH-1300";
static_assert(sizeof kModelName <= ACQ_NAME_BUFFER_SIZE);

struct DriverState
{
    Kh1300Camera camera;
    std::mutex lock;  // guards the host's values below
    int param = 0;
    ACQ_HWND owner = nullptr;
    int extra = 0;
    ACQ_HWND display = nullptr;
    std::atomic<bool> autoLoading{false};
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
    return state.camera.Open();
}

bool HostReady()
{
    DriverState& state = State();
    std::lock_guard lock(state.lock);
    return state.param != 0 && state.owner != nullptr;
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

// Answers 1 even when the camera did not open (the user was told); the host reads a width of 0 then.
ACQ_EXPORT int ACQ_AutoLoad(int, int param, ACQ_HWND owner, int extra)
{
    State().autoLoading = true;
    const int result = Open(param, owner, extra);
    State().autoLoading = false;
    return result == ACQ_FAIL ? ACQ_FAIL : ACQ_OK;
}

ACQ_EXPORT int ACQ_Release()
{
    DriverState& state = State();
    state.camera.Close();
    std::lock_guard lock(state.lock);
    state.param = 0;
    state.owner = nullptr;
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_Setup()
{
    RunKh1300PropertyDialog(State().camera);
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

ACQ_EXPORT int ACQ_GetCurrentMode(int* mode)
{
    return Report(mode, ACQ_MODE_SETTING_UP);
}

ACQ_EXPORT int ACQ_Acquire(BITMAPINFOHEADER* dib)
{
    if (!HostReady())
        return ACQ_FAIL;
    return State().camera.Grab(dib);
}

ACQ_EXPORT int ACQ_AcquireSnapshot(BITMAPINFOHEADER* dib)
{
    if (!HostReady())
        return ACQ_FAIL;
    return State().camera.Snapshot(dib);
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
    return Report(bitsPerPixel, 24);
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
    return Report(type, ACQ_HW_PLAIN);
}

ACQ_EXPORT int ACQ_IsOwnerWindow()
{
    return 0;
}

ACQ_EXPORT ACQ_HWND ACQ_GetOwnerWindow()
{
    std::lock_guard lock(State().lock);
    return State().display;
}

ACQ_EXPORT int ACQ_SetDisplayWindow(ACQ_HWND window)
{
    std::lock_guard lock(State().lock);
    State().display = window;
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

ACQ_EXPORT intptr_t ACQ_SetNotityFunction(ACQ_NotifyFunction callback)
{
    State().camera.SetNotify(callback);
    return reinterpret_cast<intptr_t>(callback);
}

ACQ_EXPORT int ACQ_GetServerAutoParam(char*)
{
    return ACQ_OK;
}
