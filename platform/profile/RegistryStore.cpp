#include "profile/private/RegistryStore.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace {

std::string UserConfigFolder()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return configHome;
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : "/tmp";
    }
    return std::string(home) + "/.config";
}

std::string MachineStoreFile()
{
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string list = dirs && dirs[0] ? dirs : "/etc/xdg";
    std::string first;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t colon = std::min(list.find(':', start), list.size());
        const std::string dir = list.substr(start, colon - start);
        start = colon + 1;
        if (dir.empty() || dir[0] != '/')
            continue;
        const std::string file = dir + "/QRX/registry-hklm.reg";
        if (std::filesystem::exists(file))
            return file;
        if (first.empty())
            first = file;   // watched, so a file installed later is picked up
    }
    return first;
}

} // namespace

RegistryStore& RegistryStore::Instance()
{
    // Never destroyed: handles may still be closed from other objects' destructors at exit.
    static RegistryStore* const store = new RegistryStore;
    return *store;
}

RegistryStore::RegistryStore()
{
    Reload();
}

void RegistryStore::Reload()
{
    user_.Open(UserConfigFolder() + "/QRX/registry-hkcu.reg");
    machine_.Open(MachineStoreFile());
}

const RegistryKeyHandle* RegistryStore::Find(HKEY key) const
{
    if (key == HKEY_CURRENT_USER)
        return &userRoot_;
    if (key == HKEY_LOCAL_MACHINE)
        return &machineRoot_;
    const auto found = handles_.find(key);
    return found == handles_.end() ? nullptr : found->second.get();
}

HKEY RegistryStore::Add(RegistryKeyHandle handle)
{
    auto owned = std::make_unique<RegistryKeyHandle>(std::move(handle));
    const HKEY key = owned.get();
    handles_.emplace(key, std::move(owned));
    return key;
}

bool RegistryStore::Remove(HKEY key)
{
    return handles_.erase(key) > 0;
}

RegistryKey* RegistryStore::Resolve(const RegistryKeyHandle& handle, const std::vector<std::string>& subPath)
{
    handle.hive->Refresh();
    RegistryKey* key = &handle.hive->Root();
    for (const std::string& part : handle.path)
        if (!(key = key->Child(part)))
            return nullptr;
    for (const std::string& part : subPath)
        if (!(key = key->Child(part)))
            return nullptr;
    return key;
}
