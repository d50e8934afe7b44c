// The pixel operations of the "Image Enhance" plug-in, on the document's image in place.
//
// Every operation takes 8-bit (grey or indexed: the index bytes change, the palette does not), 24-bit (B, G, R) and
// 32-bit (B, G, R, A) images; IsEnhanceableImage says which images they accept, and each returns false (nothing
// changed) for any other, among them the 1- to 7-bit indexed models, whose bytes are palette indexes below 1 << n
// that a level mapping would push outside the palette.
//
// Our definitions where a level mapping could be computed several ways:
// - Levels of a histogram for a percentage p: the low level is the first level, counting up from 0, at which the
//   running count reaches p percent of the pixels (count * 100 >= p * N, in exact integers); the high level the same
//   counting down from 255.
// - Stretch from lo to hi: below lo 0, above hi 255, lo + k maps to k * 255 / (hi - lo) truncated, so hi maps to
//   exactly 255. When lo equals hi the image is flat in that channel and the channel is left unchanged.
// - Auto Contrast: grey p = 3; colour p = 1 per channel, lo and hi the rounded means of the channels' levels, one
//   stretch for B, G and R alike; alpha untouched.
// - Auto Level: grey as Auto Contrast; colour p = 0.5 and a stretch of each channel from its own levels (the same
//   truncation for every channel); alpha untouched.
// - Histogram Equalize: LUT[v] = round(255 * C(v) / N), C the cumulative count; colour: the integer mean of the
//   three channels' equalised values, applied to B, G and R alike.
// - Brightness/contrast: LUT[i] = trunc((i + offset) * (400 - contrast) / 200) clamped to 0..255, where offset is
//   the brightness (+256..-256) and the contrast position 0..400 gives the factor 2.00..0.00.
// - Threshold: levels below t become 0, the others 255 (t = 0: all white; t = 256: all black).
#pragma once

#include "qvimage/CQvImage.h"
#include "types/WinTypes.h"

#include <array>

namespace lumenor {

using Lut = std::array<BYTE, 256>;
using Histogram = std::array<unsigned, 256>;

// True for a non-empty 8-, 24- or 32-bit image.
bool IsEnhanceableImage(const CQvImage& image);

bool Invert(CQvImage& image);
bool AutoContrast(CQvImage& image);
bool AutoLevel(CQvImage& image);
bool HistogramEqualize(CQvImage& image);
// 3 x 3 median of each channel (edge pixels repeated); grey stays 8-bit grey, every other image becomes 24-bit.
bool RemoveNoise(CQvImage& image);

// The same operations from `source` into `target`, which has the source's colour model and size (it may be the
// source itself): every pixel byte of the target is written, its palette and region are left alone. False
// (nothing written) for a source the operations do not take or a target of another shape.
bool InvertInto(const CQvImage& source, CQvImage& target);
bool AutoContrastInto(const CQvImage& source, CQvImage& target);
bool AutoLevelInto(const CQvImage& source, CQvImage& target);
bool HistogramEqualizeInto(const CQvImage& source, CQvImage& target);
// The filtered source in `result` (8-bit grey or 24-bit, no region); the source is left alone. A `result` that
// already has the result's model and the source's size is written over, any other replaced by a new image.
bool RemoveNoiseInto(const CQvImage& source, CQvImage& result);

// Levels of `histogram` over `total` pixels for p given in tenths of a percent (30 = 3 %).
void FindLevels(const Histogram& histogram, unsigned long long total, int perMille, int* lo, int* hi);
Lut StretchLut(int lo, int hi);

// The brightness/contrast mapping; offset -256..256, contrast 0..400.
Lut BrightnessContrastLut(int offset, int contrast);
// Maps B, G and R (or the grey byte) of `source` through `lut` into `target` (same model and size); alpha is copied.
bool ApplyLut(const CQvImage& source, CQvImage& target, const Lut& lut);

// Grey levels of an enhanceable image: a copy of an 8-bit one, the weighted grey (0.212671 R + 0.71516 G +
// 0.072169 B) of a colour one. False for any other image.
bool ToGrey(const CQvImage& source, CQvImage& grey);
Histogram GreyHistogram(const CQvImage& grey);
// Writes the binarised `grey` (below t 0, else 255) into `target`, created grey at its size (it may be `grey`).
bool ApplyThreshold(const CQvImage& grey, CQvImage& target, int t);
// The pixels below t: those the threshold turns black.
unsigned long long CountBelow(const Histogram& histogram, int t);

// Per pixel the median of `count` frames (1..256) of one enhanceable model and size into `result`, created with that
// model and size: the value at sorted position (count - 1) / 2, the lower middle for an even count. Colour pixels are
// ranked by B + G + R, equal sums by frame order, and the whole pixel (alpha included) of the chosen frame is copied.
// False, with `result` unchanged, when the count, a model or a size does not fit.
bool FrameMedian(const CQvImage* frames, int count, CQvImage& result);

}  // namespace lumenor
