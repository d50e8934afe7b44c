// Whole-image operations: fill, copy and resize-copy of a rectangle, colour conversions. Rectangles are in image
// pixels with exclusive right and bottom and are clipped to the image. Results are 1 on success, 0 on failure
// (nothing changed then).
#pragma once

#include "qvimage/CQvImage.h"
#include "types/WinGeometry.h"

// Every byte of each pixel inside (mode 0) or outside (mode 1) the region of interest becomes `value`. Without a
// region, mode 0 fills the whole image and mode 1 nothing.
VISTREL_EXPORT int QVSetFill(CQvImage* image, unsigned char value, int mode);
// Every byte of each pixel inside the rectangle becomes `value`.
VISTREL_EXPORT int QVSetFill(CQvImage* image, unsigned char value, CRect rect);

// Re-creates `target` as the part of `source` inside the rectangle: same colour model and palette, the region of
// interest moved by the rectangle's origin. Source and target may be the same image.
VISTREL_EXPORT int QVCopyImage(const CQvImage* source, CQvImage* target, CRect rect);
// As QVCopyImage, scaled by `ratio` (> 0) with nearest-neighbour sampling: the target is
// trunc(w * ratio + 0.5) x trunc(h * ratio + 0.5) pixels (at least 1), and target pixel (x, y) takes the source
// pixel under its centre, rect origin + floor((x + 0.5) / ratio). The region is not carried over.
VISTREL_EXPORT int QVResizeCopyImage(const CQvImage* source, CQvImage* target, CRect rect, float ratio);

// Grey levels clamp(round(red * R + green * G + blue * B)) of a 24-bit (QvRGB2Gray) or 32-bit (QvRGBA2Gray) source
// into a grey target already created with the source's size.
VISTREL_EXPORT int QvRGB2Gray(const CQvImage* source, CQvImage* target, float red, float green, float blue);
VISTREL_EXPORT int QvRGBA2Gray(const CQvImage* source, CQvImage* target, float red, float green, float blue);
// Any source as colour, into a target already created with the source's size: QvConvert2RGB into a 24-bit target,
// QvConvert2RGBA into a 32-bit one (alpha 255 unless the source has its own), QvIndex2RGB only from an indexed
// source into a 24-bit target.
VISTREL_EXPORT int QvConvert2RGB(const CQvImage* source, CQvImage* target);
VISTREL_EXPORT int QvConvert2RGBA(const CQvImage* source, CQvImage* target);
VISTREL_EXPORT int QvIndex2RGB(const CQvImage* source, CQvImage* target);
