// The volume map: values on an nx x ny x nz lattice drawn as a block whose faces are coloured by the node values,
// opened in one of 25 ways (whole block, a corner box cut away, a slab, a centre box, three slices, one corner box)
// so its inside shows.
#pragma once

#include "quantor/GlScene.h"
#include "quantor/GridFiles.h"

#include <array>

namespace quantor {

class SurfaceMap : public GlScene
{
public:
    SurfaceMap() { m_nColorSource = 2; }

    // count volume records of the given kind (GridFiles' VolumeKind) with the map's defaults; the first is current.
    void InitGrids(int nx, int ny, int nz, int kind, int count);
    void Normalize(int kind, int count);
    // Takes records a volume file or stream was read into; cut indices are brought inside their axes here, since
    // the draw modes index the lattice with them.
    void AdoptRecords(GridScene&& records);
    const GridScene& Records() const { return m_records; }
    GridData* CurrentGrid() const { return m_pCurGrid; }

    // The current record's draw mode (0..24; any other draws nothing).
    void DrawVolume();
    void DrawMode(int mode, int nx, int ny, int nz);

protected:
    void DrawScene() override;
    void SetValueColor(float value) override;
    void DrawBoxEdges() override { DrawBoxEdgesUpTo(m_fHalfSize); }
    void DrawLegend(const PlotRect& client) override;

private:
    struct Lattice;
    struct Span {
        int u, v;  // nodes u..v, cells u..v-1
    };
    using Point = std::array<float, 3>;
    void DrawCornerCut(const Lattice& l, const bool mirrored[3]);
    void DrawSlab(const Lattice& l, int axis, bool mirrored);
    void DrawCentreBox(const Lattice& l);
    void DrawSlices(const Lattice& l);
    void DrawCornerBox(const Lattice& l, const bool mirrored[3]);
    void Face(const Lattice& l, int axis, int plane, Span a, Span b);
    void Line(const Point& a, const Point& b);
    void Loop(const Point& a, const Point& b, const Point& c, const Point& d);
    void Outline(const Point& inner, const Point& outer);

    GridScene m_records;
    GridData* m_pCurGrid = nullptr;
};

}  // namespace quantor
