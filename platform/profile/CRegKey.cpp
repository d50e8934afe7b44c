#include "profile/CRegKey.h"

#include "profile/SizedValueRead.h"

#include <algorithm>
#include <utility>

CRegKey::~CRegKey()
{
    Close();
}

CRegKey::CRegKey(CRegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

CRegKey& CRegKey::operator=(CRegKey&& other) noexcept
{
    if (this != &other) {
        Close();
        key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
}

LONG CRegKey::Open(HKEY parent, const char* subKey, REGSAM access)
{
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyEx(parent, subKey, 0, access, &opened);
    if (result == ERROR_SUCCESS) {
        Close();
        key_ = opened;
    }
    return result;
}

LONG CRegKey::Create(HKEY parent, const char* subKey, REGSAM access)
{
    HKEY created = nullptr;
    const LONG result = RegCreateKeyEx(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                       &created, nullptr);
    if (result == ERROR_SUCCESS) {
        Close();
        key_ = created;
    }
    return result;
}

LONG CRegKey::Close()
{
    if (!key_)
        return ERROR_SUCCESS;
    return RegCloseKey(std::exchange(key_, nullptr));
}

LONG CRegKey::QueryValue(const char* name, DWORD& type, std::vector<BYTE>& bytes) const
{
    const auto query = [&](BYTE* data, DWORD* size) { return RegQueryValueEx(key_, name, nullptr, &type, data, size); };
    return ReadSizedValue(query, bytes);
}

LONG CRegKey::QueryTyped(const char* name, DWORD expectedType, std::vector<BYTE>& bytes) const
{
    DWORD type = REG_NONE;
    const LONG result = QueryValue(name, type, bytes);
    if (result == ERROR_SUCCESS && type != expectedType)
        return ERROR_INVALID_DATA;
    return result;
}

LONG CRegKey::QueryStringValue(const char* name, std::string& value) const
{
    std::vector<BYTE> bytes;
    const LONG result = QueryTyped(name, REG_SZ, bytes);
    if (result == ERROR_SUCCESS)
        value.assign(bytes.begin(), std::find(bytes.begin(), bytes.end(), BYTE{0}));
    return result;
}

LONG CRegKey::SetStringValue(const char* name, const std::string& value)
{
    return RegSetValueEx(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
}

LONG CRegKey::QueryDWORDValue(const char* name, DWORD& value) const
{
    std::vector<BYTE> bytes;
    const LONG result = QueryTyped(name, REG_DWORD, bytes);
    if (result != ERROR_SUCCESS)
        return result;
    if (bytes.size() != 4)
        return ERROR_INVALID_DATA;
    value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (DWORD{bytes[3]} << 24);
    return ERROR_SUCCESS;
}

LONG CRegKey::SetDWORDValue(const char* name, DWORD value)
{
    const BYTE bytes[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
    return RegSetValueEx(key_, name, 0, REG_DWORD, bytes, sizeof bytes);
}

LONG CRegKey::QueryBinaryValue(const char* name, std::vector<BYTE>& value) const
{
    return QueryTyped(name, REG_BINARY, value);
}

LONG CRegKey::SetBinaryValue(const char* name, const void* data, DWORD size)
{
    return RegSetValueEx(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

LONG CRegKey::DeleteValue(const char* name)
{
    return RegDeleteValue(key_, name);
}

LONG CRegKey::Flush()
{
    return RegFlushKey(key_);
}
