// The automatic circle and the work image of the edge tools against OpenCV on the same pixels.
// 1. One automatic circle of radius 500 on a 5-megapixel grey picture, from the last click to the finished object
//    (work image, radial profiles, least-squares circle), against the same profiles sampled with cv::remap (three
//    lines, weighted 1-2-1), the steepest step of each taken, and a least-squares circle solved with cv::solve.
//    Target: within 2x of the peer.
// 2. The work image of a 20-megapixel 24-bit colour picture against cv::cvtColor with its own threads.
//    Target: within 1.5x of the peer.
// Before timing, both circles are checked to lie on the disc and both grey images to be equal.
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/geometry/EdgeProfile.h"
#include "qvimage/CQvImage.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kDiscWidth = 2592, kDiscHeight = 1944;  // 5 megapixels
constexpr double kCx = 1296.3, kCy = 972.6, kRadius = 500.0;
constexpr int kColourWidth = 5472, kColourHeight = 3648;  // 20 megapixels

// A bright disc on a dark ground; pixels on the rim carry their share of the disc (4 x 4 samples).
const CQvImage& DiscPicture()
{
    static CQvImage image = [] {
        CQvImage picture;
        picture.Create(QV_GRAY8, kDiscWidth, kDiscHeight, 0);
        for (int y = 0; y < kDiscHeight; ++y) {
            BYTE* row = picture.GetPixel(0, y);
            for (int x = 0; x < kDiscWidth; ++x) {
                const double d = std::hypot(x + 0.5 - kCx, y + 0.5 - kCy) - kRadius;
                int covered = d < -1 ? 16 : 0;
                if (std::abs(d) <= 1)
                    for (int sy = 0; sy < 4; ++sy)
                        for (int sx = 0; sx < 4; ++sx)
                            covered += std::hypot(x + (sx + 0.5) / 4 - kCx, y + (sy + 0.5) / 4 - kCy) < kRadius;
                row[x] = static_cast<BYTE>(40 + 170 * covered / 16);
            }
        }
        return picture;
    }();
    return image;
}

const CQvImage& ColourPicture()
{
    static CQvImage image = [] {
        CQvImage picture;
        picture.Create(QV_RGB24, kColourWidth, kColourHeight, 0);
        uint32_t seed = 12345;
        for (int y = 0; y < kColourHeight; ++y) {
            BYTE* row = picture.GetPixel(0, y);
            for (int i = 0; i < kColourWidth * 3; ++i) {
                seed = seed * 1664525u + 1013904223u;
                row[i] = static_cast<BYTE>(seed >> 24);
            }
        }
        return picture;
    }();
    return image;
}

// The container with its first click made: the rough circle's diameter runs from a to the mouse.
std::unique_ptr<CQvGObjectContainer> StartCircle(const CQvImage& image, CPoint a)
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetAutoRepeatCreatingObject(0);
    overlay->SetActiveImage(const_cast<CQvImage*>(&image));
    overlay->AddObject(SHAPE_AUTO_CIRCLE);
    overlay->MouseMove(nullptr, 0, a);
    overlay->LButtonDown(1, a);
    overlay->LButtonUp(0, a);
    return overlay;
}

const CPoint kFirst(static_cast<int>(kCx - kRadius - 12), static_cast<int>(kCy - 9));
const CPoint kLast(static_cast<int>(kCx + kRadius + 8), static_cast<int>(kCy + 11));

// The last click; the finished circle's centre and radius, or a negative radius.
void FinishCircle(CQvGObjectContainer& overlay, double& cx, double& cy, double& r)
{
    overlay.MouseMove(nullptr, 0, kLast);
    overlay.LButtonDown(1, kLast);
    overlay.LButtonUp(0, kLast);
    r = -1;
    if (overlay.GetMainObjList().size() != 1 || overlay.GetMainObjList().front()->GetState() != GS_FINISHED)
        return;
    const _RPOINT* p = overlay.GetMainObjList().front()->GetPoint();
    cx = (p[0].x + p[1].x) / 2;
    cy = (p[0].y + p[1].y) / 2;
    r = std::abs(p[1].y - p[0].y) / 2;
}

// The peer: radial profiles of 30 samples inward from the drawn rim, every 5 pixels of arc, each sampled on three
// lines 1-2-1 with cv::remap; the steepest step of each profile (parabola through its neighbours) is an edge point;
// the circle x^2 + y^2 + D x + E y + F = 0 by least squares through cv::solve.
void OpenCvCircle(const cv::Mat& grey, double& cx, double& cy, double& r)
{
    const double dcx = (kFirst.x + kLast.x) / 2.0, dcy = (kFirst.y + kLast.y) / 2.0;
    const double drawn = std::hypot(kLast.x - kFirst.x, kLast.y - kFirst.y) / 2;
    const double middle = drawn - 15;
    const int profiles = static_cast<int>(2 * M_PI * middle / 5);
    constexpr int kSamples = 30;
    cv::Mat mapX(profiles * 3, kSamples, CV_32F), mapY(profiles * 3, kSamples, CV_32F);
    for (int i = 0; i < profiles; ++i) {
        const double t = 2 * M_PI * i / profiles;
        const double ux = std::cos(t), uy = std::sin(t);
        for (int line = 0; line < 3; ++line)
            for (int s = 0; s < kSamples; ++s) {
                const double rho = drawn - s;
                mapX.at<float>(3 * i + line, s) = static_cast<float>(dcx + rho * ux - (line - 1) * uy);
                mapY.at<float>(3 * i + line, s) = static_cast<float>(dcy + rho * uy + (line - 1) * ux);
            }
    }
    cv::Mat samples;
    cv::remap(grey, samples, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    cv::Mat a(profiles, 3, CV_64F), b(profiles, 1, CV_64F);
    int found = 0;
    for (int i = 0; i < profiles; ++i) {
        int profile[kSamples];
        for (int s = 0; s < kSamples; ++s)
            profile[s] = samples.at<uchar>(3 * i, s) + 2 * samples.at<uchar>(3 * i + 1, s) +
                         samples.at<uchar>(3 * i + 2, s);
        int best = 1, steepest = 0;
        for (int s = 1; s + 1 < kSamples; ++s) {
            const int g = std::abs(profile[s + 1] - profile[s - 1]);
            if (g > steepest)
                steepest = g, best = s;
        }
        if (best < 2 || best > kSamples - 3)
            continue;
        const double gm = std::abs(profile[best] - profile[best - 2]);
        const double g0 = steepest, gp = std::abs(profile[best + 2] - profile[best]);
        const double denominator = gm - 2 * g0 + gp;
        const double offset = denominator != 0 ? 0.5 * (gm - gp) / denominator : 0.0;
        const double t = 2 * M_PI * i / profiles;
        const double rho = drawn - (best + offset);
        const double x = dcx + rho * std::cos(t), y = dcy + rho * std::sin(t);
        a.at<double>(found, 0) = x;
        a.at<double>(found, 1) = y;
        a.at<double>(found, 2) = 1;
        b.at<double>(found, 0) = -(x * x + y * y);
        ++found;
    }
    cv::Mat v;
    cv::solve(a.rowRange(0, found), b.rowRange(0, found), v, cv::DECOMP_NORMAL | cv::DECOMP_CHOLESKY);
    cx = -v.at<double>(0) / 2;
    cy = -v.at<double>(1) / 2;
    r = std::sqrt(cx * cx + cy * cy - v.at<double>(2));
}

cv::Mat View(const CQvImage& image, int type)
{
    return cv::Mat(image.GetHeight(), image.GetWidth(), type, const_cast<BYTE*>(image.GetPixel(0, 0)),
                   static_cast<size_t>(image.GetPixel(0, 1) - image.GetPixel(0, 0)));
}

bool ResultsAreRight()
{
    bool right = true;
    double cx = 0, cy = 0, r = 0;
    auto overlay = StartCircle(DiscPicture(), kFirst);
    FinishCircle(*overlay, cx, cy, r);
    std::printf("automatic circle: centre (%.2f, %.2f) radius %.2f; the disc (%.2f, %.2f) %.2f\n", cx, cy, r, kCx, kCy,
                kRadius);
    right = right && std::hypot(cx - kCx, cy - kCy) < 0.5 && std::abs(r - kRadius) < 0.5;
    OpenCvCircle(View(DiscPicture(), CV_8UC1), cx, cy, r);
    std::printf("OpenCV circle: centre (%.2f, %.2f) radius %.2f\n", cx, cy, r);
    right = right && std::hypot(cx - kCx, cy - kCy) < 1 && std::abs(r - kRadius) < 1;

    CQvImage ours;
    ours.Create(QV_GRAY8, kColourWidth, kColourHeight, 0);
    ToGray8(&ColourPicture(), &ours);
    cv::Mat theirs;
    cv::cvtColor(View(ColourPicture(), CV_8UC3), theirs, cv::COLOR_BGR2GRAY);
    int largest = 0;
    for (int y = 0; y < kColourHeight; ++y)
        for (int x = 0; x < kColourWidth; ++x)
            largest = std::max(largest, std::abs(ours.GetPixel(x, y)[0] - theirs.at<uchar>(y, x)));
    std::printf("work image vs cvtColor: largest difference %d grey level(s)\n", largest);
    return right && largest <= 2;
}

void BM_AutoCircle(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto overlay = StartCircle(DiscPicture(), kFirst);
        state.ResumeTiming();
        double cx, cy, r;
        FinishCircle(*overlay, cx, cy, r);
        benchmark::DoNotOptimize(r);
        state.PauseTiming();
        overlay.reset();
        state.ResumeTiming();
    }
}

void BM_OpenCvCircle(benchmark::State& state)
{
    const cv::Mat grey = View(DiscPicture(), CV_8UC1);
    for (auto _ : state) {
        double cx, cy, r;
        OpenCvCircle(grey, cx, cy, r);
        benchmark::DoNotOptimize(r);
    }
}

void BM_WorkImage(benchmark::State& state)
{
    CQvImage grey;
    grey.Create(QV_GRAY8, kColourWidth, kColourHeight, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(ToGray8(&ColourPicture(), &grey));
}

void BM_CvtColor(benchmark::State& state)
{
    cv::Mat grey(kColourHeight, kColourWidth, CV_8UC1);
    const cv::Mat colour = View(ColourPicture(), CV_8UC3);
    for (auto _ : state) {
        cv::cvtColor(colour, grey, cv::COLOR_BGR2GRAY);
        benchmark::DoNotOptimize(grey.data);
    }
}

BENCHMARK(BM_AutoCircle)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_OpenCvCircle)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_WorkImage)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_CvtColor)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (!ResultsAreRight()) {
        std::printf("results are wrong: not timed\n");
        return EXIT_FAILURE;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
