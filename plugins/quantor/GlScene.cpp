#include "quantor/GlScene.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace quantor {

Projection ProjectionFor(int width, int height)
{
    Projection p;
    p.aspect = height == 0 ? 1.0 : static_cast<double>(width) / static_cast<double>(height);
    return p;
}

Colour3 TableColour(uint32_t colorref)
{
    return {static_cast<float>(colorref & 0xFF) / 255.0f, static_cast<float>((colorref >> 8) & 0xFF) / 255.0f,
            static_cast<float>((colorref >> 16) & 0xFF) / 255.0f};
}

void BoundBands(GridData& g)
{
    g.m_nGradientSteps = std::clamp(g.m_nGradientSteps, 0, kMaxBands);
    g.m_nTableColors = std::clamp(g.m_nTableColors, 0, static_cast<int>(g.m_arrColorTable.size()));
}

float LegendMinimum(float lo, float hi, float colorFloor)
{
    const float raised = lo + (hi - lo) * (colorFloor + 0.5f);
    return std::fabs(raised) < 1e-6f ? 0.0f : raised;
}

bool ValueColour(const GridData& grid, float value, Colour3& colour)
{
    const float h = kHalfSize;
    if (value < grid.m_fColorFloor) {
        colour = grid.m_fBackColor;
        return true;
    }
    const int n = grid.m_bGradient ? grid.m_nGradientSteps : grid.m_nTableColors;
    if (n <= 0 || !(value >= -h && value <= h))
        return false;
    // The band the value falls in, found directly (a record may name many bands); the neighbours are checked with
    // the bands' own bounds so that a value on a boundary takes the lower band.
    const auto lower = [h, n](int i) { return h * 2.0f * static_cast<float>(i) / static_cast<float>(n) - h; };
    const auto upper = [h, n](int i) { return h * static_cast<float>(2 * i + 2) / static_cast<float>(n) - h; };
    const int guess = static_cast<int>((value + h) / (2 * h) * static_cast<float>(n));
    int band = -1;
    for (int i = std::max(guess - 2, 0); i <= std::min(guess + 1, n - 1) && band < 0; ++i)
        if (lower(i) <= value && value <= upper(i))
            band = i;
    if (band < 0)
        return false;
    if (grid.m_bGradient) {
        colour = GradientBand(grid, band, n);
        return true;
    }
    // A file may name more table colours than the table holds.
    if (static_cast<size_t>(band) >= grid.m_arrColorTable.size())
        return false;
    colour = TableColour(grid.m_arrColorTable[static_cast<size_t>(band)]);
    return true;
}

Colour3 GradientBand(const GridData& grid, int k, int n)
{
    Colour3 c = grid.m_fLowColor;
    if (n <= 1)
        return c;
    for (size_t p = 0; p < 3; ++p)
        c[p] += static_cast<float>(k) * (grid.m_fHighColor[p] - grid.m_fLowColor[p]) / static_cast<float>(n - 1);
    return c;
}

namespace {

float FoldAngle(float angle)
{
    if (angle > 360)
        return angle - 360;
    if (angle < -360)
        return angle + 360;
    return angle;
}

}  // namespace

GlScene::GlScene() = default;

GlScene::~GlScene() = default;

bool GlScene::Attach(GlSeam* gl)
{
    m_gl = gl;
    if (!m_gl)
        return false;
    m_gl->ClearDepth(1.0);
    m_gl->EnableDepthTest();
    m_gl->UnpackAlignment(1);
    m_nFontBase = m_gl->BuildFont(PlotFontGlyphs());
    return true;
}

void GlScene::Release()
{
    if (m_gl && m_nFontBase != 0)
        m_gl->DeleteFont(m_nFontBase);
    if (m_gl)
        m_gl->ReleaseBatches();
    m_nFontBase = 0;
    m_gl = nullptr;
}

void GlScene::Reshape(int width, int height)
{
    m_nClientWidth = width;
    m_nClientHeight = height;
    if (!m_gl)
        return;
    const Projection p = ProjectionFor(width, height);
    m_gl->Viewport(0, 0, width, height);
    m_gl->MatrixMode(GlMatrix::Projection);
    m_gl->LoadIdentity();
    m_gl->Perspective(p.fovy, p.aspect, p.zNear, p.zFar);
    m_gl->MatrixMode(GlMatrix::Modelview);
}

void GlScene::Render()
{
    if (!m_gl || !m_bReady)
        return;
    m_bReady = 0;
    m_gl->ResetForeignState();
    m_gl->ClearDepth(1.0);
    m_gl->EnableDepthTest();
    m_gl->UnpackAlignment(1);
    m_gl->MatrixMode(GlMatrix::Modelview);
    if (m_pGrid)
        m_gl->ClearColor(m_pGrid->m_fBackColor[0], m_pGrid->m_fBackColor[1], m_pGrid->m_fBackColor[2], 1.0f);
    else
        m_gl->ClearColor(0, 0, 0, 1.0f);
    m_gl->ClearColourAndDepth();
    m_gl->PushMatrix();
    if (m_pGrid)
        DrawScene();
    else
        DrawDemo();
    m_gl->PopMatrix();
    m_gl->Finish();
    m_bReady = 1;
}

bool GlScene::OnTimer(int id)
{
    if (m_bAnimate && m_pGrid) {
        const float s = m_fRotateStep;
        GridData& g = *m_pGrid;
        switch (id) {
        case 0: g.m_fRotX += s; break;
        case 1: g.m_fRotY += s; break;
        case 2: g.m_fRotZ += s; break;
        case 3: g.m_fRotX += s - 1; g.m_fRotY += s; break;
        case 4: g.m_fRotX += s - 1; g.m_fRotZ += s; break;
        case 5: g.m_fRotY += s - 1; g.m_fRotZ += s; break;
        case 6: g.m_fRotX += s - 2; g.m_fRotY += s - 1; g.m_fRotZ += s; break;
        default: break;
        }
    }
    return true;
}

void GlScene::OnButtonDown(int x, int y)
{
    m_ptLastX = x;
    m_ptLastY = y;
    m_bMouseDown = 1;
}

bool GlScene::OnMouseMove(bool shift, int x, int y, int clientWidth, int clientHeight)
{
    if (!m_pGrid || !m_bMouseDown)
        return false;
    GridData& g = *m_pGrid;
    if (shift) {
        if (!g.m_bShowLegend)
            return false;
        g.m_nLegendX += x - m_ptLastX;
        g.m_nLegendY += m_ptLastY - y;
    } else {
        m_nClientWidth = clientWidth;
        m_nClientHeight = clientHeight;
        if (g.m_nMouseMode == 0) {
            // Real division: a drag moves the plot by its share of the client size, not by whole client widths.
            if (clientWidth > 0)
                g.m_fPanX -= static_cast<float>(x - m_ptLastX) / static_cast<float>(clientWidth);
            if (clientHeight > 0)
                g.m_fPanY += static_cast<float>(y - m_ptLastY) / static_cast<float>(clientHeight);
        } else if (g.m_nMouseMode == 1 || g.m_nMouseMode == 2) {
            g.m_fRotX -= static_cast<float>(m_ptLastY - y) / m_fRotateStep;
            g.m_fRotY += static_cast<float>(m_ptLastX - x) / m_fRotateStep;
        }
    }
    m_ptLastX = x;
    m_ptLastY = y;
    return true;
}

void GlScene::DrawDemo()
{
    for (float& angle : m_fDemoAngles) {
        angle += 10.2f;
        if (angle > 360)
            angle = 0;
    }
    GlSeam& gl = *m_gl;
    gl.Translate(0, 0, -3);
    gl.Rotate(m_fDemoAngles[0], 1, 0, 0);
    gl.Rotate(m_fDemoAngles[1], 0, 1, 0);
    gl.Rotate(m_fDemoAngles[2], 0, 0, 1);
    const auto corner = [&gl](float x, float y, float z) {
        gl.Color3f(z + 0.5f, x + 0.5f, y + 0.5f);
        gl.Vertex3f(x, y, z);
    };
    const float e = 0.5f;
    // Four sides as one strip around z, then the two ends.
    gl.Begin(GlPrimitive::QuadStrip);
    const float ring[5][2] = {{-e, -e}, {e, -e}, {e, e}, {-e, e}, {-e, -e}};
    for (const auto& p : ring) {
        corner(p[0], p[1], -e);
        corner(p[0], p[1], e);
    }
    gl.End();
    gl.Begin(GlPrimitive::Quads);
    for (float z : {-e, e})
        for (int i = 0; i < 4; ++i)
            corner(ring[i][0], ring[i][1], z);
    gl.End();
    gl.Rotate(-2, 1, 0, 0);
    gl.Rotate(-2, 0, 1, 0);
    gl.Rotate(-2, 0, 0, 1);
    gl.Color3f(128.0f / 255, 128.0f / 255, 0);
    gl.WireSphere(1, 16, 16);
}

void GlScene::SetValueColor(float value)
{
    Colour3 c{};
    if (m_pGrid && ValueColour(*m_pGrid, value, c))
        SetColour(c);
}

void GlScene::ApplyView(GridData& g, bool flat)
{
    const float h = m_fHalfSize;
    m_gl->Translate(g.m_fTransX, g.m_fTransY, g.m_fTransZ);
    if (!flat) {
        m_gl->Rotate(g.m_fRotX, 1, 0, 0);
        m_gl->Rotate(g.m_fRotY, 0, 1, 0);
        m_gl->Rotate(g.m_fRotZ, 0, 0, 1);
        g.m_fRotX = FoldAngle(g.m_fRotX);
        g.m_fRotY = FoldAngle(g.m_fRotY);
        g.m_fRotZ = FoldAngle(g.m_fRotZ);
        m_gl->Scale(g.m_fScaleX, g.m_fScaleY, g.m_fScaleZ);
    } else {
        m_gl->Rotate(0, 1, 0, 0);
        m_gl->Rotate(0, 0, 1, 0);
        m_gl->Rotate(0, 0, 0, 1);
        m_gl->Scale(g.m_fScaleX, g.m_fScaleY, 0);
    }
    if (g.m_nMouseMode == 0 || g.m_nMouseMode == 1)
        m_gl->Ortho(g.m_fPanX - h, g.m_fPanX + h, g.m_fPanY - h, g.m_fPanY + h, 1, -1);
}

void GlScene::DrawBoxEdgesUpTo(float top)
{
    const float h = m_fHalfSize;
    const float corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    m_gl->Begin(GlPrimitive::Lines);
    for (const auto& c : corners) {
        m_gl->Vertex3f(c[0], c[1], -h);
        m_gl->Vertex3f(c[0], c[1], top);
    }
    m_gl->End();
    m_gl->Begin(GlPrimitive::LineStrip);
    for (int i = 0; i <= 4; ++i)
        m_gl->Vertex3f(corners[i % 4][0], corners[i % 4][1], top);
    m_gl->End();
}

void GlScene::DrawBox()
{
    const float h = m_fHalfSize;
    SetColour(m_pGrid->m_fFrameColor);
    DrawBoxEdges();
    const float corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    m_gl->Begin(GlPrimitive::LineStrip);
    for (int i = 0; i <= 4; ++i)
        m_gl->Vertex3f(corners[i % 4][0], corners[i % 4][1], -h);
    m_gl->End();
}

void GlScene::DrawAxes()
{
    const float h = m_fHalfSize;
    const bool flat = m_pGrid->m_nPlotKind == 0;
    SetColour(m_pGrid->m_fFrameColor);
    m_gl->Begin(GlPrimitive::Lines);
    m_gl->Vertex3f(h, -h, -h);
    m_gl->Vertex3f(1.24f * h, -h, -h);
    m_gl->Vertex3f(-h, h, -h);
    m_gl->Vertex3f(-h, 1.3f * h, -h);
    if (!flat) {
        m_gl->Vertex3f(-h, -h, h);
        m_gl->Vertex3f(-h, -h, 1.36f * h);
    }
    m_gl->End();
    PrintAt(1.26f * h, -h, -h, "X");
    PrintAt(-h, 1.32f * h, -h, "Y");
    if (!flat)
        PrintAt(-h, -h, 1.4f * h, "Z");
}

void GlScene::PrintAt(float x, float y, float z, const char* text)
{
    m_gl->RasterPos3f(x, y, z);
    if (m_nFontBase != 0)
        m_gl->PrintText(m_nFontBase, text);
}

void GlScene::DrawLegendOverlay()
{
    m_gl->PopMatrix();
    m_gl->PushMatrix();
    m_gl->Translate(0, 0, m_pGrid->m_fTransZ);
    const PlotRect r = ClientRect();
    const double w = r.Width();
    m_gl->Ortho2D(r.left + 0.2 * w, r.right + 0.2 * w, r.top, r.bottom);
    DrawLegend(r);
}

}  // namespace quantor
