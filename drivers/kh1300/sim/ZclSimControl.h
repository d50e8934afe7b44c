// Test controls of the simulated KH-1300 camera library (ZCL.so built from sim/): the driver never calls them; a
// test resolves them with dlsym from the same loaded library. Built for tests, installed nowhere.
//
// The simulated camera serves the mode codes of the KH-1300 (19 1600x1200, 15/16 1280x960, 11/12 1024x768, 7/8
// 800x600, 3/4 640x480; odd codes YUV 4:2:2, even RGB). A frame is identified by its seed: in the free-running
// camera the seed is the frame counter, a manual camera serves the seeds a test pushes.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
// Forgets every setting, counter and queued frame: a present, free-running camera, no failures.
using ZCLSIM_ResetFunction = void (*)();
// No camera at all: ZCL_Open fails.
using ZCLSIM_SetPresentFunction = void (*)(int present);
// The next call of the named entry point ("ZCL_SetCameraMode", ...) fails.
using ZCLSIM_FailNextFunction = void (*)(const char* entry);
// Manual: frames come only from ZCLSIM_Push; free-running: a new frame every `frameMs` (0: at once).
using ZCLSIM_SetManualFunction = void (*)(int manual);
using ZCLSIM_SetFrameIntervalFunction = void (*)(int frameMs);
using ZCLSIM_PushFunction = void (*)(int seed);
// How long ZCL_ImageComplete waits for a frame before it answers the time-out (default 1000 ms).
using ZCLSIM_SetWaitFunction = void (*)(int milliseconds);
// Unplugged: every call fails from now on, and a waiting ZCL_ImageComplete returns the error at once.
using ZCLSIM_UnplugFunction = void (*)();
// Calls of ZCL_ImageComplete waiting for a frame now.
using ZCLSIM_WaitingFunction = int (*)();
// Calls of an entry point since the reset.
using ZCLSIM_CallsFunction = int (*)(const char* entry);
// Camera and converter handles open now.
using ZCLSIM_OpenHandlesFunction = int (*)();
// The mode code last set.
using ZCLSIM_LastModeFunction = int (*)();
// The converted frame (24-bit DIB rows, bottom-up, width x 3 bytes each) of `seed` in `mode`; its size in bytes
// (0 for an unknown mode); writes at most `bytes`.
using ZCLSIM_ConvertedFrameFunction = size_t (*)(int mode, int seed, uint8_t* out, size_t bytes);
}
