// The simulated U2 capture board: MvuApi.h's calls over generated frames that arrive when a test delivers them,
// with a call log and test controls (MvuSimControl.h).
#include "u2/MvuApi.h"
#include "u2/sim/MvuSimControl.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#define MVU_SIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Buffer
{
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t*> rows;
};

struct Digitizer
{
    bool halted = false;
    MvuHandle buffer = 0;
};

struct Board
{
    std::mutex lock;
    std::condition_variable changed;
    int driverVersion = 0x0100;
    bool failBuffer = false, failDigitizer = false;
    bool freeRunning = false, unplugged = false, stalled = false;
    int pending = 0;
    int frames = 0;
    // The clock: frames come at start + k x interval; `taken` is the last k handed out.
    std::chrono::microseconds interval{0};
    std::chrono::steady_clock::time_point start;
    long long taken = -1;
    int dropped = 0;
    int waiting = 0;
    MvuHandle nextHandle = 1;
    std::map<MvuHandle, std::unique_ptr<Buffer>> buffers;
    std::map<MvuHandle, Digitizer> digitizers;
    std::string log;
};

Board& TheBoard()
{
    static Board board;
    return board;
}

void Log(const std::string& call, std::initializer_list<long long> values)
{
    std::string text;
    for (long long v : values)
        text += (text.empty() ? "" : ",") + std::to_string(v);
    TheBoard().log += call + "(" + text + ")\n";
}

void WriteFrame(Buffer& buffer, int frame, bool firstRowOnly = false)
{
    for (int y = 0; y < (firstRowOnly ? 1 : buffer.height); ++y) {
        uint8_t* row = buffer.rows[static_cast<size_t>(y)];
        for (int x = 0; x < buffer.width; ++x) {
            row[3 * x] = uint8_t(y & 0xFF);
            row[3 * x + 1] = uint8_t(y >> 8);
            row[3 * x + 2] = uint8_t((x + frame) & 0xFF);
        }
    }
}

}  // namespace

MVU_SIM_EXPORT void MVUSIM_Reset()
{
    Board& b = TheBoard();
    std::lock_guard guard(b.lock);
    b.driverVersion = 0x0100;
    b.failBuffer = b.failDigitizer = false;
    b.freeRunning = b.unplugged = b.stalled = false;
    b.pending = 0;
    b.frames = 0;
    b.interval = std::chrono::microseconds(0);
    b.taken = -1;
    b.dropped = 0;
    b.log.clear();
    b.changed.notify_all();
}

MVU_SIM_EXPORT void MVUSIM_SetDriverVersion(int version) { std::lock_guard g(TheBoard().lock); TheBoard().driverVersion = version; }

MVU_SIM_EXPORT void MVUSIM_FailAlloc(int buffer, int digitizer)
{
    std::lock_guard g(TheBoard().lock);
    TheBoard().failBuffer = buffer != 0;
    TheBoard().failDigitizer = digitizer != 0;
}

MVU_SIM_EXPORT void MVUSIM_Deliver(int frames)
{
    std::lock_guard g(TheBoard().lock);
    TheBoard().pending += frames;
    TheBoard().changed.notify_all();
}

MVU_SIM_EXPORT void MVUSIM_SetFreeRunning(int on)
{
    std::lock_guard g(TheBoard().lock);
    TheBoard().freeRunning = on != 0;
    TheBoard().changed.notify_all();
}

MVU_SIM_EXPORT void MVUSIM_SetFrameInterval(int microseconds)
{
    Board& b = TheBoard();
    std::lock_guard g(b.lock);
    b.interval = std::chrono::microseconds(microseconds > 0 ? microseconds : 0);
    b.start = std::chrono::steady_clock::now();
    b.taken = -1;
    b.dropped = 0;
    b.changed.notify_all();
}

MVU_SIM_EXPORT int MVUSIM_Dropped() { std::lock_guard g(TheBoard().lock); return TheBoard().dropped; }

MVU_SIM_EXPORT void MVUSIM_SetUnplugged(int on)
{
    std::lock_guard g(TheBoard().lock);
    TheBoard().unplugged = on != 0;
    TheBoard().changed.notify_all();
}

MVU_SIM_EXPORT void MVUSIM_SetStalled(int on)
{
    std::lock_guard g(TheBoard().lock);
    TheBoard().stalled = on != 0;
    TheBoard().changed.notify_all();
}

MVU_SIM_EXPORT int MVUSIM_Frames() { std::lock_guard g(TheBoard().lock); return TheBoard().frames; }

MVU_SIM_EXPORT int MVUSIM_Waiting() { std::lock_guard g(TheBoard().lock); return TheBoard().waiting; }

MVU_SIM_EXPORT int MVUSIM_LiveHandles()
{
    std::lock_guard g(TheBoard().lock);
    return int(TheBoard().buffers.size() + TheBoard().digitizers.size());
}

MVU_SIM_EXPORT const char* MVUSIM_CallLog() { return TheBoard().log.c_str(); }

MVU_SIM_EXPORT int sysGetDrvVer()
{
    std::lock_guard g(TheBoard().lock);
    Log("sysGetDrvVer", {});
    return TheBoard().driverVersion;
}

MVU_SIM_EXPORT MvuHandle bufAlloc(int width, int height, int type)
{
    Board& b = TheBoard();
    std::lock_guard g(b.lock);
    Log("bufAlloc", {width, height, type});
    if (b.failBuffer || width < 1 || height < 1)
        return 0;
    auto buffer = std::make_unique<Buffer>();
    buffer->width = width;
    buffer->height = height;
    buffer->pixels.assign(size_t(width) * 3 * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        buffer->rows.push_back(buffer->pixels.data() + size_t(y) * size_t(width) * 3);
    const MvuHandle handle = b.nextHandle++;
    b.buffers[handle] = std::move(buffer);
    return handle;
}

MVU_SIM_EXPORT int bufFree(MvuHandle buffer)
{
    std::lock_guard g(TheBoard().lock);
    Log("bufFree", {});
    return TheBoard().buffers.erase(buffer) ? 0 : -1;
}

MVU_SIM_EXPORT uint8_t** bufGetPtr2D(MvuHandle buffer)
{
    std::lock_guard g(TheBoard().lock);
    auto found = TheBoard().buffers.find(buffer);
    return found == TheBoard().buffers.end() ? nullptr : found->second->rows.data();
}

MVU_SIM_EXPORT MvuHandle digAlloc(const char* name)
{
    Board& b = TheBoard();
    std::lock_guard g(b.lock);
    b.log += std::string("digAlloc(") + (name ? name : "") + ")\n";
    if (b.failDigitizer || !name || std::strcmp(name, "dev0") != 0)
        return 0;
    const MvuHandle handle = b.nextHandle++;
    b.digitizers[handle] = Digitizer{};
    return handle;
}

MVU_SIM_EXPORT int digFree(MvuHandle digitizer)
{
    std::lock_guard g(TheBoard().lock);
    Log("digFree", {});
    TheBoard().changed.notify_all();
    return TheBoard().digitizers.erase(digitizer) ? 0 : -1;
}

MVU_SIM_EXPORT int digHalt(MvuHandle digitizer)
{
    Board& b = TheBoard();
    std::lock_guard g(b.lock);
    Log("digHalt", {});
    auto found = b.digitizers.find(digitizer);
    if (found == b.digitizers.end())
        return -1;
    found->second.halted = true;
    found->second.buffer = 0;
    b.changed.notify_all();
    return 0;
}

MVU_SIM_EXPORT int digChannel(MvuHandle, int input)
{
    std::lock_guard g(TheBoard().lock);
    Log("digChannel", {input});
    return 0;
}

MVU_SIM_EXPORT int digGrabContinuous(MvuHandle digitizer, MvuHandle buffer)
{
    Board& b = TheBoard();
    std::lock_guard g(b.lock);
    Log("digGrabContinuous", {});
    auto found = b.digitizers.find(digitizer);
    if (found == b.digitizers.end() || !b.buffers.count(buffer))
        return -1;
    found->second.halted = false;
    found->second.buffer = buffer;
    return 0;
}

MVU_SIM_EXPORT int digGrabWait(MvuHandle digitizer, int)
{
    Board& b = TheBoard();
    std::unique_lock g(b.lock);
    auto grabbing = [&]() -> Digitizer* {
        auto found = b.digitizers.find(digitizer);
        return found == b.digitizers.end() || found->second.halted || !found->second.buffer ? nullptr
                                                                                            : &found->second;
    };
    ++b.waiting;
    struct Leave { int& waiting; ~Leave() { --waiting; } } leave{b.waiting};
    if (b.interval.count() > 0) {
        // The next frame of the clock; those that came since the last one handed out were missed.
        const auto now = std::chrono::steady_clock::now();
        const long long due = (now - b.start) / b.interval;
        if (b.taken >= 0 && due > b.taken)
            b.dropped += int(due - b.taken);
        const long long next = std::max(due, b.taken) + 1;
        b.changed.wait_until(g, b.start + next * b.interval, [&] { return !grabbing() || b.unplugged; });
        Digitizer* d = grabbing();
        if (!d || b.unplugged)
            return -1;
        auto buffer = b.buffers.find(d->buffer);
        if (buffer == b.buffers.end())
            return -1;
        b.taken = next;
        WriteFrame(*buffer->second, b.frames, b.frames > 0);
        ++b.frames;
        return 0;
    }
    // A stalled board hears nothing, not even a halt.
    b.changed.wait(g, [&] { return !b.stalled; });
    b.changed.wait(g, [&] {
        return !grabbing() || b.unplugged || b.stalled || b.freeRunning || b.pending > 0 || b.interval.count() > 0;
    });
    b.changed.wait(g, [&] { return !b.stalled; });
    Digitizer* d = grabbing();
    if (!d || b.unplugged || (!b.freeRunning && b.pending < 1))
        return -1;
    auto buffer = b.buffers.find(d->buffer);
    if (buffer == b.buffers.end())
        return -1;
    if (b.pending > 0)
        --b.pending;
    WriteFrame(*buffer->second, b.frames++);
    return 0;
}

MVU_SIM_EXPORT int digReference(MvuHandle, int number, int value)
{
    std::lock_guard g(TheBoard().lock);
    Log("digReference", {number, value});
    return 0;
}
