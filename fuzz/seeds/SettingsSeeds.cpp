// Seeds of the settings readers: the drawing defaults (profile image and stream record at each version), a
// calibration, a registry store and an INI file, each written by its own writer.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"
#include "ScratchRegistry.h"

#include "CCalibKeeper.h"
#include "CQvGObjectPropertyTotal.h"
#include "inifile/PrivateProfile.h"
#include "profile/Registry.h"

#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

VISTREL_FUZZ_SEEDS(property_image)
{
    return {CQvGObjectPropertyTotal().SaveMemoryImage()};
}

VISTREL_FUZZ_SEEDS(property_stream)
{
    FuzzSeedList seeds;
    const float versions[] = {1.0f, 1.1f, 1.2f, 1.3f, 1.4f, 1.5f};
    for (uint8_t i = 0; i < 6; ++i) {
        FuzzOutput out;
        CQvGObjectPropertyTotal().Write(out.file(), versions[i]);
        std::vector<uint8_t> seed{i};
        const std::vector<uint8_t> record = out.Contents();
        seed.insert(seed.end(), record.begin(), record.end());
        seeds.push_back(seed);
    }
    return seeds;
}

VISTREL_FUZZ_SEEDS(calib_record)
{
    CCalibKeeper calib;
    calib.SetName("x40 objective");
    calib.SetUnitsPerPixel(0.125);
    calib.SetUnit(4);
    calib.SetScaleLength(100);
    FuzzOutput out;
    calib.Write(out.file());
    return {out.Contents()};
}

VISTREL_FUZZ_SEEDS(registry_store)
{
    const std::string& file = UseScratchRegistry();
    HKEY key = nullptr;
    RegCreateKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\QRX\\Vistrel\\Settings", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                   &key, nullptr);
    const DWORD decimals = 3;
    const char text[] = "Tahoma \xea\xb0\x80 = [x] \\ %";
    const BYTE binary[] = {0, 1, 2, 0xFE, 0xFF, '\n', '"'};
    RegSetValueEx(key, "Decimals", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&decimals), sizeof(decimals));
    RegSetValueEx(key, "Face Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    RegSetValueEx(key, "Window", 0, REG_BINARY, binary, sizeof(binary));
    RegSetValueEx(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("default"), 8);
    RegCloseKey(key);
    RegCreateKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\QRX\\Vistrel\\Recent File List", 0, nullptr, 0, KEY_ALL_ACCESS,
                   nullptr, &key, nullptr);
    RegSetValueEx(key, "File1", 0, REG_SZ, reinterpret_cast<const BYTE*>("/home/u/a b.qrx"), 16);
    RegCloseKey(key);
    const FuzzSeedList seeds{ReadWholeFile(file)};
    RegDeleteTree(HKEY_CURRENT_USER, "SOFTWARE");
    return seeds;
}

VISTREL_FUZZ_SEEDS(ini_file)
{
    const std::string file = FuzzScratchFolder() + "/seed.ini";
    std::remove(file.c_str());
    WritePrivateProfileString("Options", "Decimals", "2", file.c_str());
    WritePrivateProfileString("Options", "Name", " spaced value ", file.c_str());
    WritePrivateProfileString("OEM", "Title", "Vistrel", file.c_str());
    WritePrivateProfileSection("Camera", "Dimension=1280x1024\0Mirror=0\0", file.c_str());
    return {ReadWholeFile(file)};
}
