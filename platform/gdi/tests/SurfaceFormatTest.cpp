// Images whose pixels are not 32-bit words (24-bit views of camera frames, grey and indexed images) are drawn on
// as faithfully as 32-bit surfaces, into their own buffer, without writing a word where a byte belongs.
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QVector<QRgb> GreyPalette()
{
    QVector<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back(qRgb(i, i, i));
    return palette;
}

}  // namespace

TEST(SurfaceFormat, OtherPixelFormatsAreDrawnInTheirOwnBuffer)
{
    for (QImage::Format format :
         {QImage::Format_BGR888, QImage::Format_RGB888, QImage::Format_Grayscale8, QImage::Format_Indexed8}) {
        SCOPED_TRACE(format);
        // A buffer of our own with a guard row below, as a view over an image library's pixels has it.
        constexpr int kWidth = 21;
        constexpr int kHeight = 21;
        const int stride = ((kWidth * (QImage::toPixelFormat(format).bitsPerPixel() / 8)) + 3) & ~3;
        std::vector<uchar> buffer(static_cast<size_t>(stride) * (kHeight + 1), 0xFF);
        QImage view(buffer.data(), kWidth, kHeight, stride, format);
        if (format == QImage::Format_Indexed8)
            view.setColorTable(GreyPalette());
        {
            CDC dc(view);
            dc.MoveTo(2, 10);
            dc.LineTo(18, 10);
            dc.SetROP2(R2_NOT);
            dc.MoveTo(10, 2);
            dc.LineTo(10, 18);
            dc.SetPixel(1, 1, RGB(0, 0, 0));
        }
        EXPECT_EQ(view.constBits(), buffer.data());
        EXPECT_EQ(view.pixel(2, 10), qRgb(0, 0, 0));
        EXPECT_EQ(view.pixel(17, 10), qRgb(0, 0, 0));
        EXPECT_EQ(view.pixel(18, 10), qRgb(255, 255, 255));  // LineTo leaves its end pixel
        EXPECT_EQ(view.pixel(10, 5), qRgb(0, 0, 0));         // inverted white
        EXPECT_EQ(view.pixel(10, 10), qRgb(255, 255, 255));  // inverted black
        EXPECT_EQ(view.pixel(1, 1), qRgb(0, 0, 0));
        EXPECT_EQ(view.pixel(20, 20), qRgb(255, 255, 255));
        for (int i = 0; i < stride; ++i)
            ASSERT_EQ(buffer[static_cast<size_t>(stride) * kHeight + i], 0xFF) << "guard byte " << i;
    }
}

// Filled ellipses, solid and hatched, plain and inverting, come out in every format as the same drawing on a 32-bit
// surface converted to that format would.
TEST(SurfaceFormat, FilledEllipsesMatchThe32BitDrawing)
{
    CBrush solid(RGB(90, 90, 90));
    CBrush hatched(HS_DIAGCROSS, RGB(40, 40, 40));
    CPen pen(PS_SOLID, 1, RGB(200, 200, 200));
    auto draw = [&](QImage& image, int rop) {
        CDC dc(image);
        dc.SetROP2(rop);
        dc.SelectObject(&pen);
        dc.SelectObject(&solid);
        dc.Ellipse(2, 3, 30, 22);
        dc.SelectObject(&hatched);
        dc.Ellipse(-5, 10, 25, 40);
        dc.SelectStockObject(NULL_PEN);
        dc.Ellipse(18, 15, 40, 33);
    };
    for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_BGR888,
                                  QImage::Format_RGB888, QImage::Format_Grayscale8, QImage::Format_Indexed8}) {
        for (int rop : {R2_COPYPEN, R2_NOT, R2_XORPEN}) {
            SCOPED_TRACE(std::to_string(format) + " rop " + std::to_string(rop));
            QImage start(37, 31, QImage::Format_Grayscale8);
            for (int y = 0; y < start.height(); ++y)
                for (int x = 0; x < start.width(); ++x)
                    start.scanLine(y)[x] = static_cast<uchar>(7 * x + 3 * y);
            QImage direct = format == QImage::Format_Indexed8 ? start.convertToFormat(format, GreyPalette())
                                                               : start.convertToFormat(format);
            QImage through = direct.convertToFormat(QImage::Format_RGB32);
            draw(direct, rop);
            draw(through, rop);
            through = format == QImage::Format_Indexed8
                          ? through.convertToFormat(format, direct.colorTable(), Qt::ThresholdDither)
                          : through.convertToFormat(format, Qt::ThresholdDither);
            int differences = 0;
            for (int y = 0; y < direct.height(); ++y)
                for (int x = 0; x < direct.width(); ++x)
                    differences += direct.pixel(x, y) != through.pixel(x, y);
            EXPECT_EQ(differences, 0);
            EXPECT_NE(direct.pixel(10, 6), start.pixel(10, 6) | 0xFF000000);
        }
    }
}
