// The program's folders and UI language. Every folder is a fixed sub-folder of the program root: the folder of the
// executable, or the folder given with --root. Paths use '/' and each folder path ends with '/'; a folder has one
// spelling (Linux tells "Components" from "components"), listed in AppFolderName. The root is made absolute when
// set, so a later change of the current directory moves no folder.
//
// Until Init every getter returns 0 (or an empty text) and leaves its out-argument untouched. Init once at start,
// on the UI thread, before other threads use it; after that any thread may call the getters.
#pragma once

#include <string>

enum class AppFolder
{
    Install,  // the program root itself
    Temp,
    Codec,
    PlugIn,
    SampleImage,
    Calibration,
    Acquisition,
    Report,
    UI,
    Mensurix,
    CustomReticle,  // components/applications/CCX/
    KZTemp,         // components/applications/KZ/temp/
    ImageTiling,    // components/Plug-Ins/Image Tiling(64)/
};

// The folder below the root ("TEMP/", "components/CODEC/", ...; "" for Install).
const char* AppFolderName(AppFolder folder);

// The owner texts file below the root.
constexpr const char* kOemIniName = "OEM/OEM.INI";

class CAppEnvironment
{
public:
    static constexpr int kLanguageKorean = 0;
    static constexpr int kLanguageEnglish = 1;

    // `programFile`: the executable's full path. `root`: the program root given on the command line, or empty for
    // the executable's folder. Reads the executable's version block: translation 1042 makes the UI Korean, any other
    // (or none) English; the UI language of the string tables (SetUiLanguage) follows.
    void Init(const std::string& programFile, const std::string& root = {});
    bool IsInitialized() const { return m_initialized; }

    // 0 Korean, 1 English (also before Init).
    int GetLanguage() const { return m_nLanguage; }

    // The path of `folder`, ending with '/'; "" before Init.
    std::string GetFolder(AppFolder folder) const;

    // 1 with the path in `path`; 0 before Init (then `path` is untouched).
    int GetInstallFolder(std::string& path) const { return Get(AppFolder::Install, path); }
    // The root plus a relative path ("OEM/OEM.INI", "report.rfg").
    int GetInstallFolder(std::string& path, const std::string& below) const;
    int GetTempFolder(std::string& path) const { return Get(AppFolder::Temp, path); }
    int GetCodecFolder(std::string& path) const { return Get(AppFolder::Codec, path); }
    int GetPlugInFolder(std::string& path) const { return Get(AppFolder::PlugIn, path); }
    int GetSampleImageFolder(std::string& path) const { return Get(AppFolder::SampleImage, path); }
    // Also creates the folder when it is missing.
    int GetCalibrationFolder(std::string& path) const;
    int GetAcquisitionFolder(std::string& path) const { return Get(AppFolder::Acquisition, path); }
    int GetReportFolder(std::string& path) const { return Get(AppFolder::Report, path); }
    int GetUIFolder(std::string& path) const { return Get(AppFolder::UI, path); }
    int GetMensurixFolder(std::string& path) const { return Get(AppFolder::Mensurix, path); }
    int GetCustomReticleFolder(std::string& path) const { return Get(AppFolder::CustomReticle, path); }
    int GetKZTempFolder(std::string& path) const { return Get(AppFolder::KZTemp, path); }
    int GetImageTilingFolder(std::string& path) const { return Get(AppFolder::ImageTiling, path); }

    // The root plus `relative` (callers append their own path); "" before Init.
    std::string GetResourcePath(const std::string& relative = {}) const;
    // The executable's full path.
    int GetModuleFolder(std::string& path) const;
    // `folder` below the executable's own folder, ending with '/'; "" before Init. Loadable modules (plug-ins,
    // extension modules) are binaries of the build and live beside the program, while GetFolder's folders are below
    // the root the user's data lives in (--root), whose module folders are empty.
    std::string GetProgramModuleFolder(AppFolder folder) const;
    // The executable's name without folder and extension.
    int GetModuleTitle(std::string& title) const;
    // The system's temporary folder ($TMPDIR, else /tmp), ending with '/'. Needs no Init.
    static int GetSystemTempPath(std::string& path);
    // The user's documents folder, ending with '/', created when missing; 0 when it cannot be made. Needs no Init.
    static int GetMyDocumentsFolder(std::string& path);

private:
    int Get(AppFolder folder, std::string& path) const;

    bool m_initialized = false;
    std::string m_programFile;
    std::string m_root;  // absolute, ending with '/'
    int m_nLanguage = kLanguageEnglish;
};

// The program's one environment, initialised by start-up.
CAppEnvironment& AppEnvironment();
