#include "profile/CAppProfile.h"

#include "profile/CRegKey.h"
#include "profile/RegistryWriteBatch.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

CAppProfile::CAppProfile(std::string registryKey, std::string appName)
    : registryKey_(std::move(registryKey)), appName_(std::move(appName))
{
}

std::string CAppProfile::AppKeyPath() const
{
    if (registryKey_.empty() || appName_.empty())
        return {};
    return "Software\\" + registryKey_ + "\\" + appName_;
}

std::string CAppProfile::SectionPath(const char* section) const
{
    const std::string app = AppKeyPath();
    if (app.empty() || !section || !section[0])
        return {};
    return app + "\\" + section;
}

bool CAppProfile::ReadValue(const char* section, const char* entry, DWORD& type, std::vector<BYTE>& data) const
{
    data.clear();
    const std::string path = SectionPath(section);
    if (path.empty() || !entry)
        return false;
    CRegKey key;
    return key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) == ERROR_SUCCESS &&
           key.QueryValue(entry, type, data) == ERROR_SUCCESS;
}

bool CAppProfile::WriteValue(const char* section, const char* entry, DWORD type, const void* data, DWORD size)
{
    const std::string path = SectionPath(section);
    if (path.empty() || !entry)
        return false;
    const RegistryWriteBatch batch;   // a new section and its value: one write of the store
    CRegKey key;
    return key.Create(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS &&
           RegSetValueEx(key.Handle(), entry, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

int CAppProfile::GetProfileInt(const char* section, const char* entry, int defaultValue) const
{
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (!ReadValue(section, entry, type, data))
        return defaultValue;
    if (type == REG_DWORD && data.size() == 4)
        return static_cast<int>(data[0] | (data[1] << 8) | (data[2] << 16) | (DWORD{data[3]} << 24));
    if (type == REG_SZ) {
        const std::string text(data.begin(), std::find(data.begin(), data.end(), BYTE{0}));
        return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
    }
    return defaultValue;
}

std::string CAppProfile::GetProfileString(const char* section, const char* entry, const char* defaultValue) const
{
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (ReadValue(section, entry, type, data) && type == REG_SZ)
        return std::string(data.begin(), std::find(data.begin(), data.end(), BYTE{0}));
    return defaultValue ? defaultValue : "";
}

bool CAppProfile::GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data) const
{
    DWORD type = REG_NONE;
    if (ReadValue(section, entry, type, data) && type == REG_BINARY)
        return true;
    data.clear();
    return false;
}

bool CAppProfile::WriteProfileInt(const char* section, const char* entry, int value)
{
    const auto bits = static_cast<DWORD>(value);
    const BYTE bytes[4] = {BYTE(bits), BYTE(bits >> 8), BYTE(bits >> 16), BYTE(bits >> 24)};
    return WriteValue(section, entry, REG_DWORD, bytes, sizeof bytes);
}

bool CAppProfile::WriteProfileString(const char* section, const char* entry, const char* value)
{
    const std::string path = SectionPath(section);
    if (path.empty())
        return false;
    if (!entry)
        return RegDeleteTree(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
    if (!value) {
        CRegKey key;
        return key.Open(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS && key.DeleteValue(entry) == ERROR_SUCCESS;
    }
    return WriteValue(section, entry, REG_SZ, value, static_cast<DWORD>(std::strlen(value) + 1));
}

bool CAppProfile::WriteProfileBinary(const char* section, const char* entry, const void* data, DWORD size)
{
    return WriteValue(section, entry, REG_BINARY, data, size);
}

CAppProfile& AppProfile()
{
    static CAppProfile profile;
    return profile;
}
