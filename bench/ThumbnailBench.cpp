// Thumbnails of a folder of 100 five-megapixel JPEGs through the strip (worker threads, scaled decoding, tiles
// handed to the window a few per turn) against the bare scaled decode of the same files with Qt's reader, one
// after another on one thread, and the strip's own loader on one thread. Before timing, the strip's tiles are
// checked: every file must have arrived as a picture, none as a broken tile, and the loader must give the size the
// bare decode gives.
#include "qvcodec/CQvImageCodec.h"
#include "thumbstrip/CThumbnailMain.h"
#include "thumbstrip/ThumbnailLoader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr int kFiles = 100;
const QSize kBox(96, 72);

struct Folder
{
    QTemporaryDir dir;
    QStringList paths;
};

// Written by our codec from a picture with some detail; every file a different picture.
Folder& Files()
{
    static std::unique_ptr<Folder> folder = [] {
        auto f = std::make_unique<Folder>();
        CQvImageCodec codec;
        codec.Install(f->dir.path().toUtf8().constData());
        CQvImage image;
        image.Create(QV_RGB24, kWidth, kHeight, 0);
        for (int n = 0; n < kFiles; ++n) {
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth * 3; ++x)
                    image.Get2DBuffer()[y][x] = static_cast<BYTE>(x / 7 + y / 5 + ((x ^ y) & 15) + n * 3);
            const QString path = f->dir.path() + QString("/picture%1.jpg").arg(n, 3, 10, QChar('0'));
            if (!codec.Save(path.toUtf8().constData(), &image, nullptr))
                std::abort();
            f->paths << path;
        }
        return f;
    }();
    return *folder;
}

QImage BareScaledDecode(const QString& path)
{
    QImageReader reader(path);
    reader.setScaledSize(reader.size().scaled(kBox, Qt::KeepAspectRatio));
    return reader.read();
}

// Fills the strip with the folder and waits for the last tile; the number of pictures that arrived.
int FillStrip(CThumbnailMain& strip, const std::string& folder)
{
    bool complete = false;
    const auto connection = QObject::connect(&strip, &CThumbnailMain::FolderComplete, [&] { complete = true; });
    strip.ShowFolder(folder);
    while (!complete)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QObject::disconnect(connection);
    int ready = 0;
    for (const std::string& name : strip.GetNames())
        ready += strip.GetTileState(name) == CThumbnailMain::kReady;
    return ready;
}

void BM_Strip(benchmark::State& state)
{
    Folder& files = Files();
    CThumbnailMain strip;
    strip.resize(400, 600);
    strip.show();
    if (FillStrip(strip, files.dir.path().toStdString()) != kFiles) {
        state.SkipWithError("a thumbnail did not arrive");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(FillStrip(strip, files.dir.path().toStdString()));
    state.counters["threads"] = QThread::idealThreadCount() - 1 > 0 ? QThread::idealThreadCount() - 1 : 1;
}

void BM_BareScaledDecode(benchmark::State& state)
{
    Folder& files = Files();
    const QImage reference = BareScaledDecode(files.paths[0]);
    if (LoadThumbnail(files.paths[0], kBox).size() != reference.size()) {
        state.SkipWithError("the loader and the bare decode disagree on the size");
        return;
    }
    for (auto _ : state)
        for (const QString& path : files.paths)
            benchmark::DoNotOptimize(BareScaledDecode(path));
}

// The strongest peer of the strip: the same bare decodes spread over as many threads as the strip's workers.
void BM_BareScaledDecodeParallel(benchmark::State& state)
{
    Folder& files = Files();
    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    for (auto _ : state) {
        for (const QString& path : files.paths)
            pool.start([path] { benchmark::DoNotOptimize(BareScaledDecode(path)); });
        pool.waitForDone();
    }
    state.counters["threads"] = pool.maxThreadCount();
}

void BM_LoaderOneThread(benchmark::State& state)
{
    Folder& files = Files();
    for (auto _ : state)
        for (const QString& path : files.paths)
            benchmark::DoNotOptimize(LoadThumbnail(path, kBox));
}

BENCHMARK(BM_Strip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareScaledDecodeParallel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareScaledDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoaderOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
