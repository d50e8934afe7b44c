// Test controls of the simulated first-generation driver, beside its ACQ_ exports. A test resolves them with
// dlsym from the loaded module (the types below), sets the device up, then hands it frames as a camera would.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
// The device the next open finds: present or not, and its frame format (a negative height: a device that
// reports top-down rows). A missing device makes ACQ_Initial show
// "There is no capture device!" and leaves the sizes at -1.
using SIM_SetDeviceFunction = void (*)(int present, int width, int height, int bitsPerPixel);
// One frame in device row order, stride x height bytes of the opened format; 1 when the driver took it.
using SIM_DeliverFunction = int (*)(const uint8_t* data, size_t bytes);
// What ACQ_GetHWType answers.
using SIM_SetHWTypeFunction = void (*)(int type);
}
