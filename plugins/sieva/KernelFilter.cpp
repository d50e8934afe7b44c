#include "sieva/KernelFilter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

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
