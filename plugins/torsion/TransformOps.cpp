#include "torsion/TransformOps.h"

#include "common/IplBridge.h"

#include <cmath>
#include <utility>

namespace torsion {

namespace {

bool IsGrey(int model)
{
    return model == QV_GRAY || model == QV_GRAY8;
}

bool IsRgb(int model)
{
    return model == QV_RGB || model == QV_RGB24;
}

// A header over the image's own pixels. Grey and 24-bit images already have the library's layout (rows padded to
// 4 bytes), so lending the buffer spares a copy of every frame; other models go through the bridge's conversion.
IplImagePtr Borrow(CQvImage& image)
{
    const int model = image.GetColorModel();
    if (!IsGrey(model) && !IsRgb(model))
        return IplImagePtr(QvImageToIplImage(&image));
    const bool grey = IsGrey(model);
    IplImagePtr header(iplCreateImageHeader(grey ? 1 : 3, 0, kIplDepth8u, grey ? "GRAY" : "RGB", grey ? "GRAY" : "BGR",
        kIplDataOrderPixel, kIplOriginTopLeft, kIplAlign4, image.GetWidth(), image.GetHeight(), nullptr, nullptr,
        nullptr, nullptr));
    if (!header || header->widthStep != image.GetStride())
        return IplImagePtr(QvImageToIplImage(&image));
    header->imageData = reinterpret_cast<char*>(image.GetBuffer());
    header->ownsData = false;
    return header;
}

// The input of an operation: a header for an image of a supported model, null otherwise.
IplImagePtr SourceOf(CQvImage& image)
{
    if (image.IsEmpty() || !IsSupported(image))
        return nullptr;
    return Borrow(image);
}

// A result image with the source header's channels and the given size, and a header over its pixels: zero-filled,
// or for an operation that writes every pixel (`overwrites`), `target` as it is when it has that model and size.
IplImagePtr TargetOf(const IplImageHeader& source, int width, int height, bool overwrites, CQvImage& target)
{
    const int model = source.nChannels == 1 ? QV_GRAY8 : QV_RGB24;
    const bool fits = target.GetColorModel() == model && target.GetWidth() == width && target.GetHeight() == height;
    if (!(overwrites && fits) && !target.Create(model, width, height, 0))
        return nullptr;
    target.ClearRoi();
    return Borrow(target);
}

// A result the operation writes in place: the caller's, unless it is the source itself.
CQvImage TakeResult(CQvImage& source, CQvImage& result)
{
    return &result == &source ? CQvImage() : std::move(result);
}

}  // namespace

bool IsSupported(const CQvImage& image)
{
    return GetBitCount(image.GetColorModel()) >= 8;
}

bool Resize(CQvImage& source, int width, int height, int interpolation, CQvImage& result)
{
    const IplImagePtr src = SourceOf(source);
    if (!src || width <= 0 || height <= 0)
        return false;
    CQvImage target;
    const IplImagePtr dst = TargetOf(*src, width, height, false, target);
    if (!dst || !iplResize(src.get(), dst.get(), width, src->width, height, src->height, interpolation))
        return false;
    result = std::move(target);
    return true;
}

void RotatedCanvas(int width, int height, double degrees, int* newWidth, int* newHeight)
{
    const double radians = std::fmod(degrees, 360.0) * M_PI / 180.0;
    const double c = std::fabs(std::cos(radians));
    const double s = std::fabs(std::sin(radians));
    // The tolerance keeps a quarter turn's cosine (about 1e-17, not 0) from adding a column.
    constexpr double kSlack = 1e-6;
    *newWidth = static_cast<int>(std::ceil(width * c + height * s - kSlack));
    *newHeight = static_cast<int>(std::ceil(width * s + height * c - kSlack));
}

bool Rotate(CQvImage& source, double degrees, CQvImage& result)
{
    const IplImagePtr src = SourceOf(source);
    if (!src || !std::isfinite(degrees))
        return false;
    const int width = src->width;
    const int height = src->height;
    if (std::fabs(std::fmod(degrees, 360.0)) == 180.0) {
        CQvImage target = TakeResult(source, result);
        const IplImagePtr dst = TargetOf(*src, width, height, true, target);
        if (!dst || !iplMirror(src.get(), dst.get(), -1))
            return false;
        result = std::move(target);
        return true;
    }
    CQvImage target;
    int newWidth = 0;
    int newHeight = 0;
    RotatedCanvas(width, height, degrees, &newWidth, &newHeight);
    const IplImagePtr dst = TargetOf(*src, newWidth, newHeight, false, target);
    if (!dst)
        return false;
    double xShift = 0;
    double yShift = 0;
    iplGetRotateShift(width / 2.0, height / 2.0, degrees, &xShift, &yShift);
    // Half the canvas growth on each side centres the turned image exactly.
    xShift += (newWidth - width) / 2.0;
    yShift += (newHeight - height) / 2.0;
    if (!iplRotate(src.get(), dst.get(), degrees, xShift, yShift, kIplInterCubic | kIplSmoothEdge))
        return false;
    result = std::move(target);
    return true;
}

bool Flip(CQvImage& source, int axis, CQvImage& result)
{
    const IplImagePtr src = SourceOf(source);
    if (!src)
        return false;
    CQvImage target = TakeResult(source, result);
    const IplImagePtr dst = TargetOf(*src, src->width, src->height, true, target);
    if (!dst || !iplMirror(src.get(), dst.get(), axis))
        return false;
    result = std::move(target);
    return true;
}

}  // namespace torsion
