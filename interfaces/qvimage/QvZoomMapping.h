// The one rule that ties image pixels to window pixels at a zoom ratio, shared by the display window's point
// mapping and its image drawing so that an overlay point at image pixel x lands on the pixels drawn for x.
// Image coordinate x maps to window coordinate floor(ratio * x + 0.5) + origin, so image pixel x covers the window
// pixels [Zoomed(x), Zoomed(x + 1)); below ratio 1 most pixels cover none. On every window pixel from 0 on this is
// the overlay's trunc(ratio * x + origin + 0.5); it differs only left of or above the window, where truncation
// toward zero would put everything one pixel nearer the edge and scrolling would no longer be a plain
// translation of the origin.
// Plain functions, any thread.
#pragma once

#include <cmath>

namespace qvzoom {

inline int Zoomed(int image, float ratio, int origin)
{
    return static_cast<int>(std::floor(static_cast<double>(ratio) * image + 0.5)) + origin;
}

// The image coordinate shown at a window coordinate. From ratio 1 it is the pixel that covers the window pixel
// (the largest x with Zoomed(x) <= window); below 1, where several image coordinates share one window pixel, it is
// the one of them nearest to (window - origin) / ratio, so whole multiples of 1 / ratio map back to themselves.
// The estimate is corrected against Zoomed itself so the two never disagree through floating-point rounding.
inline int Real(int window, float ratio, int origin)
{
    const double unzoomed = (window - origin) / static_cast<double>(ratio);
    if (ratio >= 1.0f)
    {
        int x = static_cast<int>(std::ceil(unzoomed + 0.5 / ratio)) - 1;
        while (Zoomed(x + 1, ratio, origin) <= window)
            ++x;
        while (Zoomed(x, ratio, origin) > window)
            --x;
        return x;
    }
    // Below ratio 1 Zoomed climbs by at most 1 per image pixel, so the corrections stop on the window pixel.
    int x = static_cast<int>(std::floor(unzoomed + 0.5));
    while (Zoomed(x, ratio, origin) > window)
        --x;
    while (Zoomed(x, ratio, origin) < window)
        ++x;
    return x;
}

}  // namespace qvzoom
