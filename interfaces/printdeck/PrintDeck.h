// The report module's print entry, as a plug-in calls it: the module file "PrintDeck.so" in the program's
// components/Report/ folder, looked up by name at run time. Module and callers both include this file, so the
// function pointer type a caller looks up and the function the module defines cannot drift apart.
#pragma once

#include <cstddef>

struct BITMAPINFOHEADER;

#define PRINTDECK_EXPORT extern "C" __attribute__((visibility("default")))

constexpr const char kPrintDeckFileName[] = "PrintDeck.so";
constexpr const char kPrintDeckPrintName[] = "Print";

// What a print call hands over.
enum PrintDeckKind
{
    kPrintDeckPicture = 1,  // one picture with its title
};

extern "C" {
// Asks for a printer with the print dialog and prints the title and, when `dib` is given, its picture fitted to
// the page: `dib` is a packed DIB (40-byte header, palette, rows padded to 4 bytes) of `dibBytes` bytes, read only
// during the call and never freed by the module. Returns 1 when the page went to the printer, 0 when the dialog was
// cancelled or the arguments were refused (null title, unknown kind, a DIB shorter than its header says). No
// exception leaves it. UI thread only.
using PFN_PrintDeckPrint = int (*)(const char* title, int kind, const BITMAPINFOHEADER* dib, size_t dibBytes);
}
