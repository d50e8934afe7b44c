#include "qvimage/QvImageViews.h"

#include <gtest/gtest.h>

namespace {

TEST(QvImageViews, ViewsMatchEachModel)
{
    const struct { int type; QImage::Format format; int matType; } cases[] = {
        {QV_GRAY8, QImage::Format_Grayscale8, CV_8UC1},
        {QV_INDEX4, QImage::Format_Indexed8, CV_8UC1},
        {QV_RGB24, QImage::Format_BGR888, CV_8UC3},
        {QV_RGBA32, QImage::Format_ARGB32, CV_8UC4},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.type);
        CQvImage image;
        image.Create(c.type, 5, 3, 0);  // odd width: the stride is padded
        const QImage view = QvImageToQImage(image);
        EXPECT_EQ(view.format(), c.format);
        EXPECT_EQ(view.size(), QSize(5, 3));
        EXPECT_EQ(view.bytesPerLine(), image.GetStride());
        EXPECT_EQ(view.constBits(), image.GetBuffer());
        const cv::Mat mat = QvImageToMat(image);
        EXPECT_EQ(mat.type(), c.matType);
        EXPECT_EQ(mat.cols, 5);
        EXPECT_EQ(mat.rows, 3);
        EXPECT_EQ(mat.step[0], size_t(image.GetStride()));
        EXPECT_EQ(mat.data, image.GetBuffer());
    }
    CQvImage empty;
    EXPECT_TRUE(QvImageToQImage(empty).isNull());
    EXPECT_TRUE(QvImageToMat(empty).empty());
}

TEST(QvImageViews, PixelsAreSharedBothWays)
{
    CQvImage image;
    image.Create(QV_RGB24, 3, 2, 0);
    QvImageToMat(image).at<cv::Vec3b>(1, 2) = cv::Vec3b(10, 20, 30);  // B, G, R
    EXPECT_EQ(image.GetPixel(2, 1)[0], 10);
    EXPECT_EQ(image.GetPixel(2, 1)[2], 30);
    EXPECT_EQ(QvImageToQImage(image).pixel(2, 1), qRgb(30, 20, 10));

    CQvImage rgba;
    rgba.Create(QV_RGBA32, 1, 1, 0);
    const BYTE bgra[4] = {1, 2, 3, 4};
    std::copy(bgra, bgra + 4, rgba.GetBuffer());
    EXPECT_EQ(QvImageToQImage(rgba).pixel(0, 0), qRgba(3, 2, 1, 4));

    QImage view = QvImageToQImage(image);
    view.scanLine(0)[0] = 99;  // a writable view writes the image, no detached copy
    EXPECT_EQ(image.GetPixel(0, 0)[0], 99);
}

TEST(QvImageViews, IndexedViewCarriesThePalette)
{
    CQvImage image;
    image.Create(QV_INDEX8, 2, 1, 0);
    const RGBQUAD palette[2] = {{10, 20, 30, 0}, {40, 50, 60, 0}};
    image.SetPalette(palette, 2);
    image.GetBuffer()[1] = 1;
    const QImage view = QvImageToQImage(image);
    ASSERT_EQ(view.colorCount(), 2);
    EXPECT_EQ(view.pixel(0, 0), qRgb(30, 20, 10));
    EXPECT_EQ(view.pixel(1, 0), qRgb(60, 50, 40));
}

} // namespace
