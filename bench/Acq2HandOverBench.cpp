// The second-generation drivers' frame hand-over and the U2 grab thread's pace.
//
// Hand-over: the one copy each driver makes into the host's image as ACQ_Acquire does it (Acq2CopyRows), against
// one memcpy of the same bytes (target: within 1.5x): the U2 board's frame buffer (rows of 4-byte-rounded length,
// top-down) at its 640 x 480 and at 1920 x 1080, and the FlashBus board's bottom-up DIB at 760 x 570. Before
// timing, each image is checked row for row against its source.
//
// Grab pace: the U2 driver built for 1920 x 1080 frames on the simulated board running on its own clock, with the
// host polling ACQ_Acquire under its lock as it does while live. The board counts the frames that came while the
// grab thread was not waiting for them; at the board's 30 frames a second it must count none, or the program exits
// with a failure (twice that rate is shown for the headroom).
#include "capturehost/AcqDriver2Exports.h"
#include "common/Acq2FrameCopy.h"
#include "datakeeper/DkImage.h"
#include "module/CModule.h"
#include "u2/sim/MvuSimControl.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

struct Shape
{
    int width, height;
    bool bottomUp;  // the FlashBus DIB
};

int64_t Stride(int width)
{
    return (int64_t(width) * 3 + 3) / 4 * 4;
}

struct Fixture
{
    explicit Fixture(Shape shape) : shape(shape), source(size_t(Stride(shape.width) * shape.height))
    {
        for (size_t i = 0; i < source.size(); ++i)
            source[i] = uint8_t(i * 29 + i / 4801);
        image.Create(datakeeper::CM_BGR, 8, shape.width, shape.height);
    }
    const uint8_t* FirstRow() const
    {
        return shape.bottomUp ? source.data() + Stride(shape.width) * (shape.height - 1) : source.data();
    }
    int64_t Step() const { return shape.bottomUp ? -Stride(shape.width) : Stride(shape.width); }
    bool Copy() { return Acq2CopyRows(FirstRow(), Step(), shape.width, shape.height, image); }
    size_t Bytes() const { return size_t(shape.width) * 3 * size_t(shape.height); }

    Shape shape;
    std::vector<uint8_t> source;
    datakeeper::CQvImage image;
};

const Shape kShapes[] = {{640, 480, false}, {1920, 1080, false}, {760, 570, true}};

void CheckHandOver(Shape shape)
{
    Fixture fixture(shape);
    bool same = fixture.Copy();
    for (int y = 0; same && y < shape.height; ++y)
        same = std::memcmp(fixture.image.GetRow(y), fixture.FirstRow() + fixture.Step() * y, size_t(shape.width) * 3)
            == 0;
    if (!same) {
        std::fprintf(stderr, "the image does not hold the frame (%d x %d)\n", shape.width, shape.height);
        std::exit(1);
    }
}

void BM_Memcpy(benchmark::State& state)
{
    const Shape shape = kShapes[state.range(0)];
    const size_t bytes = size_t(shape.width) * 3 * size_t(shape.height);
    std::vector<uint8_t> source(bytes, 7), target(bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.SetLabel(std::to_string(shape.width) + "x" + std::to_string(shape.height));
}

void BM_FrameIntoImage(benchmark::State& state)
{
    const Shape shape = kShapes[state.range(0)];
    Fixture fixture(shape);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fixture.Copy());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fixture.Bytes()));
    state.SetLabel(std::to_string(shape.width) + "x" + std::to_string(shape.height)
                   + (shape.bottomUp ? " bottom-up" : ""));
}

BENCHMARK(BM_Memcpy)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameIntoImage)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

#if defined(U2_HD_DRIVER) && defined(MVU_SIM_LIBRARY)

std::atomic<int> g_droppedAtFullRate{0};

// The board's own rate; twice that shows the headroom.
constexpr int kBoardFps = 30;
// Seconds of board time per run.
constexpr int kRunSeconds = 3;

void BM_U2GrabKeepsUp1080p(benchmark::State& state)
{
    const int fps = int(state.range(0));
    static CModule board;
    static CModule driver;
    if ((!board.IsLoaded() && !board.Load(MVU_SIM_LIBRARY)) || (!driver.IsLoaded() && !driver.Load(U2_HD_DRIVER))) {
        state.SkipWithError("the simulated board or the driver does not load");
        return;
    }
    AcqDriver2Exports exports;
    exports.Resolve(driver);
    board.GetProc<MVUSIM_ResetFunction>("MVUSIM_Reset")();
    CCriticalSection hostLock;
    int frames = 0, dropped = 0, handed = 0;
    for (auto _ : state) {
        const int before = board.GetProc<MVUSIM_FramesFunction>("MVUSIM_Frames")();
        board.GetProc<MVUSIM_SetFrameIntervalFunction>("MVUSIM_SetFrameInterval")(1000000 / fps);
        if (exports.ACQ_Initial(1, nullptr, &hostLock) != 1) {
            state.SkipWithError("the board does not open");
            return;
        }
        datakeeper::CQvImage image;
        exports.ACQ_AllocImage(&image);
        // The host's live thread.
        std::atomic<bool> stop{false};
        std::thread host([&] {
            while (!stop) {
                AcqHostLockGuard lock(&hostLock);
                handed += exports.ACQ_Acquire(&image);
            }
        });
        std::this_thread::sleep_for(std::chrono::seconds(kRunSeconds));
        dropped = board.GetProc<MVUSIM_DroppedFunction>("MVUSIM_Dropped")();
        frames = board.GetProc<MVUSIM_FramesFunction>("MVUSIM_Frames")() - before;
        stop = true;
        host.join();
        exports.ACQ_Release();
        board.GetProc<MVUSIM_SetFrameIntervalFunction>("MVUSIM_SetFrameInterval")(0);
    }
    state.counters["fps"] = fps;
    state.counters["board_frames"] = frames;
    state.counters["dropped"] = dropped;
    state.counters["handed_to_host"] = handed;
    if (fps == kBoardFps)
        g_droppedAtFullRate += dropped;
}

BENCHMARK(BM_U2GrabKeepsUp1080p)->Arg(kBoardFps)->Arg(2 * kBoardFps)->Iterations(1)->Unit(benchmark::kMillisecond);

#endif

}  // namespace

int main(int argc, char** argv)
{
    for (const Shape& shape : kShapes)
        CheckHandOver(shape);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
#if defined(U2_HD_DRIVER) && defined(MVU_SIM_LIBRARY)
    if (g_droppedAtFullRate > 0) {
        std::fprintf(stderr, "the U2 grab thread dropped %d frames\n", g_droppedAtFullRate.load());
        return 1;
    }
#endif
    return 0;
}
