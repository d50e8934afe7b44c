// A private-profile file (program settings, OEM and driver files). Whatever reads must read the same after a
// write to one key of another section.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "inifile/PrivateProfile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Each section's name and its lines, as GetPrivateProfileSection gives them.
std::string DescribeFile(const std::string& file)
{
    std::vector<char> names(1 << 16);
    const uint32_t length = GetPrivateProfileSectionNames(names.data(), static_cast<uint32_t>(names.size()),
                                                          file.c_str());
    std::string out;
    for (uint32_t at = 0; at < length;) {
        const std::string section(&names[at]);
        at += static_cast<uint32_t>(section.size()) + 1;
        std::vector<char> lines(1 << 16);
        const uint32_t size = GetPrivateProfileSection(section.c_str(), lines.data(),
                                                       static_cast<uint32_t>(lines.size()), file.c_str());
        out += "[" + section + "]" + std::string(lines.data(), size) + "\n";
    }
    return out;
}

}  // namespace

VISTREL_FUZZ_TARGET(ini_file)
{
    const std::string file = FuzzScratchFolder() + "/fuzz.ini";
    if (!WriteFuzzFile(file, data, size))
        return 0;
    const std::string before = DescribeFile(file);
    GetPrivateProfileInt("Options", "Decimals", 2, file.c_str());
    GetPrivateProfileString("Options", "Name", "none", file.c_str());

    const char* kSection = "VistrelFuzzMarker";
    if (!WritePrivateProfileString(kSection, "saved", "1", file.c_str()))
        return 0;
    const std::string after = DescribeFile(file);
    const std::string marker = std::string("[") + kSection + "]saved=1" + std::string(1, '\0') + "\n";
    // The marker section is new unless the file had one already: then only that section may differ. A NUL in
    // the file cuts the NUL-separated lists of names short, so the comparison would not see the new section.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool hasNul = text.find('\0') != std::string::npos;
    const bool hasMarker = std::search(text.begin(), text.end(), kSection, kSection + std::strlen(kSection),
                                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }) !=
                           text.end();
    if (!hasNul && !hasMarker)
        FuzzCheck(after == before + marker, "a write adds its section and changes nothing else");
    return 0;
}
