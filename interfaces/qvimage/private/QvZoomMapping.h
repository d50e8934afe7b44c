// The one rule that ties image pixels to window pixels at a zoom ratio, shared by the display window's point
// mapping and its image drawing so that an overlay point at image pixel x lands on the pixels drawn for x.
// Image coordinate x maps to window coordinate floor(ratio * x + 0.5) + origin, so image pixel x covers the window
// pixels [Zoomed(x), Zoomed(x + 1)); below ratio 1 most pixels cover none. On every window pixel from 0 on this is
// the overlay's trunc(ratio * x + origin + 0.5); it differs only left of or above the window, where truncation
// toward zero would put everything one pixel nearer the edge and scrolling would no longer be a plain
// translation of the origin.
// Plain functions, any thread.
#pragma once

#include <climits>
#include <cmath>

namespace qvzoom {

namespace detail {

// Zoomed without the int range: exact for every int image coordinate and origin at the display window's ratios.
inline double ZoomedExact(double image, float ratio, double origin)
{
    return std::floor(static_cast<double>(ratio) * image + 0.5) + origin;
}

// The nearest int (INT_MIN for not a number, which no caller passes).
inline int Saturated(double v)
{
    if (!(v > INT_MIN))
        return INT_MIN;
    return v >= INT_MAX ? INT_MAX : static_cast<int>(v);
}

}  // namespace detail

// Held at the ends of the int range for points whose window coordinate lies beyond it.
inline int Zoomed(int image, float ratio, int origin)
{
    return detail::Saturated(detail::ZoomedExact(image, ratio, origin));
}

// The image coordinate shown at a window coordinate. From ratio 1 it is the pixel that covers the window pixel
// (the largest x with Zoomed(x) <= window); below 1, where several image coordinates share one window pixel, it is
// the one of them nearest to (window - origin) / ratio, so whole multiples of 1 / ratio map back to themselves.
// The estimate is corrected against Zoomed itself so the two never disagree through floating-point rounding.
// Worked out in double, so that far windows at small ratios are held at the ends of the int range rather than
// wrapping.
inline int Real(int window, float ratio, int origin)
{
    const double target = window;
    const double unzoomed = (target - origin) / static_cast<double>(ratio);
    // Far beyond the int range no correction is needed (nor would a step of 1 change a double there).
    if (!(std::fabs(unzoomed) < 4294967296.0))
        return detail::Saturated(unzoomed);
    double x = 0;
    if (ratio >= 1.0f)
    {
        x = std::ceil(unzoomed + 0.5 / ratio) - 1;
        while (detail::ZoomedExact(x + 1, ratio, origin) <= target)
            ++x;
        while (detail::ZoomedExact(x, ratio, origin) > target)
            --x;
        return detail::Saturated(x);
    }
    // Below ratio 1 Zoomed climbs by at most 1 per image pixel, so the corrections stop on the window pixel.
    x = std::floor(unzoomed + 0.5);
    while (detail::ZoomedExact(x, ratio, origin) > target)
        --x;
    while (detail::ZoomedExact(x, ratio, origin) < target)
        ++x;
    return detail::Saturated(x);
}

}  // namespace qvzoom
