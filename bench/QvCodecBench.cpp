// Reading a 20-megapixel JPEG and uncompressed TIFF through the codec against Qt's reader decoding the same file,
// and the JPEG against libjpeg(-turbo) decoding it straight into one buffer, the fastest decoder here; the
// BM_CodecPeak pair report the most memory a read holds, in raw pixels.
// The codec still checks the file before decoding (the TIFF directory, the JPEG's size against the allocation
// limit) and the JPEG decoder's warnings refuse a cut file. Before timing, the codec's image is compared with Qt's,
// so a read that skips or garbles data fails the run.
#include "qvcodec/CQvImageCodec.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

// After <cstdio>: the decoder's header needs FILE and size_t declared first.
#include <jpeglib.h>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <string>

// Every allocation of the process passes here, so a read's peak is the most it held at once (glibc's own calls
// to its allocator aside).
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace {
std::atomic<long long> g_held{0};
std::atomic<long long> g_peak{0};
std::atomic<bool> g_counting{false};

void Held(long long change)
{
    const long long now = g_held += change;
    long long peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}
}  // namespace

extern "C" {
void* malloc(size_t size)
{
    void* p = __libc_malloc(size);
    if (p && g_counting.load(std::memory_order_relaxed))
        Held(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void* calloc(size_t count, size_t size)
{
    void* p = __libc_calloc(count, size);
    if (p && g_counting.load(std::memory_order_relaxed))
        Held(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void* realloc(void* old, size_t size)
{
    const long long before = old ? static_cast<long long>(malloc_usable_size(old)) : 0;
    void* p = __libc_realloc(old, size);
    if (g_counting.load(std::memory_order_relaxed) && (p || size == 0))
        Held((p ? static_cast<long long>(malloc_usable_size(p)) : 0) - before);
    return p;
}
void free(void* p)
{
    if (p && g_counting.load(std::memory_order_relaxed))
        Held(-static_cast<long long>(malloc_usable_size(p)));
    __libc_free(p);
}
}

namespace {

constexpr int kWidth = 5472;   // 20 megapixels, a camera's full frame
constexpr int kHeight = 3648;

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
        CQvImage opened;  // a new image each time, as each opened document has
        files.codec.Read(path.c_str(), &opened, nullptr, 0, -1, -1);
        benchmark::DoNotOptimize(opened.GetBuffer());
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

// What the fastest decoder here does with the same file: the file read whole, then libjpeg(-turbo) straight into
// one B, G, R buffer (its own API, no checks).
bool ReadWithLibjpeg(const std::string& path, std::vector<unsigned char>& pixels)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    const size_t stride = static_cast<size_t>(info.output_width) * 3;
    pixels.resize(stride * info.output_height);
    std::vector<JSAMPROW> rows(info.output_height);
    for (JDIMENSION y = 0; y < info.output_height; ++y)
        rows[y] = pixels.data() + y * stride;
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows.data() + info.output_scanline, info.output_height - info.output_scanline);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

void BM_LibjpegRead(benchmark::State& state)
{
    Files& files = SavedFiles();
    std::vector<unsigned char> pixels;
    for (auto _ : state) {
        pixels = std::vector<unsigned char>();  // a fresh buffer each time, as a new image has
        g_peak = g_held.load();
        const long long start = g_held.load();
        g_counting = true;
        ReadWithLibjpeg(files.jpeg, pixels);
        g_counting = false;
        state.counters["peak_x_pixels"] = static_cast<double>(g_peak - start) / (double(kWidth) * kHeight * 3);
        benchmark::DoNotOptimize(pixels.data());
    }
}

// The most a read holds at once, in raw pixels (width x height x 3): a fresh image each time, as a document has.
void BM_CodecPeak(benchmark::State& state, bool jpeg)
{
    Files& files = SavedFiles();
    const std::string& path = jpeg ? files.jpeg : files.tiff;
    for (auto _ : state) {
        CQvImage image;
        g_held = 0;
        g_peak = 0;
        g_counting = true;
        files.codec.Read(path.c_str(), &image, nullptr, 0, -1, -1);
        g_counting = false;
        state.counters["peak_x_pixels"] = static_cast<double>(g_peak) / (double(kWidth) * kHeight * 3);
        benchmark::DoNotOptimize(image.GetBuffer());
    }
}

BENCHMARK_CAPTURE(BM_CodecRead, Jpeg, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QtRead, Jpeg, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CodecRead, Tiff, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QtRead, Tiff, false)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegRead)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CodecPeak, Jpeg, true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_CodecPeak, Tiff, false)->Unit(benchmark::kMillisecond)->Iterations(3);

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
