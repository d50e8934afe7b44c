#include "quantor/SurfaceMap.h"
#include "quantor/SurfacePlotModel.h"
#include "quantor/tests/RecordingGlSeam.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <tuple>

namespace quantor {
namespace {

using testing::GlOp;
using testing::RecordedPrimitive;
using testing::RecordingGlSeam;

// A volume map whose node coordinates are the node indices themselves, so every vertex names its node; values are
// spread over the cube so that every node has a colour.
struct VolumeFixture : ::testing::Test {
    RecordingGlSeam gl;
    SurfaceMap map;
    GridData* g = nullptr;

    void Make(int nx, int ny, int nz, int cx, int cy, int cz)
    {
        map.Attach(&gl);
        map.InitGrids(nx, ny, nz, kVolumeLayers, 1);
        g = map.CurrentGrid();
        for (int i = 0; i < nx; ++i)
            g->m_pCoordX[static_cast<size_t>(i)] = static_cast<float>(i);
        for (int j = 0; j < ny; ++j)
            g->m_pCoordY[static_cast<size_t>(j)] = static_cast<float>(j);
        for (int k = 0; k < nz; ++k)
            g->m_pCoordZ[static_cast<size_t>(k)] = static_cast<float>(k);
        for (size_t n = 0; n < g->m_pValues.size(); ++n)
            g->m_pValues[n] = static_cast<float>(n) / static_cast<float>(g->m_pValues.size()) - kHalfSize;
        g->m_nCutX = cx;
        g->m_nCutY = cy;
        g->m_nCutZ = cz;
        g->m_bShowAxes = g->m_bShowBox = 0;
        gl.Reset();
    }
    void Draw(int mode)
    {
        g->m_nDrawMode = mode;
        gl.Reset();
        map.DrawVolume();
    }
    std::vector<RecordedPrimitive> Of(GlPrimitive type) const
    {
        std::vector<RecordedPrimitive> out;
        for (const auto& p : gl.primitives)
            if (p.type == type)
                out.push_back(p);
        return out;
    }
    float Value(int i, int j, int k) const
    {
        return g->m_pValues[static_cast<size_t>((k * g->m_nSizeY + j) * g->m_nSizeX + i)];
    }
};

// Counts on a 4 x 5 x 6 lattice with cuts (1, 1, 2), worked out from the shapes: 3 x 4 x 5 cells, a corner cut
// shows as many cells as the whole block (94), a corner box 1 x 1 x 2 cells has 10, the slabs are 1 (y), 1 (x) and
// 2 (z) cells thick, the centre box is 1 x 2 x 1 cells, the slices are three whole planes.
TEST_F(VolumeFixture, EveryModeDrawsItsCellsAndOutline)
{
    const struct {
        int mode;
        size_t quads, lines, loops;
    } cases[] = {
        {0, 94, 0, 0},   {1, 94, 5, 1},   {2, 94, 5, 1},   {3, 94, 5, 1},   {4, 94, 5, 1},
        {5, 94, 5, 1},   {6, 94, 5, 1},   {7, 94, 5, 1},   {8, 94, 5, 1},   {9, 46, 0, 1},
        {10, 46, 0, 1},  {11, 58, 0, 1},  {12, 58, 0, 1},  {13, 52, 0, 1},  {14, 52, 0, 1},
        {15, 10, 4, 2},  {16, 47, 0, 3},  {17, 10, 5, 1},  {18, 10, 5, 1},  {19, 10, 5, 1},
        {20, 10, 5, 1},  {21, 10, 5, 1},  {22, 10, 5, 1},  {23, 10, 5, 1},  {24, 10, 5, 1},
        {25, 0, 0, 0},   {-1, 0, 0, 0},
    };
    Make(4, 5, 6, 1, 1, 2);
    for (const auto& c : cases) {
        Draw(c.mode);
        EXPECT_EQ(gl.Count(GlPrimitive::Quads), c.quads) << "mode " << c.mode;
        EXPECT_EQ(gl.Count(GlPrimitive::Lines), c.lines) << "mode " << c.mode;
        EXPECT_EQ(gl.Count(GlPrimitive::LineLoop), c.loops) << "mode " << c.mode;
        EXPECT_EQ(gl.primitives.size(), c.quads + c.lines + c.loops) << "mode " << c.mode;
        for (const auto& p : Of(GlPrimitive::Quads))
            ASSERT_EQ(p.vertices.size(), 4u);
        // Cut indices mirrored for drawing stay as they were.
        EXPECT_EQ(std::make_tuple(g->m_nCutX, g->m_nCutY, g->m_nCutZ), std::make_tuple(1, 1, 2));
    }
}

// Each vertex carries the colour of its own node's value, and cells run a-fastest in their plane.
TEST_F(VolumeFixture, CellsAreColouredByTheirNodesAndWalkedInOrder)
{
    Make(2, 3, 2, 0, 0, 0);
    Draw(0);
    const auto quads = Of(GlPrimitive::Quads);
    ASSERT_EQ(quads.size(), 2u + 2u + 1u + 1u + 2u + 2u);
    // Face z = 0 first: (x, y) in-plane, the first cell from node (0, 0, 0) round to (0, 1, 0).
    const std::array<std::array<float, 3>, 4> first = {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}};
    for (size_t v = 0; v < 4; ++v)
        EXPECT_EQ((std::array<float, 3>{quads[0].vertices[v].x, quads[0].vertices[v].y, quads[0].vertices[v].z}),
                  first[v]);
    EXPECT_EQ(quads[1].vertices[0].y, 1);  // then the next row of y
    for (const auto& q : quads)
        for (const auto& v : q.vertices) {
            Colour3 expected{};
            ASSERT_TRUE(ValueColour(*g, Value(int(v.x), int(v.y), int(v.z)), expected));
            EXPECT_EQ(v.colour, expected);
        }
    // The last face is x = 0, after x = nx - 1.
    EXPECT_EQ(quads[quads.size() - 3].vertices[0].x, 1);
    EXPECT_EQ(quads.back().vertices[0].x, 0);
}

TEST_F(VolumeFixture, WholeBlockOfTwoNodesPerAxisIsSixQuads)
{
    Make(2, 2, 2, 1, 1, 1);
    Draw(0);
    EXPECT_EQ(gl.Count(GlPrimitive::Quads), 6u);
    EXPECT_EQ(gl.primitives.size(), 6u);
}

// For every corner cut, the cells drawn are exactly the surface of what remains: none lies inside the removed
// box, none twice, and their number is the block's surface (cutting a corner keeps the area).
TEST_F(VolumeFixture, CornerCutsDrawTheSurfaceOfWhatRemains)
{
    const int n[3] = {5, 4, 6};
    const int cut[3] = {2, 1, 4};
    Make(n[0], n[1], n[2], cut[0], cut[1], cut[2]);
    for (int mode = 1; mode <= 8; ++mode) {
        Draw(mode);
        const int bits = mode - 1;
        float lo[3], hi[3];
        for (int a = 0; a < 3; ++a) {
            const bool mirrored = (bits >> a) & 1;
            lo[a] = mirrored ? 0.0f : float(cut[a]);
            hi[a] = mirrored ? float(n[a] - 1 - cut[a]) : float(n[a] - 1);
        }
        std::set<std::array<float, 3>> centres;
        for (const auto& q : Of(GlPrimitive::Quads)) {
            std::array<float, 3> c{};
            for (const auto& v : q.vertices) {
                c[0] += v.x / 4;
                c[1] += v.y / 4;
                c[2] += v.z / 4;
            }
            int inside = 0;
            for (int a = 0; a < 3; ++a)
                inside += c[a] > lo[a] && c[a] < hi[a];
            EXPECT_NE(inside, 3) << "mode " << mode;
            // A cell on a face of R lies on R's inner walls only; R's outer faces are gone.
            bool onRemovedOuterFace = false;
            for (int a = 0; a < 3; ++a) {
                const bool mirrored = (bits >> a) & 1;
                const float outer = mirrored ? 0.0f : float(n[a] - 1);
                int others = 0;
                for (int b = 0; b < 3; ++b)
                    others += b != a && c[b] > lo[b] && c[b] < hi[b];
                onRemovedOuterFace |= c[a] == outer && others == 2;
            }
            EXPECT_FALSE(onRemovedOuterFace) << "mode " << mode;
            EXPECT_TRUE(centres.insert(c).second) << "mode " << mode << " cell drawn twice";
        }
        const size_t cx = 4, cy = 3, cz = 5;
        EXPECT_EQ(centres.size(), 2 * (cx * cy + cx * cz + cy * cz)) << "mode " << mode;
    }
}

TEST_F(VolumeFixture, CornerCutOutlineHasItsInnerCornerShiftedIntoTheRemovedBox)
{
    Make(4, 4, 4, 1, 2, 1);
    const float d = 0.002f * kHalfSize;
    const struct {
        int mode;
        std::array<float, 3> inner, outer;
    } cases[] = {{1, {1 + d, 2 + d, 1 + d}, {3, 3, 3}}, {8, {2 - d, 1 - d, 2 - d}, {0, 0, 0}},
                 {2, {2 - d, 2 + d, 1 + d}, {0, 3, 3}}};
    for (const auto& c : cases) {
        Draw(c.mode);
        const auto lines = Of(GlPrimitive::Lines);
        ASSERT_EQ(lines.size(), 5u);
        const auto& first = lines[0].vertices;
        EXPECT_EQ((std::array<float, 3>{first[0].x, first[0].y, first[0].z}), c.inner) << c.mode;
        EXPECT_EQ((std::array<float, 3>{first[1].x, first[1].y, first[1].z}),
                  (std::array<float, 3>{c.inner[0], c.inner[1], c.outer[2]}))
            << c.mode;
        EXPECT_EQ(first[0].colour, (Colour3{1, 1, 1 - 128.0f / 255}));
        const auto loop = Of(GlPrimitive::LineLoop)[0].vertices;
        EXPECT_EQ(loop[2].x, c.outer[0]);
        EXPECT_EQ(loop[2].y, c.outer[1]);
        EXPECT_EQ(loop[2].z, c.inner[2]);
    }
}

TEST_F(VolumeFixture, CornerCutAtTheLastNodesRemovesNothing)
{
    Make(3, 4, 5, 2, 3, 4);
    Draw(1);
    EXPECT_EQ(gl.Count(GlPrimitive::Quads), 2u * (2 * 3 + 2 * 4 + 3 * 4));
    const float d = 0.002f * kHalfSize;
    for (const auto& l : Of(GlPrimitive::Lines)) {
        const auto& a = l.vertices[0];
        const auto& b = l.vertices[1];
        EXPECT_NEAR(std::fabs(a.x - b.x) + std::fabs(a.y - b.y) + std::fabs(a.z - b.z), d, 1e-6);
    }
}

TEST_F(VolumeFixture, SlabAtTheFirstNodeIsTheBottomFaceTwice)
{
    Make(3, 4, 5, 1, 0, 1);
    Draw(9);
    const auto quads = Of(GlPrimitive::Quads);
    ASSERT_EQ(quads.size(), 2u * 2 * 4);
    for (const auto& q : quads)
        for (const auto& v : q.vertices)
            EXPECT_EQ(v.y, 0);
    const auto loop = Of(GlPrimitive::LineLoop);
    ASSERT_EQ(loop.size(), 1u);
    EXPECT_EQ(loop[0].vertices[0].x, 2);
    EXPECT_EQ(loop[0].vertices[0].y, 0);
    EXPECT_EQ(loop[0].vertices[0].z, 4);
}

// The mirrored slab shows as many cells along its axis as the plain one, from the other end.
TEST_F(VolumeFixture, MirroredSlabsAreAsThickFromTheOtherEnd)
{
    Make(5, 6, 7, 1, 2, 3);
    const struct {
        int plain, mirrored, axis, n, c;
    } cases[] = {{9, 10, 1, 6, 2}, {11, 12, 0, 5, 1}, {13, 14, 2, 7, 3}};
    const auto span = [this](int axis) {
        float lo = 1e9f, hi = -1e9f;
        for (const auto& q : Of(GlPrimitive::Quads))
            for (const auto& v : q.vertices) {
                const float u = axis == 0 ? v.x : axis == 1 ? v.y : v.z;
                lo = std::min(lo, u);
                hi = std::max(hi, u);
            }
        return std::make_pair(lo, hi);
    };
    for (const auto& c : cases) {
        Draw(c.plain);
        const size_t plainCount = gl.Count(GlPrimitive::Quads);
        EXPECT_EQ(span(c.axis), std::make_pair(0.0f, float(c.c))) << c.plain;
        Draw(c.mirrored);
        EXPECT_EQ(gl.Count(GlPrimitive::Quads), plainCount) << c.mirrored;
        EXPECT_EQ(span(c.axis), std::make_pair(float(c.n - 1 - c.c), float(c.n - 1))) << c.mirrored;
    }
}

TEST_F(VolumeFixture, CentreBoxPastTheMiddleKeepsOnlyItsTwelveEdges)
{
    Make(4, 5, 6, 3, 3, 4);  // 2c > n - 1 on every axis
    Draw(15);
    EXPECT_EQ(gl.Count(GlPrimitive::Quads), 0u);
    EXPECT_EQ(gl.Count(GlPrimitive::LineLoop) * 4 + gl.Count(GlPrimitive::Lines), 12u);
    const auto loops = Of(GlPrimitive::LineLoop);
    EXPECT_EQ(loops[0].vertices[0].x, 3);  // x = X[cx]
    EXPECT_EQ(loops[1].vertices[0].x, 0);  // x = X[nx - 1 - cx], crossed over
}

TEST_F(VolumeFixture, SlicesAndCornerBoxesStayOnTheirPlanesAndBoxes)
{
    Make(4, 5, 6, 1, 2, 3);
    Draw(16);
    for (const auto& q : Of(GlPrimitive::Quads)) {
        const auto& a = q.vertices[0];
        const auto& c = q.vertices[2];
        EXPECT_TRUE((a.x == 1 && c.x == 1) || (a.y == 2 && c.y == 2) || (a.z == 3 && c.z == 3));
    }
    for (int mode = 17; mode <= 24; ++mode) {
        Draw(mode);
        const int bits = 7 - (mode - 17);  // the axes mirrored
        const int n[3] = {4, 5, 6}, cut[3] = {1, 2, 3};
        for (const auto& q : Of(GlPrimitive::Quads))
            for (const auto& v : q.vertices) {
                const float at[3] = {v.x, v.y, v.z};
                for (int a = 0; a < 3; ++a) {
                    const bool mirrored = (bits >> a) & 1;
                    EXPECT_GE(at[a], mirrored ? n[a] - 1 - cut[a] : 0) << mode;
                    EXPECT_LE(at[a], mirrored ? n[a] - 1 : cut[a]) << mode;
                }
            }
    }
}

// Cut indices come from files; out of range they must not index outside the lattice (the sanitizer sees it).
TEST_F(VolumeFixture, CutsOutsideTheLatticeAreBroughtInside)
{
    Make(3, 3, 3, 40, -7, 3);
    for (int mode = 0; mode < kDrawModeCount; ++mode) {
        Draw(mode);
        for (const auto& p : gl.primitives)
            for (const auto& v : p.vertices)
                for (float u : {v.x, v.y, v.z})
                    EXPECT_TRUE(u >= -0.01f && u <= 2.01f) << mode;
    }
    EXPECT_EQ(g->m_nCutX, 40);  // drawing changes nothing

    GridScene records;
    records.m_nColorSource = 2;
    records.m_arrGrids.push_back(*g);
    map.AdoptRecords(std::move(records));
    EXPECT_EQ(std::make_tuple(map.CurrentGrid()->m_nCutX, map.CurrentGrid()->m_nCutY, map.CurrentGrid()->m_nCutZ),
              std::make_tuple(2, 0, 2));
}

TEST_F(VolumeFixture, ARecordWhoseArraysAreShortDrawsNothing)
{
    Make(3, 3, 3, 1, 1, 1);
    g->m_pValues.resize(5);
    Draw(0);
    EXPECT_TRUE(gl.primitives.empty());
}

TEST_F(VolumeFixture, TheMapDrawsTheVolumeKindOnlyAndItsLegendAtTheRight)
{
    Make(3, 3, 3, 1, 1, 1);
    map.Reshape(400, 300);
    g->m_bShowLegend = 1;
    g->m_fMinV = 0;
    g->m_fMaxV = 10;
    gl.Reset();
    map.Render();
    EXPECT_EQ(gl.Count(GlPrimitive::Quads), 24u + 10u);  // block + legend bands
    const auto loops = Of(GlPrimitive::LineLoop);
    ASSERT_EQ(loops.size(), 1u);                          // the gradient column's frame, one pixel outside
    EXPECT_EQ(loops[0].vertices[0].x, 50 + 400 - 1);
    EXPECT_EQ(loops[0].vertices[0].y, (300 - 200) / 2 - 1);
    ASSERT_EQ(gl.texts.size(), 11u);
    EXPECT_EQ(gl.texts[10].text, "10.00     ");

    g->m_nPlotKind = 4;
    gl.Reset();
    map.Render();
    EXPECT_EQ(gl.Count(GlPrimitive::Quads), 10u);
}

}  // namespace
}  // namespace quantor
