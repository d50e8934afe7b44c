#include "qvimage/QvImageOps.h"

#include "qvimage/private/QvImageAccess.h"
#include "types/Rounding.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// The image's bounds cut down to the rectangle (normalised first); empty when they do not meet.
CRect ClipToImage(const CQvImage& image, CRect rect)
{
    rect.NormalizeRect();
    CRect clipped;
    if (!clipped.IntersectRect(rect, CRect(0, 0, image.GetWidth(), image.GetHeight())))
        return CRect();
    return clipped;
}

// 255 where a pixel lies in the region of interest (its outline included), 0 elsewhere.
cv::Mat RegionMask(const CQvImage& image)
{
    cv::Mat mask(image.GetHeight(), image.GetWidth(), CV_8UC1, cv::Scalar(0));
    const int* p = image.GetRoiPoints();
    switch (image.GetRoiKind())
    {
    case QV_ROI_RECT:
        cv::rectangle(mask, cv::Point(p[0], p[1]), cv::Point(p[2], p[3]), cv::Scalar(255), cv::FILLED);
        break;
    case QV_ROI_ELLIPSE:
    {
        // In double: corners far apart overflow int sums and differences.
        const double x0 = p[0], y0 = p[1], x1 = p[2], y1 = p[3];
        const cv::Point2f centre(static_cast<float>((x0 + x1) / 2), static_cast<float>((y0 + y1) / 2));
        const cv::Size2f size(static_cast<float>(std::abs(x1 - x0)), static_cast<float>(std::abs(y1 - y0)));
        cv::ellipse(mask, cv::RotatedRect(centre, size, 0), cv::Scalar(255), cv::FILLED);
        break;
    }
    case QV_ROI_POLYGON:
    {
        std::vector<cv::Point> vertices;
        for (int i = 0; i < image.GetRoiCount(); ++i)
            vertices.emplace_back(p[2 * i], p[2 * i + 1]);
        cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{vertices}, cv::Scalar(255));
        break;
    }
    default:
        mask.setTo(cv::Scalar(255));
        break;
    }
    return mask;
}

// Pixel (x, y) of any model as B, G, R, A; an index outside the palette reads black.
RGBQUAD ReadColour(const CQvImage& image, int x, int y)
{
    const BYTE* pixel = image.GetPixel(x, y);
    switch (image.GetBitsPerPixel())
    {
    case 24:
        return RGBQUAD{pixel[0], pixel[1], pixel[2], 255};
    case 32:
        return RGBQUAD{pixel[0], pixel[1], pixel[2], pixel[3]};
    default:
        if (IsGreyModel(image.GetColorModel()))
            return RGBQUAD{pixel[0], pixel[0], pixel[0], 255};
        if (*pixel < image.GetPaletteCount())
        {
            const RGBQUAD entry = image.GetPalette()[*pixel];
            return RGBQUAD{entry.rgbBlue, entry.rgbGreen, entry.rgbRed, 255};
        }
        return RGBQUAD{0, 0, 0, 255};
    }
}

bool SameSize(const CQvImage& a, const CQvImage& b)
{
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight();
}

int ToGrey(const CQvImage* source, CQvImage* target, int sourceBits, float red, float green, float blue)
{
    if (!source || !target || source->IsEmpty() || source->GetBitsPerPixel() != sourceBits
        || !IsGreyModel(target->GetColorModel()) || !SameSize(*source, *target))
        return 0;
    const int bytesPerPixel = sourceBits / 8;
    for (int y = 0; y < source->GetHeight(); ++y)
    {
        const BYTE* from = source->GetPixel(0, y);
        BYTE* to = target->GetPixel(0, y);
        for (int x = 0; x < source->GetWidth(); ++x, from += bytesPerPixel)
        {
            const float level = red * from[2] + green * from[1] + blue * from[0];
            to[x] = static_cast<BYTE>(std::clamp(std::lround(level), 0L, 255L));
        }
    }
    return 1;
}

int ToColour(const CQvImage* source, CQvImage* target, int targetBits)
{
    if (!source || !target || source->IsEmpty() || target->GetBitsPerPixel() != targetBits
        || !SameSize(*source, *target))
        return 0;
    const int bytesPerPixel = targetBits / 8;
    // Row by row through a copy, so that a source converted into itself is read before it is written.
    std::vector<RGBQUAD> row(source->GetWidth());
    for (int y = 0; y < source->GetHeight(); ++y)
    {
        for (int x = 0; x < source->GetWidth(); ++x)
            row[x] = ReadColour(*source, x, y);
        BYTE* to = target->GetPixel(0, y);
        for (const RGBQUAD& colour : row)
        {
            to[0] = colour.rgbBlue;
            to[1] = colour.rgbGreen;
            to[2] = colour.rgbRed;
            if (bytesPerPixel == 4)
                to[3] = colour.rgbReserved;
            to += bytesPerPixel;
        }
    }
    return 1;
}

// A region coordinate moved back by `offset`, held at the end of the int range for a point far outside the image.
int Moved(int coordinate, int offset)
{
    const long long moved = static_cast<long long>(coordinate) - offset;
    return static_cast<int>(std::clamp<long long>(moved, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

// A new image of the source's model and palette, `width` x `height`, pixels left for the caller to write.
bool AllocateLike(const CQvImage& source, int width, int height, CQvImage& result)
{
    if (!QvImageAccess::Allocate(result, source.GetColorModel(), width, height))
        return false;
    if (source.GetPaletteCount() > 0)
        result.SetPalette(source.GetPalette(), source.GetPaletteCount());
    std::memset(result.GetBuffer(), 0, static_cast<size_t>(result.GetStride()) * height);
    return true;
}

} // namespace

int QVSetFill(CQvImage* image, unsigned char value, int mode)
{
    if (!image || image->IsEmpty() || (mode != 0 && mode != 1))
        return 0;
    const cv::Mat mask = RegionMask(*image);
    const bool fillInside = mode == 0;
    const int bytesPerPixel = image->GetBitsPerPixel() / 8;
    for (int y = 0; y < image->GetHeight(); ++y)
    {
        const BYTE* inside = mask.ptr<BYTE>(y);
        BYTE* pixel = image->GetPixel(0, y);
        for (int x = 0; x < image->GetWidth(); ++x, pixel += bytesPerPixel)
            if ((inside[x] != 0) == fillInside)
                std::memset(pixel, value, bytesPerPixel);
    }
    return 1;
}

int QVSetFill(CQvImage* image, unsigned char value, CRect rect)
{
    if (!image)
        return 0;
    const CRect area = ClipToImage(*image, rect);
    if (area.IsRectEmpty())
        return 0;
    const int bytesPerPixel = image->GetBitsPerPixel() / 8;
    for (int y = area.top; y < area.bottom; ++y)
        std::memset(image->GetPixel(area.left, y), value, static_cast<size_t>(area.Width()) * bytesPerPixel);
    return 1;
}

int QVCopyImage(const CQvImage* source, CQvImage* target, CRect rect)
{
    if (!source || !target)
        return 0;
    const CRect area = ClipToImage(*source, rect);
    CQvImage result;
    if (area.IsRectEmpty() || !AllocateLike(*source, area.Width(), area.Height(), result))
        return 0;
    const size_t rowBytes = static_cast<size_t>(area.Width()) * (source->GetBitsPerPixel() / 8);
    for (int y = 0; y < area.Height(); ++y)
        std::memcpy(result.GetPixel(0, y), source->GetPixel(area.left, area.top + y), rowBytes);
    if (source->GetRoiKind() != QV_ROI_NONE)
    {
        const int count = source->GetRoiCount();
        auto points = std::make_unique<int[]>(2 * static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
        {
            points[2 * i] = Moved(source->GetRoiPoints()[2 * i], area.left);
            points[2 * i + 1] = Moved(source->GetRoiPoints()[2 * i + 1], area.top);
        }
        result.SetRoi(source->GetRoiKind(), std::move(points), count);
    }
    *target = std::move(result);
    return 1;
}

int QVResizeCopyImage(const CQvImage* source, CQvImage* target, CRect rect, float ratio)
{
    if (!source || !target || !(ratio > 0) || !std::isfinite(ratio))
        return 0;
    const CRect area = ClipToImage(*source, rect);
    if (area.IsRectEmpty())
        return 0;
    const double width = std::max(1.0, std::trunc(area.Width() * static_cast<double>(ratio) + 0.5));
    const double height = std::max(1.0, std::trunc(area.Height() * static_cast<double>(ratio) + 0.5));
    CQvImage result;
    if (width > kQvMaxImageSide || height > kQvMaxImageSide
        || !AllocateLike(*source, static_cast<int>(width), static_cast<int>(height), result))
        return 0;

    // Limited before the conversion: at a vanishing ratio the position is far beyond the int range, or infinite.
    const auto nearest = [ratio](int target, int sourceLength) {
        const double index = std::floor((target + 0.5) / static_cast<double>(ratio));
        return static_cast<int>(std::min(index, static_cast<double>(sourceLength - 1)));
    };
    std::vector<int> sourceX(result.GetWidth());
    for (int x = 0; x < result.GetWidth(); ++x)
        sourceX[x] = area.left + nearest(x, area.Width());
    const int bytesPerPixel = source->GetBitsPerPixel() / 8;
    for (int y = 0; y < result.GetHeight(); ++y)
    {
        const int sourceY = area.top + nearest(y, area.Height());
        BYTE* to = result.GetPixel(0, y);
        for (int x = 0; x < result.GetWidth(); ++x, to += bytesPerPixel)
            std::memcpy(to, source->GetPixel(sourceX[x], sourceY), bytesPerPixel);
    }
    *target = std::move(result);
    return 1;
}

int QvRGB2Gray(const CQvImage* source, CQvImage* target, float red, float green, float blue)
{
    return ToGrey(source, target, 24, red, green, blue);
}

int QvRGBA2Gray(const CQvImage* source, CQvImage* target, float red, float green, float blue)
{
    return ToGrey(source, target, 32, red, green, blue);
}

int QvConvert2RGB(const CQvImage* source, CQvImage* target)
{
    return ToColour(source, target, 24);
}

int QvConvert2RGBA(const CQvImage* source, CQvImage* target)
{
    return ToColour(source, target, 32);
}

int QvIndex2RGB(const CQvImage* source, CQvImage* target)
{
    if (!source || !IsIndexedModel(source->GetColorModel()))
        return 0;
    return ToColour(source, target, 24);
}
