// The texts the start-up itself shows, in the UI language.
#pragma once

#include "types/WinTypes.h"

#include <string>

namespace startstr {
// A running instance took the connection but did not act on this start's request.
constexpr UINT IDS_INSTANCE_DID_NOT_ANSWER = 7801;
}  // namespace startstr

std::string StartupString(UINT id);
