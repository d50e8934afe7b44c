// Test controls of the camera drivers, beside their ACQ_ exports: they stand a simulated camera in for the real
// one, so no test needs hardware. A test resolves them with dlsym from the loaded module (the types below).
// The simulated camera is listed under the driver's model name beside the real cameras; without a test call it is
// chosen by the environment variable VISTREL_SIMULATED_CAMERA ("ball": moving video, which ./run turns on; unset,
// empty or "off": none).
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
// The simulated camera the next open finds: kind "appsrc" (serves exactly the frames CAMIX_SimPush hands it,
// width x height, 32 bits), "ball" (moving test video of any size the driver asks for), "stall" (opens but never
// delivers a frame), or null / "off" (none). Overrides the environment variable.
using CAMIX_SimulateFunction = void (*)(const char* kind, int width, int height);
// One frame for the "appsrc" camera: top-down rows of B,G,R,X pixels, width x 4 bytes each. Waits (bounded) until
// the driver took it into its frame buffer; 1 when it did.
using CAMIX_SimPushFunction = int (*)(const uint8_t* data, size_t bytes);
// The "appsrc" camera fails as an unplugged camera does: its source reports an error mid-stream.
using CAMIX_SimUnplugFunction = void (*)();
// How long an open waits for the camera's first frame before it gives up (default 5000 ms).
using CAMIX_SetStartTimeoutFunction = void (*)(int milliseconds);
}
