// Packed DIB <-> image conversion of a 5-megapixel 24-bit frame (the live-frame path) against a bare memcpy of the
// same pixel bytes. The conversions should cost at most twice the copy.
#include "qvimage/QvImageDib.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr size_t kStride = kWidth * 3;
constexpr size_t kPixelBytes = kStride * kHeight;

// A bottom-up 24-bit DIB with a pixel pattern, in 4-byte aligned storage.
std::vector<uint32_t> MakeFrame()
{
    std::vector<uint32_t> words((sizeof(BITMAPINFOHEADER) + kPixelBytes) / 4);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(words.data());
    *header = BITMAPINFOHEADER{40, kWidth, kHeight, 1, 24, BI_RGB, static_cast<DWORD>(kPixelBytes), 0, 0, 0, 0};
    auto* pixels = reinterpret_cast<BYTE*>(words.data()) + sizeof(BITMAPINFOHEADER);
    for (size_t i = 0; i < kPixelBytes; ++i)
        pixels[i] = static_cast<BYTE>(i * 7 + i / kStride);
    return words;
}

const BITMAPINFOHEADER* Header(const std::vector<uint32_t>& frame)
{
    return reinterpret_cast<const BITMAPINFOHEADER*>(frame.data());
}

const BYTE* Pixels(const std::vector<uint32_t>& frame)
{
    return reinterpret_cast<const BYTE*>(frame.data()) + sizeof(BITMAPINFOHEADER);
}

void BM_MemcpyFrame(benchmark::State& state)
{
    const std::vector<uint32_t> frame = MakeFrame();
    std::vector<BYTE> target(kPixelBytes, 1);
    for (auto _ : state)
    {
        std::memcpy(target.data(), Pixels(frame), kPixelBytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixelBytes));
}

void BM_DibToImage(benchmark::State& state)
{
    const std::vector<uint32_t> frame = MakeFrame();
    CQvImage image;
    // The bottom DIB row is the top image row.
    if (!DIB2QVIMG(Header(frame), &image, 0)
        || std::memcmp(image.Get2DBuffer()[0], Pixels(frame) + kStride * (kHeight - 1), kStride) != 0)
        state.SkipWithError("wrong conversion");
    for (auto _ : state)
    {
        DIB2QVIMG(Header(frame), &image, 0);
        benchmark::DoNotOptimize(image.GetBuffer());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixelBytes));
}

void BM_ImageToDib(benchmark::State& state)
{
    const std::vector<uint32_t> frame = MakeFrame();
    CQvImage image;
    DIB2QVIMG(Header(frame), &image, 0);
    BITMAPINFOHEADER* dib = nullptr;
    if (!QVIMG2DIB(&image, &dib) || std::memcmp(dib, frame.data(), sizeof(BITMAPINFOHEADER) + kPixelBytes) != 0)
        state.SkipWithError("wrong conversion");
    QVFreeDIB(dib);
    for (auto _ : state)
    {
        QVIMG2DIB(&image, &dib);
        benchmark::DoNotOptimize(dib);
        QVFreeDIB(dib);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixelBytes));
}

} // namespace

BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DibToImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageToDib)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
