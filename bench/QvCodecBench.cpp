// Reading a 5-megapixel JPEG and TIFF through the codec against Qt's reader decoding the same file, its strongest
// peer. The codec does more: it checks that the file holds all of its data (for JPEG a pass of the decoder over
// the entropy-coded data at an eighth of the size, for TIFF a walk of the directory) and turns Qt's image into
// the image library's layout. The TIFF pair shows the cost of that conversion alone (its check is a few
// microseconds), so the JPEG pair less the TIFF pair's difference is the cost of the JPEG check. Before timing,
// the codec's image is compared with Qt's, so a read that skips or garbles data fails the run.
#include "CQvImageCodec.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;

struct Files
{
    QTemporaryDir folder;
    CQvImageCodec codec;
    std::string jpeg;
    std::string tiff;
};

// The codec and one file of each format, written by the codec from a smooth picture with some detail.
Files& SavedFiles()
{
    static std::unique_ptr<Files> files = [] {
        auto f = std::make_unique<Files>();
        f->codec.Install(f->folder.path().toUtf8().constData());
        CQvImage image;
        image.Create(QV_RGB24, kWidth, kHeight, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth * 3; ++x)
                image.Get2DBuffer()[y][x] = static_cast<BYTE>(x / 7 + y / 5 + ((x ^ y) & 15));
        f->jpeg = (f->folder.path() + "/picture.jpg").toStdString();
        f->tiff = (f->folder.path() + "/picture.tif").toStdString();
        f->codec.Save(f->jpeg.c_str(), &image, nullptr);
        f->codec.Save(f->tiff.c_str(), &image, nullptr);
        return f;
    }();
    return *files;
}

bool SameAsQt(const CQvImage& image, const QImage& qt)
{
    const QImage rgb = qt.convertToFormat(QImage::Format_BGR888);
    if (image.GetWidth() != rgb.width() || image.GetHeight() != rgb.height())
        return false;
    for (int y = 0; y < rgb.height(); ++y)
        if (std::memcmp(image.GetPixel(0, y), rgb.constScanLine(y), static_cast<size_t>(rgb.width()) * 3) != 0)
            return false;
    return true;
}

QImage ReadWithQt(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    return reader.read();
}

void BM_CodecRead(benchmark::State& state, bool jpeg)
{
    Files& files = SavedFiles();
    const std::string& path = jpeg ? files.jpeg : files.tiff;
    CQvImage image;
    if (!files.codec.Read(path.c_str(), &image, nullptr, 0, -1, -1) || !SameAsQt(image, ReadWithQt(path)))
    {
        state.SkipWithError("the codec read other pixels than Qt");
        return;
    }
    for (auto _ : state)
    {
        files.codec.Read(path.c_str(), &image, nullptr, 0, -1, -1);
        benchmark::DoNotOptimize(image.GetBuffer());
    }
}

void BM_QtRead(benchmark::State& state, bool jpeg)
{
    Files& files = SavedFiles();
    const std::string& path = jpeg ? files.jpeg : files.tiff;
    for (auto _ : state)
    {
        QImage image = ReadWithQt(path);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK_CAPTURE(BM_CodecRead, Jpeg, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QtRead, Jpeg, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CodecRead, Tiff, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QtRead, Tiff, false)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
