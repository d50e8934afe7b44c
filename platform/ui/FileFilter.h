// The system's file-type filters ("Text File (*.txt)|*.txt|All Files (*.*)|*.*||": pairs of display name and
// ';'-separated patterns, ended by an empty name) turned into the toolkit's name filters ("Text File (*.txt)",
// "All Files (*)"), and the default extension rule of the save dialog. Any thread.
#pragma once

#include "types/VistrelExport.h"

#include <string>
#include <vector>

// One name filter per pair. The display name loses a pattern list it already carries in parentheses, and the
// patterns are written after it; "*.*" (every file on the system the filters were written for) becomes "*".
VISTREL_EXPORT std::vector<std::string> NameFiltersOf(const std::string& filter);

// The extension without "*" or "." in front: "*.txt", ".txt" and "txt" all give "txt".
VISTREL_EXPORT std::string BareExtension(const std::string& defaultExtension);

// The path with "." + extension appended when its file name has no extension and an extension is given.
VISTREL_EXPORT std::string WithDefaultExtension(const std::string& path, const std::string& defaultExtension);
