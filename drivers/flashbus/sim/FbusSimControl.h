// Test controls of the simulated FBUS32 library (FBUS32.so built from sim/): the driver never calls them; a test
// resolves them with dlsym from the same loaded library. Built for tests, installed nowhere.
//
// The simulated board serves a DIB whose stored row s (bottom-up storage) holds, for pixel x, the bytes
// B = s & 0xFF, G = s >> 8, R = (x + frame) & 0xFF, frame counting the reads since the reset.
#pragma once

#include <cstdint>

extern "C" {
// A board that opens, has a signal with probe result 0x00000000 (640 x 480), and a clear call log.
using FBUSSIM_ResetFunction = void (*)();
using FBUSSIM_SetOpenStatusFunction = void (*)(int status);
using FBUSSIM_SetProbeFunction = void (*)(uint32_t result);
// The capture area ordinal 49 reports (0 x 0: the size of the last capture format).
using FBUSSIM_SetAreaFunction = void (*)(int width, int height);
// Reads (ordinals 49 and 72) wait while stalled (1) until the stall ends (0).
using FBUSSIM_StallReadsFunction = void (*)(int on);
// Reads waiting in a stall now.
using FBUSSIM_StalledReadsFunction = int (*)();
// Reads since the reset of a board that was not open (never opened, or closed under the read).
using FBUSSIM_ReadsWhileClosedFunction = int (*)();
// The calls since the reset, one per line: "<ordinal>(<arguments>)", e.g. "16(2,0,0,0)".
using FBUSSIM_CallLogFunction = const char* (*)();
}
