#include "core/CAppEnvironment.h"
#include "core/CFileVersionInfo.h"

#include "CoreTestFolder.h"

#include <unistd.h>

namespace {
class CAppEnvironmentTest : public CoreTestFolder
{
protected:
    // A program file with a version block of the given translations.
    std::string ProgramWithVersion(const std::string& sidecar) const
    {
        const std::string program = Path("program/Vistrel");
        WriteBytes(program, "");
        WriteBytes(program + ".version", sidecar);
        return program;
    }
};

TEST(VersionTranslation, ChoiceFollowsTheUsersLanguageThenNeutralThenEnglish)
{
    using T = std::vector<VersionTranslation>;
    struct Case
    {
        T entries;
        LANGID user;
        int expected;
    };
    const Case cases[] = {
        {T{{0x0409, 1200}, {0x0412, 1200}}, 0x0412, 1},  // the user's language
        {T{{0x0809, 1200}, {0x0412, 949}}, 0x0409, 0},   // same primary language (low byte)
        {T{{0x0407, 1252}, {0x0000, 1200}}, 0x0412, 1},  // neutral
        {T{{0x0407, 1252}, {0x0809, 1200}}, 0x0412, 1},  // English
        {T{{0x0407, 1252}, {0x040C, 1252}}, 0x0412, 0},  // the first
        {T{}, 0x0412, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseVersionTranslation(c.entries, c.user), c.expected) << std::hex << c.user;
}

TEST_F(CAppEnvironmentTest, UiLanguageFollowsTheProgramsVersionBlock)
{
    struct Case
    {
        const char* translation;  // "" for a file without a block
        int language;
        LANGID uiLanguage;
    };
    const Case cases[] = {
        {"0412 04B0", CAppEnvironment::kLanguageKorean, UI_LANGUAGE_KOREAN},
        {"0409 04B0", CAppEnvironment::kLanguageEnglish, UI_LANGUAGE_ENGLISH},
        {"0407 04E4", CAppEnvironment::kLanguageEnglish, UI_LANGUAGE_ENGLISH},  // 1031
        {"0412 03B5, 0409 04B0", CAppEnvironment::kLanguageKorean, UI_LANGUAGE_KOREAN},
        {"", CAppEnvironment::kLanguageEnglish, UI_LANGUAGE_ENGLISH},
    };
    for (const Case& c : cases) {
        std::string program = Path("program/Vistrel");
        if (*c.translation != '\0')
            program = ProgramWithVersion(std::string("[VersionInfo]\nTranslation=") + c.translation + "\n");
        else
            std::filesystem::remove(program + ".version");
        CAppEnvironment environment;
        environment.Init(program);
        EXPECT_EQ(environment.GetLanguage(), c.language) << '"' << c.translation << '"';
        EXPECT_EQ(GetUiLanguage(), c.uiLanguage) << '"' << c.translation << '"';
    }
}

TEST_F(CAppEnvironmentTest, VersionBlockFromASidecarFile)
{
    const std::string program = ProgramWithVersion(
        "[VersionInfo]\nFileVersion=4.5.2.7\nProductVersion=1.2.3.65535\n"
        "Translation=0409 04B0, 0412 04B0\n"
        "[StringFileInfo\\040904B0]\nProductName=Scope\n"
        "LegalCopyright=(c) Maker\n"
        "[StringFileInfo\\041204B0]\nProductName=현미경\n");
    // The texts follow the user's language.
    const char* saved = getenv("LC_ALL");
    const std::string savedLocale = saved != nullptr ? saved : "";
    CFileVersionInfo korean;
    CFileVersionInfo english;
    setenv("LC_ALL", "ko_KR.UTF-8", 1);
    const int koreanRead = korean.Create(program);
    setenv("LC_ALL", "en_US.UTF-8", 1);
    const int englishRead = english.Create(program);
    if (saved != nullptr)
        setenv("LC_ALL", savedLocale.c_str(), 1);
    else
        unsetenv("LC_ALL");

    ASSERT_EQ(koreanRead, 1);
    ASSERT_EQ(englishRead, 1);
    EXPECT_EQ(korean.GetProductName(), "현미경");
    EXPECT_EQ(korean.GetLegalCopyright(), "");
    EXPECT_EQ(english.GetProductName(), "Scope");
    EXPECT_EQ(english.GetLegalCopyright(), "(c) Maker");
    // The file's own translation is the first, whichever texts were read.
    EXPECT_EQ(korean.GetLanguageId(), 0x0409);
    EXPECT_EQ(korean.GetCodePage(), 0x04B0);

    const int fileParts[] = {7, 2, 5, 4};
    const int productParts[] = {65535, 3, 2, 1};
    for (int part = 0; part < 4; ++part) {
        EXPECT_EQ(english.GetFileVersion(part), fileParts[part]) << part;
        EXPECT_EQ(english.GetProductVersion(part), productParts[part]) << part;
    }
    EXPECT_EQ(english.GetProductVersion(4), 0);
    EXPECT_EQ(english.GetProductVersion(-1), 0);
    EXPECT_EQ(english.GetFixedFileInfo().dwSignature, VS_FFI_SIGNATURE);
}

TEST_F(CAppEnvironmentTest, DamagedSidecarValuesAreIgnored)
{
    const std::string program = ProgramWithVersion(
        "[VersionInfo]\nFileVersion=1.2.3\nProductVersion=70000.0.0.0\nTranslation=0412, zz 04B0, 0412 04B0 1\n");
    CFileVersionInfo version;
    ASSERT_EQ(version.Create(program), 1);
    EXPECT_EQ(version.GetFixedFileInfo().dwSignature, 0u);
    EXPECT_EQ(version.GetProductVersion(3), 0);
    EXPECT_EQ(version.GetLanguageId(), 0);
    // A file without a sidecar that is not the program itself has no block, and the reader forgets the last one.
    EXPECT_EQ(version.Create(Path("elsewhere")), 0);
    EXPECT_EQ(version.GetLanguageId(), 0);
}

TEST_F(CAppEnvironmentTest, TheProgramItselfCarriesTheBuiltRecord)
{
    CFileVersionInfo version;
    ASSERT_EQ(version.Create("/proc/self/exe"), 1);
    EXPECT_TRUE(version.GetLanguageId() == 1033 || version.GetLanguageId() == 1042) << version.GetLanguageId();
    EXPECT_EQ(version.GetProductName(), "Vistrel Lite");
    EXPECT_EQ(version.GetProductVersionText(),
              std::to_string(version.GetProductVersion(3)) + "." + std::to_string(version.GetProductVersion(2)) + "." +
                  std::to_string(version.GetProductVersion(1)) + "." + std::to_string(version.GetProductVersion(0)));
}

TEST_F(CAppEnvironmentTest, GettersAnswerNothingBeforeInit)
{
    const CAppEnvironment environment;
    std::string path = "untouched";
    EXPECT_EQ(environment.GetInstallFolder(path), 0);
    EXPECT_EQ(environment.GetInstallFolder(path, "OEM/OEM.INI"), 0);
    EXPECT_EQ(environment.GetTempFolder(path), 0);
    EXPECT_EQ(environment.GetCalibrationFolder(path), 0);
    EXPECT_EQ(environment.GetModuleFolder(path), 0);
    EXPECT_EQ(environment.GetModuleTitle(path), 0);
    EXPECT_EQ(path, "untouched");
    EXPECT_EQ(environment.GetFolder(AppFolder::PlugIn), "");
    EXPECT_EQ(environment.GetResourcePath("report.rfg"), "");
    EXPECT_EQ(environment.GetLanguage(), CAppEnvironment::kLanguageEnglish);
}

TEST_F(CAppEnvironmentTest, FoldersHaveOneSpellingBelowTheRoot)
{
    CAppEnvironment environment;
    environment.Init(Path("program/Vistrel.bin"));
    const std::string root = Path("program/");
    const std::pair<AppFolder, const char*> folders[] = {
        {AppFolder::Install, ""},
        {AppFolder::Temp, "TEMP/"},
        {AppFolder::Codec, "components/CODEC/"},
        {AppFolder::PlugIn, "components/Plug-Ins/"},
        {AppFolder::SampleImage, "Sample Images/"},
        {AppFolder::Calibration, "Calibration/"},
        {AppFolder::Acquisition, "components/Acquisition/"},
        {AppFolder::Report, "components/Report/"},
        {AppFolder::UI, "components/UI/"},
        {AppFolder::Mensurix, "components/applications/Mensurix/"},
        {AppFolder::CustomReticle, "components/applications/CCX/"},
        {AppFolder::KZTemp, "components/applications/KZ/temp/"},
        {AppFolder::ImageTiling, "components/Plug-Ins/Image Tiling(64)/"},
    };
    for (const auto& [folder, below] : folders)
        EXPECT_EQ(environment.GetFolder(folder), root + below);

    std::string path;
    EXPECT_EQ(environment.GetCodecFolder(path), 1);
    EXPECT_EQ(path, root + "components/CODEC/");
    EXPECT_EQ(environment.GetInstallFolder(path, kOemIniName), 1);
    EXPECT_EQ(path, root + "OEM/OEM.INI");
    EXPECT_EQ(environment.GetModuleFolder(path), 1);
    EXPECT_EQ(path, root + "Vistrel.bin");
    EXPECT_EQ(environment.GetModuleTitle(path), 1);
    EXPECT_EQ(path, "Vistrel");

    // --root replaces the executable's folder.
    environment.Init(Path("program/Vistrel"), Path("other"));
    EXPECT_EQ(environment.GetFolder(AppFolder::Temp), Path("other/TEMP/"));
}

TEST_F(CAppEnvironmentTest, TheCalibrationFolderIsMadeBelowTheRootWhateverTheCurrentDirectory)
{
    std::filesystem::create_directories(Path("work/elsewhere"));
    std::filesystem::current_path(Path("work"));
    CAppEnvironment environment;
    environment.Init(Path("program/Vistrel"), "../root");  // a relative --root is taken from here
    std::filesystem::current_path(Path("work/elsewhere"));

    std::string folder;
    ASSERT_EQ(environment.GetCalibrationFolder(folder), 1);
    EXPECT_EQ(folder, Path("root/Calibration/"));
    EXPECT_TRUE(std::filesystem::is_directory(Path("root/Calibration")));
    EXPECT_FALSE(std::filesystem::exists(Path("work/elsewhere/Calibration")));
    EXPECT_FALSE(std::filesystem::exists(Path("work/Calibration")));
}

TEST_F(CAppEnvironmentTest, SystemFolders)
{
    std::string path;
    WriteBytes(Path("config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"" + Path("documents") + "\"\n");
    ASSERT_EQ(CAppEnvironment::GetMyDocumentsFolder(path), 1);
    EXPECT_EQ(path, Path("documents/"));
    EXPECT_TRUE(std::filesystem::is_directory(Path("documents")));

    ASSERT_EQ(CAppEnvironment::GetSystemTempPath(path), 1);
    EXPECT_EQ(path.back(), '/');
}
}  // namespace
