// The ARTRAY driver's hand-over on its largest sensor (2560 x 1920, 24 bits): the kept full frame into the host's
// DIB, and the centred crop of the next resolution row out of it, as ACQ_Acquire copies them, each against one
// memcpy of the same bytes. Target: within 1.5x of memcpy. Before timing, both DIBs are checked row for row
// against the frame. The crop's rows lie apart in the frame, so its peer is also memcpy of the same rows, row by row:
// no copy of a crop can be one contiguous memcpy.
#include "acqdriver/AcqDib.h"
#include "artray/ArtrayModel.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const ArtrayModel& Model()
{
    return GetArtrayModel(ArtrayModelId::Artray500PII);
}

const ArtrayResolution& Row(int index)
{
    return Model().rows[index];
}

size_t RowBytes(int index)
{
    return size_t(Row(index).width) * size_t(Row(index).height) * 3;
}

// The newest full sensor frame as the driver keeps it.
const std::vector<uint8_t>& KeptFrame()
{
    static const std::vector<uint8_t> frame = [] {
        std::vector<uint8_t> bytes(RowBytes(0));
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = uint8_t(i * 29 + i / 4801);
        return bytes;
    }();
    return frame;
}

// The part of the kept frame resolution row `index` hands out: the whole frame, or its centred crop.
AcqFrameView HandedOut(int index)
{
    const ArtrayResolution& full = Row(0);
    const ArtrayResolution& row = Row(index);
    const int64_t start = (int64_t((full.height - row.height) / 2) * full.width + (full.width - row.width) / 2) * 3;
    return AcqFrameView{KeptFrame().data() + start, row.width, row.height, 24, int64_t(full.width) * 3};
}

struct HostDib
{
    explicit HostDib(int index) : bytes(size_t(AcqDibBufferSize(Row(index).width, Row(index).height, 24)))
    {
        AcqFillDibHeader(*Header(), Row(index).width, Row(index).height, 24);
    }
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(bytes.data()); }
    uint8_t* Rows() { return bytes.data() + AcqDibPixelOffset(*Header()); }
    std::vector<uint8_t> bytes;
};

void CheckHandOver(int index)
{
    HostDib dib(index);
    const AcqFrameView view = HandedOut(index);
    bool same = AcqCopyFrameToDib(view, dib.Header());
    const size_t rowBytes = size_t(view.width) * 3;
    for (int y = 0; same && y < view.height; ++y)
        same = std::memcmp(dib.Rows() + y * AcqDibStride(view.width, 24), view.pixels + y * view.stride, rowBytes) == 0;
    if (!same) {
        std::fprintf(stderr, "the DIB of row %d does not hold the kept frame\n", index);
        std::exit(1);
    }
}

void BM_Memcpy(benchmark::State& state)
{
    const size_t bytes = RowBytes(int(state.range(0)));
    std::vector<uint8_t> target(bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), KeptFrame().data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void BM_MemcpyRows(benchmark::State& state)
{
    const int index = int(state.range(0));
    const AcqFrameView view = HandedOut(index);
    const size_t rowBytes = size_t(view.width) * 3;
    std::vector<uint8_t> target(RowBytes(index));
    for (auto _ : state) {
        for (int y = 0; y < view.height; ++y)
            std::memcpy(target.data() + size_t(y) * rowBytes, view.pixels + y * view.stride, rowBytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(RowBytes(index)));
}

void BM_KeptFrameToDib(benchmark::State& state)
{
    const int index = int(state.range(0));
    HostDib dib(index);
    const AcqFrameView view = HandedOut(index);
    for (auto _ : state) {
        benchmark::DoNotOptimize(AcqCopyFrameToDib(view, dib.Header()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(RowBytes(index)));
}

// Row 0: the full frame; row 1: the 1600 x 1200 crop.
BENCHMARK(BM_Memcpy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyRows)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeptFrameToDib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    CheckHandOver(0);
    CheckHandOver(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
