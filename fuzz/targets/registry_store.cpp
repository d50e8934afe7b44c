// The user's registry store file, as the program finds it at start. Whatever loads must save and load again to
// the same keys and values.
#include "FuzzSupport.h"
#include "FuzzTarget.h"
#include "ScratchRegistry.h"

#include "inifile/FileBytes.h"
#include "profile/Registry.h"

#include <filesystem>

#include <string>
#include <vector>

namespace {

// Every key, value name, type and data under the key, depth first, as one text.
void Describe(HKEY key, const std::string& path, int depth, std::string& out)
{
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD nameSize = sizeof(name);
        DWORD type = 0;
        std::vector<BYTE> value(1 << 16);
        DWORD valueSize = static_cast<DWORD>(value.size());
        if (RegEnumValue(key, i, name, &nameSize, nullptr, &type, value.data(), &valueSize) != ERROR_SUCCESS)
            break;
        out += path + "|" + std::string(name, nameSize) + "|" + std::to_string(type) + "|" +
               std::string(reinterpret_cast<const char*>(value.data()), valueSize) + "\n";
    }
    if (depth > 64)
        return;
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD nameSize = sizeof(name);
        if (RegEnumKeyEx(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        const std::string child(name, nameSize);
        out += path + "/" + child + "\n";
        HKEY sub = nullptr;
        const LONG opened = RegOpenKeyEx(key, child.c_str(), 0, KEY_READ, &sub);
        FuzzCheck(opened == ERROR_SUCCESS, "every listed key opens by the name it is listed by");
        if (opened == ERROR_SUCCESS) {
            Describe(sub, path + "/" + child, depth + 1, out);
            RegCloseKey(sub);
        }
    }
}

std::string DescribeStore()
{
    std::string out;
    Describe(HKEY_CURRENT_USER, "", 0, out);
    return out;
}

}  // namespace

VISTREL_FUZZ_TARGET(registry_store)
{
    if (!WriteFuzzFile(UseScratchRegistry(), data, size))
        return 0;
    RegReloadStore();
    // A damaged file is kept as a copy before it is written again; the copies go, or they would pile up.
    for (const RegistryStoreProblem& problem : RegTakeStoreProblems()) {
        if (problem.kind != RegistryStoreProblem::Damaged || problem.copy.empty())
            continue;
        std::string copy;
        FuzzCheck(ReadFileBytes(problem.copy, copy) && copy == std::string(reinterpret_cast<const char*>(data), size),
                  "the copy of a damaged file is the file as it was found");
        std::filesystem::remove(problem.copy);
    }
    const std::string loaded = DescribeStore();

    // A write anywhere saves the whole store; the marker value is taken out again before comparing.
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, "VistrelFuzzMarker", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                       nullptr) != ERROR_SUCCESS)
        return 0;
    const DWORD one = 1;
    RegSetValueEx(key, "saved", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
    RegCloseKey(key);
    RegDeleteTree(HKEY_CURRENT_USER, "VistrelFuzzMarker");
    RegDeleteKey(HKEY_CURRENT_USER, "VistrelFuzzMarker");

    RegReloadStore();
    FuzzCheck(DescribeStore() == loaded, "load, save, load gives the same keys and values");
    return 0;
}
