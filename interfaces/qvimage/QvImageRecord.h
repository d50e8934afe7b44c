// The image record stored inside the native document file, at the stream's position. Little-endian:
//   uint32 magic "QVIM" (0x4D495651), uint32 version 1, int32 colour model, int32 width, int32 height,
//   int32 bits per pixel, int32 stride, uint32 palette count, palette count x (B, G, R, reserved) bytes,
//   stride x height pixel bytes, rows top-down.
// An empty image is written with width, height, stride 0 and no pixels. The region of interest is not stored.
#pragma once

#include "qvimage/CQvImage.h"

#include <cstdio>

// Writes the record; returns 1, or 0 when the stream refused a byte.
VISTREL_EXPORT int QVWriteImage(FILE* file, const CQvImage* image);
// Reads a record into `image`. Every field is checked (magic, version, known model, sizes within the limits of
// CQvImage.h, bits per pixel and stride matching the model and width, palette count fitting the model, pixels not
// beyond the end of the file) before anything is allocated. Returns 1, or 0 leaving the image unchanged.
VISTREL_EXPORT int QVReadImage(FILE* file, CQvImage* image);
