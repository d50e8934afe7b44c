#include "ScratchRegistry.h"

#include "FuzzSupport.h"

#include "profile/Registry.h"

#include <filesystem>

#include <stdlib.h>

const std::string& UseScratchRegistry()
{
    static const std::string storeFile = [] {
        const std::string home = FuzzScratchFolder() + "/config";
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (FuzzScratchFolder() + "/system").c_str(), 1);
        std::filesystem::create_directories(home + "/QRX");
        RegReloadStore();
        return home + "/QRX/registry-hkcu.reg";
    }();
    return storeFile;
}
