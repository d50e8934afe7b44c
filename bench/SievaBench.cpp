// The kernel convolution of the filter sheet (an 11 x 11 kernel on a 5-megapixel colour frame, split into bands of
// rows over the machine's cores) against cv::filter2D with its own threads on the same pixels into a float image
// (the same sum without truncation), and each fixed filter of the sheet against the same kernel through
// cv::filter2D.
#include "sieva/FilterOps.h"
#include "sieva/KernelFilter.h"

#include "common/IplBridge.h"
#include "qvimage/CQvImage.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;

CQvImage Frame(int type)
{
    CQvImage image;
    image.Create(type, kWidth, kHeight, 0);
    cv::Mat view(kHeight, kWidth, CV_MAKETYPE(CV_8U, image.GetBitsPerPixel() / 8), image.GetBuffer(),
                 static_cast<size_t>(image.GetStride()));
    cv::RNG rng(5);
    rng.fill(view, cv::RNG::UNIFORM, cv::Scalar::all(0), cv::Scalar::all(256));
    return image;
}

cv::Mat View(CQvImage& image)
{
    return cv::Mat(image.GetHeight(), image.GetWidth(), CV_MAKETYPE(CV_8U, image.GetBitsPerPixel() / 8),
                   image.GetBuffer(), static_cast<size_t>(image.GetStride()));
}

std::vector<float> Kernel11()
{
    std::vector<float> kernel(121);
    for (int i = 0; i < 121; ++i)
        kernel[i] = static_cast<float>(i % 7 - 3) / 9.0f;
    return kernel;
}

void BM_KernelFilter11x11(benchmark::State& state)
{
    CQvImage source = Frame(QV_RGB24);
    CQvImage target;
    target.Create(QV_RGB24, kWidth, kHeight, 0);
    const std::vector<float> kernel = Kernel11();
    CKernelFilter filter;
    filter.Attach(&target, &source);
    for (auto _ : state)
        benchmark::DoNotOptimize(filter.Apply(11, 11, kernel.data()));
}

void BM_Filter2D11x11(benchmark::State& state)
{
    CQvImage source = Frame(QV_RGB24);
    std::vector<float> values = Kernel11();
    const cv::Mat own = cv::Mat(11, 11, CV_32F, values.data()).clone();
    cv::Mat target;
    for (auto _ : state) {
        cv::filter2D(View(source), target, CV_32F, own, cv::Point(-1, -1), 0, cv::BORDER_CONSTANT);
        benchmark::DoNotOptimize(target.data);
    }
}

void BM_FixedFilter(benchmark::State& state)
{
    CQvImage image = Frame(QV_RGB24);
    IplImagePtr source(QvImageToIplImage(&image));
    std::unique_ptr<CQvImage> page(IplImageToQvImage(source.get()));
    const auto filter = static_cast<sieva::Filter>(state.range(0));
    CQvImage result;
    for (auto _ : state)
        benchmark::DoNotOptimize(sieva::RunFilter(filter, source.get(), *page, 1, result));
}

// The same 3 x 3 or 5 x 5 kernel straight through cv::filter2D, clone and conversion included as the sheet has them.
void BM_Filter2DFixed(benchmark::State& state)
{
    CQvImage image = Frame(QV_RGB24);
    const int side = static_cast<int>(state.range(0));
    const cv::Mat kernel = cv::Mat::ones(side, side, CV_32F) / static_cast<float>(side * side);
    cv::Mat target;
    for (auto _ : state) {
        cv::filter2D(View(image), target, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
        benchmark::DoNotOptimize(target.data);
    }
}

}  // namespace

BENCHMARK(BM_KernelFilter11x11)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Filter2D11x11)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FixedFilter)
    ->Arg(static_cast<int>(sieva::Filter::HiPass3x3))
    ->Arg(static_cast<int>(sieva::Filter::Gaussian5x5))
    ->Arg(static_cast<int>(sieva::Filter::Sobel))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Filter2DFixed)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// The raw calls use OpenCV's own threads, the strongest peer; the kernel convolution splits its rows over the cores.
BENCHMARK_MAIN();
