// A simulated ARTRAY camera library for tests: every entry point of the version groups the driver binds, a camera
// with the model's sensor (ARTSIM_WIDTH x ARTSIM_HEIGHT, ARTSIM_MODEL the ArtrayModelId) that writes frames into the
// buffer it is given and sends the frame message, and the test controls of ArtCamSimControl.h.
#include "artray/ArtCamApi.h"
#include "artray/sim/ArtCamSimControl.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#define SIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Camera
{
    int id = 0;
};

struct Sim
{
    std::mutex lock;
    std::map<std::string, int> calls;
    int version = 1276;
    bool present = true;
    bool unplugged = false;
    int colorBits = 24;
    int reportedHeight = 0;
    int dialogOk = 1;
    int freeRunMs = 0;
    int openHandles = 0;
    // Held from writing a frame until its message has been handled, so that a frame delivered by the test while the
    // free-running thread's is being copied waits its turn, as the one camera's frames do.
    std::mutex delivery;
    // The running capture.
    ArtMessageTarget* target = nullptr;
    uint8_t* buffer = nullptr;
    size_t bytes = 0;
    // The free-running thread.
    std::thread runner;
    std::condition_variable wake;
    bool stopRunner = false;

    ~Sim()
    {
        std::unique_lock hold(lock);
        stopRunner = true;
        wake.notify_all();
        hold.unlock();
        if (runner.joinable())
            runner.join();
    }
};

Sim& State()
{
    static Sim sim;
    return sim;
}

void Count(const char* entry)
{
    std::lock_guard lock(State().lock);
    ++State().calls[entry];
}

int BytesPerPixel(int bits)
{
    return bits <= 8 ? 1 : bits <= 16 ? 2 : bits <= 24 ? 3 : 4;
}

// Writes the frame under the lock, sends after it: the driver's handler may take its own locks freely. The next
// frame is written only after the driver has handled this one's message.
int DeliverLocked(std::unique_lock<std::mutex>& lock, int seed, int complete)
{
    Sim& sim = State();
    if (!sim.buffer || !sim.target)
        return 0;
    std::unique_lock delivering(sim.delivery, std::try_to_lock);
    if (!delivering.owns_lock()) {
        // Another delivery is waiting for its message to be handled: let it finish without holding the state.
        lock.unlock();
        delivering.lock();
        lock.lock();
        if (!sim.buffer || !sim.target)
            return 0;
    }
    const int bytesPerPixel = BytesPerPixel(sim.colorBits);
    const size_t frame = size_t(ARTSIM_WIDTH) * ARTSIM_HEIGHT * bytesPerPixel;
    uint8_t* out = sim.buffer;
    if (frame <= sim.bytes)
        for (int y = 0; y < ARTSIM_HEIGHT; ++y)
            for (int x = 0; x < ARTSIM_WIDTH; ++x, out += bytesPerPixel) {
                uint8_t bgr[3];
                ArtSimPixel(ARTSIM_MODEL, seed, x, y, bgr);
                for (int b = 0; b < bytesPerPixel; ++b)
                    out[b] = bgr[b % 3];
            }
    ArtMessageTarget* target = sim.target;
    lock.unlock();
    target->send(target, kArtFrameMessage, complete ? 1 : 0, 0);
    delivering.unlock();
    lock.lock();
    return 1;
}

void StopCapture(std::unique_lock<std::mutex>& lock)
{
    Sim& sim = State();
    sim.buffer = nullptr;
    sim.bytes = 0;
    sim.target = nullptr;
    if (sim.runner.joinable()) {
        sim.stopRunner = true;
        sim.wake.notify_all();
        std::thread runner = std::move(sim.runner);
        lock.unlock();
        runner.join();
        lock.lock();
    }
    sim.stopRunner = false;
}

void StartRunner()
{
    Sim& sim = State();
    sim.runner = std::thread([] {
        Sim& state = State();
        std::unique_lock lock(state.lock);
        for (int seed = 1; !state.stopRunner; ++seed) {
            if (state.wake.wait_for(lock, std::chrono::milliseconds(state.freeRunMs), [&] { return state.stopRunner; }))
                break;
            DeliverLocked(lock, seed, 1);
        }
    });
}

}  // namespace

// --- The entry points the driver calls.
SIM_EXPORT int32_t ArtCam_GetDllVersion()
{
    Count("ArtCam_GetDllVersion");
    std::lock_guard lock(State().lock);
    return int32_t(0x12340000u | uint32_t(State().version & 0xFFFF));
}

SIM_EXPORT ArtCamHandle ArtCam_Initialize(ArtMessageTarget*)
{
    Count("ArtCam_Initialize");
    std::lock_guard lock(State().lock);
    if (!State().present || State().unplugged)
        return nullptr;
    ++State().openHandles;
    return new Camera{State().openHandles};
}

SIM_EXPORT int32_t ArtCam_Release(ArtCamHandle camera)
{
    Count("ArtCam_Release");
    if (!camera)
        return 0;
    std::unique_lock lock(State().lock);
    StopCapture(lock);
    --State().openHandles;
    delete static_cast<Camera*>(camera);
    return 1;
}

SIM_EXPORT int32_t ArtCam_Close(ArtCamHandle camera)
{
    Count("ArtCam_Close");
    std::unique_lock lock(State().lock);
    StopCapture(lock);
    return camera ? 1 : 0;
}

SIM_EXPORT int32_t ArtCam_SetPreviewWindow(ArtCamHandle, ArtMessageTarget*, int32_t, int32_t, int32_t, int32_t)
{
    Count("ArtCam_SetPreviewWindow");
    return 1;
}

SIM_EXPORT int32_t ArtCam_SetColorMode(ArtCamHandle, int32_t)
{
    Count("ArtCam_SetColorMode");
    return 1;
}

SIM_EXPORT int32_t ArtCam_GetColorMode(ArtCamHandle)
{
    Count("ArtCam_GetColorMode");
    std::lock_guard lock(State().lock);
    return State().unplugged ? -1 : State().colorBits;
}

SIM_EXPORT int32_t ArtCam_SetSubSample(ArtCamHandle, int32_t)
{
    Count("ArtCam_SetSubSample");
    return 1;
}

SIM_EXPORT int32_t ArtCam_Height(ArtCamHandle)
{
    Count("ArtCam_Height");
    std::lock_guard lock(State().lock);
    return State().reportedHeight ? State().reportedHeight : ARTSIM_HEIGHT;
}

SIM_EXPORT int32_t ArtCam_Width(ArtCamHandle)
{
    Count("ArtCam_Width");
    return ARTSIM_WIDTH;
}

SIM_EXPORT int32_t ArtCam_CallBackPreview(ArtCamHandle camera, ArtMessageTarget* window, uint8_t* buffer,
    int32_t bytes, int32_t)
{
    Count("ArtCam_CallBackPreview");
    std::unique_lock lock(State().lock);
    Sim& sim = State();
    StopCapture(lock);
    if (!camera || !window || !buffer || bytes <= 0 || sim.unplugged)
        return 0;
    sim.target = window;
    sim.buffer = buffer;
    sim.bytes = size_t(bytes);
    if (sim.freeRunMs > 0)
        StartRunner();
    return 1;
}

#define SIM_DIALOG(name)                                                                                              \
    SIM_EXPORT int32_t name(ArtCamHandle, void*)                                                                      \
    {                                                                                                                 \
        Count(#name);                                                                                                 \
        std::lock_guard lock(State().lock);                                                                           \
        return State().dialogOk;                                                                                      \
    }
SIM_DIALOG(ArtCam_SetCameraDlg)
SIM_DIALOG(ArtCam_SetImageDlg)
SIM_DIALOG(ArtCam_SetAnalogDlg)

// --- The entry points the driver only binds.
#define SIM_BOUND_ONLY(name)                                                                                          \
    SIM_EXPORT int32_t name()                                                                                         \
    {                                                                                                                 \
        Count(#name);                                                                                                 \
        return 0;                                                                                                     \
    }
SIM_BOUND_ONLY(ArtCam_GetLastError) SIM_BOUND_ONLY(ArtCam_Preview) SIM_BOUND_ONLY(ArtCam_Record)
SIM_BOUND_ONLY(ArtCam_SetCaptureWindow) SIM_BOUND_ONLY(ArtCam_SetCaptureWindowEx)
SIM_BOUND_ONLY(ArtCam_GetCaptureWindowEx) SIM_BOUND_ONLY(ArtCam_SetCrossbar) SIM_BOUND_ONLY(ArtCam_SetDeviceNumber)
SIM_BOUND_ONLY(ArtCam_EnumDevice) SIM_BOUND_ONLY(ArtCam_GetDeviceName) SIM_BOUND_ONLY(ArtCam_StartPreview)
SIM_BOUND_ONLY(ArtCam_StopPreview) SIM_BOUND_ONLY(ArtCam_GetImage) SIM_BOUND_ONLY(ArtCam_Fps)
SIM_BOUND_ONLY(ArtCam_SetIOPort) SIM_BOUND_ONLY(ArtCam_GetIOPort) SIM_BOUND_ONLY(ArtCam_SetFilterValue)
SIM_BOUND_ONLY(ArtCam_GetFilterValue) SIM_BOUND_ONLY(ArtCam_SnapShot) SIM_BOUND_ONLY(ArtCam_GetSubSample)
SIM_BOUND_ONLY(ArtCam_SetWaitTime) SIM_BOUND_ONLY(ArtCam_GetWaitTime)
SIM_BOUND_ONLY(ArtCam_SetMirrorV) SIM_BOUND_ONLY(ArtCam_GetMirrorV) SIM_BOUND_ONLY(ArtCam_SetMirrorH)
SIM_BOUND_ONLY(ArtCam_GetMirrorH) SIM_BOUND_ONLY(ArtCam_SetBrightness) SIM_BOUND_ONLY(ArtCam_GetBrightness)
SIM_BOUND_ONLY(ArtCam_SetContrast) SIM_BOUND_ONLY(ArtCam_GetContrast) SIM_BOUND_ONLY(ArtCam_SetHue)
SIM_BOUND_ONLY(ArtCam_GetHue) SIM_BOUND_ONLY(ArtCam_SetSaturation) SIM_BOUND_ONLY(ArtCam_GetSaturation)
SIM_BOUND_ONLY(ArtCam_SetSharpness) SIM_BOUND_ONLY(ArtCam_GetSharpness) SIM_BOUND_ONLY(ArtCam_SetBayerGainRGB)
SIM_BOUND_ONLY(ArtCam_GetBayerGainRGB) SIM_BOUND_ONLY(ArtCam_SetBayerGainRed) SIM_BOUND_ONLY(ArtCam_GetBayerGainRed)
SIM_BOUND_ONLY(ArtCam_SetBayerGainGreen) SIM_BOUND_ONLY(ArtCam_GetBayerGainGreen)
SIM_BOUND_ONLY(ArtCam_SetBayerGainBlue) SIM_BOUND_ONLY(ArtCam_GetBayerGainBlue)
SIM_BOUND_ONLY(ArtCam_SetBayerGainAuto) SIM_BOUND_ONLY(ArtCam_GetBayerGainAuto) SIM_BOUND_ONLY(ArtCam_SetGamma)
SIM_BOUND_ONLY(ArtCam_GetGamma) SIM_BOUND_ONLY(ArtCam_SetBayerMode) SIM_BOUND_ONLY(ArtCam_GetBayerMode)
SIM_BOUND_ONLY(ArtCam_SetGlobalGain) SIM_BOUND_ONLY(ArtCam_GetGlobalGain) SIM_BOUND_ONLY(ArtCam_SetColorGainRed)
SIM_BOUND_ONLY(ArtCam_GetColorGainRed) SIM_BOUND_ONLY(ArtCam_SetColorGainGreen1)
SIM_BOUND_ONLY(ArtCam_GetColorGainGreen1) SIM_BOUND_ONLY(ArtCam_SetColorGainGreen2)
SIM_BOUND_ONLY(ArtCam_GetColorGainGreen2) SIM_BOUND_ONLY(ArtCam_SetColorGainBlue)
SIM_BOUND_ONLY(ArtCam_GetColorGainBlue) SIM_BOUND_ONLY(ArtCam_SetExposureTime)
SIM_BOUND_ONLY(ArtCam_GetExposureTime) SIM_BOUND_ONLY(ArtCam_Capture) SIM_BOUND_ONLY(ArtCam_Trigger)
SIM_BOUND_ONLY(ArtCam_SaveImage) SIM_BOUND_ONLY(ArtCam_SetHalfClock) SIM_BOUND_ONLY(ArtCam_GetHalfClock)
SIM_BOUND_ONLY(ArtCam_SetAutoIris) SIM_BOUND_ONLY(ArtCam_GetAutoIris) SIM_BOUND_ONLY(ArtCam_SetSamplingRate)
SIM_BOUND_ONLY(ArtCam_GetSamplingRate) SIM_BOUND_ONLY(ArtCam_GetVideoFormat) SIM_BOUND_ONLY(ArtCam_WriteSromID)
SIM_BOUND_ONLY(ArtCam_ReadSromID)

// --- Test controls.
SIM_EXPORT void ARTSIM_Reset()
{
    std::unique_lock lock(State().lock);
    StopCapture(lock);
    Sim& sim = State();
    sim.calls.clear();
    sim.version = 1276;
    sim.present = true;
    sim.unplugged = false;
    sim.colorBits = 24;
    sim.reportedHeight = 0;
    sim.dialogOk = 1;
    sim.freeRunMs = 0;
}

SIM_EXPORT void ARTSIM_SetVersion(int version)
{
    std::lock_guard lock(State().lock);
    State().version = version;
}

SIM_EXPORT void ARTSIM_SetPresent(int present)
{
    std::lock_guard lock(State().lock);
    State().present = present != 0;
}

SIM_EXPORT void ARTSIM_SetColorBits(int bits)
{
    std::lock_guard lock(State().lock);
    State().colorBits = bits;
}

SIM_EXPORT void ARTSIM_SetDialogAnswer(int ok)
{
    std::lock_guard lock(State().lock);
    State().dialogOk = ok;
}

SIM_EXPORT void ARTSIM_SetFreeRun(int intervalMs)
{
    std::lock_guard lock(State().lock);
    State().freeRunMs = intervalMs;
}

SIM_EXPORT void ARTSIM_SetReportedHeight(int reportedHeight)
{
    std::lock_guard lock(State().lock);
    State().reportedHeight = reportedHeight;
}

SIM_EXPORT int ARTSIM_Deliver(int seed, int complete)
{
    std::unique_lock lock(State().lock);
    return DeliverLocked(lock, seed, complete);
}

SIM_EXPORT void ARTSIM_Unplug()
{
    std::unique_lock lock(State().lock);
    State().unplugged = true;
    StopCapture(lock);
}

SIM_EXPORT int ARTSIM_Calls(const char* entry)
{
    std::lock_guard lock(State().lock);
    const auto found = State().calls.find(entry ? entry : "");
    return found == State().calls.end() ? 0 : found->second;
}

SIM_EXPORT int ARTSIM_OpenHandles()
{
    std::lock_guard lock(State().lock);
    return State().openHandles;
}

SIM_EXPORT int ARTSIM_Capturing()
{
    std::lock_guard lock(State().lock);
    return State().buffer != nullptr;
}
