// A module load marker as the next start finds it in the user's state folder. Whatever it holds, the guard decides
// without harm; a module it lets load leaves nothing behind, and one it keeps off stays off without a second word.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "module/ModuleLoadGuard.h"

#include <filesystem>
#include <string>

VISTREL_FUZZ_TARGET(module_marker)
{
    static const std::string folder = FuzzScratchFolder() + "/markers/";
    static const std::string module = [] {
        const std::string path = FuzzScratchFolder() + "/Fuzzed.so";
        const uint8_t bytes[] = "module";
        WriteFuzzFile(path, bytes, sizeof bytes);
        return path;
    }();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string marker = folder + "plugin-Fuzzed.so";
    if (!WriteFuzzFile(marker, data, size))
        return 0;

    ModuleLoadGuard guard(folder, "plugin");
    bool told = false;
    const bool mayLoad = guard.MayLoad(module, [&](const ModuleLoadGuard::Crash& crash) {
        FuzzCheck(crash.modulePath == module, "a crash is told of the module asked about");
        told = true;
        return false;
    });
    ModuleLoadGuard nextStart(folder, "plugin");
    if (mayLoad) {
        FuzzCheck(!told, "a module that loads is not told of");
        { ModuleLoadGuard::Scope loading(guard, module); }
        FuzzCheck(nextStart.MayLoad(module, nullptr), "a load that went through leaves nothing behind");
    } else {
        FuzzCheck(!nextStart.MayLoad(module, [](const ModuleLoadGuard::Crash&) {
            FuzzCheck(false, "a crash is told of once");
            return false;
        }),
                  "a module kept off stays off");
    }
    std::filesystem::remove(marker, ignored);
    return 0;
}
