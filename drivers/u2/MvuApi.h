// The capture board's library MVULib as the U2 driver calls it, bound by name. Handles are opaque integers; 0 means
// none (an allocation that failed).
//
//   sysGetDrvVer() -> the board driver's version; 0 without a board driver
//   bufAlloc(width, height, kMvuBufferType) / bufFree(buffer)
//   bufGetPtr2D(buffer) -> the buffer's row pointers, one per row of height rows, each row width x 3 bytes
//   digAlloc("dev0") / digFree(digitizer) / digHalt(digitizer): halting ends a pending digGrabWait
//   digChannel(digitizer, input 0, 1 or 3)
//   digGrabContinuous(digitizer, buffer) / digGrabWait(digitizer, 0) -> 0 once the next frame is in the buffer
//   digReference(digitizer, number, value): 1 brightness, 2 contrast, 3 hue, 4 saturation
#pragma once

#include <cstdint>

extern "C" {
using MvuHandle = intptr_t;
using sysGetDrvVerFunction = int (*)();
using bufAllocFunction = MvuHandle (*)(int, int, int);
using bufFreeFunction = int (*)(MvuHandle);
using bufGetPtr2DFunction = uint8_t** (*)(MvuHandle);
using digAllocFunction = MvuHandle (*)(const char*);
using digFreeFunction = int (*)(MvuHandle);
using digHaltFunction = int (*)(MvuHandle);
using digChannelFunction = int (*)(MvuHandle, int);
using digGrabContinuousFunction = int (*)(MvuHandle, MvuHandle);
using digGrabWaitFunction = int (*)(MvuHandle, int);
using digReferenceFunction = int (*)(MvuHandle, int, int);
}

constexpr int kMvuBufferType = 0x1103;
