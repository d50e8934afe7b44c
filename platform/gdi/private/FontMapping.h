// Conversion of a LOGFONTA to a QFont at 96 DPI (internal to the drawing layer).
#pragma once

#include "types/WinRecords.h"

#include <QFont>

namespace gdi_detail {

// The em height in pixels a LOGFONTA with lfHeight 0 gets.
constexpr int kDefaultEmHeight = 12;

// Heights: negative = em height, positive = cell height (ascent + descent), 0 = kDefaultEmHeight. An empty face name
// means "Arial". The faces Windows had are found through the installed metric-compatible faces.
QFont ToQFont(const LOGFONTA& font);

}  // namespace gdi_detail
