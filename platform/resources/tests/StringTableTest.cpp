#include "resources/StringTable.h"
#include "resources/UiLanguage.h"

#include <gtest/gtest.h>

namespace {

const StringTableRegistrar kLibraryStrings("TestLibrary", {
    {22, "ENG", "KOR"},
    {131, "Too small!!"},
    {120, "Object Properties...", ""},
});
const StringTableRegistrar kProgramStrings("TestProgram", {
    {767, nullptr, "\xED\x8C\x8C\xEC\x9D\xBC"},  // a module that has Korean text only
});

class StringTableTest : public ::testing::Test
{
protected:
    void TearDown() override { SetUiLanguage(UI_LANGUAGE_ENGLISH); }
};

}  // namespace

TEST_F(StringTableTest, GivesTheUiLanguageThenEnglishThenWhateverExists)
{
    struct Case { LANGID language; const char* module; uint32_t id; std::string text; };
    const Case cases[] = {
        {UI_LANGUAGE_ENGLISH, "TestLibrary", 22, "ENG"},
        {UI_LANGUAGE_KOREAN, "TestLibrary", 22, "KOR"},
        {UI_LANGUAGE_KOREAN, "TestLibrary", 131, "Too small!!"},
        {UI_LANGUAGE_KOREAN, "TestLibrary", 120, "Object Properties..."},
        {UI_LANGUAGE_ENGLISH, "TestProgram", 767, "\xED\x8C\x8C\xEC\x9D\xBC"},
        {UI_LANGUAGE_ENGLISH, "TestLibrary", 999, ""},
        {UI_LANGUAGE_ENGLISH, "TestProgram", 22, ""},
        {UI_LANGUAGE_ENGLISH, "NoSuchModule", 22, ""},
    };
    for (const Case& c : cases) {
        SetUiLanguage(c.language);
        EXPECT_EQ(GetUiLanguage(), c.language);
        EXPECT_EQ(LoadString(c.module, c.id), c.text) << c.module << " " << c.id << " in " << c.language;
    }
}

TEST_F(StringTableTest, AnUnloadedModuleLeavesNoStringsBehind)
{
    {
        const StringTableRegistrar plugIn("TestPlugIn", {{1, "first"}});
        const StringTableRegistrar sameModuleMore("TestPlugIn", {{2, "second"}});
        EXPECT_EQ(LoadString("TestPlugIn", 1), "first");
        EXPECT_EQ(LoadString("TestPlugIn", 2), "second");
    }
    EXPECT_EQ(LoadString("TestPlugIn", 1), "");
    EXPECT_EQ(LoadString("TestPlugIn", 2), "");
    EXPECT_EQ(LoadString("TestLibrary", 131), "Too small!!");
}

TEST_F(StringTableTest, TwoTextsForOneIdAreRecordedAsAClash)
{
    const std::vector<std::string> before = StringTableClashes();
    {
        const StringTableRegistrar first("TestClash", {{7, "seven"}, {8, "eight"}});
        const StringTableRegistrar same("TestClash", {{7, "seven"}});
        EXPECT_EQ(StringTableClashes(), before) << "the same text twice is no clash";
        const StringTableRegistrar other("TestClash", {{8, "acht"}});
        EXPECT_EQ(LoadString("TestClash", 8), "acht");
    }
    std::vector<std::string> expected = before;
    expected.push_back("TestClash:8");
    EXPECT_EQ(StringTableClashes(), expected);
}

TEST_F(StringTableTest, AWindowMayAskForItsOwnLanguage)
{
    SetUiLanguage(UI_LANGUAGE_ENGLISH);
    EXPECT_EQ(LoadString("TestLibrary", 22, UI_LANGUAGE_KOREAN), "KOR");
    EXPECT_EQ(LoadString("TestLibrary", 131, UI_LANGUAGE_KOREAN), "Too small!!");
    SetUiLanguage(UI_LANGUAGE_KOREAN);
    EXPECT_EQ(LoadString("TestLibrary", 22, UI_LANGUAGE_ENGLISH), "ENG");
    EXPECT_EQ(LoadString("TestProgram", 767, UI_LANGUAGE_ENGLISH), "\xED\x8C\x8C\xEC\x9D\xBC");
}

TEST_F(StringTableTest, AWalkSeesEveryTextOfEveryLoadedModule)
{
    const StringTableRegistrar plugIn("TestWalk", {{7, "seven", "KOR7"}, {3, "three"}});
    std::vector<RegisteredString> walked;
    for (const RegisteredString& entry : RegisteredStrings())
        if (entry.module == "TestWalk")
            walked.push_back(entry);
    ASSERT_EQ(walked.size(), 2u);
    EXPECT_EQ(walked[0].id, 3u);
    EXPECT_EQ(walked[0].english, "three");
    EXPECT_EQ(walked[0].korean, "");
    EXPECT_EQ(walked[1].id, 7u);
    EXPECT_EQ(walked[1].korean, "KOR7");
}
