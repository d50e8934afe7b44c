// How accurately the caliper's detectors place their markers, as a table (not timed): bar patterns rendered from
// exact geometry (bars of a given width every two widths, a Gaussian blur, each pixel integrated over 4 x 4 samples,
// Gaussian noise; upright or tilted by 5 degrees; grey, or colour made grey with the session's weights), a horizontal
// line across them, each detector's markers matched to the nearest true feature of its kind: the threshold band to
// every edge, steps up to edges from dark to bright and steps down to the others, peaks to the centres of the bright
// bars and valleys to the centres of the dark gaps (the profile's extremes). A marker stands for its pixel's centre.
// Per detector: RMS and mean error of the matched markers (within half a bar width), the share of true features with
// a marker there, and markers matching nothing. Two settings: the defaults (20 smoothing passes of half-width 2,
// minimum widths 10) and a light one (1 pass of half-width 1, minimum widths 2); thresholds at 40 and 60 % of the
// contrast. Beside them, the overlay's automatic line drawn along each edge from rough clicks (within 2 px; it reads
// the grey image in both cases), its crossing with the caliper's line matched to the edge like the markers. A last
// block runs single clean steps and names any edge detector without a marker within 3 pixels.
// Usage: caliper_accuracy [placements per condition, default 20]
#include "caliper/CaliperSettings.h"
#include "caliper/ProfileAnalyzer.h"
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "qvimage/CQvImage.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 220, kHeight = 96, kLineY = kHeight / 2;
constexpr int kFirstX = 10, kLastX = kWidth - 11;
constexpr double kLow = 80, kContrast = 100;
const char* const kNames[] = {"threshold", "peak", "valley", "step up", "step down", "auto line"};

double Phi(double z)
{
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

struct Condition
{
    int barWidth;
    double blur;  // sigma in pixels; 0 = a hard edge
    double cnr;   // contrast over noise sigma; 0 = no noise
    bool tilted, colour;
};

// Grey rows of the rendered pattern; `edges` gets the true edge positions on the line (x, pixel-edge coordinates).
std::vector<std::vector<uint8_t>> Render(const Condition& c, double start, std::mt19937& random,
                                          std::vector<std::pair<double, double>>& bars)
{
    const double slope = c.tilted ? std::tan(5.0 * M_PI / 180.0) : 0.0, across = std::cos(std::atan(slope));
    bars.clear();
    for (double a = start; a < kWidth + 20; a += 2 * c.barWidth)
        bars.emplace_back(a, a + c.barWidth);
    // Per channel: base and bar; colour channels differ but each rises by the same contrast.
    const double base[3] = {c.colour ? 60.0 : kLow, c.colour ? 90.0 : kLow, c.colour ? 70.0 : kLow};
    const double noiseSigma = c.cnr > 0 ? kContrast / c.cnr : 0.0;
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<std::vector<uint8_t>> rows(kHeight, std::vector<uint8_t>(kWidth));
    const double yc = kLineY + 0.5;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            double share = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double u = x + (sx + 0.5) / 4 - (y + (sy + 0.5) / 4 - yc) * slope;
                    for (const auto& [a, b] : bars)
                        share += (c.blur > 0 ? Phi((u - a) * across / c.blur) - Phi((u - b) * across / c.blur)
                                             : (u >= a && u < b ? 1.0 : 0.0)) / 16;
                }
            double channel[3];
            for (int k = 0; k < 3; ++k)
                channel[k] = std::clamp(std::round(base[k] + kContrast * share + noiseSigma * noise(random)), 0.0, 255.0);
            const double grey = c.colour ? 0.212671 * channel[0] + 0.71516 * channel[1] + 0.072169 * channel[2] : channel[0];
            rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = static_cast<uint8_t>(std::lround(grey));
        }
    return rows;
}

struct Tally
{
    double sum = 0, sumSquares = 0;
    long matched = 0, edges = 0, found = 0, stray = 0;
};

struct Profile
{
    const char* name;
    int passes, halfWidth, minimumWidth;
};

// The true features of each detector's kind on the line, inside `margin` of its ends.
std::vector<std::vector<double>> Truth(const std::vector<std::pair<double, double>>& bars, double margin)
{
    std::vector<std::vector<double>> truth(5);
    const auto keep = [&](int kind, double x) {
        if (x > kFirstX + margin && x < kLastX + 1 - margin)
            truth[static_cast<size_t>(kind)].push_back(x);
    };
    for (const auto& [a, b] : bars) {
        keep(0, a), keep(0, b);
        keep(1, (a + b) / 2);
        keep(2, b + (b - a) / 2);
        keep(3, a), keep(4, b);
    }
    return truth;
}

void Measure(const std::vector<std::vector<uint8_t>>& rows, const std::vector<std::vector<double>>& truth,
             double tolerance, double margin, const Profile& profile, bool colour, std::vector<Tally>& tallies)
{
    caliper::GreyImage grey;
    for (const auto& row : rows)
        grey.rows.push_back(row.data());
    grey.width = kWidth;
    grey.height = kHeight;
    std::vector<CPoint> samples;
    for (int x = kFirstX; x <= kLastX; ++x)
        samples.emplace_back(x, kLineY);
    CCaliperSettings settings;
    settings.SetPasses(profile.passes);
    settings.SetHalfWidth(profile.halfWidth);
    for (int kind = 1; kind < 5; ++kind)
        settings.SetMinimumWidth(kind, profile.minimumWidth);
    const double low = colour ? 0.212671 * 60 + 0.71516 * 90 + 0.072169 * 70 : kLow;
    settings.SetLowerThreshold(static_cast<int>(low + 0.4 * kContrast));
    settings.SetUpperThreshold(static_cast<int>(low + 0.6 * kContrast));
    CProfileAnalyzer analyzer(0, "line");
    analyzer.Sample(grey, samples, settings);
    for (int kind = 0; kind < 5; ++kind) {
        Tally& t = tallies[static_cast<size_t>(kind)];
        const std::vector<double>& features = truth[static_cast<size_t>(kind)];
        std::vector<double> markers;
        for (unsigned index : analyzer.EdgeIndices(kind))
            markers.push_back(kFirstX + index + 0.5);
        for (double m : markers) {
            double nearest = 1e9;
            for (double e : features)
                nearest = std::abs(m - e) < std::abs(nearest) ? m - e : nearest;
            if (std::abs(nearest) <= tolerance) {
                t.sum += nearest;
                t.sumSquares += nearest * nearest;
                ++t.matched;
            } else if (m > kFirstX + margin && m < kLastX + 1 - margin) {
                ++t.stray;
            }
        }
        for (double e : features) {
            ++t.edges;
            t.found += std::any_of(markers.begin(), markers.end(), [&](double m) { return std::abs(m - e) <= tolerance; });
        }
    }
}

// The automatic line drawn from rough clicks along each edge on the line (the first few); where it crosses the line.
void AutoLines(const std::vector<std::vector<uint8_t>>& rows, const std::vector<double>& edges, const Condition& c,
               std::mt19937& random, Tally& t)
{
    CQvImage image;
    image.Create(QV_GRAY8, kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.GetPixel(x, y)[0] = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
    const double slope = c.tilted ? std::tan(5.0 * M_PI / 180.0) : 0.0, yc = kLineY + 0.5;
    std::uniform_real_distribution<double> rough(-2.0, 2.0);
    for (size_t k = 0; k < edges.size() && k < 4; ++k) {
        const double e = edges[k];
        auto click = [&](double y) { return CPoint(static_cast<int>(std::lround(e + (y - yc) * slope + rough(random))), static_cast<int>(y)); };
        CQvGObjectContainer overlay;
        overlay.SetAutoRepeatCreatingObject(0);
        overlay.SetActiveImage(&image);
        overlay.AddObject(SHAPE_AUTO_LINE);
        for (const CPoint& p : {click(yc - 35), click(yc + 35)}) {
            overlay.MouseMove(nullptr, 0, p);
            overlay.LButtonDown(1, p);
            overlay.LButtonUp(0, p);
        }
        ++t.edges;
        if (overlay.GetMainObjList().size() != 1 || overlay.GetMainObjList().front()->GetState() != GS_FINISHED ||
            overlay.GetMainObjList().front()->GetPointCount() < 2) {
            ++t.stray;
            continue;
        }
        const _RPOINT* p = overlay.GetMainObjList().front()->GetPoint();
        if (std::abs(p[1].y - p[0].y) < 1e-9) {
            ++t.stray;
            continue;
        }
        const double x = p[0].x + (yc - p[0].y) * (p[1].x - p[0].x) / (p[1].y - p[0].y);
        if (std::abs(x - e) <= c.barWidth / 2.0) {
            t.sum += x - e;
            t.sumSquares += (x - e) * (x - e);
            ++t.matched;
            ++t.found;
        } else {
            ++t.stray;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int placements = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const Profile profiles[] = {{"defaults", 20, 2, 10}, {"light", 1, 1, 2}};
    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> start(kFirstX + 2.0, kFirstX + 30.0);
    for (const Profile& profile : profiles) {
        std::printf("Settings: %s (%d passes, half-width %d, minimum widths %d)\n", profile.name, profile.passes,
                    profile.halfWidth, profile.minimumWidth);
        std::printf("%-5s %-5s %-4s %-7s %-6s | %-10s %7s %7s %6s %6s\n", "bars", "sigma", "cnr", "tilt", "image",
                    "detector", "rms px", "bias", "found", "stray");
        for (int barWidth : {8, 12})
            for (double blur : {1.0, 2.0})
                for (double cnr : {30.0, 10.0})
                    for (bool tilted : {false, true})
                        for (bool colour : {false, true}) {
                            const Condition c{barWidth, blur, cnr, tilted, colour};
                            std::vector<Tally> tallies(6);
                            std::vector<std::pair<double, double>> bars;
                            for (int i = 0; i < placements; ++i) {
                                auto rows = Render(c, start(random), random, bars);
                                const auto truth = Truth(bars, barWidth);
                                Measure(rows, truth, barWidth / 2.0, barWidth, profile, colour, tallies);
                                if (&profile == &profiles[0])
                                    AutoLines(rows, truth[0], c, random, tallies[5]);
                            }
                            for (int kind = 0; kind < (&profile == &profiles[0] ? 6 : 5); ++kind) {
                                const Tally& t = tallies[static_cast<size_t>(kind)];
                                const double n = static_cast<double>(std::max<long>(t.matched, 1));
                                std::printf("%-5d %-5.0f %-4.0f %-7s %-6s | %-10s %7.3f %7.3f %5.0f%% %6ld\n", barWidth,
                                            blur, cnr, tilted ? "5 deg" : "upright", colour ? "colour" : "grey",
                                            kNames[kind], std::sqrt(t.sumSquares / n), t.sum / n,
                                            100.0 * static_cast<double>(t.found) / static_cast<double>(std::max<long>(t.edges, 1)),
                                            t.stray);
                            }
                        }
        std::printf("\nSingle clean steps (no noise), upright grey, the edge at x = 100.3:\n");
        for (double blur : {0.0, 1.0, 2.0})
            for (bool rising : {true, false}) {
                // A bar far wider than the line leaves one step on it.
                const Condition c{400, blur, 0.0, false, false};
                std::vector<std::pair<double, double>> bars;
                auto rows = Render(c, rising ? 100.3 : 100.3 - 400, random, bars);
                std::vector<std::vector<double>> truth(5);
                truth[0] = {100.3};
                truth[rising ? 3 : 4] = {100.3};
                std::vector<Tally> tallies(5);
                Measure(rows, truth, 3.0, 0.0, profile, false, tallies);
                std::printf("  sigma %.0f, %-14s missed by:", blur, rising ? "dark to bright" : "bright to dark");
                for (int kind : {0, rising ? 3 : 4})
                    if (tallies[static_cast<size_t>(kind)].found == 0)
                        std::printf(" %s", kNames[kind]);
                std::printf("\n");
            }
        std::printf("\n");
    }
    return 0;
}
