// The surface plot: an image's intensities sampled into a height grid over the unit plot cube and drawn as a flat
// colour map, a wireframe grid or a filled surface, with axes, box, walls, floor, markers and a legend.
#pragma once

#include "quantor/GlScene.h"
#include "quantor/GridFiles.h"

#include <cstdint>

namespace quantor {

enum PlotKind { kPlotFlat = 0, kPlotGrid = 1, kPlotSurface = 2 };

// The pixels a plot samples: rows top first, 8 bits per pixel (grey) or 24/32 (blue, green, red[, fourth]).
struct PlotImage {
    int width = 0, height = 0;
    int bitCount = 0;
    const uint8_t* const* rows = nullptr;
};

// The colour a normalised height or value takes in a record's colouring: false when no band holds it (above the
// cube), so the current colour stays. A value exactly on a band boundary takes the lower band.
bool ValueColour(const GridData& grid, float value, Colour3& colour);
// The colour of gradient band k of n, from the low to the high colour (the low colour when there is one band).
Colour3 GradientBand(const GridData& grid, int k, int n);

// The records and their drawing, without the image.
class GridPlot : public GlScene
{
public:
    GridPlot() { m_nColorSource = 0; }

    // count records of nx x ny nodes with the plot's defaults (values per node when valueKind is 1); the first is
    // made current.
    void InitGrids(int nx, int ny, int valueKind, int count);
    // Bounds from each record's arrays, then every array normalised into the cube.
    void Normalize(int valueKind, int count);
    // Takes records a grid file was read into; the first becomes current.
    void AdoptRecords(GridScene&& records);
    const GridScene& Records() const { return m_records; }
    GridData* CurrentGrid() const { return m_pCurGrid; }

protected:
    void DrawScene() override;
    void SetValueColor(float value) override;
    void DrawBoxEdges() override { DrawBoxEdgesUpTo(1.2f * m_fHalfSize); }
    void DrawLegend(const PlotRect& client) override;

    void ClearRecords();
    void MakeCurrent(GridData* grid);

    GridScene m_records;
    GridData* m_pCurGrid = nullptr;

private:
    void DrawCells(const GridData& g);
    void DrawFlat(const GridData& g);
    void DrawWalls(const GridData& g);
    void DrawFloor();
    void DrawMarkers(const GridData& g);
    void ColourNode(const GridData& g, int node);
};

// The plot the dialog shows, built from an image.
class SurfacePlot : public GridPlot
{
public:
    // The image is not owned; the caller rebuilds after any change.
    void SetImage(const PlotImage* image, int channel) { m_pImage = image; m_nChannel = channel; }
    void SetStep(int step) { m_nStep = step; }
    void SetChannel(int channel) { m_nChannel = channel; }
    int Step() const { return m_nStep; }
    int Channel() const { return m_nChannel; }

    // Rebuilds the one record from the image: node (i, j) samples column i * step of row (ny - 1 - j) * step, so
    // the bottom of the image is the front of the plot; channel 0 of a colour image is its luminance, 1..3 red,
    // green and blue. No grid (the demo) when the image is smaller than one step or of another depth.
    void BuildFromImage();
    // Turns the heights upside down; twice gives them back.
    void Invert();

private:
    const PlotImage* m_pImage = nullptr;
    int m_nChannel = 0;
    int m_nStep = 2;
};

}  // namespace quantor
