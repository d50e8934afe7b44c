// The stock pens, brushes and font (internal to the drawing layer); they live for the whole program.
#pragma once

#include "gdi/CBrush.h"
#include "gdi/CFont.h"
#include "gdi/CPen.h"

namespace gdi_detail {

// Null for an index that names no stock object.
CGdiObject* StockObject(int index);

}  // namespace gdi_detail
