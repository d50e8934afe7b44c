// The texts about the calibration files and the saving of calibrations, in the UI language.
#pragma once

#include "types/WinTypes.h"

#include <string>

namespace calibstr {
// The list file read at start-up was damaged; %s the file, %s where its original is kept.
constexpr UINT IDS_LIST_DAMAGED_KEPT = 7740;
// The same, but no copy of it could be made (it is then not replaced either); %s the file.
constexpr UINT IDS_LIST_DAMAGED_NOT_KEPT = 7741;
// The calibration files could not be written; %s the calibration folder.
constexpr UINT IDS_FILES_NOT_SAVED = 7742;
// "Save As" of the manager with no calibration to save.
constexpr UINT IDS_NOTHING_TO_SAVE = 7743;
}  // namespace calibstr

std::string CalibrationString(UINT id);
