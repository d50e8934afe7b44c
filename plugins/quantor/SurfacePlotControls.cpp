#include "quantor/SurfacePlotControls.h"

#include "quantor/QuantorStrings.h"

#include "profile/CAppProfile.h"

namespace quantor {

namespace {

constexpr double kTwoThirds = 0.6666666666666666;
constexpr const char kColoursSection[] = "COLORS";
constexpr const char kLowEntry[] = "Low Color";
constexpr const char kHighEntry[] = "High Color";

}  // namespace

double ZoomFactor(const PlotControls& controls)
{
    const double max = controls.zoomMax > 0 ? controls.zoomMax : 1;
    return kTwoThirds + controls.zoom / max;
}

void ApplyControls(GridData& grid, const PlotControls& controls, KeptScale kept)
{
    const double f = ZoomFactor(controls);
    if (!controls.flat) {
        grid.m_fRotX = static_cast<float>(controls.xRotate);
        grid.m_fRotZ = static_cast<float>(controls.centerRotate);
        const double zMax = controls.zAxisMax > 0 ? controls.zAxisMax : 1;
        grid.m_fScaleZ = static_cast<float>(f * ((controls.zAxis + 0.1) / zMax));
    }
    grid.m_fScaleX = static_cast<float>(f * kept.x);
    grid.m_fScaleY = static_cast<float>(f * kept.y);
    grid.m_fLowColor = ColourOf(controls.low);
    grid.m_fHighColor = ColourOf(controls.high);
}

void ApplyDisplay(GridData& grid, DisplayKind kind, bool showLegend)
{
    grid.m_bShowWalls = 0;
    switch (kind) {
    case DisplayKind::Grid:
        grid.m_nPlotKind = 1;
        grid.m_bShowFloor = 0;
        if (!grid.m_bShowBox)
            grid.m_bShowAxes = 0;
        break;
    case DisplayKind::Surface:
        grid.m_nPlotKind = 2;
        grid.m_bShowFloor = 1;
        break;
    case DisplayKind::Flat:
        grid.m_nPlotKind = 0;
        grid.m_bShowFloor = 0;
        grid.m_bShowBox = 1;
        break;
    }
    grid.m_bShowLegend = showLegend ? 1 : 0;
}

std::vector<int> ChannelEntries(int bits)
{
    if (bits == 8)
        return {IDS_CHANNEL_RGB};
    if (bits == 24 || bits == 32)
        return {IDS_CHANNEL_RGB, IDS_CHANNEL_RED, IDS_CHANNEL_GREEN, IDS_CHANNEL_BLUE};
    return {};
}

Colour3 ColourOf(COLORREF colour)
{
    return {GetRValue(colour) / 255.0f, GetGValue(colour) / 255.0f, GetBValue(colour) / 255.0f};
}

CAppProfile& QuantorProfile()
{
    static CAppProfile profile("QRX", "Quantor");
    return profile;
}

LegendColours LoadLegendColours(const CAppProfile& profile)
{
    const LegendColours defaults;
    return {static_cast<COLORREF>(profile.GetProfileInt(kColoursSection, kLowEntry, static_cast<int>(defaults.low))),
            static_cast<COLORREF>(profile.GetProfileInt(kColoursSection, kHighEntry, static_cast<int>(defaults.high)))};
}

void SaveLegendColours(CAppProfile& profile, const LegendColours& colours)
{
    profile.WriteProfileInt(kColoursSection, kLowEntry, static_cast<int>(colours.low));
    profile.WriteProfileInt(kColoursSection, kHighEntry, static_cast<int>(colours.high));
}

}  // namespace quantor
