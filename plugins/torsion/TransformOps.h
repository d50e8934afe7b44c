// The image work behind Torsion's entries and its ResizeImage service. Each call builds its result apart from the
// source and leaves the source alone, so a caller keeps the source as its undo point once it has the result.
// Results follow the image library's bridge: 8-bit grey for grey sources, 24-bit colour for every other source.
#pragma once

#include "qvimage/CQvImage.h"

namespace torsion {

// Images of fewer than 8 bits a pixel (1- to 7-bit indexed) and unknown models are left alone.
bool IsSupported(const CQvImage& image);

// The source scaled onto width x height with the library's interpolation code. False (result untouched) for an
// unsupported or empty source or a size the image cannot take.
bool Resize(CQvImage& source, int width, int height, int interpolation, CQvImage& result);

// The canvas a turn by `degrees` needs: the bounding box of the turned image, each side rounded up.
void RotatedCanvas(int width, int height, double degrees, int* newWidth, int* newHeight);
// The source turned counter-clockwise by `degrees` about its centre onto the bounding-box canvas, corners black.
// A half turn is a flip both ways, as below.
bool Rotate(CQvImage& source, double degrees, CQvImage& result);

// axis 0: upside down; 1: left to right; -1: both. A `result` that already has the result's model and the source's
// size is written over (every pixel byte, its region dropped), so a caller may hand in a buffer it has at hand; any
// other is replaced by a new image.
bool Flip(CQvImage& source, int axis, CQvImage& result);

}  // namespace torsion
