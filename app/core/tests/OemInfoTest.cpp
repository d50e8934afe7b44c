#include "core/OemInfo.h"

#include "strings/StoredText.h"

#include "CoreTestFolder.h"

namespace {
class OemInfoTest : public CoreTestFolder
{
protected:
    CAppEnvironment Environment() const
    {
        CAppEnvironment environment;
        environment.Init(Path("Vistrel"));
        return environment;
    }
    void WriteOem(const std::string& bytes) const { WriteBytes(Path(kOemIniName), bytes); }
};

TEST_F(OemInfoTest, ReadsBothSectionsAndDecodesAWindowsKoreanFile)
{
    // The KOR section as a Windows editor saved it: "한국 현미경" in CP949, CRLF lines.
    WriteOem(
        "[ENG]\r\ntitle=Scope One\r\ncopyright=(c) 2024 Maker\r\nemail=help@example.com\r\n"
        "homepage=https://example.com\r\nsplash_image_url=splash.bmp\r\naboutbox_title_url=about.bmp\r\n"
        "[KOR]\r\ntitle=\xC7\xD1\xB1\xB9 \xC7\xF6\xB9\xCC\xB0\xE6\r\nemail=kor@example.com\r\n");
    const tagOEM_INFO info = ReadOemInfo(Environment());
    EXPECT_EQ(info.present, 1);
    EXPECT_EQ(info.eng.title, "Scope One");
    EXPECT_EQ(info.eng.copyright, "(c) 2024 Maker");
    EXPECT_EQ(info.eng.email, "help@example.com");
    EXPECT_EQ(info.eng.homepage, "https://example.com");
    EXPECT_EQ(info.eng.splash_image_url, "splash.bmp");
    EXPECT_EQ(info.eng.aboutbox_title_url, "about.bmp");
    EXPECT_EQ(info.kor.title, "한국 현미경");
    EXPECT_EQ(info.kor.email, "kor@example.com");
    EXPECT_EQ(info.kor.copyright, "");
}

TEST_F(OemInfoTest, LongTextsAreCutBetweenCharacters)
{
    std::string longKorean;
    for (int i = 0; i < 300; ++i)
        longKorean += "가";
    WriteOem("[KOR]\ntitle=" + longKorean + "\n[ENG]\ntitle=" + std::string(300, 'a') + "\n");
    const tagOEM_INFO info = ReadOemInfo(Environment());
    // Cut inside a character, the UTF-8 text would have been taken for CP949 and decoded into garbage.
    EXPECT_EQ(info.kor.title, longKorean.substr(0, 3 * kOemTextLimit));
    EXPECT_TRUE(IsValidUtf8(info.kor.title));
    EXPECT_EQ(info.eng.title, std::string(kOemTextLimit, 'a'));
}

TEST_F(OemInfoTest, MissingFileOrRootLeavesEverythingEmpty)
{
    const tagOEM_INFO missing = ReadOemInfo(Environment());
    EXPECT_EQ(missing.present, 0);
    EXPECT_EQ(missing.eng.title, "");

    WriteOem("[ENG]\ntitle=x\n");
    EXPECT_EQ(ReadOemInfo(CAppEnvironment()).present, 0);
    // A folder in the file's place is no file.
    std::filesystem::remove(Path(kOemIniName));
    std::filesystem::create_directories(Path(kOemIniName));
    EXPECT_EQ(ReadOemInfo(Environment()).present, 0);
}
}  // namespace
