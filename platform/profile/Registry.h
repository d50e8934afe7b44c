// The registry calls the system makes, over a store of our own: HKEY_CURRENT_USER lives in one text file under the
// user's config folder ($XDG_CONFIG_HOME, else ~/.config, then QRX/registry-hkcu.reg); HKEY_LOCAL_MACHINE is read
// from the first QRX/registry-hklm.reg found in $XDG_CONFIG_DIRS (else /etc/xdg) and is read-only: creating a key,
// opening one for writing, or writing through a read handle fails with ERROR_ACCESS_DENIED.
//
// Key and value names match case-insensitively (ASCII) and keep the case they were created with; '\' separates the
// parts of a key path (empty parts are skipped). Values keep their type and exact bytes. Every change is written to
// the file at once (temporary file + rename, under a file lock), and a change another process made to the file is
// picked up by the next call, so a crash loses nothing (but the changes of an open batch) and processes see one
// store. A call that changes nothing (opening an existing key through RegCreateKeyEx, setting a value to the type
// and bytes it has) writes nothing; a RegistryWriteBatch gathers the changes of a scope into one write. A damaged
// file is read as far as it is valid, a copy of it kept beside it, and RegTakeStoreProblems says so. Thread-safe. A handle names a key path: it stays usable after RegReloadStore,
// and a handle whose key was deleted answers ERROR_FILE_NOT_FOUND. Handles of our own are freed by RegCloseKey;
// unknown handles are refused with ERROR_INVALID_HANDLE, never followed.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>
#include <string>
#include <vector>

using LONG = int32_t;
using DWORD = uint32_t;
using BYTE = uint8_t;
using REGSAM = uint32_t;

struct RegistryKeyHandle;
using HKEY = RegistryKeyHandle*;
using PHKEY = HKEY*;

inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t{0x80000001});
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t{0x80000002});

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_DATA = 13;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens an existing key; never creates one. A null or empty sub-key opens `key` itself again.
VISTREL_EXPORT LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM access, PHKEY result);

// Opens the key, creating every missing part of the path. `keyClass` and `security` are accepted and ignored. A key
// deeper than 512 levels below its root is refused with ERROR_INVALID_PARAMETER.
VISTREL_EXPORT LONG RegCreateKeyEx(HKEY key, const char* subKey, DWORD reserved, char* keyClass, DWORD options,
                                   REGSAM access, void* security, PHKEY result, DWORD* disposition);

VISTREL_EXPORT LONG RegCloseKey(HKEY key);

// Writes the changes an open RegistryWriteBatch holds now (outside a batch they are on disk already).
VISTREL_EXPORT LONG RegFlushKey(HKEY key);

// A null or empty name is the key's unnamed value. With a null `data`, *dataSize receives the size; a `data` buffer
// shorter than the value gives ERROR_MORE_DATA with the size needed in *dataSize (and `type` set).
VISTREL_EXPORT LONG RegQueryValueEx(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                                    DWORD* dataSize);

// Stores exactly `dataSize` bytes of `data` with the given type (REG_SZ callers include the terminating zero or not,
// as they choose; REG_DWORD is 4 little-endian bytes).
VISTREL_EXPORT LONG RegSetValueEx(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                                  DWORD dataSize);

VISTREL_EXPORT LONG RegDeleteValue(HKEY key, const char* valueName);

// Deletes a sub-key that has no sub-keys of its own (ERROR_ACCESS_DENIED otherwise, as on Windows).
VISTREL_EXPORT LONG RegDeleteKey(HKEY key, const char* subKey);

// Deletes a sub-key with everything below it; a null or empty sub-key empties `key` itself.
VISTREL_EXPORT LONG RegDeleteTree(HKEY key, const char* subKey);

// The index-th sub-key name (sub-keys in case-insensitive name order). *nameSize holds the buffer size in bytes and
// receives the name length without the zero; ERROR_MORE_DATA when the name does not fit, ERROR_NO_MORE_ITEMS past
// the last. The class and time arguments are accepted and left alone.
VISTREL_EXPORT LONG RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                                 char* keyClass, DWORD* classSize, void* lastWriteTime);

// The index-th value (values in creation order): name as for RegEnumKeyEx, type and data as for RegQueryValueEx.
VISTREL_EXPORT LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type,
                                 BYTE* data, DWORD* dataSize);

// What the store met that the user should hear of. The store file of HKEY_CURRENT_USER only: the machine file is
// never written, so nothing of it is lost.
struct RegistryStoreProblem
{
    enum Kind
    {
        // The file was read only in part (garbled, cut short, a broken key header). What it was is kept in `copy`
        // and the file is written again at once from what could be read. When no copy could be made, `copy` is
        // empty, the file is left as it is and writes are refused for this run, as for an unreadable file.
        Damaged,
        // The file exists but cannot be read (no permission, not a regular file, too large): the store starts
        // empty and refuses writes (ERROR_ACCESS_DENIED), so the file is never replaced by what it could not see.
        Unreadable,
        // A write of the file failed; the change is kept in memory for this run.
        NotWritten,
    };
    Kind kind = Damaged;
    std::string file;
    std::string copy;

    bool operator==(const RegistryStoreProblem&) const = default;
};

// The problems met since the last call (or the last RegReloadStore), oldest first, each (kind and file) once; the
// list is emptied.
VISTREL_EXPORT std::vector<RegistryStoreProblem> RegTakeStoreProblems();

// Forgets the store held in memory and reads it again from the files the environment names now; tests re-point
// XDG_CONFIG_HOME / XDG_CONFIG_DIRS and call this.
VISTREL_EXPORT void RegReloadStore();
