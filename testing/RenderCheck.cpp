#include "RenderCheck.h"

namespace testing_support {

QImage BlankSurface(int width, int height, QRgb fill)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    image.fill(fill);
    return image;
}

QRgb PixelAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0x00FFFFFF;
}

int CountColour(const QImage& image, QRgb rgb, const QRect& rect)
{
    const QRect area = rect.isNull() ? image.rect() : rect.intersected(image.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (PixelAt(image, x, y) == (rgb & 0x00FFFFFF))
                ++count;
    return count;
}

int CountDifferences(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height() + b.width() * b.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (PixelAt(a, x, y) != PixelAt(b, x, y))
                ++count;
    return count;
}

::testing::AssertionResult ImagesMatch(const QImage& actual, const QImage& expected, const QString& name, int budget)
{
    const int differences = CountDifferences(actual, expected);
    if (differences <= budget)
        return ::testing::AssertionSuccess();
    actual.save(name + "-actual.png");
    expected.save(name + "-expected.png");
    return ::testing::AssertionFailure() << differences << " pixels differ (budget " << budget << "); images saved as "
                                         << name.toStdString() << "-actual.png and -expected.png";
}

}  // namespace testing_support
