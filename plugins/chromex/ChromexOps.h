// The two operations of the "Color" plug-in on whole images: the grey conversion and the look-up of a grey image
// through a 256-entry colour table.
#pragma once

#include "qvimage/CQvImage.h"

#include <array>
#include <cstdint>

namespace chromex {

// The luminance weights of the grey conversion (red, green, blue). The image library rounds the weighted sum to the
// nearest level, so pure red, green and blue give 54, 182 and 18.
constexpr float kRedWeight = 0.212671f;
constexpr float kGreenWeight = 0.71516f;
constexpr float kBlueWeight = 0.072169f;

// 256 entries of 3 bytes stored blue, green, red.
using ColourTable = std::array<uint8_t, 256 * 3>;

// Grey models (0 and 10): the only ones the pseudo colour takes and the ones the grey conversion leaves alone.
bool IsGreyModel(int model);

// The 8-bit grey (QV_GRAY8) form of an indexed (1..7, 11), 24-bit (20, 21) or 32-bit (48) image; false, `grey`
// untouched, for any other model (the grey ones among them) or an image the library cannot convert.
bool ConvertToGrey(const CQvImage& source, CQvImage& grey);

// Every pixel of the 8-bit source becomes its table entry in the 24-bit destination, which must have the source's
// size (false otherwise, nothing written).
bool ApplyTable(const ColourTable& table, const CQvImage& source, CQvImage& destination);

}  // namespace chromex
