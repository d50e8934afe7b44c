// The program's settings file "VISTREL.INI" in the program root. Each call opens the file for itself (CIniFile).
// Before the program environment is initialised there is no root: reads give the defaults and writes fail, so
// nothing is ever read from or written to the current directory.
#pragma once

#include <cstdint>
#include <string>

constexpr const char* kVistrelIniName = "VISTREL.INI";

// The keys in use: section, key, default.
constexpr const char* kIniConfig = "CONFIG";
constexpr const char* kIniZoomFitMode = "ZoomFitMode";  // bool, true: new views fit the image to the window
constexpr const char* kIniFile = "FILE";
constexpr const char* kIniSaveDefExtIndex = "SaveDefExtIndex";  // int, -1: the save dialog's last filter
constexpr const char* kIniThumbnail = "THUMBNAIL";
constexpr const char* kIniLastSelFolder = "LastSelFolder";  // string, "": the thumbnail pane's folder

// The path of the file, "" before the environment is initialised.
std::string VistrelIniPath();

std::string GetIniString(const char* section, const char* key, const char* defaultValue);
int SetIniString(const char* section, const char* key, const char* value);
uint32_t GetIniInt(const char* section, const char* key, uint32_t defaultValue, int base = 10);
int SetIniInt(const char* section, const char* key, int32_t value, int base = 10);
int GetIniBool(const char* section, const char* key, int defaultValue);
int SetIniBool(const char* section, const char* key, int flag);

// The keys above with their defaults.
inline bool GetZoomFitMode()
{
    return GetIniBool(kIniConfig, kIniZoomFitMode, 1) != 0;
}
inline int SetZoomFitMode(bool fit)
{
    return SetIniBool(kIniConfig, kIniZoomFitMode, fit ? 1 : 0);
}
inline int GetSaveDefExtIndex()
{
    return static_cast<int32_t>(GetIniInt(kIniFile, kIniSaveDefExtIndex, static_cast<uint32_t>(-1)));
}
inline int SetSaveDefExtIndex(int index)
{
    return SetIniInt(kIniFile, kIniSaveDefExtIndex, index);
}
inline std::string GetLastSelFolder()
{
    return GetIniString(kIniThumbnail, kIniLastSelFolder, "");
}
inline int SetLastSelFolder(const std::string& folder)
{
    return SetIniString(kIniThumbnail, kIniLastSelFolder, folder.c_str());
}
