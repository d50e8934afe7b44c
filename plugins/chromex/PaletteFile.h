// Palette files (".pcu"): text lines, '\n' or "\r\n" ended. Line 1 is the palette's name (UTF-8, or CP949 from a
// Windows-made file); lines 2 to 257 hold the entries 0 to 255 in order, each "number<TAB>red<TAB>green<TAB>blue" in
// decimal. The entry number is not read (the line's position decides); each colour is read as atoi reads it and
// keeps its low 8 bits (256 -> 0, -1 -> 255).
//
// Our limits, where a file from outside could be anything: a file larger than kMaxPaletteFileBytes, with a NUL byte,
// with fewer than 256 entry lines, with an entry line of other than four TAB-separated fields, or with more
// non-empty lines after the last entry is refused as a whole: a half-read palette would show colours nobody chose.
#pragma once

#include "chromex/ChromexOps.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace chromex {

constexpr size_t kMaxPaletteFileBytes = 64 * 1024;

struct PseudoColorPalette
{
    std::string name;
    ColourTable entries{};  // blue, green, red per entry
};

// Reads the bytes of a palette file; false (palette untouched) when they break the rules above.
bool ParsePalette(const char* data, size_t size, PseudoColorPalette& palette);
// Reads a palette file; false when it cannot be read or is refused.
bool ReadPaletteFile(const std::string& path, PseudoColorPalette& palette);
// The file's bytes for a palette: name line and 256 entry lines, "\r\n" ended as the Windows-made files are.
std::string WritePalette(const PseudoColorPalette& palette);

}  // namespace chromex
