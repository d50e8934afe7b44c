#include "RenderCheck.h"

#include <QDir>

#include <cstdlib>

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

QString FailureImageFolder()
{
    if (const char* folder = std::getenv("VISTREL_TEST_OUTPUT_DIR"); folder && *folder)
        return QString::fromLocal8Bit(folder);
    return QStringLiteral(VISTREL_BUILD_TEST_OUTPUT_DIR);
}

::testing::AssertionResult ImagesMatch(const QImage& actual, const QImage& expected, const QString& name, int budget)
{
    const int differences = CountDifferences(actual, expected);
    if (differences <= budget)
        return ::testing::AssertionSuccess();
    const QDir folder(FailureImageFolder());
    const QString actualPath = folder.absoluteFilePath(name + "-actual.png");
    const QString expectedPath = folder.absoluteFilePath(name + "-expected.png");
    const bool saved = QDir().mkpath(folder.absolutePath()) && actual.save(actualPath) && expected.save(expectedPath);
    return ::testing::AssertionFailure() << differences << " pixels differ (budget " << budget << "); "
                                         << (saved ? "images saved as " : "could not save the images as ")
                                         << actualPath.toStdString() << " and " << expectedPath.toStdString();
}

}  // namespace testing_support
