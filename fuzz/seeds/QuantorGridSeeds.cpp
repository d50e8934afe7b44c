// Seeds of the surface plot's readers: each file made by the tests' builders or by our own stream and BMP writers,
// behind the byte that picks its reader.
#include "FuzzSeeds.h"

#include "quantor/GridFiles.h"
#include "quantor/PackedDib.h"
#include "GridBytes.h"

#include <string>

namespace {

std::vector<uint8_t> For(uint8_t reader, const std::vector<uint8_t>& file)
{
    std::vector<uint8_t> seed{reader};
    seed.insert(seed.end(), file.begin(), file.end());
    return seed;
}

std::vector<uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

VISTREL_FUZZ_SEEDS(quantor_grids)
{
    using namespace quantor;
    FuzzSeedList seeds;
    seeds.push_back(For(0, quantor_test::SurferBinaryFile(3, 2)));
    seeds.push_back(For(1, Text("DSAA\n3 2\n0 9\n0 9\n10 20\n10 11 12\n13 14 15\n")));
    seeds.push_back(For(2, quantor_test::MultiGridFile('C', 2, 3, 2)));
    seeds.push_back(For(3, quantor_test::MultiGridFile('D', 2, 3, 2)));
    seeds.push_back(For(4, quantor_test::VolumeFile('E', 1, 2, 2, 3)));
    seeds.push_back(For(5, quantor_test::VolumeFile('F', 2, 2, 2, 2)));
    seeds.push_back(For(6, quantor_test::VolumeFile('V', 2, 2, 3, 2)));
    seeds.push_back(For(7, Text("header\n5 5 1 first\n10 0 -2 second\n")));

    GridScene surface;
    const auto multi = quantor_test::MultiGridFile('D', 2, 3, 2);
    LoadMultiGrid(multi.data(), multi.size(), 'D', surface);
    surface.m_arrGrids[0].m_arrMarkers.push_back({0.25f, -0.25f, 1.0f, 7, "label"});
    seeds.push_back(For(8, WriteSurfaceStream(surface)));
    GridScene volume;
    const auto file = quantor_test::VolumeFile('E', 1, 3, 2, 2);
    LoadVolume(file.data(), file.size(), 'E', volume);
    seeds.push_back(For(9, WriteVolumeStream(volume)));
    seeds.push_back(For(10, *BmpBytesOfDib(MakeDib(3, 2, 8))));
    seeds.push_back(For(10, *BmpBytesOfDib(MakeDib(5, 3, 24))));
    return seeds;
}
