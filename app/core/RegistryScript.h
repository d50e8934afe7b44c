// Registry scripts (".reg" files) applied to the registry store, as the layout scripts that ship with the program
// are: a first line "Windows Registry Editor Version 5.00" or "REGEDIT4"; "[key]" makes a key (and selects it),
// "[-key]" deletes it with everything below; under a key, "name"= or @= followed by "text" (with \\ and \"),
// dword:XXXXXXXX, hex:bytes, hex(type):bytes, or - to delete the value. A line ending in '\' goes on in the next.
// Keys are named from HKEY_CURRENT_USER (or HKCU); lines under any other root change nothing (the machine part of
// the store is read-only). The file is UTF-16LE with its byte-order mark, UTF-8, or else the Korean code page.
//
// The import runs to its end before it returns, and writes the store once. A line that cannot be read is skipped,
// as is a file over kMaxScriptBytes. UI thread (the registry itself is thread-safe).
#pragma once

#include "core/AppSeams.h"

#include <cstddef>
#include <string>
#include <string_view>

constexpr size_t kMaxScriptBytes = 16 * 1024 * 1024;

// True when `bytes` is a registry script (its changes then applied).
bool ImportRegistryScriptBytes(std::string_view bytes);
// False when the file cannot be read or is not a registry script.
bool ImportRegistryScript(const std::string& path);

class RegistryScriptImporter : public ILayoutImporter
{
public:
    void Import(const std::string& scriptPath) override { ImportRegistryScript(scriptPath); }
};
