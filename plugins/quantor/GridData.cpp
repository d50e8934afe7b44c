#include "quantor/GridData.h"

#include <algorithm>
#include <utility>

namespace quantor {

const std::vector<uint32_t>& DefaultColorTable()
{
    static const std::vector<uint32_t> table = {
        0x000000, 0x00FFFF, 0x008080, 0x0000FF, 0x000080, 0xFF00FF, 0x800080, 0xFF0000, 0x800000, 0xFFFF00,
        0x808000, 0x00FF00, 0x008000, 0xC0C0C0, 0x808080, 0xFFFFFF, 0xF0FBFF, 0xC0DCC0, 0xF0CAA6, 0xA4A0A0,
    };
    return table;
}

GridData MakeSurfaceRecord(int nx, int ny, int valueKind)
{
    return MakeSurfaceRecord(nx, ny, valueKind, {});
}

GridData MakeSurfaceRecord(int nx, int ny, int valueKind, std::vector<float>&& heightStorage)
{
    GridData grid;
    grid.m_arrColorTable = DefaultColorTable();
    grid.m_nValueKind = valueKind;
    grid.m_nSizeX = nx;
    grid.m_nSizeY = ny;
    const size_t nodes = static_cast<size_t>(nx) * static_cast<size_t>(ny);
    grid.m_pCoordX.assign(static_cast<size_t>(nx), 0.0f);
    grid.m_pCoordY.assign(static_cast<size_t>(ny), 0.0f);
    grid.m_pCoordZ = std::move(heightStorage);
    if (grid.m_pCoordZ.empty())
        grid.m_pCoordZ.assign(nodes, 0.0f);
    else
        grid.m_pCoordZ.resize(nodes);
    if (valueKind == 1)
        grid.m_pValues.assign(nodes, 0.0f);
    // Real division: the smaller axis keeps its share instead of collapsing to 0.
    const float larger = static_cast<float>(nx > ny ? nx : ny);
    if (larger > 0) {
        grid.m_fScaleX = static_cast<float>(nx) / larger;
        grid.m_fScaleY = static_cast<float>(ny) / larger;
    }
    return grid;
}

GridData MakeVolumeRecord(int nx, int ny, int nz, int kind)
{
    GridData grid;
    grid.m_arrColorTable = DefaultColorTable();
    grid.m_nValueKind = kind;
    grid.m_nPlotKind = kind == kVolumeLayers ? 3 : kind == kVolumeNumbered ? 4 : 5;
    grid.m_fBackColor = {0, 0, 128.0f / 255};
    grid.m_bShowWalls = 0;
    grid.m_bShowFloor = 0;
    grid.m_bShowMarkerLabels = 0;
    grid.m_bShowMarkerPosts = 0;
    grid.m_nLegendX = 50;
    grid.m_nSizeX = nx;
    grid.m_nSizeY = ny;
    grid.m_nSizeZ = nz;
    const size_t nodes = static_cast<size_t>(nx) * static_cast<size_t>(ny) * static_cast<size_t>(nz);
    grid.m_pCoordX.assign(static_cast<size_t>(nx), 0.0f);
    grid.m_pCoordY.assign(static_cast<size_t>(ny), 0.0f);
    grid.m_pCoordZ.assign(kind == kVolumeLayers ? static_cast<size_t>(nz) : nodes, 0.0f);
    grid.m_pValues.assign(nodes, 0.0f);
    return grid;
}

float NormalizeInto(float v, float lo, float hi)
{
    if (!(hi > lo))
        return -kHalfSize;
    return (v - lo) / (hi - lo) - kHalfSize;
}

}  // namespace quantor
