// Conversions between images and packed DIBs (40-byte header, palette, rows padded to 4 bytes, bottom-up for a
// positive height, top-down for a negative one), the frame and clipboard exchange format.
#pragma once

#include "qvimage/CQvImage.h"

// Converts a packed DIB into `image` (the last argument is unused, pass 0). Accepted: uncompressed 1, 4 and 8 bits
// with a palette of biClrUsed entries (1 << bits when 0), 24 and 32 bits. An 8-bit DIB whose palette is the full
// grey ramp becomes QV_GRAY8; other palettes give QV_INDEX1 / QV_INDEX4 / QV_INDEX8; 24 bits QV_RGB24, 32 bits
// QV_RGBA32. Returns 1, or 0 leaving the image unchanged for a null pointer or a DIB it cannot take.
VISTREL_EXPORT int DIB2QVIMG(const BITMAPINFOHEADER* dib, CQvImage* image, int reserved);

// Allocates a bottom-up packed DIB of `image` into *out: grey models as 8 bits with the grey ramp, QV_INDEX1 as 1
// bit, QV_INDEX2..4 as 4 bits, QV_INDEX5..7 and QV_INDEX8 as 8 bits with the image's palette, RGB as 24 bits and
// RGBA as 32 bits; biClrUsed is the palette length, biSizeImage the pixel bytes. The block is made with the global
// operator new; the caller frees it with QVFreeDIB (or ::operator delete). Returns 1, or 0 with *out null for an
// empty image.
VISTREL_EXPORT int QVIMG2DIB(const CQvImage* image, BITMAPINFOHEADER** out);
VISTREL_EXPORT void QVFreeDIB(BITMAPINFOHEADER* dib);

// Bytes of a packed DIB: header, palette and pixels; 0 for a header DIB2QVIMG refuses. A reader of a DIB from
// outside checks that its block holds this many bytes (and that it is not 0) before converting it.
VISTREL_EXPORT size_t QVDibSize(const BITMAPINFOHEADER* dib);
