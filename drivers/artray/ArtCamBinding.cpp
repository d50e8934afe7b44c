#include "artray/ArtCamBinding.h"

#include <vector>

namespace {

const std::vector<const char*> kGroups[7] = {
    {"ArtCam_GetDllVersion", "ArtCam_GetLastError", "ArtCam_Initialize", "ArtCam_Release", "ArtCam_Preview",
        "ArtCam_Record", "ArtCam_CallBackPreview", "ArtCam_Close", "ArtCam_SetPreviewWindow",
        "ArtCam_SetCaptureWindow", "ArtCam_SetCaptureWindowEx", "ArtCam_GetCaptureWindowEx", "ArtCam_SetColorMode",
        "ArtCam_GetColorMode", "ArtCam_SetCrossbar", "ArtCam_SetDeviceNumber", "ArtCam_EnumDevice",
        "ArtCam_GetDeviceName", "ArtCam_StartPreview", "ArtCam_StopPreview", "ArtCam_GetImage", "ArtCam_Width",
        "ArtCam_Height", "ArtCam_Fps", "ArtCam_SetCameraDlg", "ArtCam_SetImageDlg", "ArtCam_SetAnalogDlg"},
    {"ArtCam_SetIOPort", "ArtCam_GetIOPort", "ArtCam_SetFilterValue", "ArtCam_GetFilterValue", "ArtCam_SnapShot",
        "ArtCam_SetSubSample", "ArtCam_GetSubSample", "ArtCam_SetWaitTime", "ArtCam_GetWaitTime"},
    {"ArtCam_SetMirrorV", "ArtCam_GetMirrorV", "ArtCam_SetMirrorH", "ArtCam_GetMirrorH", "ArtCam_SetBrightness",
        "ArtCam_GetBrightness", "ArtCam_SetContrast", "ArtCam_GetContrast", "ArtCam_SetHue", "ArtCam_GetHue",
        "ArtCam_SetSaturation", "ArtCam_GetSaturation", "ArtCam_SetSharpness", "ArtCam_GetSharpness",
        "ArtCam_SetBayerGainRGB", "ArtCam_GetBayerGainRGB", "ArtCam_SetBayerGainRed", "ArtCam_GetBayerGainRed",
        "ArtCam_SetBayerGainGreen", "ArtCam_GetBayerGainGreen", "ArtCam_SetBayerGainBlue",
        "ArtCam_GetBayerGainBlue", "ArtCam_SetBayerGainAuto", "ArtCam_GetBayerGainAuto", "ArtCam_SetGamma",
        "ArtCam_GetGamma", "ArtCam_SetBayerMode", "ArtCam_GetBayerMode", "ArtCam_SetGlobalGain",
        "ArtCam_GetGlobalGain", "ArtCam_SetColorGainRed", "ArtCam_GetColorGainRed", "ArtCam_SetColorGainGreen1",
        "ArtCam_GetColorGainGreen1", "ArtCam_SetColorGainGreen2", "ArtCam_GetColorGainGreen2",
        "ArtCam_SetColorGainBlue", "ArtCam_GetColorGainBlue", "ArtCam_SetExposureTime", "ArtCam_GetExposureTime"},
    {"ArtCam_Capture"},
    {"ArtCam_Trigger", "ArtCam_SaveImage", "ArtCam_SetHalfClock", "ArtCam_GetHalfClock", "ArtCam_SetAutoIris",
        "ArtCam_GetAutoIris"},
    {"ArtCam_SetSamplingRate", "ArtCam_GetSamplingRate", "ArtCam_GetVideoFormat"},
    {"ArtCam_WriteSromID", "ArtCam_ReadSromID"},
};

constexpr unsigned kThresholds[7] = {0, 1230, 1240, 1250, 1260, 1275, 1276};

bool GroupRequired(const ArtrayModel& model, int group, uint16_t version)
{
    if (group == 1)
        return !model.bindsSromGroup || version >= 1000;
    if (group == 6 && !model.bindsVideoFormatGroup)
        return false;
    if (group == 7 && !model.bindsSromGroup)
        return false;
    return version >= kThresholds[group - 1];
}

template <typename Function>
Function As(void* entry)
{
    return reinterpret_cast<Function>(entry);
}

}  // namespace

const std::vector<const char*>& ArtCamGroupEntries(int group)
{
    return kGroups[group - 1];
}

bool BindArtCam(const ArtrayModel& model, const ArtCamResolver& resolve, ArtCamBinding& binding)
{
    binding = ArtCamBinding();
    const auto getVersion = As<ArtCam_GetDllVersionFunction>(resolve("ArtCam_GetDllVersion"));
    if (!getVersion)
        return false;
    const uint16_t version = uint16_t(uint32_t(getVersion()) & 0xFFFFu);
    ArtCamBinding bound;
    bound.version = version;
    for (int group = 1; group <= 7; ++group) {
        if (!GroupRequired(model, group, version))
            continue;
        for (const char* name : kGroups[group - 1])
            if (!resolve(name))
                return false;
        ++bound.groups;
    }
    if (GroupRequired(model, 1, version)) {
        bound.initialize = As<ArtCam_InitializeFunction>(resolve("ArtCam_Initialize"));
        bound.release = As<ArtCam_ReleaseFunction>(resolve("ArtCam_Release"));
        bound.close = As<ArtCam_CloseFunction>(resolve("ArtCam_Close"));
        bound.setPreviewWindow = As<ArtCam_SetPreviewWindowFunction>(resolve("ArtCam_SetPreviewWindow"));
        bound.setColorMode = As<ArtCam_SetColorModeFunction>(resolve("ArtCam_SetColorMode"));
        bound.getColorMode = As<ArtCam_GetColorModeFunction>(resolve("ArtCam_GetColorMode"));
        bound.height = As<ArtCam_HeightFunction>(resolve("ArtCam_Height"));
        bound.callBackPreview = As<ArtCam_CallBackPreviewFunction>(resolve("ArtCam_CallBackPreview"));
        bound.setCameraDlg = As<ArtCam_DialogFunction>(resolve("ArtCam_SetCameraDlg"));
        bound.setImageDlg = As<ArtCam_DialogFunction>(resolve("ArtCam_SetImageDlg"));
        bound.setAnalogDlg = As<ArtCam_DialogFunction>(resolve("ArtCam_SetAnalogDlg"));
    }
    if (GroupRequired(model, 2, version))
        bound.setSubSample = As<ArtCam_SetSubSampleFunction>(resolve("ArtCam_SetSubSample"));
    binding = bound;
    return true;
}
