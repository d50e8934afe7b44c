// Seeds of the module load marker reader: markers as the guard writes them while a module loads, and as it keeps
// them once the user was told (for a module of the seed tool's scratch folder: another process reads them as
// markers of another file).
#include "FuzzSeeds.h"
#include "FuzzSupport.h"

#include "module/ModuleLoadGuard.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

VISTREL_FUZZ_SEEDS(module_marker)
{
    const std::string folder = FuzzScratchFolder() + "/seed-markers/";
    const std::string module = FuzzScratchFolder() + "/Seeded.so";
    const uint8_t bytes[] = "module";
    WriteFuzzFile(module, bytes, sizeof bytes);
    const std::string marker = folder + "plugin-Seeded.so";

    FuzzSeedList seeds;
    ModuleLoadGuard guard(folder, "plugin");
    {
        ModuleLoadGuard::Scope loading(guard, module);
        loading.Step("PlgConnect");
        seeds.push_back(FileBytes(marker));
    }
    // The marker a crash would have left, then the one kept after the user chose to keep the module off.
    WriteFuzzFile(marker, seeds.back().data(), seeds.back().size());
    ModuleLoadGuard nextStart(folder, "plugin");
    nextStart.MayLoad(module, [](const ModuleLoadGuard::Crash&) { return false; });
    seeds.push_back(FileBytes(marker));
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::remove(module, ignored);
    return seeds;
}
