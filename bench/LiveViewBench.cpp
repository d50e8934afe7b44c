// The live view's path from the camera thread to the picture on the screen, as the live view runs it: the camera
// thread posts each frame (a packed 32-bit DIB) into the one-slot mailbox; the UI thread takes the newest frame,
// converts it into the document's image and composes it with the grid, the centre cross and the focus square.
//
// BM_Compose: the UI thread's work for one frame, against a memcpy of the frame's bytes.
// BM_LiveStream: a camera thread posting frames at the source's rate (75 fps) or as fast as it can (rate 0) for
// two seconds while the UI thread composes what it finds; counters: frames shown per second against the source's,
// frames dropped (replaced in the mailbox before the UI thread took them), the compose time per shown frame, and
// the latency from post to picture (mean and worst). Target: 5-megapixel frames composed in under 13 ms, latency
// under one frame interval.
//
// BM_CamixLive: the whole path as the program runs it: the camera driver module over GStreamer, its camera an
// appsrc fed at 75 fps, the acquisition host polling it on its live thread into the mailbox, the UI thread
// composing. Counters as for BM_LiveStream; the latency runs from the frame's push into appsrc to its picture.
//
// Before timing, one composed picture is checked: the cross inverts the frame and the focus square is red.
#include "capture/LiveFeed.h"

#include "capturehost/CAcquireContainer.h"
#include "module/CModule.h"

#include "latticer/CLatticer.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"
#include "qvimage/QvImageViews.h"
#include "types/WinRecords.h"

#include <QCoreApplication>
#include <QApplication>
#include <QObject>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A packed top-down 32-bit DIB whose first pixel bytes carry the time it was posted.
struct Frame
{
    Frame(int width, int height) : words((sizeof(BITMAPINFOHEADER) + size_t(width) * height * 4 + 3) / 4)
    {
        auto* header = Header();
        *header = BITMAPINFOHEADER{};
        header->biSize = 40;
        header->biWidth = width;
        header->biHeight = -height;
        header->biPlanes = 1;
        header->biBitCount = 32;
        auto* pixels = Pixels();
        for (size_t i = 0; i < size_t(width) * height * 4; ++i)
            pixels[i] = uint8_t((i * 7 + i / 4093) & 0x7F);
    }
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(words.data()); }
    uint8_t* Pixels() { return reinterpret_cast<uint8_t*>(Header() + 1); }
    size_t Bytes() const { return words.size() * 4; }
    void Stamp(int64_t ns) { std::memcpy(Pixels(), &ns, sizeof ns); }
    std::vector<uint32_t> words;
};

int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// The live view's state: the document's image, its grid, and the decorations it draws.
struct LiveView
{
    LiveView()
    {
        grid.Show(1);
        decorations.grid = &grid;
        decorations.centreCross = true;
        decorations.focusSquare = true;
    }
    // One frame from the mailbox to the picture, as the view draws it.
    QImage Draw(const std::vector<uint8_t>& frame)
    {
        if (!DIB2QVIMG(reinterpret_cast<const BITMAPINFOHEADER*>(frame.data()), &image, 0))
            return {};
        return ComposeLiveFrame(QvImageToQImage(image), decorations);
    }
    CQvImage image;
    CLatticer grid;
    LiveDecorations decorations;
};

void CheckPicture()
{
    Frame frame(640, 480);
    std::vector<uint8_t> bytes(reinterpret_cast<uint8_t*>(frame.Header()),
                               reinterpret_cast<uint8_t*>(frame.Header()) + frame.Bytes());
    LiveView view;
    // The grid draws its own centre lines, which the cross then inverts: the cross is checked without it.
    view.grid.Show(0);
    QImage picture = view.Draw(bytes);
    const QImage source = QvImageToQImage(view.image).convertToFormat(QImage::Format_RGB32);
    bool good = picture.size() == QSize(640, 480);
    for (int y : {10, 100, 400})
        good = good && (picture.pixel(320, y) & 0xFFFFFF) == (~source.pixel(320, y) & 0xFFFFFF);
    view.grid.Show(1);
    picture = view.Draw(bytes);
    bool red = false;
    for (int y = 209; y <= 211; ++y)
        red = red || (picture.pixel(305, y) & 0xFFFFFF) == 0xFF0000;
    int gridPixels = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            gridPixels += (picture.pixel(x, y) & 0xFFFFFF) != (source.pixel(x, y) & 0xFFFFFF);
    if (!good || !red || gridPixels == 0) {
        std::fprintf(stderr, "the composed live picture lacks its cross, its focus square or its grid\n");
        std::exit(1);
    }
}

void SetSize(benchmark::State& state, int& width, int& height)
{
    width = int(state.range(0));
    height = int(state.range(1));
    state.SetLabel(std::to_string(width) + "x" + std::to_string(height));
}

void BM_Memcpy(benchmark::State& state)
{
    int width = 0, height = 0;
    SetSize(state, width, height);
    Frame frame(width, height);
    std::vector<uint8_t> copy(frame.Bytes());
    for (auto _ : state) {
        std::memcpy(copy.data(), frame.Header(), frame.Bytes());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}

void BM_Compose(benchmark::State& state)
{
    int width = 0, height = 0;
    SetSize(state, width, height);
    Frame frame(width, height);
    QObject receiver;
    LiveFrameMailbox mailbox(&receiver, [] {});
    LiveView view;
    std::vector<uint8_t> taken;
    for (auto _ : state) {
        mailbox.Post(frame.Header());
        mailbox.Take(taken);
        QImage picture = view.Draw(taken);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    QCoreApplication::removePostedEvents(&receiver);
}

void BM_LiveStream(benchmark::State& state)
{
    int width = 0, height = 0;
    SetSize(state, width, height);
    const int rate = int(state.range(2));
    const auto seconds = std::chrono::seconds(2);
    for (auto _ : state) {
        QObject receiver;
        LiveView view;
        std::vector<uint8_t> taken;
        uint64_t shown = 0;
        double composeNs = 0, latencyNs = 0, worstNs = 0;
        std::shared_ptr<LiveFrameMailbox> mailbox;
        mailbox = std::make_shared<LiveFrameMailbox>(&receiver, [&] {
            if (!mailbox->Take(taken))
                return;
            const int64_t start = Now();
            QImage picture = view.Draw(taken);
            benchmark::DoNotOptimize(picture.constBits());
            const int64_t end = Now();
            int64_t posted = 0;
            std::memcpy(&posted, taken.data() + sizeof(BITMAPINFOHEADER), sizeof posted);
            composeNs += double(end - start);
            latencyNs += double(end - posted);
            worstNs = std::max(worstNs, double(end - posted));
            ++shown;
        });
        std::atomic<bool> done{false};
        std::atomic<uint64_t> posted{0};
        std::thread camera([&] {
            Frame frame(width, height);
            const auto begin = Clock::now();
            auto next = begin;
            while (Clock::now() - begin < seconds) {
                if (rate > 0) {
                    std::this_thread::sleep_until(next);
                    next += std::chrono::nanoseconds(1'000'000'000 / rate);
                }
                frame.Stamp(Now());
                mailbox->Post(frame.Header());
                ++posted;
            }
            done = true;
        });
        const auto begin = Clock::now();
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        camera.join();
        QCoreApplication::processEvents();
        const double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();
        mailbox->Detach();

        state.counters["source_fps"] = double(posted) / elapsed;
        state.counters["shown_fps"] = double(shown) / elapsed;
        state.counters["dropped"] = double(mailbox->Dropped());
        state.counters["compose_ms"] = shown ? composeNs / double(shown) / 1e6 : 0;
        state.counters["latency_ms"] = shown ? latencyNs / double(shown) / 1e6 : 0;
        state.counters["worst_latency_ms"] = worstNs / 1e6;
    }
}

void Sizes(benchmark::internal::Benchmark* b)
{
    for (auto [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}, std::pair{2592, 1944}})
        b->Args({w, h});
    b->Unit(benchmark::kMillisecond);
}

void Streams(benchmark::internal::Benchmark* b)
{
    for (auto [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}, std::pair{2592, 1944}})
        for (int rate : {75, 0})
            b->Args({w, h, rate});
    b->Iterations(1)->Unit(benchmark::kMillisecond);
}

#ifdef CAMIX300_DRIVER
// The camera driver's test controls (its CamixTestHooks.h).
using CamixSimulate = void (*)(const char* kind, int width, int height);
using CamixSimPush = int (*)(const uint8_t* data, size_t bytes);

void BM_CamixLive(benchmark::State& state)
{
    int width = 0, height = 0;
    SetSize(state, width, height);
    constexpr int kRate = 75;
    const auto seconds = std::chrono::seconds(3);
    for (auto _ : state) {
        // The program folder's drivers, where they find the libraries they link.
        const std::string driver = CAMIX300_DRIVER;
        CAcquireContainer host;
        host.InstallServers(std::filesystem::path(driver).parent_path().c_str());
        int index = -1;
        for (int i = 0; i < host.GetServerCount(); ++i)
            if (host.GetServerFile(i) == driver)
                index = i;
        if (index < 0) {
            state.SkipWithError("the camera driver does not load");
            return;
        }
        CModule module;  // the host's own load of the same file: the same module
        module.Load(driver);
        module.GetProc<CamixSimulate>("CAMIX_Simulate")("appsrc", width, height);
        const auto push = module.GetProc<CamixSimPush>("CAMIX_SimPush");
        // The open waits for the first frame: fed from another thread until the camera runs.
        std::atomic<bool> opened{false};
        std::vector<uint8_t> rows(size_t(width) * height * 4);
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = uint8_t((i * 7 + i / 4093) & 0x7F);
        std::thread starter([&] {
            while (!opened) {
                push(rows.data(), rows.size());
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        const int selected = host.SelectServerAt(index);
        opened = true;
        starter.join();
        if (selected != 1) {
            state.SkipWithError("the simulated camera does not open");
            return;
        }

        QObject receiver;
        LiveView view;
        std::vector<uint8_t> taken;
        uint64_t shown = 0;
        double composeNs = 0, latencyNs = 0, worstNs = 0;
        std::mutex pushedLock;
        std::map<uint32_t, int64_t> pushedAt;  // frame number -> push time
        std::shared_ptr<LiveFrameMailbox> mailbox;
        mailbox = std::make_shared<LiveFrameMailbox>(&receiver, [&] {
            if (!mailbox->Take(taken))
                return;
            const int64_t start = Now();
            QImage picture = view.Draw(taken);
            benchmark::DoNotOptimize(picture.constBits());
            const int64_t end = Now();
            // The frame number sat in the camera's first pixel: upright and mirrored, the DIB's last pixel.
            const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(taken.data());
            const size_t last = sizeof(BITMAPINFOHEADER) + size_t(std::abs(header->biHeight)) * width * 4 - 4;
            uint32_t number = 0;
            std::memcpy(&number, taken.data() + last, sizeof number);
            {
                std::lock_guard lock(pushedLock);
                if (auto it = pushedAt.find(number); it != pushedAt.end()) {
                    latencyNs += double(end - it->second);
                    worstNs = std::max(worstNs, double(end - it->second));
                }
            }
            composeNs += double(end - start);
            ++shown;
        });
        SetLiveMailbox(mailbox);
        host.SetFuncGrabCallBack([](const BITMAPINFOHEADER* dib) { return PostLiveFrame(dib) ? 0 : 0; });
        host.Overlay();

        std::atomic<bool> done{false};
        std::atomic<uint64_t> pushed{0};
        std::thread camera([&] {
            const auto begin = Clock::now();
            auto next = begin;
            for (uint32_t number = 1; Clock::now() - begin < seconds; ++number) {
                std::this_thread::sleep_until(next);
                next += std::chrono::nanoseconds(1'000'000'000 / kRate);
                std::memcpy(rows.data(), &number, sizeof number);
                {
                    std::lock_guard lock(pushedLock);
                    pushedAt[number] = Now();
                }
                if (push(rows.data(), rows.size()) == 1)
                    ++pushed;
            }
            done = true;
        });
        const auto begin = Clock::now();
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        camera.join();
        QCoreApplication::processEvents();
        const double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();
        host.StopOverlay();
        SetLiveMailbox(nullptr);
        mailbox->Detach();
        host.ReleaseServers();

        state.counters["source_fps"] = double(pushed) / elapsed;
        state.counters["shown_fps"] = double(shown) / elapsed;
        state.counters["dropped"] = double(mailbox->Dropped());
        state.counters["compose_ms"] = shown ? composeNs / double(shown) / 1e6 : 0;
        state.counters["latency_ms"] = shown ? latencyNs / double(shown) / 1e6 : 0;
        state.counters["worst_latency_ms"] = worstNs / 1e6;
    }
}

void CamixSizes(benchmark::internal::Benchmark* b)
{
    for (auto [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}, std::pair{2592, 1944}})
        b->Args({w, h});
    b->Iterations(1)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_CamixLive)->Apply(CamixSizes);
#endif

BENCHMARK(BM_Memcpy)->Apply(Sizes);
BENCHMARK(BM_Compose)->Apply(Sizes);
BENCHMARK(BM_LiveStream)->Apply(Streams);

}  // namespace

int main(int argc, char** argv)
{
    // The grid's rulers draw text, which needs the GUI application; no screen is used.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The camera driver keeps its last format in the settings store: a folder of the run's own, not the user's.
    QTemporaryDir settings;
    setenv("XDG_CONFIG_HOME", settings.path().toUtf8().constData(), 1);
    setenv("XDG_RUNTIME_DIR", settings.path().toUtf8().constData(), 1);
    QApplication application(argc, argv);  // drivers may show message boxes
    CheckPicture();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
