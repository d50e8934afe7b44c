// The system's language identifiers, taken from the user's locale (LC_ALL, LC_MESSAGES, LANG): ko -> 0x0412,
// ja -> 0x0411, zh_TW/zh_HK -> 0x0404, zh (other) -> 0x0804, everything else -> 0x0409 (English, US).
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>

using LANGID = uint16_t;

constexpr LANGID PRIMARYLANGID(LANGID id) { return static_cast<LANGID>(id & 0x3FF); }

VISTREL_EXPORT LANGID GetSystemDefaultLangID();
