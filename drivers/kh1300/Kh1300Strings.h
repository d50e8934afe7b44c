// The texts the KH-1300 driver shows, in its string table (English and Korean).
#pragma once

#include <cstdint>
#include <string>

enum Kh1300Text : uint32_t
{
    kTextModeSetError = 1,
    kTextModeGetError = 2,
    kTextImageSizeError = 3,
    kTextNotFoundCamera = 4,
    kTextIsoStopError = 5,
    kTextCloseError = 6,
    kTextLibraryMissing = 7,  // %s: the library's file name
    kTextPropertyCaption = 8,
    kTextResolutionGroup = 9,
    kTextOk = 10,
    kTextCancel = 11,
};

std::string Kh1300String(Kh1300Text id);
