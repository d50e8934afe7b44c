// The drawing calls the plot scene and its models make, as one narrow interface: the plot window hands them the
// OpenGL one (OpenGlSeam), tests a recorder. Everything the models draw goes through here, in immediate mode or as
// batches of the same primitives, so the exact primitives a frame is made of can be checked without a graphics
// context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quantor {

enum class GlPrimitive { Quads, QuadStrip, Lines, LineLoop, LineStrip };
enum class GlMatrix { Projection, Modelview };

// Primitives of one type, four vertices apiece, each vertex with its own colour: what Begin, then Color3f and
// Vertex3f per vertex, then End would draw for each primitive in turn, handed over whole so that a seam can draw
// it in one call.
struct GlBatch {
    static constexpr size_t kVerticesEach = 4;
    static constexpr size_t kFloatsEach = 6;  // x y z r g b
    GlPrimitive primitive = GlPrimitive::Quads;
    std::vector<float> vertices;
    // Another value (never 0) each time the vertices are made again, so a seam may keep its own copy of them
    // where it draws from faster.
    uint64_t stamp = 0;

    size_t Primitives() const { return vertices.size() / (kFloatsEach * kVerticesEach); }
    static uint64_t NextStamp();
};

// A client rectangle in pixels, right and bottom exclusive.
struct PlotRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The font the scene draws its letters with: 95 glyphs for the codes 32..126, 13 rows of 8 pixels each, bottom row
// first, the leftmost pixel in the high bit.
constexpr int kGlyphFirst = 32;
constexpr int kGlyphCount = 95;
constexpr int kGlyphRows = 13;
using GlyphTable = uint8_t[kGlyphCount][kGlyphRows];

class GlSeam
{
public:
    virtual ~GlSeam() = default;

    // Frame state.
    virtual void Viewport(int x, int y, int width, int height) = 0;
    virtual void ClearDepth(double depth) = 0;
    virtual void EnableDepthTest() = 0;
    virtual void UnpackAlignment(int bytes) = 0;
    // What a painter pass over the same surface may leave behind (a bound program, blending, scissor and stencil
    // tests, a depth mask), put back to the fixed-function defaults the scene draws with.
    virtual void ResetForeignState() = 0;
    virtual void ClearColor(float r, float g, float b, float a) = 0;
    virtual void ClearColourAndDepth() = 0;
    virtual void Finish() = 0;

    // Matrices (GLU's perspective and 2D orthographic projection multiply the current matrix, as the others do).
    virtual void MatrixMode(GlMatrix mode) = 0;
    virtual void LoadIdentity() = 0;
    virtual void PushMatrix() = 0;
    virtual void PopMatrix() = 0;
    virtual void Perspective(double fovy, double aspect, double zNear, double zFar) = 0;
    virtual void Ortho(double left, double right, double bottom, double top, double zNear, double zFar) = 0;
    virtual void Ortho2D(double left, double right, double bottom, double top) = 0;
    virtual void Translate(double x, double y, double z) = 0;
    virtual void Rotate(float degrees, float x, float y, float z) = 0;
    virtual void Scale(float x, float y, float z) = 0;

    // Immediate mode.
    virtual void Begin(GlPrimitive primitive) = 0;
    virtual void End() = 0;
    virtual void Color3f(float r, float g, float b) = 0;
    virtual void Vertex3f(float x, float y, float z) = 0;
    virtual void LineWidth(float width) = 0;
    virtual void RasterPos3f(float x, float y, float z) = 0;

    // The bitmap font: one display list per glyph (first list = the returned base + 32), 0 when none could be
    // made; PrintText draws one glyph per byte of the text at the raster position.
    virtual uint32_t BuildFont(const GlyphTable& glyphs) = 0;
    virtual void DeleteFont(uint32_t base) = 0;
    virtual void PrintText(uint32_t base, const char* text) = 0;

    // A GLU quadric sphere in line style around the origin.
    virtual void WireSphere(double radius, int slices, int stacks) = 0;

    // The batch's primitives in order; afterwards the current colour is the last vertex's, as immediate mode
    // leaves it. By default through Begin, Color3f, Vertex3f and End.
    virtual void DrawBatch(const GlBatch& batch);
    // Frees whatever the seam keeps for batches; its context is current.
    virtual void ReleaseBatches() {}
};

}  // namespace quantor
