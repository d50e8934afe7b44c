#include "EllipseOutline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace gdi_detail {

namespace {

using Wide = __int128;

// The walk's terms are values of F(u, v) = b^2 u^2 + a^2 v^2 - a^2 b^2 (a, b: the box's width and height less
// one; u, v: doubled distances from the centre) and its steps. Anywhere in the box they stay below
// 2 (a + 2)^2 (b + 4)^2, under 2^127 for sides up to kMaxSide: the thresholds that place the clipped walk are
// found in 128 bits. Along the path, one diagonal step from pixels of the outline, they stay near the ellipse:
// below 16 max(a, b)^3 (about 12 max(a, b)^3 is reached on circles), which 64 bits hold for sides up to 2^19;
// they overflowed from about 916,000. The walk keeps them in 64 bits up to kNarrowSide, in 128 beyond.
constexpr int64_t kNarrowSide = int64_t{1} << 17;
constexpr int64_t kMaxSide = (int64_t{1} << 31) - 8;

// An ellipse small enough for the surface is walked whole: the jumps that clipping takes cost more than the
// steps they save.
constexpr int64_t kWholeWalkPerSurface = 4;

// A closed interval of step counts.
struct Span
{
    int64_t lo;
    int64_t hi;
    bool empty() const { return lo > hi; }
};

// The midpoint walk of the ellipse with inclusive corners (x0, y0), (x1, y1) over the four quadrants at once, as
// a path of vertices (i, j): i steps inwards from the ends of the horizontal axis, j steps from the middle row
// outwards. Vertex (i, j) stands for the pixels (x1 - i, yLow + j), (x0 + i, yLow + j), (x0 + i, yHigh - j) and
// (x1 - i, yHigh - j). The walk leaves its vertex by one of three steps, decided by the signs of sums of F at the
// neighbouring pixels, so that each vertex's terms follow from (i, j) alone: the clipped walk jumps into the path
// where it meets the surface instead of stepping there from the start.
class EllipsePath
{
public:
    EllipsePath(int64_t x0, int64_t y0, int64_t x1, int64_t y1)
        : m_x0(x0), m_x1(x1), m_a(x1 - x0), m_b(y1 - y0), m_odd(m_b & 1)
    {
        m_yLow = y0 + (m_b + 1) / 2;
        m_yHigh = m_yLow - m_odd;
        m_lastColumn = m_a / 2;
        m_lastSteadyColumn = (m_a - 1) / 2;
        m_lastRow = (m_b - m_odd) / 2 + 1;
        m_a2 = Wide(m_a) * m_a;
        m_b2 = Wide(m_b) * m_b;
    }

    int64_t LastColumn() const { return m_lastColumn; }
    int64_t LastSteadyColumn() const { return m_lastSteadyColumn; }
    int64_t LastRow() const { return m_lastRow; }
    int64_t X0() const { return m_x0; }
    int64_t X1() const { return m_x1; }
    int64_t YLow() const { return m_yLow; }
    int64_t YHigh() const { return m_yHigh; }
    int64_t A() const { return m_a; }
    int64_t B() const { return m_b; }
    int64_t Odd() const { return m_odd; }

    // F at the doubled offsets (u, v).
    Wide F(Wide u, Wide v) const { return m_b2 * u * u + m_a2 * v * v - m_a2 * m_b2; }
    Wide U(int64_t i) const { return Wide(m_a) - 2 * Wide(i); }
    Wide V(int64_t j) const { return Wide(m_odd) + 2 * Wide(j); }
    // A step upwards is taken when G <= 0, a step inwards when it is not, or when H >= 0, or when G at the next
    // row is > 0 (see Next).
    Wide G(int64_t i, int64_t j) const { return F(U(i) - 2, V(j) + 2) + F(U(i) - 2, V(j)); }
    Wide H(int64_t i, int64_t j) const { return F(U(i) - 2, V(j) + 2) + F(U(i), V(j) + 2); }

    // G grows with j; over the columns up to the last steady one it falls as i grows. H grows with j and falls
    // as i grows everywhere.
    // The last row j (>= 0) of column i where G <= 0, or -1.
    int64_t UpRowLimit(int64_t i) const
    {
        return LastTrue(0, m_lastRow, [&](int64_t j) { return G(i, j) <= 0; }, EstimateRowOf(i, 1.0));
    }
    // The first row j (>= 0) of column i where H >= 0.
    int64_t InRowStart(int64_t i) const
    {
        return LastTrue(0, m_lastRow, [&](int64_t j) { return H(i, j) < 0; }, EstimateRowOf(i, 2.0)) + 1;
    }
    // The first steady column i where G(i, j) <= 0, or -1 when there is none.
    int64_t UpColumnStart(int64_t j) const
    {
        const int64_t before =
            LastTrue(-1, m_lastSteadyColumn, [&](int64_t i) { return G(i, j) > 0; }, EstimateColumnOf(j));
        return before >= m_lastSteadyColumn ? -1 : before + 1;
    }

    // The vertex after (i, j).
    void Next(int64_t& i, int64_t& j) const
    {
        const bool up = G(i, j) <= 0;
        const bool in = !up || H(i, j) >= 0 || G(i, j + 1) > 0;
        i += in;
        j += up;
    }

    // A vertex on the path at or before the first one with i >= column and j >= row, near it. Candidates are the
    // first vertices of columns and rows whose place the thresholds prove (see the notes at ColumnStart and
    // RowStart), found by looking back from where the path crosses the column and the row.
    void AnchorBefore(int64_t column, int64_t row, int64_t& anchorI, int64_t& anchorJ) const
    {
        anchorI = 0;
        anchorJ = 0;
        auto consider = [&](int64_t i, int64_t j, int64_t lastI, int64_t lastJ) {
            // Usable when no vertex before it already reached the box: those lie within (lastI, lastJ).
            if (lastI >= column && lastJ >= row)
                return;
            if (i > anchorI || (i == anchorI && j > anchorJ)) {
                anchorI = i;
                anchorJ = j;
            }
        };
        constexpr int kLookBack = 6;
        auto columnsBelow = [&](int64_t from) {
            for (int64_t c = std::min(from, m_lastSteadyColumn - 1), n = 0; c >= 1 && n < kLookBack; --c, ++n) {
                int64_t j = 0;
                int64_t lastJ = 0;
                if (ColumnStart(c, j, lastJ)) {
                    consider(c + 1, j, c, lastJ);
                    return;
                }
            }
        };
        auto rowsBelow = [&](int64_t from) {
            for (int64_t r = std::min(from, m_lastRow), n = 0; r >= 1 && n < kLookBack; --r, ++n) {
                int64_t i = 0;
                int64_t lastI = 0;
                if (RowStart(r, i, lastI)) {
                    consider(i, r + 1, lastI, r);
                    return;
                }
            }
        };
        columnsBelow(column - 1);
        rowsBelow(row - 1);
        // Where the path meets the row, and the row where it meets the column.
        const int64_t rowColumn = UpColumnStart(row);
        if (rowColumn >= 0)
            columnsBelow(rowColumn - 1);
        if (column >= 1 && column - 1 <= m_lastSteadyColumn) {
            const int64_t low = std::min(InRowStart(column - 1), UpRowLimit(column - 1)) + 1;
            rowsBelow(low - 1);
        }
    }

private:
    // Column c's path rises while j < min(InRowStart(c), UpRowLimit(c)) =: m(c) and then leaves the column, so
    // that column c + 1 starts at row m(c) + 1 whenever column c started at or below m(c). Column c starts at
    // most one row above UpRowLimit(c - 1), the thresholds growing with the column: when that bound is not above
    // m(c), column c + 1 starts at (c + 1, m(c) + 1), and every vertex before lies within (c, m(c)).
    bool ColumnStart(int64_t c, int64_t& j, int64_t& lastJ) const
    {
        const int64_t upper = std::max<int64_t>(0, UpRowLimit(c - 1) + 1);
        const int64_t m = std::min(InRowStart(c), UpRowLimit(c));
        if (upper > m)
            return false;
        j = m + 1;
        lastJ = m;
        return true;
    }

    // Row r runs inwards until UpColumnStart(r); when H < 0 there at row r - 1, no column from there on could
    // have left the path above row r - 1 before, so the row started at or before that column. Then row r + 1
    // starts at that column, or the next when the step there is diagonal; every vertex before lies within
    // (that column, r).
    bool RowStart(int64_t r, int64_t& i, int64_t& lastI) const
    {
        const int64_t start = UpColumnStart(r);
        if (start < 0 || start >= m_lastSteadyColumn || H(start, r - 1) >= 0)
            return false;
        const bool diagonal = H(start, r) >= 0 || G(start, r + 1) > 0;
        i = start + diagonal;
        lastI = start;
        return i <= m_lastSteadyColumn;
    }

    // Starting points for the threshold searches, from the ellipse x^2/a^2 + y^2/b^2 = 1/4 in doubled units.
    int64_t EstimateRowOf(int64_t i, double lift) const
    {
        const double u = static_cast<double>(m_a) - 2.0 * static_cast<double>(i) - lift;
        const double a = static_cast<double>(m_a);
        const double b = static_cast<double>(m_b);
        const double s = a > 0 ? std::max(0.0, 1.0 - (u * u) / (a * a)) : 0.0;
        return static_cast<int64_t>((b * std::sqrt(s) - static_cast<double>(m_odd)) / 2.0);
    }
    int64_t EstimateColumnOf(int64_t j) const
    {
        const double v = static_cast<double>(m_odd) + 2.0 * static_cast<double>(j) + 1.0;
        const double a = static_cast<double>(m_a);
        const double b = static_cast<double>(m_b);
        const double s = b > 0 ? std::max(0.0, 1.0 - (v * v) / (b * b)) : 0.0;
        return static_cast<int64_t>((a - 2.0 - a * std::sqrt(s)) / 2.0);
    }

    // The last k in [lo, hi] for which `holds` is true (it is true up to some k and false after), or lo - 1:
    // found by galloping from the estimate, then halving.
    template <class Holds>
    static int64_t LastTrue(int64_t lo, int64_t hi, Holds holds, int64_t estimate)
    {
        if (lo > hi)
            return lo - 1;
        int64_t k = std::clamp(estimate, lo, hi);
        int64_t good = lo - 1;
        int64_t bad = hi + 1;
        if (holds(k)) {
            good = k;
            for (int64_t stride = 1; good < hi; stride *= 2) {
                const int64_t probe = std::min(hi, good + stride);
                if (!holds(probe)) {
                    bad = probe;
                    break;
                }
                good = probe;
            }
        } else {
            bad = k;
            for (int64_t stride = 1; bad > lo; stride *= 2) {
                const int64_t probe = std::max(lo, bad - stride);
                if (holds(probe)) {
                    good = probe;
                    break;
                }
                bad = probe;
            }
        }
        while (bad - good > 1) {
            const int64_t mid = good + (bad - good) / 2;
            if (holds(mid))
                good = mid;
            else
                bad = mid;
        }
        return good;
    }

    int64_t m_x0;
    int64_t m_x1;
    int64_t m_a;
    int64_t m_b;
    int64_t m_odd;
    int64_t m_yLow = 0;
    int64_t m_yHigh = 0;
    int64_t m_lastColumn = 0;
    int64_t m_lastSteadyColumn = 0;
    int64_t m_lastRow = 0;
    Wide m_a2 = 0;
    Wide m_b2 = 0;
};

// Where a walk that paints nothing should stop: at the first vertex with i >= column and j >= row.
struct Target
{
    int64_t column;
    int64_t row;
};
constexpr Target kToTheEnd{INT64_MAX, INT64_MAX};

// The walk from vertex (i, j) of the path with its error terms kept step by step in T, calling plot for the
// four pixels of every vertex while `keepGoing(i, j)` holds and the walk lasts; (i, j) is left at the vertex it
// stopped at. A walk that paints nothing (Skip) heads for `target` and crosses long straight runs in one jump
// (a column rises while j < m(i), a row runs inwards until UpColumnStart(j)), so that a tall thin or a long flat
// ellipse costs no more than its turns.
template <class T, bool Skip, class Plot, class KeepGoing>
void Walk(const EllipsePath& path, int64_t& i, int64_t& j, Plot plot, KeepGoing keepGoing, Target target = kToTheEnd)
{
    const T a = path.A();
    const T b = path.B();
    const T stepX = 8 * b * b;
    const T stepY = 8 * a * a;
    T dx = 0;
    T dy = 0;
    T err = 0;
    auto restart = [&] {
        dx = 4 * (1 - a) * b * b + stepX * i;
        dy = 4 * (path.Odd() + 1) * a * a + stepY * j;
        err = static_cast<T>(path.F(path.U(i) - 2, path.V(j) + 2));
    };
    restart();
    constexpr int kLongRun = 32;
    int upRun = 0;
    int inRun = 0;
    while (2 * i <= path.A() && keepGoing(i, j)) {
        if constexpr (Skip) {
            if (upRun >= kLongRun) {
                upRun = 0;
                const int64_t top = std::min(path.InRowStart(i), path.UpRowLimit(i));
                const int64_t to = i >= target.column ? std::min(top, std::max(j, target.row)) : top;
                if (to > j) {
                    j = to;
                    restart();
                    continue;
                }
            }
            if (inRun >= kLongRun && i < path.LastSteadyColumn()) {
                inRun = 0;
                const int64_t start = path.UpColumnStart(j);
                const int64_t end = start < 0 ? path.LastSteadyColumn() : start;
                const int64_t to = j >= target.row ? std::min(end, std::max(i, target.column)) : end;
                if (to > i) {
                    i = to;
                    restart();
                    continue;
                }
            }
        } else {
            const int64_t xRight = path.X1() - i;
            const int64_t xLeft = path.X0() + i;
            plot(xRight, path.YLow() + j);
            plot(xLeft, path.YLow() + j);
            plot(xLeft, path.YHigh() - j);
            plot(xRight, path.YHigh() - j);
        }
        const T e2 = 2 * err;
        const bool up = e2 <= dy;
        if (up) {
            ++j;
            err += dy += stepY;
        }
        const bool in = e2 >= dx || 2 * err > dy;
        if (in) {
            ++i;
            err += dx += stepX;
        }
        upRun = up && !in ? upRun + 1 : 0;
        inRun = in && !up ? inRun + 1 : 0;
    }
}

template <class Plot>
void WalkWhole(const EllipsePath& path, Plot plot, bool narrow)
{
    int64_t i = 0;
    int64_t j = 0;
    auto always = [](int64_t, int64_t) { return true; };
    if (narrow)
        Walk<int64_t, false>(path, i, j, plot, always);
    else
        Walk<Wide, false>(path, i, j, plot, always);
    // A very flat ellipse stops before its tips: they are finished straight up and down.
    for (; path.Odd() + 2 * j <= path.B(); ++j) {
        plot(path.X0() + path.LastColumn(), path.YLow() + j);
        plot(path.X1() - path.LastColumn(), path.YLow() + j);
        plot(path.X0() + path.LastColumn(), path.YHigh() - j);
        plot(path.X1() - path.LastColumn(), path.YHigh() - j);
    }
}

// The step counts k in [0, last] for which base + sign * k lies in [0, size), for both signs: at most two spans,
// in order and apart.
int MirroredSpans(int64_t plusBase, int64_t minusBase, int64_t size, int64_t last, Span (&out)[2])
{
    Span spans[2] = {{std::max<int64_t>(0, -plusBase), std::min(last, size - 1 - plusBase)},
                     {std::max<int64_t>(0, minusBase - size + 1), std::min(last, minusBase)}};
    if (spans[0].lo > spans[1].lo)
        std::swap(spans[0], spans[1]);
    int count = 0;
    for (const Span& s : spans) {
        if (s.empty())
            continue;
        if (count > 0 && s.lo <= out[count - 1].hi + 1)
            out[count - 1].hi = std::max(out[count - 1].hi, s.hi);
        else
            out[count++] = s;
    }
    return count;
}

// The walk over the vertices whose pixels can lie on a width x height surface: for each pair of column and row
// spans that can, the path is entered at a proven vertex before the pair's first one and walked while it stays
// within the pair. Pixels and their order within each stretch are those of the whole walk.
template <class Plot>
void WalkClipped(const EllipsePath& path, int64_t width, int64_t height, Plot plot, bool narrow)
{
    Span columns[2];
    Span rows[2];
    const int columnCount = MirroredSpans(path.X0(), path.X1(), width, path.LastColumn(), columns);
    const int rowCount = MirroredSpans(path.YLow(), path.YHigh(), height, path.LastRow(), rows);
    int64_t endI = -1;
    int64_t endJ = -1;
    for (int c = 0; c < columnCount; ++c) {
        for (int r = 0; r < rowCount; ++r) {
            const Span cs = columns[c];
            const Span rs = rows[r];
            int64_t i = 0;
            int64_t j = 0;
            path.AnchorBefore(cs.lo, rs.lo, i, j);
            auto before = [&](int64_t vi, int64_t vj) { return vi < cs.lo || vj < rs.lo; };
            auto noPlot = [](int64_t, int64_t) {};
            auto inside = [&](int64_t vi, int64_t vj) { return vi <= cs.hi && vj <= rs.hi; };
            if (narrow) {
                Walk<int64_t, true>(path, i, j, noPlot, before, Target{cs.lo, rs.lo});
                Walk<int64_t, false>(path, i, j, plot, inside);
            } else {
                Walk<Wide, true>(path, i, j, noPlot, before, Target{cs.lo, rs.lo});
                Walk<Wide, false>(path, i, j, plot, inside);
            }
            // Where the walk ends, for the tips: the stretch that reached the last column and beyond.
            if (i > path.LastColumn()) {
                endI = i;
                endJ = j;
            }
        }
    }
    // The tips of a flat ellipse continue the last column straight up and down from the row the walk ended on.
    const int64_t tipLast = (path.B() - path.Odd()) / 2;
    bool lastColumnShown = false;
    for (int c = 0; c < columnCount; ++c)
        lastColumnShown = lastColumnShown || (columns[c].lo <= path.LastColumn() && path.LastColumn() <= columns[c].hi);
    if (!lastColumnShown || rowCount == 0)
        return;
    if (endI < 0) {
        // No stretch reached the end: find where the walk leaves the last column.
        int64_t i = 0;
        int64_t j = 0;
        path.AnchorBefore(path.LastColumn(), 0, i, j);
        auto noPlot = [](int64_t, int64_t) {};
        auto always = [](int64_t, int64_t) { return true; };
        if (narrow)
            Walk<int64_t, true>(path, i, j, noPlot, always);
        else
            Walk<Wide, true>(path, i, j, noPlot, always);
        endJ = j;
    }
    for (int r = 0; r < rowCount; ++r) {
        for (int64_t j = std::max(endJ, rows[r].lo); j <= std::min(tipLast, rows[r].hi); ++j) {
            plot(path.X0() + path.LastColumn(), path.YLow() + j);
            plot(path.X1() - path.LastColumn(), path.YLow() + j);
            plot(path.X0() + path.LastColumn(), path.YHigh() - j);
            plot(path.X1() - path.LastColumn(), path.YHigh() - j);
        }
    }
}

}  // namespace

bool PaintEllipseOutline(QImage& surface, const QRect& box, const LineStyle& style)
{
    const int64_t x0 = box.left();
    const int64_t y0 = box.top();
    const int64_t x1 = x0 + box.width() - 1;
    const int64_t y1 = y0 + box.height() - 1;
    if (x1 < x0 || y1 < y0)
        return true;
    if (x1 - x0 > kMaxSide || y1 - y0 > kMaxSide)
        return false;
    const int64_t width = surface.width();
    const int64_t height = surface.height();
    if (x1 < 0 || y1 < 0 || x0 >= width || y0 >= height)
        return true;
    uchar* const bits = surface.bits();
    const int64_t stride = surface.bytesPerLine();
    auto pixel = [&](int64_t x, int64_t y) -> QRgb& { return reinterpret_cast<QRgb*>(bits + y * stride)[x]; };
    auto inside = [&](int64_t x, int64_t y) { return x >= 0 && y >= 0 && x < width && y < height; };

    auto walk = [&](auto plot) {
        // One pixel wide or tall, the ellipse is its whole box; the walk would leave out the ends.
        if (x1 == x0 || y1 == y0) {
            for (int64_t y = std::max<int64_t>(y0, 0); y <= std::min(y1, height - 1); ++y)
                for (int64_t x = std::max<int64_t>(x0, 0); x <= std::min(x1, width - 1); ++x)
                    plot(x, y);
            return;
        }
        const EllipsePath path(x0, y0, x1, y1);
        const bool narrow = x1 - x0 <= kNarrowSide && y1 - y0 <= kNarrowSide;
        const bool onSurface = x0 >= 0 && y0 >= 0 && x1 < width && y1 < height;
        if (onSurface || (x1 - x0) + (y1 - y0) <= kWholeWalkPerSurface * (width + height))
            WalkWhole(path, plot, narrow);
        else
            WalkClipped(path, width, height, plot, narrow);
    };

    if (style.rop2 == R2_COPYPEN) {
        walk([&](int64_t x, int64_t y) {
            if (inside(x, y))
                pixel(x, y) = style.colour;
        });
        return true;
    }
    // A mixing mode must touch each pixel once, or a pixel inverted twice would vanish from the outline.
    std::vector<int64_t> touched;
    touched.reserve(static_cast<size_t>(2 * (std::min(x1 - x0, width) + std::min(y1 - y0, height)) + 8));
    walk([&](int64_t x, int64_t y) {
        if (inside(x, y))
            touched.push_back(y * width + x);
    });
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    for (int64_t at : touched) {
        QRgb& p = pixel(at % width, at / width);
        switch (style.rop2) {
        case R2_NOT: Mix<R2_NOT>(p, style.colour); break;
        case R2_XORPEN: Mix<R2_XORPEN>(p, style.colour); break;
        case R2_NOTXORPEN: Mix<R2_NOTXORPEN>(p, style.colour); break;
        default: Mix<R2_COPYPEN>(p, style.colour); break;
        }
    }
    return true;
}

}  // namespace gdi_detail
