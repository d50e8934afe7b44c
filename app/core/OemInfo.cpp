#include "core/OemInfo.h"

#include "core/CAppEnvironment.h"
#include "inifile/PrivateProfile.h"
#include "strings/StoredText.h"

#include <filesystem>
#include <system_error>

namespace {
// Cuts a UTF-8 text after `limit` characters, never inside one.
std::string FirstCharacters(const std::string& text, size_t limit)
{
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && characters++ == limit)
            return text.substr(0, i);
    }
    return text;
}

// The whole value is decoded before it is cut: a value cut first could end inside a UTF-8 character, which
// would make the text look Korean code page and decode it into garbage.
std::string ReadText(const char* section, const char* key, const std::string& file)
{
    return FirstCharacters(StoredTextToUtf8(GetPrivateProfileString(section, key, "", file.c_str())), kOemTextLimit);
}

void ReadSection(const char* section, const std::string& file, OEM_TEXTS& texts)
{
    texts.title = ReadText(section, "title", file);
    texts.copyright = ReadText(section, "copyright", file);
    texts.email = ReadText(section, "email", file);
    texts.homepage = ReadText(section, "homepage", file);
    texts.splash_image_url = ReadText(section, "splash_image_url", file);
    texts.aboutbox_title_url = ReadText(section, "aboutbox_title_url", file);
}
}  // namespace

tagOEM_INFO ReadOemInfo(const CAppEnvironment& environment)
{
    tagOEM_INFO info;
    std::string file;
    std::error_code error;
    if (!environment.GetInstallFolder(file, kOemIniName) || !std::filesystem::is_regular_file(file, error))
        return info;
    info.present = 1;
    ReadSection("ENG", file, info.eng);
    ReadSection("KOR", file, info.kor);
    return info;
}
