// The application profile: "section"/"entry" settings kept under HKEY_CURRENT_USER in
// Software\<registry key>\<application name>\<section>, read with defaults and written typed. Reads never create
// keys. Until both the registry key and the application name are set, reads give the defaults and writes fail.
// Set both at start-up, before other threads use the profile; after that any thread may call it. Each write is one
// write of the store file at most (none when the value is already stored); a settings save that writes many opens
// a RegistryWriteBatch around them, so the file is written once.
#pragma once

#include "profile/Registry.h"

#include <string>
#include <vector>

class VISTREL_EXPORT CAppProfile
{
public:
    CAppProfile() = default;
    CAppProfile(std::string registryKey, std::string appName);

    void SetRegistryKey(std::string registryKey) { registryKey_ = std::move(registryKey); }
    void SetAppName(std::string appName) { appName_ = std::move(appName); }
    // "Software\<registry key>\<application name>", or "" while either is unset.
    std::string AppKeyPath() const;

    // A REG_DWORD value; a REG_SZ value gives its leading decimal integer; anything else or nothing the default.
    int GetProfileInt(const char* section, const char* entry, int defaultValue) const;
    // A REG_SZ value up to its first zero byte; otherwise the default (null reads as "").
    std::string GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr) const;
    // The exact bytes of a REG_BINARY value; false (and `data` empty) when it is missing or of another type.
    bool GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data) const;

    // Writes a REG_DWORD, creating the section as needed.
    bool WriteProfileInt(const char* section, const char* entry, int value);
    // Writes a zero-terminated REG_SZ. A null value deletes the entry; a null entry deletes the whole section.
    bool WriteProfileString(const char* section, const char* entry, const char* value);
    bool WriteProfileBinary(const char* section, const char* entry, const void* data, DWORD size);

private:
    std::string SectionPath(const char* section) const;
    bool ReadValue(const char* section, const char* entry, DWORD& type, std::vector<BYTE>& data) const;
    bool WriteValue(const char* section, const char* entry, DWORD type, const void* data, DWORD size);

    std::string registryKey_;
    std::string appName_;
};

// The program's one profile; the program sets its registry key and name at start-up.
VISTREL_EXPORT CAppProfile& AppProfile();
