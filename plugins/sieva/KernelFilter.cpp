#include "sieva/KernelFilter.h"

#include <opencv2/core.hpp>
#include <opencv2/core/hal/intrin.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

namespace {

struct FixedKernel
{
    int columns;
    int rows;
    float values[9];
};

constexpr FixedKernel kFixedKernels[6] = {
    {2, 2, {1, 0, 0, -1}},
    {2, 2, {0, -1, 1, 0}},
    {3, 3, {-1, 0, 1, -2, 0, 2, -1, 0, 1}},
    {3, 3, {1, 2, 1, 0, 0, 0, -1, -2, -1}},
    {3, 3, {-1, 0, 1, -1, 0, 1, -1, 0, 1}},
    {3, 3, {1, 1, 1, 0, 0, 0, -1, -1, -1}},
};

// Rows first..last (exclusive) of the computed area. For each output row the kernel's taps are walked row by row;
// each tap adds its weighted source row into a float accumulator row, so the inner loop runs over contiguous bytes.
void ConvolveRows(CQvImage& destination, const CQvImage& source, int columns, int rows, const float* values,
                  int first, int last)
{
    const int r0 = rows / 2;
    const int c0 = columns / 2;
    const int width = source.GetWidth();
    const int outColumns = width - 2 * c0;  // columns c0 .. width - c0 - 1
    const size_t span = static_cast<size_t>(outColumns) * 3;
    std::vector<float> sum(span);
    for (int i = first; i < last; ++i) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (int k = 0; k < rows; ++k) {
            const BYTE* in = source.GetBuffer() + static_cast<size_t>(i - r0 + k) * source.GetStride();
            for (int m = 0; m < columns; ++m) {
                const float weight = values[k * columns + m];
                if (weight == 0.0f)
                    continue;
                const BYTE* tap = in + 3 * m;
                float* acc = sum.data();
                for (size_t b = 0; b < span; ++b)
                    acc[b] += weight * static_cast<float>(tap[b]);
            }
        }
        BYTE* out = destination.Get2DBuffer()[i] + 3 * c0;
        for (size_t b = 0; b < span; ++b) {
            // Huge kernel values of both signs can leave no number at all (infinity minus infinity): 0 then.
            const float magnitude = std::fabs(std::trunc(sum[b]));
            out[b] = std::isnan(magnitude) ? BYTE(0) : magnitude > 255.0f ? BYTE(255) : static_cast<BYTE>(magnitude);
        }
    }
}

// A kernel weight as the pair's pass reads it: source row `row` (0 is the row above the pixel), `offset` bytes right of
// the first byte the kernel's left column reads for the pixel.
struct Tap
{
    int row;
    int offset;
    short weight;
};

struct Taps
{
    Tap taps[9] = {};
    int count = 0;
};

Taps TapsOf(const FixedKernel& kernel, int channels)
{
    Taps result;
    for (int k = 0; k < kernel.rows; ++k)
        for (int m = 0; m < kernel.columns; ++m)
            if (const float weight = kernel.values[k * kernel.columns + m]; weight != 0.0f)
                result.taps[result.count++] = Tap{k, channels * m, static_cast<short>(weight)};
    return result;
}

int ClampedSum(const BYTE* const rows[3], const Taps& kernel, int x)
{
    int sum = 0;
    for (int t = 0; t < kernel.count; ++t)
        sum += kernel.taps[t].weight * rows[kernel.taps[t].row][kernel.taps[t].offset + x];
    return std::min(std::abs(sum), 255);
}

#if CV_SIMD
// |sum| of the kernel, clamped to 255, for the bytes x .. x + lanes - 1 as two halves of 16-bit lanes. The sums stay
// within +-1020, so 16 bits hold them.
void ClampedSums(const BYTE* const rows[3], const Taps& kernel, int x, cv::v_uint16& low, cv::v_uint16& high)
{
    cv::v_int16 sumLow = cv::vx_setzero_s16();
    cv::v_int16 sumHigh = cv::vx_setzero_s16();
    for (int t = 0; t < kernel.count; ++t) {
        const Tap& tap = kernel.taps[t];
        cv::v_uint16 bytesLow, bytesHigh;
        cv::v_expand(cv::vx_load(rows[tap.row] + tap.offset + x), bytesLow, bytesHigh);
        const cv::v_int16 weight = cv::vx_setall_s16(tap.weight);
        sumLow = sumLow + cv::v_mul_wrap(cv::v_reinterpret_as_s16(bytesLow), weight);
        sumHigh = sumHigh + cv::v_mul_wrap(cv::v_reinterpret_as_s16(bytesHigh), weight);
    }
    const cv::v_uint16 top = cv::vx_setall_u16(255);
    low = cv::v_min(cv::v_abs(sumLow), top);
    high = cv::v_min(cv::v_abs(sumHigh), top);
}
#endif

// Bytes 0 .. span - 1 of one row of the pair's mean; rows[k] is the first byte the kernels' left column reads in
// source row k (0 the row above) for the row's first byte.
void PairMeanRow(const BYTE* const rows[3], const Taps& first, const Taps& second, BYTE* out, int span)
{
    int x = 0;
#if CV_SIMD
    const int lanes = cv::v_uint8::nlanes;
    for (; x + lanes <= span; x += lanes) {
        cv::v_uint16 aLow, aHigh, bLow, bHigh;
        ClampedSums(rows, first, x, aLow, aHigh);
        ClampedSums(rows, second, x, bLow, bHigh);
        cv::v_store(out + x, cv::v_pack((aLow + bLow) >> 1, (aHigh + bHigh) >> 1));
    }
#endif
    for (; x < span; ++x)
        out[x] = static_cast<BYTE>((ClampedSum(rows, first, x) + ClampedSum(rows, second, x)) >> 1);
}

// Rows 1 .. height - 2, columns 1 .. width - 2 of the pair's mean; the frame around them is 0.
void PairMean(const CQvImage& source, const Taps& first, const Taps& second, CQvImage& destination)
{
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    const int channels = source.GetBitsPerPixel() / 8;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    if (width < 3 || height < 3) {
        for (int y = 0; y < height; ++y)
            std::memset(destination.Get2DBuffer()[y], 0, rowBytes);
        return;
    }
    std::memset(destination.Get2DBuffer()[0], 0, rowBytes);
    std::memset(destination.Get2DBuffer()[height - 1], 0, rowBytes);
    const int span = (width - 2) * channels;
    cv::parallel_for_(cv::Range(1, height - 1), [&](const cv::Range& range) {
        std::vector<BYTE> grey(channels == 1 ? static_cast<size_t>(span) : 0);
        for (int y = range.start; y < range.end; ++y) {
            const BYTE* const rows[3] = {source.GetBuffer() + static_cast<size_t>(y - 1) * source.GetStride(),
                                         source.GetBuffer() + static_cast<size_t>(y) * source.GetStride(),
                                         source.GetBuffer() + static_cast<size_t>(y + 1) * source.GetStride()};
            BYTE* out = destination.Get2DBuffer()[y];
            std::memset(out, 0, 3);
            std::memset(out + rowBytes - 3, 0, 3);
            if (channels == 3) {
                PairMeanRow(rows, first, second, out + 3, span);
                continue;
            }
            PairMeanRow(rows, first, second, grey.data(), span);
            for (int x = 0; x < span; ++x)
                std::memset(out + 3 * (x + 1), grey[static_cast<size_t>(x)], 3);
        }
    });
}

}  // namespace

int CKernelFilter::Attach(CQvImage* destination, CQvImage* source)
{
    if (!destination || !source || destination->GetColorModel() != source->GetColorModel())
        return 0;
    m_destination = destination;
    m_source = source;
    m_width = source->GetWidth();
    m_height = source->GetHeight();
    return 1;
}

int CKernelFilter::Apply(int columns, int rows, const float* values)
{
    if (!m_destination || !m_source || m_source->GetColorModel() != QV_RGB24 || m_source->IsEmpty() ||
        m_destination->GetWidth() != m_width || m_destination->GetHeight() != m_height ||
        m_destination->GetColorModel() != QV_RGB24 || !values || columns < 1 || rows < 1 || columns > kMaxSide ||
        rows > kMaxSide)
        return 0;
    m_columns = columns;
    m_rows = rows;
    m_values.assign(values, values + static_cast<size_t>(columns) * rows);

    const int r0 = rows / 2;
    const int c0 = columns / 2;
    const int first = r0;
    const int last = m_height - r0;  // rows r0 .. height - r0 - 1
    const bool reachesColumns = m_width - 2 * c0 > 0;
    // The frame the kernel does not reach is 0 (the whole image when the kernel is larger than it).
    for (int y = 0; y < m_height; ++y) {
        BYTE* row = m_destination->Get2DBuffer()[y];
        if (y < first || y >= last || !reachesColumns) {
            std::memset(row, 0, static_cast<size_t>(m_width) * 3);
            continue;
        }
        std::memset(row, 0, static_cast<size_t>(c0) * 3);
        std::memset(row + 3 * (m_width - c0), 0, static_cast<size_t>(c0) * 3);
    }
    if (last <= first || !reachesColumns)
        return 1;
    // An even kernel reads one row and column less below and right of the pixel than above and left, so the
    // computed area stays inside the source for both parities.
    const int lastRow = last;

    const long long work = static_cast<long long>(lastRow - first) * m_width * columns * rows;
    const int threads = work < 4'000'000 ? 1
                                         : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 16u));
    if (threads == 1) {
        ConvolveRows(*m_destination, *m_source, columns, rows, m_values.data(), first, lastRow);
        return 1;
    }
    std::vector<std::thread> bands;
    const int count = lastRow - first;
    for (int t = 0; t < threads; ++t) {
        const int from = first + count * t / threads;
        const int to = first + count * (t + 1) / threads;
        if (from < to)
            bands.emplace_back(ConvolveRows, std::ref(*m_destination), std::cref(*m_source), columns, rows,
                               m_values.data(), from, to);
    }
    for (std::thread& band : bands)
        band.join();
    return 1;
}

int CKernelFilter::ApplyFixed(int number)
{
    if (number < 0 || number > 5)
        return 0;
    const FixedKernel& kernel = kFixedKernels[number];
    return Apply(kernel.columns, kernel.rows, kernel.values);
}

bool FixedPairMeanReads(const CQvImage& source)
{
    const int model = source.GetColorModel();
    return model == QV_RGB || model == QV_RGB24 || model == QV_GRAY || model == QV_GRAY8;
}

int FixedPairMean(const CQvImage& source, int first, int second, CQvImage& destination)
{
    if (!FixedPairMeanReads(source) || source.IsEmpty() || first < 0 || first > 5 || second < 0 || second > 5)
        return 0;
    const int channels = source.GetBitsPerPixel() / 8;
    const Taps firstTaps = TapsOf(kFixedKernels[first], channels);
    const Taps secondTaps = TapsOf(kFixedKernels[second], channels);
    // Writing into the source itself would overwrite rows still to be read.
    const bool intoSource = &destination == &source;
    CQvImage fresh;
    CQvImage& target = intoSource ? fresh : destination;
    if (!target.CreateUncleared(QV_RGB24, source.GetWidth(), source.GetHeight()))
        return 0;
    PairMean(source, firstTaps, secondTaps, target);
    if (intoSource)
        destination = std::move(fresh);
    return 1;
}
