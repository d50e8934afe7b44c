#include "resources/Language.h"

#include <cstdlib>
#include <string>

namespace {

std::string LocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "C";
}

}  // namespace

LANGID GetSystemDefaultLangID()
{
    const std::string name = LocaleName();
    const std::string language = name.substr(0, name.find_first_of("_.@"));
    if (language == "ko")
        return 0x0412;
    if (language == "ja")
        return 0x0411;
    if (language == "zh") {
        const bool traditional = name.find("_TW") != std::string::npos || name.find("_HK") != std::string::npos;
        return traditional ? 0x0404 : 0x0804;
    }
    return 0x0409;
}
