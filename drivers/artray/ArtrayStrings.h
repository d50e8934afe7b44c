// The texts the ARTRAY drivers show, in the string table of the module they are built into (English and Korean).
#pragma once

#include <cstdint>
#include <string>

enum ArtrayText : uint32_t
{
    kTextDevicePropertyCaption = 1,
    kTextOk = 2,
    kTextCancel = 3,
    kTextVideoFormat = 4,
    kTextColorControl = 5,
    kTextAnalog = 6,
    kTextScanOption = 7,
    kTextScanOptionCaption = 8,
    kTextRowSize = 9,    // %d x %d: width, height
    kTextRowStart = 10,  // [ %d , %d ]: the crop's first column and row
};

std::string ArtrayString(ArtrayText id);
