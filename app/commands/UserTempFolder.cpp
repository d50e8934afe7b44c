#include "commands/UserTempFolder.h"

#include "core/CAppEnvironment.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool OwnedPrivateFolder(const std::string& folder)
{
    struct stat info{};
    if (lstat(folder.c_str(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

}  // namespace

std::string UserTempFolder()
{
    std::string folder;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
        folder = std::string(runtime) + "/qrx-temp";
    } else {
        std::string system;
        CAppEnvironment::GetSystemTempPath(system);
        folder = system + "qrx-temp-" + std::to_string(getuid());
    }
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::string();
    if (!OwnedPrivateFolder(folder))
        return std::string();
    return folder + '/';
}
