// The edition this library runs as, set once by the program at start-up before overlays are built. A few
// details follow it (edition 1: Height and Width defaults for the horizontal and vertical tools, yellow grips).
// UI thread only.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>

using OEM_PRODUCT = int32_t;

// 0 until SetOEMProduct is called.
extern VISTREL_EXPORT OEM_PRODUCT g_OEMProduct;

VISTREL_EXPORT void SetOEMProduct(OEM_PRODUCT product);
