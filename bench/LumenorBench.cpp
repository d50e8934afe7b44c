// The enhancement operations on a 5-megapixel grey and colour frame against the closest raw OpenCV call on the same
// pixels, and the frame median of 3, 5 and 9 frames against a plain sort per pixel, against copying the same bytes
// once (the floor of reading every frame) and against its peer BM_MedianNetwork4: a sorting network (Batcher's odd-even
// merge sort) over lanes of columns, rows split among four threads. Target: the median within 2x of that peer. The
// peer's result is checked against ours, byte for byte, before timing.
#include "lumenor/LumenorOps.h"

#include "qvimage/CQvImage.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;

CQvImage Frame(int type, int seed)
{
    CQvImage image;
    image.Create(type, kWidth, kHeight, 0);
    cv::Mat view(kHeight, kWidth, CV_MAKETYPE(CV_8U, image.GetBitsPerPixel() / 8), image.GetBuffer(),
                 static_cast<size_t>(image.GetStride()));
    cv::RNG rng(static_cast<uint64_t>(seed));
    // Not the full range, so the stretches have work to do.
    rng.fill(view, cv::RNG::UNIFORM, cv::Scalar::all(30), cv::Scalar::all(220));
    return image;
}

cv::Mat View(CQvImage& image)
{
    return cv::Mat(image.GetHeight(), image.GetWidth(), CV_MAKETYPE(CV_8U, image.GetBitsPerPixel() / 8),
                   image.GetBuffer(), static_cast<size_t>(image.GetStride()));
}

int TypeOf(const benchmark::State& state)
{
    return state.range(0) == 1 ? QV_GRAY8 : QV_RGB24;
}

void SetLabel(benchmark::State& state)
{
    state.SetLabel(state.range(0) == 1 ? "grey" : "colour");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * state.range(0));
}

// Per-channel histograms and one table per channel: what the stretches and the equalisation do, in raw calls.
void RawHistogramAndLut(cv::Mat& view)
{
    std::vector<cv::Mat> hists(static_cast<size_t>(view.channels()));
    const int size = 256;
    const float range[] = {0, 256};
    const float* ranges[] = {range};
    for (int c = 0; c < view.channels(); ++c)
        cv::calcHist(&view, 1, &c, cv::Mat(), hists[static_cast<size_t>(c)], 1, &size, ranges);
    cv::Mat lut(1, 256, CV_8UC(view.channels()));
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < view.channels(); ++c)
            lut.ptr<uchar>()[i * view.channels() + c] = static_cast<uchar>(255 - i);
    cv::LUT(view, lut, view);
}

void BM_Invert(benchmark::State& state)
{
    CQvImage image = Frame(TypeOf(state), 1);
    for (auto _ : state)
        lumenor::Invert(image);
    SetLabel(state);
}

void BM_RawInvert(benchmark::State& state)
{
    CQvImage image = Frame(TypeOf(state), 1);
    cv::Mat view = View(image);
    for (auto _ : state)
        cv::bitwise_not(view, view);
    SetLabel(state);
}

template <bool (*Op)(CQvImage&)>
void BM_Ours(benchmark::State& state)
{
    const CQvImage start = Frame(TypeOf(state), 2);
    CQvImage image = start;
    for (auto _ : state) {
        Op(image);
        // Each run starts from the same levels; the copy is timed out.
        state.PauseTiming();
        std::memcpy(image.GetBuffer(), start.GetBuffer(), static_cast<size_t>(start.GetStride()) * kHeight);
        state.ResumeTiming();
    }
    SetLabel(state);
}

void BM_RawStretch(benchmark::State& state)
{
    CQvImage image = Frame(TypeOf(state), 2);
    cv::Mat view = View(image);
    for (auto _ : state)
        RawHistogramAndLut(view);
    SetLabel(state);
}

void BM_RawEqualize(benchmark::State& state)
{
    CQvImage image = Frame(TypeOf(state), 2);
    cv::Mat view = View(image);
    for (auto _ : state) {
        if (view.channels() == 1)
            cv::equalizeHist(view, view);
        else
            RawHistogramAndLut(view);
    }
    SetLabel(state);
}

void BM_RawMedianBlur(benchmark::State& state)
{
    CQvImage image = Frame(TypeOf(state), 3);
    cv::Mat view = View(image);
    cv::Mat out(view.size(), view.type());
    for (auto _ : state)
        cv::medianBlur(view, out, 3);
    SetLabel(state);
}

void BM_BrightnessContrast(benchmark::State& state)
{
    const CQvImage source = Frame(TypeOf(state), 4);
    CQvImage target = source;
    for (auto _ : state)
        lumenor::ApplyLut(source, target, lumenor::BrightnessContrastLut(10, 150));
    SetLabel(state);
}

void BM_RawBrightnessContrast(benchmark::State& state)
{
    CQvImage source = Frame(TypeOf(state), 4);
    CQvImage target = source;
    cv::Mat in = View(source);
    cv::Mat out = View(target);
    const lumenor::Lut table = lumenor::BrightnessContrastLut(10, 150);
    cv::Mat lut(1, 256, CV_8U, const_cast<BYTE*>(table.data()));
    for (auto _ : state)
        cv::LUT(in, lut, out);
    SetLabel(state);
}

// The threshold: grey levels once when the dialog opens, then every marker move binarises them.
void BM_ThresholdGrey(benchmark::State& state)
{
    const CQvImage source = Frame(TypeOf(state), 5);
    CQvImage grey;
    for (auto _ : state)
        lumenor::ToGrey(source, grey);
    SetLabel(state);
}

void BM_RawThresholdGrey(benchmark::State& state)
{
    CQvImage source = Frame(TypeOf(state), 5);
    cv::Mat in = View(source);
    cv::Mat grey(in.size(), CV_8U);
    for (auto _ : state) {
        if (in.channels() == 1)
            in.copyTo(grey);
        else
            cv::cvtColor(in, grey, cv::COLOR_BGR2GRAY);
    }
    SetLabel(state);
}

void BM_ThresholdMove(benchmark::State& state)
{
    CQvImage grey = Frame(QV_GRAY8, 5);
    CQvImage target = grey;
    // The dialog counts its histogram once; each move sums it up to the threshold.
    const lumenor::Histogram histogram = lumenor::GreyHistogram(grey);
    for (auto _ : state) {
        benchmark::DoNotOptimize(lumenor::ApplyThreshold(grey, target, 128));
        benchmark::DoNotOptimize(lumenor::CountBelow(histogram, 128));
    }
        benchmark::DoNotOptimize(lumenor::CountBelow(lumenor::GreyHistogram(grey), 128));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}

void BM_RawThresholdMove(benchmark::State& state)
{
    CQvImage grey = Frame(QV_GRAY8, 5);
    CQvImage target = grey;
    cv::Mat in = View(grey);
    cv::Mat out = View(target);
    for (auto _ : state) {
        cv::threshold(in, out, 127, 255, cv::THRESH_BINARY);
        benchmark::DoNotOptimize(cv::countNonZero(out));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}

// Median: range(0) bytes per pixel, range(1) frames.
int MedianType(const benchmark::State& state)
{
    return state.range(0) == 1 ? QV_GRAY8 : state.range(0) == 3 ? QV_RGB24 : QV_RGBA32;
}

std::vector<CQvImage> Frames(const benchmark::State& state)
{
    std::vector<CQvImage> frames;
    for (int f = 0; f < state.range(1); ++f)
        frames.push_back(Frame(MedianType(state), 10 + f));
    return frames;
}

void MedianLabel(benchmark::State& state)
{
    const char* model = state.range(0) == 1 ? "grey " : state.range(0) == 3 ? "colour " : "colour+alpha ";
    state.SetLabel(model + std::to_string(state.range(1)) + " frames");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * state.range(0) *
                            state.range(1));
}

// The comparators (i < j) of Batcher's odd-even merge sort of `count` values: the network of the next power of two,
// less every comparator that reaches past `count` (those values would be the largest and never move).
std::vector<std::pair<int, int>> SortingNetwork(int count)
{
    int size = 1;
    while (size < count)
        size <<= 1;
    std::vector<std::pair<int, int>> network;
    for (int p = 1; p < size; p <<= 1)
        for (int k = p; k >= 1; k >>= 1)
            for (int j = k % p; j + k < size; j += 2 * k)
                for (int i = 0; i < std::min(k, size - j - k); ++i)
                    if ((i + j) / (2 * p) == (i + j + k) / (2 * p) && i + j + k < count)
                        network.emplace_back(i + j, i + j + k);
    return network;
}

constexpr int kLanes = 256;

// Sorts each of kLanes columns of `lanes` (count rows of kLanes values) with the network.
template <typename T>
void SortLanes(T (*lanes)[kLanes], const std::vector<std::pair<int, int>>& network)
{
    for (const auto& [a, b] : network) {
        T* lo = lanes[a];
        T* hi = lanes[b];
        for (int i = 0; i < kLanes; ++i) {
            const T x = std::min(lo[i], hi[i]);
            const T y = std::max(lo[i], hi[i]);
            lo[i] = x;
            hi[i] = y;
        }
    }
}

// Rows [first, last) of the median by the network: grey levels sorted as they are; colour pixels by the key
// (B + G + R) * 32 + frame, whose frame part names the pixel to copy.
void NetworkMedianRows(const std::vector<CQvImage>& frames, CQvImage& result,
                       const std::vector<std::pair<int, int>>& network, int first, int last)
{
    const int count = static_cast<int>(frames.size());
    const int rank = (count - 1) / 2;
    const int bpp = result.GetBitsPerPixel() / 8;
    const int width = result.GetWidth();
    std::vector<int16_t> keys(static_cast<size_t>(count) * kLanes);
    std::vector<uint8_t> levels(static_cast<size_t>(count) * kLanes);
    auto* keyLanes = reinterpret_cast<int16_t(*)[kLanes]>(keys.data());
    auto* levelLanes = reinterpret_cast<uint8_t(*)[kLanes]>(levels.data());
    for (int y = first; y < last; ++y) {
        BYTE* out = result.Get2DBuffer()[y];
        for (int x0 = 0; x0 < width; x0 += kLanes) {
            const int n = std::min(kLanes, width - x0);
            if (bpp == 1) {
                for (int f = 0; f < count; ++f)
                    std::memcpy(levelLanes[f], frames[static_cast<size_t>(f)].GetBuffer() +
                                                   static_cast<size_t>(y) * frames[0].GetStride() + x0,
                                static_cast<size_t>(n));
                SortLanes(levelLanes, network);
                std::memcpy(out + x0, levelLanes[rank], static_cast<size_t>(n));
                continue;
            }
            for (int f = 0; f < count; ++f) {
                const BYTE* p = frames[static_cast<size_t>(f)].GetBuffer() +
                                static_cast<size_t>(y) * frames[0].GetStride() + static_cast<size_t>(x0) * bpp;
                for (int i = 0; i < n; ++i, p += bpp)
                    keyLanes[f][i] = static_cast<int16_t>(((p[0] + p[1] + p[2]) << 5) | f);
                for (int i = n; i < kLanes; ++i)
                    keyLanes[f][i] = 0;
            }
            SortLanes(keyLanes, network);
            for (int i = 0; i < n; ++i) {
                const int f = keyLanes[rank][i] & 31;
                std::memcpy(out + static_cast<size_t>(x0 + i) * bpp,
                            frames[static_cast<size_t>(f)].GetBuffer() + static_cast<size_t>(y) * frames[0].GetStride() +
                                static_cast<size_t>(x0 + i) * bpp,
                            static_cast<size_t>(bpp));
            }
        }
    }
}

void NetworkMedian(const std::vector<CQvImage>& frames, CQvImage& result,
                   const std::vector<std::pair<int, int>>& network)
{
    constexpr int kThreads = 4;
    const int height = result.GetHeight();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(NetworkMedianRows, std::cref(frames), std::ref(result), std::cref(network),
                             height * t / kThreads, height * (t + 1) / kThreads);
    for (std::thread& thread : threads)
        thread.join();
}

void BM_MedianNetwork4(benchmark::State& state)
{
    const std::vector<CQvImage> frames = Frames(state);
    const std::vector<std::pair<int, int>> network = SortingNetwork(static_cast<int>(frames.size()));
    CQvImage ours = frames[0];
    CQvImage result = frames[0];
    lumenor::FrameMedian(frames.data(), static_cast<int>(frames.size()), ours);
    NetworkMedian(frames, result, network);
    if (std::memcmp(ours.GetBuffer(), result.GetBuffer(), static_cast<size_t>(ours.GetStride()) * kHeight) != 0) {
        std::fprintf(stderr, "the network's median differs from FrameMedian's\n");
        std::exit(1);
    }
    for (auto _ : state)
        NetworkMedian(frames, result, network);
    MedianLabel(state);
}

void BM_Median(benchmark::State& state)
{
    const std::vector<CQvImage> frames = Frames(state);
    CQvImage result = frames[0];
    for (auto _ : state)
        lumenor::FrameMedian(frames.data(), static_cast<int>(frames.size()), result);
    MedianLabel(state);
}

void BM_MedianSortPerPixel(benchmark::State& state)
{
    std::vector<CQvImage> frames = Frames(state);
    CQvImage result = frames[0];
    const int count = static_cast<int>(frames.size());
    const int bpp = static_cast<int>(state.range(0));
    std::vector<std::pair<int, int>> keys(static_cast<size_t>(count));
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) {
            BYTE* out = result.Get2DBuffer()[y];
            for (int x = 0; x < kWidth; ++x) {
                for (int f = 0; f < count; ++f) {
                    const BYTE* p = frames[static_cast<size_t>(f)].Get2DBuffer()[y] + x * bpp;
                    keys[static_cast<size_t>(f)] = {bpp == 1 ? p[0] : p[0] + p[1] + p[2], f};
                }
                std::sort(keys.begin(), keys.end());
                const int f = keys[static_cast<size_t>((count - 1) / 2)].second;
                std::memcpy(out + x * bpp, frames[static_cast<size_t>(f)].Get2DBuffer()[y] + x * bpp,
                            static_cast<size_t>(bpp));
            }
        }
    }
    MedianLabel(state);
}

void BM_MedianMemcpyFloor(benchmark::State& state)
{
    const std::vector<CQvImage> frames = Frames(state);
    CQvImage result = frames[0];
    const size_t bytes = static_cast<size_t>(result.GetStride()) * kHeight;
    for (auto _ : state)
        for (const CQvImage& frame : frames) {
            std::memcpy(result.GetBuffer(), frame.GetBuffer(), bytes);
            benchmark::ClobberMemory();
        }
    MedianLabel(state);
}

void Channels(benchmark::internal::Benchmark* b)
{
    b->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();
}

void Stacks(benchmark::internal::Benchmark* b)
{
    for (int bpp : {1, 3, 4})
        for (int frames : {3, 5, 9})
            b->Args({bpp, frames});
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(BM_Invert)->Apply(Channels);
BENCHMARK(BM_RawInvert)->Apply(Channels);
BENCHMARK(BM_Ours<lumenor::AutoContrast>)->Name("BM_AutoContrast")->Apply(Channels);
BENCHMARK(BM_Ours<lumenor::AutoLevel>)->Name("BM_AutoLevel")->Apply(Channels);
BENCHMARK(BM_RawStretch)->Apply(Channels);
BENCHMARK(BM_Ours<lumenor::HistogramEqualize>)->Name("BM_Equalize")->Apply(Channels);
BENCHMARK(BM_RawEqualize)->Apply(Channels);
BENCHMARK(BM_Ours<lumenor::RemoveNoise>)->Name("BM_RemoveNoise")->Apply(Channels);
BENCHMARK(BM_RawMedianBlur)->Apply(Channels);
BENCHMARK(BM_BrightnessContrast)->Apply(Channels);
BENCHMARK(BM_RawBrightnessContrast)->Apply(Channels);
BENCHMARK(BM_ThresholdGrey)->Apply(Channels);
BENCHMARK(BM_RawThresholdGrey)->Apply(Channels);
BENCHMARK(BM_ThresholdMove)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawThresholdMove)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Median)->Apply(Stacks);
BENCHMARK(BM_MedianNetwork4)->Apply(Stacks);
BENCHMARK(BM_MedianSortPerPixel)->Apply(Stacks);
BENCHMARK(BM_MedianMemcpyFloor)->Apply(Stacks);

// Our operations run on the UI thread alone. By default the raw calls use OpenCV's own threads, the strongest
// peer; `--cv_threads=1` gives them one thread, so the figures compare the work alone.
int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).rfind("--cv_threads=", 0) == 0) {
            cv::setNumThreads(std::atoi(argv[i] + 13));
            std::swap(argv[i], argv[argc - 1]);
            --argc;
            break;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
