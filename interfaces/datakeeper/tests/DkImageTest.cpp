// DataKeeper's image: the shapes the drivers create and the ones it refuses.
#include "datakeeper/DkImage.h"

#include <gtest/gtest.h>

using datakeeper::CQvImage;

TEST(DkImage, PadsRowsToFourBytesAndRefusesShapesItCannotHold)
{
    struct Case { datakeeper::COLOR_MODEL model; int bits, width, height; bool ok; int stride, bpp; };
    const Case cases[] = {
        {datakeeper::CM_BGR, 8, 640, 480, true, 1920, 3}, {datakeeper::CM_BGR, 8, 5, 2, true, 16, 3},
        {datakeeper::CM_GRAY, 8, 5, 3, true, 8, 1},       {datakeeper::CM_BGR, 16, 5, 2, false, 0, 0},
        {datakeeper::COLOR_MODEL(20), 8, 5, 2, false, 0, 0}, {datakeeper::CM_BGR, 8, 0, 2, false, 0, 0},
        {datakeeper::CM_BGR, 8, 5, -1, false, 0, 0},      {datakeeper::CM_BGR, 8, 40000, 40000, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " " << c.width << "x" << c.height);
        CQvImage image;
        ASSERT_TRUE(image.Create(datakeeper::CM_BGR, 8, 3, 3));
        EXPECT_EQ(image.Create(c.model, c.bits, c.width, c.height, 0, nullptr, 255), c.ok);
        EXPECT_EQ(image.GetWidthBytes(), c.stride);
        EXPECT_EQ(image.GetBytesPerPixel(), c.bpp);
        EXPECT_EQ(image.IsEmpty(), !c.ok);
        if (c.ok) {
            EXPECT_EQ(image.GetImageSize(), int64_t(c.stride) * c.height);
            EXPECT_EQ(image.GetBuffer()[image.GetImageSize() - 1], 0);
        }
    }
    CQvImage image;
    ASSERT_TRUE(image.Create(datakeeper::CM_BGR, 8, 4, 4));
    image.Remove();
    EXPECT_EQ(image.GetBuffer(), nullptr);
    EXPECT_EQ(image.GetWidth(), 0);
}
