// The ARTRAY library's entry points bound by name in version groups. The entries the driver calls are kept as typed
// pointers; the rest of each group is only looked up, so a library that lacks one of a group its version promises
// is refused whole.
#pragma once

#include "artray/ArtCamApi.h"
#include "artray/ArtrayModel.h"

#include <functional>
#include <vector>

// Looks an entry point up by name in the loaded library; null when it has none.
using ArtCamResolver = std::function<void*(const char* name)>;

struct ArtCamBinding
{
    uint16_t version = 0;
    int groups = 0;  // groups bound (0: nothing)
    ArtCam_InitializeFunction initialize = nullptr;
    ArtCam_ReleaseFunction release = nullptr;
    ArtCam_CloseFunction close = nullptr;
    ArtCam_SetPreviewWindowFunction setPreviewWindow = nullptr;
    ArtCam_SetColorModeFunction setColorMode = nullptr;
    ArtCam_GetColorModeFunction getColorMode = nullptr;
    ArtCam_SetSubSampleFunction setSubSample = nullptr;
    ArtCam_HeightFunction height = nullptr;
    ArtCam_CallBackPreviewFunction callBackPreview = nullptr;
    ArtCam_DialogFunction setCameraDlg = nullptr;
    ArtCam_DialogFunction setImageDlg = nullptr;
    ArtCam_DialogFunction setAnalogDlg = nullptr;
};

// Binds the groups the library's version asks for. The version entry is looked up on its own before any group (a
// library without it is refused), so the 200SH build's "group 1 only from version 1000" can be decided. False, with
// `binding` cleared, when an entry of a required group is missing.
bool BindArtCam(const ArtrayModel& model, const ArtCamResolver& resolve, ArtCamBinding& binding);

// Every entry name of group `group` (1..7) for this model; empty for a group the model does not bind.
const std::vector<const char*>& ArtCamGroupEntries(int group);
