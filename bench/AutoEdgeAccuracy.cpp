// How accurately the automatic tools find edges, as a table (not timed): pictures rendered from exact geometry (a
// Gaussian-blurred step integrated over each pixel, 4 x 4 samples, plus Gaussian noise), each tool run from rough
// clicks as a user makes them, RMS errors per condition over many placements. Beside the automatic line, two
// references run on the same pixels and the same drawn line: per profile across the line, a gradient peak with
// parabolic interpolation, and a least-squares erf edge fit; both through a least-squares line. The Cramer-Rao bound
// of the line's offset for that blur, contrast and noise closes the row. The tools keep their own rules (positions
// on the sample grid, the pixel that holds the point, zero crossings of squared values, 20-pixel profiles); the gap
// between the tool and the references is what those rules cost.
// Usage: autoedge_accuracy [placements per condition, default 20]
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "qvimage/CQvImage.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 200, kHeight = 150;
constexpr int kLow = 80, kContrast = 100;

using Signed = std::function<double(double, double)>;  // signed distance to the edge, bright side positive

double Phi(double z)
{
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

struct Condition
{
    double blur, cnr;
    bool colour, darkToBright;
    bool secondEdge = false;
};

CQvImage Render(const Signed& distance, const Condition& c, std::mt19937& random)
{
    CQvImage image;
    image.Create(c.colour ? QV_RGB24 : QV_GRAY8, kWidth, kHeight, 0);
    std::normal_distribution<double> noise(0.0, c.cnr > 0 ? kContrast / c.cnr : 1.0);
    std::normal_distribution<double> noEdgeNoise(0.0, 20.0);
    const int bytes = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            double share = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    share += Phi(distance(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) / c.blur) / 16;
            if (!c.darkToBright)
                share = 1 - share;
            // "No edge at all": a flat ground under noise of sigma 20.
            const double value = c.cnr > 0 ? kLow + kContrast * share + noise(random) : kLow + kContrast / 2 + noEdgeNoise(random);
            BYTE* p = image.GetPixel(x, y);
            for (int b = 0; b < bytes; ++b)
                p[b] = static_cast<BYTE>(std::clamp(static_cast<int>(std::lround(value)), 0, 255));
        }
    return image;
}

// The tool drawn with the mouse; its points when it finished.
std::vector<_RPOINT> RunTool(CQvImage& image, OBJ_SHAPE shape, const std::vector<CPoint>& clicks)
{
    CQvGObjectContainer overlay;
    overlay.SetAutoRepeatCreatingObject(0);
    overlay.SetActiveImage(&image);
    overlay.AddObject(shape);
    for (const CPoint& p : clicks) {
        overlay.MouseMove(nullptr, 0, p);
        overlay.LButtonDown(1, p);
        overlay.LButtonUp(0, p);
    }
    if (overlay.GetMainObjList().size() != 1 || overlay.GetMainObjList().front()->GetState() != GS_FINISHED)
        return {};
    const CQvGObject* object = overlay.GetMainObjList().front();
    return std::vector<_RPOINT>(object->GetPoint(), object->GetPoint() + object->GetPointCount());
}

// The grey at (x, y) between pixel centres (a pixel's grey belongs to its centre, half a pixel in).
double Bilinear(const CQvImage& image, double x, double y)
{
    x -= 0.5;
    y -= 0.5;
    const int x0 = std::clamp(static_cast<int>(std::floor(x)), 0, kWidth - 2);
    const int y0 = std::clamp(static_cast<int>(std::floor(y)), 0, kHeight - 2);
    const double fx = x - x0, fy = y - y0;
    auto at = [&](int px, int py) { return static_cast<double>(image.GetPixel(px, py)[0]); };
    return (1 - fy) * ((1 - fx) * at(x0, y0) + fx * at(x0 + 1, y0)) + fy * ((1 - fx) * at(x0, y0 + 1) + fx * at(x0 + 1, y0 + 1));
}

// Position of the edge along a profile (sample units) by the gradient's peak and a parabola through it.
double GradientPeak(const std::vector<double>& v)
{
    size_t best = 1;
    for (size_t i = 1; i + 1 < v.size(); ++i)
        if (std::abs(v[i + 1] - v[i - 1]) > std::abs(v[best + 1] - v[best - 1]))
            best = i;
    if (best < 2 || best + 2 >= v.size())
        return static_cast<double>(best);
    const double gm = std::abs(v[best] - v[best - 2]), g0 = std::abs(v[best + 1] - v[best - 1]),
                 gp = std::abs(v[best + 2] - v[best]);
    const double d = gm - 2 * g0 + gp;
    return static_cast<double>(best) + (d != 0 ? 0.5 * (gm - gp) / d : 0.0);
}

// Least-squares fit of a + b Phi((i - p) / s) by Gauss-Newton from the gradient peak; returns p.
double ErfFit(const std::vector<double>& v, double start)
{
    double a = *std::min_element(v.begin(), v.end()), b = *std::max_element(v.begin(), v.end()) - a;
    if (v.front() > v.back())
        a += b, b = -b;
    double p = start, s = 1.0;
    for (int iteration = 0; iteration < 20; ++iteration) {
        double jtj[4][4] = {}, jtr[4] = {};
        for (size_t i = 0; i < v.size(); ++i) {
            const double z = (static_cast<double>(i) - p) / s;
            const double g = std::exp(-0.5 * z * z) / std::sqrt(2 * M_PI);
            const double model = a + b * Phi(z);
            const double j[4] = {1.0, Phi(z), -b * g / s, -b * g * z / s};
            for (int r = 0; r < 4; ++r) {
                jtr[r] += j[r] * (v[i] - model);
                for (int q = 0; q < 4; ++q)
                    jtj[r][q] += j[r] * j[q];
            }
        }
        // Solve the 4 x 4 normal equations by Gaussian elimination with partial pivoting.
        double m[4][5];
        for (int r = 0; r < 4; ++r) {
            for (int q = 0; q < 4; ++q)
                m[r][q] = jtj[r][q] + (r == q ? 1e-9 : 0.0);
            m[r][4] = jtr[r];
        }
        for (int col = 0; col < 4; ++col) {
            int pivot = col;
            for (int r = col + 1; r < 4; ++r)
                if (std::abs(m[r][col]) > std::abs(m[pivot][col]))
                    pivot = r;
            std::swap(m[col], m[pivot]);
            if (std::abs(m[col][col]) < 1e-12)
                return p;
            for (int r = col + 1; r < 4; ++r) {
                const double f = m[r][col] / m[col][col];
                for (int q = col; q < 5; ++q)
                    m[r][q] -= f * m[col][q];
            }
        }
        double d[4];
        for (int r = 3; r >= 0; --r) {
            d[r] = m[r][4];
            for (int q = r + 1; q < 4; ++q)
                d[r] -= m[r][q] * d[q];
            d[r] /= m[r][r];
        }
        a += d[0], b += d[1], p += std::clamp(d[2], -2.0, 2.0), s = std::clamp(s + d[3], 0.2, 10.0);
        if (std::abs(d[2]) < 1e-4)
            break;
    }
    return p;
}

// Total least-squares line through points: its offset from (cx, cy) along the normal at `degrees` and its angle.
void FitLine(const std::vector<_RPOINT>& points, double cx, double cy, double degrees, double& offset, double& angle)
{
    double mx = 0, my = 0;
    for (const _RPOINT& p : points)
        mx += p.x, my += p.y;
    mx /= points.size(), my /= points.size();
    double sxx = 0, syy = 0, sxy = 0;
    for (const _RPOINT& p : points)
        sxx += (p.x - mx) * (p.x - mx), syy += (p.y - my) * (p.y - my), sxy += (p.x - mx) * (p.y - my);
    const double theta = 0.5 * std::atan2(2 * sxy, sxx - syy);  // direction, image axes (y down)
    angle = -theta * 180 / M_PI;
    const double nx = std::sin(degrees * M_PI / 180), ny = std::cos(degrees * M_PI / 180);  // normal, y down
    offset = (mx - cx) * nx + (my - cy) * ny;
    // The fitted line's offset measured at the true line's centre point.
    const double dx = std::cos(theta), dy = std::sin(theta);
    const double t = (cx - mx) * dx + (cy - my) * dy;
    offset = (mx + t * dx - cx) * nx + (my + t * dy - cy) * ny;
}

double AngleError(double measured, double truth)
{
    return std::remainder(measured - truth, 180.0);
}

struct Rms
{
    double sum = 0;
    int n = 0, failed = 0;
    void Add(double e) { sum += e * e, ++n; }
    double Value() const { return n ? std::sqrt(sum / n) : NAN; }
};

// The Cramer-Rao bound of a straight edge's offset from K profiles of one pixel row each, unit sample spacing,
// blur s (pixel integration adds 1/12 to its variance), contrast C and noise sigma.
double LineOffsetBound(double blur, double cnr, int profiles)
{
    if (cnr <= 0)
        return NAN;
    const double s = std::sqrt(blur * blur + 1.0 / 12);
    double information = 0;
    for (int i = -30; i <= 30; ++i) {
        const double g = kContrast * std::exp(-0.5 * i * i / (s * s)) / (s * std::sqrt(2 * M_PI));
        information += g * g;
    }
    const double sigma = kContrast / cnr;
    return sigma / std::sqrt(information * profiles);
}

void LineRows(int placements)
{
    std::printf("\nAutomatic line (edge through the picture's centre, rough clicks within 6 px, 120 px long)\n");
    std::printf("%-5s %-5s %-6s %-4s | %-22s | %-22s | %-22s | %s\n", "blur", "C/N", "image", "pol",
                "tool offset/angle fail", "grad-peak off/angle", "erf-fit off/angle", "CRB offset");
    std::mt19937 random(7);
    for (double blur : {0.5, 1.0, 2.0, 3.0})
        for (double cnr : {100.0, 30.0, 10.0, 5.0, 0.0})
            for (bool colour : {false, true})
                for (bool rising : {true, false}) {
                    const Condition condition{blur, cnr, colour, rising};
                    Rms toolOffset, toolAngle, peakOffset, peakAngle, erfOffset, erfAngle;
                    for (int k = 0; k < placements; ++k) {
                        std::uniform_real_distribution<double> u(-1, 1);
                        const double degrees = 90 * u(random) + 90;  // 0..180
                        const double cx = 100 + 0.5 * u(random), cy = 75 + 0.5 * u(random);
                        const double dx = std::cos(degrees * M_PI / 180), dy = -std::sin(degrees * M_PI / 180);
                        const Signed distance = [=](double x, double y) { return (x - cx) * dy - (y - cy) * dx; };
                        CQvImage image = Render(distance, condition, random);
                        const double nx = -dy, ny = dx;  // unit normal (right-hand side of the direction)
                        auto rough = [&](double along) {
                            const double off = 6 * u(random);
                            return CPoint(static_cast<int>(std::lround(cx + along * dx + off * nx)),
                                          static_cast<int>(std::lround(cy + along * dy + off * ny)));
                        };
                        const CPoint a = rough(-60), b = rough(60);
                        const std::vector<_RPOINT> line = RunTool(image, SHAPE_AUTO_LINE, {a, b});
                        double offset = 0, angle = 0;
                        if (line.size() >= 2 && cnr > 0) {
                            FitLine(line, cx, cy, degrees, offset, angle);
                            toolOffset.Add(offset);
                            toolAngle.Add(AngleError(angle, degrees));
                        } else if (line.size() >= 2) {
                            ++toolOffset.failed;  // pure noise: an object is a false detection
                        } else if (cnr > 0) {
                            ++toolOffset.failed;
                        }
                        if (cnr <= 0)
                            continue;
                        // The references: profiles every 5 px along the drawn line, 21 samples across it.
                        const double len = std::hypot(b.x - a.x, b.y - a.y);
                        const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
                        std::vector<_RPOINT> peaks, fits;
                        for (double l = 0; l < len; l += 5) {
                            std::vector<double> v;
                            const double px = a.x + l * ux, py = a.y + l * uy;
                            for (int i = -10; i <= 10; ++i)
                                v.push_back(Bilinear(image, px - i * uy, py + i * ux));
                            const double peak = GradientPeak(v);
                            const double fit = ErfFit(v, peak);
                            peaks.push_back({px - (peak - 10) * uy, py + (peak - 10) * ux});
                            fits.push_back({px - (fit - 10) * uy, py + (fit - 10) * ux});
                        }
                        FitLine(peaks, cx, cy, degrees, offset, angle);
                        peakOffset.Add(offset), peakAngle.Add(AngleError(angle, degrees));
                        FitLine(fits, cx, cy, degrees, offset, angle);
                        erfOffset.Add(offset), erfAngle.Add(AngleError(angle, degrees));
                    }
                    const char* cnrText = cnr > 0 ? nullptr : "none";
                    char cnrBuffer[16];
                    if (!cnrText) {
                        std::snprintf(cnrBuffer, sizeof cnrBuffer, "%.0f", cnr);
                        cnrText = cnrBuffer;
                    }
                    if (cnr <= 0) {
                        std::printf("%-5.1f %-5s %-6s %-4s | false objects %2d of %-6d|\n", blur, cnrText,
                                    colour ? "colour" : "grey", rising ? "up" : "down", toolOffset.failed, placements);
                        continue;
                    }
                    std::printf("%-5.1f %-5s %-6s %-4s | %6.3f px %6.3f deg %2d | %6.3f px %6.3f deg  | %6.3f px %6.3f deg  | %6.3f px\n",
                                blur, cnrText, colour ? "colour" : "grey", rising ? "up" : "down", toolOffset.Value(),
                                toolAngle.Value(), toolOffset.failed, peakOffset.Value(), peakAngle.Value(),
                                erfOffset.Value(), erfAngle.Value(), LineOffsetBound(blur, cnr, 24));
                }
}

void CircleAndAngleRows(int placements)
{
    std::printf("\nAutomatic circle (radius 50, rough diameter within 8 px) and angle (30-degree wedge)\n");
    std::printf("%-5s %-5s %-6s | %-28s | %-16s\n", "blur", "C/N", "image", "circle centre/radius fail",
                "angle value fail");
    std::mt19937 random(11);
    for (double blur : {0.5, 1.0, 2.0, 3.0})
        for (double cnr : {100.0, 30.0, 10.0, 5.0})
            for (bool colour : {false, true}) {
                const Condition condition{blur, cnr, colour, true};
                Rms centre, radius, angle;
                std::uniform_real_distribution<double> u(-1, 1);
                for (int k = 0; k < placements; ++k) {
                    const double cx = 100 + 3 * u(random), cy = 75 + 3 * u(random), r = 50 + 3 * u(random);
                    CQvImage disc = Render([=](double x, double y) { return r - std::hypot(x - cx, y - cy); },
                                           condition, random);
                    const double t = M_PI * u(random);
                    // The rim is scanned inwards from the drawn one: a user draws it around the disc.
                    const double rr = r + 2 + 8 * std::abs(u(random));
                    const std::vector<_RPOINT> circle = RunTool(
                        disc, SHAPE_AUTO_CIRCLE,
                        {CPoint(static_cast<int>(std::lround(cx + rr * std::cos(t))),
                                static_cast<int>(std::lround(cy + rr * std::sin(t)))),
                         CPoint(static_cast<int>(std::lround(cx - rr * std::cos(t) + 4 * u(random))),
                                static_cast<int>(std::lround(cy - rr * std::sin(t) + 4 * u(random))))});
                    if (circle.size() == 2) {
                        centre.Add(std::hypot((circle[0].x + circle[1].x) / 2 - cx, (circle[0].y + circle[1].y) / 2 - cy));
                        radius.Add(std::abs(circle[1].y - circle[0].y) / 2 - r);
                    } else {
                        ++centre.failed;
                    }

                    // A wedge: the horizontal edge y = wy and the edge at 30 degrees through (wx, wy).
                    const double wx = 30.2 + u(random), wy = 100.4 + u(random);
                    const Signed wedge = [=](double x, double y) {
                        const double below = wy - y;
                        const double side = (x - wx) * std::sin(M_PI / 6) - (wy - y) * std::cos(M_PI / 6);
                        return std::min(below, side);
                    };
                    CQvImage picture = Render(wedge, condition, random);
                    auto jitter = [&](double x, double y) {
                        return CPoint(static_cast<int>(std::lround(x + 3 * u(random))),
                                      static_cast<int>(std::lround(y + 3 * u(random))));
                    };
                    const std::vector<_RPOINT> lines = RunTool(
                        picture, SHAPE_AUTO_ANGLE,
                        {jitter(wx + 40, wy), jitter(wx + 150, wy), jitter(wx + 140 * std::cos(M_PI / 6), wy - 140 * 0.5),
                         jitter(wx + 50 * std::cos(M_PI / 6), wy - 50 * 0.5)});
                    if (lines.size() == 4) {
                        const double a1 = std::atan2(-(lines[1].y - lines[0].y), lines[1].x - lines[0].x);
                        const double a2 = std::atan2(-(lines[3].y - lines[2].y), lines[3].x - lines[2].x);
                        const double between = std::abs(std::remainder((a2 - a1) * 180 / M_PI, 180.0));
                        angle.Add(std::min(between, 180 - between) - 30);
                    } else {
                        ++angle.failed;
                    }
                }
                std::printf("%-5.1f %-5.0f %-6s | %6.3f px %6.3f px %2d      | %6.3f deg %2d\n", blur, cnr,
                            colour ? "colour" : "grey", centre.Value(), radius.Value(), centre.failed, angle.Value(),
                            angle.failed);
            }
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int placements = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    LineRows(placements);
    CircleAndAngleRows(placements);
    return EXIT_SUCCESS;
}
