#include "qvimage/CQvImage.h"

#include "qvimage/private/QvImageAccess.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

int GetBitCount(int type)
{
    if (type >= QV_INDEX1 && type <= QV_INDEX7)
        return type;
    return GetQvBitCount(type);
}

int GetQvBitCount(int type)
{
    switch (type)
    {
    case QV_GRAY: case QV_GRAY8: case QV_INDEX8:
    case QV_INDEX1: case QV_INDEX2: case QV_INDEX3: case QV_INDEX4: case QV_INDEX5: case QV_INDEX6: case QV_INDEX7:
        return 8;
    case QV_RGB: case QV_RGB24:
        return 24;
    case QV_RGBA32:
        return 32;
    default:
        return 0;
    }
}

const char* CQvImage::GetColorModelString(int type)
{
    switch (type)
    {
    case QV_GRAY: return "Gray";
    case QV_GRAY8: return "Gray 8-bit";
    case QV_INDEX1: return "Indexed 1-bit";
    case QV_INDEX2: return "Indexed 2-bit";
    case QV_INDEX3: return "Indexed 3-bit";
    case QV_INDEX4: return "Indexed 4-bit";
    case QV_INDEX5: return "Indexed 5-bit";
    case QV_INDEX6: return "Indexed 6-bit";
    case QV_INDEX7: return "Indexed 7-bit";
    case QV_INDEX8: return "Indexed 8-bit";
    case QV_RGB: return "RGB";
    case QV_RGB24: return "RGB 24-bit";
    case QV_RGBA32: return "RGBA 32-bit";
    default: return "Unknown";
    }
}

CQvImage::CQvImage() = default;

CQvImage::CQvImage(const CQvImage& other)
{
    CopyFrom(other);
}

CQvImage::CQvImage(CQvImage&& other) noexcept
{
    *this = std::move(other);
}

CQvImage& CQvImage::operator=(const CQvImage& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

CQvImage& CQvImage::operator=(CQvImage&& other) noexcept
{
    if (this == &other)
        return *this;
    m_type = other.m_type;
    m_bitsPerPixel = other.m_bitsPerPixel;
    m_width = other.m_width;
    m_height = other.m_height;
    m_stride = other.m_stride;
    m_pixels = std::move(other.m_pixels);
    m_rows = std::move(other.m_rows);
    m_palette = std::move(other.m_palette);
    m_roiKind = other.m_roiKind;
    m_roiCount = other.m_roiCount;
    m_roiPoints = std::move(other.m_roiPoints);
    other.Initialize();
    return *this;
}

CQvImage::~CQvImage() = default;

void CQvImage::CopyFrom(const CQvImage& other)
{
    if (other.IsEmpty())
    {
        Remove();
        m_type = other.m_type;
    }
    else
    {
        Allocate(other.m_type, other.m_width, other.m_height);
        std::memcpy(m_pixels.get(), other.m_pixels.get(), static_cast<size_t>(m_stride) * m_height);
    }
    m_palette = other.m_palette;
    m_roiKind = other.m_roiKind;
    m_roiCount = other.m_roiCount;
    m_roiPoints.reset();
    if (other.m_roiPoints)
    {
        m_roiPoints = std::make_unique<int[]>(2 * static_cast<size_t>(m_roiCount));
        std::copy_n(other.m_roiPoints.get(), 2 * m_roiCount, m_roiPoints.get());
    }
}

bool CQvImage::Allocate(int type, int width, int height)
{
    const int bits = GetQvBitCount(type);
    if (bits == 0 || !SizeWithinLimits(width, height, bits))
        return false;
    const int stride = static_cast<int>(PaddedStride(width, bits));
    const size_t bytes = static_cast<size_t>(stride) * height;
    // The new buffers are in hand before anything changes: an allocation the machine refuses (std::bad_alloc)
    // leaves the image as it was. The live-frame path re-creates its image at the same size for every frame: the
    // buffers are kept then.
    std::unique_ptr<BYTE[]> pixels;
    if (!m_pixels || static_cast<size_t>(m_stride) * m_height != bytes)
        pixels.reset(new BYTE[bytes]);
    std::vector<BYTE*> rows;
    if (m_rows.size() != static_cast<size_t>(height))
        rows.resize(height);
    if (pixels)
        m_pixels = std::move(pixels);
    if (!rows.empty())
        m_rows.swap(rows);
    m_type = type;
    m_bitsPerPixel = bits;
    m_width = width;
    m_height = height;
    m_stride = stride;
    for (int y = 0; y < height; ++y)
        m_rows[y] = m_pixels.get() + static_cast<size_t>(y) * stride;
    m_palette.clear();
    const int paletteCount = PaletteCapacity(type);
    for (int i = 0; i < paletteCount; ++i)
    {
        const BYTE level = static_cast<BYTE>(paletteCount == 1 ? 0 : i * 255 / (paletteCount - 1));
        m_palette.push_back(RGBQUAD{level, level, level, 0});
    }
    ClearRoi();
    return true;
}

int CQvImage::Create(int type, int width, int height, int /*reserved*/)
{
    try
    {
        if (!Allocate(type, width, height))
            return 0;
    }
    catch (const std::bad_alloc&)
    {
        return 0;
    }
    std::memset(m_pixels.get(), 0, static_cast<size_t>(m_stride) * m_height);
    return 1;
}

int CQvImage::CreateUncleared(int type, int width, int height)
{
    try
    {
        if (!Allocate(type, width, height))
            return 0;
    }
    catch (const std::bad_alloc&)
    {
        return 0;
    }
    const size_t pixelBytes = static_cast<size_t>(m_width) * (m_bitsPerPixel / 8);
    const size_t padding = static_cast<size_t>(m_stride) - pixelBytes;
    if (padding != 0)
        for (BYTE* row : m_rows)
            std::memset(row + pixelBytes, 0, padding);
    return 1;
}

void CQvImage::Initialize()
{
    Remove();
    m_type = QV_GRAY;
}

void CQvImage::Remove()
{
    m_bitsPerPixel = 0;
    m_width = 0;
    m_height = 0;
    m_stride = 0;
    m_pixels.reset();
    m_rows.clear();
    m_palette.clear();
    ClearRoi();
}

BYTE* CQvImage::GetPixel(int x, int y)
{
    return const_cast<BYTE*>(std::as_const(*this).GetPixel(x, y));
}

const BYTE* CQvImage::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return nullptr;
    return m_pixels.get() + static_cast<size_t>(y) * m_stride + static_cast<size_t>(x) * (m_bitsPerPixel / 8);
}

int CQvImage::SetPalette(const RGBQUAD* entries, int count)
{
    if (!entries || count < 1 || count > PaletteCapacity(m_type))
        return 0;
    m_palette.assign(entries, entries + count);
    return 1;
}

int CQvImage::SetRoi(int kind, std::unique_ptr<int[]> points, int count)
{
    const bool fits = points
        && (((kind == QV_ROI_RECT || kind == QV_ROI_ELLIPSE) && count == 2) || (kind == QV_ROI_POLYGON && count >= 3));
    if (!fits)
    {
        ClearRoi();
        return 0;
    }
    m_roiKind = kind;
    m_roiCount = count;
    m_roiPoints = std::move(points);
    return 1;
}

void CQvImage::ClearRoi()
{
    m_roiKind = QV_ROI_NONE;
    m_roiCount = 0;
    m_roiPoints.reset();
}
