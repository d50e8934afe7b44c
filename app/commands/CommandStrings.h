// The texts of the application commands: messages about companion programs and modules, in the UI language.
#pragma once

#include "capture/ImageCapture.h"
#include "types/WinTypes.h"

#include <string>

namespace appstr {
constexpr UINT IDS_LIVE_MEASURE = capstr::IDS_LIVE_MEASURE;  // the live-measurement window's title (a capture text)
constexpr UINT IDS_DATABASE_NOT_FOUND = 776;        // the image database program is not installed
constexpr UINT IDS_DATABASE_CANNOT_START = 777;
constexpr UINT IDS_COMPANION_NOT_FOUND = 778;       // the further companion program is not installed
constexpr UINT IDS_COMPANION_CANNOT_START = 779;
constexpr UINT IDS_AUTO_MEASURE_NOT_FOUND = 780;
constexpr UINT IDS_AUTO_MEASURE_CANNOT_START = 781;
constexpr UINT IDS_ABOUT_OEM = 8280;                // the About entry of an OEM edition; %s its title
}  // namespace appstr

// Texts the commands show as they stand, in every UI language.
constexpr const char* kPoreScanNotInstalled =
    "Can't find Pore Scan Detector application.\nCan't run this function.\n\nPlease install Pore Scan Detector first.";
constexpr const char* kPoreScanInvalidProgram = "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).";
constexpr const char* kPoreScanNoAnswer =
    "Pore Scan Detector did not open its window.\nCan't run this function.";
constexpr const char* kPoreScanHandOverFailed =
    "The image could not be handed to Pore Scan Detector.\nCan't run this function.";
constexpr const char* kModuleNotFound = "Module file not found exits";

std::string AppCommandString(UINT id);
