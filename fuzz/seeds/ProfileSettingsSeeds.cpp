// Seeds of the drivers' typed settings files, written by the settings class itself.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"

#include "kh1300/ProfileIni.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

VISTREL_FUZZ_SEEDS(profile_settings)
{
    const std::string file = FuzzScratchFolder() + "/seed_settings.ini";
    std::remove(file.c_str());
    const CProfileIni ini(file.c_str());
    ini.WriteInt("KH1300Zcl2", "Resolution", 2);
    const uint8_t bytes[] = {0x0A, 0xFF, 0x00, 0x7F};
    ini.WriteDataBlock("Blocks", "Data", bytes, sizeof bytes);
    ini.WriteRect("Blocks", "Rect", RECT{1, 2, 300, 400});
    ini.WritePoint("Blocks", "Point", POINT{-1, 5});
    ini.WriteDouble("Numbers", "Gain", 2.5, 3);
    ini.WriteInt("Numbers", "Mask", 0x2A, 2);
    ini.WriteBool("Numbers", "On", true);
    ini.WriteArray("Lists", "Names", {"one", "two", "three"}, -1, ";");
    return {FileBytes(file)};
}
