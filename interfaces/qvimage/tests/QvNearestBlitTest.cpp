// The nearest-neighbour blit split over threads draws exactly what one thread draws.
#include "CQvDispWnd.h"
#include "CQvImage.h"
#include "QvNearestBlit.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Odd sizes, so that neither the rows nor the columns split evenly, in every model the blit reads.
CQvImage BigPattern(int type)
{
    CQvImage image;
    image.Create(type, 1531, 1093, 0);
    if (type == QV_INDEX8)
    {
        RGBQUAD palette[200];
        for (int i = 0; i < 200; ++i)
            palette[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i * 3), 0};
        image.SetPalette(palette, 200);  // indices beyond it show black
    }
    const int rowBytes = image.GetWidth() * image.GetBitsPerPixel() / 8;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int i = 0; i < rowBytes; ++i)
            image.Get2DBuffer()[y][i] = static_cast<BYTE>(i * 13 + y * 7 + i / 251);
    return image;
}

}  // namespace

TEST(NearestBlit, ThreadedBandsMatchOneThreadAtEveryZoomStep)
{
    // Two bands first, then more: threads added after a draw join only the draws that follow it.
    for (int type : {QV_GRAY8, QV_INDEX8, QV_RGB24, QV_RGBA32})
    {
        const CQvImage image = BigPattern(type);
        for (int level = 0; level < QVZOOM_COUNT; ++level)
        {
            const float ratio = CQvDispWnd::GetZoomStepRatio(level);
            SCOPED_TRACE(std::string(CQvImage::GetColorModelString(type)) + " at " + std::to_string(ratio));
            // Scrolled so that the image starts off the surface's top-left, as a zoomed-in window is.
            const CPoint origin(ratio > 1.0f ? -static_cast<int>(ratio * 37.5f) : 11, ratio > 1.0f ? -29 : 7);
            const CRect clip(3, 5, 727, 519);
            QImage single(731, 523, QImage::Format_RGB32);  // above kQvBlitSplitPixels
            single.fill(0xFF123456);
            QImage banded = single.copy();
            BlitNearest(image, ratio, origin, clip, single, 1);
            for (int threads : {2, 0, 3, kQvBlitMaxThreads})
            {
                QImage surface = banded.copy();
                BlitNearest(image, ratio, origin, clip, surface, threads);
                ASSERT_EQ(std::memcmp(surface.constBits(), single.constBits(), single.sizeInBytes()), 0)
                    << threads << " threads";
            }
            EXPECT_NE(single, banded) << "the image was drawn";
        }
    }
}
