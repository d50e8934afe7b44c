// The kernel convolution of the filter sheet (an 11 x 11 kernel on a 5-megapixel colour frame, split into bands of
// rows over the machine's cores) against cv::filter2D with its own threads on the same pixels into a float image
// (the same sum without truncation), and every fixed filter of the sheet against the same kernels through
// cv::filter2D. OpenCV's filter2D runs a small kernel on the calling thread; the sheet's fixed filters split the
// rows over OpenCV's threads.
#include "sieva/FilterOps.h"
#include "sieva/KernelFilter.h"

#include "common/IplBridge.h"
#include "qvimage/CQvImage.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <string>
#include <vector>

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

// A fixed filter of the sheet and the kernels it stands for: one kernel with the edge repeated (the library's
// filters), or two whose absolute sums, clamped to 255, are averaged (the edge pairs, whose frame is 0).
// The same, the rows split into bands over OpenCV's threads by the caller (this build's filter2D runs on one thread
// at this kernel size): the stronger peer.
void BM_Filter2D11x11Banded(benchmark::State& state)
{
    CQvImage source = Frame(QV_RGB24);
    std::vector<float> values = Kernel11();
    const cv::Mat own = cv::Mat(11, 11, CV_32F, values.data()).clone();
    const cv::Mat view = View(source);
    cv::Mat target(view.size(), CV_32FC3);
    constexpr int kBandRows = 64;
    const cv::Range all(0, (view.rows + kBandRows - 1) / kBandRows);
    const auto band = [&](const cv::Range& bands) {
        const cv::Range rows(bands.start * kBandRows, std::min(bands.end * kBandRows, view.rows));
        cv::Mat out = target.rowRange(rows);
        cv::filter2D(view.rowRange(rows), out, CV_32F, own, cv::Point(-1, -1), 0, cv::BORDER_CONSTANT);
    };
    for (auto _ : state) {
        cv::parallel_for_(all, band);
        benchmark::DoNotOptimize(target.data);
    }
}

struct FixedCase
{
    const char* name;
    sieva::Filter filter;
    int side;
    std::vector<float> first;
    std::vector<float> second;
};

std::vector<float> Around(int side, float centre)
{
    std::vector<float> values(static_cast<size_t>(side * side), -1.0f);
    values[values.size() / 2] = centre;
    return values;
}

std::vector<float> Outer(const std::vector<float>& row, float divisor)
{
    std::vector<float> values;
    for (float a : row)
        for (float b : row)
            values.push_back(a * b / divisor);
    return values;
}

const std::vector<FixedCase>& FixedCases()
{
    static const std::vector<FixedCase> cases = {
        {"HiPass3x3", sieva::Filter::HiPass3x3, 3, Around(3, 9), {}},
        {"HiPass5x5", sieva::Filter::HiPass5x5, 5, Around(5, 25), {}},
        {"Gaussian3x3", sieva::Filter::Gaussian3x3, 3, Outer({1, 2, 1}, 16), {}},
        {"Gaussian5x5", sieva::Filter::Gaussian5x5, 5, Outer({1, 4, 6, 4, 1}, 256), {}},
        {"Sharpen", sieva::Filter::Sharpen, 3, {0, -1, 0, -1, 5, -1, 0, -1, 0}, {}},
        {"Laplacian3x3", sieva::Filter::Laplacian3x3, 3, Around(3, 8), {}},
        {"Laplacian5x5", sieva::Filter::Laplacian5x5, 5, Around(5, 24), {}},
        {"Roberts", sieva::Filter::Roberts, 2, {1, 0, 0, -1}, {0, -1, 1, 0}},
        {"Sobel", sieva::Filter::Sobel, 3, {-1, 0, 1, -2, 0, 2, -1, 0, 1}, {1, 2, 1, 0, 0, 0, -1, -2, -1}},
        {"Prewitt", sieva::Filter::Prewitt, 3, {-1, 0, 1, -1, 0, 1, -1, 0, 1}, {1, 1, 1, 0, 0, 0, -1, -1, -1}},
    };
    return cases;
}

// The sheet's button: the source header and the page image are made once, as the sheet makes them when it opens;
// the result image is kept between runs, as the peer keeps its target. Both run once before the timing, so neither
// is timed touching fresh memory (page faults here cost more than the filters).
void BM_Sheet(benchmark::State& state, const FixedCase& c)
{
    CQvImage image = Frame(QV_RGB24);
    IplImagePtr source(QvImageToIplImage(&image));
    std::unique_ptr<CQvImage> page(IplImageToQvImage(source.get()));
    CQvImage result;
    sieva::RunFilter(c.filter, source.get(), *page, 1, result);
    for (auto _ : state)
        benchmark::DoNotOptimize(sieva::RunFilter(c.filter, source.get(), *page, 1, result));
}

// The same kernels through cv::filter2D on the same pixels. This OpenCV build runs filter2D on one thread, so the
// peer splits the rows into bands over OpenCV's threads itself (a band is a view into the whole image, so filter2D
// reads the rows beyond it): the strongest use of filter2D we can write. A pair is two 16-bit sums, each made
// absolute and clamped to 8 bits, and their average (addWeighted rounds the half up where the sheet drops it: the
// same work). A 2 x 2 kernel reads the pixel, its left, upper and upper-left neighbours, as the sheet's does.
void BM_Filter2D(benchmark::State& state, const FixedCase& c)
{
    CQvImage image = Frame(QV_RGB24);
    const cv::Mat view = View(image);
    const cv::Mat first = cv::Mat(c.side, c.side, CV_32F, const_cast<float*>(c.first.data())).clone();
    const cv::Mat second =
        c.second.empty() ? cv::Mat() : cv::Mat(c.side, c.side, CV_32F, const_cast<float*>(c.second.data())).clone();
    const cv::Point anchor(c.side / 2, c.side / 2);
    cv::Mat target(view.size(), view.type());
    cv::Mat sumA(view.size(), CV_16SC3), sumB(view.size(), CV_16SC3), a(view.size(), view.type()),
        b(view.size(), view.type());
    constexpr int kBandRows = 64;
    const auto band = [&](const cv::Range& bands) {
        const cv::Range rows(bands.start * kBandRows, std::min(bands.end * kBandRows, view.rows));
        cv::Mat out = target.rowRange(rows);
        if (second.empty()) {
            cv::filter2D(view.rowRange(rows), out, -1, first, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
            return;
        }
        cv::Mat sa = sumA.rowRange(rows), sb = sumB.rowRange(rows), oa = a.rowRange(rows), ob = b.rowRange(rows);
        cv::filter2D(view.rowRange(rows), sa, CV_16S, first, anchor, 0, cv::BORDER_CONSTANT);
        cv::filter2D(view.rowRange(rows), sb, CV_16S, second, anchor, 0, cv::BORDER_CONSTANT);
        cv::convertScaleAbs(sa, oa);
        cv::convertScaleAbs(sb, ob);
        cv::addWeighted(oa, 0.5, ob, 0.5, 0, out);
    };
    const cv::Range all(0, (view.rows + kBandRows - 1) / kBandRows);
    cv::parallel_for_(all, band);
    for (auto _ : state) {
        cv::parallel_for_(all, band);
        benchmark::DoNotOptimize(target.data);
    }
}

}  // namespace

BENCHMARK(BM_KernelFilter11x11)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Filter2D11x11)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Filter2D11x11Banded)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every fixed filter twice: through the sheet and through the peer.
const bool kFixedRegistered = [] {
    for (const FixedCase& c : FixedCases()) {
        benchmark::RegisterBenchmark((std::string("Sheet/") + c.name).c_str(), BM_Sheet, c)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("Filter2D/") + c.name).c_str(), BM_Filter2D, c)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

// The peers use OpenCV's threads, by its own choice or in bands; the kernel convolution splits its rows over the cores.
BENCHMARK_MAIN();
