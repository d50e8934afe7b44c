#include "EllipseFill.h"

#include "CosmeticLine.h"

#include <QPainter>

#include <algorithm>
#include <array>

namespace gdi_detail {

namespace {

constexpr int64_t kMaxSide = int64_t{1} << 30;
// Below this side the walk's error terms stay far inside 64 bits; above it they are kept in 128.
constexpr int64_t kNarrowSide = int64_t{1} << 18;
// Steps to the right within one row before the walk jumps to the row's end by bisection.
constexpr int kStepsBeforeJump = 16;

using Wide = __int128;

// The outline walk's decisions in the quarter of the ellipse below its middle row and left of its middle column.
// The position is i columns right of the box's left edge and j rows below the middle row (the lower middle row
// when the height is even). The walk's error term at (i, j) is the ellipse's implicit function at (i + 1, j + 1),
// so every decision is a function of the position alone: that lets a row be reached without walking to it.
struct Quarter
{
    int64_t a;            // width - 1
    int64_t b;            // height - 1
    int64_t oddB;         // b & 1: the two middle rows are distinct
    int64_t lastColumn;   // a / 2: the walk ends when it steps past this column
    int64_t lastRow;      // b / 2: the box's bottom row

    Quarter(int64_t width1, int64_t height1)
        : a(width1), b(height1), oddB(height1 & 1), lastColumn(width1 / 2), lastRow(height1 / 2)
    {
    }

    Wide Error(int64_t i, int64_t j) const
    {
        return Wide{4} * b * b * (i + 1) * (i + 1 - a) + Wide{4} * a * a * (j + 1) * (j + 1 + oddB) +
               Wide{oddB} * a * a;
    }
    Wide StepX(int64_t i) const { return Wide{4} * b * b * (1 - a + 2 * i); }
    Wide StepY(int64_t j) const { return Wide{4} * a * a * (oddB + 1 + 2 * j); }

    // The walk leaves row j at column i (moving down, perhaps also right).
    bool MovesDown(int64_t i, int64_t j) const { return 2 * Error(i, j) <= StepY(j); }
    // The walk leaves column i at row j (moving right, perhaps also down).
    bool MovesRight(int64_t i, int64_t j) const
    {
        return !MovesDown(i, j) || 2 * Error(i, j) >= StepX(i) || 2 * Error(i, j + 1) > StepY(j + 1);
    }

    // The first column from `from` on at which the walk would leave row j; lastColumn + 1 when the walk ends in
    // the row. MovesDown only turns true as i grows up to lastColumn - 1, where the error is least.
    int64_t FirstColumnMovingDown(int64_t j, int64_t from) const
    {
        int64_t lo = from;
        int64_t hi = lastColumn;
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (MovesDown(mid, j))
                hi = mid;
            else
                lo = mid + 1;
        }
        if (lo < lastColumn)
            return lo;
        return MovesDown(lastColumn, j) ? lastColumn : lastColumn + 1;
    }

    // The first row at which the walk would leave column i; lastRow + 1 when none in the box. MovesRight only
    // turns true as j grows.
    int64_t FirstRowMovingRight(int64_t i) const
    {
        int64_t lo = 0;
        int64_t hi = lastRow + 1;
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (MovesRight(i, mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    }

    // The first column the walk cannot have stepped past by row j: the first whose FirstRowMovingRight is at
    // least j (non-decreasing up to lastColumn - 1); lastColumn + 1 when none.
    int64_t FirstColumnHeldAt(int64_t j) const
    {
        int64_t lo = 0;
        int64_t hi = lastColumn;
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (FirstRowMovingRight(mid) >= j)
                hi = mid;
            else
                lo = mid + 1;
        }
        if (lo < lastColumn)
            return lo;
        return FirstRowMovingRight(lastColumn) >= j ? lastColumn : lastColumn + 1;
    }
};

// The outline's columns in the quarter, row by row from a first row down; the same steps as PaintEllipseOutline's
// walk, kept in T (int64_t for sides below kNarrowSide, Wide above).
template <class T>
class RowWalk
{
public:
    RowWalk(const Quarter& q, int64_t firstRow) : m_q(q), m_stepX(T(Wide{8} * q.b * q.b)), m_stepY(T(Wide{8} * q.a * q.a))
    {
        if (firstRow == 0) {
            m_i = 0;
            m_j = 0;
            Reckon();
            return;
        }
        // Where the walk leaves the row above: past both the column at which the row lets it move down and the
        // columns it cannot yet have left (checked against the full walk for every box up to 300 x 300 and for
        // large random boxes).
        const int64_t leave = std::max(q.FirstColumnMovingDown(firstRow - 1, 0), q.FirstColumnHeldAt(firstRow - 1));
        m_j = firstRow - 1;
        if (leave > q.lastColumn) {
            m_ended = true;
            ++m_j;
            return;
        }
        m_i = leave;
        Reckon();
        Leave();
    }

    // The current row's outermost and innermost outline columns; then moves on to the next row. Once the walk has
    // reached the middle column, the rows left are the tips of a flat ellipse, one or two middle pixels each.
    void Next(int64_t& outer, int64_t& inner)
    {
        if (m_ended) {
            outer = inner = m_q.lastColumn;
            ++m_j;
            return;
        }
        outer = m_i;
        int steps = 0;
        while (2 * m_error > m_dy) {
            if (m_i == m_q.lastColumn) {
                End(inner);
                return;
            }
            if (++steps > kStepsBeforeJump) {
                m_i = m_q.FirstColumnMovingDown(m_j, m_i + 1);
                if (m_i > m_q.lastColumn) {
                    End(inner);
                    return;
                }
                Reckon();
                break;
            }
            ++m_i;
            m_error += m_dx += m_stepX;
        }
        inner = m_i;
        Leave();
    }

private:
    void Reckon()
    {
        m_error = T(m_q.Error(m_i, m_j));
        m_dx = T(m_q.StepX(m_i));
        m_dy = T(m_q.StepY(m_j));
    }

    // The walk ends in this row: its outline reaches the middle column.
    void End(int64_t& inner)
    {
        inner = m_q.lastColumn;
        m_ended = true;
        ++m_j;
    }

    // The step down out of the current row, and to the right with it when the walk takes the diagonal.
    void Leave()
    {
        const T e2 = 2 * m_error;
        ++m_j;
        m_error += m_dy += m_stepY;
        if (e2 >= m_dx || 2 * m_error > m_dy) {
            if (m_i == m_q.lastColumn) {
                m_ended = true;
                return;
            }
            ++m_i;
            m_error += m_dx += m_stepX;
        }
    }

    const Quarter& m_q;
    const T m_stepX;
    const T m_stepY;
    int64_t m_i = 0;
    int64_t m_j = 0;
    T m_error{};
    T m_dx{};
    T m_dy{};
    bool m_ended = false;
};

template <int Rop, bool Hatched>
void PaintSpan(QRgb* row, int y, int left, int right, const SpanBrush& brush)
{
    if constexpr (!Hatched) {
        if constexpr (Rop == R2_COPYPEN) {
            std::fill(row + left, row + right + 1, brush.colour);
        } else {
            for (int x = left; x <= right; ++x)
                Mix<Rop>(row[x], brush.colour);
        }
    } else {
        const unsigned bits = brush.hatch[y & 7];
        for (int x = left; x <= right; ++x) {
            if ((bits >> (x & 7)) & 1u)
                Mix<Rop>(row[x], brush.colour);
            else if (brush.opaque)
                Mix<Rop>(row[x], brush.background);
        }
    }
}

struct Geometry
{
    int64_t x0, y0, x1, y1;   // inclusive corners
    int64_t upperMiddle;      // the middle row, or the upper of the two
    int64_t lowerMiddle;      // the middle row, or the lower of the two
    int64_t firstRow, lastRow; // the quarter's rows that lie on the surface (firstRow > lastRow: none)
};

template <int Rop, bool Hatched, class T>
void FillRows(QImage& surface, const Quarter& q, const Geometry& g, EllipseArea area, const SpanBrush& brush)
{
    const int64_t width = surface.width();
    const int64_t height = surface.height();
    uchar* const bits = surface.bits();
    const qsizetype stride = surface.bytesPerLine();
    auto paintRow = [&](int64_t y, int64_t left, int64_t right) {
        if (y < 0 || y >= height)
            return;
        left = std::max<int64_t>(left, 0);
        right = std::min(right, width - 1);
        if (left > right)
            return;
        PaintSpan<Rop, Hatched>(reinterpret_cast<QRgb*>(bits + y * stride), static_cast<int>(y),
                                static_cast<int>(left), static_cast<int>(right), brush);
    };
    RowWalk<T> walk(q, g.firstRow);
    for (int64_t j = g.firstRow; j <= g.lastRow; ++j) {
        int64_t outer = 0;
        int64_t inner = 0;
        walk.Next(outer, inner);
        const int64_t from = area == EllipseArea::Whole ? outer : inner + 1;
        const int64_t left = g.x0 + from;
        const int64_t right = g.x1 - from;
        if (left > right)
            continue;
        paintRow(g.lowerMiddle + j, left, right);
        if (g.upperMiddle - j != g.lowerMiddle + j)
            paintRow(g.upperMiddle - j, left, right);
    }
}

template <int Rop, bool Hatched>
void Fill(QImage& surface, const QRect& box, EllipseArea area, const SpanBrush& brush)
{
    Geometry g{};
    g.x0 = box.left();
    g.y0 = box.top();
    g.x1 = box.right();
    g.y1 = box.bottom();
    const int64_t width = surface.width();
    const int64_t height = surface.height();
    if (g.x1 < 0 || g.y1 < 0 || g.x0 >= width || g.y0 >= height)
        return;
    const Quarter q(g.x1 - g.x0, g.y1 - g.y0);
    // One pixel wide or tall, the outline is the whole box.
    if (q.a == 0 || q.b == 0) {
        if (area == EllipseArea::Interior)
            return;
        for (int64_t y = std::max<int64_t>(g.y0, 0); y <= std::min(g.y1, height - 1); ++y)
            PaintSpan<Rop, Hatched>(reinterpret_cast<QRgb*>(surface.bits() + y * surface.bytesPerLine()),
                                    static_cast<int>(y), static_cast<int>(std::max<int64_t>(g.x0, 0)),
                                    static_cast<int>(std::min(g.x1, width - 1)), brush);
        return;
    }
    g.lowerMiddle = g.y0 + (q.b + 1) / 2;
    g.upperMiddle = g.lowerMiddle - q.oddB;
    // Rows lowerMiddle + j and upperMiddle - j; each half's rows on the surface form a range of j, and when both
    // halves have some, both ranges start at 0.
    int64_t first = q.lastRow + 1;
    int64_t last = -1;
    const int64_t lowerFirst = std::max<int64_t>(0, -g.lowerMiddle);
    const int64_t lowerLast = std::min(q.lastRow, height - 1 - g.lowerMiddle);
    if (lowerFirst <= lowerLast) {
        first = lowerFirst;
        last = lowerLast;
    }
    const int64_t upperFirst = std::max<int64_t>(0, g.upperMiddle - (height - 1));
    const int64_t upperLast = std::min(q.lastRow, g.upperMiddle);
    if (upperFirst <= upperLast) {
        first = std::min(first, upperFirst);
        last = std::max(last, upperLast);
    }
    if (first > last)
        return;
    g.firstRow = first;
    g.lastRow = last;
    if (q.a < kNarrowSide && q.b < kNarrowSide)
        FillRows<Rop, Hatched, int64_t>(surface, q, g, area, brush);
    else
        FillRows<Rop, Hatched, Wide>(surface, q, g, area, brush);
}

template <bool Hatched>
void FillWithRop(QImage& surface, const QRect& box, EllipseArea area, const SpanBrush& brush)
{
    switch (brush.rop2) {
    case R2_NOT: Fill<R2_NOT, Hatched>(surface, box, area, brush); break;
    case R2_XORPEN: Fill<R2_XORPEN, Hatched>(surface, box, area, brush); break;
    case R2_NOTXORPEN: Fill<R2_NOTXORPEN, Hatched>(surface, box, area, brush); break;
    default: Fill<R2_COPYPEN, Hatched>(surface, box, area, brush); break;
    }
}

}  // namespace

const uint8_t* HatchRows(Qt::BrushStyle style)
{
    if (style < Qt::HorPattern || style > Qt::DiagCrossPattern)
        return nullptr;
    // Read back from the painter, so that a hatched ellipse matches a hatched rectangle pixel for pixel.
    static const auto hatches = [] {
        std::array<std::array<uint8_t, 8>, Qt::DiagCrossPattern - Qt::HorPattern + 1> result{};
        for (size_t h = 0; h < result.size(); ++h) {
            QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
            tile.fill(Qt::transparent);
            {
                QPainter painter(&tile);
                painter.fillRect(tile.rect(), QBrush(Qt::black, static_cast<Qt::BrushStyle>(Qt::HorPattern + h)));
            }
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    if (qAlpha(tile.pixel(x, y)) != 0)
                        result[h][static_cast<size_t>(y)] |= static_cast<uint8_t>(1u << x);
        }
        return result;
    }();
    return hatches[static_cast<size_t>(style - Qt::HorPattern)].data();
}

bool FillableEllipseBox(const QRect& box)
{
    return int64_t{box.right()} - box.left() < kMaxSide && int64_t{box.bottom()} - box.top() < kMaxSide;
}

bool FillEllipse(QImage& surface, const QRect& box, EllipseArea area, const SpanBrush& brush)
{
    if (!FillableEllipseBox(box))
        return false;
    if (box.right() < box.left() || box.bottom() < box.top() || surface.isNull())
        return true;
    if (brush.hatch != nullptr)
        FillWithRop<true>(surface, box, area, brush);
    else
        FillWithRop<false>(surface, box, area, brush);
    return true;
}

}  // namespace gdi_detail
