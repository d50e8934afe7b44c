// The module's application object, its registration and the ResizeImage service.
#include "torsion/TransformOps.h"
#include "torsion/TransformViews.h"

#include "ipl/IplLib.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/PlugInContract.h"
#include "resources/StringTable.h"

#include <new>
#include <string>
#include <utility>

namespace {

constexpr const char kModule[] = "Torsion";

const StringTableRegistrar kStrings(kModule, {
    {1, "Geometric Transform"},
    {2, "Resize"},
    {3, "Rotate"},
    {4, "Flip Vertical"},
    {5, "Flip Horizontal"},
    {6, "Flip Both"},
});

// Menu index -> string id of the entry's text.
constexpr int kEntryStrings[] = {2, 3, 4, 5, 6};
constexpr int kEntryCount = static_cast<int>(sizeof(kEntryStrings) / sizeof(kEntryStrings[0]));

class CTransformPlgApp : public CPlgApplication
{
public:
    int CreatePlgView(int index, int /*reserved*/, CPlgView** out) override
    {
        CPlgView* view = nullptr;
        switch (index) {
        case 0: view = new (std::nothrow) CResizeView; break;
        case 1: view = new (std::nothrow) CRotateView; break;
        case 2: view = new (std::nothrow) CFlipVerticalView; break;
        case 3: view = new (std::nothrow) CFlipHorizontalView; break;
        case 4: view = new (std::nothrow) CFlipBothView; break;
        default: return 0;
        }
        if (!view)
            return 0;
        *out = view;
        return 1;
    }
};

CTransformPlgApp theApp;

}  // namespace

VISTREL_PLUGIN_CONTRACT()

PLG_EXPORT CPlgApplication* PlgConnect()
{
    const std::string group = LoadString(kModule, 1);
    for (int index = 0; index < kEntryCount; ++index)
        theApp.AddPlgInfo(group.c_str(), LoadString(kModule, kEntryStrings[index]).c_str(), 1, index, 0);
    return &theApp;
}

// The capture path calls this on every snapshot: `dst` was created at the wanted size. It takes the result's
// model (grey stays grey, other sources become 24-bit). A source that cannot be resized leaves `dst` as it was.
PLG_EXPORT int ResizeImage(CQvImage* src, CQvImage* dst)
{
    if (!src || !dst || dst->IsEmpty())
        return 1;
    CQvImage result;
    if (torsion::Resize(*src, dst->GetWidth(), dst->GetHeight(), kIplInterCubic, result))
        *dst = std::move(result);
    return 1;
}
