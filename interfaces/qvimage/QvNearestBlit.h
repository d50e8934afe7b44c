// Pixel work of the display window on its 32-bit surfaces (RGB32 or ARGB32, alpha left opaque): image drawing by
// nearest neighbour, never smoothed, and plain rectangle fills. Only the window pixels inside the clip rectangle
// and the surface are written, and only the source pixels they show are read, so drawing a zoomed-in corner of a
// large image costs the corner, not the image. Surfaces of other formats are left untouched. Any thread, one
// surface at a time. A large drawing is split into bands of rows that the calling thread and a few threads kept
// for the purpose take as they come free (one drawing at a time uses them; another drawing meanwhile runs on its
// own thread); each band is drawn exactly as the whole would draw it, and the call returns when all are done.
#pragma once

#include "CQvImage.h"
#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

#include <QImage>

// Draws `image` with its pixel (0, 0) at window position `origin`, pixel (x, y) covering the window pixels given by
// the zoom rule of QvZoomMapping.h. Grey models show their level, indexed models their palette colour (an index
// beyond the palette shows black), RGB and RGBA models their colour without alpha. threads: 0 lets the blit
// choose (several threads, at most kQvBlitMaxThreads, only where the drawn area is large enough to repay them);
// 1 keeps the work on the calling thread; n > 1 lets up to n threads (at most kQvBlitMaxThreads) share it
// whatever the area.
VISTREL_EXPORT void BlitNearest(const CQvImage& image, float ratio, CPoint origin, const CRect& clip,
                                QImage& surface, int threads = 0);

// The most threads a blit that chooses for itself uses, and the fewest window pixels it splits.
constexpr int kQvBlitMaxThreads = 4;
constexpr long long kQvBlitSplitPixels = 512 * 512;

// Fills the part of `rect` inside the surface with an 0xRRGGBB colour.
void FillSurfaceRect(QImage& surface, const CRect& rect, QRgb colour);
