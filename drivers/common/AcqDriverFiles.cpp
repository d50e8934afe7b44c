#include "common/AcqDriverFiles.h"

#include "strings/Format.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string OverrideFolder()
{
    const char* folder = std::getenv("VISTREL_DRIVER_SETTINGS");
    if (!folder || !*folder)
        return std::string();
    std::string path = folder;
    if (path.back() != '/')
        path += '/';
    return path;
}

std::string UserFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config)
        base = config;
    else if (const char* home = std::getenv("HOME"))
        base = std::string(home) + "/.config";
    else
        return std::string();
    return base + "/Vistrel/Acquisition/";
}

bool Writable(const std::string& path)
{
    return ::access(path.c_str(), W_OK) == 0;
}

}  // namespace

std::string AcqModuleFolder(const void* anchor)
{
    Dl_info info{};
    if (!anchor || !dladdr(anchor, &info) || !info.dli_fname)
        return std::string();
    std::error_code error;
    const std::filesystem::path module = std::filesystem::weakly_canonical(info.dli_fname, error);
    if (error)
        return std::string();
    std::string folder = module.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

namespace {

std::string SettingsReadPathIn(const std::string& folder, const std::string& fileName)
{
    const std::string override = OverrideFolder();
    if (!override.empty())
        return override + fileName;
    const std::string own = folder + fileName;
    const std::string user = UserFolder() + fileName;
    std::error_code error;
    // The driver folder's copy, unless it cannot be written and so the per-user copy holds the later choice.
    if (std::filesystem::exists(own, error) && Writable(own))
        return own;
    if (!UserFolder().empty() && std::filesystem::exists(user, error))
        return user;
    return own;
}

std::string SettingsWritePathIn(const std::string& folder, const std::string& fileName)
{
    const std::string override = OverrideFolder();
    if (!override.empty())
        return override + fileName;
    const std::string own = folder + fileName;
    std::error_code error;
    const bool exists = std::filesystem::exists(own, error);
    // The private-profile writer replaces the file through a temporary beside it: the folder must be writable too.
    if (!folder.empty() && Writable(folder) && (!exists || Writable(own)))
        return own;
    const std::string user = UserFolder();
    if (user.empty())
        return own;
    std::filesystem::create_directories(user, error);
    return user + fileName;
}

}  // namespace

std::string AcqSettingsReadPath(const void* anchor, const std::string& fileName)
{
    return SettingsReadPathIn(AcqModuleFolder(anchor), fileName);
}

std::string AcqSettingsWritePath(const void* anchor, const std::string& fileName)
{
    return SettingsWritePathIn(AcqModuleFolder(anchor), fileName);
}

std::string AcqProgramFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::string();
    std::string folder = program.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string AcqProgramSettingsReadPath(const std::string& fileName)
{
    return SettingsReadPathIn(AcqProgramFolder(), fileName);
}

std::string AcqProgramSettingsWritePath(const std::string& fileName)
{
    return SettingsWritePathIn(AcqProgramFolder(), fileName);
}

void* AcqLoadVendorLibrary(const void* anchor, const std::string& fileName, std::string& error)
{
    const std::string folder = AcqModuleFolder(anchor);
    if (!folder.empty()) {
        if (void* handle = dlopen((folder + fileName).c_str(), RTLD_NOW | RTLD_LOCAL))
            return handle;
    }
    if (void* handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL))
        return handle;
    const char* reason = dlerror();
    error = reason ? reason : fileName + ": not found";
    return nullptr;
}

std::string AcqVendorLibraryMissingOnce(bool& told, const std::string& format, const std::string& libraryName)
{
    if (told)
        return {};
    told = true;
    return Format(format.c_str(), libraryName.c_str());
}
