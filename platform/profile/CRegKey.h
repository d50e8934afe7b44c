// Owns one open registry key and closes it when destroyed; typed reads and writes for the value kinds the program
// keeps. Results are the registry's error codes; a value of another type reads as ERROR_INVALID_DATA. One thread at
// a time per object (the registry itself is thread-safe).
#pragma once

#include "profile/Registry.h"

#include <string>
#include <vector>

class VISTREL_EXPORT CRegKey
{
public:
    CRegKey() = default;
    ~CRegKey();
    CRegKey(CRegKey&& other) noexcept;
    CRegKey& operator=(CRegKey&& other) noexcept;
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    // Opens an existing key (never creates it); with write access this fails on HKEY_LOCAL_MACHINE.
    LONG Open(HKEY parent, const char* subKey, REGSAM access = KEY_READ | KEY_WRITE);
    // Opens the key, creating the missing parts of its path.
    LONG Create(HKEY parent, const char* subKey, REGSAM access = KEY_READ | KEY_WRITE);
    LONG Close();
    HKEY Handle() const { return key_; }

    // Any value: its type and exact bytes (empty on failure). A value that keeps growing while it is read gives
    // ERROR_MORE_DATA after a few attempts.
    LONG QueryValue(const char* name, DWORD& type, std::vector<BYTE>& bytes) const;
    // REG_SZ: the text up to its first zero byte (a stored text need not end in one).
    LONG QueryStringValue(const char* name, std::string& value) const;
    // REG_SZ with its terminating zero.
    LONG SetStringValue(const char* name, const std::string& value);
    // REG_DWORD of exactly 4 bytes.
    LONG QueryDWORDValue(const char* name, DWORD& value) const;
    LONG SetDWORDValue(const char* name, DWORD value);
    // REG_BINARY, exact bytes.
    LONG QueryBinaryValue(const char* name, std::vector<BYTE>& value) const;
    LONG SetBinaryValue(const char* name, const void* data, DWORD size);
    LONG DeleteValue(const char* name);
    LONG Flush();

private:
    LONG QueryTyped(const char* name, DWORD expectedType, std::vector<BYTE>& bytes) const;

    HKEY key_ = nullptr;
};
