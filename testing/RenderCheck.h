// Helpers for drawing tests: a blank surface like the display window's, pixel probes, and a comparison that
// writes the actual and expected images into the build tree when it fails, never beside the sources.
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

// Where failing comparisons write their images: $VISTREL_TEST_OUTPUT_DIR when set, else the folder test-output of
// the build tree the tests were built in, whatever the working folder is.
QString FailureImageFolder();

// Succeeds when at most `budget` pixels differ; otherwise saves both images as <name>-actual.png and
// <name>-expected.png in FailureImageFolder() (created when missing) and fails with the count and the paths.
::testing::AssertionResult ImagesMatch(const QImage& actual, const QImage& expected, const QString& name,
                                       int budget = 0);

}  // namespace testing_support
