// One typed value of an archive attribute: an int, a float, a string (bytes, UTF-8 by convention) or a GUID.
// Reading a value as another type gives that type's empty value (0, 0.0f, "", the zero GUID), never a conversion:
// a reader that asks for the wrong type finds "missing", as with an absent attribute.
#pragma once

#include "datakeeper/Guid.h"
#include "types/VistrelExport.h"

#include <cstdint>
#include <string>

namespace datakeeper {

class VISTREL_EXPORT CDataCell
{
public:
    // The stored type codes (ArchiveFile.h).
    enum Type : uint8_t
    {
        kEmpty = 0,
        kInt = 1,
        kFloat = 2,
        kString = 3,
        kGuid = 4,
    };

    CDataCell() = default;
    CDataCell(int value) : m_type(kInt), m_int(value) {}
    CDataCell(float value) : m_type(kFloat), m_float(value) {}
    CDataCell(const std::string& value) : m_type(kString), m_string(value) {}
    CDataCell(const char* value) : m_type(kString), m_string(value ? value : "") {}
    CDataCell(const GUID& value) : m_type(kGuid), m_guid(value) {}

    Type GetType() const { return m_type; }
    int GetInt() const { return m_type == kInt ? m_int : 0; }
    float GetFloat() const { return m_type == kFloat ? m_float : 0.0f; }
    const std::string& GetString() const;
    GUID GetGuid() const { return m_type == kGuid ? m_guid : GUID{}; }

    // Same type and same value (floats bit for bit, so a stored NaN equals itself).
    bool operator==(const CDataCell& other) const;

private:
    Type m_type = kEmpty;
    int32_t m_int = 0;
    float m_float = 0.0f;
    std::string m_string;
    GUID m_guid;
};

}  // namespace datakeeper
