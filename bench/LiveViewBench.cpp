// The live view's path from the camera thread to the picture on the screen, as the live view runs it: the camera
// thread posts each frame (a packed 32-bit DIB) into the one-slot mailbox, which converts it into an image there;
// the UI thread takes the newest image as the document's and composes it at the display ratio with an overlay (a
// line and a circle measurement), the grid, the centre cross and the focus square.
//
// Zoom: "fit" fits the frame to a 1280 x 1024 window (a 640 x 480 frame is enlarged 2x, a 20-megapixel one shrunk to
// 1280 x 853), "100" is 1:1.
//
// BM_Compose: the UI thread's work for one frame (take + compose; the post is the camera thread's and is timed out),
// against its peer BM_BareCompose: the same picture composed from the frame as it arrives, the DIB's pixels scaled
// by Qt's fast scaling with the decorations drawn over them, nothing else. Target: within 1.3x of the peer at fit.
// BM_Post: the camera thread's work for one frame (the DIB into the mailbox's image), against BM_Memcpy of the
// frame's bytes.
// BM_LiveStream: a camera thread posting frames at the source's rate (75 fps) or as fast as it can (rate 0) for
// two seconds while the UI thread composes what it finds; counters: frames shown per second against the source's,
// frames dropped (replaced in the mailbox before the UI thread took them), the compose time per shown frame, and
// the latency from post to picture (mean, worst, and worst once the first quarter second's frames have made the
// buffers: worst_steady). Target: every frame shown at 75 fps, the worst latency under two frame periods.
//
// BM_CamixLive: the whole path as the program runs it: the camera driver module over GStreamer, its camera an
// appsrc fed at 75 fps, the acquisition host polling it on its live thread into the mailbox, the UI thread
// composing at 1:1. Counters as for BM_LiveStream, and host_fps: the frames the host's live thread handed to the
// mailbox (what the camera path upstream of the mailbox delivered); the latency runs from the frame's push into
// appsrc to its picture.
//
// Fresh memory is costly here (its first touch): run once as is and once with freed memory kept for reuse, e.g.
// MALLOC_MMAP_MAX_=0 MALLOC_TRIM_THRESHOLD_=4294967296 MALLOC_TOP_PAD_=268435456.
//
// Before timing, the composed pictures are checked: the cross inverts the frame, the focus square is red, the grid
// is drawn; and at every size and zoom the picture equals the peer's pixel for pixel.
#include "view/LiveFeed.h"

#include "capturehost/CAcquireContainer.h"
#include "module/CModule.h"

#include "gobjects/CQvGObjectContainer.h"
#include "latticer/CLatticer.h"
#include "qvimage/CQvImage.h"
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
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Frames posted in a stream's first quarter second meet buffers not yet made (the mailbox's images, the pictures):
// the steady worst latency leaves them out.
constexpr int64_t kWarmUpNs = 250'000'000;

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

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 1024;

// Zoom argument: 0 fits the frame to the window, otherwise a percentage.
float RatioOf(int zoom, int width, int height)
{
    if (zoom > 0)
        return float(zoom) / 100.0f;
    return std::min(float(kWindowWidth) / float(width), float(kWindowHeight) / float(height));
}

// An overlay of a line and a circle measurement, placed by clicks as a user places them.
std::unique_ptr<CQvGObjectContainer> Overlay(int width, int height)
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetAutoRepeatCreatingObject(0);
    const auto click = [&](CPoint p) {
        overlay->MouseMove(nullptr, 0, p);
        overlay->LButtonDown(1, p);
        overlay->LButtonUp(0, p);
    };
    overlay->AddObject(SHAPE_LINE);
    click(CPoint(width / 8, height / 8));
    click(CPoint(width / 2, height / 3));
    overlay->AddObject(SHAPE_CIRCLE);
    click(CPoint(width / 2, height * 2 / 3));
    click(CPoint(width * 3 / 4, height * 2 / 3));
    return overlay;
}

// The live view's state: the document's image, its overlay and grid, the decorations it draws, and the composer.
struct LiveView
{
    LiveView(int width, int height, float ratio) : overlay(Overlay(width, height))
    {
        // As live video starts, the document's image is made at the capture size.
        image.Create(QV_RGBA32, width, height, 0);
        grid.Show(1);
        decorations.ratio = ratio;
        decorations.objects = overlay.get();
        decorations.grid = &grid;
        decorations.centreCross = true;
        decorations.focusSquare = true;
    }
    // The UI thread's part: the newest frame becomes the document's image and is composed.
    QImage Show(LiveFrameMailbox& mailbox)
    {
        if (!mailbox.Take(image))
            return {};
        return composer.Compose(image, decorations);
    }
    CQvImage image;
    CLatticer grid;
    std::unique_ptr<CQvGObjectContainer> overlay;
    LiveDecorations decorations;
    LiveFrameComposer composer;
};

// The peer: the frame's pixels as they arrive, scaled by Qt, alpha made opaque (as RGB32 pictures have it), the
// decorations drawn over them.
QImage BareCompose(Frame& frame, const LiveDecorations& decorations)
{
    const int width = frame.Header()->biWidth;
    const int height = -frame.Header()->biHeight;
    const QImage pixels(frame.Pixels(), width, height, width * 4, QImage::Format_RGB32);
    QImage picture = pixels.scaled(LivePictureSize(QSize(width, height), decorations.ratio), Qt::IgnoreAspectRatio,
                                   Qt::FastTransformation);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            row[x] |= 0xFF000000u;
    }
    DrawLiveDecorations(picture, QSize(width, height), decorations);
    return picture;
}

bool SamePicture(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) != 0)
            return false;
    return true;
}

void CheckPicture()
{
    Frame frame(640, 480);
    QObject receiver;
    LiveFrameMailbox mailbox(&receiver, [] {});
    LiveView view(640, 480, 1.0f);
    view.decorations.objects = nullptr;
    // The grid draws its own centre lines, which the cross then inverts: the cross is checked without it.
    view.grid.Show(0);
    mailbox.Post(frame.Header());
    QImage picture = view.Show(mailbox);
    const QImage source = QvImageToQImage(view.image).convertToFormat(QImage::Format_RGB32);
    bool good = picture.size() == QSize(640, 480);
    for (int y : {10, 100, 400})
        good = good && (picture.pixel(320, y) & 0xFFFFFF) == (~source.pixel(320, y) & 0xFFFFFF);
    view.grid.Show(1);
    mailbox.Post(frame.Header());
    picture = view.Show(mailbox);
    bool red = false;
    for (int y = 209; y <= 211; ++y)
        red = red || (picture.pixel(305, y) & 0xFFFFFF) == 0xFF0000;
    int gridPixels = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            gridPixels += (picture.pixel(x, y) & 0xFFFFFF) != (source.pixel(x, y) & 0xFFFFFF);
    QCoreApplication::removePostedEvents(&receiver);
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

void SetZoom(benchmark::State& state, int zoom, int width, int height)
{
    const QSize picture = LivePictureSize(QSize(width, height), RatioOf(zoom, width, height));
    state.SetLabel(std::to_string(width) + "x" + std::to_string(height) + (zoom > 0 ? " 1:1" : " fit") + " -> " +
                   std::to_string(picture.width()) + "x" + std::to_string(picture.height()));
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

void BM_Post(benchmark::State& state)
{
    int width = 0, height = 0;
    SetSize(state, width, height);
    Frame frame(width, height);
    QObject receiver;
    LiveFrameMailbox mailbox(&receiver, [] {});
    CQvImage taken;
    for (auto _ : state) {
        mailbox.Post(frame.Header());
        // Taken as the UI thread takes it, so the mailbox's buffers come round again as they do live.
        mailbox.Take(taken);
        benchmark::DoNotOptimize(taken.GetBuffer());
    }
    QCoreApplication::removePostedEvents(&receiver);
}

void BM_Compose(benchmark::State& state)
{
    const int width = int(state.range(0)), height = int(state.range(1)), zoom = int(state.range(2));
    SetZoom(state, zoom, width, height);
    Frame frame(width, height);
    QObject receiver;
    LiveFrameMailbox mailbox(&receiver, [] {});
    LiveView view(width, height, RatioOf(zoom, width, height));
    mailbox.Post(frame.Header());
    if (!SamePicture(view.Show(mailbox), BareCompose(frame, view.decorations))) {
        std::fprintf(stderr, "the live picture of %dx%d at zoom %d is not the frame scaled\n", width, height, zoom);
        std::exit(1);
    }
    QImage shown;  // the window holds the last picture while the next is composed
    for (auto _ : state) {
        state.PauseTiming();
        mailbox.Post(frame.Header());
        state.ResumeTiming();
        shown = view.Show(mailbox);
        benchmark::DoNotOptimize(shown.constBits());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    QCoreApplication::removePostedEvents(&receiver);
}

void BM_BareCompose(benchmark::State& state)
{
    const int width = int(state.range(0)), height = int(state.range(1)), zoom = int(state.range(2));
    SetZoom(state, zoom, width, height);
    Frame frame(width, height);
    LiveView view(width, height, RatioOf(zoom, width, height));
    QImage shown;
    for (auto _ : state) {
        shown = BareCompose(frame, view.decorations);
        benchmark::DoNotOptimize(shown.constBits());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_LiveStream(benchmark::State& state)
{
    const int width = int(state.range(0)), height = int(state.range(1)), zoom = int(state.range(3));
    SetZoom(state, zoom, width, height);
    const int rate = int(state.range(2));
    const auto seconds = std::chrono::seconds(2);
    for (auto _ : state) {
        QObject receiver;
        LiveView view(width, height, RatioOf(zoom, width, height));
        QImage picture;  // the window's
        uint64_t shown = 0;
        double composeNs = 0, latencyNs = 0, worstNs = 0, worstSteadyNs = 0;
        const int64_t steadyFrom = Now() + kWarmUpNs;
        std::shared_ptr<LiveFrameMailbox> mailbox;
        mailbox = std::make_shared<LiveFrameMailbox>(&receiver, [&] {
            const int64_t start = Now();
            picture = view.Show(*mailbox);
            if (picture.isNull())
                return;
            benchmark::DoNotOptimize(picture.constBits());
            const int64_t end = Now();
            int64_t posted = 0;
            std::memcpy(&posted, view.image.GetBuffer(), sizeof posted);
            composeNs += double(end - start);
            latencyNs += double(end - posted);
            worstNs = std::max(worstNs, double(end - posted));
            if (posted >= steadyFrom)
                worstSteadyNs = std::max(worstSteadyNs, double(end - posted));
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
        state.counters["worst_steady_ms"] = worstSteadyNs / 1e6;
    }
}

constexpr std::pair<int, int> kSizes[] = {{640, 480}, {1920, 1080}, {2592, 1944}, {5472, 3648}};

void Sizes(benchmark::internal::Benchmark* b)
{
    for (auto [w, h] : kSizes)
        b->Args({w, h});
    b->Unit(benchmark::kMillisecond);
}

void Zooms(benchmark::internal::Benchmark* b)
{
    for (auto [w, h] : kSizes)
        for (int zoom : {0, 100})
            b->Args({w, h, zoom});
    b->Unit(benchmark::kMillisecond);
}

void Streams(benchmark::internal::Benchmark* b)
{
    for (auto [w, h] : kSizes)
        for (int rate : {75, 0})
            for (int zoom : {0, 100})
                b->Args({w, h, rate, zoom});
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
        LiveView view(width, height, 1.0f);
        QImage picture;  // the window's
        uint64_t shown = 0;
        double composeNs = 0, latencyNs = 0, worstNs = 0, worstSteadyNs = 0;
        const int64_t steadyFrom = Now() + kWarmUpNs;
        std::mutex pushedLock;
        std::map<uint32_t, int64_t> pushedAt;  // frame number -> push time
        std::shared_ptr<LiveFrameMailbox> mailbox;
        mailbox = std::make_shared<LiveFrameMailbox>(&receiver, [&] {
            const int64_t start = Now();
            picture = view.Show(*mailbox);
            if (picture.isNull())
                return;
            benchmark::DoNotOptimize(picture.constBits());
            const int64_t end = Now();
            // The frame number sat in the camera's first pixel: upright and mirrored (a bottom-up DIB's last
            // pixel), the image's top right pixel.
            uint32_t number = 0;
            std::memcpy(&number, view.image.GetPixel(width - 1, 0), sizeof number);
            {
                std::lock_guard lock(pushedLock);
                if (auto it = pushedAt.find(number); it != pushedAt.end()) {
                    latencyNs += double(end - it->second);
                    worstNs = std::max(worstNs, double(end - it->second));
                    if (it->second >= steadyFrom)
                        worstSteadyNs = std::max(worstSteadyNs, double(end - it->second));
                }
            }
            composeNs += double(end - start);
            ++shown;
        });
        SetLiveMailbox(mailbox);
        static std::atomic<uint64_t> hostFrames;
        hostFrames = 0;
        host.SetFuncGrabCallBack([](const BITMAPINFOHEADER* dib) {
            ++hostFrames;
            return PostLiveFrame(dib) ? 0 : 0;
        });
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
        state.counters["host_fps"] = double(hostFrames) / elapsed;
        state.counters["shown_fps"] = double(shown) / elapsed;
        state.counters["dropped"] = double(mailbox->Dropped());
        state.counters["compose_ms"] = shown ? composeNs / double(shown) / 1e6 : 0;
        state.counters["latency_ms"] = shown ? latencyNs / double(shown) / 1e6 : 0;
        state.counters["worst_latency_ms"] = worstNs / 1e6;
        state.counters["worst_steady_ms"] = worstSteadyNs / 1e6;
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

#ifdef MTPCI_SIM_LIBRARY
// A simulated board frame's number (mod 256) from the byte at column 0 of its row `row`: channel 1's bytes are
// seed * 7 + 31 + row * 3 + column (MtsimByte), and 183 is the inverse of 7 mod 256.
int SimSeedOf(uint8_t byte, int row)
{
    return uint8_t(183 * uint8_t(byte - 31 - 3 * row));
}

// What a run of frame numbers (mod 256, in the order they arrived) says about the stream: consecutive frames
// differ by 1, a gap is frames that never arrived, a repeat is a frame that arrived twice. Fewer than 256 frames
// in a row are assumed missing at any one place.
struct SeedRun
{
    int64_t span = 0;     // frames from the first to the last that arrived, both counted
    int64_t missing = 0;  // frames within the span that never arrived
    int64_t repeats = 0;  // frames that arrived again
};

SeedRun ReadSeedRun(const std::vector<int>& seeds)
{
    SeedRun run;
    if (seeds.empty())
        return run;
    run.span = 1;
    for (size_t i = 1; i < seeds.size(); ++i) {
        const int gap = (seeds[i] - seeds[i - 1]) & 255;
        if (gap == 0)
            ++run.repeats;
        run.span += gap;
        run.missing += std::max(0, gap - 1);
    }
    return run;
}

// The frame grabber driver on its simulated board: one channel of 2592 x 1944 grey frames, the board finishing a
// frame every `interval` ms (0: the board's full rate, the frame period its bus allows, MtpciSimControl.h), the
// acquisition host polling the driver on its live thread into the mailbox, the UI thread composing at fit.
//
// Frames are counted by the number the board gave each (readable from its pixels), not by counters read at
// moments of their own: the board runs before the host starts polling and after it stops, so a frame the driver
// held when the live display started, or one it read just before a count was taken, was counted by the host but
// not the board, or by the board but not the host (one more host frame than board frames at 30 fps, with nothing
// lost). The stream is the run of frames from the first the host took to the last. Counters: board_frames (that
// run), host_frames (frames the host took), repeats (frames the host took twice: a fault of the hand-over),
// lost_in_driver (frames of the run the host never got; of_which_on_board: overwritten in the board's ring because
// the grab thread read too late, the rest replaced in the driver's view before the host took them), dropped
// (posted but replaced in the mailbox before the UI thread took them), shown, and not_shown (frames of the run the
// live view never showed: lost_in_driver plus dropped).
void BM_MtpciLive(benchmark::State& state)
{
    constexpr int kWidth = 2592, kHeight = 1944;
    const int interval = int(state.range(0));
    state.SetLabel(interval ? std::to_string(1000 / interval) + " fps" : std::string("full rate"));
    const auto seconds = std::chrono::seconds(3);
    for (auto _ : state) {
        QTemporaryDir settings;
        setenv("VISTREL_DRIVER_SETTINGS", settings.path().toUtf8().constData(), 1);
        const std::string cameraSet = settings.path().toStdString() + "/Grey5M.ini";
        std::ofstream(cameraSet, std::ios::binary) << "[Camera]\r\nName=5M\r\nWidth=" << kWidth << "\r\nHeight="
                                                   << kHeight << "\r\nBytesPerPixel=1\r\nPlaneType=1\r\n";
        std::ofstream(settings.path().toStdString() + "/MTPCI_CameraSet.cfg", std::ios::binary) << cameraSet << "\r\n";
        // Loaded by its path first, so the driver's load by the library's name gets this copy.
        CModule board;
        if (!board.Load(MTPCI_SIM_LIBRARY)) {
            state.SkipWithError("the simulated board library does not load");
            return;
        }
        board.GetProc<void (*)()>("MTSIM_Reset")();
        board.GetProc<void (*)(int)>("MTSIM_SetChannels")(1);
        board.GetProc<void (*)(int)>("MTSIM_SetManual")(0);
        board.GetProc<void (*)(int)>("MTSIM_SetFrameInterval")(interval);
        const auto overwritten = board.GetProc<int (*)(int)>("MTSIM_Overwritten");

        CAcquireContainer host;
        host.InstallServers(MTPCI_DRIVER_DIR);
        int index = -1;
        for (int i = 0; i < host.GetServerCount(); ++i)
            if (std::filesystem::path(host.GetServerFile(i)).filename() == "grab_mtpcitl.so")
                index = i;
        if (index < 0 || host.SelectServerAt(index) != 1) {
            state.SkipWithError("the frame grabber driver does not open");
            return;
        }
        QObject receiver;
        LiveView view(kWidth, kHeight, RatioOf(0, kWidth, kHeight));
        QImage picture;  // the window's
        std::vector<int> shownSeeds;
        std::shared_ptr<LiveFrameMailbox> mailbox;
        mailbox = std::make_shared<LiveFrameMailbox>(&receiver, [&] {
            picture = view.Show(*mailbox);
            if (!picture.isNull())
                shownSeeds.push_back(SimSeedOf(view.image.GetBuffer()[0], 0));  // the image is top-down
        });
        SetLiveMailbox(mailbox);
        // Written on the host's live thread only, read once StopOverlay has joined it.
        static std::vector<int> hostSeeds;
        hostSeeds.clear();
        hostSeeds.reserve(4096);
        host.SetFuncGrabCallBack([](const BITMAPINFOHEADER* dib) {
            // The rows follow the header and its palette, bottom-up: the first row in memory is the frame's last.
            const auto* rows = reinterpret_cast<const uint8_t*>(dib) + 40 + 4 * size_t(dib->biClrUsed);
            hostSeeds.push_back(SimSeedOf(rows[0], kHeight - 1));
            PostLiveFrame(dib);
            return 0;
        });
        const int overwrittenBefore = overwritten(1);
        host.Overlay();
        const auto begin = Clock::now();
        while (Clock::now() - begin < seconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        host.StopOverlay();
        const int overwrittenDuring = overwritten(1) - overwrittenBefore;
        QCoreApplication::processEvents();
        const double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();
        SetLiveMailbox(nullptr);
        mailbox->Detach();
        host.ReleaseServers();
        unsetenv("VISTREL_DRIVER_SETTINGS");

        const SeedRun hostRun = ReadSeedRun(hostSeeds);
        std::vector<int> distinctShown = shownSeeds;
        distinctShown.erase(std::unique(distinctShown.begin(), distinctShown.end()), distinctShown.end());
        state.counters["board_fps"] = double(hostRun.span) / elapsed;
        state.counters["board_frames"] = double(hostRun.span);
        state.counters["host_frames"] = double(hostSeeds.size());
        state.counters["repeats"] = double(hostRun.repeats);
        state.counters["lost_in_driver"] = double(hostRun.missing);
        state.counters["of_which_on_board"] = double(overwrittenDuring);
        state.counters["dropped"] = double(mailbox->Dropped());
        state.counters["shown"] = double(shownSeeds.size());
        state.counters["not_shown"] = double(hostRun.span - int64_t(distinctShown.size()));
    }
}

BENCHMARK(BM_MtpciLive)->Arg(0)->Arg(10)->Arg(33)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK(BM_Memcpy)->Apply(Sizes);
BENCHMARK(BM_Post)->Apply(Sizes);
BENCHMARK(BM_Compose)->Apply(Zooms);
BENCHMARK(BM_BareCompose)->Apply(Zooms);
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
