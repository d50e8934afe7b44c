#include "quantor/SurfaceMap.h"

#include "quantor/SurfacePlotModel.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quantor {

namespace {

float FoldAngle(float angle)
{
    if (angle > 360)
        return angle - 360;
    if (angle < -360)
        return angle + 360;
    return angle;
}

void ClampCuts(GridData& g)
{
    g.m_nCutX = std::clamp(g.m_nCutX, 0, std::max(g.m_nSizeX - 1, 0));
    g.m_nCutY = std::clamp(g.m_nCutY, 0, std::max(g.m_nSizeY - 1, 0));
    g.m_nCutZ = std::clamp(g.m_nCutZ, 0, std::max(g.m_nSizeZ - 1, 0));
}

}  // namespace

void SurfaceMap::InitGrids(int nx, int ny, int nz, int kind, int count)
{
    m_records.m_arrGrids.clear();
    for (int i = 0; i < count; ++i)
        m_records.m_arrGrids.push_back(MakeVolumeRecord(nx, ny, nz, kind));
    m_pCurGrid = m_pGrid = m_records.Current();
}

void SurfaceMap::AdoptRecords(GridScene&& records)
{
    m_records = std::move(records);
    for (GridData& g : m_records.m_arrGrids)
        ClampCuts(g);
    m_nColorSource = m_records.m_nColorSource;
    m_pCurGrid = m_pGrid = m_records.Current();
}

void SurfaceMap::Normalize(int kind, int count)
{
    const auto normalise = [](std::vector<float>& v, float& lo, float& hi) {
        for (float x : v) {
            lo = std::fmin(lo, x);
            hi = std::fmax(hi, x);
        }
        for (float& x : v)
            x = NormalizeInto(x, lo, hi);
    };
    (void)kind;
    for (int i = 0; i < count && static_cast<size_t>(i) < m_records.m_arrGrids.size(); ++i) {
        GridData& g = m_records.m_arrGrids[static_cast<size_t>(i)];
        normalise(g.m_pCoordX, g.m_fMinX, g.m_fMaxX);
        normalise(g.m_pCoordY, g.m_fMinY, g.m_fMaxY);
        normalise(g.m_pCoordZ, g.m_fMinZ, g.m_fMaxZ);
        normalise(g.m_pValues, g.m_fMinV, g.m_fMaxV);
    }
}

void SurfaceMap::SetValueColor(float value)
{
    Colour3 c{};
    if (m_pCurGrid && ValueColour(*m_pCurGrid, value, c))
        SetColour(c);
}

void SurfaceMap::DrawScene()
{
    GridData& g = *m_pCurGrid;
    const float h = m_fHalfSize;
    m_gl->Translate(g.m_fTransX, g.m_fTransY, g.m_fTransZ);
    m_gl->Rotate(g.m_fRotX, 1, 0, 0);
    m_gl->Rotate(g.m_fRotY, 0, 1, 0);
    m_gl->Rotate(g.m_fRotZ, 0, 0, 1);
    g.m_fRotX = FoldAngle(g.m_fRotX);
    g.m_fRotY = FoldAngle(g.m_fRotY);
    g.m_fRotZ = FoldAngle(g.m_fRotZ);
    m_gl->Scale(g.m_fScaleX, g.m_fScaleY, g.m_fScaleZ);
    if (g.m_nMouseMode == 0 || g.m_nMouseMode == 1)
        m_gl->Ortho(g.m_fPanX - h, g.m_fPanX + h, g.m_fPanY - h, g.m_fPanY + h, 1, -1);
    if (g.m_bShowAxes)
        DrawAxes();
    if (g.m_bShowBox)
        DrawBox();
    if (g.m_nPlotKind == 3)
        DrawVolume();
    if (g.m_bShowLegend)
        DrawLegendOverlay();
}

void SurfaceMap::DrawLegend(const PlotRect& r)
{
    GridData& g = *m_pCurGrid;
    const int c = m_nLegendCell;
    const float keptMin = g.m_fMinV;
    float lo = g.m_fMinV + (g.m_fMaxV - g.m_fMinV) * (g.m_fColorFloor + 0.5f);
    if (std::fabs(lo) < 1e-6f)
        lo = 0;
    g.m_fMinV = lo;
    const int n = g.m_bGradient ? g.m_nGradientSteps : g.m_nTableColors;
    const int x0 = g.m_nLegendX + r.right - r.left;
    const int y0 = (r.bottom - n * c - r.top) / 2 + g.m_nLegendY;
    const auto vertex = [this](int x, int y) { m_gl->Vertex3f(static_cast<float>(x), static_cast<float>(y), 0); };
    for (int k = 0; k < n; ++k) {
        if (g.m_bGradient) {
            SetColour(GradientBand(g, k, n));
        } else {
            if (static_cast<size_t>(k) >= g.m_arrColorTable.size())
                break;
            const uint32_t t = g.m_arrColorTable[static_cast<size_t>(k)];
            m_gl->Color3f(static_cast<float>(t & 0xFF) / 255.0f, static_cast<float>((t >> 8) & 0xFF) / 255.0f,
                          static_cast<float>((t >> 16) & 0xFF) / 255.0f);
        }
        m_gl->Begin(GlPrimitive::Quads);
        vertex(x0, y0 + k * c);
        vertex(x0 + 2 * c, y0 + k * c);
        vertex(x0 + 2 * c, y0 + (k + 1) * c);
        vertex(x0, y0 + (k + 1) * c);
        m_gl->End();
    }
    // The gradient column is framed one pixel outside on every side, the table only left and right.
    const int out = g.m_bGradient ? 1 : 0;
    SetColour(g.m_fFrameColor);
    m_gl->Begin(GlPrimitive::LineLoop);
    vertex(x0 - 1, y0 - out);
    vertex(x0 + 2 * c + 1, y0 - out);
    vertex(x0 + 2 * c + 1, y0 + n * c + out);
    vertex(x0 - 1, y0 + n * c + out);
    m_gl->End();
    for (int k = 0; k <= n && n > 0; ++k) {
        CPlotString text;
        text.Format("%-10.2f", static_cast<double>(g.m_fMinV + (g.m_fMaxV - g.m_fMinV) * static_cast<float>(k)
                                                   / static_cast<float>(n)));
        PrintAt(static_cast<float>(x0 + 5 * c / 2), static_cast<float>(y0 + k * c - c / 4), 0, text.CStr());
    }
    g.m_fMinV = keptMin;
}

}  // namespace quantor
