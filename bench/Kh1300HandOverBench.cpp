// The KH-1300 driver's hand-over at its largest resolution (1600 x 1200, 24 bits): the converted frame's rows into
// the host's DIB, row i to row i from each row's first pixel, as ACQ_Acquire copies them, against one memcpy of the
// same bytes. Target: within 1.5x of memcpy. Before timing, the DIB is checked byte for byte against the frame.
#include "acqdriver/AcqDib.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;
constexpr size_t kBytes = size_t(kWidth) * kHeight * 3;

const std::vector<uint8_t>& Converted()
{
    static const std::vector<uint8_t> frame = [] {
        std::vector<uint8_t> bytes(kBytes);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = uint8_t(i * 29 + i / 4801);
        return bytes;
    }();
    return frame;
}

struct HostDib
{
    HostDib() : bytes(size_t(AcqDibBufferSize(kWidth, kHeight, 24))) { AcqFillDibHeader(*Header(), kWidth, kHeight, 24); }
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(bytes.data()); }
    uint8_t* Rows() { return bytes.data() + AcqDibPixelOffset(*Header()); }
    std::vector<uint8_t> bytes;
};

AcqFrameView ConvertedView()
{
    return AcqFrameView{Converted().data(), kWidth, kHeight, 24, int64_t(kWidth) * 3};
}

void CheckHandOver()
{
    HostDib dib;
    if (!AcqCopyFrameToDib(ConvertedView(), dib.Header()) || std::memcmp(dib.Rows(), Converted().data(), kBytes)) {
        std::fprintf(stderr, "the DIB does not hold the converted frame\n");
        std::exit(1);
    }
}

void BM_Memcpy(benchmark::State& state)
{
    std::vector<uint8_t> target(kBytes);
    for (auto _ : state) {
        std::memcpy(target.data(), Converted().data(), kBytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

void BM_ConvertedFrameToDib(benchmark::State& state)
{
    HostDib dib;
    for (auto _ : state) {
        benchmark::DoNotOptimize(AcqCopyFrameToDib(ConvertedView(), dib.Header()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertedFrameToDib)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    CheckHandOver();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
