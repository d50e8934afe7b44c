// Plug-ins that break the contract in one way each, for the loader's tests.
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/PlugInContract.h"

#include <cstdlib>
#include <stdexcept>

#ifndef BROKEN_NOVERSION
VISTREL_PLUGIN_CONTRACT()
#endif

#if defined(BROKEN_NULLAPPLICATION)
PLG_EXPORT CPlgApplication* PlgConnect()
{
    return nullptr;
}
#elif defined(BROKEN_THROWS)
PLG_EXPORT CPlgApplication* PlgConnect()
{
    throw std::runtime_error("no strings");
}
#elif defined(BROKEN_CRASHESINCONNECT)
PLG_EXPORT CPlgApplication* PlgConnect()
{
    std::abort();
}
#elif defined(BROKEN_CRASHESONLOAD)
namespace {
// Its constructor runs while the module is being loaded, before any export is looked up.
struct CrashOnLoad
{
    CrashOnLoad() { std::abort(); }
} crashOnLoad;
CPlgApplication theApp;
}  // namespace
PLG_EXPORT CPlgApplication* PlgConnect()
{
    return &theApp;
}
#elif defined(BROKEN_NOVERSION)
namespace {
CPlgApplication theApp;
}
PLG_EXPORT CPlgApplication* PlgConnect()
{
    theApp.AddPlgInfo("Unversioned", "Entry", 1, 0, 0);
    return &theApp;
}
#else
// BROKEN_MISSINGEXPORT: a module with some other export only.
PLG_EXPORT int ResizeImage(CQvImage*, CQvImage*)
{
    return 1;
}
#endif
