// One grid record of the surface plot and of the volume map: coordinates normalised into the plot cube (-h..1-h on
// every axis), the bounds they came from, and every display setting the grid stream carries with them.
#pragma once

#include "quantor/PlotString.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quantor {

constexpr float kHalfSize = 0.5f;
constexpr float kNoMinimum = 1e30f;
constexpr float kNoMaximum = -1e30f;
constexpr int kDrawModeCount = 25;

using Colour3 = std::array<float, 3>;

struct PlotMarker {
    float x = 0, y = 0, z = 0;
    int number = 0;
    CPlotString label;
};

// Volume kinds of the map: 2 one z per layer, 3 layer-numbered values, 4 one z per node.
enum VolumeKind { kVolumeLayers = 2, kVolumeNumbered = 3, kVolumeNodes = 4 };

struct GridData {
    CPlotString m_strName;
    float m_fReserved = 0;       // carried in the stream, not drawn
    int m_nPlotKind = 2;         // 0 flat, 1 grid, 2 surface; 3..5 volume
    int m_nPlotKindExtra = 2;    // carried in the stream
    int m_nMouseMode = 0;
    Colour3 m_fBackColor{0, 0, 0};
    Colour3 m_fLowColor{0, 0, 1};
    Colour3 m_fHighColor{1, 0, 0};
    Colour3 m_fFrameColor{1, 1, 127.0f / 255};
    uint8_t m_bGradient = 1;
    int m_nGradientSteps = 10;
    int m_nTableColors = 10;
    float m_fColorFloor = -kHalfSize;
    std::vector<uint32_t> m_arrColorTable;
    int m_bShowAxes = 1, m_bShowLegend = 0, m_bShowBox = 1, m_bShowWalls = 1, m_bShowFloor = 1;
    int m_nValueKind = 0;
    int m_nSizeX = 0, m_nSizeY = 0, m_nSizeZ = 0;
    float m_fMinX = kNoMinimum, m_fMaxX = kNoMaximum, m_fMinY = kNoMinimum, m_fMaxY = kNoMaximum;
    float m_fMinZ = kNoMinimum, m_fMaxZ = kNoMaximum, m_fMinV = kNoMinimum, m_fMaxV = kNoMaximum;
    float m_fPanX = 0, m_fPanY = 0;
    int m_nLegendX = 0, m_nLegendY = 0;
    float m_fRotX = -70, m_fRotY = 0, m_fRotZ = 0;
    float m_fTransX = 0, m_fTransY = 0, m_fTransZ = -4;
    float m_fScaleX = 1, m_fScaleY = 1, m_fScaleZ = 1;
    std::vector<PlotMarker> m_arrMarkers;
    Colour3 m_fMarkerColor{1, 1, 127.0f / 255};
    int m_bShowMarkers = 0, m_bShowMarkerLabels = 1, m_bShowMarkerPosts = 1;
    float m_fMarkerReserved = 0;  // carried in the stream before m_bShowMarkerPosts
    std::vector<float> m_pCoordX, m_pCoordY, m_pCoordZ, m_pValues;
    // Volume tail (the map's records only).
    std::array<float, 4> m_fVolumeReserved{};
    int m_nVolumeOne = 1;
    std::array<int, 5> m_nVolumeZeros{};
    int m_nCutX = 1, m_nCutY = 1, m_nCutZ = 1;
    int m_nDrawMode = 0;
    int m_nVolumeLast = 0;
};

// The 20 colours every new record's table starts with (0x00BBGGRR).
const std::vector<uint32_t>& DefaultColorTable();

// A surface record of nx x ny nodes with the plot's defaults; heights allocated, values when valueKind is 1.
// The scale keeps the aspect of the node counts (the larger count, or ny when equal, scales to 1).
GridData MakeSurfaceRecord(int nx, int ny, int valueKind);
// The same taking over the storage of an earlier record's heights, for a builder that writes every height itself:
// rebuilding a grid of the size it had allocates and clears nothing.
GridData MakeSurfaceRecord(int nx, int ny, int valueKind, std::vector<float>&& heightStorage);
// A volume record of nx x ny x nz nodes of the given kind with the map's defaults.
GridData MakeVolumeRecord(int nx, int ny, int nz, int kind);

// v from [lo, hi] into the cube: (v - lo) / (hi - lo) - h; a single value (lo == hi) goes to -h.
float NormalizeInto(float v, float lo, float hi);

}  // namespace quantor
