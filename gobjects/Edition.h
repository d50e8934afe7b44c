// The edition this library runs as, set once by the program at start-up before overlays are built. A few
// details follow it (edition 1: Height and Width defaults for the horizontal and vertical tools, yellow grips).
// UI thread only.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>

using OEM_PRODUCT = int32_t;

// The editions that change something; every other value behaves as the program's own edition does.
// Edition 1: yellow selection grips, creation cursor 4012, and Height or Width in place of Length for the
// horizontal and vertical tools.
constexpr OEM_PRODUCT kEditionHeightWidth = 1;
// Creation cursor 4011.
constexpr OEM_PRODUCT kEditionCursor4011 = 3;
// The edition the program sets at start-up: nothing differs.
constexpr OEM_PRODUCT kEditionOfTheProgram = 6;
// The 2D-measurement catalogue without Das and Curvature (the other tools keep their pictures).
constexpr OEM_PRODUCT kEditionWithoutDasAndCurvature = 8;
// The 2D-measurement catalogue of eight tools.
constexpr OEM_PRODUCT kEditionEightTools = 9;
// The property sheet offers the display-value page only in these editions (0 is also the edition before any is
// set).
constexpr OEM_PRODUCT kEditionsWithValuePage[] = {0, 2, 11};

// 0 until SetOEMProduct is called.
extern VISTREL_EXPORT OEM_PRODUCT g_OEMProduct;

VISTREL_EXPORT void SetOEMProduct(OEM_PRODUCT product);
