// A driver's settings file read through the typed settings class: every reader on every key of every section,
// and the values a device gets stay within the range the reader was given.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "kh1300/ProfileIni.h"

#include <string>
#include <vector>

VISTREL_FUZZ_TARGET(profile_settings)
{
    const std::string file = FuzzScratchFolder() + "/settings.ini";
    if (!WriteFuzzFile(file, data, size))
        return 0;
    const CProfileIni ini(file.c_str());
    const int resolution = ini.GetIntInRange("KH1300Zcl2", "Resolution", 0, 0, 8);
    FuzzCheck(resolution >= 0 && resolution <= 8, "a range-checked value stays in its range");

    std::vector<uint8_t> block(64);
    for (const std::string& section : ini.GetSectionNames()) {
        for (const std::string& key : ini.GetKeyNames(section.c_str())) {
            const char* s = section.c_str();
            const char* k = key.c_str();
            ini.GetString(s, k, "default");
            for (const int base : {2, 8, 10, 16})
                ini.GetInt(s, k, 0, base);
            ini.GetBool(s, k, false);
            ini.GetDouble(s, k, 0.0);
            ini.GetChar(s, k, 'x');
            ini.GetPoint(s, k, POINT{});
            ini.GetRect(s, k, RECT{});
            ini.GetArray(s, k, ";");
            const int held = ini.GetDataBlock(s, k, nullptr, 0);
            const int read = ini.GetDataBlock(s, k, block.data(), int(block.size()), 1);
            FuzzCheck(read >= 0 && read <= int(block.size()) && (held == 0 || read <= held),
                      "a data block read stays within its buffer and the value");
            ini.KeyExists(s, k);
        }
        uint32_t needed = ini.GetSection(section.c_str(), nullptr, 0);
        FuzzCheck(needed >= 2, "a section's size counts its closing zeros");
    }
    return 0;
}
