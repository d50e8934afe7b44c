#include "EllipseOutline.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace gdi_detail {

namespace {

constexpr int64_t kMaxSide = int64_t{1} << 20;

// Calls plot(x, y) for the outline pixels of the ellipse with inclusive corners (x0, y0) and (x1, y1), x0 <= x1,
// y0 <= y1: the midpoint walk over the four quadrants at once, from the ends of the horizontal axis towards the
// top and bottom. A pixel where quadrants meet may come more than once. The error terms stay below 2^63 for sides
// below kMaxSide.
template <class Plot>
void WalkEllipse(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Plot plot)
{
    const int64_t a = x1 - x0;
    const int64_t b = y1 - y0;
    // One pixel wide or tall, the ellipse is its whole box; the walk would leave out the ends.
    if (a == 0 || b == 0) {
        for (int64_t y = y0; y <= y1; ++y)
            for (int64_t x = x0; x <= x1; ++x)
                plot(x, y);
        return;
    }
    const int64_t oddHeight = b & 1;
    int64_t dx = 4 * (1 - a) * b * b;
    int64_t dy = 4 * (oddHeight + 1) * a * a;
    int64_t err = dx + dy + oddHeight * a * a;
    y0 += (b + 1) / 2;
    y1 = y0 - oddHeight;
    const int64_t stepX = 8 * b * b;
    const int64_t stepY = 8 * a * a;
    do {
        plot(x1, y0);
        plot(x0, y0);
        plot(x0, y1);
        plot(x1, y1);
        const int64_t e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            err += dy += stepY;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            err += dx += stepX;
        }
    } while (x0 <= x1);
    // A very flat ellipse stops before its tips: they are finished straight up and down.
    while (y0 - y1 <= b) {
        plot(x0 - 1, y0);
        plot(x1 + 1, y0++);
        plot(x0 - 1, y1);
        plot(x1 + 1, y1--);
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
    if (x1 - x0 >= kMaxSide || y1 - y0 >= kMaxSide)
        return false;
    const int64_t width = surface.width();
    const int64_t height = surface.height();
    if (x1 < 0 || y1 < 0 || x0 >= width || y0 >= height)
        return true;
    uchar* const bits = surface.bits();
    const int64_t stride = surface.bytesPerLine();
    auto pixel = [&](int64_t x, int64_t y) -> QRgb& { return reinterpret_cast<QRgb*>(bits + y * stride)[x]; };
    auto inside = [&](int64_t x, int64_t y) { return x >= 0 && y >= 0 && x < width && y < height; };

    if (style.rop2 == R2_COPYPEN) {
        WalkEllipse(x0, y0, x1, y1, [&](int64_t x, int64_t y) {
            if (inside(x, y))
                pixel(x, y) = style.colour;
        });
        return true;
    }
    // A mixing mode must touch each pixel once, or a pixel inverted twice would vanish from the outline.
    std::vector<int64_t> touched;
    touched.reserve(static_cast<size_t>(2 * (x1 - x0 + y1 - y0) + 8));
    WalkEllipse(x0, y0, x1, y1, [&](int64_t x, int64_t y) {
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
