#include "document/GridBurnIn.h"

#include "gdi/CDC.h"
#include "gobjects/CQvGObjectContainer.h"
#include "latticer/CLatticer.h"
#include "qvimage/QvImageOps.h"
#include "qvimage/QvImageViews.h"

#include <QImage>

#include <cstring>
#include <limits>

namespace {

// Antialiasing is off, but text edges may still come out partly covered; half cover or more counts as painted.
constexpr int kMaskAlphaThreshold = 128;

bool IsGreyModel(const CQvImage& image)
{
    return image.GetBitsPerPixel() == 8 && image.GetPaletteCount() == 0;
}

BYTE Luminance(COLORREF colour)
{
    const int r = GetRValue(colour);
    const int g = GetGValue(colour);
    const int b = GetBValue(colour);
    return static_cast<BYTE>((299 * r + 587 * g + 114 * b + 500) / 1000);
}

BYTE NearestPaletteIndex(const CQvImage& image, COLORREF colour)
{
    const RGBQUAD* palette = image.GetPalette();
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < image.GetPaletteCount(); ++i) {
        const int dr = palette[i].rgbRed - GetRValue(colour);
        const int dg = palette[i].rgbGreen - GetGValue(colour);
        const int db = palette[i].rgbBlue - GetBValue(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<BYTE>(best);
}

}  // namespace

BYTE PixelValueOf(const CQvImage& image, COLORREF colour)
{
    if (image.GetBitsPerPixel() != 8)
        return 0;
    return IsGreyModel(image) ? Luminance(colour) : NearestPaletteIndex(image, colour);
}

int64_t BurnGridIntoPixels(CQvImage& image, const CLatticer& grid)
{
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    const int bytesPerPixel = image.GetBitsPerPixel() / 8;
    if (image.IsEmpty() || bytesPerPixel < 1)
        return 0;

    QImage mask(width, height, QImage::Format_ARGB32);
    if (mask.isNull())
        return 0;
    mask.fill(Qt::transparent);
    {
        // A copy: painting raises the grid's gap, and the grid is laid over this image whatever canvas it last had.
        CLatticer painted = grid;
        painted.canvas = SIZE{width, height};
        CDC dc(mask);
        painted.Draw(&dc, POINT{0, 0}, 1.0f, 100);
    }

    // Colours repeat along a line: the last one's pixel value is kept.
    QRgb lastColour = 0;
    BYTE lastValue = PixelValueOf(image, RGB(0, 0, 0));
    bool haveLast = false;
    int64_t written = 0;
    for (int y = 0; y < height; ++y) {
        const auto* maskRow = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        BYTE* row = image.Get2DBuffer()[y];
        for (int x = 0; x < width; ++x) {
            const QRgb painted = maskRow[x];
            if (qAlpha(painted) < kMaskAlphaThreshold)
                continue;
            BYTE* pixel = row + static_cast<size_t>(x) * bytesPerPixel;
            if (bytesPerPixel >= 3) {
                pixel[0] = static_cast<BYTE>(qBlue(painted));
                pixel[1] = static_cast<BYTE>(qGreen(painted));
                pixel[2] = static_cast<BYTE>(qRed(painted));
                if (bytesPerPixel == 4)
                    pixel[3] = 255;
            } else {
                const QRgb colour = painted & 0x00FFFFFF;
                if (!haveLast || colour != lastColour) {
                    lastValue = PixelValueOf(image, RGB(qRed(painted), qGreen(painted), qBlue(painted)));
                    lastColour = colour;
                    haveLast = true;
                }
                pixel[0] = lastValue;
            }
            ++written;
        }
    }
    return written;
}

bool GridBurnIn::Burn(CQvImage& image, const CLatticer& grid)
{
    if (image.IsEmpty())
        return false;
    const size_t bytes = static_cast<size_t>(image.GetStride()) * image.GetHeight();
    m_pixels.assign(image.GetBuffer(), image.GetBuffer() + bytes);
    m_model = image.GetColorModel();
    m_width = image.GetWidth();
    m_height = image.GetHeight();
    m_stride = image.GetStride();
    BurnGridIntoPixels(image, grid);
    return true;
}

bool GridBurnIn::Restore(CQvImage& image)
{
    if (m_pixels.empty())
        return false;
    const bool fits = image.GetColorModel() == m_model && image.GetWidth() == m_width &&
                      image.GetHeight() == m_height && image.GetStride() == m_stride;
    if (fits)
        std::memcpy(image.GetBuffer(), m_pixels.data(), m_pixels.size());
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    return fits;
}

bool RenderOverlayIntoImage(const CQvImage& image, CQvGObjectContainer& overlay, int filter, CQvImage& merged)
{
    if (image.IsEmpty())
        return false;
    CQvImage colour;
    if (colour.Create(QV_RGB24, image.GetWidth(), image.GetHeight(), 0) != 1)
        return false;
    if (image.GetColorModel() == QV_RGB24 || image.GetColorModel() == QV_RGB) {
        std::memcpy(colour.GetBuffer(), image.GetBuffer(), static_cast<size_t>(image.GetStride()) * image.GetHeight());
    } else if (QvConvert2RGB(&image, &colour) != 1) {
        return false;
    }

    const float ratio = overlay.GetRatio();
    const CPoint origin = overlay.GetRelative();
    const int noRedraw = overlay.GetNoRedraw();
    overlay.SetNoRedraw(1);
    overlay.SetRatio(1.0f);
    overlay.SetRelative(CPoint(0, 0));
    {
        QImage surface = QvImageToQImage(colour);
        CDC dc(surface);
        overlay.Draw(&dc, filter);
    }
    overlay.SetRatio(ratio);
    overlay.SetRelative(origin);
    overlay.SetNoRedraw(noRedraw);
    merged = std::move(colour);
    return true;
}
