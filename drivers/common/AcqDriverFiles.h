// Files a driver keeps beside itself: the folder of the driver module, the settings files it writes there, and the
// vendor libraries it loads at run time.
//
// Settings: a driver's files live in its own folder (the program's acquisition folder). An installed program folder
// may be read-only; a file that cannot be written there goes to the per-user folder
// $XDG_CONFIG_HOME/Vistrel/Acquisition (~/.config when unset) instead, and is read from there once it exists, so a
// read-only install does not forget a choice at every start. VISTREL_DRIVER_SETTINGS names another folder for all
// of them (a portable install, or a test that must not touch the build's program folder).
#pragma once

#include <string>

// The folder of the module that holds `anchor` (a function of the calling driver), ending in '/'; "" when unknown.
std::string AcqModuleFolder(const void* anchor);

// The path a driver reads its settings file `fileName` from: the driver folder's copy when it exists and can be
// written, else the per-user copy when one exists, else the driver folder's (the override folder when set).
std::string AcqSettingsReadPath(const void* anchor, const std::string& fileName);
// The path a driver writes `fileName` to: the driver folder's when the file (or, for a new file, the folder) is
// writable, else the per-user folder's (created on demand). The override folder when set.
std::string AcqSettingsWritePath(const void* anchor, const std::string& fileName);

// The same for a settings file kept in the program's own folder (the folder of the running executable) rather than
// the driver's: read from there, or from the per-user folder once a read-only program folder sent a write there.
std::string AcqProgramFolder();
std::string AcqProgramSettingsReadPath(const std::string& fileName);
std::string AcqProgramSettingsWritePath(const std::string& fileName);

// Loads a vendor library: first from the driver's own folder, then by its bare name (the program folder through
// the driver's run path, and the system's library path). RTLD_NOW | RTLD_LOCAL. Null when it is nowhere; `error`
// then says why.
void* AcqLoadVendorLibrary(const void* anchor, const std::string& fileName, std::string& error);

// The message that a driver's vendor library is missing, told once per module load (the host may try to open the
// device at every start of the live view): `format` with the library's name for its "%s" the first time, "" once
// `told` is set.
std::string AcqVendorLibraryMissingOnce(bool& told, const std::string& format, const std::string& libraryName);
