// The text form of a registry tree, one line per key header and per value:
//
//   [Software\QRX\Vistrel\GRID]          a key (every key is listed, so empty keys survive; "[]" is the root)
//   "SHOW"=dword:00000001                REG_DWORD of 4 bytes, as its little-endian number
//   "Path"="/opt/vistrel/"               REG_SZ of one zero-terminated text (the zero is implied)
//   "_GAP"=hex:00,00,20,42               REG_BINARY, exact bytes
//   "Odd"=hex(1):61,62                   any other type or shape, exact bytes
//
// Names and texts are bytes with '%', '"' and control bytes written as %XX. A name no call can ask for is read as
// damage: one holding a zero byte (a zero-terminated name stops there), and a key name holding '\' (spelt %5C; a
// path would split there), so every key that can be listed can be opened by the name it is listed by. Lines
// starting with ';' are comments. Reading skips a line it cannot parse, and after a key header it cannot parse (or
// one deeper than kMaxRegistryDepth) it skips the values up to the next good header; a last line without its line
// break was cut off and is dropped. So a damaged file yields what is still readable, never a part of a value, and
// never fails.
// Private to platform/profile: dependants use Registry.h.
#pragma once

#include "profile/private/RegistryTree.h"

#include <string>
#include <string_view>

std::string WriteRegistryText(const RegistryKey& root);

// Adds what `text` holds to `root`; false when anything was skipped (the file is damaged).
bool ReadRegistryText(std::string_view text, RegistryKey& root);
