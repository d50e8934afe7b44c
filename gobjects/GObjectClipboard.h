// The overlay's clipboard exchange: selected objects travel as a file of object records in a per-user folder
// whose path is put on the clipboard under QVGOBJECT_FORMAT; a lone text goes as plain text. The file starts
// with the 15 bytes "CLIPBOARD_FILE\0", then an int count and the records.
// UI thread only (the system clipboard is a GUI object). Without a GUI application there is no clipboard, and
// every call reports failure.
#pragma once

#include "types/VistrelExport.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

// The clipboard format naming the records file (a NUL-terminated path).
inline constexpr const char* QVGOBJECT_FORMAT = "application/x-vistrel-qvgobject";

// The marker the records file begins with, its NUL included.
inline constexpr char kClipboardFileMarker[] = "CLIPBOARD_FILE";
inline constexpr size_t kClipboardFileMarkerSize = sizeof(kClipboardFileMarker);

struct FileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

// The records file of this user: "QvGObject" in a folder only the user can enter (created on demand). Empty
// when no such folder can be had.
VISTREL_EXPORT std::string GObjectClipboardFilePath();

// Writes the records file through `writeRecords` (which gets the file after the marker and returns 1 when it
// wrote everything), replacing the previous file only when the new one is complete, then puts its path on the
// clipboard. 0, with the clipboard unchanged, on any failure.
VISTREL_EXPORT int PutRecordsOnClipboard(const std::function<int(FILE*)>& writeRecords);

// Puts plain text on the clipboard; 0 without a clipboard.
VISTREL_EXPORT int PutTextOnClipboard(const std::string& text);

// What the clipboard holds that the overlay can paste, most preferred first.
enum class GObjectClipboardContent
{
    None,
    Picture,
    Text,
    Records,
};
VISTREL_EXPORT GObjectClipboardContent ClipboardContent();

// The records file named on the clipboard, opened for reading and positioned after a good marker. Null unless
// the path is this user's records file, a regular file owned by the user and not reached through a link, and
// it starts with the marker.
VISTREL_EXPORT UniqueFile OpenClipboardRecords();
