// The module's exports and its one application object.
#include "sieva/SievaStrings.h"
#include "sieva/SievaViews.h"

#include "qvplglib/PlugInContract.h"

#include <string>

namespace {

CFilterPlgApp theApp;

}  // namespace

VISTREL_PLUGIN_CONTRACT()

PLG_EXPORT CPlgApplication* PlgConnect()
{
    // The group's text names its one entry too.
    const std::string group = sieva::SievaString(sieva::IDS_IMAGE_FILTERS);
    theApp.AddPlgInfo(group.c_str(), group.c_str(), 1, 0, 0);
    return &theApp;
}
