// The module's exports and its one application object.
#include "caliper/CaliperMain.h"
#include "caliper/CaliperStrings.h"

#include "qvplglib/PlugInContract.h"

namespace {

CCaliperPlgApp theApp;

}  // namespace

VISTREL_PLUGIN_CONTRACT()

PLG_EXPORT CPlgApplication* PlgConnect()
{
    // The surface plot registers under the same group text, so both land in one sub-menu in every language.
    std::string group = caliper::Text(caliper::kStrImageAnalysis);
    if (group.empty())
        group = "Image Analysis";
    std::string item = caliper::Text(caliper::kStrCaliper);
    if (item.empty())
        item = "Caliper";
    // Flag 0: the host keeps the caliper attached to every document.
    theApp.AddPlgInfo(group.c_str(), item.c_str(), 0, 0, 0);
    return &theApp;
}
