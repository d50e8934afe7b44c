#include "Edition.h"
#include "FiguronCursors.h"

#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

TEST(FiguronCursors, CreationCursorFollowsTheEdition)
{
    const struct
    {
        OEM_PRODUCT edition;
        uint32_t id;
    } cases[] = {{0, 4010}, {1, 4012}, {2, 4010}, {3, 4011}, {6, 4010}, {9, 4010}};
    const OEM_PRODUCT edition = g_OEMProduct;
    for (const auto& c : cases) {
        SetOEMProduct(c.edition);
        EXPECT_EQ(CreationCursorId(), c.id) << c.edition;
    }
    SetOEMProduct(edition);
}

TEST(FiguronCursors, CreationCursorsAreCrossesClickedAtTheirCentre)
{
    for (uint32_t id : {IDC_FIGURON_CREATE, IDC_FIGURON_CREATE_EDITION3, IDC_FIGURON_CREATE_EDITION1}) {
        const QCursor cursor = LoadFiguronCursor(id);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << id;
        EXPECT_EQ(cursor.hotSpot(), QPoint(15, 15)) << id;
        const QImage picture = cursor.pixmap().toImage();
        ASSERT_EQ(picture.size(), QSize(32, 32)) << id;
        // Black arms with a light edge, so the cross shows on dark and bright images; see-through elsewhere.
        EXPECT_EQ(picture.pixel(15, 3), qRgb(0, 0, 0)) << id;
        EXPECT_EQ(picture.pixel(28, 15), qRgb(0, 0, 0)) << id;
        EXPECT_EQ(picture.pixel(16, 3), qRgb(255, 255, 255)) << id;
        EXPECT_EQ(qAlpha(picture.pixel(3, 3)), 0) << id;
    }
}

TEST(FiguronCursors, SystemIdsMapToSizingShapes)
{
    const struct
    {
        uint32_t id;
        Qt::CursorShape shape;
    } cases[] = {
        {IDC_SIZENWSE, Qt::SizeFDiagCursor}, {IDC_SIZENESW, Qt::SizeBDiagCursor},
        {IDC_SIZEWE, Qt::SizeHorCursor},     {IDC_SIZENS, Qt::SizeVerCursor},
        {IDC_SIZEALL, Qt::SizeAllCursor},    {0xFFFFFFFFu, Qt::ArrowCursor},
        {4013, Qt::ArrowCursor},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadFiguronCursor(c.id).shape(), c.shape) << c.id;
}
