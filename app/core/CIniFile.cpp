#include "core/CIniFile.h"

#include "inifile/PrivateProfile.h"
#include "strings/Format.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <strings.h>

namespace {
constexpr size_t kNumberTextLimit = 64;

bool IsBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// strtoul as a 32-bit unsigned long reads: the magnitude saturates at 0xFFFFFFFF, a '-' then negates it modulo
// 2^32. A 64-bit strtoul would instead keep the low 32 bits of a large value ("4294967296" would read 0).
uint32_t ParseUnsigned32(const std::string& text, int base)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // strtoull would take a second sign or blanks after the first one; strtoul does not.
    if (i >= text.size() || text[i] == '+' || text[i] == '-' || IsBlank(text[i]))
        return 0;
    errno = 0;
    const unsigned long long magnitude = std::strtoull(text.c_str() + i, nullptr, base);
    if (errno == ERANGE || magnitude > 0xFFFFFFFFull)
        return 0xFFFFFFFFu;
    const uint32_t value = static_cast<uint32_t>(magnitude);
    return negative ? static_cast<uint32_t>(0u - value) : value;
}
}  // namespace

CIniFile::CIniFile(const char* path) : m_path(path != nullptr ? path : ""), m_hasPath(path != nullptr) {}

std::string CIniFile::GetString(const char* section, const char* key, const char* defaultValue) const
{
    if (section == nullptr || key == nullptr)
        return defaultValue != nullptr ? defaultValue : "";
    return GetPrivateProfileString(section, key, defaultValue, GetPath());
}

std::string CIniFile::GetNumberText(const char* section, const char* key) const
{
    std::string text = GetString(section, key, "");
    if (text.size() > kNumberTextLimit)
        text.resize(kNumberTextLimit);
    return text;
}

uint32_t CIniFile::GetInt(const char* section, const char* key, uint32_t defaultValue, int base) const
{
    const std::string text = GetNumberText(section, key);
    if (text.empty())
        return defaultValue;
    if (base != 2 && base != 8 && base != 16)
        base = 10;
    return ParseUnsigned32(text, base);
}

int CIniFile::GetBool(const char* section, const char* key, int defaultValue) const
{
    const std::string text = GetNumberText(section, key);
    if (text.empty())
        return defaultValue;
    if (strcasecmp(text.c_str(), "true") == 0 || strcasecmp(text.c_str(), "yes") == 0)
        return 1;
    return std::strtol(text.c_str(), nullptr, 10) != 0 ? 1 : 0;
}

int CIniFile::WriteString(const char* section, const char* key, const char* value)
{
    if (section == nullptr || key == nullptr)
        return 0;
    return WritePrivateProfileString(section, key, value != nullptr ? value : "", GetPath());
}

int CIniFile::WriteInt(const char* section, const char* key, int32_t value, int base)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    std::string text;
    switch (base) {
    case 2:
        for (uint32_t rest = bits; rest != 0; rest >>= 1)
            text.insert(text.begin(), (rest & 1) != 0 ? '1' : '0');
        if (text.empty())
            text = "0";
        break;
    case 8: text = Format("%o", bits); break;
    case 16: text = Format("%X", bits); break;
    default: text = Format("%d", value); break;
    }
    return WriteString(section, key, text.c_str());
}

int CIniFile::WriteBool(const char* section, const char* key, int flag)
{
    return WriteString(section, key, flag != 0 ? "1" : "0");
}

std::string GetFileNameOfPath(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
