// Writes a 32-bit RGBA image as a BMP file that keeps its alpha: a BITMAPV5HEADER with BI_BITFIELDS masks for
// red, green, blue and alpha (what readers look for to take the fourth byte as straight alpha), sRGB colour
// space, rows bottom-up, 4 bytes a pixel B, G, R, A. Qt's BMP reader, and so the codec's, reads it back exactly.
// Internal to QvCodec; any thread.
#pragma once

#include "CQvImage.h"

#include <QByteArray>

// The whole file; empty for an image that is not 32 bits a pixel.
QByteArray BmpWithAlpha(const CQvImage& image);
