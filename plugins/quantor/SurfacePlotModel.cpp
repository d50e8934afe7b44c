#include "quantor/SurfacePlotModel.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

namespace quantor {

namespace {

constexpr float kRedWeight = 0.212671f;
constexpr float kGreenWeight = 0.71516f;
constexpr float kBlueWeight = 0.072169f;

// Bit for bit, so that a NaN height compares equal to itself.
bool SameBits(const std::vector<float>& kept, const std::vector<float>& now, size_t count)
{
    return kept.size() == count && now.size() >= count
           && (count == 0 || std::memcmp(kept.data(), now.data(), count * sizeof(float)) == 0);
}

}  // namespace

// --- the cells' batch ----------------------------------------------------------------------------------------

CellBatch::Settings CellBatch::SettingsOf(const GridData& g, int colorSource, float halfSize)
{
    return {g.m_nSizeX, g.m_nSizeY, g.m_nPlotKind, colorSource, halfSize, g.m_fColorFloor, g.m_bGradient,
            g.m_nGradientSteps, g.m_nTableColors, g.m_fLowColor, g.m_fHighColor, g.m_fBackColor, g.m_arrColorTable};
}

bool CellBatch::Holds(const GridData& g, const Settings& settings) const
{
    const size_t nx = static_cast<size_t>(settings.nx), ny = static_cast<size_t>(settings.ny);
    return m_made && settings == m_settings && SameBits(m_x, g.m_pCoordX, nx) && SameBits(m_y, g.m_pCoordY, ny)
           && SameBits(m_z, g.m_pCoordZ, nx * ny)
           && (settings.colorSource != 1 || SameBits(m_values, g.m_pValues, nx * ny));
}

void CellBatch::Clear()
{
    m_made = m_batched = false;
    m_x = {};
    m_y = {};
    m_z = {};
    m_values = {};
    m_batch.vertices = {};
}

bool CellBatch::Update(const GridData& g, int colorSource, float halfSize, size_t mostCells)
{
    const size_t nx = static_cast<size_t>(std::max(g.m_nSizeX, 0)), ny = static_cast<size_t>(std::max(g.m_nSizeY, 0));
    if (nx > 1 && ny > 1 && (nx - 1) * (ny - 1) > mostCells) {
        Clear();
        return false;
    }
    Settings settings = SettingsOf(g, colorSource, halfSize);
    if (Holds(g, settings))
        return m_batched;
    return Make(g, settings);
}

bool CellBatch::Make(const GridData& g, const Settings& settings)
{
    Clear();
    const size_t nx = static_cast<size_t>(std::max(settings.nx, 0)), ny = static_cast<size_t>(std::max(settings.ny, 0));
    const size_t nodes = nx * ny;
    m_settings = settings;
    m_x.assign(g.m_pCoordX.begin(), g.m_pCoordX.begin() + static_cast<std::ptrdiff_t>(nx));
    m_y.assign(g.m_pCoordY.begin(), g.m_pCoordY.begin() + static_cast<std::ptrdiff_t>(ny));
    m_z.assign(g.m_pCoordZ.begin(), g.m_pCoordZ.begin() + static_cast<std::ptrdiff_t>(nodes));
    if (settings.colorSource == 1)
        m_values.assign(g.m_pValues.begin(), g.m_pValues.begin() + static_cast<std::ptrdiff_t>(nodes));
    m_made = true;
    m_batch.primitive = settings.plotKind == kPlotGrid ? GlPrimitive::LineLoop : GlPrimitive::Quads;
    m_batch.stamp = GlBatch::NextStamp();
    if (nx < 2 || ny < 2) {
        m_batched = true;  // no cells
        return true;
    }
    // Each node's colour once; a node no band colours keeps the colour of the vertex before it, as the current
    // colour of immediate mode does.
    std::vector<Colour3> colours(nodes);
    std::vector<uint8_t> known(nodes);
    for (size_t n = 0; n < nodes; ++n) {
        const float value = settings.colorSource == 1 && n < m_values.size() ? m_values[n] : m_z[n];
        known[n] = ValueColour(g, value, colours[n]) ? 1 : 0;
    }
    if (!known[0])
        return false;
    const bool flat = settings.plotKind == kPlotFlat;
    const float floorZ = -settings.halfSize;
    m_batch.vertices.resize((nx - 1) * (ny - 1) * GlBatch::kVerticesEach * GlBatch::kFloatsEach);
    float* out = m_batch.vertices.data();
    Colour3 current = colours[0];
    for (size_t j = 0; j + 1 < ny; ++j) {
        for (size_t i = 0; i + 1 < nx; ++i) {
            const size_t corners[4][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
            for (const auto& c : corners) {
                const size_t node = c[0] + c[1] * nx;
                if (known[node])
                    current = colours[node];
                out[0] = m_x[c[0]];
                out[1] = m_y[c[1]];
                out[2] = flat ? floorZ : m_z[node];
                out[3] = current[0];
                out[4] = current[1];
                out[5] = current[2];
                out += GlBatch::kFloatsEach;
            }
        }
    }
    m_batched = true;
    return true;
}

// --- records -------------------------------------------------------------------------------------------------

void GridPlot::ClearRecords()
{
    m_records.m_arrGrids.clear();
    MakeCurrent(nullptr);
}

void GridPlot::MakeCurrent(GridData* grid)
{
    m_pCurGrid = grid;
    m_pGrid = grid;
}

void GridPlot::InitGrids(int nx, int ny, int valueKind, int count)
{
    ClearRecords();
    for (int i = 0; i < count; ++i)
        m_records.m_arrGrids.push_back(MakeSurfaceRecord(nx, ny, valueKind));
    MakeCurrent(m_records.Current());
}

void GridPlot::AdoptRecords(GridScene&& records)
{
    m_records = std::move(records);
    for (GridData& g : m_records.m_arrGrids)
        BoundBands(g);
    m_nColorSource = m_records.m_nColorSource;
    MakeCurrent(m_records.Current());
}

void GridPlot::Normalize(int valueKind, int count)
{
    for (int i = 0; i < count && static_cast<size_t>(i) < m_records.m_arrGrids.size(); ++i)
        NormalizeRecord(m_records.m_arrGrids[static_cast<size_t>(i)], valueKind == 1);
}

// --- drawing -------------------------------------------------------------------------------------------------

void GridPlot::ColourNode(const GridData& g, int node)
{
    const size_t n = static_cast<size_t>(node);
    if (m_nColorSource == 1 && n < g.m_pValues.size())
        SetValueColor(g.m_pValues[n]);
    else
        SetValueColor(g.m_pCoordZ[n]);
}

// The cells and walls index the arrays by the node counts: a record whose arrays are shorter draws neither.
bool GridPlot::RecordFits(const GridData& g) const
{
    const size_t nx = static_cast<size_t>(std::max(g.m_nSizeX, 0)), ny = static_cast<size_t>(std::max(g.m_nSizeY, 0));
    return g.m_pCoordX.size() >= nx && g.m_pCoordY.size() >= ny && g.m_pCoordZ.size() >= nx * ny
           && (m_nColorSource != 1 || g.m_pValues.size() >= nx * ny);
}

void GridPlot::DrawScene()
{
    GridData& g = *m_pCurGrid;
    const bool fits = RecordFits(g);
    ApplyView(g, g.m_nPlotKind == kPlotFlat);
    if (g.m_bShowAxes)
        DrawAxes();
    if (g.m_bShowBox)
        DrawBox();
    if (g.m_bShowWalls && fits)
        DrawWalls(g);
    if (g.m_bShowFloor)
        DrawFloor();
    if (g.m_bShowMarkers)
        DrawMarkers(g);
    if (g.m_nPlotKind == kPlotFlat && fits)
        DrawFlat(g);
    else if ((g.m_nPlotKind == kPlotGrid || g.m_nPlotKind == kPlotSurface) && fits)
        DrawCells(g);
    if (g.m_bShowLegend)
        DrawLegendOverlay();
}

void GridPlot::DrawCells(const GridData& g)
{
    if (m_cells.Update(g, m_nColorSource, m_fHalfSize, m_nMostBatchedCells)) {
        m_gl->DrawBatch(m_cells.Batch());
        return;
    }
    const GlPrimitive primitive = g.m_nPlotKind == kPlotGrid ? GlPrimitive::LineLoop : GlPrimitive::Quads;
    const bool flat = g.m_nPlotKind == kPlotFlat;
    const float floorZ = -m_fHalfSize;
    const int nx = g.m_nSizeX;
    for (int j = 0; j + 1 < g.m_nSizeY; ++j) {
        for (int i = 0; i + 1 < nx; ++i) {
            const int nodes[4][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
            m_gl->Begin(primitive);
            for (const auto& n : nodes) {
                const int node = n[0] + n[1] * nx;
                ColourNode(g, node);
                m_gl->Vertex3f(g.m_pCoordX[static_cast<size_t>(n[0])], g.m_pCoordY[static_cast<size_t>(n[1])],
                               flat ? floorZ : g.m_pCoordZ[static_cast<size_t>(node)]);
            }
            m_gl->End();
        }
    }
}

void GridPlot::DrawFlat(const GridData& g)
{
    DrawCells(g);
    const float h = m_fHalfSize;
    SetColour(g.m_fFrameColor);
    m_gl->LineWidth(2);
    m_gl->Begin(GlPrimitive::LineStrip);
    const float ring[5][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}, {-h, -h}};
    for (const auto& p : ring)
        m_gl->Vertex3f(p[0], p[1], -h);
    m_gl->End();
    m_gl->LineWidth(1);
}

void GridPlot::DrawWalls(const GridData& g)
{
    const float h = m_fHalfSize;
    const float e = m_fEdgeOffset;
    const int nx = g.m_nSizeX, ny = g.m_nSizeY;
    struct Node {
        float x, y;
        int index;
    };
    const auto node = [&g, nx](int i, int j) {
        return Node{g.m_pCoordX[static_cast<size_t>(i)], g.m_pCoordY[static_cast<size_t>(j)], i + j * nx};
    };
    // One curtain: its edge nodes, the plane's fixed coordinate replaced, and the outward shift of its outlines.
    const auto curtain = [&](auto edgeNode, int count, int axis, float plane, float shift) {
        for (int s = 0; s + 1 < count; ++s) {
            Node a = edgeNode(s), b = edgeNode(s + 1);
            (axis == 0 ? a.x : a.y) = plane;
            (axis == 0 ? b.x : b.y) = plane;
            const float za = g.m_pCoordZ[static_cast<size_t>(a.index)];
            const float zb = g.m_pCoordZ[static_cast<size_t>(b.index)];
            if (g.m_bGradient) {
                m_gl->Begin(GlPrimitive::Quads);
                SetValueColor(-h);
                m_gl->Vertex3f(a.x, a.y, -h);
                SetValueColor(-h);
                m_gl->Vertex3f(b.x, b.y, -h);
                ColourNode(g, b.index);
                m_gl->Vertex3f(b.x, b.y, zb);
                ColourNode(g, a.index);
                m_gl->Vertex3f(a.x, a.y, za);
                m_gl->End();
                continue;
            }
            const auto segment = [&](GlPrimitive type) {
                m_gl->Begin(type);
                m_gl->Vertex3f(a.x, a.y, -h);
                m_gl->Vertex3f(b.x, b.y, -h);
                m_gl->Vertex3f(b.x, b.y, zb);
                m_gl->Vertex3f(a.x, a.y, za);
                m_gl->End();
            };
            SetColour(g.m_fFrameColor);
            segment(GlPrimitive::Quads);
            (axis == 0 ? a.x : a.y) += shift;
            (axis == 0 ? b.x : b.y) += shift;
            SetColour(g.m_fBackColor);
            segment(GlPrimitive::LineLoop);
        }
    };
    curtain([&](int s) { return node(s, 0); }, nx, 1, -h, -e);
    curtain([&](int s) { return node(nx - 1, s); }, ny, 0, h, e);
    curtain([&](int s) { return node(s, ny - 1); }, nx, 1, h, e);
    curtain([&](int s) { return node(0, s); }, ny, 0, -h, -e);
}

void GridPlot::DrawFloor()
{
    const float h = m_fHalfSize;
    m_gl->Begin(GlPrimitive::Quads);
    SetValueColor(-h);
    m_gl->Vertex3f(-h, -h, -h);
    m_gl->Vertex3f(h, -h, -h);
    m_gl->Vertex3f(h, h, -h);
    m_gl->Vertex3f(-h, h, -h);
    m_gl->End();
}

void GridPlot::DrawMarkers(const GridData& g)
{
    if (g.m_arrMarkers.empty())
        return;
    const float h = m_fHalfSize;
    SetColour(g.m_fMarkerColor);
    if (g.m_nPlotKind == kPlotFlat) {
        if (g.m_bShowMarkerLabels)
            for (const PlotMarker& m : g.m_arrMarkers)
                PrintAt(m.x, m.y, -0.99f * h, m.label.CStr());
        return;
    }
    if (g.m_bShowMarkerPosts) {
        m_gl->Begin(GlPrimitive::Lines);
        for (const PlotMarker& m : g.m_arrMarkers) {
            m_gl->Vertex3f(m.x, m.y, -0.99f * h);
            m_gl->Vertex3f(m.x, m.y, 2.4f * h * m.z - h);
        }
        m_gl->End();
    }
    if (g.m_bShowMarkerLabels)
        for (const PlotMarker& m : g.m_arrMarkers)
            PrintAt(m.x, m.y, 2.4f * h * m.z - h, m.label.CStr());
}

void GridPlot::DrawLegend(const PlotRect& r)
{
    GridData& g = *m_pCurGrid;
    const int c = m_nLegendCell;
    const float keptMin = g.m_fMinZ;
    g.m_fMinZ = LegendMinimum(g.m_fMinZ, g.m_fMaxZ, g.m_fColorFloor);
    const auto label = [&](int k, int n, float x, float y) {
        CPlotString text;
        text.Format("%-10.2f", static_cast<double>(g.m_fMinZ + (g.m_fMaxZ - g.m_fMinZ) * static_cast<float>(k)
                                                   / static_cast<float>(n)));
        PrintAt(x, y, 0, text.CStr());
    };
    const auto band = [this](float x0, float y0, float x1, float y1) {
        m_gl->Begin(GlPrimitive::Quads);
        m_gl->Vertex3f(x0, y0, 0);
        m_gl->Vertex3f(x1, y0, 0);
        m_gl->Vertex3f(x1, y1, 0);
        m_gl->Vertex3f(x0, y1, 0);
        m_gl->End();
    };
    if (g.m_bGradient) {
        const int n = g.m_nGradientSteps;
        const int e = r.bottom - ((c / 2) * n + 40);
        for (int k = 0; k < n; ++k) {
            SetColour(GradientBand(g, k, n));
            band(static_cast<float>(g.m_nLegendX), static_cast<float>(k * c + g.m_nLegendY + e),
                 static_cast<float>(g.m_nLegendX + 20), static_cast<float>((k + 1) * c + g.m_nLegendY + e));
        }
        SetColour(g.m_fFrameColor);
        for (int k = 0; k <= n && n > 0; ++k)
            label(k, n, static_cast<float>(g.m_nLegendX + 25), static_cast<float>(g.m_nLegendY + k * c + e - c / 4));
    } else {
        const int n = g.m_nTableColors;
        const int x0 = g.m_nLegendX + r.right - r.left;
        const int y0 = (r.bottom - n * c - r.top) / 2 + g.m_nLegendY;
        for (int k = 0; k < n && static_cast<size_t>(k) < g.m_arrColorTable.size(); ++k) {
            SetColour(TableColour(g.m_arrColorTable[static_cast<size_t>(k)]));
            band(static_cast<float>(x0), static_cast<float>(y0 + k * c), static_cast<float>(x0 + 2 * c),
                 static_cast<float>(y0 + (k + 1) * c));
        }
        SetColour(g.m_fFrameColor);
        m_gl->Begin(GlPrimitive::LineLoop);
        m_gl->Vertex3f(static_cast<float>(x0 - 1), static_cast<float>(y0), 0);
        m_gl->Vertex3f(static_cast<float>(x0 + 2 * c + 1), static_cast<float>(y0), 0);
        m_gl->Vertex3f(static_cast<float>(x0 + 2 * c + 1), static_cast<float>(y0 + n * c), 0);
        m_gl->Vertex3f(static_cast<float>(x0 - 1), static_cast<float>(y0 + n * c), 0);
        m_gl->End();
        for (int k = 0; k <= n && n > 0; ++k)
            label(k, n, static_cast<float>(x0 + 5 * c / 2), static_cast<float>(y0 + k * c - c / 4));
    }
    g.m_fMinZ = keptMin;
}

// --- the image -----------------------------------------------------------------------------------------------

void SurfacePlot::BuildFromImage()
{
    if (!m_pImage)
        return;
    m_nColorSource = 0;
    // The heights of the grid being replaced lend their storage to the new one: a rebuild at the same size (a
    // channel change, an inverted view) then touches no fresh memory.
    std::vector<float> storage;
    if (!m_records.m_arrGrids.empty())
        storage = std::move(m_records.m_arrGrids.front().m_pCoordZ);
    ClearRecords();
    const PlotImage& image = *m_pImage;
    if (m_nStep < 1 || image.width < 1 || image.height < 1 || !image.rows)
        return;
    const int step = m_nStep;
    const int nx = image.width / step;
    const int ny = image.height / step;
    if (nx == 0 || ny == 0)
        return;
    m_records.m_arrGrids.push_back(MakeSurfaceRecord(nx, ny, 0, std::move(storage)));
    GridData& g = m_records.m_arrGrids.front();
    g.m_fMinX = 0;
    g.m_fMaxX = static_cast<float>(nx);
    g.m_fMinY = 0;
    g.m_fMaxY = static_cast<float>(ny);
    g.m_fMinZ = 0;
    g.m_fMaxZ = 256;
    g.m_strName = "Surfer File";
    const int bytes = image.bitCount == 8 ? 1 : image.bitCount == 24 ? 3 : image.bitCount == 32 ? 4 : 0;
    if (bytes == 0) {
        // Unfilled and not current: the scene keeps its demo.
        std::fill(g.m_pCoordZ.begin(), g.m_pCoordZ.end(), 0.0f);
        return;
    }
    const float h = m_fHalfSize;
    float* z = g.m_pCoordZ.data();
    const size_t pixelStep = static_cast<size_t>(step) * static_cast<size_t>(bytes);
    for (int j = 0; j < ny; ++j) {
        const uint8_t* p = image.rows[static_cast<size_t>(ny - 1 - j) * static_cast<size_t>(step)];
        float* out = z + static_cast<size_t>(j) * static_cast<size_t>(nx);
        if (bytes == 1 && step == 1) {
            // Contiguous samples: a loop the compiler turns into vector code.
            for (int i = 0; i < nx; ++i)
                out[i] = static_cast<float>(p[i]) / 256.0f - h;
        } else if (bytes == 1) {
            for (int i = 0; i < nx; ++i, p += pixelStep)
                out[i] = static_cast<float>(*p) / 256.0f - h;
        } else if (m_nChannel == 0) {
            for (int i = 0; i < nx; ++i, p += pixelStep)
                out[i] = (kRedWeight * p[2] + kGreenWeight * p[1] + kBlueWeight * p[0]) / 256.0f - h;
        } else {
            // Channel 1 is red (the third byte), 2 green, 3 blue.
            const int offset = m_nChannel == 1 ? 2 : m_nChannel == 2 ? 1 : 0;
            for (int i = 0; i < nx; ++i, p += pixelStep)
                out[i] = static_cast<float>(p[offset]) / 256.0f - h;
        }
    }
    SpreadEvenly(g.m_pCoordX);
    SpreadEvenly(g.m_pCoordY);
    MakeCurrent(&g);
}

void SurfacePlot::Invert()
{
    if (m_records.m_arrGrids.empty())
        return;
    const float h = m_fHalfSize;
    for (float& z : m_records.m_arrGrids.front().m_pCoordZ)
        z = 1 - z - 2 * h;
}

}  // namespace quantor
