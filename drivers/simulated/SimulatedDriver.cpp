// The simulated first-generation driver: all 26 exports, a device that is opened with the format the test set and
// whose frames are the bytes the test delivers. It behaves as a camera driver does towards the host: sizes -1 until
// an open reached a format, the notification at the end of every open, mode 3 between Overlay and StopOverlay, a
// modal set-up dialog and message boxes for failures.
#include "simulated/SimulatedDriver.h"

#include "acqdriver/AcqDriver.h"
#include "common/AcqFrameSlot.h"
#include "resources/StringTable.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QDialog>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

namespace {

constexpr const char* kModule = "grab_simulated";
constexpr uint32_t IDS_NO_DEVICE = 1;
constexpr uint32_t IDS_SETUP_TITLE = 2;
const StringTableRegistrar kStrings(kModule, {
    {IDS_NO_DEVICE, "There is no capture device!"},
    {IDS_SETUP_TITLE, "Device Property"},
});

constexpr char kModelName[] = "Simulated-Cam";

struct DeviceSetting
{
    bool present = true;
    int width = 64;
    int height = 48;
    int bitsPerPixel = 32;
};

struct DriverState
{
    std::mutex lock;  // guards everything but the frame slot (which has its own) and the atomics
    DeviceSetting device;
    AcqFrameSlot frames;
    ACQ_HWND owner = nullptr;
    int param = 0;
    int extra = 0;
    int width = -1;
    int height = -1;
    int depth = -1;
    std::deque<std::vector<uint8_t>> queued;  // SIM_Queue's frames not yet delivered
    std::atomic<bool> unplugged{false};
    std::atomic<int> mode{ACQ_MODE_IDLE};
    std::atomic<int> hwType{ACQ_HW_CAMERA};
    std::atomic<ACQ_NotifyFunction> notify{nullptr};
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
    DeviceSetting device;
    {
        std::lock_guard lock(state.lock);
        state.param = param;
        state.owner = owner;
        state.extra = extra;
        device = state.device;
    }
    state.frames.Close();
    state.unplugged = false;
    {
        std::lock_guard lock(state.lock);
        state.queued.clear();
    }
    if (!device.present || !state.frames.Open(device.width, std::abs(device.height), device.bitsPerPixel)) {
        {
            std::lock_guard lock(state.lock);
            state.width = state.height = state.depth = -1;
        }
        MessageBox(LoadString(kModule, IDS_NO_DEVICE));
        return ACQ_OK;  // as a camera driver answers: the sizes of -1 tell the host that nothing runs
    }
    {
        std::lock_guard lock(state.lock);
        state.width = device.width;
        state.height = device.height;
        state.depth = device.bitsPerPixel;
    }
    if (ACQ_NotifyFunction notify = state.notify.load())
        notify();
    return ACQ_OK;
}

int ReadSize(int* out, int DriverState::*field)
{
    if (!out)
        return ACQ_FAIL;
    std::lock_guard lock(State().lock);
    *out = State().*field;
    return ACQ_OK;
}

}  // namespace

ACQ_EXPORT void SIM_SetDevice(int present, int width, int height, int bitsPerPixel)
{
    std::lock_guard lock(State().lock);
    State().device = DeviceSetting{present != 0, width, height, bitsPerPixel};
}

ACQ_EXPORT int SIM_Deliver(const uint8_t* data, size_t bytes)
{
    return State().frames.Deliver(data, bytes) ? 1 : 0;
}

ACQ_EXPORT int SIM_Queue(const uint8_t* data, size_t bytes)
{
    if (!data)
        return 0;
    std::lock_guard lock(State().lock);
    State().queued.emplace_back(data, data + bytes);
    return 1;
}

ACQ_EXPORT void SIM_Unplug(int keepSizes)
{
    DriverState& state = State();
    state.unplugged = true;
    if (!keepSizes) {
        std::lock_guard lock(state.lock);
        state.width = state.height = state.depth = -1;
    }
}

ACQ_EXPORT void SIM_SetHWType(int type)
{
    State().hwType = type;
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
    state.frames.Close();
    std::lock_guard lock(state.lock);
    state.param = 0;
    state.owner = nullptr;
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_Setup()
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("SimulatedSetupDialog"));
    dialog.setWindowTitle(QString::fromStdString(LoadString(kModule, IDS_SETUP_TITLE)));
    RunModal(dialog);
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
    if (!mode)
        return ACQ_FAIL;
    *mode = State().mode;
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_Acquire(BITMAPINFOHEADER* dib)
{
    DriverState& state = State();
    if (state.unplugged)
        return ACQ_FAIL;
    const int result = state.frames.Acquire(dib, std::chrono::milliseconds(1));
    if (result != ACQ_NO_NEW_FRAME)
        return result;
    // The frame before was taken: the next queued one comes now.
    std::vector<uint8_t> next;
    {
        std::lock_guard lock(state.lock);
        if (state.queued.empty())
            return result;
        next = std::move(state.queued.front());
        state.queued.pop_front();
    }
    state.frames.Deliver(next.data(), next.size());
    return state.frames.Acquire(dib, std::chrono::milliseconds(0));
}

ACQ_EXPORT int ACQ_AcquireSnapshot(BITMAPINFOHEADER* dib)
{
    if (State().unplugged)
        return ACQ_FAIL;
    return State().frames.Snapshot(dib);
}

ACQ_EXPORT int ACQ_GetWidth(int* width)
{
    return ReadSize(width, &DriverState::width);
}

ACQ_EXPORT int ACQ_GetHeight(int* height)
{
    return ReadSize(height, &DriverState::height);
}

ACQ_EXPORT int ACQ_GetDepth(int* bitsPerPixel)
{
    return ReadSize(bitsPerPixel, &DriverState::depth);
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
    if (!type)
        return ACQ_FAIL;
    *type = State().hwType;
    return ACQ_OK;
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

ACQ_EXPORT int ACQ_SetDisplayWindow(ACQ_HWND window)
{
    std::lock_guard lock(State().lock);
    State().owner = window;
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
