// Tells the user about settings files the program could not read whole or could not write: a damaged profile store
// (and where the copy of it is kept), one that cannot be read, and every settings write that failed (profile store,
// INI files). Each problem is told once: what is shown is taken from the store and the INI writers. UI thread.
#pragma once

#include "types/WinTypes.h"

#include <string>

namespace settingsstr {
constexpr UINT IDS_STORE_DAMAGED_COPIED = 7860;  // %1 the damaged file, %2 its copy
constexpr UINT IDS_STORE_DAMAGED_KEPT = 7861;    // %1 the damaged file, no copy could be made
constexpr UINT IDS_STORE_UNREADABLE = 7862;      // %1 the file
constexpr UINT IDS_SETTINGS_NOT_SAVED = 7863;    // %1 the files, one a line
}  // namespace settingsstr

std::string SettingsFileString(UINT id);

// One message box per damaged or unreadable store file, then one naming every file a settings write failed on;
// nothing when all is well.
void TellSettingsFileProblems();
