#include "resources/Language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(Language, FollowsTheLocaleVariablesInPriorityOrder)
{
    struct Case { const char* lcAll; const char* lang; LANGID expected; };
    const Case cases[] = {
        {"", "ko_KR.UTF-8", 0x0412},  {"", "ja_JP.UTF-8", 0x0411},     {"", "zh_TW.UTF-8", 0x0404},
        {"", "zh_CN.UTF-8", 0x0804},  {"", "de_DE.UTF-8", 0x0409},     {"", "C", 0x0409},
        {"ko_KR", "en_US.UTF-8", 0x0412},
    };
    const std::string savedAll = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    const std::string savedLang = std::getenv("LANG") ? std::getenv("LANG") : "";
    const std::string savedMessages = std::getenv("LC_MESSAGES") ? std::getenv("LC_MESSAGES") : "";
    unsetenv("LC_MESSAGES");
    for (const Case& c : cases) {
        setenv("LC_ALL", c.lcAll, 1);
        setenv("LANG", c.lang, 1);
        EXPECT_EQ(GetSystemDefaultLangID(), c.expected) << c.lcAll << " / " << c.lang;
    }
    setenv("LC_ALL", savedAll.c_str(), 1);
    setenv("LANG", savedLang.c_str(), 1);
    if (!savedMessages.empty())
        setenv("LC_MESSAGES", savedMessages.c_str(), 1);
}
