// The overlay's clipboard exchange: selected objects travel as a file of object records in a per-user folder
// whose path is put on the clipboard under QVGOBJECT_FORMAT; a lone text goes as plain text, a lone image stamp as
// a packed DIB and as an image other programs paste. The file starts
// with the 15 bytes "CLIPBOARD_FILE\0", then an int count and the records.
// UI thread only (the system clipboard is a GUI object). Without a GUI application there is no clipboard, and
// every call reports failure.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The clipboard format naming the records file (a NUL-terminated path).
inline constexpr const char* QVGOBJECT_FORMAT = "application/x-vistrel-qvgobject";

// The clipboard format of a packed DIB (the system's device-independent bitmap): header, palette, rows.
inline constexpr const char* DIB_FORMAT = "application/x-vistrel-dib";

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

// Puts a packed DIB (a block of that many bytes that holds it whole) on the clipboard under DIB_FORMAT and, for
// other programs, as an image. 0, with the clipboard unchanged, without a clipboard or for a DIB that cannot be
// shown.
VISTREL_EXPORT int PutDibOnClipboard(const std::vector<uint8_t>& dib);

// The clipboard's picture as a block holding a packed DIB: the one under DIB_FORMAT when there is one (as it is,
// for the reader to check; empty when it is larger than any stamp holds), else a bottom-up 24-bit DIB of the image
// another program put there. Empty without a picture.
VISTREL_EXPORT std::vector<uint8_t> ClipboardPicture();

// The clipboard's plain text (UTF-8); empty without one.
VISTREL_EXPORT std::string ClipboardText();

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
