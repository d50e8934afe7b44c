// The texts of the companion-program messages, in the UI language.
#pragma once

#include "types/WinTypes.h"

#include <string>

namespace peerstr {
constexpr UINT IDS_TILING_CANNOT_RUN = 103;  // the tiling tool did not start or never showed its window
constexpr UINT IDS_TILING_TITLE_32 = 104;
constexpr UINT IDS_TILING_TITLE_64 = 105;
}  // namespace peerstr

std::string CompanionString(UINT id);
