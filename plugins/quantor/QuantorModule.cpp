// The module's exports and its one application object.
#include "quantor/QuantorStrings.h"
#include "quantor/QuantorViews.h"

#include "qvplglib/PlugInContract.h"

#include <string>

namespace {

CSurfacePlotPlgApp theApp;

}  // namespace

VISTREL_PLUGIN_CONTRACT()

PLG_EXPORT CPlgApplication* PlgConnect()
{
    theApp.AddPlgInfo(quantor::QuantorString(quantor::IDS_GROUP).c_str(),
                      quantor::QuantorString(quantor::IDS_SURFACE_PLOT).c_str(), 1, 0, 0);
    return &theApp;
}
