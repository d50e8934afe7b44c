// The module's exports and its one application object.
#include "lumenor/LumenorOps.h"
#include "lumenor/LumenorViews.h"

#include "qvplglib/PlugInContract.h"
#include "resources/StringTable.h"

#include <exception>

namespace {

constexpr const char kModule[] = "Lumenor";

const StringTableRegistrar kStrings(kModule, {
    {1, "Image Enhance"},
    {2, "Invert"},
    {3, "Auto Contrast"},
    {4, "Auto Level"},
    {5, "Histogram Equalize"},
    {6, "Remove Noise"},
    {7, "Brightness Contrast"},
    {9, "Threshold"},
});

// Menu entries in index order: the string of each.
constexpr int kEntryStrings[lumenor::kEntryCount] = {2, 3, 4, 5, 6, 7, 9};

CEnhancePlgApp theApp;

}  // namespace

VISTREL_PLUGIN_CONTRACT()

PLG_EXPORT CPlgApplication* PlgConnect()
{
    const std::string group = LoadString(kModule, 1);
    for (int index = 0; index < lumenor::kEntryCount; ++index)
        theApp.AddPlgInfo(group.c_str(), LoadString(kModule, kEntryStrings[index]).c_str(), 1, index, 0);
    return &theApp;
}

PLG_EXPORT void PROGZUB_PARAMETER_SET(const char* mode)
{
    try {
        theApp.SetMode(mode);
    } catch (const std::exception&) {
        // Out of memory: the old mode stays, as the host has no way to hear of it.
    }
}

PLG_EXPORT void Median(CQvImage* frames, int count, CQvImage* result)
{
    if (result)
        lumenor::FrameMedian(frames, count, *result);
}
