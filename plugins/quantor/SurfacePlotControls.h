// What the surface-plot dialog's controls do to the shown grid, as plain functions the dialog and its tests share:
// the apply step (rotation, zoom, height scale, colours), the three display kinds, the channel list of an image
// depth, and the two legend colours kept in the profile.
#pragma once

#include "quantor/GridData.h"

#include "types/ColorRef.h"

#include <vector>

class CAppProfile;

namespace quantor {

// The controls' positions as the apply step reads them.
struct PlotControls
{
    int zoom = 20;
    int zoomMax = 100;
    int zAxis = 10;
    int zAxisMax = 100;
    int centerRotate = 0;
    int xRotate = -40;
    bool flat = false;
    COLORREF low = RGB(0, 0, 255);
    COLORREF high = RGB(255, 0, 0);
};

// The x and y scale factors of a freshly built grid, which the zoom multiplies.
struct KeptScale
{
    float x = 1;
    float y = 1;
};

// 2/3 + zoom / zoom maximum, in real division (an integer one would leave the zoom dead below its maximum).
double ZoomFactor(const PlotControls& controls);

// Unless flat: the rotations and the height scale from the controls; always: the x and y scale and both colours.
void ApplyControls(GridData& grid, const PlotControls& controls, KeptScale kept);

enum class DisplayKind { Grid, Surface, Flat };
// The kind and the flags each display button sets; the legend follows the "Show" box.
void ApplyDisplay(GridData& grid, DisplayKind kind, bool showLegend);

// The string ids the channel list offers for an image of `bits` per pixel: "RGB" alone for 8 bits, "RGB" and the
// three channel intensities for 24 and 32 bits, nothing otherwise.
std::vector<int> ChannelEntries(int bits);

// A COLORREF (low byte red) as three floats of 0..1.
Colour3 ColourOf(COLORREF colour);

// The legend colours kept between runs: Software\QRX\Quantor\COLORS, "Low Color" (blue by default) and
// "High Color" (red by default), as the colour values.
struct LegendColours
{
    COLORREF low = RGB(0, 0, 255);
    COLORREF high = RGB(255, 0, 0);
};
CAppProfile& QuantorProfile();
LegendColours LoadLegendColours(const CAppProfile& profile);
void SaveLegendColours(CAppProfile& profile, const LegendColours& colours);

}  // namespace quantor
