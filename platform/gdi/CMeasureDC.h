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
};
