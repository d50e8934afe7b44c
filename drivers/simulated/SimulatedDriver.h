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
// Queues one frame (as SIM_Deliver takes it): queued frames reach the device one by one, each only after the
// host took the one before, so a test knows exactly which frames a series of acquisitions gets.
using SIM_QueueFunction = int (*)(const uint8_t* data, size_t bytes);
// The device breaks off as an unplugged camera does: from now until the next open ACQ_Acquire and
// ACQ_AcquireSnapshot answer 0; with `keepSizes` 0 the sizes also drop to -1, otherwise the old ones stay.
using SIM_UnplugFunction = void (*)(int keepSizes);
// What ACQ_GetHWType answers.
using SIM_SetHWTypeFunction = void (*)(int type);
}
