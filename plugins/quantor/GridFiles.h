// The grid files of the surface plot and the volume map: Surfer grids (binary "B", text "A"), our multi-grid files
// ("C" heights per grid, "D" shared heights with values per grid), volume files ("E" one z per layer, "F" layers
// numbered 1..nz, others one z per node), marker lists in text, and the grid stream that carries a model's records
// with all their display settings.
//
// These bytes come from outside: every count is checked against the bytes that are really there before anything is
// allocated, every float must be finite, binary files must end where their counts say, and labels and names are
// read within their fields. A refused file changes nothing.
#pragma once

#include "quantor/GridData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quantor {

struct GridScene {
    CPlotString m_strName{"GLDemo1.0"};
    int m_nColorSource = 0;
    std::vector<GridData> m_arrGrids;  // the first record is the current one

    GridData* Current() { return m_arrGrids.empty() ? nullptr : &m_arrGrids.front(); }
};

// Loaders: true when the bytes were taken; every record of the scene is replaced then.
bool LoadSurferBinary(const uint8_t* data, size_t size, GridScene& scene);
bool LoadSurferText(const uint8_t* data, size_t size, GridScene& scene);
bool LoadMultiGrid(const uint8_t* data, size_t size, char letter, GridScene& scene);
bool LoadVolume(const uint8_t* data, size_t size, char letter, GridScene& scene);
// "A"/"B" Surfer, "C"/"D" multi-grid; other letters load nothing.
bool LoadSurfaceFile(const uint8_t* data, size_t size, char letter, GridScene& scene);

enum class MarkerLoad { Loaded, NoMarkers, OutOfRange, NoGrid };
// A header line, then "x y number label" per line in the grid's own units; reading stops at the first line that
// does not give the four fields. Labels longer than the stream keeps are cut.
MarkerLoad LoadMarkers(const uint8_t* data, size_t size, GridData* grid);

constexpr size_t kNameBytes = 32;
constexpr size_t kSceneNameBytes = 12;
constexpr size_t kLabelBytes = 12;

// The grid stream of the surface plot and of the volume map; empty for a scene without records.
std::vector<uint8_t> WriteSurfaceStream(const GridScene& scene);
std::vector<uint8_t> WriteVolumeStream(const GridScene& scene);
// The reverse, header included; cut indices and the draw mode are brought into range.
bool ReadSurfaceStream(const uint8_t* data, size_t size, GridScene& scene);
bool ReadVolumeStream(const uint8_t* data, size_t size, GridScene& scene);

}  // namespace quantor
