#include "datakeeper/Guid.h"

#include <sys/random.h>

#include <cstdio>
#include <cstring>
#include <random>

namespace datakeeper {

GUID NewGuid()
{
    uint8_t bytes[16];
    size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    if (got < sizeof bytes) {
        // Only without the kernel's source (very old kernels, seccomp): an identifier still unlikely to repeat.
        std::random_device device;
        for (uint8_t& byte : bytes)
            byte = static_cast<uint8_t>(device());
    }
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);
    GUID guid;
    std::memcpy(&guid.Data1, bytes, 4);
    std::memcpy(&guid.Data2, bytes + 4, 2);
    std::memcpy(&guid.Data3, bytes + 6, 2);
    std::memcpy(guid.Data4, bytes + 8, 8);
    return guid;
}

std::string GuidText(const GUID& g)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3,
                  g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

}  // namespace datakeeper
