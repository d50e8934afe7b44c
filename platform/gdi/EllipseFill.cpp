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
constexpr int kStepsBeforeJump = 256;

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

// Calls row(j, outer, inner) with the outermost and innermost outline columns of the quarter's rows j from
// firstRow to lastRow: the same steps as PaintEllipseOutline's walk, with the error terms in T (int64_t for sides
// below kNarrowSide, Wide above). Once the walk has passed the middle column, the rows left are the tips of a flat
// ellipse, one or two middle pixels each. Jumps: a row the walk would cross in many steps is crossed by bisection
// (a box may be far wider than the surface); without, every step is taken (the box lies on the surface) and
// step(i, j) is called at every position the walk visits, the tips' middle column included.
template <class T, bool Jumps, class Row, class Step>
void WalkRows(const Quarter& q, int64_t firstRow, int64_t lastRow, Row row, Step step)
{
    const T stepX = T(Wide{8} * q.b * q.b);
    const T stepY = T(Wide{8} * q.a * q.a);
    int64_t i = 0;
    int64_t j = firstRow;
    bool ended = false;
    T error{};
    T dx{};
    T dy{};
    auto reckon = [&] {
        error = T(q.Error(i, j));
        dx = T(q.StepX(i));
        dy = T(q.StepY(j));
    };
    // The step down out of row j, and to the right with it when the walk takes the diagonal; false when that
    // takes the walk past the middle column.
    auto leave = [&] {
        const T e2 = 2 * error;
        ++j;
        error += dy += stepY;
        if (e2 >= dx || 2 * error > dy) {
            if (i == q.lastColumn)
                return false;
            ++i;
            error += dx += stepX;
        }
        return true;
    };
    if (firstRow > 0) {
        // Where the walk leaves the row above: past both the column at which that row lets it move down and the
        // columns it cannot yet have left (checked against the full walk for every box up to 300 x 300 and for
        // large random boxes).
        i = std::max(q.FirstColumnMovingDown(firstRow - 1, 0), q.FirstColumnHeldAt(firstRow - 1));
        j = firstRow - 1;
        ended = i > q.lastColumn;
        if (!ended) {
            reckon();
            ended = !leave();
        } else {
            j = firstRow;
        }
    } else {
        reckon();
    }
    while (j <= lastRow) {
        int64_t outer = q.lastColumn;
        if (!ended) {
            outer = i;
            step(i, j);
            [[maybe_unused]] int steps = 0;
            while (2 * error > dy) {
                if (i == q.lastColumn) {
                    ended = true;
                    break;
                }
                if constexpr (Jumps) {
                    if (++steps > kStepsBeforeJump) {
                        i = q.FirstColumnMovingDown(j, i + 1);
                        ended = i > q.lastColumn;
                        if (!ended)
                            reckon();
                        break;
                    }
                }
                ++i;
                error += dx += stepX;
                step(i, j);
            }
        } else {
            step(q.lastColumn, j);
        }
        row(j, outer, ended ? q.lastColumn : i);
        if (ended)
            ++j;
        else
            ended = !leave();
    }
}

template <int Rop, bool Hatched>
void PaintSpan(QRgb* row, int y, int64_t left, int64_t right, const SpanBrush& brush)
{
    if constexpr (!Hatched) {
        if constexpr (Rop == R2_COPYPEN) {
            std::fill(row + left, row + right + 1, brush.colour);
        } else {
            for (int64_t x = left; x <= right; ++x)
                Mix<Rop>(row[x], brush.colour);
        }
    } else {
        const unsigned bits = brush.hatch[y & 7];
        for (int64_t x = left; x <= right; ++x) {
            if ((bits >> (x & 7)) & 1u)
                Mix<Rop>(row[x], brush.colour);
            else if (brush.opaque)
                Mix<Rop>(row[x], brush.background);
        }
    }
}

// The pixels of a short run of the outline.
template <int Rop>
void PaintRun(QRgb* row, int64_t left, int64_t right, QRgb colour)
{
    for (int64_t x = left; x <= right; ++x)
        Mix<Rop>(row[x], colour);
}

struct Geometry
{
    int64_t x0, y0, x1, y1;    // inclusive corners
    int64_t upperMiddle;       // the middle row, or the upper of the two
    int64_t lowerMiddle;       // the middle row, or the lower of the two
    int64_t firstRow, lastRow; // the quarter's rows that lie on the surface
};

// Paints the rows the walk gives: with an outline, its runs in the pen's colour and the brush between them;
// without, the brush over both. The left and right runs of a row meet at the middle, where one run is painted
// instead of two, so that a mix mode touches no pixel twice. Clipped: the ellipse does not lie wholly on the surface
// (or is too large for 64-bit error terms).
template <int Rop, bool Hatched, bool Clipped, class T>
void PaintRows(QImage& surface, const Quarter& q, const Geometry& g, const SpanBrush& brush, const QRgb* outline)
{
    const int64_t width = surface.width();
    const int64_t height = surface.height();
    uchar* const bits = surface.bits();
    const qsizetype stride = surface.bytesPerLine();
    const QRgb pen = outline != nullptr ? *outline : 0;
    const int64_t x0 = g.x0;
    const int64_t x1 = g.x1;
    // One row: the pen's runs [left, innerLeft] and [innerRight, right] around the brush, or one run where they
    // meet; without a pen the brush over all of [left, right].
    auto paint = [=, &brush](int64_t y, int64_t left, int64_t innerLeft, int64_t innerRight, int64_t right) {
        if constexpr (Clipped) {
            if (y < 0 || y >= height)
                return;
        }
        QRgb* const row = reinterpret_cast<QRgb*>(bits + y * stride);
        auto clip = [=](int64_t& from, int64_t& to) {
            if constexpr (Clipped) {
                from = std::max<int64_t>(from, 0);
                to = std::min(to, width - 1);
            }
            return from <= to;
        };
        if (outline == nullptr) {
            if (clip(left, right))
                PaintSpan<Rop, Hatched>(row, static_cast<int>(y), left, right, brush);
        } else if (innerLeft + 1 >= innerRight) {
            if (clip(left, right))
                PaintRun<Rop>(row, left, right, pen);
        } else {
            int64_t fillLeft = innerLeft + 1;
            int64_t fillRight = innerRight - 1;
            if (clip(left, innerLeft))
                PaintRun<Rop>(row, left, innerLeft, pen);
            if (clip(fillLeft, fillRight))
                PaintSpan<Rop, Hatched>(row, static_cast<int>(y), fillLeft, fillRight, brush);
            if (clip(innerRight, right))
                PaintRun<Rop>(row, innerRight, right, pen);
        }
    };
    const int64_t lowerMiddle = g.lowerMiddle;
    const int64_t upperMiddle = g.upperMiddle;
    const bool twoMiddleRows = q.oddB != 0;
    if constexpr (!Clipped && Rop == R2_COPYPEN) {
        // On the surface and copied, a pixel painted twice does no harm: the outline goes pixel by pixel as the
        // walk takes it, in the four quarters at once, and each row pair gets the brush as the walk leaves it.
        if (outline != nullptr) {
            WalkRows<T, false>(
                q, g.firstRow, g.lastRow,
                [=, &brush](int64_t j, int64_t, int64_t inner) {
                    const int64_t left = x0 + inner + 1;
                    const int64_t right = x1 - inner - 1;
                    if (left > right)
                        return;
                    const int64_t lower = lowerMiddle + j;
                    const int64_t upper = upperMiddle - j;
                    PaintSpan<Rop, Hatched>(reinterpret_cast<QRgb*>(bits + lower * stride), static_cast<int>(lower),
                                            left, right, brush);
                    PaintSpan<Rop, Hatched>(reinterpret_cast<QRgb*>(bits + upper * stride), static_cast<int>(upper),
                                            left, right, brush);
                },
                [=](int64_t i, int64_t j) {
                    QRgb* const lower = reinterpret_cast<QRgb*>(bits + (lowerMiddle + j) * stride);
                    QRgb* const upper = reinterpret_cast<QRgb*>(bits + (upperMiddle - j) * stride);
                    lower[x0 + i] = pen;
                    lower[x1 - i] = pen;
                    upper[x0 + i] = pen;
                    upper[x1 - i] = pen;
                });
            return;
        }
    }
    WalkRows<T, Clipped>(
        q, g.firstRow, g.lastRow,
        [=](int64_t j, int64_t outer, int64_t inner) {
            const int64_t left = x0 + outer;
            const int64_t innerLeft = x0 + inner;
            const int64_t innerRight = x1 - inner;
            const int64_t right = x1 - outer;
            paint(lowerMiddle + j, left, innerLeft, innerRight, right);
            if (j > 0 || twoMiddleRows)
                paint(upperMiddle - j, left, innerLeft, innerRight, right);
        },
        [](int64_t, int64_t) {});
}

template <int Rop, bool Hatched>
void Paint(QImage& surface, const QRect& box, const SpanBrush& brush, const QRgb* outline)
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
        const int64_t left = std::max<int64_t>(g.x0, 0);
        const int64_t right = std::min(g.x1, width - 1);
        for (int64_t y = std::max<int64_t>(g.y0, 0); y <= std::min(g.y1, height - 1); ++y) {
            QRgb* const row = reinterpret_cast<QRgb*>(surface.bits() + y * surface.bytesPerLine());
            if (outline != nullptr)
                PaintRun<Rop>(row, left, right, *outline);
            else
                PaintSpan<Rop, Hatched>(row, static_cast<int>(y), left, right, brush);
        }
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
    const bool clipped = g.x0 < 0 || g.y0 < 0 || g.x1 >= width || g.y1 >= height;
    const bool narrow = q.a < kNarrowSide && q.b < kNarrowSide;
    if (!clipped && narrow)
        PaintRows<Rop, Hatched, false, int64_t>(surface, q, g, brush, outline);
    else if (narrow)
        PaintRows<Rop, Hatched, true, int64_t>(surface, q, g, brush, outline);
    else
        PaintRows<Rop, Hatched, true, Wide>(surface, q, g, brush, outline);
}

template <bool Hatched>
void PaintWithRop(QImage& surface, const QRect& box, const SpanBrush& brush, const QRgb* outline)
{
    switch (brush.rop2) {
    case R2_NOT: Paint<R2_NOT, Hatched>(surface, box, brush, outline); break;
    case R2_XORPEN: Paint<R2_XORPEN, Hatched>(surface, box, brush, outline); break;
    case R2_NOTXORPEN: Paint<R2_NOTXORPEN, Hatched>(surface, box, brush, outline); break;
    default: Paint<R2_COPYPEN, Hatched>(surface, box, brush, outline); break;
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

bool WalkableEllipseBox(const QRect& box)
{
    return int64_t{box.right()} - box.left() < kMaxSide && int64_t{box.bottom()} - box.top() < kMaxSide;
}

bool PaintFilledEllipse(QImage& surface, const QRect& box, const SpanBrush& brush, const QRgb* outline)
{
    if (!WalkableEllipseBox(box))
        return false;
    if (box.right() < box.left() || box.bottom() < box.top() || surface.isNull())
        return true;
    if (brush.hatch != nullptr)
        PaintWithRop<true>(surface, box, brush, outline);
    else
        PaintWithRop<false>(surface, box, brush, outline);
    return true;
}

}  // namespace gdi_detail
