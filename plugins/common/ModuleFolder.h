// Where a plug-in module was loaded from, for the setting files it keeps beside itself.
#pragma once

#include <string>

// The folder, with its trailing '/', of the module that holds `anchor` (the address of a function of that module's
// own, so a copy of this code in another module never answers for it); "" when the loader does not know it.
std::string FolderOfModuleAt(const void* anchor);
