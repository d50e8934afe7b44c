// Seeds of the program's own text files: an owner file with both sections and a version block with two
// translations, written by the program's INI writer.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"

#include "inifile/PrivateProfile.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

VISTREL_FUZZ_SEEDS(program_texts)
{
    const std::string oem = FuzzScratchFolder() + "/seed-oem.ini";
    std::remove(oem.c_str());
    WritePrivateProfileString("ENG", "title", "Scope One", oem.c_str());
    WritePrivateProfileString("ENG", "homepage", "https://example.com", oem.c_str());
    WritePrivateProfileString("KOR", "title", "\xED\x98\x84\xEB\xAF\xB8\xEA\xB2\xBD", oem.c_str());
    WritePrivateProfileString("KOR", "email", "\xC7\xD1\xB1\xB9@example.com", oem.c_str());

    const std::string version = FuzzScratchFolder() + "/seed.version";
    std::remove(version.c_str());
    WritePrivateProfileString("VersionInfo", "FileVersion", "4.5.2.7", version.c_str());
    WritePrivateProfileString("VersionInfo", "ProductVersion", "4.5.0.0", version.c_str());
    WritePrivateProfileString("VersionInfo", "Translation", "0412 04B0, 0409 04B0", version.c_str());
    WritePrivateProfileString("StringFileInfo\\041204B0", "ProductName", "\xED\x98\x84", version.c_str());
    WritePrivateProfileString("StringFileInfo\\040904B0", "ProductName", "Scope", version.c_str());
    return {ReadWholeFile(oem), ReadWholeFile(version)};
}
