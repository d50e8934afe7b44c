// The two shared-memory blocks of a companion's open-with-calibration request: the first byte says how many of the
// following bytes form the units block (at most the 128 the program reads), the rest is the path block. Whatever
// the bytes, the request is refused or yields a usable length per pixel and a path without a NUL.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "peers/CompanionMailbox.h"
#include "peers/CompanionMessages.h"

#include <algorithm>
#include <cmath>
#include <string>

VISTREL_FUZZ_TARGET(companion_tlv)
{
    if (size == 0)
        return 0;
    const size_t unitsBytes = std::min<size_t>(data[0] % (companion::kTlvUnitsPerPixelView + 1), size - 1);
    const std::string units(reinterpret_cast<const char*>(data + 1), unitsBytes);
    const size_t pathBytes = std::min(size - 1 - unitsBytes, companion::kTlvImagePathView);
    const std::string path(reinterpret_cast<const char*>(data + 1 + unitsBytes), pathBytes);
    TlvHandOver handOver;
    if (!ParseTlvHandOver(units, path, handOver))
        return 0;
    FuzzCheck(std::isfinite(handOver.unitsPerPixel) && handOver.unitsPerPixel > 0, "a usable length per pixel");
    FuzzCheck(handOver.path.find('\0') == std::string::npos, "a path ends at its terminator");
    return 0;
}
