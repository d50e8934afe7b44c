// The drawing seam on the OpenGL context current on the calling thread (compatibility profile, immediate mode) and
// GLU for the projections and the wire sphere.
#pragma once

#include "quantor/GlSeam.h"

#include <vector>

namespace quantor {

class OpenGlSeam final : public GlSeam
{
public:
    void Viewport(int x, int y, int width, int height) override;
    void ClearDepth(double depth) override;
    void EnableDepthTest() override;
    void UnpackAlignment(int bytes) override;
    void ResetForeignState() override;
    void ClearColor(float r, float g, float b, float a) override;
    void ClearColourAndDepth() override;
    void Finish() override;

    void MatrixMode(GlMatrix mode) override;
    void LoadIdentity() override;
    void PushMatrix() override;
    void PopMatrix() override;
    void Perspective(double fovy, double aspect, double zNear, double zFar) override;
    void Ortho(double left, double right, double bottom, double top, double zNear, double zFar) override;
    void Ortho2D(double left, double right, double bottom, double top) override;
    void Translate(double x, double y, double z) override;
    void Rotate(float degrees, float x, float y, float z) override;
    void Scale(float x, float y, float z) override;

    void Begin(GlPrimitive primitive) override;
    void End() override;
    void Color3f(float r, float g, float b) override;
    void Vertex3f(float x, float y, float z) override;
    void LineWidth(float width) override;
    void RasterPos3f(float x, float y, float z) override;

    uint32_t BuildFont(const GlyphTable& glyphs) override;
    void DeleteFont(uint32_t base) override;
    void PrintText(uint32_t base, const char* text) override;

    void WireSphere(double radius, int slices, int stacks) override;

    // From a buffer object holding the last batch drawn, filled again when a batch of another stamp comes.
    void DrawBatch(const GlBatch& batch) override;
    void ReleaseBatches() override;

private:
    uint32_t m_batchBuffer = 0;
    uint64_t m_batchStamp = 0;
    // First vertex and count of each primitive, for the types one draw call cannot string together.
    std::vector<int> m_firsts, m_counts;
};

}  // namespace quantor
