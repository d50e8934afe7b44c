// A device context for measuring text (extents, metrics, DT_CALCRECT) without a window, on any thread: it draws
// on a private 1 x 1 surface at 96 DPI.
#pragma once

#include "gdi/CDC.h"

#include <QImage>

namespace gdi_detail {
// Holds the surface so that it exists before the CDC base is built on it.
struct MeasureSurface
{
    QImage surface{1, 1, QImage::Format_RGB32};
};
}  // namespace gdi_detail

class VISTREL_EXPORT CMeasureDC : private gdi_detail::MeasureSurface, public CDC
{
public:
    CMeasureDC() : CDC(surface) {}

    // The calling thread's own measuring DC, for code that measures many texts in a row (reading a large overlay
    // sizes every label): building a DC starts a painter, which costs more than measuring a short text. A caller
    // selects what it needs and restores what it replaced before it returns, as with any DC it does not own.
    static CMeasureDC& ThisThread();
};
