// Images whose pixels are not 32-bit words (24-bit views of camera frames, grey and indexed images) are drawn on
// as faithfully as 32-bit surfaces, into their own buffer, without writing a word where a byte belongs.
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"

#include <QImage>

#include <gtest/gtest.h>

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
