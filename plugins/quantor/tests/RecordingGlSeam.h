// A drawing seam that keeps every call instead of drawing, so tests read back the primitives a frame is made of.
#pragma once

#include "quantor/GlSeam.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace quantor::testing {

enum class GlOp {
    Viewport, ClearDepth, EnableDepthTest, UnpackAlignment, ResetForeignState, ClearColor, Clear, Finish,
    MatrixMode, LoadIdentity, PushMatrix, PopMatrix, Perspective, Ortho, Ortho2D, Translate, Rotate, Scale,
    Begin, End, Color, Vertex, LineWidth, RasterPos, BuildFont, DeleteFont, Text, WireSphere,
};

struct GlCall {
    GlOp op = GlOp::Finish;
    std::array<double, 6> args{};
    GlPrimitive primitive = GlPrimitive::Quads;
    GlMatrix matrix = GlMatrix::Modelview;
    std::string text;
};

struct RecordedVertex {
    float x, y, z;
    std::array<float, 3> colour;
};

struct RecordedPrimitive {
    GlPrimitive type;
    std::vector<RecordedVertex> vertices;
};

struct RecordedText {
    std::array<float, 3> at;
    std::string text;
};

class RecordingGlSeam final : public GlSeam
{
public:
    std::vector<GlCall> calls;
    std::vector<RecordedPrimitive> primitives;
    std::vector<RecordedText> texts;
    std::array<float, 3> colour{-1, -1, -1};
    std::array<float, 3> raster{};
    uint32_t fontBase = 1000;

    void Reset()
    {
        calls.clear();
        primitives.clear();
        texts.clear();
    }
    size_t Count(GlPrimitive type) const
    {
        size_t n = 0;
        for (const RecordedPrimitive& p : primitives)
            n += p.type == type ? 1 : 0;
        return n;
    }
    size_t Count(GlOp op) const
    {
        size_t n = 0;
        for (const GlCall& c : calls)
            n += c.op == op ? 1 : 0;
        return n;
    }
    std::vector<GlOp> Ops() const
    {
        std::vector<GlOp> ops;
        for (const GlCall& c : calls)
            ops.push_back(c.op);
        return ops;
    }

    void Viewport(int x, int y, int w, int h) override { Add(GlOp::Viewport, {double(x), double(y), double(w), double(h)}); }
    void ClearDepth(double d) override { Add(GlOp::ClearDepth, {d}); }
    void EnableDepthTest() override { Add(GlOp::EnableDepthTest); }
    void UnpackAlignment(int b) override { Add(GlOp::UnpackAlignment, {double(b)}); }
    void ResetForeignState() override { Add(GlOp::ResetForeignState); }
    void ClearColor(float r, float g, float b, float a) override { Add(GlOp::ClearColor, {r, g, b, a}); }
    void ClearColourAndDepth() override { Add(GlOp::Clear); }
    void Finish() override { Add(GlOp::Finish); }
    void MatrixMode(GlMatrix m) override
    {
        Add(GlOp::MatrixMode);
        calls.back().matrix = m;
    }
    void LoadIdentity() override { Add(GlOp::LoadIdentity); }
    void PushMatrix() override { Add(GlOp::PushMatrix); }
    void PopMatrix() override { Add(GlOp::PopMatrix); }
    void Perspective(double f, double a, double n, double z) override { Add(GlOp::Perspective, {f, a, n, z}); }
    void Ortho(double l, double r, double b, double t, double n, double f) override { Add(GlOp::Ortho, {l, r, b, t, n, f}); }
    void Ortho2D(double l, double r, double b, double t) override { Add(GlOp::Ortho2D, {l, r, b, t}); }
    void Translate(double x, double y, double z) override { Add(GlOp::Translate, {x, y, z}); }
    void Rotate(float d, float x, float y, float z) override { Add(GlOp::Rotate, {d, x, y, z}); }
    void Scale(float x, float y, float z) override { Add(GlOp::Scale, {x, y, z}); }
    void Begin(GlPrimitive p) override
    {
        Add(GlOp::Begin);
        calls.back().primitive = p;
        primitives.push_back({p, {}});
    }
    void End() override { Add(GlOp::End); }
    void Color3f(float r, float g, float b) override
    {
        Add(GlOp::Color, {r, g, b});
        colour = {r, g, b};
    }
    void Vertex3f(float x, float y, float z) override
    {
        Add(GlOp::Vertex, {x, y, z});
        if (!primitives.empty())
            primitives.back().vertices.push_back({x, y, z, colour});
    }
    void LineWidth(float w) override { Add(GlOp::LineWidth, {w}); }
    void RasterPos3f(float x, float y, float z) override
    {
        Add(GlOp::RasterPos, {x, y, z});
        raster = {x, y, z};
    }
    uint32_t BuildFont(const GlyphTable&) override
    {
        Add(GlOp::BuildFont);
        return fontBase;
    }
    void DeleteFont(uint32_t base) override { Add(GlOp::DeleteFont, {double(base)}); }
    void PrintText(uint32_t base, const char* text) override
    {
        Add(GlOp::Text, {double(base)});
        calls.back().text = text;
        texts.push_back({raster, text});
    }
    void WireSphere(double r, int slices, int stacks) override { Add(GlOp::WireSphere, {r, double(slices), double(stacks)}); }

private:
    void Add(GlOp op, std::initializer_list<double> args = {})
    {
        GlCall call;
        call.op = op;
        size_t i = 0;
        for (double a : args)
            call.args[i++] = a;
        calls.push_back(std::move(call));
    }
};

}  // namespace quantor::testing
