// The file open and save dialogs. Each request runs on the UI thread (a call from another thread is handed over
// and waits for the answer). When a hook is installed it answers instead of a window: tests install one for the
// whole run. Without one the dialog runs through RunModal (ui/ModalDialog.h).
#pragma once

#include "types/VistrelExport.h"

#include <functional>
#include <string>
#include <vector>

struct FileDialogRequest
{
    bool save = false;
    std::string title;             // empty: the toolkit's own "Open" / "Save As"
    std::string filter;            // "Name|*.ext;*.ext2|...||"
    std::string defaultExtension;  // "*.txt", ".cst" or "txt"; given to a saved name that has no extension
    std::string initialFile;       // proposed file name, or a path whose folder the dialog opens in
    bool overwritePrompt = false;  // save: ask before choosing an existing file
    int filterIndex = 0;           // the filter entry shown first, counted from 1; 0 or out of range: the first
    bool multiSelect = false;      // open: several files may be chosen (ChooseFiles)
};

// Answers with the chosen path, or "" for cancel. Runs on the UI thread. An empty hook restores real dialogs.
using FileDialogHook = std::function<std::string(const FileDialogRequest&)>;
VISTREL_EXPORT void SetFileDialogHook(FileDialogHook hook);

// The chosen path ("" when cancelled). Opening offers existing files only; a saved name without an extension
// gets the default extension, whoever answered.
VISTREL_EXPORT std::string ChooseFile(const FileDialogRequest& request);

// Answers an open dialog that lets several files be chosen: the paths in the order chosen, none for cancel. When
// only the single-path hook is installed it answers with its one path.
using FilesDialogHook = std::function<std::vector<std::string>(const FileDialogRequest&)>;
VISTREL_EXPORT void SetFilesDialogHook(FilesDialogHook hook);

// Opening only: the chosen existing files (none when cancelled). The request is sent with multiSelect set.
VISTREL_EXPORT std::vector<std::string> ChooseFiles(const FileDialogRequest& request);
