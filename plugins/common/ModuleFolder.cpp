#include "common/ModuleFolder.h"

#include <dlfcn.h>

std::string FolderOfModuleAt(const void* anchor)
{
    Dl_info info{};
    if (!dladdr(anchor, &info) || !info.dli_fname)
        return std::string();
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
