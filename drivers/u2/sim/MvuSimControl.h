// Test controls of the simulated MVULib (MVULib.so built from sim/): the driver never calls them; a test resolves
// them with dlsym from the same loaded library. Built for tests, installed nowhere.
//
// Frames come only when a test delivers them (or while free running). Frame n (counting from 0 since the reset)
// holds, for row y and pixel x, the bytes B = y & 0xFF, G = y >> 8, R = (x + n) & 0xFF.
#pragma once

extern "C" {
// A board with a driver, allocations that succeed, no frames pending and a clear call log.
using MVUSIM_ResetFunction = void (*)();
using MVUSIM_SetDriverVersionFunction = void (*)(int version);
// The next allocations of a buffer / a digitizer fail (1) or succeed (0).
using MVUSIM_FailAllocFunction = void (*)(int buffer, int digitizer);
// Makes `frames` more frames arrive, one per digGrabWait.
using MVUSIM_DeliverFunction = void (*)(int frames);
// A frame on every digGrabWait, without waiting for a delivery.
using MVUSIM_SetFreeRunningFunction = void (*)(int on);
// A board on its own clock (0: off): a frame every `microseconds` from now on, whoever waits for it. digGrabWait
// hands out the next one to come; frames that came while nobody waited are dropped and counted. Rows other than the
// first keep frame 0's pattern (the first row carries the frame number), so the board's own work stays small.
using MVUSIM_SetFrameIntervalFunction = void (*)(int microseconds);
// Frames a clocked board dropped since the interval was set.
using MVUSIM_DroppedFunction = int (*)();
// Unplugged: digGrabWait fails at once.
using MVUSIM_SetUnpluggedFunction = void (*)(int on);
// Stalled: digGrabWait hangs, deaf even to digHalt, until the stall ends.
using MVUSIM_SetStalledFunction = void (*)(int on);
// Frames written into grab buffers since the reset.
using MVUSIM_FramesFunction = int (*)();
// Threads waiting in digGrabWait now.
using MVUSIM_WaitingFunction = int (*)();
// Buffers and digitizers allocated and not yet freed.
using MVUSIM_LiveHandlesFunction = int (*)();
// The calls since the reset other than digGrabWait and bufGetPtr2D, one per line, e.g. "digReference(1,10)".
using MVUSIM_CallLogFunction = const char* (*)();
}
