// Whether Shift is held, as the latest input event reported it: a handle drag with Shift keeps a box square.
// UI thread only.
#pragma once

bool ShiftHeld();
