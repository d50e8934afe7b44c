// The surface plot: an image's intensities sampled into a height grid over the unit plot cube and drawn as a flat
// colour map, a wireframe grid or a filled surface, with axes, box, walls, floor, markers and a legend.
#pragma once

#include "quantor/GlScene.h"
#include "quantor/GridFiles.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quantor {

enum PlotKind { kPlotFlat = 0, kPlotGrid = 1, kPlotSurface = 2 };

// The pixels a plot samples: rows top first, 8 bits per pixel (grey) or 24/32 (blue, green, red[, fourth]).
struct PlotImage {
    int width = 0, height = 0;
    int bitCount = 0;
    const uint8_t* const* rows = nullptr;
};

// The cells of a record as the plot draws them (a quad, or a loop for the grid kind, per cell with the node colours
// in drawing order), made again only when something they are made from changes: a frame that merely turns the plot
// draws them from what the last one made.
class CellBatch
{
public:
    // Brings the batch up to the record's cells; false when they are not batched: more than mostCells cells (then
    // nothing is kept), or a first node whose colour no band gives, since that vertex takes whatever colour the
    // frame drew with last.
    bool Update(const GridData& g, int colorSource, float halfSize, size_t mostCells);
    const GlBatch& Batch() const { return m_batch; }

private:
    // Everything the vertices and their colours are made from besides the arrays.
    struct Settings {
        int nx = 0, ny = 0, plotKind = 0, colorSource = 0;
        float halfSize = 0, colorFloor = 0;
        uint8_t gradient = 0;
        int gradientSteps = 0, tableColors = 0;
        Colour3 low{}, high{}, back{};
        std::vector<uint32_t> table;
        bool operator==(const Settings&) const = default;
    };
    static Settings SettingsOf(const GridData& g, int colorSource, float halfSize);
    bool Holds(const GridData& g, const Settings& settings) const;
    bool Make(const GridData& g, const Settings& settings);
    void Clear();

    Settings m_settings;
    std::vector<float> m_x, m_y, m_z, m_values;
    bool m_made = false;     // the settings and arrays above are those of the last record made
    bool m_batched = false;  // and its cells are in the batch
    GlBatch m_batch;
};

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

    // Records of more cells draw them one primitive at a time: their batch would take 96 bytes a cell here and as
    // much again in the seam's buffer.
    size_t m_nMostBatchedCells = size_t(1) << 21;

protected:
    void DrawScene() override;
    void DrawBoxEdges() override { DrawBoxEdgesUpTo(1.2f * m_fHalfSize); }
    void DrawLegend(const PlotRect& client) override;

    void ClearRecords();
    void MakeCurrent(GridData* grid);

    GridScene m_records;
    GridData* m_pCurGrid = nullptr;

private:
    bool RecordFits(const GridData& g) const;
    void DrawCells(const GridData& g);
    void DrawFlat(const GridData& g);
    void DrawWalls(const GridData& g);
    void DrawFloor();
    void DrawMarkers(const GridData& g);
    void ColourNode(const GridData& g, int node);

    CellBatch m_cells;
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
