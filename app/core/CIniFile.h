// One INI file, read and written with the private-profile rules (platform/inifile): missing files, sections and
// keys give the defaults, writes create the file and the section. Texts are UTF-8. Any thread.
#pragma once

#include <cstdint>
#include <string>

class CIniFile
{
public:
    // A null path reads every key as missing and fails every write.
    explicit CIniFile(const char* path);
    explicit CIniFile(const std::string& path) : CIniFile(path.c_str()) {}

    const char* GetPath() const { return m_hasPath ? m_path.c_str() : nullptr; }

    // The value; the default (null reads as "") when section or key is null or the key is missing.
    std::string GetString(const char* section, const char* key, const char* defaultValue) const;
    // The value read in base 2, 8 or 16 (any other base reads base 10; base 16 takes a "0x"), as a 32-bit strtoul
    // reads it: a leading '-' negates modulo 2^32 ("-1" is 0xFFFFFFFF), a value past 32 bits gives 0xFFFFFFFF. An
    // empty or missing value gives the default.
    uint32_t GetInt(const char* section, const char* key, uint32_t defaultValue, int base) const;
    // "true" and "yes" (any case) give 1, else 1 when the value reads as a nonzero decimal number; an empty or
    // missing value gives the default.
    int GetBool(const char* section, const char* key, int defaultValue) const;

    // 1 on success; 0 when section or key is null or the write fails. A null value writes "".
    int WriteString(const char* section, const char* key, const char* value);
    // Base 2 writes binary digits ("101"), 8 octal, 16 upper-case hex, any other base signed decimal. Bases 2, 8 and
    // 16 write the value's 32 bits as unsigned.
    int WriteInt(const char* section, const char* key, int32_t value, int base);
    // "1" or "0".
    int WriteBool(const char* section, const char* key, int flag);

private:
    // The value cut to the 64 bytes the number readers look at.
    std::string GetNumberText(const char* section, const char* key) const;

    std::string m_path;
    bool m_hasPath;
};

// The file name with its extension, without the folder.
std::string GetFileNameOfPath(const std::string& path);
