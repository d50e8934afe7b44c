// Synthetic images for the automatic edge tools, drawn from exact geometry (each pixel's grey is the share of
// it on the bright side, from 4 x 4 samples), and a MarkerScene whose container scans them.
#pragma once

#include "MarkerScene.h"

#include "qvimage/CQvImage.h"

#include <algorithm>
#include <cmath>
#include <functional>

// Grey `low` where inside(x, y) is false, `high` where true, in the colour model `type` (8-bit grey, 24 or 32
// bits; colour pixels carry the grey in all three channels).
inline CQvImage EdgeImage(int type, int width, int height, int low, int high,
                          const std::function<bool(double, double)>& inside)
{
    CQvImage image;
    image.Create(type, width, height, 0);
    const int bytes = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int covered = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    covered += inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0) ? 1 : 0;
            const int grey = low + (high - low) * covered / 16;
            BYTE* p = image.GetPixel(x, y);
            for (int b = 0; b < bytes; ++b)
                p[b] = static_cast<BYTE>(b == 3 ? 255 : grey);
        }
    return image;
}

// The half-plane on the left of the directed line through (x0, y0) at `degrees` (screen, counter-clockwise).
inline std::function<bool(double, double)> HalfPlane(double x0, double y0, double degrees)
{
    const double c = std::cos(degrees * M_PI / 180.0);
    const double s = -std::sin(degrees * M_PI / 180.0);  // y grows downwards
    return [=](double x, double y) { return (x - x0) * s - (y - y0) * c > 0; };
}

inline std::function<bool(double, double)> Disc(double cx, double cy, double r)
{
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) < r; };
}

struct AutoEdgeScene : MarkerScene
{
    CQvImage image;

    explicit AutoEdgeScene(CQvImage picture) : image(std::move(picture)) { container.SetActiveImage(&image); }

    size_t Count() { return container.GetMainObjList().size(); }
    // The last object of the overlay when the clicks left one more, else null.
    CQvGObject* Draw(OBJ_SHAPE shape, std::initializer_list<CPoint> clicks)
    {
        const size_t before = Count();
        Click(shape, clicks);
        return Count() > before ? container.GetMainObjList().back() : nullptr;
    }
};

// Distance of p from the line through (x0, y0) at `degrees`.
inline double DistanceFromLine(const _RPOINT& p, double x0, double y0, double degrees)
{
    const double c = std::cos(degrees * M_PI / 180.0);
    const double s = -std::sin(degrees * M_PI / 180.0);
    return std::abs((p.x - x0) * s - (p.y - y0) * c);
}
