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
// The file dialog filter of import and export.
constexpr UINT IDS_FILE_FILTER = 531;
// Import and export of a list file.
constexpr UINT IDS_IMPORT_CANNOT_OPEN = 8140;
constexpr UINT IDS_IMPORT_FOREIGN = 8141;
constexpr UINT IDS_IMPORT_DAMAGED = 8142;
constexpr UINT IDS_EXPORT_CANNOT_SAVE = 8143;
}  // namespace calibstr

std::string CalibrationString(UINT id);
