// Writes every target's seeds into <folder>/<target>/seed-<n>, for scripts/fuzz.sh.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    EnsureFuzzApplication();
    for (const auto& [name, maker] : RegisteredFuzzSeeds()) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / name;
        std::filesystem::create_directories(folder);
        int n = 0;
        for (const std::vector<uint8_t>& seed : maker()) {
            const std::string path = (folder / ("seed-" + std::to_string(n++))).string();
            if (!WriteFuzzFile(path, seed.data(), seed.size())) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
        }
        std::printf("%s: %d seeds\n", name.c_str(), n);
    }
    return 0;
}
