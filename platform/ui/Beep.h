// A short tone for operator feedback. Call sites keep the pitch and length they ask for; the desktop offers only its
// bell, so on this platform both are advisory. UI thread.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinTypes.h"

VISTREL_EXPORT void Beep(DWORD frequencyHz, DWORD durationMs);
