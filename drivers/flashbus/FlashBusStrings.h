// The texts the FlashBus driver shows, in its string table (English and Korean).
#pragma once

#include <cstdint>
#include <string>

enum FlashBusText : uint32_t
{
    kTextNoSignal = 1,
    kTextLibraryMissing = 2,  // %s: the library's file name
};

std::string FlashBusString(FlashBusText id);
