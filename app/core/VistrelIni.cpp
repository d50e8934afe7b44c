#include "core/VistrelIni.h"

#include "core/CAppEnvironment.h"
#include "core/CIniFile.h"

namespace {
CIniFile OpenVistrelIni()
{
    const std::string path = VistrelIniPath();
    return path.empty() ? CIniFile(nullptr) : CIniFile(path);
}
}  // namespace

std::string VistrelIniPath()
{
    return AppEnvironment().GetResourcePath(kVistrelIniName);
}

std::string GetIniString(const char* section, const char* key, const char* defaultValue)
{
    return OpenVistrelIni().GetString(section, key, defaultValue);
}

int SetIniString(const char* section, const char* key, const char* value)
{
    return OpenVistrelIni().WriteString(section, key, value);
}

uint32_t GetIniInt(const char* section, const char* key, uint32_t defaultValue, int base)
{
    return OpenVistrelIni().GetInt(section, key, defaultValue, base);
}

int SetIniInt(const char* section, const char* key, int32_t value, int base)
{
    return OpenVistrelIni().WriteInt(section, key, value, base);
}

int GetIniBool(const char* section, const char* key, int defaultValue)
{
    return OpenVistrelIni().GetBool(section, key, defaultValue);
}

int SetIniBool(const char* section, const char* key, int flag)
{
    return OpenVistrelIni().WriteBool(section, key, flag);
}
