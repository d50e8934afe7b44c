// An extension module for the tests: ExtPlgConnect registers two run-once entries (indexes 0 and 1) and a resident
// one (index 2). A view's Run answers 1 on a non-empty image and 0 on an empty one, unless the test installed a run
// hook, which then decides (and may call back into the host while the view runs).
#include "framepool/CQvFramePool.h"
#include "qvimage/CQvImage.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/PlugInContract.h"

namespace {

using RunHook = int (*)(void* context, CPlgView* view, int index);
RunHook g_hook = nullptr;
void* g_hookContext = nullptr;
int g_connects = 0;

class CExtensionView : public CPlgView
{
public:
    explicit CExtensionView(int index) : m_index(index) {}

    int Run() override
    {
        if (g_hook)
            return g_hook(g_hookContext, this, m_index);
        const CQvImage& image = GetFramePool()->GetImage();
        return image.GetWidth() == 0 || image.GetHeight() == 0 ? 0 : 1;
    }

private:
    int m_index;
};

class CExtensionApp : public CPlgApplication
{
public:
    int CreatePlgView(int index, int /*reserved*/, CPlgView** out) override
    {
        if (index < 0 || index > 2)
            return 0;
        *out = new CExtensionView(index);
        return 1;
    }
};

CExtensionApp theApp;

}  // namespace

PLG_EXPORT CPlgApplication* ExtPlgConnect()
{
    ++g_connects;
    theApp.AddPlgInfo("Test Extension", "First", 1, 0, 0);
    theApp.AddPlgInfo("Test Extension", "Second", 1, 1, 0);
    theApp.AddPlgInfo("Test Extension", "Resident", 0, 2, 0);
    return &theApp;
}

PLG_EXPORT void TestExtSetRunHook(RunHook hook, void* context)
{
    g_hook = hook;
    g_hookContext = context;
}

PLG_EXPORT int TestExtConnectCount()
{
    return g_connects;
}

PLG_EXPORT int TestExtRegisteredCount()
{
    return static_cast<int>(theApp.GetPlgInfoList().size());
}
