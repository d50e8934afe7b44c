#include "core/CAppEnvironment.h"

#include "core/CFileVersionInfo.h"
#include "resources/UiLanguage.h"

#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
std::string WithSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolder(const std::string& path)
{
    std::error_code error;
    fs::create_directories(path, error);
    return fs::is_directory(path, error);
}
}  // namespace

const char* AppFolderName(AppFolder folder)
{
    switch (folder) {
    case AppFolder::Install: return "";
    case AppFolder::Temp: return "TEMP/";
    case AppFolder::Codec: return "components/CODEC/";
    case AppFolder::PlugIn: return "components/Plug-Ins/";
    case AppFolder::SampleImage: return "Sample Images/";
    case AppFolder::Calibration: return "Calibration/";
    case AppFolder::Acquisition: return "components/Acquisition/";
    case AppFolder::Report: return "components/Report/";
    case AppFolder::UI: return "components/UI/";
    case AppFolder::Mensurix: return "components/applications/Mensurix/";
    case AppFolder::CustomReticle: return "components/applications/CCX/";
    case AppFolder::KZTemp: return "components/applications/KZ/temp/";
    case AppFolder::ImageTiling: return "components/Plug-Ins/Image Tiling(64)/";
    }
    return "";
}

void CAppEnvironment::Init(const std::string& programFile, const std::string& root)
{
    std::error_code error;
    const fs::path program = fs::absolute(programFile, error);
    m_programFile = program.lexically_normal().string();
    const fs::path folder = root.empty() ? program.parent_path() : fs::absolute(root, error);
    m_root = WithSlash(folder.lexically_normal().string());
    m_initialized = true;

    m_nLanguage = kLanguageEnglish;
    CFileVersionInfo version;
    if (version.Create(m_programFile)) {
        if (version.GetLanguageId() == UI_LANGUAGE_KOREAN)
            m_nLanguage = kLanguageKorean;
        else if (version.GetLanguageId() == UI_LANGUAGE_ENGLISH)
            m_nLanguage = kLanguageEnglish;
    }
    SetUiLanguage(m_nLanguage == kLanguageKorean ? UI_LANGUAGE_KOREAN : UI_LANGUAGE_ENGLISH);
}

std::string CAppEnvironment::GetFolder(AppFolder folder) const
{
    return m_initialized ? m_root + AppFolderName(folder) : std::string();
}

int CAppEnvironment::Get(AppFolder folder, std::string& path) const
{
    if (!m_initialized)
        return 0;
    path = GetFolder(folder);
    return 1;
}

int CAppEnvironment::GetInstallFolder(std::string& path, const std::string& below) const
{
    if (!m_initialized)
        return 0;
    path = m_root + below;
    return 1;
}

int CAppEnvironment::GetCalibrationFolder(std::string& path) const
{
    if (!m_initialized)
        return 0;
    path = GetFolder(AppFolder::Calibration);
    // The absolute path, not one relative to the current directory: start-up changes that directory, and a
    // plug-in may change it again.
    MakeFolder(path);
    return 1;
}

std::string CAppEnvironment::GetResourcePath(const std::string& relative) const
{
    return m_initialized ? m_root + relative : std::string();
}

int CAppEnvironment::GetModuleFolder(std::string& path) const
{
    if (!m_initialized)
        return 0;
    path = m_programFile;
    return 1;
}

std::string CAppEnvironment::GetProgramModuleFolder(AppFolder folder) const
{
    if (!m_initialized)
        return {};
    std::string programFolder = fs::path(m_programFile).parent_path().string();
    if (!programFolder.empty() && programFolder.back() != '/')
        programFolder += '/';
    return programFolder + AppFolderName(folder);
}

int CAppEnvironment::GetModuleTitle(std::string& title) const
{
    if (!m_initialized)
        return 0;
    title = fs::path(m_programFile).stem().string();
    return 1;
}

int CAppEnvironment::GetSystemTempPath(std::string& path)
{
    const char* folder = std::getenv("TMPDIR");
    path = WithSlash(folder != nullptr && *folder != '\0' ? folder : "/tmp");
    return 1;
}

int CAppEnvironment::GetMyDocumentsFolder(std::string& path)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return 0;
    const std::string folder = WithSlash(documents.toStdString());
    if (!MakeFolder(folder))
        return 0;
    path = folder;
    return 1;
}

CAppEnvironment& AppEnvironment()
{
    static CAppEnvironment environment;
    return environment;
}
