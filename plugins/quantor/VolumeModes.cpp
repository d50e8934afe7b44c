// The 25 ways the volume map opens its block. Every cell is its own quad with each vertex coloured by its node's
// value; the modes 1..8 and 17..24 are one corner cut or corner box with some axes mirrored.
#include "quantor/SurfaceMap.h"

#include <algorithm>

namespace quantor {

struct SurfaceMap::Lattice {
    int n[3];
    const float* coord[3];
    const float* values;
    int cut[3];

    float At(int axis, int node) const { return coord[axis][node]; }
    Point Node(int i, int j, int k) const { return {At(0, i), At(1, j), At(2, k)}; }
    float Value(int i, int j, int k) const
    {
        return values[(static_cast<size_t>(k) * static_cast<size_t>(n[1]) + static_cast<size_t>(j))
                          * static_cast<size_t>(n[0])
                      + static_cast<size_t>(i)];
    }
    Span Whole(int axis) const { return {0, n[axis] - 1}; }
};

void SurfaceMap::DrawVolume()
{
    if (!m_pCurGrid || !m_gl)
        return;
    const GridData& g = *m_pCurGrid;
    DrawMode(g.m_nDrawMode, g.m_nSizeX, g.m_nSizeY, g.m_nSizeZ);
}

void SurfaceMap::DrawMode(int mode, int nx, int ny, int nz)
{
    if (!m_pCurGrid || mode < 0 || mode >= kDrawModeCount)
        return;
    const GridData& g = *m_pCurGrid;
    // The lattice must be what the arrays hold; a record that says otherwise draws nothing.
    const size_t nodes = static_cast<size_t>(std::max(nx, 0)) * static_cast<size_t>(std::max(ny, 0))
                         * static_cast<size_t>(std::max(nz, 0));
    if (nx < 1 || ny < 1 || nz < 1 || g.m_pCoordX.size() < static_cast<size_t>(nx)
        || g.m_pCoordY.size() < static_cast<size_t>(ny) || g.m_pCoordZ.size() < static_cast<size_t>(nz)
        || g.m_pValues.size() < nodes)
        return;
    Lattice l{{nx, ny, nz},
              {g.m_pCoordX.data(), g.m_pCoordY.data(), g.m_pCoordZ.data()},
              g.m_pValues.data(),
              {g.m_nCutX, g.m_nCutY, g.m_nCutZ}};
    // Cut indices come with the record from a file: never index outside the lattice with them.
    for (int a = 0; a < 3; ++a)
        l.cut[a] = std::clamp(l.cut[a], 0, l.n[a] - 1);

    if (mode == 0) {
        Face(l, 2, 0, l.Whole(0), l.Whole(1));
        Face(l, 2, nz - 1, l.Whole(0), l.Whole(1));
        Face(l, 1, 0, l.Whole(0), l.Whole(2));
        Face(l, 1, ny - 1, l.Whole(0), l.Whole(2));
        Face(l, 0, nx - 1, l.Whole(1), l.Whole(2));
        Face(l, 0, 0, l.Whole(1), l.Whole(2));
    } else if (mode <= 8) {
        const int bits = mode - 1;
        const bool mirrored[3] = {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        DrawCornerCut(l, mirrored);
    } else if (mode <= 14) {
        // 9/10 slab along y, 11/12 along x, 13/14 along z; the even member mirrored.
        const int axis = mode <= 10 ? 1 : mode <= 12 ? 0 : 2;
        DrawSlab(l, axis, mode % 2 == 0);
    } else if (mode == 15) {
        DrawCentreBox(l);
    } else if (mode == 16) {
        DrawSlices(l);
    } else {
        // Mode 16 + k shows the box at the corner mode k cuts away: the mirrored axes are the others.
        const int bits = 7 - (mode - 17);
        const bool mirrored[3] = {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        DrawCornerBox(l, mirrored);
    }
}

void SurfaceMap::Face(const Lattice& l, int axis, int plane, Span a, Span b)
{
    // In-plane axes: (x, y) across z, (x, z) across y, (y, z) across x.
    const int axisA = axis == 0 ? 1 : 0;
    const int axisB = axis == 2 ? 1 : 2;
    const auto emit = [&](int p, int q) {
        int node[3];
        node[axis] = plane;
        node[axisA] = p;
        node[axisB] = q;
        SetValueColor(l.Value(node[0], node[1], node[2]));
        m_gl->Vertex3f(l.At(0, node[0]), l.At(1, node[1]), l.At(2, node[2]));
    };
    for (int q = b.u; q < b.v; ++q) {
        for (int p = a.u; p < a.v; ++p) {
            m_gl->Begin(GlPrimitive::Quads);
            emit(p, q);
            emit(p + 1, q);
            emit(p + 1, q + 1);
            emit(p, q + 1);
            m_gl->End();
        }
    }
}

void SurfaceMap::Line(const Point& a, const Point& b)
{
    m_gl->Begin(GlPrimitive::Lines);
    m_gl->Vertex3f(a[0], a[1], a[2]);
    m_gl->Vertex3f(b[0], b[1], b[2]);
    m_gl->End();
}

void SurfaceMap::Loop(const Point& a, const Point& b, const Point& c, const Point& d)
{
    m_gl->Begin(GlPrimitive::LineLoop);
    for (const Point* p : {&a, &b, &c, &d})
        m_gl->Vertex3f((*p)[0], (*p)[1], (*p)[2]);
    m_gl->End();
}

void SurfaceMap::Outline(const Point& c, const Point& o)
{
    const Colour3& back = m_pCurGrid->m_fBackColor;
    m_gl->Color3f(1 - back[0], 1 - back[1], 1 - back[2]);
    // The nine edges of a box that do not meet at its corner o.
    Line({c[0], c[1], c[2]}, {c[0], c[1], o[2]});
    Line({o[0], c[1], c[2]}, {o[0], c[1], o[2]});
    Line({c[0], o[1], o[2]}, {c[0], o[1], c[2]});
    Loop({c[0], c[1], c[2]}, {o[0], c[1], c[2]}, {o[0], o[1], c[2]}, {c[0], o[1], c[2]});
    Line({c[0], c[1], o[2]}, {o[0], c[1], o[2]});
    Line({c[0], c[1], o[2]}, {c[0], o[1], o[2]});
}

void SurfaceMap::DrawCornerCut(const Lattice& l, const bool mirrored[3])
{
    // Per axis: the span the cut box R leaves (keep), R's own span, the outer face R touches, the one it does not,
    // and the cut plane.
    Span keep[3], box[3];
    int touched[3], untouched[3], plane[3];
    float shift[3];
    const float d = 0.002f * m_fHalfSize;
    for (int a = 0; a < 3; ++a) {
        const int n = l.n[a];
        if (!mirrored[a]) {
            const int c = l.cut[a];
            keep[a] = {0, c};
            box[a] = {c, n - 1};
            touched[a] = n - 1;
            untouched[a] = 0;
            plane[a] = c;
            shift[a] = d;
        } else {
            const int c = n - 1 - l.cut[a];
            keep[a] = {c, n - 1};
            box[a] = {0, c};
            touched[a] = 0;
            untouched[a] = n - 1;
            plane[a] = c;
            shift[a] = -d;
        }
    }
    Face(l, 0, untouched[0], l.Whole(1), l.Whole(2));
    Face(l, 1, untouched[1], l.Whole(0), l.Whole(2));
    Face(l, 2, untouched[2], l.Whole(0), l.Whole(1));

    Face(l, 0, touched[0], keep[1], l.Whole(2));
    Face(l, 0, touched[0], box[1], keep[2]);
    Face(l, 1, touched[1], keep[0], l.Whole(2));
    Face(l, 1, touched[1], box[0], keep[2]);
    Face(l, 2, touched[2], keep[0], l.Whole(1));
    Face(l, 2, touched[2], box[0], keep[1]);

    Face(l, 0, plane[0], box[1], box[2]);
    Face(l, 1, plane[1], box[0], box[2]);
    Face(l, 2, plane[2], box[0], box[1]);

    const Point inner = {l.At(0, plane[0]) + shift[0], l.At(1, plane[1]) + shift[1], l.At(2, plane[2]) + shift[2]};
    const Point outer = l.Node(touched[0], touched[1], touched[2]);
    Outline(inner, outer);
}

void SurfaceMap::DrawSlab(const Lattice& l, int axis, bool mirrored)
{
    const int n = l.n[axis];
    const int cut = mirrored ? n - 1 - l.cut[axis] : l.cut[axis];
    const int outer = mirrored ? n - 1 : 0;
    const Span slab = mirrored ? Span{cut, n - 1} : Span{0, cut};
    const auto span = [&](int a) { return a == axis ? slab : l.Whole(a); };
    // Pairs across z, then y, then x; the slab's own pair is its outer face and its cut face (the cut first
    // across x).
    for (int across : {2, 1, 0}) {
        int planes[2];
        if (across == axis) {
            planes[0] = across == 0 ? cut : outer;
            planes[1] = across == 0 ? outer : cut;
        } else {
            planes[0] = across == 0 ? l.n[0] - 1 : 0;
            planes[1] = across == 0 ? 0 : l.n[across] - 1;
        }
        const int a = across == 0 ? 1 : 0;
        const int b = across == 2 ? 1 : 2;
        for (int p : planes)
            Face(l, across, p, span(a), span(b));
    }
    const Colour3& back = m_pCurGrid->m_fBackColor;
    m_gl->Color3f(1 - back[0], 1 - back[1], 1 - back[2]);
    const int xo = l.n[0] - 1, yo = l.n[1] - 1, zo = l.n[2] - 1;
    if (axis == 1)
        Loop(l.Node(xo, cut, zo), l.Node(xo, cut, 0), l.Node(0, cut, 0), l.Node(0, cut, zo));
    else if (axis == 0)
        Loop(l.Node(cut, 0, 0), l.Node(cut, yo, 0), l.Node(cut, yo, zo), l.Node(cut, 0, zo));
    else
        Loop(l.Node(0, 0, cut), l.Node(xo, 0, cut), l.Node(xo, yo, cut), l.Node(0, yo, cut));
}

void SurfaceMap::DrawCentreBox(const Lattice& l)
{
    int lo[3], hi[3];
    for (int a = 0; a < 3; ++a) {
        lo[a] = l.cut[a];
        hi[a] = l.n[a] - 1 - l.cut[a];
    }
    const Span sx{lo[0], hi[0]}, sy{lo[1], hi[1]}, sz{lo[2], hi[2]};
    Face(l, 2, hi[2], sx, sy);
    Face(l, 2, lo[2], sx, sy);
    Face(l, 1, lo[1], sx, sz);
    Face(l, 1, hi[1], sx, sz);
    Face(l, 0, hi[0], sy, sz);
    Face(l, 0, lo[0], sy, sz);
    const Colour3& back = m_pCurGrid->m_fBackColor;
    m_gl->Color3f(1 - back[0], 1 - back[1], 1 - back[2]);
    for (int x : {lo[0], hi[0]})
        Loop(l.Node(x, lo[1], lo[2]), l.Node(x, hi[1], lo[2]), l.Node(x, hi[1], hi[2]), l.Node(x, lo[1], hi[2]));
    for (const auto& yz : {std::array<int, 2>{lo[1], lo[2]}, {lo[1], hi[2]}, {hi[1], lo[2]}, {hi[1], hi[2]}})
        Line(l.Node(lo[0], yz[0], yz[1]), l.Node(hi[0], yz[0], yz[1]));
}

void SurfaceMap::DrawSlices(const Lattice& l)
{
    const int cx = l.cut[0], cy = l.cut[1], cz = l.cut[2];
    const int xo = l.n[0] - 1, yo = l.n[1] - 1, zo = l.n[2] - 1;
    Face(l, 2, cz, l.Whole(0), l.Whole(1));
    Face(l, 1, cy, l.Whole(0), l.Whole(2));
    Face(l, 0, cx, l.Whole(1), l.Whole(2));
    const Colour3& back = m_pCurGrid->m_fBackColor;
    m_gl->Color3f(1 - back[0], 1 - back[1], 1 - back[2]);
    Loop(l.Node(cx, 0, 0), l.Node(cx, yo, 0), l.Node(cx, yo, zo), l.Node(cx, 0, zo));
    Loop(l.Node(0, cy, 0), l.Node(xo, cy, 0), l.Node(xo, cy, zo), l.Node(0, cy, zo));
    Loop(l.Node(0, 0, cz), l.Node(xo, 0, cz), l.Node(xo, yo, cz), l.Node(0, yo, cz));
}

void SurfaceMap::DrawCornerBox(const Lattice& l, const bool mirrored[3])
{
    Span box[3];
    int inner[3], outer[3];
    for (int a = 0; a < 3; ++a) {
        const int n = l.n[a];
        const int c = l.cut[a];
        if (!mirrored[a]) {
            box[a] = {0, c};
            inner[a] = c;
            outer[a] = 0;
        } else {
            box[a] = {n - 1 - c, n - 1};
            inner[a] = n - 1 - c;
            outer[a] = n - 1;
        }
    }
    for (int across = 0; across < 3; ++across) {
        const int a = across == 0 ? 1 : 0;
        const int b = across == 2 ? 1 : 2;
        Face(l, across, inner[across], box[a], box[b]);
        Face(l, across, outer[across], box[a], box[b]);
    }
    Outline(l.Node(inner[0], inner[1], inner[2]), l.Node(outer[0], outer[1], outer[2]));
}

}  // namespace quantor
