// Helpers for drawing tests: a blank surface like the display window's, pixel probes, and a comparison that
// writes the actual and expected images beside the test when it fails.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <gtest/gtest.h>

namespace testing_support {

// A white (or given colour) RGB32 surface with device pixel ratio 1.
QImage BlankSurface(int width, int height, QRgb fill = 0xFFFFFFFF);

// Pixel at (x, y) as 0xRRGGBB (alpha dropped).
QRgb PixelAt(const QImage& image, int x, int y);

// Number of pixels of the given 0xRRGGBB colour inside rect (the whole image when rect is null).
int CountColour(const QImage& image, QRgb rgb, const QRect& rect = QRect());

// Pixels that differ between two images of equal size (every pixel when the sizes differ).
int CountDifferences(const QImage& a, const QImage& b);

// Succeeds when at most `budget` pixels differ; otherwise saves both images as <name>-actual.png and
// <name>-expected.png in the working folder and fails with the count.
::testing::AssertionResult ImagesMatch(const QImage& actual, const QImage& expected, const QString& name,
                                       int budget = 0);

}  // namespace testing_support
