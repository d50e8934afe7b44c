// The 16-byte identifier of a stored object, in the Windows field layout (one 32-bit, two 16-bit fields, eight
// bytes). Stored as those fields, little-endian.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>
#include <string>

namespace datakeeper {

struct GUID
{
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};

    friend bool operator==(const GUID&, const GUID&) = default;
};
static_assert(sizeof(GUID) == 16, "the Windows layout");

// A fresh random (version 4) identifier from the kernel's random source.
VISTREL_EXPORT GUID NewGuid();
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", for logs and test messages.
VISTREL_EXPORT std::string GuidText(const GUID& guid);

}  // namespace datakeeper
