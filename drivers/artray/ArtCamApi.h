// The entry points of the ARTRAY camera library (the ArtCamSdk family) that the driver binds by name, as the driver
// sees them on Linux.
//
// Library files: the vendor's "ArtCamSdk_<model>.dll" is looked for as "ArtCamSdk_<model>.so" (the same base name,
// the Linux extension, no "lib" prefix): first in the driver's folder, then on the library path. ArtraySdkFileName
// gives the name for a library type.
//
// The notification window: where the vendor library sends window message 0x8002 to a message-only window, here it
// is handed an ArtMessageTarget and calls its send function after each frame (wParam nonzero: the frame is
// complete). Sending returns once the window's own thread has handled the message, as a sent window message does:
// the library writes the next frame into the buffer it was given only then, so the driver's copy of a frame never
// meets the writing of the next. It may come from any thread of the library but never from the window's own.
#pragma once

#include <cstdint>

struct ArtMessageTarget
{
    // The window's answer: 0 when the message was not handled (or the window is closing).
    intptr_t (*send)(ArtMessageTarget* target, uint32_t message, uintptr_t wParam, intptr_t lParam);
};

constexpr uint32_t kArtFrameMessage = 0x8002;

using ArtCamHandle = void*;

extern "C" {
using ArtCam_GetDllVersionFunction = int32_t (*)();
using ArtCam_InitializeFunction = ArtCamHandle (*)(ArtMessageTarget* window);
using ArtCam_ReleaseFunction = int32_t (*)(ArtCamHandle camera);
using ArtCam_CloseFunction = int32_t (*)(ArtCamHandle camera);
using ArtCam_SetPreviewWindowFunction = int32_t (*)(ArtCamHandle camera, ArtMessageTarget* window, int32_t left,
    int32_t top, int32_t right, int32_t bottom);
using ArtCam_SetColorModeFunction = int32_t (*)(ArtCamHandle camera, int32_t bits);
using ArtCam_GetColorModeFunction = int32_t (*)(ArtCamHandle camera);
using ArtCam_SetSubSampleFunction = int32_t (*)(ArtCamHandle camera, int32_t subSample);
using ArtCam_HeightFunction = int32_t (*)(ArtCamHandle camera);
using ArtCam_CallBackPreviewFunction = int32_t (*)(ArtCamHandle camera, ArtMessageTarget* window, uint8_t* buffer,
    int32_t bytes, int32_t flags);
// The vendor's own settings dialogs, modal; nonzero when closed with OK.
using ArtCam_DialogFunction = int32_t (*)(ArtCamHandle camera, void* owner);
}
