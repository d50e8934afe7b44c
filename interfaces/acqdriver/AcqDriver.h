// The exports of a first-generation acquisition driver: one shared library per camera or frame grabber, loaded by
// the acquisition host with dlopen(RTLD_NOW | RTLD_LOCAL) and called only through these plain C functions. Host and
// drivers both include this header, and the host takes its function-pointer types from it (AcqDriverExports.h), so
// the two cannot drift. Every export is declared with its full argument list and every driver defines all it
// offers with exactly these types: calling through a mismatched function type is undefined behaviour.
//
// Results are ints: ACQ_OK (1), ACQ_FAIL (0), and ACQ_NO_NEW_FRAME (9, only from ACQ_Acquire and
// ACQ_AcquireSnapshot). A host tests for `== ACQ_OK`; some drivers answer -1 for a failed open.
//
// Frame hand-over: the host passes a packed DIB it owns: a 40-byte BITMAPINFOHEADER it has filled for the frame
// it expects, a palette of biClrUsed entries (the host always leaves room for 256), then the rows, each
// AcqDibStride(biWidth, biBitCount) bytes, |biHeight| of them (a negative height marks top-down rows). The
// driver never writes the header and writes no byte outside the rows the header describes.
//
// Threads: the host may call ACQ_Acquire from another thread than the one calling ACQ_Setup or ACQ_Release.
// ACQ_Setup runs a modal dialog and ACQ_Initial may show message boxes: both on the host's UI thread.
#pragma once

#include "types/WinRecords.h"

#include <cstdint>

static_assert(sizeof(BITMAPINFOHEADER) == 40, "the hand-over header has the Windows layout");

// The owner window: an opaque handle (the program passes its window); drivers only store and return it.
using ACQ_HWND = void*;
// Called without arguments when the capture format changed (not per frame); the host then re-reads the size.
using ACQ_NotifyFunction = void (*)();
// The external-trigger callback; no first-generation driver calls it.
using ACQ_ExtTriggerFunction = void (*)();

constexpr int ACQ_FAIL = 0;
constexpr int ACQ_OK = 1;
constexpr int ACQ_NO_NEW_FRAME = 9;

// ACQ_GetCurrentMode values.
constexpr int ACQ_MODE_IDLE = 0;      // loaded, stopped or released
constexpr int ACQ_MODE_SETTING_UP = 1; // a set-up runs or the device is released (frame grabbers)
constexpr int ACQ_MODE_LIVE = 3;      // after ACQ_Overlay

// ACQ_GetHWType values.
constexpr int ACQ_HW_PLAIN = 0;
constexpr int ACQ_HW_STILL_BUFFER = 1;  // delivers still images through the host's buffer callback
constexpr int ACQ_HW_CAMERA = 2;

// ACQ_GetName and ACQ_GetServerAutoParam write into the caller's buffer without a size: the host always passes
// at least this many bytes, and a driver's name must fit in it with its terminating zero.
constexpr int ACQ_NAME_BUFFER_SIZE = 256;

#define ACQ_EXPORT extern "C" __attribute__((visibility("default")))

ACQ_EXPORT int ACQ_Initial(int param, ACQ_HWND owner, int extra);
ACQ_EXPORT int ACQ_AutoLoad(int reserved, int param, ACQ_HWND owner, int extra);
ACQ_EXPORT int ACQ_Release();
ACQ_EXPORT int ACQ_Setup();
ACQ_EXPORT int ACQ_Setting();
ACQ_EXPORT int ACQ_TranslateMessage();
ACQ_EXPORT int ACQ_IsOverlaySupport();
ACQ_EXPORT int ACQ_Overlay();
ACQ_EXPORT int ACQ_StopOverlay();
ACQ_EXPORT int ACQ_GetCurrentMode(int* mode);
ACQ_EXPORT int ACQ_Acquire(BITMAPINFOHEADER* dib);
ACQ_EXPORT int ACQ_AcquireSnapshot(BITMAPINFOHEADER* dib);
ACQ_EXPORT int ACQ_GetWidth(int* width);
ACQ_EXPORT int ACQ_GetHeight(int* height);
ACQ_EXPORT int ACQ_GetDepth(int* bitsPerPixel);
ACQ_EXPORT int ACQ_GetName(char* name);
ACQ_EXPORT int ACQ_GetHWType(int* type);
ACQ_EXPORT int ACQ_IsOwnerWindow();
ACQ_EXPORT ACQ_HWND ACQ_GetOwnerWindow();
ACQ_EXPORT int ACQ_SetDisplayWindow(ACQ_HWND window);
ACQ_EXPORT int ACQ_SetDisplayWindowPos();
ACQ_EXPORT int ACQ_GetDisplayWindowPos();
ACQ_EXPORT int ACQ_PutBitmap();
// Stores the callback (null switches notifications off). Answers the pointer's value; hosts must not use it.
ACQ_EXPORT intptr_t ACQ_SetNotityFunction(ACQ_NotifyFunction callback);
ACQ_EXPORT int ACQ_SetExtTriggerGrab(ACQ_ExtTriggerFunction callback);
ACQ_EXPORT int ACQ_GetServerAutoParam(char* text);
