// A simulated KH-1300 camera library: the ZCL_ entry points the driver binds, over a camera that produces
// deterministic frames (ZclSimControl.h says what a test can steer). Every wait is bounded.
#include "kh1300/ZclApi.h"
#include "kh1300/sim/ZclSimControl.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#define ZCL_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using Clock = std::chrono::steady_clock;

struct Mode
{
    int code;
    int width;
    int height;
    bool yuv;
};

constexpr Mode kModes[] = {{19, 1600, 1200, true}, {15, 1280, 960, true}, {16, 1280, 960, false},
                           {11, 1024, 768, true},  {12, 1024, 768, false}, {7, 800, 600, true},
                           {8, 800, 600, false},   {3, 640, 480, true},    {4, 640, 480, false}};

const Mode* FindMode(int code)
{
    for (const Mode& mode : kModes)
        if (mode.code == code)
            return &mode;
    return nullptr;
}

uint32_t RawBytes(const Mode& mode)
{
    return uint32_t(mode.width) * uint32_t(mode.height) * (mode.yuv ? 2u : 3u);
}

struct Camera
{
    int token = 0;
};
struct Converter
{
    int colourCode = 0;
    int width = 0;
    int height = 0;
};

struct SimState
{
    std::mutex lock;
    std::condition_variable signal;
    bool present = true;
    bool unplugged = false;
    bool manual = false;
    int frameMs = 0;
    int waitMs = 1000;
    int lastMode = 0;
    int mode = 19;
    int counter = 0;
    uint64_t abortGeneration = 0;
    Clock::time_point lastFrame{};
    std::deque<int> queued;
    std::map<std::string, int> calls;
    std::map<std::string, int> failNext;
    int openHandles = 0;
    int waiting = 0;
    uint8_t* requested = nullptr;
    uint32_t requestedBytes = 0;
    Camera camera;
    Converter converter;
};

SimState& State()
{
    static SimState state;
    return state;
}

// Counts the call and answers whether it is to fail. Caller holds the lock.
bool Fails(SimState& state, const char* entry)
{
    ++state.calls[entry];
    auto failing = state.failNext.find(entry);
    if (failing != state.failNext.end() && failing->second > 0) {
        --failing->second;
        return true;
    }
    return state.unplugged;
}

uint8_t Clamp(int value)
{
    return uint8_t(std::clamp(value, 0, 255));
}

// The raw frame of `seed`: RGB top-down, or Y0 U Y1 V pairs. The seed lies in every pixel, so a test tells frames
// apart anywhere in the picture.
void MakeRaw(const Mode& mode, int seed, uint8_t* out)
{
    for (int y = 0; y < mode.height; ++y) {
        for (int x = 0; x < mode.width; ++x) {
            if (mode.yuv) {
                uint8_t* pair = out + (size_t(y) * mode.width + (x & ~1)) * 2;
                pair[(x & 1) * 2] = uint8_t(x + y + seed);
                if (!(x & 1)) {
                    pair[1] = uint8_t(x / 2 + seed * 5);
                    pair[3] = uint8_t(y + seed * 3);
                }
            } else {
                uint8_t* pixel = out + (size_t(y) * mode.width + x) * 3;
                pixel[0] = uint8_t(x + seed);
                pixel[1] = uint8_t(y + seed * 3);
                pixel[2] = uint8_t(x ^ y ^ seed);
            }
        }
    }
}

// Raw frame into 24-bit DIB rows: bottom-up, B,G,R, width x 3 bytes per row.
void Convert(const Mode& mode, const uint8_t* raw, uint8_t* out)
{
    const size_t rowBytes = size_t(mode.width) * 3;
    for (int y = 0; y < mode.height; ++y) {
        uint8_t* row = out + size_t(mode.height - 1 - y) * rowBytes;
        for (int x = 0; x < mode.width; ++x) {
            uint8_t* bgr = row + size_t(x) * 3;
            if (mode.yuv) {
                const uint8_t* pair = raw + (size_t(y) * mode.width + (x & ~1)) * 2;
                const int luma = pair[(x & 1) * 2];
                const int u = pair[1] - 128;
                const int v = pair[3] - 128;
                bgr[0] = Clamp(luma + ((454 * u) >> 8));
                bgr[1] = Clamp(luma - ((88 * u + 183 * v) >> 8));
                bgr[2] = Clamp(luma + ((359 * v) >> 8));
            } else {
                const uint8_t* rgb = raw + (size_t(y) * mode.width + x) * 3;
                bgr[0] = rgb[2];
                bgr[1] = rgb[1];
                bgr[2] = rgb[0];
            }
        }
    }
}

}  // namespace

// ---- the library's entry points -------------------------------------------------------------------------------

ZCL_EXPORT int ZCL_SetStructVersion(int version)
{
    std::lock_guard lock(State().lock);
    return !Fails(State(), "ZCL_SetStructVersion") && version == kZclStructVersion;
}

ZCL_EXPORT int ZCL_SetCallBack(void (*)(void*), void*)
{
    std::lock_guard lock(State().lock);
    return !Fails(State(), "ZCL_SetCallBack");
}

ZCL_EXPORT int ZCL_Open(int64_t, int64_t, ZCL_HANDLE* handle)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    if (Fails(state, "ZCL_Open") || !state.present || !handle)
        return 0;
    *handle = &state.camera;
    ++state.openHandles;
    return 1;
}

ZCL_EXPORT int ZCL_CameraInfo(ZCL_HANDLE handle, ZclCameraInfo* info)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    if (Fails(state, "ZCL_CameraInfo") || handle != &state.camera || !info)
        return 0;
    std::memset(info, 0, sizeof *info);
    std::strcpy(info->vendor, "Simulated");
    std::strcpy(info->model, "KH-1300");
    info->serial = 1300;
    return 1;
}

ZCL_EXPORT int ZCL_SetCameraMode(ZCL_HANDLE handle, int mode)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    state.lastMode = mode;
    if (Fails(state, "ZCL_SetCameraMode") || handle != &state.camera || !FindMode(mode))
        return 0;
    state.mode = mode;
    return 1;
}

ZCL_EXPORT int ZCL_NowCameraMode(ZCL_HANDLE handle, int* mode)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    if (Fails(state, "ZCL_NowCameraMode") || handle != &state.camera || !mode)
        return 0;
    *mode = state.mode;
    return 1;
}

ZCL_EXPORT int ZCL_GetImageInfo(ZCL_HANDLE handle, ZclImageInfo* info)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    const Mode* mode = FindMode(state.mode);
    if (Fails(state, "ZCL_GetImageInfo") || handle != &state.camera || !info || !mode)
        return 0;
    *info = ZclImageInfo{RawBytes(*mode), mode->width, mode->height, mode->code};
    return 1;
}

ZCL_EXPORT int ZCL_CreateConvHandle(ZCL_CONVHANDLE* conversion, int colourCode, int, int, uint32_t rawBytes)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    const Mode* mode = FindMode(colourCode);
    if (Fails(state, "ZCL_CreateConvHandle") || !conversion || !mode || rawBytes != RawBytes(*mode))
        return 0;
    state.converter = Converter{colourCode, mode->width, mode->height};
    *conversion = &state.converter;
    ++state.openHandles;
    return 1;
}

ZCL_EXPORT int ZCL_ColorConvSetBMPINFO(ZCL_CONVHANDLE conversion, int width, int height, BITMAPINFOHEADER* header)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    if (Fails(state, "ZCL_ColorConvSetBMPINFO") || conversion != &state.converter || !header
        || width != state.converter.width || height != state.converter.height)
        return 0;
    std::memset(header, 0, sizeof *header);
    header->biSize = sizeof *header;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biSizeImage = DWORD(width) * 3u * DWORD(height);
    return 1;
}

ZCL_EXPORT int ZCL_IsoAlloc(ZCL_HANDLE handle)
{
    std::lock_guard lock(State().lock);
    return !Fails(State(), "ZCL_IsoAlloc") && handle == &State().camera;
}

ZCL_EXPORT int ZCL_IsoStart(ZCL_HANDLE handle)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    state.lastFrame = Clock::now();
    return !Fails(state, "ZCL_IsoStart") && handle == &state.camera;
}

ZCL_EXPORT int ZCL_ImageReq(ZCL_HANDLE handle, uint8_t* buffer, uint32_t bytes)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    const Mode* mode = FindMode(state.mode);
    if (Fails(state, "ZCL_ImageReq") || handle != &state.camera || !buffer || !mode || bytes < RawBytes(*mode))
        return kZclImageError;
    state.requested = buffer;
    state.requestedBytes = bytes;
    return 0;
}

ZCL_EXPORT int ZCL_ImageComplete(ZCL_HANDLE handle, uint8_t* buffer)
{
    SimState& state = State();
    std::unique_lock lock(state.lock);
    if (Fails(state, "ZCL_ImageComplete") || handle != &state.camera || !buffer || buffer != state.requested)
        return kZclImageError;
    const uint64_t generation = state.abortGeneration;
    const auto deadline = Clock::now() + std::chrono::milliseconds(state.waitMs);
    ++state.waiting;
    struct Leave
    {
        int& waiting;
        ~Leave() { --waiting; }
    } leave{state.waiting};
    int seed = 0;
    if (state.manual) {
        state.signal.wait_until(lock, deadline, [&] {
            return !state.queued.empty() || state.unplugged || state.abortGeneration != generation;
        });
        if (state.unplugged || state.abortGeneration != generation)
            return kZclImageError;
        if (state.queued.empty())
            return kZclImageTimeout;
        seed = state.queued.front();
        state.queued.pop_front();
    } else {
        const auto due = state.lastFrame + std::chrono::milliseconds(state.frameMs);
        if (due > deadline) {
            state.signal.wait_until(lock, deadline, [&] { return state.unplugged; });
            return state.unplugged ? kZclImageError : kZclImageTimeout;
        }
        state.signal.wait_until(lock, due, [&] { return state.unplugged || state.abortGeneration != generation; });
        if (state.unplugged || state.abortGeneration != generation)
            return kZclImageError;
        state.lastFrame = std::max(due, Clock::now() - std::chrono::milliseconds(state.frameMs));
        seed = state.counter++;
    }
    const Mode* mode = FindMode(state.mode);
    if (!mode || state.requestedBytes < RawBytes(*mode))
        return kZclImageError;
    MakeRaw(*mode, seed, buffer);
    state.requested = nullptr;
    return 0;
}

ZCL_EXPORT int ZCL_ColorConvExec(ZCL_CONVHANDLE conversion, const uint8_t* raw, uint8_t* converted)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    const Mode* mode = FindMode(state.converter.colourCode);
    if (Fails(state, "ZCL_ColorConvExec") || conversion != &state.converter || !raw || !converted || !mode)
        return 0;
    Convert(*mode, raw, converted);
    return 1;
}

ZCL_EXPORT int ZCL_AbortImageReqAll(ZCL_HANDLE handle)
{
    SimState& state = State();
    {
        std::lock_guard lock(state.lock);
        ++state.calls["ZCL_AbortImageReqAll"];
        state.requested = nullptr;
        ++state.abortGeneration;
    }
    state.signal.notify_all();
    return handle == &state.camera;
}

ZCL_EXPORT int ZCL_IsoStop(ZCL_HANDLE handle)
{
    std::lock_guard lock(State().lock);
    return !Fails(State(), "ZCL_IsoStop") && handle == &State().camera;
}

ZCL_EXPORT int ZCL_IsoRelease(ZCL_HANDLE handle)
{
    std::lock_guard lock(State().lock);
    return !Fails(State(), "ZCL_IsoRelease") && handle == &State().camera;
}

// Closing always lets go of the handle, even when it reports a failure: the count of open handles stays true.
ZCL_EXPORT int ZCL_Close(ZCL_HANDLE handle)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    const bool failed = Fails(state, "ZCL_Close");
    if (handle != &state.camera)
        return 0;
    --state.openHandles;
    return !failed;
}

ZCL_EXPORT int ZCL_CloseConvHandle(ZCL_CONVHANDLE conversion)
{
    SimState& state = State();
    std::lock_guard lock(state.lock);
    ++state.calls["ZCL_CloseConvHandle"];
    if (conversion != &state.converter)
        return 0;
    --state.openHandles;
    return 1;
}

// ---- test controls ---------------------------------------------------------------------------------------------

ZCL_EXPORT void ZCLSIM_Reset()
{
    SimState& state = State();
    {
        std::lock_guard lock(state.lock);
        state.present = true;
        state.unplugged = false;
        state.manual = false;
        state.frameMs = 0;
        state.waitMs = 1000;
        state.lastMode = 0;
        state.mode = 19;
        state.counter = 0;
        ++state.abortGeneration;
        state.queued.clear();
        state.calls.clear();
        state.failNext.clear();
        state.openHandles = 0;
        state.requested = nullptr;
    }
    state.signal.notify_all();
}

ZCL_EXPORT void ZCLSIM_SetPresent(int present)
{
    std::lock_guard lock(State().lock);
    State().present = present != 0;
}

ZCL_EXPORT void ZCLSIM_FailNext(const char* entry)
{
    std::lock_guard lock(State().lock);
    if (entry)
        ++State().failNext[entry];
}

ZCL_EXPORT void ZCLSIM_SetManual(int manual)
{
    std::lock_guard lock(State().lock);
    State().manual = manual != 0;
}

ZCL_EXPORT void ZCLSIM_SetFrameInterval(int frameMs)
{
    std::lock_guard lock(State().lock);
    State().frameMs = std::max(0, frameMs);
}

ZCL_EXPORT void ZCLSIM_Push(int seed)
{
    {
        std::lock_guard lock(State().lock);
        State().queued.push_back(seed);
    }
    State().signal.notify_all();
}

ZCL_EXPORT void ZCLSIM_SetWait(int milliseconds)
{
    std::lock_guard lock(State().lock);
    State().waitMs = std::max(0, milliseconds);
}

ZCL_EXPORT void ZCLSIM_Unplug()
{
    {
        std::lock_guard lock(State().lock);
        State().unplugged = true;
    }
    State().signal.notify_all();
}

ZCL_EXPORT int ZCLSIM_Waiting()
{
    std::lock_guard lock(State().lock);
    return State().waiting;
}

ZCL_EXPORT int ZCLSIM_Calls(const char* entry)
{
    std::lock_guard lock(State().lock);
    auto found = State().calls.find(entry ? entry : "");
    return found == State().calls.end() ? 0 : found->second;
}

ZCL_EXPORT int ZCLSIM_OpenHandles()
{
    std::lock_guard lock(State().lock);
    return State().openHandles;
}

ZCL_EXPORT int ZCLSIM_LastMode()
{
    std::lock_guard lock(State().lock);
    return State().lastMode;
}

ZCL_EXPORT size_t ZCLSIM_ConvertedFrame(int code, int seed, uint8_t* out, size_t bytes)
{
    const Mode* mode = FindMode(code);
    if (!mode)
        return 0;
    std::string raw(RawBytes(*mode), '\0');
    MakeRaw(*mode, seed, reinterpret_cast<uint8_t*>(raw.data()));
    const size_t size = size_t(mode->width) * 3 * size_t(mode->height);
    if (out && bytes >= size)
        Convert(*mode, reinterpret_cast<const uint8_t*>(raw.data()), out);
    return size;
}
