#include "quantor/GridData.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace quantor {

namespace {

// Heights for `nodes` nodes. Storage that must grow is taken fresh (its former heights are not kept: the builders
// write every one); when it runs to megabytes the kernel is asked for large pages before anything touches it, since
// faulting in tens of megabytes of 4 KiB pages costs many times what filling them does (a 20-megapixel image at
// step 1 is 80 MB of heights).
void SizeHeights(std::vector<float>& heights, size_t nodes)
{
    constexpr uintptr_t kLargePage = uintptr_t(2) << 20;
    if (nodes > heights.capacity() && nodes * sizeof(float) >= 4 * kLargePage) {
        std::vector<float> fresh;
        fresh.reserve(nodes);
        const uintptr_t begin = (reinterpret_cast<uintptr_t>(fresh.data()) + kLargePage - 1) & ~(kLargePage - 1);
        const uintptr_t end = reinterpret_cast<uintptr_t>(fresh.data() + nodes) & ~(kLargePage - 1);
#ifdef MADV_HUGEPAGE
        if (end > begin)
            madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);  // only advice: failing is fine
#endif
        heights = std::move(fresh);
    }
    heights.resize(nodes);
}

}  // namespace

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
    SizeHeights(grid.m_pCoordZ, nodes);
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

void SpreadEvenly(std::vector<float>& coords)
{
    const size_t n = coords.size();
    for (size_t i = 0; i < n; ++i)
        coords[i] = n > 1 ? static_cast<float>(i) / static_cast<float>(n - 1) - kHalfSize : -kHalfSize;
}

void NormalizeRecord(GridData& grid, bool withValues)
{
    const auto normalise = [](std::vector<float>& values, float& lo, float& hi) {
        for (float v : values) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        for (float& v : values)
            v = NormalizeInto(v, lo, hi);
    };
    normalise(grid.m_pCoordX, grid.m_fMinX, grid.m_fMaxX);
    normalise(grid.m_pCoordY, grid.m_fMinY, grid.m_fMaxY);
    normalise(grid.m_pCoordZ, grid.m_fMinZ, grid.m_fMaxZ);
    if (withValues)
        normalise(grid.m_pValues, grid.m_fMinV, grid.m_fMaxV);
}

float NormalizeInto(float v, float lo, float hi)
{
    if (!(hi > lo))
        return -kHalfSize;
    return (v - lo) / (hi - lo) - kHalfSize;
}

}  // namespace quantor
