// The image-processing calls of the plug-ins on a 5-megapixel grey and colour frame against the raw OpenCV call on
// the same pixels. Ours should cost at most 1.2 times the raw call; the rotation writes only the pixels the source
// covers and blends the outline, which the raw warp does not, so it is expected to cost more.
#include "ipl/IplLib.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <memory>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr double kAngle = 30.0;

struct Release
{
    void operator()(IplImageHeader* image) const { iplDeallocate(image, kIplImageAll); }
};
using Image = std::unique_ptr<IplImageHeader, Release>;

Image Make(int channels, int width, int height)
{
    Image image(iplCreateImageHeader(channels, 0, kIplDepth8u, channels == 1 ? "GRAY" : "RGB",
        channels == 1 ? "GRAY" : "BGR", 0, 0, 4, width, height, nullptr, nullptr, nullptr, nullptr));
    iplAllocateImage(image.get(), 0, 0);
    return image;
}

cv::Mat View(const IplImageHeader* image)
{
    return cv::Mat(image->height, image->width, CV_MAKETYPE(CV_8U, image->nChannels), image->imageData,
        static_cast<size_t>(image->widthStep));
}

// A frame with detail in every channel, so no filter meets a flat image.
Image Frame(int channels)
{
    Image image = Make(channels, kWidth, kHeight);
    cv::Mat view = View(image.get());
    cv::randu(view, cv::Scalar::all(0), cv::Scalar::all(256));
    return image;
}

// The canvas of the rotation as the plug-in computes it: the bounding box of the turned image.
cv::Size RotatedCanvas()
{
    const double phi = kAngle * CV_PI / 180.0;
    const int a = (kWidth - 1) / 2;
    const int c = (kWidth + 1) / 2;
    const int g = (kHeight + 1) / 2;
    return cv::Size(static_cast<int>(2 * a * std::cos(phi) + 2 * g * std::sin(phi) + 0.5),
        static_cast<int>(2 * c * std::sin(phi) + 2 * g * std::cos(phi) + 0.5));
}

// The plug-in's rotation map: about the centre, shifted by half the canvas growth.
void RotateShift(cv::Size canvas, double* xs, double* ys)
{
    iplGetRotateShift(kWidth / 2.0, kHeight / 2.0, kAngle, xs, ys);
    *xs += (canvas.width - kWidth) / 2.0;
    *ys += (canvas.height - kHeight) / 2.0;
}

// The same map for OpenCV's pixel-centre coordinates.
cv::Matx23d RawRotation(cv::Size canvas)
{
    double xs = 0;
    double ys = 0;
    RotateShift(canvas, &xs, &ys);
    const double r = kAngle * CV_PI / 180.0;
    const double c = std::cos(r);
    const double s = std::sin(r);
    return cv::Matx23d(c, s, xs + 0.5 * (c + s) - 0.5, -s, c, ys + 0.5 * (c - s) - 0.5);
}

enum class Op { Resize, Rotate, RotateSmooth, Mirror, Median };

cv::Size TargetSize(Op op)
{
    if (op == Op::Resize)
        return cv::Size(kWidth * 2 / 3, kHeight * 2 / 3);
    if (op == Op::Rotate || op == Op::RotateSmooth)
        return RotatedCanvas();
    return cv::Size(kWidth, kHeight);
}

void RunOurs(Op op, const IplImageHeader* src, IplImageHeader* dst)
{
    double xs = 0;
    double ys = 0;
    switch (op)
    {
    case Op::Resize: iplResize(src, dst, dst->width, kWidth, dst->height, kHeight, kIplInterCubic); break;
    case Op::Rotate:
    case Op::RotateSmooth:
        RotateShift(cv::Size(dst->width, dst->height), &xs, &ys);
        iplRotate(src, dst, kAngle, xs, ys, op == Op::Rotate ? kIplInterCubic : kIplInterCubic | kIplSmoothEdge);
        break;
    case Op::Mirror: iplMirror(src, dst, -1); break;
    case Op::Median: iplMedianFilter(src, dst, 3, 3, 1, 1); break;
    }
}

void RunRaw(Op op, const cv::Mat& src, cv::Mat& dst)
{
    switch (op)
    {
    case Op::Resize: cv::resize(src, dst, dst.size(), 0, 0, cv::INTER_CUBIC); break;
    case Op::Rotate:
    case Op::RotateSmooth:
        cv::warpAffine(src, dst, RawRotation(dst.size()), dst.size(), cv::INTER_CUBIC, cv::BORDER_TRANSPARENT);
        break;
    case Op::Mirror: cv::flip(src, dst, -1); break;
    case Op::Median: cv::medianBlur(src, dst, 3); break;
    }
}

// Ours must give the raw call's pixels (for the rotation: inside the turned image, away from its outline).
bool SameResult(Op op, int channels)
{
    const Image src = Frame(channels);
    const cv::Size size = TargetSize(op);
    Image ours = Make(channels, size.width, size.height);
    Image raw = Make(channels, size.width, size.height);
    RunOurs(op, src.get(), ours.get());
    cv::Mat rawView = View(raw.get());
    RunRaw(op, View(src.get()), rawView);
    if (op == Op::Rotate || op == Op::RotateSmooth)
    {
        const cv::Rect middle(size.width / 3, size.height / 3, size.width / 3, size.height / 3);
        return cv::norm(View(ours.get())(middle), rawView(middle), cv::NORM_INF) == 0;
    }
    return cv::norm(View(ours.get()), rawView, cv::NORM_INF) == 0;
}

void BM_Ours(benchmark::State& state, Op op)
{
    const int channels = static_cast<int>(state.range(0));
    if (!SameResult(op, channels))
        state.SkipWithError("differs from the raw call");
    const Image src = Frame(channels);
    const cv::Size size = TargetSize(op);
    Image dst = Make(channels, size.width, size.height);
    for (auto _ : state)
    {
        RunOurs(op, src.get(), dst.get());
        benchmark::DoNotOptimize(dst->imageData);
        benchmark::ClobberMemory();
    }
}

void BM_Raw(benchmark::State& state, Op op)
{
    const int channels = static_cast<int>(state.range(0));
    const Image src = Frame(channels);
    const cv::Size size = TargetSize(op);
    Image dst = Make(channels, size.width, size.height);
    const cv::Mat source = View(src.get());
    cv::Mat target = View(dst.get());
    for (auto _ : state)
    {
        RunRaw(op, source, target);
        benchmark::DoNotOptimize(target.data);
        benchmark::ClobberMemory();
    }
}

}  // namespace

#define IPL_BENCH(name, op)                                                                                         \
    BENCHMARK_CAPTURE(BM_Ours, name, op)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();              \
    BENCHMARK_CAPTURE(BM_Raw, name, op)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

IPL_BENCH(resize_cubic, Op::Resize)
IPL_BENCH(rotate_cubic, Op::Rotate)
IPL_BENCH(rotate_cubic_smooth, Op::RotateSmooth)
IPL_BENCH(mirror_both, Op::Mirror)
IPL_BENCH(median_3x3, Op::Median)

BENCHMARK_MAIN();
