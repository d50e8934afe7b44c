// Saving and opening a 20-megapixel document file. Saving goes the whole way a save takes (the policy, the file
// written through a temporary file flushed to disk and renamed) against the least a safe save of the same bytes
// costs: one fwrite into a temporary file, flushed to disk and renamed. Opening reads the file whole and checks
// every record, against the codec's bare read of the same image from a PNG file. Before timing, the saved file is
// compared with the baseline's bytes and the opened image with the saved one, so a fast wrong path fails the run.
#include "document/NativeFile.h"
#include "document/NativeFileSave.h"
#include "gobjects/CQvGObjectContainer.h"
#include "qvcodec/CQvImageCodec.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

constexpr int kWidth = 5472;  // 20 megapixels, 3:2
constexpr int kHeight = 3648;

struct Setup
{
    QTemporaryDir folder;
    CQvImageCodec codec;
    CQvImage image;
    CQvGObjectContainer overlay;
    CLatticer grid;
    std::string document;
    std::string png;
    std::vector<char> bytes;  // the document file as saved
};

std::vector<char> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Setup& Files()
{
    static std::unique_ptr<Setup> s = [] {
        auto f = std::make_unique<Setup>();
        f->codec.Install(f->folder.path().toUtf8().constData());
        f->image.Create(QV_RGB24, kWidth, kHeight, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth * 3; ++x)
                f->image.Get2DBuffer()[y][x] = static_cast<BYTE>(x / 7 + y / 5 + ((x ^ y) & 15));
        f->document = (f->folder.path() + "/picture.qrx").toStdString();
        f->png = (f->folder.path() + "/picture.png").toStdString();
        f->codec.Save(f->png.c_str(), &f->image, nullptr);
        return f;
    }();
    return *s;
}

DocumentSaveParts Parts(Setup& f)
{
    DocumentSaveParts parts;
    parts.image = &f.image;
    parts.overlay = &f.overlay;
    parts.grid = &f.grid;
    return parts;
}

void BM_SaveDocumentFile(benchmark::State& state)
{
    Setup& f = Files();
    DocumentSaveParts parts = Parts(f);
    if (!SaveDocumentParts(parts, f.document, OverlayMergeRule::Never, 1, f.codec)) {
        state.SkipWithError("the save failed");
        return;
    }
    f.bytes = FileBytes(f.document);
    for (auto _ : state)
        SaveDocumentParts(parts, f.document, OverlayMergeRule::Never, 1, f.codec);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.bytes.size()));
}

void BM_OneFwriteOfTheSameBytes(benchmark::State& state)
{
    Setup& f = Files();
    if (f.bytes.empty()) {
        state.SkipWithError("run the save first");
        return;
    }
    const std::string path = f.document + ".plain";
    const std::string temp = path + ".tmp";
    for (auto _ : state) {
        FILE* file = std::fopen(temp.c_str(), "wb");
        std::fwrite(f.bytes.data(), 1, f.bytes.size(), file);
        std::fflush(file);
        ::fdatasync(fileno(file));
        std::fclose(file);
        std::rename(temp.c_str(), path.c_str());
    }
    if (FileBytes(path) != f.bytes)
        state.SkipWithError("the plain write wrote other bytes");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.bytes.size()));
}

void BM_OpenDocumentFile(benchmark::State& state)
{
    Setup& f = Files();
    for (auto _ : state) {
        CQvImage image;
        CQvGObjectContainer overlay;
        NativeFileRecord record;
        record.image = &image;
        record.overlay = &overlay;
        FILE* file = std::fopen(f.document.c_str(), "rb");
        const int read = ReadNativeFile(file, record);
        std::fclose(file);
        if (read != 1 || std::memcmp(image.GetBuffer(), f.image.GetBuffer(),
                                     static_cast<size_t>(f.image.GetStride()) * kHeight) != 0) {
            state.SkipWithError("the document file did not read back");
            return;
        }
    }
}

void BM_CodecReadOfPng(benchmark::State& state)
{
    Setup& f = Files();
    for (auto _ : state) {
        CQvImage image;
        if (f.codec.Read(f.png.c_str(), &image, nullptr, 0, -1, -1) != 1 || image.GetWidth() != kWidth) {
            state.SkipWithError("the PNG did not read");
            return;
        }
    }
}

}  // namespace

BENCHMARK(BM_SaveDocumentFile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_OneFwriteOfTheSameBytes)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenDocumentFile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CodecReadOfPng)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
