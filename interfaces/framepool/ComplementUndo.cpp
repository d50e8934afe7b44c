#include "framepool/private/ComplementUndo.h"

#include <algorithm>
#include <cstring>

namespace {

// Enough words from all over the image that another picture of the same size is all but certain to differ in
// one, few enough to cost next to nothing beside the complement itself.
constexpr int kSampleWords = 1024;

size_t RowBytes(const CQvImage& image)
{
    return static_cast<size_t>(image.GetWidth()) * static_cast<size_t>(image.GetBitsPerPixel() / 8);
}

}  // namespace

bool ComplementUndo::Fits(const CQvImage& image)
{
    const int bits = image.GetBitsPerPixel();
    return !image.IsEmpty() && bits > 0 && bits % 8 == 0 && image.GetBuffer();
}

ComplementUndo::ComplementUndo(const CQvImage& image)
    : m_model(image.GetColorModel()), m_width(image.GetWidth()), m_height(image.GetHeight()),
      m_stride(image.GetStride()), m_sample(SampleOf(image))
{
}

std::vector<std::uint64_t> ComplementUndo::SampleOf(const CQvImage& image)
{
    // Rows evenly spread, each at a column of its own (a multiplicative walk over the row), so neither a band of
    // rows nor a band of columns escapes.
    const size_t rowBytes = RowBytes(image);
    const BYTE* const* rows = const_cast<CQvImage&>(image).Get2DBuffer();
    std::vector<std::uint64_t> sample(kSampleWords, 0);
    for (int i = 0; i < kSampleWords; ++i) {
        const int y = static_cast<int>(static_cast<long long>(i) * image.GetHeight() / kSampleWords);
        const size_t x = static_cast<size_t>(static_cast<std::uint32_t>(i) * 2654435761u) % rowBytes;
        std::memcpy(&sample[static_cast<size_t>(i)], rows[y] + x, std::min<size_t>(sizeof(std::uint64_t), rowBytes - x));
    }
    return sample;
}

int ComplementUndo::RestoreInto(CQvImage& image) const
{
    if (image.GetColorModel() != m_model || image.GetWidth() != m_width || image.GetHeight() != m_height ||
        image.GetStride() != m_stride || !Fits(image) || SampleOf(image) != m_sample)
        return 0;
    const size_t rowBytes = RowBytes(image);
    BYTE** rows = image.Get2DBuffer();
    for (int y = 0; y < m_height; ++y) {
        BYTE* row = rows[y];
        for (size_t x = 0; x < rowBytes; ++x)
            row[x] = static_cast<BYTE>(~row[x]);
    }
    return 1;
}
