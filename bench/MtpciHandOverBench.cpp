// The MTPCI-TL driver's hand-over of a 2592 x 1944 frame: channel 1's view slot into the host's DIB, as
// ACQ_Acquire copies it, against one memcpy of the same bytes (target: within 1.5x), for grey and for colour; and
// the grab thread's store of a top-down frame into the slot. Before timing, the DIB is checked against the store.
#include "mtpci/MmdViewControl.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;

std::vector<uint8_t> Frame(int type)
{
    std::vector<uint8_t> bytes(size_t(kWidth) * kHeight * type);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 29 + i / 4801);
    return bytes;
}

struct Fixture
{
    explicit Fixture(int type) : type(type), frame(Frame(type)), dib(size_t(AcqDibBufferSize(kWidth, kHeight, type * 8)))
    {
        view.Init(type, kWidth, kHeight, 1);
        view.Store(frame.data(), 0);
        AcqFillDibHeader(*Header(), kWidth, kHeight, type * 8);
    }
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(dib.data()); }
    int type;
    std::vector<uint8_t> frame;
    std::vector<uint8_t> dib;
    MmdViewControl view;
};

void CheckHandOver(int type)
{
    Fixture fixture(type);
    const std::vector<uint8_t> stored = fixture.view.Bytes();
    const size_t rows = size_t(kWidth) * kHeight * type;
    if (!fixture.view.CopyTo(0, fixture.Header())
        || std::memcmp(fixture.dib.data() + AcqDibPixelOffset(*fixture.Header()), stored.data() + 1064, rows)) {
        std::fprintf(stderr, "the DIB does not hold the stored frame\n");
        std::exit(1);
    }
}

void BM_Memcpy(benchmark::State& state)
{
    const size_t bytes = size_t(kWidth) * kHeight * size_t(state.range(0));
    std::vector<uint8_t> source(bytes, 7), target(bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void BM_ViewSlotToDib(benchmark::State& state)
{
    Fixture fixture(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(fixture.view.CopyTo(0, fixture.Header()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fixture.frame.size()));
}

void BM_FrameIntoViewSlot(benchmark::State& state)
{
    Fixture fixture(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(fixture.view.Store(fixture.frame.data(), 0));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fixture.frame.size()));
}

BENCHMARK(BM_Memcpy)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewSlotToDib)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameIntoViewSlot)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    CheckHandOver(1);
    CheckHandOver(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
