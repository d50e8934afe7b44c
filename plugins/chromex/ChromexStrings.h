// The texts of the "Color" plug-in, from its own string table.
#pragma once

#include <string>

namespace chromex {

constexpr const char kModuleName[] = "Chromex";

enum ChromexStringId
{
    IDS_GROUP = 1,
    IDS_RGB_TO_GRAY = 2,
    IDS_PSEUDO_COLOR = 3,
    IDS_NOT_GRAY = 4,
    IDS_PLAY = 5,
    IDS_STOP = 6,
    IDS_PREDEFINED = 100,
    IDS_RANDOM = 101,
    IDS_TIME_INTERVAL = 102,
    IDS_SECONDS = 103,
    IDS_PREV = 104,
    IDS_SINGLE = 105,
    IDS_PALETTES_REFUSED = 106,
};

std::string ChromexString(int id);

}  // namespace chromex
