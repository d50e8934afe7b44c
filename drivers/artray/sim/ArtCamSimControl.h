// Test controls of the simulated ARTRAY camera library (sim/ArtCamSim.cpp, built once per model under the model's
// library name): the driver never calls them; a test resolves them with dlsym from the same loaded library. Built
// for tests, installed nowhere.
//
// The simulated camera has the model's full sensor frame and writes 24-bit frames (or the depth ARTSIM_SetColorBits
// asks for) into the driver's buffer. A frame is identified by its seed: ArtSimPixel gives every pixel, which
// carries its own position, the seed and the model.
#pragma once

#include <cstdint>

extern "C" {
// Forgets every setting and counter: a present camera, version 1276, 24 bits, manual frames, dialogs answer OK.
using ARTSIM_ResetFunction = void (*)();
// The version ArtCam_GetDllVersion reports (high 16 bits set, which the driver must ignore).
using ARTSIM_SetVersionFunction = void (*)(int version);
// No camera: ArtCam_Initialize answers 0.
using ARTSIM_SetPresentFunction = void (*)(int present);
// What ArtCam_GetColorMode answers from now on.
using ARTSIM_SetColorBitsFunction = void (*)(int bits);
// How the library's dialogs close: nonzero OK, 0 Cancel.
using ARTSIM_SetDialogAnswerFunction = void (*)(int ok);
// Free-running: a frame every `intervalMs` while the capture runs (seeds 1, 2, ...); 0: only ARTSIM_Deliver.
using ARTSIM_SetFreeRunFunction = void (*)(int intervalMs);
// Writes the frame of `seed` into the driver's buffer and sends its message (complete: wParam 1, else 0); returns
// once the driver has handled it. 1 when a capture was running, else 0.
using ARTSIM_DeliverFunction = int (*)(int seed, int complete);
// Unplugged: the capture stops, no frame comes and ArtCam_Initialize answers 0 until the next reset.
using ARTSIM_UnplugFunction = void (*)();
// Calls of an entry point since the reset.
using ARTSIM_CallsFunction = int (*)(const char* entry);
// Camera handles open now; whether a capture (CallBackPreview without Close) runs.
using ARTSIM_OpenHandlesFunction = int (*)();
using ARTSIM_CapturingFunction = int (*)();
// The model's sensor: width, height; ArtCam_Height answers `reportedHeight` (0: the sensor's).
using ARTSIM_SetReportedHeightFunction = void (*)(int reportedHeight);
}

// Pixel (x, y) of frame `seed` of model `modelId` (B, G, R): B and G the low bytes of x and y, R mixes their high
// bits with the seed and the model, so a crop, a row step and a frame's identity all show in the bytes.
inline void ArtSimPixel(int modelId, int seed, int x, int y, uint8_t* bgr)
{
    bgr[0] = uint8_t(x);
    bgr[1] = uint8_t(y);
    bgr[2] = uint8_t((x >> 8) + ((y >> 8) << 3) + seed * 29 + modelId * 71);
}
