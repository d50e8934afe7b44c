// The camera library the KH-1300 driver binds by name ("ZCL_" entry points). On Windows it is ZCL.dll; here the
// driver loads "ZCL.so" (the Windows module name with the .so suffix) from its own folder or the library path.
// Only the calls and records the driver relies on are described. Results: every call answers nonzero for success,
// except the two image calls (ZCL_ImageReq, ZCL_ImageComplete), which answer 0 for success and an error code
// otherwise; ZCL_ImageComplete waits a bounded time and then answers kZclImageTimeout.
#pragma once

#include "types/WinRecords.h"

#include <cstdint>

using ZCL_HANDLE = void*;
using ZCL_CONVHANDLE = void*;

constexpr int kZclStructVersion = 203;
// ZCL_ImageComplete: no frame came within the library's wait.
constexpr int kZclImageTimeout = 1;
// ZCL_ImageComplete / ZCL_ImageReq: the camera is gone or the transfer failed.
constexpr int kZclImageError = 2;

struct ZclCameraInfo
{
    char vendor[32];
    char model[32];
    uint32_t serial;
};

struct ZclImageInfo
{
    uint32_t rawBytes;    // bytes of one raw frame
    int32_t width;
    int32_t height;
    int32_t colourCode;   // the raw format, handed to the converter
};

extern "C" {
using ZCL_SetStructVersionFunction = int (*)(int version);
using ZCL_SetCallBackFunction = int (*)(void (*callback)(void* context), void* context);
using ZCL_OpenFunction = int (*)(int64_t unit, int64_t node, ZCL_HANDLE* handle);
using ZCL_CameraInfoFunction = int (*)(ZCL_HANDLE handle, ZclCameraInfo* info);
using ZCL_SetCameraModeFunction = int (*)(ZCL_HANDLE handle, int mode);
using ZCL_NowCameraModeFunction = int (*)(ZCL_HANDLE handle, int* mode);
using ZCL_GetImageInfoFunction = int (*)(ZCL_HANDLE handle, ZclImageInfo* info);
using ZCL_CreateConvHandleFunction = int (*)(ZCL_CONVHANDLE* conversion, int colourCode, int reserved, int order,
                                             uint32_t rawBytes);
// Describes the converter's output: a 24-bit DIB of width x height (rows bottom-up, biSizeImage set).
using ZCL_ColorConvSetBMPINFOFunction = int (*)(ZCL_CONVHANDLE conversion, int width, int height,
                                                BITMAPINFOHEADER* header);
using ZCL_IsoAllocFunction = int (*)(ZCL_HANDLE handle);
using ZCL_IsoStartFunction = int (*)(ZCL_HANDLE handle);
using ZCL_ImageReqFunction = int (*)(ZCL_HANDLE handle, uint8_t* buffer, uint32_t bytes);
using ZCL_ImageCompleteFunction = int (*)(ZCL_HANDLE handle, uint8_t* buffer);
using ZCL_ColorConvExecFunction = int (*)(ZCL_CONVHANDLE conversion, const uint8_t* raw, uint8_t* converted);
using ZCL_AbortImageReqAllFunction = int (*)(ZCL_HANDLE handle);
using ZCL_IsoStopFunction = int (*)(ZCL_HANDLE handle);
using ZCL_IsoReleaseFunction = int (*)(ZCL_HANDLE handle);
using ZCL_CloseFunction = int (*)(ZCL_HANDLE handle);
using ZCL_CloseConvHandleFunction = int (*)(ZCL_CONVHANDLE conversion);
}
