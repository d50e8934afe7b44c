// Private-profile (INI) files with the Windows rules: section and key names match case-insensitively, the first
// matching section and key win, names and values are trimmed, a value in matching quotes ('...' or "...") is read
// without them, ';' lines are comments, CRLF and LF both read, a missing file reads as empty. Writes create the
// file, keep every byte of the lines they do not change (line breaks included), and replace the file
// atomically. Paths are UTF-8 file paths; a null path reads as a missing file and fails every write. Thread-safe:
// calls are serialised within the process.
//
// Texts that would break the line structure (a line break anywhere, '=' in a key name, a key name starting with '['
// or ';', ']' in a section name, a section line starting with '[') are refused by the writers instead of corrupting
// the file.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>
#include <string>
#include <vector>

// Copies the value into `buffer` (`size` bytes, terminating zero included) and returns the count copied without the
// zero; a value that does not fit is cut to size - 1 bytes. When the key or section is missing, the default (null
// reads as "", trailing blanks dropped) is copied the same way. With a null key: the section's key names, with a null
// section: all section names, each ended by a zero and the list by a second zero; a list that does not fit is cut,
// ended by two zeros, and size - 2 returned.
VISTREL_EXPORT uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                                char* buffer, uint32_t size, const char* file);

// The whole value as a string; the default (null reads as "") when the section, key or file is missing or null.
VISTREL_EXPORT std::string GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                                   const char* file);

// The decimal integer at the start of the value (blanks and a sign allowed before the digits; 0 when there are no
// digits); the default when the key is missing or its value empty.
VISTREL_EXPORT int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file);

// Sets a value, creating the file and the section as needed. A null value deletes the key, a null key deletes the
// section with every line in it. Returns 1 on success, 0 on failure.
VISTREL_EXPORT int WritePrivateProfileString(const char* section, const char* key, const char* value,
                                             const char* file);

// The key lines of a section as "name=value" (quotes kept), in the list layout of GetPrivateProfileString.
VISTREL_EXPORT uint32_t GetPrivateProfileSection(const char* section, char* buffer, uint32_t size, const char* file);

// All section names, in the list layout of GetPrivateProfileString.
VISTREL_EXPORT uint32_t GetPrivateProfileSectionNames(char* buffer, uint32_t size, const char* file);

// Replaces every line of the section by `lines` ("name=value" texts, each ended by a zero, the list by a second
// zero); null `lines` deletes the section. Returns 1 on success, 0 on failure.
VISTREL_EXPORT int WritePrivateProfileSection(const char* section, const char* lines, const char* file);

// The files a write failed on since the last call (the file could not be read, so it was not replaced, or could not
// be written), each once, in the order they failed; the list is emptied. Texts a writer refuses are the caller's
// error, not the file's, and are not listed.
VISTREL_EXPORT std::vector<std::string> TakeFailedPrivateProfileWrites();
