// The camera drivers' frame path for a 5-megapixel camera (2592 x 1944, 32 bits): the appsink's frame into the
// driver's frame buffer (streaming thread), and the frame buffer into the host's DIB read last row first and each
// row mirrored, as the camera driver hands frames over (host thread), against one memcpy of the same bytes.
// Target: each step within 1.5x of memcpy. Before timing, the DIB is checked pixel by pixel against the turned
// frame.
#include "acqdriver/AcqDriver.h"
#include "common/AcqFrameSlot.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr int kDepth = 32;
constexpr size_t kBytes = size_t(kWidth) * kHeight * 4;

const std::vector<uint8_t>& Frame()
{
    static const std::vector<uint8_t> frame = [] {
        std::vector<uint8_t> bytes(kBytes);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = uint8_t(i * 31 + i / 4099);
        return bytes;
    }();
    return frame;
}

struct HostDib
{
    HostDib() : bytes(size_t(AcqDibBufferSize(kWidth, kHeight, kDepth))) { AcqFillDibHeader(*Header(), kWidth, kHeight, kDepth); }
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(bytes.data()); }
    uint8_t* Rows() { return bytes.data() + AcqDibPixelOffset(*Header()); }
    std::vector<uint8_t> bytes;
};

void CheckMirroredCopy()
{
    AcqFrameSlot slot;
    HostDib dib;
    if (!slot.Open(kWidth, kHeight, kDepth, /*bottomUp=*/true) || !slot.Deliver(Frame().data(), kBytes)
        || slot.Acquire(dib.Header(), std::chrono::milliseconds(0), AcqRowMirror::Horizontal) != ACQ_OK) {
        std::fprintf(stderr, "the frame did not reach the DIB\n");
        std::exit(1);
    }
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (std::memcmp(dib.Rows() + (size_t(y) * kWidth + x) * 4,
                            Frame().data() + (size_t(kHeight - 1 - y) * kWidth + (kWidth - 1 - x)) * 4, 4) != 0) {
                std::fprintf(stderr, "pixel %d,%d of the DIB is not the turned frame's\n", x, y);
                std::exit(1);
            }
}

void BM_Memcpy(benchmark::State& state)
{
    std::vector<uint8_t> target(kBytes);
    for (auto _ : state) {
        std::memcpy(target.data(), Frame().data(), kBytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

void BM_AppsinkToFrameBuffer(benchmark::State& state)
{
    AcqFrameSlot slot;
    slot.Open(kWidth, kHeight, kDepth, /*bottomUp=*/true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(slot.Deliver(Frame().data(), kBytes));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

void BM_FrameBufferToDibMirrored(benchmark::State& state)
{
    AcqFrameSlot slot;
    slot.Open(kWidth, kHeight, kDepth, /*bottomUp=*/true);
    slot.Deliver(Frame().data(), kBytes);
    HostDib dib;
    for (auto _ : state) {
        benchmark::DoNotOptimize(slot.Snapshot(dib.Header(), AcqRowMirror::Horizontal));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppsinkToFrameBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameBufferToDibMirrored)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    CheckMirroredCopy();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
