// The two roundings of the system. They differ for negative values and must never be mixed:
// image-to-window mapping truncates (v + 0.5); value rounding goes half away from zero. Both saturate at the ends of
// int (infinities included) and give 0 for NaN, so a damaged stored value never reaches an undefined conversion.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>

// trunc(v + 0.5): the mapping of image coordinates to window pixels. -1.7 -> -1, -0.5 -> 0.
VISTREL_EXPORT int TruncHalfUp(double v);

// Half away from zero (std::lround): 2.5 -> 3, -2.5 -> -3.
VISTREL_EXPORT int RoundHalfAway(double v);

// a * b / c computed in 64 bits and rounded half away from zero; -1 when c is 0 (as Windows does).
VISTREL_EXPORT int32_t MulDiv(int32_t a, int32_t b, int32_t c);
