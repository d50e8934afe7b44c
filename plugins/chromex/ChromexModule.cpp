// The module's exports and its one application object.
#include "chromex/ChromexStrings.h"
#include "chromex/ChromexViews.h"

#include "qvplglib/PlugInContract.h"

#include <string>

namespace {

// Menu entries in index order: the string of each.
constexpr int kEntryStrings[chromex::kEntryCount] = {chromex::IDS_RGB_TO_GRAY, chromex::IDS_PSEUDO_COLOR};

CColorPlgApp theApp;

}  // namespace

VISTREL_PLUGIN_CONTRACT()

PLG_EXPORT CPlgApplication* PlgConnect()
{
    const std::string group = chromex::ChromexString(chromex::IDS_GROUP);
    for (int index = 0; index < chromex::kEntryCount; ++index)
        theApp.AddPlgInfo(group.c_str(), chromex::ChromexString(kEntryStrings[index]).c_str(), 1, index, 0);
    return &theApp;
}
