// How accurately the automatic tools find edges, as a table (not timed): pictures rendered from exact geometry (a
// Gaussian-blurred step integrated over each pixel, 4 x 4 samples, plus Gaussian noise), each tool run from rough
// clicks as a user makes them, RMS errors per condition over many placements. Beside each tool, on the same pixels
// and the same drawn geometry: two references, per profile a gradient peak with parabolic interpolation and a
// least-squares erf edge fit (bilinear samples, no grid), through a least-squares line or circle (the circles
// robust: three rounds on the points within 2 px); the tool's own zero crossings before they are put on the sample
// grid, through the tool's own fit ("off-grid": what the grid rule costs); and the Cramer-Rao bound for that blur,
// contrast and noise, with one row of pixels per profile (pixel integration adds 1/12 to the blur's variance).
// The tools keep their own rules (positions on the sample grid, the pixel that holds the point, zero crossings of
// squared values, 20-pixel profiles): the gap between "off-grid" and the references is what the other rules cost.
// Usage: autoedge_accuracy [placements per condition, default 20] [line | circle | angle | arc: those rows only]
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/geometry/EdgeCircleFit.h"
#include "gobjects/geometry/EdgeProfile.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/shapes/CQvGObjectAutoArc.h"
#include "gobjects/shapes/CQvGObjectAutoCircle.h"
#include "gobjects/shapes/CQvGObjectAutoLine.h"
#include "mediola/MdLineFit.h"
#include "qvimage/CQvImage.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <numeric>
#include <random>
#include <string>
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

_RPOINT ToPoint(CPoint p)
{
    return {static_cast<double>(p.x), static_cast<double>(p.y)};
}

std::vector<CEdgeProfile::Segment> LineSegments(_RPOINT q0, _RPOINT q1);
void ToolPoints(const CQvImage& image, const std::vector<CEdgeProfile::Segment>& segments, std::vector<_RPOINT>& onGrid,
                std::vector<_RPOINT>& offGrid);
bool RobustLine(const std::vector<_RPOINT>& points, _RPOINT& a, _RPOINT& b);

void LineRows(int placements)
{
    std::printf("\nAutomatic line (edge through the picture's centre, rough clicks within 6 px, 120 px long)\n");
    std::printf("%-5s %-5s %-6s %-4s | %-22s | %-20s | %-22s | %-22s | %s\n", "blur", "C/N", "image", "pol",
                "tool offset/angle fail", "off-grid off/angle", "grad-peak off/angle", "erf-fit off/angle",
                "CRB offset");
    std::mt19937 random(7);
    for (double blur : {0.5, 1.0, 2.0, 3.0})
        for (double cnr : {100.0, 30.0, 10.0, 5.0, 0.0})
            for (bool colour : {false, true})
                for (bool rising : {true, false}) {
                    const Condition condition{blur, cnr, colour, rising};
                    Rms toolOffset, toolAngle, gridOffset, gridAngle, peakOffset, peakAngle, erfOffset, erfAngle;
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
                        std::vector<_RPOINT> onGrid, offGrid;
                        ToolPoints(image, LineSegments(ToPoint(a), ToPoint(b)), onGrid,
                                   offGrid);
                        _RPOINT g0{}, g1{};
                        if (RobustLine(offGrid, g0, g1)) {
                            FitLine({g0, g1}, cx, cy, degrees, offset, angle);
                            gridOffset.Add(offset), gridAngle.Add(AngleError(angle, degrees));
                        }
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
                    std::printf("%-5.1f %-5s %-6s %-4s | %6.3f px %6.3f deg %2d | %6.3f px %6.3f deg | %6.3f px %6.3f deg  | %6.3f px %6.3f deg  | %6.3f px\n",
                                blur, cnrText, colour ? "colour" : "grey", rising ? "up" : "down", toolOffset.Value(),
                                toolAngle.Value(), toolOffset.failed, gridOffset.Value(), gridAngle.Value(),
                                peakOffset.Value(), peakAngle.Value(),
                                erfOffset.Value(), erfAngle.Value(), LineOffsetBound(blur, cnr, 24));
                }
}

// ---- the same profiles as the tools, analysed by the tools' own analyser with and without the sample grid

// The tools' band geometry, for laying their segments here.
struct LineScan : CQvGObjectAutoLine
{
    using CQvGObjectAutoLine::BandCorners;
};

// The segments the automatic line lays across the drawn line q0 -> q1.
std::vector<CEdgeProfile::Segment> LineSegments(_RPOINT q0, _RPOINT q1)
{
    _RPOINT band[4];
    LineScan::BandCorners(q0, q1, CQvGObjectAutoLine::kBandHalf, band);
    const _RPOINT p0 = band[1], p1 = band[2], p2 = band[3];
    const double d01 = GetLineAngle(p0.x, p0.y, p1.x, p1.y), l01 = GetDistance(p0.x, p0.y, p1.x, p1.y);
    _RPOINT q{};
    GetPolarPoint(q, p0.x, p0.y, GetLineAngle(p1.x, p1.y, p2.x, p2.y), GetDistance(p1.x, p1.y, p2.x, p2.y));
    std::vector<CEdgeProfile::Segment> segments;
    for (float l = 0.0f; l < l01; l += static_cast<float>(CQvGObjectAutoLine::kProfileSpacing)) {
        CEdgeProfile::Segment& s = segments.emplace_back();
        GetPolarPoint(s.start, p0.x, p0.y, d01, l);
        GetPolarPoint(s.end, q.x, q.y, d01, l);
    }
    return segments;
}

// The segments the automatic circle lays inwards from the circle drawn on the diameter a -> b.
std::vector<CEdgeProfile::Segment> CircleSegments(CPoint a, CPoint b)
{
    const _RPOINT c{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0};
    const double r2 = std::hypot(b.x - a.x, b.y - a.y) / 2.0;
    const double r1 = r2 > CQvGObjectAutoCircle::kScanDepth ? r2 - CQvGObjectAutoCircle::kScanDepth : 1.0;
    const float step = static_cast<float>(CQvGObjectAutoLine::kProfileSpacing / ((r1 + r2) / 2.0));
    std::vector<CEdgeProfile::Segment> segments;
    for (float theta = 0.0f; theta <= 2.0 * std::numbers::pi; theta += step) {
        CEdgeProfile::Segment& s = segments.emplace_back();
        GetPolarPoint(s.end, c.x, c.y, theta, r1);
        GetPolarPoint(s.start, c.x, c.y, theta, r2);
    }
    return segments;
}

// The first step of each profile as the tools take it (on the sample grid) and where the analyser's zero crossing
// lies between the samples (off the grid).
void ToolPoints(const CQvImage& image, const std::vector<CEdgeProfile::Segment>& segments, std::vector<_RPOINT>& onGrid,
                std::vector<_RPOINT>& offGrid)
{
    const CGreyPixels grey(&image);
    CEdgeProfile profile;
    for (const CEdgeProfile::Segment& s : segments) {
        _RPOINT edge{};
        if (!profile.PrCreate(grey, s.start, s.end) || !profile.FindSinglePoint(edge))
            continue;
        onGrid.push_back(edge);
        const double along = static_cast<float>(GetLineAngle(profile.GetStart().x, profile.GetStart().y,
                                                             profile.GetEnd().x, profile.GetEnd().y));
        const double c = profile.GetStepCentres().front();
        offGrid.push_back({profile.GetStart().x + c * std::cos(along), profile.GetStart().y + c * std::sin(along)});
    }
}

// The robust line the automatic line fits, through points.
bool RobustLine(const std::vector<_RPOINT>& points, _RPOINT& a, _RPOINT& b)
{
    std::vector<CMdPointF> f;
    for (const _RPOINT& p : points)
        f.push_back({static_cast<float>(p.x), static_cast<float>(p.y)});
    CMdPointF s{}, e{};
    if (MDF_GetLineBestFitHT(s, e, f.data(), static_cast<int>(f.size()), 500) < 2)
        return false;
    a = {s.x, s.y};
    b = {e.x, e.y};
    return true;
}

// The references across the drawn line a -> b: profiles every 5 px along it, 21 bilinear samples across.
void LineReferences(const CQvImage& image, CPoint a, CPoint b, std::vector<_RPOINT>& peaks, std::vector<_RPOINT>& fits)
{
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
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
}

// The references along the circle's radial profiles: 31 bilinear samples inwards from the drawn rim.
void RadialReferences(const CQvImage& image, const std::vector<CEdgeProfile::Segment>& segments,
                      std::vector<_RPOINT>& peaks, std::vector<_RPOINT>& fits)
{
    for (const CEdgeProfile::Segment& s : segments) {
        const double len = std::hypot(s.end.x - s.start.x, s.end.y - s.start.y);
        const double ux = (s.end.x - s.start.x) / len, uy = (s.end.y - s.start.y) / len;
        std::vector<double> v;
        for (int i = 0; i <= static_cast<int>(len); ++i) {
            const double x = s.start.x + i * ux, y = s.start.y + i * uy;
            if (x < 1 || y < 1 || x > kWidth - 1 || y > kHeight - 1)
                break;
            v.push_back(Bilinear(image, x, y));
        }
        if (v.size() < 8 || *std::max_element(v.begin(), v.end()) - *std::min_element(v.begin(), v.end()) < 20)
            continue;
        const double peak = GradientPeak(v);
        const double fit = ErfFit(v, peak);
        peaks.push_back({s.start.x + peak * ux, s.start.y + peak * uy});
        fits.push_back({s.start.x + fit * ux, s.start.y + fit * uy});
    }
}

// The circle through three points.
void CircleThroughPoints(const _RPOINT& a, const _RPOINT& b, const _RPOINT& c, _RPOINT& centre, double& radius)
{
    const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    centre = {(a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d,
              (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d};
    radius = std::hypot(a.x - centre.x, a.y - centre.y);
}

// A least-squares circle through the points near the drawn circle (within 10 px), then three times through those
// within 2 px of the last fit: profiles that hold no edge (beyond an arc's ends) or a reference that went astray
// on one profile must not pull the references' circle, as the tools' agreement rule keeps them from the tools'.
bool ReferenceCircle(const std::vector<_RPOINT>& points, _RPOINT drawnCentre, double drawnRadius, _RPOINT& centre,
                     double& radius, std::vector<_RPOINT>* inliers = nullptr)
{
    _RPOINT c = drawnCentre;
    double r = drawnRadius, tolerance = 10;
    std::vector<_RPOINT> near;
    for (int round = 0; round < 4; ++round, tolerance = 2) {
        near.clear();
        for (const _RPOINT& p : points)
            if (std::abs(std::hypot(p.x - c.x, p.y - c.y) - r) <= tolerance)
                near.push_back(p);
        if (near.size() < 3 || !FitEdgeCircle(near, 1e4, c, r))
            return false;
    }
    centre = c;
    radius = r;
    if (inliers)
        *inliers = near;
    return true;
}

// The angle between the lines a0 -> a1 and b0 -> b1, folded into [0, 90].
double LinesAngle(const _RPOINT& a0, const _RPOINT& a1, const _RPOINT& b0, const _RPOINT& b1)
{
    const double t1 = std::atan2(-(a1.y - a0.y), a1.x - a0.x), t2 = std::atan2(-(b1.y - b0.y), b1.x - b0.x);
    const double between = std::abs(std::remainder((t2 - t1) * 180 / M_PI, 180.0));
    return std::min(between, 180 - between);
}

// The Cramer-Rao bound of a circle's centre (distance) and radius from edge points at the angles `phi`, each
// radial position known to `sigma`.
void CircleBound(const std::vector<double>& phi, double sigma, double& centre, double& radius)
{
    double j[3][3] = {};
    for (double a : phi) {
        const double n[3] = {std::cos(a), std::sin(a), 1.0};
        for (int r = 0; r < 3; ++r)
            for (int q = 0; q < 3; ++q)
                j[r][q] += n[r] * n[q] / (sigma * sigma);
    }
    const double det = j[0][0] * (j[1][1] * j[2][2] - j[1][2] * j[2][1]) -
                       j[0][1] * (j[1][0] * j[2][2] - j[1][2] * j[2][0]) +
                       j[0][2] * (j[1][0] * j[2][1] - j[1][1] * j[2][0]);
    const double i00 = (j[1][1] * j[2][2] - j[1][2] * j[2][1]) / det;
    const double i11 = (j[0][0] * j[2][2] - j[0][2] * j[2][0]) / det;
    const double i22 = (j[0][0] * j[1][1] - j[0][1] * j[1][0]) / det;
    centre = std::sqrt(i00 + i11);
    radius = std::sqrt(i22);
}

// The bound of a line's angle (radians) from edge points every 5 px over `length`, each known to `sigma` across.
double LineAngleVariance(double length, double sigma)
{
    std::vector<double> u;
    for (double l = 0; l < length; l += 5)
        u.push_back(l);
    const double mean = std::accumulate(u.begin(), u.end(), 0.0) / static_cast<double>(u.size());
    double spread = 0;
    for (double v : u)
        spread += (v - mean) * (v - mean);
    return sigma * sigma / spread;
}

const char* CnrText(double cnr, char (&buffer)[16])
{
    std::snprintf(buffer, sizeof buffer, "%.0f", cnr);
    return buffer;
}

void CircleRows(int placements)
{
    std::printf("\nAutomatic circle (radius 50, drawn rim 2-10 px outside the disc, diameter ends within 4 px)\n");
    std::printf("centre / radius RMS in px; off-grid: the tool's own crossings before they are put on the sample grid\n");
    std::printf("%-5s %-5s %-6s | %-22s | %-15s | %-15s | %-15s | %s\n", "blur", "C/N", "image", "tool centre radius fail",
                "off-grid", "grad-peak", "erf-fit", "CRB");
    std::mt19937 random(11);
    for (double blur : {0.5, 1.0, 2.0, 3.0})
        for (double cnr : {100.0, 30.0, 10.0, 5.0})
            for (bool colour : {false, true}) {
                const Condition condition{blur, cnr, colour, true};
                Rms centre, radius, gridC, gridR, peakC, peakR, erfC, erfR;
                double boundC = 0, boundR = 0;
                std::uniform_real_distribution<double> u(-1, 1);
                for (int k = 0; k < placements; ++k) {
                    const double cx = 100 + 3 * u(random), cy = 75 + 3 * u(random), r = 50 + 3 * u(random);
                    CQvImage disc = Render([=](double x, double y) { return r - std::hypot(x - cx, y - cy); },
                                           condition, random);
                    const double t = M_PI * u(random);
                    const double rr = r + 2 + 8 * std::abs(u(random));
                    const CPoint a(static_cast<int>(std::lround(cx + rr * std::cos(t))),
                                   static_cast<int>(std::lround(cy + rr * std::sin(t))));
                    const CPoint b(static_cast<int>(std::lround(cx - rr * std::cos(t) + 4 * u(random))),
                                   static_cast<int>(std::lround(cy - rr * std::sin(t) + 4 * u(random))));
                    const std::vector<_RPOINT> circle = RunTool(disc, SHAPE_AUTO_CIRCLE, {a, b});
                    if (circle.size() == 2) {
                        centre.Add(std::hypot((circle[0].x + circle[1].x) / 2 - cx, (circle[0].y + circle[1].y) / 2 - cy));
                        radius.Add(std::abs(circle[1].y - circle[0].y) / 2 - r);
                    } else {
                        ++centre.failed;
                    }
                    const std::vector<CEdgeProfile::Segment> segments = CircleSegments(a, b);
                    std::vector<_RPOINT> onGrid, offGrid, peaks, fits;
                    ToolPoints(disc, segments, onGrid, offGrid);
                    RadialReferences(disc, segments, peaks, fits);
                    auto add = [&](const std::vector<_RPOINT>& points, Rms& c, Rms& rad) {
                        _RPOINT fc{};
                        double fr = 0;
                        if (!ReferenceCircle(points, {(a.x + b.x) / 2.0, (a.y + b.y) / 2.0},
                                             std::hypot(b.x - a.x, b.y - a.y) / 2.0 - 5, fc, fr))
                            return;
                        c.Add(std::hypot(fc.x - cx, fc.y - cy));
                        rad.Add(fr - r);
                    };
                    add(offGrid, gridC, gridR);
                    add(peaks, peakC, peakR);
                    add(fits, erfC, erfR);
                    std::vector<double> phi;
                    for (const CEdgeProfile::Segment& s : segments)
                        phi.push_back(std::atan2(s.start.y - cy, s.start.x - cx));
                    double bc = 0, br = 0;
                    CircleBound(phi, LineOffsetBound(blur, cnr, 1), bc, br);
                    boundC += bc * bc / placements, boundR += br * br / placements;
                }
                char buffer[16];
                std::printf("%-5.1f %-5s %-6s | %6.3f %6.3f px %2d     | %6.3f %6.3f px | %6.3f %6.3f px | %6.3f %6.3f px | %6.3f %6.3f px\n",
                            blur, CnrText(cnr, buffer), colour ? "colour" : "grey", centre.Value(), radius.Value(),
                            centre.failed, gridC.Value(), gridR.Value(), peakC.Value(), peakR.Value(), erfC.Value(),
                            erfR.Value(), std::sqrt(boundC), std::sqrt(boundR));
            }
}

void AngleRows(int placements)
{
    std::printf("\nAutomatic angle (30-degree wedge; lines of 110 and 90 px drawn 40-150 px from the vertex, clicks within 3 px)\n");
    std::printf("RMS and mean (bias) of the value in degrees; off-grid: the tool's own crossings before they are put on the\n"
                "sample grid, through the same robust fit\n");
    std::printf("%-5s %-5s %-6s | %-23s | %-15s | %-15s | %-15s | %s\n", "blur", "C/N", "image", "tool rms mean fail",
                "off-grid", "grad-peak", "erf-fit", "CRB");
    std::mt19937 random(13);
    for (double blur : {0.5, 1.0, 2.0, 3.0})
        for (double cnr : {100.0, 30.0, 10.0, 5.0})
            for (bool colour : {false, true}) {
                const Condition condition{blur, cnr, colour, true};
                Rms tool, grid, peak, erf;
                double toolMean = 0, gridMean = 0, peakMean = 0, erfMean = 0;
                std::uniform_real_distribution<double> u(-1, 1);
                for (int k = 0; k < placements; ++k) {
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
                    const CPoint c0 = jitter(wx + 40, wy), c1 = jitter(wx + 150, wy),
                                 c2 = jitter(wx + 140 * std::cos(M_PI / 6), wy - 140 * 0.5),
                                 c3 = jitter(wx + 50 * std::cos(M_PI / 6), wy - 50 * 0.5);
                    const std::vector<_RPOINT> lines = RunTool(picture, SHAPE_AUTO_ANGLE, {c0, c1, c2, c3});
                    if (lines.size() == 4) {
                        const double e = LinesAngle(lines[0], lines[1], lines[2], lines[3]) - 30;
                        tool.Add(e);
                        toolMean += e;
                    } else {
                        ++tool.failed;
                    }
                    std::vector<_RPOINT> on1, off1, on2, off2;
                    ToolPoints(picture, LineSegments(ToPoint(c0), ToPoint(c1)), on1, off1);
                    ToolPoints(picture, LineSegments(ToPoint(c2), ToPoint(c3)), on2, off2);
                    _RPOINT a0, a1, b0, b1;
                    if (RobustLine(off1, a0, a1) && RobustLine(off2, b0, b1)) {
                        const double e = LinesAngle(a0, a1, b0, b1) - 30;
                        grid.Add(e);
                        gridMean += e;
                    }
                    std::vector<_RPOINT> peaks1, fits1, peaks2, fits2;
                    LineReferences(picture, c0, c1, peaks1, fits1);
                    LineReferences(picture, c2, c3, peaks2, fits2);
                    double offset = 0, angle1 = 0, angle2 = 0;
                    FitLine(peaks1, wx, wy, 0, offset, angle1);
                    FitLine(peaks2, wx, wy, 30, offset, angle2);
                    const double pe = std::abs(std::remainder(angle2 - angle1, 180.0)) - 30;
                    peak.Add(pe);
                    peakMean += pe;
                    FitLine(fits1, wx, wy, 0, offset, angle1);
                    FitLine(fits2, wx, wy, 30, offset, angle2);
                    const double fe = std::abs(std::remainder(angle2 - angle1, 180.0)) - 30;
                    erf.Add(fe);
                    erfMean += fe;
                }
                const double sigma = LineOffsetBound(blur, cnr, 1);
                const double bound = std::sqrt(LineAngleVariance(110, sigma) + LineAngleVariance(90, sigma)) * 180 / M_PI;
                char buffer[16];
                auto mean = [](double sum, const Rms& r) { return r.n ? sum / r.n : NAN; };
                std::printf("%-5.1f %-5s %-6s | %6.3f %+6.3f deg %2d    | %6.3f %+6.3f   | %6.3f %+6.3f   | %6.3f %+6.3f   | %6.3f deg\n",
                            blur, CnrText(cnr, buffer), colour ? "colour" : "grey", tool.Value(), mean(toolMean, tool),
                            tool.failed, grid.Value(), mean(gridMean, grid), peak.Value(), mean(peakMean, peak),
                            erf.Value(), mean(erfMean, erf), bound);
            }
}

// The long arc: a disc with a 120-degree sector cut away leaves a rim of 240 degrees; the arc is drawn from just
// beyond one end of the rim to just beyond the other, the third click 60 degrees before the far end, so the arc
// through the third click is the long one. Its angle (the rim's 240 degrees), centre and radius. (A third click
// still nearer an end makes the drawn circle ill-conditioned: 3 px of jitter then move it by 10 px, the band
// misses the rim and the tool fails, as it should, for the user to draw again.)
void ArcRows(int placements)
{
    std::printf("\nAutomatic arc (240-degree rim of radius 50, ends clicked 3-8 degrees beyond the rim's ends, third click\n"
                "60 degrees before the far end, within 3 px): RMS of the angle (deg), centre and radius (px); the references\n"
                "fit their circle to the same profiles; the angle's CRB is not given: the ends lie where the 5-px profile\n"
                "spacing finds the rim (5.7 degrees apart at this radius)\n");
    std::printf("%-5s %-5s %-6s | %-29s | %-22s | %-22s | %s\n", "blur", "C/N", "image", "tool angle centre radius fail",
                "grad-peak angle c r", "erf-fit angle c r", "CRB c r");
    std::mt19937 random(17);
    for (double blur : {0.5, 1.0, 2.0, 3.0})
        for (double cnr : {100.0, 30.0, 10.0, 5.0})
            for (bool colour : {false, true}) {
                const Condition condition{blur, cnr, colour, true};
                Rms angle, centre, radius, peakA, peakC, peakR, erfA, erfC, erfR;
                double boundC = 0, boundR = 0;
                std::uniform_real_distribution<double> u(-1, 1);
                for (int k = 0; k < placements; ++k) {
                    const double cx = 100 + 3 * u(random), cy = 75 + 3 * u(random), r = 50 + 3 * u(random);
                    const double from = 180 * u(random);  // the rim runs counter-clockwise on screen from here
                    auto onRim = [&](double x, double y) {
                        const double a = std::fmod(std::atan2(-(y - cy), x - cx) * 180 / M_PI - from + 720.0, 360.0);
                        return a <= 240.0;
                    };
                    CQvImage picture = Render(
                        [=](double x, double y) {
                            const double rim = r - std::hypot(x - cx, y - cy);
                            return onRim(x, y) ? rim : std::min(rim, -std::abs(rim) - 5.0);
                        },
                        condition, random);
                    auto click = [&](double degrees, double reach) {
                        const double t = degrees * M_PI / 180;
                        return CPoint(static_cast<int>(std::lround(cx + reach * std::cos(t) + 3 * u(random))),
                                      static_cast<int>(std::lround(cy - reach * std::sin(t) + 3 * u(random))));
                    };
                    const double before = 3 + 5 * std::abs(u(random)), beyond = 3 + 5 * std::abs(u(random));
                    const CPoint k0 = click(from - before, r + 2), k1 = click(from + 240 + beyond, r + 2),
                                 k2 = click(from + 180, r + 2);
                    const std::vector<_RPOINT> arc = RunTool(picture, SHAPE_AUTO_ARC, {k0, k1, k2});
                    _RPOINT drawnCentre{};
                    double drawnRadius = 0;
                    CircleThroughPoints(ToPoint(k0), ToPoint(k1), ToPoint(k2), drawnCentre, drawnRadius);
                    if (arc.size() == 3) {
                        _RPOINT c{};
                        double rad = 0, start = 0, extent = 0;
                        CircleThroughPoints(arc[0], arc[1], arc[2], c, rad);
                        CQvGObjectAutoArc::ArcHolding(c, arc[0], arc[1], arc[2], start, extent);
                        angle.Add(extent - 240);
                        centre.Add(std::hypot(c.x - cx, c.y - cy));
                        radius.Add(rad - r);
                    } else {
                        ++angle.failed;
                    }
                    // The references on radial profiles every 5 px of the drawn arc (the long one), 20 px deep
                    // across the drawn rim.
                    std::vector<CEdgeProfile::Segment> segments;
                    std::vector<double> phi;
                    const double drawn = r + 2;
                    for (double a = from - before; a <= from + 240 + beyond; a += 5 / drawn * 180 / M_PI) {
                        const double t = a * M_PI / 180;
                        CEdgeProfile::Segment& s = segments.emplace_back();
                        s.start = {cx + (drawn + 10) * std::cos(t), cy - (drawn + 10) * std::sin(t)};
                        s.end = {cx + (drawn - 10) * std::cos(t), cy - (drawn - 10) * std::sin(t)};
                        if (onRim(cx + r * std::cos(t), cy - r * std::sin(t)))
                            phi.push_back(t);
                    }
                    std::vector<_RPOINT> peaks, fits;
                    RadialReferences(picture, segments, peaks, fits);
                    auto add = [&](const std::vector<_RPOINT>& points, Rms& a, Rms& c, Rms& rad) {
                        _RPOINT fc{};
                        double fr = 0;
                        std::vector<_RPOINT> inliers;
                        if (!ReferenceCircle(points, drawnCentre, drawnRadius, fc, fr, &inliers))
                            return;
                        // The extent the points on the circle span about its centre, from the first to the last.
                        std::vector<double> on;
                        for (const _RPOINT& p : inliers)
                            on.push_back(std::atan2(-(p.y - fc.y), p.x - fc.x) * 180 / M_PI);
                        if (on.size() < 2)
                            return;
                        a.Add(std::fmod(on.back() - on.front() + 720.0, 360.0) - 240);
                        c.Add(std::hypot(fc.x - cx, fc.y - cy));
                        rad.Add(fr - r);
                    };
                    add(peaks, peakA, peakC, peakR);
                    add(fits, erfA, erfC, erfR);
                    double bc = 0, br = 0;
                    CircleBound(phi, LineOffsetBound(blur, cnr, 1), bc, br);
                    boundC += bc * bc / placements, boundR += br * br / placements;
                }
                char buffer[16];
                std::printf("%-5.1f %-5s %-6s | %6.2f deg %6.3f %6.3f px %2d | %6.2f %6.3f %6.3f | %6.2f %6.3f %6.3f | %6.3f %6.3f px\n",
                            blur, CnrText(cnr, buffer), colour ? "colour" : "grey", angle.Value(), centre.Value(),
                            radius.Value(), angle.failed, peakA.Value(), peakC.Value(), peakR.Value(), erfA.Value(),
                            erfC.Value(), erfR.Value(), std::sqrt(boundC), std::sqrt(boundR));
            }
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int placements = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::string only = argc > 2 ? argv[2] : "";
    if (only.empty() || only == "line")
        LineRows(placements);
    if (only.empty() || only == "circle")
        CircleRows(placements);
    if (only.empty() || only == "angle")
        AngleRows(placements);
    if (only.empty() || only == "arc")
        ArcRows(placements);
    return EXIT_SUCCESS;
}
