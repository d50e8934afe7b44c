// The grabber library FBUS32 as the FlashBus driver calls it. The vendor's library is bound by ordinal; ELF has no
// ordinals, so the library here exports each call under the name of its role. The table gives ordinal -> role.
//
//   2 FBUS_Open() -> 0 on success          3 FBUS_Close()
//  76 FBUS_Probe(1, uint32* result) -> 0xFFFF without a signal, else the four source parameters (byte 0 first)
//  16 FBUS_SelectSource(input, signal format, third, fourth)
//  17 FBUS_GetInput()  18 FBUS_GetSignalFormat()  19 FBUS_GetThirdParameter()
//  73 FBUS_SetCaptureFormat(width, height, 24, 1)
//  32 FBUS_Capture(1 start / 0 stop, 2)
//  29 FBUS_Adjust(number, value): 0 hue, 1 saturation, 2 brightness, 3 contrast
//  49 FBUS_GetCaptureArea(2, int* a, int* b, int* width, int* height)
//  72 FBUS_ReadDib(0, 0, width, height, -32768, buffer): a 40-byte header, then rows bottom-up, 3 bytes per pixel,
//     each row width x 3 bytes rounded up to 4
#pragma once

#include <cstdint>

extern "C" {
using FBUS_OpenFunction = int (*)();
using FBUS_CloseFunction = int (*)();
using FBUS_ProbeFunction = int (*)(int, uint32_t*);
using FBUS_SelectSourceFunction = int (*)(int, int, int, int);
using FBUS_GetParameterFunction = int (*)();
using FBUS_SetCaptureFormatFunction = int (*)(int, int, int, int);
using FBUS_CaptureFunction = int (*)(int, int);
using FBUS_AdjustFunction = int (*)(int, int);
using FBUS_GetCaptureAreaFunction = int (*)(int, int*, int*, int*, int*);
using FBUS_ReadDibFunction = int (*)(int, int, int, int, int, uint8_t*);
}

constexpr uint32_t kFbusNoSignal = 0xFFFF;
