// The texts the U2 driver shows, in its string table (English and Korean).
#pragma once

#include <cstdint>
#include <string>

enum U2Text : uint32_t
{
    kTextCaption = 1,
    kTextNoBuffer = 2,
    kTextNoDigitizer = 3,
    kTextLibraryMissing = 4,  // %s: the library's file name
    kTextBoardStuck = 5,
};

std::string U2String(U2Text id);
