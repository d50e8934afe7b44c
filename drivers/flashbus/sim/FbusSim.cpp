// The simulated FlashBus MV Lite board: FbusApi.h's calls over a generated frame, with a call log and test controls
// (FbusSimControl.h).
#include "flashbus/FbusApi.h"
#include "flashbus/sim/FbusSimControl.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>

#define FBUS_SIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Board
{
    std::mutex lock;
    std::condition_variable changed;
    bool open = false;
    bool stallReads = false;
    int stalledReads = 0;
    int readsWhileClosed = 0;
    int openStatus = 0;
    uint32_t probe = 0;
    int areaWidth = 0, areaHeight = 0;
    int formatWidth = 640, formatHeight = 480;
    int source[4] = {};
    int frame = 0;
    std::string log;
};

Board& TheBoard()
{
    static Board board;
    return board;
}

void Log(const std::string& call)
{
    TheBoard().log += call + "\n";
}

// Under the board's lock: a read waits out a stall, then counts when the board is not open.
void EnterRead(std::unique_lock<std::mutex>& guard)
{
    Board& b = TheBoard();
    ++b.stalledReads;
    b.changed.wait(guard, [&] { return !b.stallReads; });
    --b.stalledReads;
    if (!b.open)
        ++b.readsWhileClosed;
}

std::string Args(std::initializer_list<int> values)
{
    std::string text;
    for (int v : values)
        text += (text.empty() ? "" : ",") + std::to_string(v);
    return text;
}

}  // namespace

FBUS_SIM_EXPORT void FBUSSIM_Reset()
{
    Board& b = TheBoard();
    std::lock_guard guard(b.lock);
    b.openStatus = 0;
    b.probe = 0;
    b.areaWidth = b.areaHeight = 0;
    b.formatWidth = 640;
    b.formatHeight = 480;
    std::memset(b.source, 0, sizeof b.source);
    b.frame = 0;
    b.open = false;
    b.stallReads = false;
    b.readsWhileClosed = 0;
    b.log.clear();
    b.changed.notify_all();
}

FBUS_SIM_EXPORT void FBUSSIM_StallReads(int on)
{
    std::lock_guard g(TheBoard().lock);
    TheBoard().stallReads = on != 0;
    TheBoard().changed.notify_all();
}
FBUS_SIM_EXPORT int FBUSSIM_StalledReads() { std::lock_guard g(TheBoard().lock); return TheBoard().stalledReads; }
FBUS_SIM_EXPORT int FBUSSIM_ReadsWhileClosed() { std::lock_guard g(TheBoard().lock); return TheBoard().readsWhileClosed; }

FBUS_SIM_EXPORT void FBUSSIM_SetOpenStatus(int status) { std::lock_guard g(TheBoard().lock); TheBoard().openStatus = status; }
FBUS_SIM_EXPORT void FBUSSIM_SetProbe(uint32_t result) { std::lock_guard g(TheBoard().lock); TheBoard().probe = result; }
FBUS_SIM_EXPORT void FBUSSIM_SetArea(int width, int height)
{
    std::lock_guard g(TheBoard().lock);
    TheBoard().areaWidth = width;
    TheBoard().areaHeight = height;
}
FBUS_SIM_EXPORT const char* FBUSSIM_CallLog()
{
    return TheBoard().log.c_str();
}

FBUS_SIM_EXPORT int FBUS_Open()
{
    std::lock_guard g(TheBoard().lock);
    Log("2()");
    TheBoard().open = TheBoard().openStatus == 0;
    return TheBoard().openStatus;
}

FBUS_SIM_EXPORT int FBUS_Close()
{
    std::lock_guard g(TheBoard().lock);
    Log("3()");
    TheBoard().open = false;
    return 0;
}

FBUS_SIM_EXPORT int FBUS_Probe(int mode, uint32_t* result)
{
    std::lock_guard g(TheBoard().lock);
    Log("76(" + Args({mode}) + ")");
    if (result)
        *result = TheBoard().probe;
    return TheBoard().probe == kFbusNoSignal ? int(kFbusNoSignal) : 0;
}

FBUS_SIM_EXPORT int FBUS_SelectSource(int input, int format, int third, int fourth)
{
    std::lock_guard g(TheBoard().lock);
    Log("16(" + Args({input, format, third, fourth}) + ")");
    Board& b = TheBoard();
    b.source[0] = input;
    b.source[1] = format;
    b.source[2] = third;
    b.source[3] = fourth;
    return 0;
}

FBUS_SIM_EXPORT int FBUS_GetInput() { std::lock_guard g(TheBoard().lock); return TheBoard().source[0]; }
FBUS_SIM_EXPORT int FBUS_GetSignalFormat() { std::lock_guard g(TheBoard().lock); return TheBoard().source[1]; }
FBUS_SIM_EXPORT int FBUS_GetThirdParameter() { std::lock_guard g(TheBoard().lock); return TheBoard().source[2]; }

FBUS_SIM_EXPORT int FBUS_SetCaptureFormat(int width, int height, int bits, int mode)
{
    std::lock_guard g(TheBoard().lock);
    Log("73(" + Args({width, height, bits, mode}) + ")");
    TheBoard().formatWidth = width;
    TheBoard().formatHeight = height;
    return 0;
}

FBUS_SIM_EXPORT int FBUS_Capture(int start, int mode)
{
    std::lock_guard g(TheBoard().lock);
    Log("32(" + Args({start, mode}) + ")");
    return 0;
}

FBUS_SIM_EXPORT int FBUS_Adjust(int number, int value)
{
    std::lock_guard g(TheBoard().lock);
    Log("29(" + Args({number, value}) + ")");
    return 0;
}

FBUS_SIM_EXPORT int FBUS_GetCaptureArea(int mode, int* a, int* b, int* width, int* height)
{
    std::unique_lock g(TheBoard().lock);
    EnterRead(g);
    Board& board = TheBoard();
    if (a)
        *a = mode;
    if (b)
        *b = 0;
    if (width)
        *width = board.areaWidth ? board.areaWidth : board.formatWidth;
    if (height)
        *height = board.areaHeight ? board.areaHeight : board.formatHeight;
    return 0;
}

FBUS_SIM_EXPORT int FBUS_ReadDib(int, int, int width, int height, int, uint8_t* buffer)
{
    std::unique_lock g(TheBoard().lock);
    EnterRead(g);
    if (!buffer || width < 1 || height < 1)
        return -1;
    Board& b = TheBoard();
    const int frame = b.frame++;
    std::memset(buffer, 0, 40);
    buffer[0] = 40;
    const int stride = (width * 3 + 3) / 4 * 4;
    for (int s = 0; s < height; ++s) {
        uint8_t* row = buffer + 40 + s * stride;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uint8_t(s & 0xFF);
            row[3 * x + 1] = uint8_t(s >> 8);
            row[3 * x + 2] = uint8_t((x + frame) & 0xFF);
        }
    }
    return 0;
}
