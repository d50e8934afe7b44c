// The base of the plot's scenes: it draws a grid record (or, without one, a spinning demo) through a GlSeam, keeps
// the bitmap font, sets the perspective on resize, and turns timer ticks and mouse drags into spin, panning,
// rotation and legend moves. It is a plain class, not a window: the plot widget owns the context, forwards its events
// and makes the context current before it calls in.
#pragma once

#include "quantor/GlSeam.h"
#include "quantor/GridData.h"
#include "quantor/PlotString.h"

#include <cstdint>

namespace quantor {

// The perspective a client size gets: 40 degrees, near 1, far 15; a height of 0 takes an aspect of 1.
struct Projection {
    double fovy = 40, aspect = 1, zNear = 1, zFar = 15;
};
Projection ProjectionFor(int width, int height);

// A colour of a record's table (0x00BBGGRR) as red, green, blue in 0..1.
Colour3 TableColour(uint32_t colorref);
// Band counts come with records from files: a legend draws one quad and one label per band, so a record taken in
// keeps at most kMaxBands gradient bands and no more table bands than its table has colours.
constexpr int kMaxBands = 256;
void BoundBands(GridData& g);
// Outlines on a background show in its inverse.
inline Colour3 OutlineColour(const Colour3& back) { return {1 - back[0], 1 - back[1], 1 - back[2]}; }
// The lowest legend label: the bound raised by the colour floor's share of the range, 0 when next to nothing.
float LegendMinimum(float lo, float hi, float colorFloor);
// The colour a normalised height or value takes in a record's colouring: false when no band holds it (above the
// cube), so the current colour stays. A value exactly on a band boundary takes the lower band.
bool ValueColour(const GridData& grid, float value, Colour3& colour);
// The colour of gradient band k of n, from the low to the high colour (the low colour when there is one band).
Colour3 GradientBand(const GridData& grid, int k, int n);

// The glyphs of the scene's 8 x 13 font.
const GlyphTable& PlotFontGlyphs();

class GlScene
{
public:
    GlScene();
    virtual ~GlScene();
    GlScene(const GlScene&) = delete;
    GlScene& operator=(const GlScene&) = delete;

    // Binds the scene to a seam whose context is current (the widget's initializeGL): depth clears to 1, depth
    // testing on, the font built. A null seam leaves the scene unbound (it then draws nothing).
    bool Attach(GlSeam* gl);
    // Frees the font and the seam's batches while the context is still current, and unbinds.
    void Release();
    GlSeam* Seam() const { return m_gl; }

    void Reshape(int width, int height);
    // One frame. Every piece of state the scene relies on is set again first, since a painter pass over the same
    // surface turns depth testing off and leaves its own program and matrix mode behind.
    void Render();

    // Without a grid the scene draws its demo; the widget then writes its greeting over it.
    bool ShowsDemo() const { return m_pGrid == nullptr; }
    GridData* Grid() const { return m_pGrid; }

    // Timer ids 0..6 spin the grid about their axes (the widget keeps the timers, m_nTimerInterval apart); others
    // start nothing. A tick of any id asks for a redraw (true).
    static bool IsTimerId(int id) { return id >= 0 && id <= 6; }
    bool OnTimer(int id);
    void OnButtonDown(int x, int y);
    void OnButtonUp() { m_bMouseDown = 0; }
    // A drag: with Shift it moves a shown legend, otherwise it pans (mouse mode 0) or rotates (1 and 2). True when
    // the plot is to be redrawn; a Shift drag with the legend hidden changes nothing, not even the last point.
    bool OnMouseMove(bool shift, int x, int y, int clientWidth, int clientHeight);

    CPlotString m_strName{"GLDemo1.0"};
    int m_nColorSource = 0;  // 0 by height, 1 by value, 2..4 the map's volume kinds
    uint32_t m_nFontBase = 0;
    int m_nTimerInterval = 200;
    uint8_t m_bMouseDown = 0;
    uint8_t m_bReady = 1;
    int m_ptLastX = 0, m_ptLastY = 0;
    float m_fHalfSize = kHalfSize;
    float m_fDemoAngles[3] = {0, 45, 10};
    float m_fEdgeOffset = 0.001f;
    int m_nLegendCell = 20;
    int m_bAnimate = 1;
    int m_nClientWidth = 0, m_nClientHeight = 0;
    float m_fRotateStep = 3.0f;

protected:
    virtual void DrawScene() = 0;                       // a grid is set
    virtual void DrawDemo();                            // no grid
    virtual void SetValueColor(float value);            // the colour of a normalised height or value
    virtual void DrawBoxEdges() {}                      // the box's posts and top
    virtual void DrawLegend(const PlotRect& client) { (void)client; }

    // Shared steps of the models' draws.
    // Translation, the three rotations (angles then folded into one turn) and the scale, z squashed for a flat
    // plot; then the pan as an orthographic window onto the modelview in mouse modes 0 and 1.
    void ApplyView(GridData& g, bool flat);
    void DrawBox();
    void DrawAxes();
    void DrawLegendOverlay();
    void DrawBoxEdgesUpTo(float top);
    void PrintAt(float x, float y, float z, const char* text);
    void SetColour(const Colour3& c) { m_gl->Color3f(c[0], c[1], c[2]); }
    void SetOutlineColour() { SetColour(OutlineColour(m_pGrid->m_fBackColor)); }
    PlotRect ClientRect() const { return {0, 0, m_nClientWidth, m_nClientHeight}; }

    GlSeam* m_gl = nullptr;
    GridData* m_pGrid = nullptr;
};

}  // namespace quantor
