// The program's own text files below its root: the owner texts "OEM/OEM.INI" and a program file's ".version"
// block. Whatever the bytes, the owner texts come out as UTF-8 of at most the limit, and a version block without
// its fixed record gives no version numbers.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "core/CAppEnvironment.h"
#include "core/CFileVersionInfo.h"
#include "core/OemInfo.h"
#include "resources/UiLanguage.h"
#include "strings/StoredText.h"

#include <filesystem>
#include <string>

namespace {

size_t CharacterCount(const std::string& text)
{
    size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

void CheckText(const std::string& text)
{
    FuzzCheck(IsValidUtf8(text), "an owner text is UTF-8");
    FuzzCheck(CharacterCount(text) <= kOemTextLimit, "an owner text keeps to its limit");
}

void CheckTexts(const OEM_TEXTS& texts)
{
    for (const std::string* text : {&texts.title, &texts.copyright, &texts.email, &texts.homepage,
                                    &texts.splash_image_url, &texts.aboutbox_title_url})
        CheckText(*text);
}

}  // namespace

VISTREL_FUZZ_TARGET(program_texts)
{
    const std::string root = FuzzScratchFolder() + "/program/";
    std::filesystem::create_directories(root + "OEM");
    const std::string program = root + "Vistrel";
    if (!WriteFuzzFile(root + kOemIniName, data, size) || !WriteFuzzFile(program + ".version", data, size))
        return 0;

    const LANGID uiLanguage = GetUiLanguage();
    CAppEnvironment environment;
    environment.Init(program);
    SetUiLanguage(uiLanguage);

    const tagOEM_INFO info = ReadOemInfo(environment);
    FuzzCheck(info.present == 1, "an existing owner file is present");
    CheckTexts(info.eng);
    CheckTexts(info.kor);

    CFileVersionInfo version;
    FuzzCheck(version.Create(program) == 1, "a program file with a version file has a block");
    if (version.GetFixedFileInfo().dwSignature == 0)
        for (int part = 0; part < 4; ++part)
            FuzzCheck(version.GetFileVersion(part) == 0 && version.GetProductVersion(part) == 0,
                      "no fixed record, no version numbers");
    return 0;
}
